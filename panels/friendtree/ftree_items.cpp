// The friend tree's items: their texts, images (status slots, photos, the
// layout's icons) and postfix buttons.
#include "friendtree/ftree_ctrl.h"

#include "friendtree/ftree_log.h"
#include "host/basekit/commfunc.h"
#include "host/skinctl/colorconverter.h"
#include "module/request.h"
#include "platform/bitmap.h"
#include "platform/file.h"
#include "platform/imagelist.h"
#include "platform/text.h"

std::u16string CQWFriendTreeCtrl::ItemText(const CQWDataItem& record) const {
  FTLOG(u"CQWFriendTreeCtrl::ItemText()");
  // Names travel in 64-character fields.
  const std::u16string name = record.GetName().substr(0, 63);
  if (!record.IsFriend()) {
    const int total = record.GetMemberCount();
    if (total <= 0) return name;
    return FormatW(u"%s(%d/%d)", name, record.GetOnlineCount(), total);
  }
  if (m_bEnterprise && m_bShowTrueName) {
    auto id = record.GetID();
    CQWFriendDetail detail;
    if (id && IsSameEnterprise(id->GetID()) && record.GetDetail(detail) && !detail.trueName.empty())
      return detail.trueName.substr(0, 63) + u"-" + name;
  }
  return name;
}

bool CQWFriendTreeCtrl::IsSameEnterprise(const std::u16string& friendId) const {
  FTLOG(u"CQWFriendTreeCtrl::IsSameEnterprise()");
  if (!m_bEnterprise) return false;
  const std::u16string account = friendId.substr(0, friendId.find(u'@'));
  const std::size_t dot = account.find(u'.');
  return dot != std::u16string::npos && account.substr(dot) == m_strEnterpriseSuffix;
}

int CQWFriendTreeCtrl::ItemImage(const CQWDataItem& record) const {
  FTLOG(u"CQWFriendTreeCtrl::ItemImage()");
  const int status = record.GetStatus();
  const int slot = status >= QWSTATUS_OFFLINE && status < QWSTATUS_OFFLINE + kStatusSlots
                       ? status - QWSTATUS_OFFLINE
                       : 0;
  int image = m_statusImage[slot];
  if (record.GetDataKind() == QWKIND_CS) image += kCSImageBase;
  else if (record.GetDataKind() == QWKIND_CHATROOM) image += kChatRoomImageBase;
  return image;
}

void CQWFriendTreeCtrl::ApplyImage(HTREEITEM item, const CQWDataItem& record) {
  FTLOG(u"CQWFriendTreeCtrl::ApplyImage()");
  int image = ItemImage(record);
  if (record.IsFriend()) {
    const bool big = GetIconType() == YRICON_BIG;
    EnableBigImage(item, big);
    if (big) {
      auto id = record.GetID();
      const int photo = id ? PhotoImage(item, id->GetID()) : -1;
      if (photo >= 0) image = photo;
    }
  }
  SetItemImage(item, image, image);
}

int CQWFriendTreeCtrl::PhotoImage(HTREEITEM item, const std::u16string& friendId) {
  FTLOG(u"CQWFriendTreeCtrl::PhotoImage()");
  const std::u16string key = friendId.substr(0, friendId.find(u'@'));
  if (key.empty()) return -1;
  auto cached = m_photoCache.find(key);
  if (cached != m_photoCache.end()) return cached->second;
  // The photo joins the list the item is drawn from (the big images when
  // the tree has them), at that list's image size.
  CImageList* images = GetItemImages(item);
  if (!images || !images->GetSafeHandle()) return -1;
  const std::u16string file = FormatW(u"%s%s\\FriendPhoto\\%s.bmp",
                                      CCommFunction::GetModuleDirectory(), GetAccountText(), key);
  if (!PathFileExistsW(file.c_str())) return -1;
  int cx = 0, cy = 0;
  images->GetIconSize(&cx, &cy);
  auto bitmap =
      static_cast<HBITMAP>(LoadImageW(0, file.c_str(), IMAGE_BITMAP, cx, cy, LR_LOADFROMFILE));
  if (!bitmap) return -1;
  CColorConverter::ConvertBitmap(bitmap);
  // The first photo marks where the configured images end.
  m_photoLists.emplace(images, images->GetImageCount());
  const int index = ImageList_Add(images->GetSafeHandle(), bitmap, 0);
  DeleteObject(bitmap);
  if (index < 0) return -1;
  m_photoCache.emplace(key, index);
  return index;
}

