#include "recent/plugin_recent_contact.h"

#include <exception>

#include "host/basekit/log.h"
#include "host/skinctl/colorconverter.h"
#include "platform/text.h"

namespace {
constexpr int kPluginLogLevel = 100;
}

CPluginRecentContact::CPluginRecentContact() {
  m_strType = u"PluginRecentTree";
  CPluginRecentContact::Empty();
}

CPluginRecentContact::~CPluginRecentContact() {
  CGlobalLog::LogT(u"CPluginRecentContact::~CPluginRecentContact()", kPluginLogLevel);
  CPluginRecentContact::UnRegisterMsg();
  // The global log is shared with the other panels and this one never opens
  // it: closing it here would silence the friend tree. The store, destroyed
  // after this body, writes the list when it was loaded.
  m_hPluginWnd = 0;
}

const CQWAttrArray& CPluginRecentContact::GetAttrArray() {
  static const CQWAttrArray attrs = QWExtendAttrs(
      CQWBaseWndPlugin::GetAttrArray(),
      {QW_PLUGIN_ATTR(ATTR_TEXT, CPluginRecentContact, m_strIconFile, u"IconFile", u"图标文件")});
  return attrs;
}

void CPluginRecentContact::Empty() {
  CQWBaseWndPlugin::Empty();
  m_strIconFile = u"FriendIcon.png";
}

void CPluginRecentContact::RegisterMsg() {
  if (!m_pMsgMgr) return;
  m_msgIds.clear();
  m_store.GetRegisterMessages(m_msgIds);
  RegisterIds(m_msgIds);
}

void CPluginRecentContact::UnRegisterMsg() {
  UnRegisterIds(m_msgIds);
  m_msgIds.clear();
}

BOOL CPluginRecentContact::CreatePlugin(HWND parent, const RECT* rc) {
  const RECT area = rc ? *rc : RECT{0, 0, m_nMinWidth, m_nMinHeight};
  m_store.GetTree().SetImageFile(FormatW(u"%sbmp\\%s", m_strWorkDir, m_strIconFile));
  m_store.InitUI(parent, area, m_pDataMgr, m_pDataProcessMgr);
  m_hPluginWnd = m_store.GetTree().GetSafeHwnd();
  return TRUE;
}

BOOL CPluginRecentContact::ShowPlugin(BOOL show) {
  CQWBaseWndPlugin::ShowPlugin(show);
  if (show) {
    SendNotify(3216, 9, 1);
    SendNotify(3218, 0, 0);
  }
  return TRUE;
}

LRESULT CPluginRecentContact::OnNotify(UINT id, WPARAM wparam, LPARAM lparam) {
  CGlobalLog::LogT(u"CPluginRecentContact::OnNotify()", kPluginLogLevel);
  // Nothing thrown below may reach the host.
  try {
    return m_store.OnNotify(id, wparam, lparam);
  } catch (const std::exception&) {
    CGlobalLog::LogT(u"CPluginRecentContact::OnNotify() failed", kPluginLogLevel);
    return 0;
  }
}

void CPluginRecentContact::UpdateWithBaseColor(COLORREF color) {
  if (!m_store.GetTree().GetSafeHwnd()) return;
  m_store.GetTree().SetBkColor(CColorConverter::GetColor(color, m_clrBack));
}
