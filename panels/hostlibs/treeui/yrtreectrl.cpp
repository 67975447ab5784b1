// The owner-drawn tree control: items, layout, painting, mouse and keys.
#include "host/treeui/yrtreectrl.h"

#include "treemodel.h"

#include "platform/text.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

using treeui::Node;
using treeui::NodeKind;
using treeui::RowLayout;

namespace {

// Scroll codes and dialog codes of the original platform.
constexpr UINT kSbLineUp = 0, kSbLineDown = 1, kSbPageUp = 2, kSbPageDown = 3;
constexpr UINT kSbThumbPosition = 4, kSbThumbTrack = 5, kSbTop = 6, kSbBottom = 7;
constexpr UINT kDlgcWantArrows = 0x0001, kDlgcWantChars = 0x0080;
constexpr int kDragThreshold = 4;
constexpr int kCheckWidth = 16;
constexpr int kImageGap = 3;
constexpr int kPostfixGap = 2;
constexpr int kPostfixLead = 4;

bool IsSpecial(HTREEITEM item) {
  return item == TVI_ROOT || item == TVI_FIRST || item == TVI_LAST || item == TVI_SORT;
}

bool TextLess(const Node& a, const Node& b) {
  return lstrcmpiW(a.text.c_str(), b.text.c_str()) < 0;
}

}  // namespace

struct CYRTreeCtrl::Impl {
  treeui::Model model;
  Node* selected = nullptr;
  Node* dropHilite = nullptr;
  CImageList* images = nullptr;
  CImageList* stateImages = nullptr;
  CImageList* postfixImages = nullptr;
  int itemHeight = 20;
  UINT indent = 16;
  int scrollY = 0;
  COLORREF bk = RGB(255, 255, 255);
  COLORREF text = RGB(0, 0, 0);
  UINT align = YRTA_LEFT;

  // The left button's press, and the drag it may start.
  bool lDown = false;
  bool afterDblClk = false;
  CPoint downPoint;
  Node* downNode = nullptr;
  int downPostfix = -1;
  bool downOnCheck = false;
  bool dragging = false;
  bool endingDrag = false;
  Node* dragNode = nullptr;

  void Forget(Node* n) {
    if (selected == n) selected = nullptr;
    if (dropHilite == n) dropHilite = nullptr;
    if (downNode == n) downNode = nullptr;
    if (dragNode == n) {
      dragNode = nullptr;
      dragging = false;
    }
  }
};

CYRTreeCtrl::CYRTreeCtrl() : m_impl(std::make_unique<Impl>()) {}

CYRTreeCtrl::~CYRTreeCtrl() {
  // The window goes first, while the object is whole.
  if (m_hWnd) DestroyWindow();
}

BOOL CYRTreeCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(nullptr, u"", style | WS_CHILD, rect, parent, id);
}

void CYRTreeCtrl::PreSubclassWindow() { CWnd::PreSubclassWindow(); }

treeui::Model& CYRTreeCtrl::Model() const { return m_impl->model; }

Node* CYRTreeCtrl::NodeOf(HTREEITEM item) const {
  if (!item || IsSpecial(item)) return nullptr;
  return m_impl->model.Find(reinterpret_cast<std::uintptr_t>(item));
}

HTREEITEM CYRTreeCtrl::ItemOf(const Node* node) {
  return node ? reinterpret_cast<HTREEITEM>(node->handle) : nullptr;
}

// ---- items ---------------------------------------------------------------------

HTREEITEM CYRTreeCtrl::InsertNode(LPCWSTR text, int image, int selectedImage, HTREEITEM parent,
                                  HTREEITEM after) {
  Node* p = (!parent || parent == TVI_ROOT) ? m_impl->model.Root() : NodeOf(parent);
  if (!p) return nullptr;
  Node* n = nullptr;
  std::u16string t = text ? text : u"";
  if (after == TVI_SORT) {
    n = m_impl->model.InsertSorted(p, TextLess, t);
  } else if (after == TVI_FIRST) {
    n = m_impl->model.Insert(p, nullptr, true);
  } else {
    Node* a = NodeOf(after);
    n = m_impl->model.Insert(p, (a && a->parent == p) ? a : nullptr, false);
  }
  n->text = std::move(t);
  n->image = image;
  n->selImage = selectedImage;
  if (m_hWnd && m_impl->model.IsVisible(n)) Invalidate(FALSE);
  return ItemOf(n);
}

HTREEITEM CYRTreeCtrl::InsertItem(LPCWSTR text, int image, int selectedImage, HTREEITEM parent,
                                  HTREEITEM after) {
  return InsertNode(text, image, selectedImage, parent, after);
}

HTREEITEM CYRTreeCtrl::InsertItem(LPCWSTR text, HTREEITEM parent, HTREEITEM after) {
  return InsertNode(text, 0, 0, parent, after);
}

BOOL CYRTreeCtrl::DeleteItem(HTREEITEM item) {
  if (!item || item == TVI_ROOT) return DeleteAllItems();
  Node* n = NodeOf(item);
  if (!n) return FALSE;
  m_impl->model.Erase(n, [this](Node* gone) {
    OnItemDeleted(ItemOf(gone));
    m_impl->Forget(gone);
  });
  UpdateScroll();
  if (m_hWnd) Invalidate(FALSE);
  return TRUE;
}

BOOL CYRTreeCtrl::DeleteAllItems() {
  m_impl->model.Clear([this](Node* gone) {
    OnItemDeleted(ItemOf(gone));
    m_impl->Forget(gone);
  });
  m_impl->scrollY = 0;
  if (m_hWnd) Invalidate(FALSE);
  return TRUE;
}

void CYRTreeCtrl::OnItemDeleted(HTREEITEM) {}