void CQWFriendTreeCtrl::UpdateItem(HTREEITEM item, const CQWDataItem& record) {
  FTLOG(u"CQWFriendTreeCtrl::UpdateItem()");
  SetItemText(item, ItemText(record));
  ApplyImage(item, record);
  if (record.IsFriend()) UpdatePostfix(item, record);
}

void CQWFriendTreeCtrl::UpdateGroupText(HTREEITEM group) {
  FTLOG(u"CQWFriendTreeCtrl::UpdateGroupText()");
  if (!m_pFriendData) return;
  const QWPOS pos = GetItemData(group);
  if (GetItemByPos(pos) != group) return;
  if (auto rec = m_pFriendData->GetItem(pos)) SetItemText(group, ItemText(*rec));
}

void CQWFriendTreeCtrl::ShowPostfix(HTREEITEM item, DWORD kind, bool show) {
  FTLOG(u"CQWFriendTreeCtrl::ShowPostfix()");
  constexpr int kPostfixImageBase = 0;
  const int count = GetPostfixBnCount(item);
  int found = -1;
  for (int i = 0; i < count && found < 0; ++i) {
    DWORD data = 0;
    if (GetPostfixBnData(item, i, data) && data == kind) found = i;
  }
  if (show && found < 0) {
    int index = -1;
    InsertPostfixBn(item, kPostfixImageBase + static_cast<int>(kind), kind, &index, TRUE, FALSE);
  } else if (!show && found >= 0) {
    DeletePostfixBn(item, found);
  }
}

void CQWFriendTreeCtrl::UpdatePostfix(HTREEITEM item, const CQWDataItem& record) {
  FTLOG(u"CQWFriendTreeCtrl::UpdatePostfix()");
  ShowPostfix(item, PF_VIDEO, false);
  CQWFriendDetail detail;
  const bool has = record.GetDetail(detail);
  const bool active = has && detail.state != 3;
  // A button whose reason is gone (address removed, services withdrawn) goes too.
  ShowPostfix(item, PF_EMAIL, active && !detail.email.empty());
  const CQWPayload own(m_ownInfo.empty() ? nullptr : const_cast<BYTE*>(m_ownInfo.data()),
                       static_cast<DWORD>(m_ownInfo.size()));
  const bool ownMobile = own.GetInt(qwownfield::kMobileService) == 1;
  ShowPostfix(item, PF_MOBILE, active && detail.mobile && ownMobile && m_bUseMobile);
  if (has && !detail.blocked) ShowPostfix(item, PF_VIDEO, detail.video);
}

int CQWFriendTreeCtrl::AddImageFile(const std::u16string& file) {
  FTLOG(u"CQWFriendTreeCtrl::AddImageFile()");
  CImageList* images = GetImageList(TVSIL_NORMAL);
  if (file.empty() || !images || !images->GetSafeHandle() || !PathFileExistsW(file.c_str()))
    return -1;
  int cx = 0, cy = 0;
  images->GetIconSize(&cx, &cy);
  auto bitmap =
      static_cast<HBITMAP>(LoadImageW(0, file.c_str(), IMAGE_BITMAP, cx, cy, LR_LOADFROMFILE));
  if (!bitmap) return -1;
  const int index = ImageList_Add(images->GetSafeHandle(), bitmap, 0);
  DeleteObject(bitmap);
  return index;
}

void CQWFriendTreeCtrl::LoadStatusIcons() {
  FTLOG(u"CQWFriendTreeCtrl::LoadStatusIcons()");
  static const struct {
    const char16_t* name;
    int status;
  } kSlots[] = {{u"offline", QWSTATUS_OFFLINE},
                {u"online", QWSTATUS_ONLINE},
                {u"away", QWSTATUS_AWAY},
                {u"busy", QWSTATUS_BUSY},
                {u"hide", QWSTATUS_HIDDEN}};
  for (const FTREE_ICONRECORD& icon : m_iconRecords) {
    if (icon.type != 1) continue;  // group icons change nothing here
    for (const auto& slot : kSlots) {
      if (lstrcmpiW(icon.name.c_str(), slot.name) != 0) continue;
      const int image = AddImageFile(icon.file);
      if (image >= 0) m_statusImage[slot.status - QWSTATUS_OFFLINE] = image;
      break;
    }
  }
}

int CQWFriendTreeCtrl::CachedImageFile(const std::u16string& file) {
  FTLOG(u"CQWFriendTreeCtrl::CachedImageFile()");
  if (file.empty()) return -1;
  auto it = m_fileImages.find(file);
  if (it != m_fileImages.end()) return it->second;
  const int index = AddImageFile(file);
  m_fileImages.emplace(file, index);
  return index;
}
