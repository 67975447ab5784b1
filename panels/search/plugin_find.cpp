#include "search/plugin_find.h"

namespace {
const std::vector<UINT> kFindMsgs = {3, 3138, 3216, 3218, 3225};
}

CPluginFind::CPluginFind() {
  m_strType = u"PluginFind";
  CPluginFind::Empty();
}

CPluginFind::~CPluginFind() { CPluginFind::UnRegisterMsg(); }

const CQWAttrArray& CPluginFind::GetAttrArray() {
  static const CQWAttrArray attrs = QWExtendAttrs(
      CQWBaseWndPlugin::GetAttrArray(),
      {
          QW_PLUGIN_ATTR(ATTR_TEXT, CPluginFind, m_strTip, u"Tip", u"提示"),
          QW_PLUGIN_ATTR(ATTR_TEXT, CPluginFind, m_strIconFile, u"IconFile", u"图标文件"),
          QW_PLUGIN_ATTR(ATTR_TEXT, CPluginFind, m_strCancelImage, u"SearchCancelImage",
                         u"清除搜索内容"),
      });
  return attrs;
}

void CPluginFind::Empty() {
  CQWBaseWndPlugin::Empty();
  m_strTip.clear();
  m_strIconFile.clear();
  m_strCancelImage.clear();
}

void CPluginFind::RegisterMsg() { RegisterIds(kFindMsgs); }
void CPluginFind::UnRegisterMsg() { UnRegisterIds(kFindMsgs); }

LRESULT CPluginFind::OnNotify(UINT, WPARAM, LPARAM) { return 0; }
