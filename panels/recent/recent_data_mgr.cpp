#include "recent/recent_data_mgr.h"

#include <algorithm>

#include "host/basekit/commfunc.h"
#include "module/request.h"
#include "platform/cwinapp.h"
#include "platform/cwnd.h"
#include "platform/file.h"
#include "platform/text.h"
#include "platform/window.h"
#include "recent/recent_log.h"

namespace {

constexpr std::size_t kMaxSuffixChars = 128;

std::int32_t ReadInt(const BYTE* at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | at[i];
  return static_cast<std::int32_t>(v);
}

// The number at the start of a text, as the host's settings are read:
// optional blanks and sign, then digits; anything else counts as 0.
long LeadingNumber(const std::u16string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9' && value < 1000000000; ++i)
    value = value * 10 + (text[i] - u'0');
  return negative ? -value : value;
}

}  // namespace

CRecentContactFriendDataMgr::CRecentContactFriendDataMgr() {
  RCLOG(u"CRecentContactFriendDataMgr::CRecentContactFriendDataMgr()");
  m_tree.SetRecentData(this);
}

CRecentContactFriendDataMgr::~CRecentContactFriendDataMgr() {
  RCLOG(u"CRecentContactFriendDataMgr::~CRecentContactFriendDataMgr()");
  if (m_bLoaded) WriteData();
  // The items point at the entries: they go first.
  m_tree.ClearRCTree();
  m_entries.clear();
  if (m_tree.GetSafeHwnd()) m_tree.DestroyWindow();
}

// ---- set-up ----------------------------------------------------------------------

BOOL CRecentContactFriendDataMgr::InitUI(HWND parent, const RECT& rc, CQWDataManager* dm,
                                         CQWDataProcessorManager* pm) {
  RCLOG(u"CRecentContactFriendDataMgr::InitUI()");
  SetDataManager(dm);
  SetDataProcessMgr(pm);
  if (m_tree.GetSafeHwnd()) {
    if (parent) ::SetParent(m_tree.GetSafeHwnd(), parent);
    m_tree.MoveWindow(&rc);
  } else if (m_tree.Create(WS_CHILD | WS_VISIBLE, rc, CWnd::FromHandle(parent), kTreeCtrlId)) {
    m_tree.Init();
  }
  return m_tree.GetSafeHwnd() != 0;
}

void CRecentContactFriendDataMgr::SetDataManager(CQWDataManager* dm) {
  RCLOG(u"CRecentContactFriendDataMgr::SetDataManager()");
  m_pDataMgr = dm;
  m_kindData.clear();
  if (dm) {
    m_kindData[QWKIND_OWN] = dm->GetData(u"MurFriendData");
    m_kindData[QWKIND_ORG] = dm->GetData(u"OrgStructData");
  }
  m_tree.SetDataManager(dm);
}

void CRecentContactFriendDataMgr::SetDataProcessMgr(CQWDataProcessorManager* pm) {
  RCLOG(u"CRecentContactFriendDataMgr::SetDataProcessMgr()");
  m_pProcessMgr = pm;
  m_tree.SetDataProcessMgr(pm);
}

void CRecentContactFriendDataMgr::GetRegisterMessages(std::vector<UINT>& ids) const {
  RCLOG(u"CRecentContactFriendDataMgr::GetRegisterMessages()");
  for (UINT id : {4164u, 1365u, 3175u, 1385u, 1335u, 3177u, 3104u, 3076u, 3138u, 1476u, 1478u})
    ids.push_back(id);
}

CQWData* CRecentContactFriendDataMgr::GetFriendDataMgr(int kind) const {
  auto it = m_kindData.find(kind);
  return it == m_kindData.end() ? nullptr : it->second;
}

int CRecentContactFriendDataMgr::GetLogonStatus(int type) const {
  return type >= 0 && type < kAccountTypes ? m_logonStatus[type] : 0;
}

HWND CRecentContactFriendDataMgr::GetMainForm() const {
  // The application's main window; until the host names one, the main form
  // it announced.
  if (CWnd* main = AfxGetMainWnd()) {
    const HWND hwnd = main->GetSafeHwnd();
    if (hwnd && ::IsWindow(hwnd)) return hwnd;
  }
  return m_hMainForm && ::IsWindow(m_hMainForm) ? m_hMainForm : 0;
}

// ---- notifications ---------------------------------------------------------------

LRESULT CRecentContactFriendDataMgr::OnNotify(UINT id, WPARAM wparam, LPARAM lparam) {
  RCLOG(u"CRecentContactFriendDataMgr::OnNotify()");
  switch (id) {
    case 1335:
    case 1336:
    case 1338:
    case 1365:
    case 1385: OnFriendData_SetItem(QWKIND_OWN, static_cast<QWPOS>(wparam)); break;
    case 3175:
    case 3177: OnFriendData_SetItem(QWKIND_ORG, static_cast<QWPOS>(wparam)); break;
    case 1476: OnLogonStatus(wparam, lparam); break;
    case 3076: OnGetOwnerInfo(reinterpret_cast<const BYTE*>(wparam)); break;
    case 3104: break;  // the work directory: nothing to do
    case 3138: OnGetQvxMainForm(wparam); break;
    case 4164: OnAddRecentContact(reinterpret_cast<const BYTE*>(wparam)); break;
    default: break;
  }
  return 0;
}

