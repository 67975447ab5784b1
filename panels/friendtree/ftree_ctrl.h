// CQWFriendTreeCtrl: the friend tree panel's window. It shows the user's own
// network ("MurFriendData") as groups with friends under them and keeps
// itself in step with the host's data through numbered notifications.
//
// Every friend and group item carries its data position as item data and is
// found again through the position map. A group's friends are inserted the
// first time the group is opened (or when a change lands in it), so a large
// network loads only its groups at first.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "friendtree/ftree_dataprocessor.h"
#include "host/plughost.h"
#include "host/treeui/yrfriendtree.h"

class BCMenu;
class CChangeGroupNameEdit;

// Item data of the custom nodes that the plug-in puts at the root; they are
// never friends or groups.
constexpr DWORD_PTR FTREE_DATA_LINK = static_cast<DWORD_PTR>(-1023);
constexpr DWORD_PTR FTREE_DATA_ADDFRIEND = static_cast<DWORD_PTR>(-1022);

// Notification 3208's record: remove flag (32-bit), value (32-bit), then the
// name as UTF-16 of up to 50 characters.
struct FTREE_NAMEDVALUE {
  std::int32_t bRemove;
  std::int32_t nValue;
  char16_t szName[50];
};

// A node of the layout's "CustomNode" elements: a link or an add-friend
// node, before (first) or after the friend data's groups.
struct FTREE_CUSTOMNODE {
  enum Kind { LINK, ADDFRIEND } kind = LINK;
  bool first = false;
  std::u16string text;
  std::u16string url;      // empty: the address is read from the INI file
  std::u16string iniFile;  // relative to the host program's directory
  std::u16string section, key;
  std::u16string image;  // full path of the node's image; empty: none
};

// What a link item opens.
struct FTREE_LINKRECORD {
  std::u16string url, iniFile, section, key;
};

// An icon of the layout's "ItemImages" element.
struct FTREE_ICONRECORD {
  int type = 0;  // 0 group, 1 friend
  std::u16string name;
  std::u16string file;  // full path
};

// Window messages to the host's windows.
constexpr UINT FTREE_WM_GROUPMOBILE = 3224;  // to the mobile-message window: (id, name)
constexpr UINT FTREE_WM_HELPURL = 3169;      // to the main window: (address, 0)

class CQWFriendTreeCtrl : public CYRFriendTree {
 public:
  // Status icon slots: a status code minus 40071; codes outside 40071..40082 use slot 0.
  static constexpr int kStatusSlots = 12;
  // Image bases of customer-service and chat-room contacts, added to a slot.
  static constexpr int kCSImageBase = kStatusSlots;
  static constexpr int kChatRoomImageBase = 2 * kStatusSlots;
  // The postfix image list holds one image per button kind.
  enum PostfixKind : DWORD { PF_EMAIL = 0, PF_MOBILE = 1, PF_VIDEO = 2 };
  static constexpr UINT_PTR kLoadTimer = 101;
  static constexpr UINT kLoadDelayMs = 20;
  static constexpr UINT kNameEditId = 1500;
  // Top-level groups the friend data may hold.
  static constexpr int kMaxGroups = 50;
  // Group names travel in 64-character fields.
  static constexpr std::size_t kNameChars = 63;
  // The move-to submenu's command ids (4898 is a command of its own and is
  // never handed out).
  static constexpr UINT kMoveToFirst = 4861;
  static constexpr UINT kMoveToLast = 4911;