HTREEITEM CYRTreeCtrl::GetRootItem() const { return ItemOf(m_impl->model.Root()->first); }

HTREEITEM CYRTreeCtrl::GetChildItem(HTREEITEM item) const {
  if (!item || item == TVI_ROOT) return GetRootItem();
  Node* n = NodeOf(item);
  return n ? ItemOf(n->first) : nullptr;
}

HTREEITEM CYRTreeCtrl::GetNextSiblingItem(HTREEITEM item) const {
  Node* n = NodeOf(item);
  return n ? ItemOf(n->next) : nullptr;
}

HTREEITEM CYRTreeCtrl::GetPrevSiblingItem(HTREEITEM item) const {
  Node* n = NodeOf(item);
  return n ? ItemOf(n->prev) : nullptr;
}

HTREEITEM CYRTreeCtrl::GetParentItem(HTREEITEM item) const {
  Node* n = NodeOf(item);
  if (!n || n->parent == m_impl->model.Root()) return nullptr;
  return ItemOf(n->parent);
}

HTREEITEM CYRTreeCtrl::GetNextItem(HTREEITEM item, UINT code) const {
  switch (code) {
    case TVGN_ROOT: return GetRootItem();
    case TVGN_NEXT: return GetNextSiblingItem(item);
    case TVGN_PREVIOUS: return GetPrevSiblingItem(item);
    case TVGN_PARENT: return GetParentItem(item);
    case TVGN_CHILD: return GetChildItem(item);
    case TVGN_FIRSTVISIBLE: return GetFirstVisibleItem();
    case TVGN_NEXTVISIBLE: return GetNextVisibleItem(item);
    case TVGN_PREVIOUSVISIBLE: return GetPrevVisibleItem(item);
    case TVGN_DROPHILITE: return GetDropHilightItem();
    case TVGN_CARET: return GetSelectedItem();
    case TVGN_LASTVISIBLE: return GetLastVisibleItem();
    default: return nullptr;
  }
}

HTREEITEM CYRTreeCtrl::GetFirstVisibleItem() const {
  int h = std::max(1, m_impl->itemHeight);
  return ItemOf(m_impl->model.NodeAtRow(m_impl->scrollY / h));
}

HTREEITEM CYRTreeCtrl::GetNextVisibleItem(HTREEITEM item) const {
  int row = m_impl->model.RowOf(NodeOf(item));
  return row < 0 ? nullptr : ItemOf(m_impl->model.NodeAtRow(row + 1));
}

HTREEITEM CYRTreeCtrl::GetPrevVisibleItem(HTREEITEM item) const {
  int row = m_impl->model.RowOf(NodeOf(item));
  return row <= 0 ? nullptr : ItemOf(m_impl->model.NodeAtRow(row - 1));
}

HTREEITEM CYRTreeCtrl::GetLastVisibleItem() const {
  return ItemOf(m_impl->model.NodeAtRow(m_impl->model.RowCount() - 1));
}

HTREEITEM CYRTreeCtrl::GetSelectedItem() const { return ItemOf(m_impl->selected); }
HTREEITEM CYRTreeCtrl::GetDropHilightItem() const { return ItemOf(m_impl->dropHilite); }

BOOL CYRTreeCtrl::ItemHasChildren(HTREEITEM item) const {
  Node* n = (item == TVI_ROOT) ? m_impl->model.Root() : NodeOf(item);
  return n && n->first ? TRUE : FALSE;
}

UINT CYRTreeCtrl::GetCount() const { return static_cast<UINT>(m_impl->model.Count()); }

UINT CYRTreeCtrl::GetChildCount(HTREEITEM item) const {
  Node* n = (!item || item == TVI_ROOT) ? m_impl->model.Root() : NodeOf(item);
  return n ? static_cast<UINT>(n->childCount) : 0;
}

BOOL CYRTreeCtrl::IsValidItem(HTREEITEM item) const { return NodeOf(item) ? TRUE : FALSE; }

int CYRTreeCtrl::GetItemDepth(HTREEITEM item) const {
  Node* n = NodeOf(item);
  return n ? m_impl->model.Depth(n) : -1;
}

std::u16string CYRTreeCtrl::GetItemText(HTREEITEM item) const {
  Node* n = NodeOf(item);
  return n ? n->text : std::u16string();
}

BOOL CYRTreeCtrl::SetItemText(HTREEITEM item, LPCWSTR text) {
  Node* n = NodeOf(item);
  if (!n) return FALSE;
  n->text = text ? text : u"";
  RefreshItem(item);
  return TRUE;
}

DWORD_PTR CYRTreeCtrl::GetItemData(HTREEITEM item) const {
  Node* n = NodeOf(item);
  return n ? n->data : 0;
}

BOOL CYRTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data) {
  Node* n = NodeOf(item);
  if (!n) return FALSE;
  n->data = data;
  return TRUE;
}

BOOL CYRTreeCtrl::GetItemImage(HTREEITEM item, int& image, int& selectedImage) const {
  Node* n = NodeOf(item);
  if (!n) return FALSE;
  image = n->image;
  selectedImage = n->selImage;
  return TRUE;
}

BOOL CYRTreeCtrl::SetItemImage(HTREEITEM item, int image, int selectedImage) {
  Node* n = NodeOf(item);
  if (!n) return FALSE;
  n->image = image;
  n->selImage = selectedImage;
  RefreshItem(item);
  return TRUE;
}

UINT CYRTreeCtrl::GetItemState(HTREEITEM item, UINT mask) const {
  Node* n = NodeOf(item);
  if (!n) return 0;
  UINT state = 0;
  if (n == m_impl->selected) state |= TVIS_SELECTED;
  if (n == m_impl->dropHilite) state |= TVIS_DROPHILITED;
  if (n->bold) state |= TVIS_BOLD;
  if (n->expanded) state |= TVIS_EXPANDED;
  return state & mask;
}

