#include "module/plugin_toolbar_btns.h"

#include "module/request.h"

CPluginBtnColor::CPluginBtnColor() { m_strType = u"PluginBtnColor"; }

CPluginAddFriend::CPluginAddFriend() { m_strType = u"PluginAddFriend"; }
CPluginAddFriend::~CPluginAddFriend() { CPluginAddFriend::UnRegisterMsg(); }

void CPluginAddFriend::RegisterMsg() { RegisterIds({3139}); }
void CPluginAddFriend::UnRegisterMsg() { UnRegisterIds({3139}); }

LRESULT CPluginAddFriend::OnNotify(UINT id, WPARAM wparam, LPARAM) {
  if (id == 3139) m_nAddKind = static_cast<std::int32_t>(wparam);
  return 0;
}

void CPluginAddFriend::OnButtonClick() {
  CQWRequest request(m_pDataProcessMgr, u"sys/EditFriend");
  CQWPayload area1 = request.Area1();
  CQWPayload area2 = request.Area2(144);
  if (!area1 || !area2) return;
  area1.PutInt(0, 0);
  area2.Zero(0, 144);
  area2.PutInt(0, m_nAddKind);
  request.Process();
}

CPluginHistory::CPluginHistory() { m_strType = u"PluginHistory"; }

void CPluginHistory::OnButtonClick() {
  // No particular friend: the history window opens on its own.
  CQWRequest request(m_pDataProcessMgr, u"sys/HistoryInfo");
  CQWPayload area1 = request.Area1();
  if (!area1 || !area1.PutInt(16, 0) || !area1.Zero(20, 64)) return;
  request.Process();
}
