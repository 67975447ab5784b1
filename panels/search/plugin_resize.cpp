#include "search/plugin_resize.h"

namespace {
const std::vector<UINT> kResizeMsgs = {3138, 3103};
}

CPluginResize::CPluginResize() {
  m_strType = u"PluginResize";
  CPluginResize::Empty();
}

CPluginResize::~CPluginResize() { CPluginResize::UnRegisterMsg(); }

const CQWAttrArray& CPluginResize::GetAttrArray() {
  static const CQWAttrArray attrs = QWExtendAttrs(
      CQWBaseWndPlugin::GetAttrArray(),
      {QW_PLUGIN_ATTR(ATTR_TEXT, CPluginResize, m_strIconFile, u"IconFile", u"图标文件")});
  return attrs;
}

void CPluginResize::Empty() {
  CQWBaseWndPlugin::Empty();
  m_strIconFile.clear();
}

void CPluginResize::RegisterMsg() { RegisterIds(kResizeMsgs); }
void CPluginResize::UnRegisterMsg() { UnRegisterIds(kResizeMsgs); }

LRESULT CPluginResize::OnNotify(UINT id, WPARAM wparam, LPARAM) {
  if ((id == 3138 || id == 3103) && ::IsWindow(static_cast<HWND>(wparam)))
    m_hMainWnd = static_cast<HWND>(wparam);
  return 0;
}