  // Commands of the menus.
  enum Command : UINT {
    ID_SENDMSG = 4820,
    ID_SENDFILE = 4821,
    ID_VOICE = 4822,
    ID_VIDEO = 4823,
    ID_EMAIL = 4824,
    ID_MOBILEMSG = 4825,
    ID_DELFRIEND = 4829,
    ID_HISTORY = 4831,
    ID_INFO = 4833,
    ID_GROUP_ADDFRIEND = 4835,
    ID_ADDGROUP = 4836,
    ID_GROUP_MOBILEMSG = 4837,
    ID_ADDGROUP2 = 4838,
    ID_RENAMEGROUP = 4839,
    ID_DELGROUP = 4840,
    ID_NOACTION1 = 4841,
    ID_ONLYONLINE = 4842,
    ID_NOACTION2 = 4843,
    ID_SHAREDAV = 4844,
    ID_DELALLINGROUP = 4898,
    ID_BLOCK = 4970,
    ID_CS_BROADCAST = 4973,
    ID_ADDASFRIEND = 4974,
    ID_CLEARREMARK = 4980,
    ID_SETREMARK = 4981,
    ID_CS_BROADCASTALL = 4982,
    ID_GUIDE = 1979,
    ID_NOEMAIL = 4000,
  };

  // What the plug-in does when the own information first arrives.
  struct Hooks {
    std::function<void(CQWFriendTreeCtrl&)> firstOwnInfo;
  };

  CQWFriendTreeCtrl();
  ~CQWFriendTreeCtrl() override;

  // ---- set-up by the plug-in -------------------------------------------------
  void Init() override;
  void SetPlugin(CQWBasePlugin* plugin) { m_pPlugin = plugin; }
  void SetHooks(Hooks hooks) { m_hooks = std::move(hooks); }
  void SetDataManager(CQWDataManager* mgr);
  CQWDataManager* GetDataManager() const { return m_pDataMgr; }
  void SetDataProcessMgr(CQWDataProcessorManager* mgr);
  // Keeps the manager and fills the notification list.
  void SetMsgManager(CQWMsgManager* mgr);
  const std::vector<UINT>& GetMsgList() const { return m_msgList; }
  // The image strips Init loads (full paths; empty: none).
  void SetImageFiles(const std::u16string& small, const std::u16string& big);
  std::u16string GetImageFile() override { return m_strImageFile; }
  std::u16string GetBigImageFile() override { return m_strBigImageFile; }
  void SetUseMobile(bool on) { m_bUseMobile = on; }
  // After every load, tell the host the tree is ready ("sys/FTInitedSuccess").
  void SetReportReady(bool on) { m_bReportReady = on; }
  bool IsReportReady() const { return m_bReportReady; }
  // The group that the next insert selects and renames (add-group command).
  void SetPendingNewGroup(QWPOS pos) { m_posPendingNewGroup = pos; }
  QWPOS GetPendingNewGroup() const { return m_posPendingNewGroup; }

  // The layout's extra nodes and icons (kept as long as the tree).
  void AddCustomNode(const FTREE_CUSTOMNODE& node) { m_customNodes.push_back(node); }
  const std::vector<FTREE_CUSTOMNODE>& GetCustomNodes() const { return m_customNodes; }
  void AddIconRecord(const FTREE_ICONRECORD& icon) { m_iconRecords.push_back(icon); }
  const std::vector<FTREE_ICONRECORD>& GetIconRecords() const { return m_iconRecords; }
  // The link record of a link item, or null.
  const FTREE_LINKRECORD* GetLinkRecord(HTREEITEM item) const;