BOOL CYRTreeCtrl::SetItemState(HTREEITEM item, UINT state, UINT mask) {
  Node* n = NodeOf(item);
  if (!n) return FALSE;
  if (mask & TVIS_BOLD) n->bold = (state & TVIS_BOLD) != 0;
  if (mask & TVIS_EXPANDED) Expand(item, (state & TVIS_EXPANDED) ? TVE_EXPAND : TVE_COLLAPSE);
  if (mask & TVIS_SELECTED) SelectItem((state & TVIS_SELECTED) ? item : nullptr);
  if (mask & TVIS_DROPHILITED) SelectDropTarget((state & TVIS_DROPHILITED) ? item : nullptr);
  RefreshItem(item);
  return TRUE;
}

BOOL CYRTreeCtrl::GetCheck(HTREEITEM item) const {
  Node* n = NodeOf(item);
  return n && n->check ? TRUE : FALSE;
}

BOOL CYRTreeCtrl::SetCheck(HTREEITEM item, BOOL check) {
  Node* n = NodeOf(item);
  if (!n) return FALSE;
  n->check = check ? 1 : 0;
  RefreshItem(item);
  return TRUE;
}

HTREEITEM CYRTreeCtrl::FindItemByData(DWORD_PTR data, HTREEITEM start) const {
  HTREEITEM found = nullptr;
  Node* from = (!start || start == TVI_ROOT) ? m_impl->model.Root() : NodeOf(start);
  if (!from) return nullptr;
  // Depth first without recursion.
  std::vector<Node*> stack;
  for (Node* c = from->last; c; c = c->prev) stack.push_back(c);
  while (!stack.empty() && !found) {
    Node* n = stack.back();
    stack.pop_back();
    if (n->data == data) found = ItemOf(n);
    for (Node* c = n->last; c; c = c->prev) stack.push_back(c);
  }
  return found;
}

BOOL CYRTreeCtrl::SelectItem(HTREEITEM item) {
  Node* n = NodeOf(item);
  if (item && !n) return FALSE;
  if (m_impl->selected == n) return TRUE;
  HTREEITEM old = ItemOf(m_impl->selected);
  m_impl->selected = n;
  RefreshItem(old);
  RefreshItem(item);
  return TRUE;
}

BOOL CYRTreeCtrl::SelectDropTarget(HTREEITEM item) {
  Node* n = NodeOf(item);
  if (item && !n) return FALSE;
  HTREEITEM old = ItemOf(m_impl->dropHilite);
  m_impl->dropHilite = n;
  RefreshItem(old);
  RefreshItem(item);
  return TRUE;
}

BOOL CYRTreeCtrl::Expand(HTREEITEM item, UINT code) {
  Node* n = NodeOf(item);
  if (!n) return FALSE;
  bool expand = code == TVE_EXPAND || (code == TVE_TOGGLE && !n->expanded);
  if (code != TVE_EXPAND && code != TVE_COLLAPSE && code != TVE_TOGGLE) return FALSE;
  if (n->expanded == expand) return TRUE;
  n->expanded = expand;
  m_impl->model.Invalidate();
  if (!expand) {
    // A selection hidden by the collapse moves to the collapsed item.
    for (Node* p = m_impl->selected ? m_impl->selected->parent : nullptr; p; p = p->parent)
      if (p == n) {
        m_impl->selected = n;
        break;
      }
  }
  UpdateScroll();
  if (m_hWnd) Invalidate(FALSE);
  return TRUE;
}

BOOL CYRTreeCtrl::EnsureVisible(HTREEITEM item) {
  Node* n = NodeOf(item);
  if (!n) return FALSE;
  for (Node* p = n->parent; p && p != m_impl->model.Root(); p = p->parent)
    if (!p->expanded) {
      p->expanded = true;
      m_impl->model.Invalidate();
    }
  int row = m_impl->model.RowOf(n);
  int h = m_impl->itemHeight;
  CRect client;
  if (m_hWnd) GetClientRect(&client);
  int top = row * h;
  if (top < m_impl->scrollY) m_impl->scrollY = top;
  else if (client.Height() > 0 && top + h > m_impl->scrollY + client.Height())
    m_impl->scrollY = top + h - client.Height();
  UpdateScroll();
  if (m_hWnd) Invalidate(FALSE);
  return TRUE;
}

BOOL CYRTreeCtrl::SortChildren(HTREEITEM item) {
  Node* n = (!item || item == TVI_ROOT) ? m_impl->model.Root() : NodeOf(item);
  if (!n) return FALSE;
  m_impl->model.SortChildren(n, TextLess, false);
  if (m_hWnd) Invalidate(FALSE);
  return TRUE;
}

BOOL CYRTreeCtrl::SortChildrenCB(const TVSORTCB* sort) {
  if (!sort || !sort->lpfnCompare) return FALSE;
  Node* n =
      (!sort->hParent || sort->hParent == TVI_ROOT) ? m_impl->model.Root() : NodeOf(sort->hParent);
  if (!n) return FALSE;
  m_impl->model.SortChildren(
      n,
      [sort](const Node& a, const Node& b) {
        return sort->lpfnCompare(static_cast<LPARAM>(a.data), static_cast<LPARAM>(b.data),
                                 sort->lParam) < 0;
      },
      false);
  if (m_hWnd) Invalidate(FALSE);
  return TRUE;
}

// ---- geometry --------------------------------------------------------------------

