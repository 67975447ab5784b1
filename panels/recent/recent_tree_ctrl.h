// CRecentContactTreeCtrl: the recent contacts as a flat tree, newest at the
// top, with per-contact menus and commands that send named requests to the
// host. Every item's data is its entry (owned by the store); the item map
// finds an entry's item again.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "host/plughost.h"
#include "host/treeui/bcmenu.h"
#include "host/treeui/yrfriendtree.h"
#include "recent/recent_entry.h"

class CRecentContactFriendDataMgr;

class CRecentContactTreeCtrl : public CYRFriendTree {
 public:
  static constexpr int kStatusImageBase = 0;
  static constexpr int kStatusSlots = 12;
  static constexpr int kSpecialImage = 4;  // a blocked contact
  static constexpr int kPostfixImageBase = 0;
  enum PostfixData : DWORD { PB_EMAIL = 0, PB_VIDEO = 2 };
  // Chat types of "sys/Chat".
  enum ChatType : int {
    CHAT_OPEN = 0,
    CHAT_FILE = 1,
    CHAT_VIDEO = 2,
    CHAT_AUDIO = 3,
    CHAT_MAIL = 5
  };
  // Sent to the main window for a contact without a record; wparam: its identifier.
  static constexpr UINT kMsgChatById = 4187;

  CRecentContactTreeCtrl();
  ~CRecentContactTreeCtrl() override;

  // ---- from the store ---------------------------------------------------------
  void OnFriendData_InsertItem(int kind, CRecentContactEntry* entry, QWPOS pos);
  void OnFriendData_SetItem(int kind, CRecentContactEntry* entry, QWPOS pos);
  void OnFriendData_DeleteItem(int kind, CRecentContactEntry* entry);
  void OnFriendData_DeleteAll();
  void SetDataManager(CQWDataManager* dm);
  void SetDataProcessMgr(CQWDataProcessorManager* pm);
  void SetRecentData(CRecentContactFriendDataMgr* store);
  void Init() override;
  void SetImageFile(const std::u16string& path) { m_strImageFile = path; }
  std::u16string GetImageFile() override { return m_strImageFile; }

  // ---- items --------------------------------------------------------------------
  HTREEITEM FindItem_InMap(const CRecentContactEntry* entry) const;
  std::size_t GetItemMapSize() const { return m_itemMap.size(); }
  CRecentContactEntry* GetEntry(HTREEITEM item) const;
  // The contact's record, or null when it cannot be found.
  std::unique_ptr<CQWDataItem> GetFriendInfo(HTREEITEM item);
  // The contact's position; an entry read from the file is looked up by its
  // identifier and remembers what was found.
  QWPOS GetPosByHandle(HTREEITEM item);
  void ClearRCTree();
  // Postfix buttons: the first index whose data matches, else -1.
  int GetPBIndex_ByData(HTREEITEM item, DWORD data) const;
  void ShowPB(HTREEITEM item, DWORD data, bool show);
  std::u16string ReadSetInSINFO(const std::u16string& section, const std::u16string& key,
                                const std::u16string& def) const;
  HTREEITEM GetCurrentItem() const { return m_hCurrent; }
  int GetChatOpenType(int /*kind*/) const { return 0; }

  // ---- commands and requests --------------------------------------------------------
  // Runs a menu command on the current item (what the menus and buttons do).
  void RunCommand(UINT id);
  void ChatWithFriend(int kind, QWPOS pos, int chatType, int openType);

 protected:
  void OnItem_RButtonUp(HTREEITEM item, UINT flags, CPoint point) override;
  void OnItem_LButtonDblClk(HTREEITEM item, UINT flags, CPoint point) override;
  void OnPostfix_LButtonDown(HTREEITEM item, int index, UINT flags, CPoint point) override;
  void OnPostfix_LButtonDblClk(HTREEITEM item, int index, UINT flags, CPoint point) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
  void OnItemDeleted(HTREEITEM item) override;

 private:
  void InsertItem_ByPos(int kind, CRecentContactEntry* entry, QWPOS pos);
  void InsertItem_ByPoiter(int kind, CRecentContactEntry* entry);
  void DeleteItemByPoiter(CRecentContactEntry* entry);
  void AddItem_InMap(CRecentContactEntry* entry, HTREEITEM item);
  void DeleteItem_InMap(CRecentContactEntry* entry);
  std::u16string CalItemText(int kind, const CQWDataItem& record) const;
  int CalItemImage(int kind, const CQWDataItem& record) const;
  void UpdateFriendItem(HTREEITEM item, int kind, const CQWDataItem& record);
  std::unique_ptr<CQWDataItem> GetRecord(int kind, QWPOS pos) const;

  void OnFriend_RButtonUp(HTREEITEM item, CPoint point);
  void OnFriend_MurRButtonUp(HTREEITEM item, CPoint point);
  void OnNullRgn_RButtonUp(CPoint point);
  void OnDblclkFriend(HTREEITEM item);
  bool IsStranger(int kind, QWPOS pos) const;
  bool IsOrganiser(QWPOS pos) const;
  void CreateMenu_Friend(BCMenu& menu, int kind, const CQWDataItem& record);
  void CreateMenu_Stranger(BCMenu& menu, int kind, const CQWDataItem& record);
  void CreateMenu_Orgnizer(BCMenu& menu);
  void AppendMailItem(BCMenu& menu, const CQWDataItem& record);
  void TrackMenu(BCMenu& menu, CPoint point);

  void OnMurFriend_SendMsg();
  void OnMurFriend_Chat(int chatType);
  void OnMurFriend_Request(const char16_t* name);
  void OnDelAllRecentUser();

  CRecentContactFriendDataMgr* m_pStore = nullptr;
  CQWDataManager* m_pDataMgr = nullptr;
  CQWDataProcessorManager* m_pProcessMgr = nullptr;
  std::map<int, CQWData*> m_kindData;
  std::unordered_map<const CRecentContactEntry*, HTREEITEM> m_itemMap;
  HTREEITEM m_hCurrent = nullptr;
  int m_nLastKind = 0;
  std::u16string m_strImageFile;
};
