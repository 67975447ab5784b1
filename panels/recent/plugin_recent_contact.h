// CPluginRecentContact: the recent-contacts panel ("PluginRecentTree"). It
// owns the recent-contacts store, which owns the tree window; the plug-in
// only wires the host's calls to them.
#pragma once

#include <vector>

#include "host/plughost.h"
#include "recent/recent_data_mgr.h"

class CPluginRecentContact : public CQWBaseWndPlugin {
 public:
  CPluginRecentContact();
  ~CPluginRecentContact() override;

  BOOL ShowPlugin(BOOL show) override;
  BOOL CreatePlugin(HWND parent, const RECT* rc) override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

  CRecentContactFriendDataMgr& GetStore() { return m_store; }
  CRecentContactTreeCtrl& GetTree() { return m_store.GetTree(); }

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void UnRegisterMsg() override;
  void Empty() override;
  void RegisterMsg() override;
  void UpdateWithBaseColor(COLORREF color) override;

  std::u16string m_strIconFile;  // "IconFile"
  std::vector<UINT> m_msgIds;
  CRecentContactFriendDataMgr m_store;
};