namespace {

int ImageWidth(CImageList* list) {
  int cx = 0, cy = 0;
  if (!list || !list->GetSafeHandle() || !list->GetIconSize(&cx, &cy)) return 0;
  return cx;
}

}  // namespace

int CYRTreeCtrl::GetItemHeight() const { return m_impl->itemHeight; }

int CYRTreeCtrl::SetItemHeight(int height) {
  int old = m_impl->itemHeight;
  m_impl->itemHeight = std::max(1, height);
  UpdateScroll();
  if (m_hWnd) Invalidate(FALSE);
  return old;
}

UINT CYRTreeCtrl::GetIndent() const { return m_impl->indent; }

void CYRTreeCtrl::SetIndent(UINT indent) {
  m_impl->indent = indent;
  if (m_hWnd) Invalidate(FALSE);
}

UINT CYRTreeCtrl::GetVisibleCount() const {
  CRect client;
  if (m_hWnd) GetClientRect(&client);
  return static_cast<UINT>(std::max(0, client.Height()) / m_impl->itemHeight);
}

int CYRTreeCtrl::GetScrollPosition() const { return m_impl->scrollY; }

void CYRTreeCtrl::SetScrollPosition(int y) {
  m_impl->scrollY = y;
  UpdateScroll();
  if (m_hWnd) Invalidate(FALSE);
}

int CYRTreeCtrl::GetContentHeight() const { return m_impl->model.RowCount() * m_impl->itemHeight; }

void CYRTreeCtrl::UpdateScroll() {
  // Unscrolled, no content height can move the position: no rows are
  // counted, so that inserting and deleting one item stays constant time.
  if (m_impl->scrollY == 0) return;
  CRect client;
  if (m_hWnd) GetClientRect(&client);
  int max = std::max(0, GetContentHeight() - client.Height());
  m_impl->scrollY = std::clamp(m_impl->scrollY, 0, max);
}

namespace {

// Where the parts of a row lie; shared by painting and hit-testing.
RowLayout Layout(const CYRTreeCtrl& tree, const Node& n, int row, int depth, int scrollY,
                 int height, int clientWidth, bool checkboxes, CImageList* images,
                 CImageList* postfixImages, UINT align) {
  RowLayout l;
  l.row = {0, row * height - scrollY, std::max(clientWidth, 1), row * height - scrollY + height};
  int x = depth * static_cast<int>(tree.GetIndent());
  if (checkboxes) {
    l.check = {x, l.row.top, x + kCheckWidth, l.row.bottom};
    x += kCheckWidth + 2;
  }
  int iw = ImageWidth(images);
  if (iw > 0) {
    l.icon = {x, l.row.top, x + iw, l.row.bottom};
    x += iw + kImageGap;
  }
  int pw = ImageWidth(postfixImages);
  if (pw <= 0) pw = 16;
  int visibleButtons = 0;
  for (const auto& b : n.postfix) visibleButtons += b.visible ? 1 : 0;
  int postfixWidth = visibleButtons ? kPostfixLead + visibleButtons * (pw + kPostfixGap) : 0;
  int tw = MeasureText(0, n.text);
  int tx = x;
  if (align == YRTA_CENTER) tx = std::max(x, (x + clientWidth - postfixWidth - tw) / 2);
  if (align == YRTA_RIGHT) tx = std::max(x, clientWidth - postfixWidth - tw);
  l.text = {tx, l.row.top, tx + tw, l.row.bottom};
  int bx = l.text.right + kPostfixLead;
  for (const auto& b : n.postfix) {
    if (!b.visible) {
      l.postfix.push_back(RECT{});
      continue;
    }
    l.postfix.push_back(RECT{bx, l.row.top, bx + pw, l.row.bottom});
    bx += pw + kPostfixGap;
  }
  return l;
}

}  // namespace

RowLayout CYRTreeCtrl::LayoutOf(Node* n) const {
  CRect client;
  if (m_hWnd) GetClientRect(&client);
  CImageList* postfix = m_impl->postfixImages ? m_impl->postfixImages : m_impl->images;
  return Layout(*this, *n, m_impl->model.RowOf(n), m_impl->model.Depth(n), m_impl->scrollY,
                m_impl->itemHeight, client.Width(), m_hWnd && (GetStyle() & TVS_CHECKBOXES) != 0,
                GetItemImages(ItemOf(n)), postfix, m_impl->align);
}

HTREEITEM CYRTreeCtrl::HitTest(POINT pt, UINT* flags) const {
  return HitTestEx(pt, flags, nullptr);
}

HTREEITEM CYRTreeCtrl::HitTestEx(POINT pt, UINT* flags, int* postfixIndex) const {
  UINT f = 0;
  if (postfixIndex) *postfixIndex = -1;
  CRect client;
  if (m_hWnd) GetClientRect(&client);
  HTREEITEM item = nullptr;
  if (pt.y < 0) f = TVHT_ABOVE;
  else if (m_hWnd && pt.y >= client.bottom) f = TVHT_BELOW;
  else if (pt.x < 0) f = TVHT_TOLEFT;
  else if (m_hWnd && pt.x >= client.right) f = TVHT_TORIGHT;
  if (f == 0) {
    int row = (pt.y + m_impl->scrollY) / m_impl->itemHeight;
    Node* n = m_impl->model.NodeAtRow(row);
    if (!n) {
      f = TVHT_NOWHERE;
    } else {
      item = ItemOf(n);
      RowLayout l = LayoutOf(n);
      for (std::size_t i = 0; i < l.postfix.size(); ++i)
        if (PtInRect(&l.postfix[i], pt)) {
          f = TVHT_ONPOSTFIXBN;
          if (postfixIndex) *postfixIndex = static_cast<int>(i);
        }
      if (!f) {
        if (PtInRect(&l.check, pt)) f = TVHT_ONITEMSTATEICON;
        else if (PtInRect(&l.icon, pt)) f = TVHT_ONITEMICON;
        else if (PtInRect(&l.text, pt)) f = TVHT_ONITEMLABEL;
        else if (pt.x < l.text.left) f = TVHT_ONITEMINDENT;
        else f = TVHT_ONITEMRIGHT;
      }
    }
  }
  if (flags) *flags = f;
  return item;
}

