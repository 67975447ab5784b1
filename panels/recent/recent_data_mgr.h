// CRecentContactFriendDataMgr: the list of the twenty contacts the user most
// recently chatted with, newest first, kept per account in
// "RecentContactFriends.dat" and shown by the recent-contacts tree.
//
// File layout: no header; one 260-byte record per contact, newest first:
// kind (int32, little-endian) at 0, identifier at 4 and display name at 132,
// each 64 UTF-16 units, terminated, the rest zero.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/plughost.h"
#include "recent/recent_entry.h"
#include "recent/recent_tree_ctrl.h"

class CRecentContactFriendDataMgr {
 public:
  static constexpr std::size_t kMaxEntries = 20;
  static constexpr std::size_t kTextChars = 64;  // terminator included
  static constexpr std::size_t kRecordSize = 260;
  static constexpr std::size_t kMaxFileSize = 5200;
  static constexpr int kAccountTypes = 32;
  static constexpr UINT kTreeCtrlId = 500;

  CRecentContactFriendDataMgr();
  ~CRecentContactFriendDataMgr();
  CRecentContactFriendDataMgr(const CRecentContactFriendDataMgr&) = delete;
  CRecentContactFriendDataMgr& operator=(const CRecentContactFriendDataMgr&) = delete;

  // ---- called by the plug-in -------------------------------------------------
  // Takes the managers, then creates the tree window (control id 500) or
  // moves it. Returns whether the tree exists.
  BOOL InitUI(HWND parent, const RECT& rc, CQWDataManager* dm, CQWDataProcessorManager* pm);
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam);
  void GetRegisterMessages(std::vector<UINT>& ids) const;

  // ---- called by the tree ------------------------------------------------------
  void DeleteAllRecentFriend();
  bool IsShowTrueName(const std::u16string& id) const;
  bool IsInSameEnterprise(const std::u16string& id) const;
  CQWData* GetFriendDataMgr(int kind) const;
  // The main form the host announced, when it is still a window; else 0.
  HWND GetMainForm() const;

  // ---- the list ----------------------------------------------------------------
  int AddRecentFriend(int kind, const char16_t* id);
  void InitData();
  void LoadFromFile();
  void Update();
  // Writes the list to its file; false (and the dirty flag kept) when the
  // file could not be written.
  bool WriteData();
  void LogOff();
  // The file of the current owner; empty when the own identifier is not
  // known or cannot name a folder.
  std::u16string GetSettingFilePath() const;
  void SetDataManager(CQWDataManager* dm);
  void SetDataProcessMgr(CQWDataProcessorManager* pm);
  std::u16string GetEnterpriseSetting(const std::u16string& section,
                                      const std::u16string& key) const;
  bool IsRecentContact(int kind, QWPOS pos) const;

  // ---- state (for the plug-in and tests) -----------------------------------
  const std::list<std::unique_ptr<CRecentContactEntry>>& Entries() const { return m_entries; }
  CRecentContactTreeCtrl& GetTree() { return m_tree; }
  bool IsLoaded() const { return m_bLoaded; }
  bool IsDirty() const { return m_bDirty; }
  bool IsLoadPending() const { return m_bPendingLoad; }
  bool IsEnterprise() const { return m_bEnterprise; }
  bool IsShowTrueNameSet() const { return m_bShowTrueName; }
  const std::u16string& GetEnterpriseSuffix() const { return m_strEnterpriseSuffix; }
  int GetLogonStatus(int type) const;
  // The own identifier up to its "@".
  std::u16string GetOwnAccount() const;
  // The file the list in memory belongs to (empty: none yet).
  const std::u16string& GetListFile() const { return m_strListFile; }

 private:
  void OnFriendData_SetItem(int kind, QWPOS pos);
  void OnLogonStatus(WPARAM type, LPARAM status);
  void OnGetOwnerInfo(const BYTE* record);
  void OnGetQvxMainForm(WPARAM window);
  void OnAddRecentContact(const BYTE* record);
  // Resolves a contact in its kind's data object: its position (0: not
  // found) and display name.
  QWPOS FindFriend(int kind, const std::u16string& id, std::u16string* name) const;
  std::u16string ReadContactId(int kind, QWPOS pos) const;
  // Writes a dirty list, then drops every entry and its tree item.
  void ClearList();
  void AppendRecord(std::string& bytes, const CRecentContactEntry& entry) const;

  CRecentContactTreeCtrl m_tree;
  CQWDataManager* m_pDataMgr = nullptr;
  CQWDataProcessorManager* m_pProcessMgr = nullptr;
  std::map<int, CQWData*> m_kindData;
  std::list<std::unique_ptr<CRecentContactEntry>> m_entries;  // newest first

  bool m_bLoaded = false;
  bool m_bDirty = false;
  bool m_bPendingLoad = false;
  std::array<int, kAccountTypes> m_logonStatus{};
  int m_logonCalls = 0;
  HWND m_hMainForm = 0;
  std::vector<BYTE> m_ownerInfo;
  bool m_bEnterprise = false;
  std::u16string m_strEnterpriseSuffix;
  bool m_bShowTrueName = false;
  // The file the list was read from; writes go back to it even when the
  // owner changed since.
  std::u16string m_strListFile;
};
