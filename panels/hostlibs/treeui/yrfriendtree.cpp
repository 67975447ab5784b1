// The tree of groups and friends: kinds of items, icon types and images.
#include "host/treeui/yrfriendtree.h"

#include "treemodel.h"

#include "platform/file.h"

#include <algorithm>

COLORREF CYRFriendTree::TEXTCLR_FRIEND = RGB(0, 0, 0);
COLORREF CYRFriendTree::TEXTCLR_GROUP = RGB(1, 35, 82);
COLORREF CYRFriendTree::TEXTCLR_GUIDE = RGB(165, 75, 30);

namespace {

// Loads a strip of square images into `list` (recreated); false when the
// file does not load.
bool LoadStrip(CImageList& list, const std::u16string& file) {
  list.DeleteImageList();
  if (file.empty()) return false;
  CBitmap bmp;
  if (!bmp.LoadFromFile(file.c_str())) return false;
  CSize size = bmp.GetSize();
  if (size.cy <= 0 || size.cx <= 0) return false;
  if (!list.Create(size.cy, size.cy, ILC_COLOR32 | ILC_MASK, 16, 16)) return false;
  return list.Add(&bmp, static_cast<CBitmap*>(nullptr)) >= 0;
}

}  // namespace

CYRFriendTree::CYRFriendTree() {
  std::u16string dir = GetModuleDirectoryW();
  while (!dir.empty() && (dir.back() == u'\\' || dir.back() == u'/')) dir.pop_back();
  m_settingDir = dir;
}

CYRFriendTree::~CYRFriendTree() {
  // The window goes while the image lists still exist.
  if (m_hWnd) DestroyWindow();
}

void CYRFriendTree::Init() {
  if (!LoadStrip(m_images, GetImageFile())) m_images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 16, 16);
  LoadStrip(m_bigImages, GetBigImageFile());
  SetImageList(&m_images, TVSIL_NORMAL);
  int cx = 16, cy = 16;
  m_images.GetIconSize(&cx, &cy);
  m_smallHeight = std::max(20, cy + 4);
  int bx = 0, by = 0;
  if (m_bigImages.GetSafeHandle()) m_bigImages.GetIconSize(&bx, &by);
  m_bigHeight = std::max(40, by + 4);
  SetItemHeight(m_iconType == YRICON_BIG ? m_bigHeight : m_smallHeight);
}

HTREEITEM CYRFriendTree::InsertGroupItem(LPCWSTR text, int image, int selectedImage, DWORD_PTR data,
                                         HTREEITEM parent, HTREEITEM after, WORD flag) {
  HTREEITEM item = InsertNode(text, image, selectedImage < 0 ? image : selectedImage, parent,
                              after ? after : TVI_LAST);
  if (treeui::Node* n = NodeOf(item)) {
    n->data = data;
    n->flag = flag;
    n->kind = treeui::NodeKind::Group;
    n->canDrop = true;
  }
  return item;
}

HTREEITEM CYRFriendTree::InsertFriendItem(LPCWSTR text, int image, int selectedImage,
                                          DWORD_PTR data, HTREEITEM parent, HTREEITEM after) {
  HTREEITEM item = InsertNode(text, image, selectedImage < 0 ? image : selectedImage, parent,
                              after ? after : TVI_LAST);
  if (treeui::Node* n = NodeOf(item)) {
    n->data = data;
    n->kind = treeui::NodeKind::Friend;
    n->canDrag = true;
  }
  return item;
}

BOOL CYRFriendTree::IsGroupItem(HTREEITEM item) const {
  treeui::Node* n = NodeOf(item);
  return n && n->kind == treeui::NodeKind::Group ? TRUE : FALSE;
}

BOOL CYRFriendTree::IsFriendItem(HTREEITEM item) const {
  treeui::Node* n = NodeOf(item);
  return n && n->kind == treeui::NodeKind::Friend ? TRUE : FALSE;
}

WORD CYRFriendTree::GetItemFlag(HTREEITEM item) const {
  treeui::Node* n = NodeOf(item);
  return n ? n->flag : 0;
}

BOOL CYRFriendTree::EnableBigImage(HTREEITEM item, BOOL on) {
  treeui::Node* n = NodeOf(item);
  if (!n) return FALSE;
  n->bigImage = on != FALSE;
  RefreshItem(item);
  return TRUE;
}

BOOL CYRFriendTree::IsBigImage(HTREEITEM item) const {
  treeui::Node* n = NodeOf(item);
  return n && n->bigImage ? TRUE : FALSE;
}

void CYRFriendTree::SetIconType(int type) {
  m_iconType = type == YRICON_BIG ? YRICON_BIG : YRICON_SMALL;
  SetItemHeight(m_iconType == YRICON_BIG ? m_bigHeight : m_smallHeight);
}

int CYRFriendTree::GetIconType() const { return m_iconType; }
int CYRFriendTree::GetSmallItemHeight() const { return m_smallHeight; }
int CYRFriendTree::GetBigItemHeight() const { return m_bigHeight; }

std::u16string CYRFriendTree::GetImageFile() { return {}; }
std::u16string CYRFriendTree::GetBigImageFile() { return {}; }

std::u16string CYRFriendTree::GetSettingDirectory() const { return m_settingDir; }
void CYRFriendTree::SetSettingDirectory(const std::u16string& dir) { m_settingDir = dir; }

BOOL CYRFriendTree::OnCustomBeginDrag(HTREEITEM, CPoint) { return TRUE; }

BOOL CYRFriendTree::OnBeginDrag(HTREEITEM item, CPoint point) {
  return IsFriendItem(item) ? OnCustomBeginDrag(item, point)
                            : CYRTreeCtrl::OnBeginDrag(item, point);
}

COLORREF CYRFriendTree::GetItemTextColour(HTREEITEM item) const {
  treeui::Node* n = NodeOf(item);
  if (!n) return TEXTCLR_GUIDE;
  switch (n->kind) {
    case treeui::NodeKind::Group: return TEXTCLR_GROUP;
    case treeui::NodeKind::Friend: return TEXTCLR_FRIEND;
    default: return TEXTCLR_GUIDE;
  }
}

CImageList* CYRFriendTree::GetItemImages(HTREEITEM item) const {
  treeui::Node* n = NodeOf(item);
  if (n && n->bigImage && m_iconType == YRICON_BIG && m_bigImages.GetSafeHandle())
    return const_cast<CImageList*>(&m_bigImages);
  return CYRTreeCtrl::GetItemImages(item);
}