BOOL CYRTreeCtrl::GetItemRect(HTREEITEM item, RECT* rc, BOOL textOnly) const {
  Node* n = NodeOf(item);
  if (!n || !rc) return FALSE;
  int row = m_impl->model.RowOf(n);
  if (row < 0) return FALSE;
  CRect client;
  if (m_hWnd) GetClientRect(&client);
  RowLayout l = LayoutOf(n);
  *rc = textOnly ? l.text : l.row;
  return TRUE;
}

BOOL CYRTreeCtrl::GetVisualTextRect(HTREEITEM item, RECT* rc) const {
  return GetItemRect(item, rc, TRUE);
}

BOOL CYRTreeCtrl::GetPostfixBnRect(HTREEITEM item, int index, RECT* rc) const {
  Node* n = NodeOf(item);
  if (!n || !rc || index < 0 || index >= static_cast<int>(n->postfix.size())) return FALSE;
  int row = m_impl->model.RowOf(n);
  if (row < 0 || !n->postfix[static_cast<std::size_t>(index)].visible) return FALSE;
  CRect client;
  if (m_hWnd) GetClientRect(&client);
  RowLayout l = LayoutOf(n);
  *rc = l.postfix[static_cast<std::size_t>(index)];
  return TRUE;
}

void CYRTreeCtrl::RefreshItem(HTREEITEM item) {
  if (!m_hWnd || !item) return;
  // Rows not yet numbered again (the shape changed since): repaint the whole
  // window rather than number every row for each item touched.
  if (!m_impl->model.RowsValid()) {
    Invalidate(FALSE);
    return;
  }
  RECT rc;
  if (GetItemRect(item, &rc, FALSE)) InvalidateRect(&rc, FALSE);
}

// ---- looks ----------------------------------------------------------------------

CImageList* CYRTreeCtrl::SetImageList(CImageList* list, int kind) {
  CImageList** slot = kind == TVSIL_STATE     ? &m_impl->stateImages
                      : kind == TVSIL_POSTFIX ? &m_impl->postfixImages
                                              : &m_impl->images;
  CImageList* old = *slot;
  *slot = list;
  if (m_hWnd) Invalidate(FALSE);
  return old;
}

CImageList* CYRTreeCtrl::GetImageList(int kind) const {
  return kind == TVSIL_STATE     ? m_impl->stateImages
         : kind == TVSIL_POSTFIX ? m_impl->postfixImages
                                 : m_impl->images;
}

COLORREF CYRTreeCtrl::SetBkColor(COLORREF colour, BOOL redraw) {
  COLORREF old = m_impl->bk;
  m_impl->bk = colour;
  if (redraw && m_hWnd) Invalidate(FALSE);
  return old;
}

COLORREF CYRTreeCtrl::GetBkColor() const { return m_impl->bk; }

COLORREF CYRTreeCtrl::SetTextColor(COLORREF colour) {
  COLORREF old = m_impl->text;
  m_impl->text = colour;
  if (m_hWnd) Invalidate(FALSE);
  return old;
}

COLORREF CYRTreeCtrl::GetTextColor() const { return m_impl->text; }

void CYRTreeCtrl::SetTextAlign(UINT align) {
  m_impl->align = align <= YRTA_RIGHT ? align : YRTA_LEFT;
  if (m_hWnd) Invalidate(FALSE);
}

UINT CYRTreeCtrl::GetTextAlign() const { return m_impl->align; }

COLORREF CYRTreeCtrl::GetItemTextColour(HTREEITEM) const { return m_impl->text; }

CImageList* CYRTreeCtrl::GetItemImages(HTREEITEM) const { return m_impl->images; }

// ---- postfix buttons ---------------------------------------------------------------

BOOL CYRTreeCtrl::InsertPostfixBn(HTREEITEM item, int image, DWORD data, int* index, BOOL show,
                                  BOOL redraw) {
  Node* n = NodeOf(item);
  if (!n) return FALSE;
  n->postfix.push_back({image, data, show != FALSE});
  if (index) *index = static_cast<int>(n->postfix.size()) - 1;
  if (redraw) RefreshItem(item);
  return TRUE;
}

BOOL CYRTreeCtrl::DeletePostfixBn(HTREEITEM item, int index) {
  Node* n = NodeOf(item);
  if (!n || index < 0 || index >= static_cast<int>(n->postfix.size())) return FALSE;
  n->postfix.erase(n->postfix.begin() + index);
  RefreshItem(item);
  return TRUE;
}

int CYRTreeCtrl::GetPostfixBnCount(HTREEITEM item) const {
  Node* n = NodeOf(item);
  return n ? static_cast<int>(n->postfix.size()) : 0;
}

BOOL CYRTreeCtrl::GetPostfixBnData(HTREEITEM item, int index, DWORD& data) const {
  Node* n = NodeOf(item);
  if (!n || index < 0 || index >= static_cast<int>(n->postfix.size())) return FALSE;
  data = n->postfix[static_cast<std::size_t>(index)].data;
  return TRUE;
}

BOOL CYRTreeCtrl::SetPostfixBnImage(HTREEITEM item, int index, int image) {
  Node* n = NodeOf(item);
  if (!n || index < 0 || index >= static_cast<int>(n->postfix.size())) return FALSE;
  n->postfix[static_cast<std::size_t>(index)].image = image;
  RefreshItem(item);
  return TRUE;
}

