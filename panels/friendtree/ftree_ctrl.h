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

  // What the plug-in adds around the friend data (custom nodes after every
  // build, the link node at the end of the customer-service group) and what
  // it does when the own information first arrives.
  struct Hooks {
    std::function<void(CQWFriendTreeCtrl&)> addCustomNodes;
    std::function<void(CQWFriendTreeCtrl&, HTREEITEM csGroup)> addCSLinkNode;
    std::function<void(CQWFriendTreeCtrl&)> firstOwnInfo;
  };

  CQWFriendTreeCtrl();
  ~CQWFriendTreeCtrl() override;

  // ---- set-up by the plug-in -------------------------------------------------
  void Init() override;
  void SetPlugin(CQWBasePlugin* plugin) { m_pPlugin = plugin; }
  void SetHooks(Hooks hooks) { m_hooks = std::move(hooks); }
  void SetDataManager(CQWDataManager* mgr);
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
  // The group that the next insert selects and renames (add-group command).
  void SetPendingNewGroup(QWPOS pos) { m_posPendingNewGroup = pos; }

  // The library-wide name of the group that opens after every build.
  static const std::u16string& GetChatFriendsGroupName();
  static void SetChatFriendsGroupName(const std::u16string& name);   // empty: the default

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
  const std::vector<std::pair<int, std::u16string>>& GetNamedValues() const { return m_namedValues; }
  std::size_t GetPhotoCacheSize() const { return m_photoCache.size(); }
  // The image list an item is drawn from (and its photo added to).
  CImageList* GetDrawingImages(HTREEITEM item) const { return GetItemImages(item); }
  int GetStatusImage(int slot) const;
  void SetStatusImage(int slot, int image);

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
  void OnItem_LButtonUp(HTREEITEM item, UINT flags, CPoint point) override;
  void OnItemDeleted(HTREEITEM item) override;

 private:
  void Load();
  void ClearAll();
  void Build();
  void ReadOnlyOnline();
  void OpenChatFriendsGroup();

  bool MustBeShown(const CQWDataItem& record) const;
  bool IsHiddenCSGroup(const CQWDataItem& record) const;
  // Inserts one record after `after` (TVI_FIRST: first) under `parent`.
  HTREEITEM InsertQuickly(QWPOS pos, HTREEITEM parent, HTREEITEM after);
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

  // Text, image and buttons of an item from its record.
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

  CQWFriendTree_DataProcessor m_processor;
  CQWBasePlugin* m_pPlugin = nullptr;
  CQWDataManager* m_pDataMgr = nullptr;
  CQWMsgManager* m_pMsgMgr = nullptr;
  CQWData* m_pFriendData = nullptr;
  std::vector<UINT> m_msgList;
  Hooks m_hooks;

  std::unordered_map<QWPOS, HTREEITEM> m_posMap;
  std::unordered_map<std::u16string, int> m_photoCache;   // friend identifier -> image
  int m_statusImage[kStatusSlots] = {};
  // Image lists that received photos, with the count of their configured
  // images: a clear removes what lies above.
  std::unordered_map<CImageList*, int> m_photoLists;

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
};
