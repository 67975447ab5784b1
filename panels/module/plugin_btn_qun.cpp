#include "module/plugin_btn_qun.h"

CPluginBtnQunBase::CPluginBtnQunBase(const char16_t* type, const char16_t* windowClass)
    : m_szWindowClass(windowClass) {
  m_strType = type;
  CPluginBtnQunBase::Empty();
}

const CQWAttrArray& CPluginBtnQunBase::GetAttrArray() {
  static const CQWAttrArray attrs = QWExtendAttrs(
      CQWBaseWndPlugin::GetAttrArray(),
      {
          QW_PLUGIN_ATTR(ATTR_TEXT, CPluginBtnQunBase, m_strButtonText, u"ButtonText", u"按钮标题"),
          QW_PLUGIN_ATTR(ATTR_COLOR, CPluginBtnQunBase, m_clrText, u"TextColor", u"标题颜色"),
          QW_PLUGIN_ATTR(ATTR_TEXT, CPluginBtnQunBase, m_strIconFile, u"IconFile", u"按钮图标"),
      });
  return attrs;
}

void CPluginBtnQunBase::Empty() {
  CQWBaseWndPlugin::Empty();
  m_strButtonText.clear();
  m_clrText = 0;
  m_strIconFile.clear();
}

BOOL CPluginBtnQunBase::CreatePlugin(HWND parent, const RECT* rc) {
  return CreatePanelWindow(m_szWindowClass, parent, rc, 50);
}

CPluginBtnQunCreator::CPluginBtnQunCreator()
    : CPluginBtnQunBase(u"PluginBtnQunCreator", u"BtnQunCreat") {}

CPluginBtnQunFinder::CPluginBtnQunFinder()
    : CPluginBtnQunBase(u"PluginBtnQunFinder", u"BtnQunFind") {
  m_nMinWidth = 30;
  m_nMinHeight = 20;
}

CPluginBtnQunFinder::~CPluginBtnQunFinder() { CPluginBtnQunFinder::UnRegisterMsg(); }

void CPluginBtnQunFinder::RegisterMsg() { RegisterIds({3104}); }
void CPluginBtnQunFinder::UnRegisterMsg() { UnRegisterIds({3104}); }

LRESULT CPluginBtnQunFinder::OnNotify(UINT id, WPARAM wparam, LPARAM) {
  if (id == 3104 && wparam) SetWorkDir(reinterpret_cast<const char16_t*>(wparam));
  return 0;
}