int CYRTreeCtrl::GetPostfixBnImage(HTREEITEM item, int index) const {
  Node* n = NodeOf(item);
  if (!n || index < 0 || index >= static_cast<int>(n->postfix.size())) return -1;
  return n->postfix[static_cast<std::size_t>(index)].image;
}

BOOL CYRTreeCtrl::ShowPostfixBn(HTREEITEM item, int index, BOOL show) {
  Node* n = NodeOf(item);
  if (!n || index < 0 || index >= static_cast<int>(n->postfix.size())) return FALSE;
  n->postfix[static_cast<std::size_t>(index)].visible = show != FALSE;
  RefreshItem(item);
  return TRUE;
}

int CYRTreeCtrl::GetPBMaxIndex(HTREEITEM item) const { return GetPostfixBnCount(item) - 1; }

// ---- drag and drop ------------------------------------------------------------------

BOOL CYRTreeCtrl::EnableDragDrop(HTREEITEM item, BOOL canDrag, BOOL canDrop) {
  Node* n = NodeOf(item);
  if (!n) return FALSE;
  n->canDrag = canDrag != FALSE;
  n->canDrop = canDrop != FALSE;
  return TRUE;
}

BOOL CYRTreeCtrl::CanDrag(HTREEITEM item) const {
  Node* n = NodeOf(item);
  return n && n->canDrag ? TRUE : FALSE;
}

BOOL CYRTreeCtrl::CanDrop(HTREEITEM item) const {
  Node* n = NodeOf(item);
  return n && n->canDrop ? TRUE : FALSE;
}

BOOL CYRTreeCtrl::IsDragging() const { return m_impl->dragging ? TRUE : FALSE; }
HTREEITEM CYRTreeCtrl::GetDragItem() const {
  return m_impl->dragging ? ItemOf(m_impl->dragNode) : nullptr;
}

void CYRTreeCtrl::CancelDrag() {
  if (!m_impl->dragging) return;
  EndDrag(CPoint(), false);
}

void CYRTreeCtrl::EndDrag(CPoint point, bool drop) {
  Node* dragged = m_impl->dragNode;
  Node* target = drop ? m_impl->dropHilite : nullptr;
  m_impl->dragging = false;
  m_impl->dragNode = nullptr;
  SelectDropTarget(nullptr);
  if (m_hWnd && GetCapture() == this) {
    m_impl->endingDrag = true;
    ReleaseCapture();
    m_impl->endingDrag = false;
  }
  (void)point;
  // Handles, not nodes, from here on: PreDrop may change the tree.
  HTREEITEM draggedItem = ItemOf(dragged), targetItem = ItemOf(target);
  if (dragged && target && PreDrop(draggedItem, targetItem)) OnDroped(draggedItem, targetItem);
}

BOOL CYRTreeCtrl::OnBeginDrag(HTREEITEM, CPoint) { return TRUE; }
BOOL CYRTreeCtrl::PreDrop(HTREEITEM, HTREEITEM) { return TRUE; }

HTREEITEM CYRTreeCtrl::CopyLeaf(HTREEITEM item, HTREEITEM newParent, HTREEITEM after) {
  Node* src = NodeOf(item);
  if (!src) return nullptr;
  HTREEITEM copy = InsertNode(src->text.c_str(), src->image, src->selImage, newParent, after);
  Node* dst = NodeOf(copy);
  if (!dst) return nullptr;
  dst->data = src->data;
  dst->bold = src->bold;
  dst->canDrag = src->canDrag;
  dst->canDrop = src->canDrop;
  dst->bigImage = src->bigImage;
  dst->check = src->check;
  dst->flag = src->flag;
  dst->kind = src->kind;
  dst->postfix = src->postfix;
  return copy;
}

void CYRTreeCtrl::OnDroped(HTREEITEM dragged, HTREEITEM target) {
  // Copy the branch under the target, depth first, then drop the original.
  std::function<HTREEITEM(HTREEITEM, HTREEITEM)> copyBranch = [&](HTREEITEM from,
                                                                  HTREEITEM parent) {
    HTREEITEM copy = CopyLeaf(from, parent, TVI_LAST);
    for (HTREEITEM c = GetChildItem(from); c && copy; c = GetNextSiblingItem(c))
      copyBranch(c, copy);
    return copy;
  };
  HTREEITEM moved = copyBranch(dragged, target);
  DeleteItem(dragged);
  Expand(target, TVE_EXPAND);
  if (moved) SelectItem(moved);
}

// ---- walking -----------------------------------------------------------------------

void CYRTreeCtrl::ForEachItem(const std::function<void(HTREEITEM, int)>& visit) const {
  std::vector<std::pair<Node*, int>> stack;
  for (Node* c = m_impl->model.Root()->last; c; c = c->prev) stack.emplace_back(c, 0);
  while (!stack.empty()) {
    auto [n, depth] = stack.back();
    stack.pop_back();
    visit(ItemOf(n), depth);
    for (Node* c = n->last; c; c = c->prev) stack.emplace_back(c, depth + 1);
  }
}

std::u16string CYRTreeCtrl::DumpTree() const {
  std::u16string out;
  ForEachItem([&](HTREEITEM item, int depth) {
    Node* n = NodeOf(item);
    out.append(static_cast<std::size_t>(depth) * 2, u' ');
    out += n->text;
    out += FormatW(u" [%d]\n", n->image);
  });
  return out;
}

// ---- painting ----------------------------------------------------------------------

void CYRTreeCtrl::OnPaint() {
  CPaintDC dc(this);
  DrawAll(&dc);
}

