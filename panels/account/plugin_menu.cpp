#include "account/plugin_menu.h"

namespace {
const std::vector<UINT> kMenuMsgs = {3139, 1477, 3076};
}

CPluginMenu::CPluginMenu() {
  m_strType = u"PluginMenu";
  CPluginMenu::Empty();
}

CPluginMenu::~CPluginMenu() { CPluginMenu::UnRegisterMsg(); }

const CQWAttrArray& CPluginMenu::GetAttrArray() {
  static const CQWAttrArray attrs = QWExtendAttrs(
      CPluginTranBtn::GetAttrArray(), {QW_PLUGIN_ATTR(ATTR_BOOL, CPluginMenu, m_bOwnInfoReadOnly,
                                                      u"OwnInfo_ReadOnly", u"个人资料只读")});
  return attrs;
}

void CPluginMenu::Empty() {
  CPluginTranBtn::Empty();
  m_bOwnInfoReadOnly = FALSE;
}

void CPluginMenu::RegisterMsg() { RegisterIds(kMenuMsgs); }
void CPluginMenu::UnRegisterMsg() { UnRegisterIds(kMenuMsgs); }

LRESULT CPluginMenu::OnNotify(UINT, WPARAM, LPARAM) { return 0; }