  // The library-wide name of the group that opens after every build.
  static const std::u16string& GetChatFriendsGroupName();
  static void SetChatFriendsGroupName(const std::u16string& name);  // empty: the default
  // The library-wide names of the groups that are never renamed or deleted.
  static const std::vector<std::u16string>& GetProtectedGroups();
  static void SetProtectedGroups(std::vector<std::u16string> names);
  static bool IsProtectedGroup(const std::u16string& name);
  // The counter that numbers new groups' names (library-wide).
  static int& NewGroupCounter();

  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam);
  CQWFriendTree_DataProcessor& GetProcessor() { return m_processor; }

  // ---- state -----------------------------------------------------------------
  HTREEITEM GetItemByPos(QWPOS pos) const;
  std::size_t GetPosMapSize() const { return m_posMap.size(); }
  bool IsOnlyOnline() const { return m_bOnlyOnline; }
  bool IsEnterpriseMode() const { return m_bEnterprise; }
  const std::u16string& GetEnterpriseSuffix() const { return m_strEnterpriseSuffix; }
  bool IsShowTrueName() const { return m_bShowTrueName; }
  bool IsShowCSGroup() const { return m_bShowCSGroup; }
  bool IsOwnerInfoReceived() const { return m_bOwnerInfoReceived; }
  const std::u16string& GetImageDir() const { return m_strImageDir; }
  // The own account identifier up to "@".
  std::u16string GetAccountText() const;
  const std::vector<BYTE>& GetOwnInfo() const { return m_ownInfo; }
  // Notification 3208's list, in order of first arrival.
  const std::vector<std::pair<int, std::u16string>>& GetNamedValues() const {
    return m_namedValues;
  }
  std::size_t GetPhotoCacheSize() const { return m_photoCache.size(); }
  // The image list an item is drawn from (and its photo added to).
  CImageList* GetDrawingImages(HTREEITEM item) const { return GetItemImages(item); }
  int GetStatusImage(int slot) const;
  void SetStatusImage(int slot, int image);
  // The item the commands act on.
  HTREEITEM GetSelected() const { return m_hSelected; }
  void SetSelected(HTREEITEM item);
  CChangeGroupNameEdit* GetNameEdit() const { return m_pNameEdit.get(); }
  // The move-to submenu's last numbering: command id to group item.
  const std::vector<std::pair<UINT, HTREEITEM>>& GetMoveToMap() const { return m_moveTo; }

  // ---- building ----------------------------------------------------------------
  // Opens a group as a click would: its friends are inserted when it has no
  // child items yet, then it is expanded or collapsed (toggle).
  void OpenGroup(HTREEITEM group, bool toggle = true);
  // Clears and rebuilds the whole tree from the friend data (the only-online
  // filter changed).
  void Refilter();
  void BringPanelForward();

 protected:
  void OnTimer(UINT_PTR id) override;
  BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnCaptureChanged(CWnd* wnd) override;
  void OnItem_LButtonUp(HTREEITEM item, UINT flags, CPoint point) override;
  void OnItem_LButtonDblClk(HTREEITEM item, UINT flags, CPoint point) override;
  void OnItem_RButtonUp(HTREEITEM item, UINT flags, CPoint point) override;
  void OnPostfix_LButtonUp(HTREEITEM item, int index, UINT flags, CPoint point) override;
  BOOL OnCustomBeginDrag(HTREEITEM item, CPoint point) override;
  BOOL PreDrop(HTREEITEM dragged, HTREEITEM target) override;
  void OnDroped(HTREEITEM dragged, HTREEITEM target) override;
  void OnItemDeleted(HTREEITEM item) override;

 private:
  // ---- loading and keeping in step (ftree_ctrl.cpp) ----
  void Load();
  void ClearAll();
  void Build();
  void ReadOnlyOnline();
  void OpenChatFriendsGroup();
  bool MustBeShown(const CQWDataItem& record) const;
  bool IsHiddenCSGroup(const CQWDataItem& record) const;
  // Inserts one record after `after` (TVI_FIRST: first) under `parent`.
  HTREEITEM InsertQuickly(QWPOS pos, HTREEITEM parent, HTREEITEM after);
  // Selects a new group and opens its name edit.
  void StartNewGroupRename(HTREEITEM item);
  // Inserts every child of a group item in data order.
  void InsertChildren(HTREEITEM group);
  // The item of the nearest earlier sibling of pos that has one, or TVI_FIRST.
  HTREEITEM AfterItemFor(QWPOS pos, QWPOS prevSibling) const;
  void OnInsertByPos(QWPOS pos, QWPOS prev);
  HTREEITEM InsertByPos(QWPOS pos, QWPOS prev);
  void DeleteByPos(QWPOS pos);
  void OnUpdate(QWPOS pos);
  void OnMove(QWPOS pos, QWPOS prev);
  void OnSort(QWPOS pos, QWPOS prev);
  void OnOwnInfo(const BYTE* record);
  void OnWorkDir(const char16_t* path);
  void OnNamedValue(const FTREE_NAMEDVALUE* value);
  void OnLocate(QWPOS pos);
  void OnIconType(int type);

  // ---- items and images (ftree_items.cpp) ----
  std::u16string ItemText(const CQWDataItem& record) const;
  int ItemImage(const CQWDataItem& record) const;
  // Sets an item's image: its status slot, or in big-icon mode its photo.
  void ApplyImage(HTREEITEM item, const CQWDataItem& record);
  int PhotoImage(HTREEITEM item, const std::u16string& friendId);
  void UpdateItem(HTREEITEM item, const CQWDataItem& record);
  void UpdatePostfix(HTREEITEM item, const CQWDataItem& record);
  void ShowPostfix(HTREEITEM item, DWORD kind, bool show);
  void UpdateGroupText(HTREEITEM group);
  bool IsSameEnterprise(const std::u16string& friendId) const;
  // The layout's status icons into their slots.
  void LoadStatusIcons();
  // An image file added to the tree's image list at its image size; -1 when none.
  int AddImageFile(const std::u16string& file);
  // The same, once per file while the image list keeps it.
  int CachedImageFile(const std::u16string& file);

  // ---- what an item is (ftree_mouse.cpp) ----
  // The record behind a friend or group item (null for custom nodes).
  std::unique_ptr<CQWDataItem> RecordOf(HTREEITEM item) const;
  bool IsCustomNode(HTREEITEM item) const;
  bool IsFriendEntry(HTREEITEM item) const;
  bool IsGroupEntry(HTREEITEM item) const;
  // The group's identifier text (its name when it has none).
  std::u16string GroupIdText(const CQWDataItem& record) const;
  // The customer-service record of a contact ("CSData"), or null.
  std::unique_ptr<CQWDataItem> FindCSRecord(const CQWDataItem& contact) const;
  // The room position of a chat-room contact ("ChatRoomData"), or 0.
  QWPOS FindChatRoom(const CQWDataItem& contact) const;
  bool IsCSContact(HTREEITEM item) const;
  bool IsChatRoomContact(HTREEITEM item) const;
  // The top-level group item of a friend item (or of a group itself).
  HTREEITEM TopGroupOf(HTREEITEM item) const;
  // Default group names asked of the host, per kind, once per user action
  // (ForgetDefaultNames starts a new one).
  std::u16string DefaultGroupName(int kind);
  void ForgetDefaultNames() { m_defNames.clear(); }
  bool IsStrangersGroup(HTREEITEM group);
  bool IsGroupOfKinds(HTREEITEM group, std::initializer_list<int> kinds);
  void ActivateFriend(HTREEITEM item);  // double-click and Enter
  void OpenCustomerService(HTREEITEM item);
  void EndNameEditOnPress();
  // Drag and drop.
  void RestoreDragGroups();
  void MoveFriendTo(HTREEITEM friendItem, HTREEITEM group);

  // ---- menus and commands (ftree_menus.cpp, ftree_groups.cpp) ----
  void CreateMenu_Friend(HTREEITEM item, CPoint point);
  void CreateMenu_Stranger(HTREEITEM item, CPoint point);
  void CreateMenu_Group(HTREEITEM item, CPoint point);
  void CreateMenu_Blank(CPoint point);
  void TrackMenu(BCMenu& menu, CPoint point);
  // Appends the move-to submenu when it has entries.
  void AppendMoveToMenu(BCMenu& menu, HTREEITEM friendItem);
  std::u16string OnlyOnlineText() const;
  QWPOS SelectedPos() const;
  QWPOS SelectedFriendPos() const;
  void OnMurFriend_SendMsg();
  void OnMurFriend_Chat(int chatKind, int targetKind);
  void OnMurFriend_SendEmail();
  void OnMurFriend_SendMobileMsg();
  void OnMurFriend_Delete();
  void OnMurFriend_DeleteAllInGroup();
  void OnMurFriend_History();
  void OnMurFriend_Info();
  void OnMurFriend_Block();
  void OnMurFriend_AddAsFriend();
  void OnMurFriend_ClearRemark();
  void OnMurFriend_SetRemark();
  void OnMurFriend_MoveTo(UINT id);
  void OnGroup_AddFriend();
  void OnGroup_Add();
  void OnGroup_SendMobileMsg();
  void OnGroup_Rename();
  void OnGroup_Delete();
  void OnGroup_OnlyOnline();
  void OnCSGroup_Broadcast();
  void OnCSGroup_BroadcastAll();
  void OnGuide();
  void OnGroupNameEdited(const std::u16string& text);
  int ShowMessage(UINT textId, UINT captionId);
  // The edit's dialog-style host announcements and its remark text.
  bool RunRemarkDialog(std::u16string& remark);

  // ---- custom nodes (ftree_custom.cpp) ----
  void PutCustomNodes();
  void AddCSLinkNode(HTREEITEM csGroup);
  HTREEITEM InsertLinkItem(const std::u16string& text, const std::u16string& image, DWORD_PTR data,
                           HTREEITEM parent, HTREEITEM after, const FTREE_LINKRECORD* link);
  // kind 1: a single click, 2: a double-click.
  void OnCustomNodeClick(HTREEITEM item, int kind);
  void OpenLink(const FTREE_LINKRECORD& link);

  CQWFriendTree_DataProcessor m_processor;
  CQWBasePlugin* m_pPlugin = nullptr;
  CQWDataManager* m_pDataMgr = nullptr;
  CQWMsgManager* m_pMsgMgr = nullptr;
  CQWData* m_pFriendData = nullptr;
  std::vector<UINT> m_msgList;
  Hooks m_hooks;

  std::unordered_map<QWPOS, HTREEITEM> m_posMap;
  std::unordered_map<std::u16string, int> m_photoCache;  // friend identifier -> image
  int m_statusImage[kStatusSlots] = {};
  // Image lists that received photos, with the count of their configured
  // images: a clear removes what lies above.
  std::unordered_map<CImageList*, int> m_photoLists;
  // Custom nodes' images in the normal image list, by file.
  std::unordered_map<std::u16string, int> m_fileImages;

  bool m_bOnlyOnline = false;
  bool m_bEnterprise = false;
  std::u16string m_strEnterpriseSuffix;
  bool m_bShowTrueName = false;
  bool m_bShowCSGroup = true;
  bool m_bOwnerInfoReceived = false;
  bool m_bReportReady = false;
  bool m_bUseMobile = false;
  QWPOS m_posPendingNewGroup = 0;
  HTREEITEM m_hSelected = nullptr;

  std::vector<BYTE> m_ownInfo;
  std::u16string m_strWorkDir;
  std::u16string m_strImageDir;
  std::u16string m_strImageFile, m_strBigImageFile;
  std::vector<std::pair<int, std::u16string>> m_namedValues;
  std::unique_ptr<CChangeGroupNameEdit> m_pNameEdit;
  // The group being renamed and its name before the edit.
  QWPOS m_posRenaming = 0;
  std::u16string m_strOldName;

  std::vector<FTREE_CUSTOMNODE> m_customNodes;
  std::vector<FTREE_ICONRECORD> m_iconRecords;
  std::unordered_map<HTREEITEM, FTREE_LINKRECORD> m_links;
  std::vector<std::pair<UINT, HTREEITEM>> m_moveTo;
  std::unordered_map<int, std::u16string> m_defNames;
  // Groups collapsed while a friend is dragged.
  std::vector<HTREEITEM> m_dragCollapsed;
};