BOOL CYRTreeCtrl::OnEraseBkgnd(CDC*) { return TRUE; }  // DrawAll fills everything

void CYRTreeCtrl::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  UpdateScroll();
  Invalidate(FALSE);
}

void CYRTreeCtrl::DrawAll(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  dc->FillSolidRect(&client, m_impl->bk);
  int h = m_impl->itemHeight;
  int first = m_impl->scrollY / h;
  int last = (m_impl->scrollY + client.Height()) / h;
  for (int row = first; row <= last; ++row) {
    Node* n = m_impl->model.NodeAtRow(row);
    if (!n) break;
    RECT rc{0, row * h - m_impl->scrollY, client.right, row * h - m_impl->scrollY + h};
    DrawItem(dc, ItemOf(n), rc);
  }
}

void CYRTreeCtrl::DrawItem(CDC* dc, HTREEITEM item, const RECT& rc) {
  Node* n = NodeOf(item);
  if (!n) return;
  CImageList* images = GetItemImages(item);
  CImageList* postfix = m_impl->postfixImages ? m_impl->postfixImages : m_impl->images;
  RowLayout l = LayoutOf(n);
  if (n == m_impl->dropHilite) dc->FillSolidRect(&rc, RGB(180, 200, 240));
  else if (n == m_impl->selected) dc->FillSolidRect(&rc, RGB(205, 225, 245));
  if (!IsRectEmpty(&l.check)) {
    RECT box{l.check.left + 2, rc.top + (rc.bottom - rc.top - 12) / 2, l.check.left + 14, 0};
    box.bottom = box.top + 12;
    CBrush frame(RGB(96, 96, 96));
    dc->FrameRect(&box, &frame);
    if (n->check) {
      RECT tick{box.left + 3, box.top + 3, box.right - 3, box.bottom - 3};
      dc->FillSolidRect(&tick, RGB(0, 0, 0));
    }
  }
  int image = n == m_impl->selected ? n->selImage : n->image;
  if (images && images->GetSafeHandle() && image >= 0 && !IsRectEmpty(&l.icon)) {
    int cx = 0, cy = 0;
    images->GetIconSize(&cx, &cy);
    images->Draw(dc, image, CPoint(l.icon.left, rc.top + (rc.bottom - rc.top - cy) / 2),
                 ILD_TRANSPARENT);
  }
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(GetItemTextColour(item));
  dc->TextOut(l.text.left, rc.top + (rc.bottom - rc.top - FontLineHeight(0)) / 2, n->text);
  if (postfix && postfix->GetSafeHandle()) {
    int cx = 0, cy = 0;
    postfix->GetIconSize(&cx, &cy);
    for (std::size_t i = 0; i < n->postfix.size(); ++i)
      if (n->postfix[i].visible && n->postfix[i].image >= 0)
        postfix->Draw(dc, n->postfix[i].image,
                      CPoint(l.postfix[i].left, rc.top + (rc.bottom - rc.top - cy) / 2),
                      ILD_TRANSPARENT);
  }
}

// ---- mouse and keys ---------------------------------------------------------------------

void CYRTreeCtrl::OnLButtonDown(UINT flags, CPoint point) {
  SetFocus();
  Impl& s = *m_impl;
  UINT hit = 0;
  int pf = -1;
  HTREEITEM item = HitTestEx(point, &hit, &pf);
  s.lDown = true;
  s.afterDblClk = false;
  s.downPoint = point;
  s.downNode = NodeOf(item);
  s.downPostfix = (hit == TVHT_ONPOSTFIXBN) ? pf : -1;
  s.downOnCheck = hit == TVHT_ONITEMSTATEICON;
  SetCapture();
  if (s.downPostfix >= 0) {
    OnPostfix_LButtonDown(item, pf, flags, point);
    return;
  }
  if (s.downOnCheck) return;
  if (item) SelectItem(item);
  OnItem_LButtonDown(item, flags, point);
}

void CYRTreeCtrl::OnMouseMove(UINT flags, CPoint point) {
  Impl& s = *m_impl;
  if (s.lDown && !s.dragging && s.downNode && s.downNode->canDrag && s.downPostfix < 0 &&
      !s.downOnCheck &&
      (std::abs(point.x - s.downPoint.x) > kDragThreshold ||
       std::abs(point.y - s.downPoint.y) > kDragThreshold)) {
    HTREEITEM item = ItemOf(s.downNode);
    // The hook may change the tree: the item is looked up again afterwards.
    if (OnBeginDrag(item, s.downPoint) && NodeOf(item)) {
      s.dragging = true;
      s.dragNode = NodeOf(item);
    } else {
      s.downNode = nullptr;  // refused: no second try during this press
    }
  }
  if (s.dragging) {
    Node* target = NodeOf(HitTest(point));
    bool ok = target && target->canDrop && target != s.dragNode;
    for (Node* p = target; ok && p; p = p->parent)
      if (p == s.dragNode) ok = false;
    SelectDropTarget(ok ? ItemOf(target) : nullptr);
    return;
  }
  CWnd::OnMouseMove(flags, point);
}

void CYRTreeCtrl::OnLButtonUp(UINT flags, CPoint point) {
  Impl& s = *m_impl;
  bool wasDown = s.lDown;
  s.lDown = false;
  if (s.dragging) {
    EndDrag(point, true);
    return;
  }
  if (GetCapture() == this) ReleaseCapture();
  if (!wasDown) return;
  UINT hit = 0;
  int pf = -1;
  HTREEITEM item = HitTestEx(point, &hit, &pf);
  if (s.downPostfix >= 0) {
    if (hit == TVHT_ONPOSTFIXBN && pf == s.downPostfix && NodeOf(item) == s.downNode)
      OnPostfix_LButtonUp(item, pf, flags, point);
    return;
  }
  if (s.downOnCheck) {
    if (hit == TVHT_ONITEMSTATEICON && NodeOf(item) == s.downNode) {
      SetCheck(item, !GetCheck(item));
      OnCheckbox_LButtonUp(item, GetCheck(item));
    }
    return;
  }
  // The release that ends a double-click is not a second click.
  if (s.afterDblClk) return;
  OnItem_LButtonUp(item, flags, point);
}

