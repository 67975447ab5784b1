#include "account/plugin_own_setup.h"

namespace {
const std::vector<UINT> kOwnSetupMsgs = {1477, 3076, 3147, 3138};
}

CPluginOwnSetup::CPluginOwnSetup() {
  m_strType = u"PluginOwnSetup";
  CPluginOwnSetup::Empty();
}

CPluginOwnSetup::~CPluginOwnSetup() { CPluginOwnSetup::UnRegisterMsg(); }

const CQWAttrArray& CPluginOwnSetup::GetAttrArray() {
  static const CQWAttrArray attrs = QWExtendAttrs(
      CPluginBtnWnd::GetAttrArray(), {QW_PLUGIN_ATTR(ATTR_BOOL, CPluginOwnSetup, m_bOwnInfoReadOnly,
                                                     u"OwnInfo_ReadOnly", u"个人资料只读")});
  return attrs;
}

void CPluginOwnSetup::Empty() {
  CPluginBtnWnd::Empty();
  m_bOwnInfoReadOnly = FALSE;
}

void CPluginOwnSetup::RegisterMsg() { RegisterIds(kOwnSetupMsgs); }
void CPluginOwnSetup::UnRegisterMsg() { UnRegisterIds(kOwnSetupMsgs); }

LRESULT CPluginOwnSetup::OnNotify(UINT, WPARAM, LPARAM) { return 0; }
