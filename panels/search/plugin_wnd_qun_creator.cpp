#include "search/plugin_wnd_qun_creator.h"

namespace {
const std::vector<UINT> kCreatorMsgs = {2148, 3195, 3103, 3076, 3104};
}

CPluginWndQunCreator::CPluginWndQunCreator() {
  m_strType = u"PluginWndQunCreator";
  m_nMinWidth = 60;
  m_nMinHeight = 200;
  CPluginWndQunCreator::Empty();
}

CPluginWndQunCreator::~CPluginWndQunCreator() { CPluginWndQunCreator::UnRegisterMsg(); }

const CQWAttrArray& CPluginWndQunCreator::GetAttrArray() {
  using C = CPluginWndQunCreator;
  static const CQWAttrArray attrs = QWExtendAttrs(
      CQWBaseWndPlugin::GetAttrArray(),
      {
          QW_PLUGIN_ATTR(ATTR_COLOR, C, m_clrBtnText, u"BtnTextColor", u"按钮文本颜色"),
          QW_PLUGIN_ATTR(ATTR_NUMBER, C, m_nIntraBorderWidth, u"IntraBorderWidth", u"简介边框"),
          QW_PLUGIN_ATTR(ATTR_COLOR, C, m_clrIntraBack, u"IntraBackColor", u"简介背景颜色"),
          QW_PLUGIN_ATTR(ATTR_COLOR, C, m_clrIntraText, u"IntraTextColor", u"简介文本颜色"),
          QW_PLUGIN_ATTR(ATTR_COLOR, C, m_clrIntraBorder, u"IntraBorderColor", u"简介边框颜色"),
          QW_PLUGIN_ATTR(ATTR_TEXT, C, m_strCreateModule, u"Plugin_CreateQun_Module",
                         u"群创建对话框模块名"),
          QW_PLUGIN_ATTR(ATTR_TEXT, C, m_strCreateType, u"Plugin_CreateQun_TypeName",
                         u"群创建对话框类型名"),
          QW_PLUGIN_ATTR(ATTR_TEXT, C, m_strFindModule, u"Plugin_FindQun_Module",
                         u"群查找对话框模块名"),
          QW_PLUGIN_ATTR(ATTR_TEXT, C, m_strFindType, u"Plugin_FindQun_TypeName",
                         u"群查找对话框类型名"),
      });
  return attrs;
}

void CPluginWndQunCreator::Empty() {
  CQWBaseWndPlugin::Empty();
  m_clrBtnText = RGB(26, 15, 139);
  m_nIntraBorderWidth = 1;
  m_clrIntraBack = RGB(255, 255, 248);
  m_clrIntraText = RGB(0, 0, 0);
  m_clrIntraBorder = RGB(255, 255, 0);
  m_strCreateModule.clear();
  m_strCreateType.clear();
  m_strFindModule.clear();
  m_strFindType.clear();
}

void CPluginWndQunCreator::RegisterMsg() { RegisterIds(kCreatorMsgs); }
void CPluginWndQunCreator::UnRegisterMsg() { UnRegisterIds(kCreatorMsgs); }

BOOL CPluginWndQunCreator::CreatePlugin(HWND parent, const RECT* rc) {
  return CreatePanelWindow(u"QunCreator", parent, rc, 50);
}

BOOL CPluginWndQunCreator::ShowPlugin(BOOL show) {
  CQWBaseWndPlugin::ShowPlugin(show);
  if (show) {
    SendNotify(3216, 1, 0);
    SendNotify(3218, 0, 0);
  }
  return TRUE;
}

LRESULT CPluginWndQunCreator::OnNotify(UINT, WPARAM, LPARAM) { return 0; }