void CYRTreeCtrl::OnLButtonDblClk(UINT flags, CPoint point) {
  Impl& s = *m_impl;
  UINT hit = 0;
  int pf = -1;
  HTREEITEM item = HitTestEx(point, &hit, &pf);
  s.lDown = true;
  s.afterDblClk = true;
  s.downPoint = point;
  s.downNode = nullptr;  // no drag from a double-click
  s.downPostfix = -1;
  s.downOnCheck = false;
  if (hit == TVHT_ONPOSTFIXBN) {
    OnPostfix_LButtonDblClk(item, pf, flags, point);
    return;
  }
  if (hit == TVHT_ONITEMSTATEICON) return;
  OnItem_LButtonDblClk(item, flags, point);
}

void CYRTreeCtrl::OnRButtonDown(UINT, CPoint) { SetFocus(); }

void CYRTreeCtrl::OnRButtonUp(UINT flags, CPoint point) {
  OnItem_RButtonUp(HitTest(point), flags, point);
}

BOOL CYRTreeCtrl::OnMouseWheel(UINT, short delta, CPoint) {
  SetScrollPosition(m_impl->scrollY - delta / 120 * 3 * m_impl->itemHeight);
  return TRUE;
}

void CYRTreeCtrl::OnCaptureChanged(CWnd* wnd) {
  // Losing the capture to someone else ends a drag without a drop.
  if (m_impl->dragging && !m_impl->endingDrag) EndDrag(CPoint(), false);
  m_impl->lDown = false;
  CWnd::OnCaptureChanged(wnd);
}

void CYRTreeCtrl::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
  Node* sel = m_impl->selected;
  HTREEITEM next = nullptr;
  switch (vk) {
    case VK_UP: next = sel ? GetPrevVisibleItem(ItemOf(sel)) : GetRootItem(); break;
    case VK_DOWN: next = sel ? GetNextVisibleItem(ItemOf(sel)) : GetRootItem(); break;
    case VK_HOME: next = GetRootItem(); break;
    case VK_END: next = GetLastVisibleItem(); break;
    case VK_PRIOR:
    case VK_NEXT: {
      int rows = std::max(1, static_cast<int>(GetVisibleCount()) - 1);
      int row = sel ? m_impl->model.RowOf(sel) : 0;
      row = vk == VK_PRIOR ? std::max(0, row - rows)
                           : std::min(m_impl->model.RowCount() - 1, row + rows);
      next = ItemOf(m_impl->model.NodeAtRow(row));
      break;
    }
    case VK_LEFT:
      if (sel && sel->expanded && sel->first) Expand(ItemOf(sel), TVE_COLLAPSE);
      else if (sel) next = GetParentItem(ItemOf(sel));
      break;
    case VK_RIGHT:
      if (sel && sel->first && !sel->expanded) Expand(ItemOf(sel), TVE_EXPAND);
      else if (sel && sel->first) next = ItemOf(sel->first);
      break;
    case VK_ESCAPE: CancelDrag(); break;
    default: CWnd::OnKeyDown(vk, repeat, flags); return;
  }
  if (next) {
    SelectItem(next);
    EnsureVisible(next);
  }
}

void CYRTreeCtrl::OnVScroll(UINT code, UINT pos, CWnd*) {
  int h = m_impl->itemHeight;
  CRect client;
  GetClientRect(&client);
  int y = m_impl->scrollY;
  switch (code) {
    case kSbLineUp: y -= h; break;
    case kSbLineDown: y += h; break;
    case kSbPageUp: y -= std::max(h, client.Height()); break;
    case kSbPageDown: y += std::max(h, client.Height()); break;
    case kSbThumbPosition:
    case kSbThumbTrack: y = static_cast<int>(pos); break;
    case kSbTop: y = 0; break;
    case kSbBottom: y = GetContentHeight(); break;
    default: return;
  }
  SetScrollPosition(y);
}

void CYRTreeCtrl::OnTimer(UINT_PTR id) { CWnd::OnTimer(id); }

UINT CYRTreeCtrl::OnGetDlgCode() { return kDlgcWantArrows | kDlgcWantChars; }

// ---- default hooks --------------------------------------------------------------------

void CYRTreeCtrl::OnItem_LButtonDown(HTREEITEM, UINT, CPoint) {}

void CYRTreeCtrl::OnItem_LButtonUp(HTREEITEM item, UINT, CPoint) {
  if (item && ItemHasChildren(item)) Expand(item, TVE_TOGGLE);
}

void CYRTreeCtrl::OnItem_LButtonDblClk(HTREEITEM, UINT, CPoint) {}
void CYRTreeCtrl::OnItem_RButtonUp(HTREEITEM, UINT, CPoint) {}
void CYRTreeCtrl::OnPostfix_LButtonDown(HTREEITEM, int, UINT, CPoint) {}
void CYRTreeCtrl::OnPostfix_LButtonUp(HTREEITEM, int, UINT, CPoint) {}
void CYRTreeCtrl::OnPostfix_LButtonDblClk(HTREEITEM, int, UINT, CPoint) {}
void CYRTreeCtrl::OnCheckbox_LButtonUp(HTREEITEM, BOOL) {}