void CRecentContactFriendDataMgr::OnLogonStatus(WPARAM type, LPARAM status) {
  RCLOG(u"CRecentContactFriendDataMgr::OnLogonStatus()");
  if (type >= static_cast<WPARAM>(kAccountTypes)) return;
  if (type == 0) {
    CGlobalLog::LogT(FormatW(u"OnLogonStatus %d, ACC_TYPE:%d  STATUS:%d \r\n", ++m_logonCalls, 0,
                             static_cast<int>(status)),
                     RCLOG_STATE_LEVEL);
    if (status == 0) LogOff();
    else if (status == 2) m_bPendingLoad = true;
  }
  m_logonStatus[type] = static_cast<int>(status);
}

std::u16string CRecentContactFriendDataMgr::GetOwnAccount() const {
  if (m_ownerInfo.empty()) return {};
  const CQWPayload own(const_cast<BYTE*>(m_ownerInfo.data()),
                       static_cast<DWORD>(m_ownerInfo.size()));
  const std::u16string id = own.GetText(qwownfield::kUserId, kTextChars - 1);
  return id.substr(0, id.find(u'@'));
}

void CRecentContactFriendDataMgr::OnGetOwnerInfo(const BYTE* record) {
  RCLOG(u"CRecentContactFriendDataMgr::OnGetOwnerInfo()");
  if (record) m_ownerInfo.assign(record, record + QW_OWNINFO_SIZE);
  const std::u16string account = GetOwnAccount();
  const std::size_t dot = account.find(u'.');
  if (dot != std::u16string::npos) {
    m_strEnterpriseSuffix = account.substr(dot, kMaxSuffixChars);
    m_bEnterprise = true;
    const std::u16string setting = GetEnterpriseSetting(u"imu", u"disableTrueName");
    m_bShowTrueName = setting.empty() || LeadingNumber(setting) == 0;
  } else {
    m_bEnterprise = false;
    m_strEnterpriseSuffix.clear();
  }
  if (m_bPendingLoad) {
    InitData();
    m_bPendingLoad = false;
  }
}

void CRecentContactFriendDataMgr::OnGetQvxMainForm(WPARAM window) {
  RCLOG(u"CRecentContactFriendDataMgr::OnGetQvxMainForm()");
  const HWND hwnd = static_cast<HWND>(window);
  if (window == hwnd && hwnd && ::IsWindow(hwnd)) m_hMainForm = hwnd;
}

void CRecentContactFriendDataMgr::OnAddRecentContact(const BYTE* record) {
  RCLOG(u"CRecentContactFriendDataMgr::OnAddRecentContact()");
  if (!record) return;
  // The identifier follows the kind, terminated; a 64-unit field at most.
  const std::u16string id = RecentReadField(record + 4);
  AddRecentFriend(ReadInt(record), id.c_str());
}

std::u16string CRecentContactFriendDataMgr::ReadContactId(int kind, QWPOS pos) const {
  CQWData* data = kind == QWKIND_OWN || kind == QWKIND_ORG ? GetFriendDataMgr(kind) : nullptr;
  if (!data || !pos) return {};
  try {
    auto record = data->GetItem(pos);
    if (!record) return {};
    auto id = record->GetID();
    return id ? RecentCutText(id->GetID()) : std::u16string();
  } catch (...) {
    return {};
  }
}

void CRecentContactFriendDataMgr::OnFriendData_SetItem(int kind, QWPOS pos) {
  RCLOG(u"CRecentContactFriendDataMgr::OnFriendData_SetItem()");
  const std::u16string id = ReadContactId(kind, pos);
  if (id.empty()) return;
  // The same identifier under another kind is another contact.
  for (auto& entry : m_entries) {
    if (entry->kind == kind && entry->id == id) {
      m_tree.OnFriendData_SetItem(kind, entry.get(), pos);
      return;
    }
  }
}

bool CRecentContactFriendDataMgr::IsRecentContact(int kind, QWPOS pos) const {
  const std::u16string id = ReadContactId(kind, pos);
  if (id.empty()) return false;
  return std::any_of(m_entries.begin(), m_entries.end(),
                     [&](const auto& e) { return e->kind == kind && e->id == id; });
}

// ---- enterprise -------------------------------------------------------------------

std::u16string CRecentContactFriendDataMgr::GetEnterpriseSetting(const std::u16string& section,
                                                                 const std::u16string& key) const {
  RCLOG(u"CRecentContactFriendDataMgr::GetEnterpriseSetting()");
  CQWRequest request(m_pProcessMgr, u"sys/EnterPriseParam");
  CQWPayload area = request.Area1();
  if (!area || !area.PutText(0, section, kTextChars) || !area.PutText(128, key, kTextChars))
    return {};
  if (!request.Process()) return {};
  return area.GetText(256, kTextChars - 1);
}

bool CRecentContactFriendDataMgr::IsInSameEnterprise(const std::u16string& id) const {
  if (!m_bEnterprise) return false;
  std::u16string account = RecentCutText(id);
  account = account.substr(0, account.find(u'@'));
  const std::size_t dot = account.find(u'.');
  return dot != std::u16string::npos && account.substr(dot) == m_strEnterpriseSuffix;
}

bool CRecentContactFriendDataMgr::IsShowTrueName(const std::u16string& id) const {
  return m_bEnterprise && m_bShowTrueName && IsInSameEnterprise(id);
}
