// treeui: CYRTreeCtrl, an owner-drawn tree-view window with postfix buttons.
//
// Layout: every visible item (all its ancestors expanded) takes one row of
// GetItemHeight() pixels; row r spans y = r * height - scroll position. An
// item's row starts with its indent (depth * GetIndent()), then, when the
// tree has check boxes, a check box of 16 pixels, then its image (the image
// list's width, when there is an image list), 3 pixels, the text, and after
// the text its visible postfix buttons (each as wide as the postfix image
// list's images, or 16, with 2 pixels between).
//
// Mouse: a left press on an item selects it and calls OnItem_LButtonDown; a
// release calls OnItem_LButtonUp, whose default expands or collapses an item
// that has children; a double-click calls OnItem_LButtonDblClk; a right
// release calls OnItem_RButtonUp. The item argument is 0 when the point is on
// no item. Presses on a postfix button call OnPostfix_LButtonDown /
// OnPostfix_LButtonUp / OnPostfix_LButtonDblClk instead, on a check box
// OnCheckbox_LButtonUp (after the state has been toggled). Moving more than
// 4 pixels with the left button held on a draggable item starts a drag
// (BeginDrag: OnBeginDrag, which a derived class may refuse); while dragging,
// the drop target is the item under the pointer when it accepts drops and is
// not the dragged item or below it; releasing on a target asks PreDrop and,
// when it agrees, calls OnDroped, whose default moves the dragged branch
// under the target (CopyLeaf for each item, then deleting the original).
#pragma once

#include "platform/framework.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct _TREEITEM;
using HTREEITEM = _TREEITEM*;

// Special insert positions and parents, as on the original platform.
#define TVI_ROOT (reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x10000)))
#define TVI_FIRST (reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFF)))
#define TVI_LAST (reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFE)))
#define TVI_SORT (reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFD)))

// Expand codes.
constexpr UINT TVE_COLLAPSE = 0x0001;
constexpr UINT TVE_EXPAND = 0x0002;
constexpr UINT TVE_TOGGLE = 0x0003;

// GetNextItem codes.
constexpr UINT TVGN_ROOT = 0x0000;
constexpr UINT TVGN_NEXT = 0x0001;
constexpr UINT TVGN_PREVIOUS = 0x0002;
constexpr UINT TVGN_PARENT = 0x0003;
constexpr UINT TVGN_CHILD = 0x0004;
constexpr UINT TVGN_FIRSTVISIBLE = 0x0005;
constexpr UINT TVGN_NEXTVISIBLE = 0x0006;
constexpr UINT TVGN_PREVIOUSVISIBLE = 0x0007;
constexpr UINT TVGN_DROPHILITE = 0x0008;
constexpr UINT TVGN_CARET = 0x0009;
constexpr UINT TVGN_LASTVISIBLE = 0x000A;

// Item states.
constexpr UINT TVIS_SELECTED = 0x0002;
constexpr UINT TVIS_DROPHILITED = 0x0008;
constexpr UINT TVIS_BOLD = 0x0010;
constexpr UINT TVIS_EXPANDED = 0x0020;

// Image list kinds.
constexpr int TVSIL_NORMAL = 0;
constexpr int TVSIL_STATE = 2;
constexpr int TVSIL_POSTFIX = 16;  // the postfix buttons' images

// Window styles of the tree.
constexpr DWORD TVS_HASBUTTONS = 0x0001;
constexpr DWORD TVS_HASLINES = 0x0002;
constexpr DWORD TVS_LINESATROOT = 0x0004;
constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;
constexpr DWORD TVS_CHECKBOXES = 0x0100;
constexpr DWORD TVS_TRACKSELECT = 0x0200;
constexpr DWORD TVS_FULLROWSELECT = 0x1000;

// HitTest flags.
constexpr UINT TVHT_NOWHERE = 0x0001;
constexpr UINT TVHT_ONITEMICON = 0x0002;
constexpr UINT TVHT_ONITEMLABEL = 0x0004;
constexpr UINT TVHT_ONITEMINDENT = 0x0008;
constexpr UINT TVHT_ONITEMBUTTON = 0x0010;
constexpr UINT TVHT_ONITEMRIGHT = 0x0020;
constexpr UINT TVHT_ONITEMSTATEICON = 0x0040;  // the check box
constexpr UINT TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;
constexpr UINT TVHT_ABOVE = 0x0100;
constexpr UINT TVHT_BELOW = 0x0200;
constexpr UINT TVHT_TORIGHT = 0x0400;
constexpr UINT TVHT_TOLEFT = 0x0800;
constexpr UINT TVHT_ONPOSTFIXBN = 0x1000;  // on one of the item's postfix buttons

// Text alignment (SetTextAlign).
constexpr UINT YRTA_LEFT = 0;
constexpr UINT YRTA_CENTER = 1;
constexpr UINT YRTA_RIGHT = 2;

using PFNTVCOMPARE = int (*)(LPARAM item1Data, LPARAM item2Data, LPARAM sortParam);
struct TVSORTCB {
  HTREEITEM hParent = nullptr;
  PFNTVCOMPARE lpfnCompare = nullptr;
  LPARAM lParam = 0;
};

namespace treeui {
class Model;
struct Node;
struct RowLayout;
}  // namespace treeui

class CYRTreeCtrl : public CWnd {
 public:
  CYRTreeCtrl();
  ~CYRTreeCtrl() override;

  // A child window of the tree's own class ("YRTreeCtrl").
  virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  using CWnd::Create;

  // ---- items ---------------------------------------------------------------
  // `after` is TVI_FIRST, TVI_LAST, TVI_SORT (by text) or a child of `parent`
  // (any other item counts as TVI_LAST). An unknown parent gives 0.
  HTREEITEM InsertItem(LPCWSTR text, int image, int selectedImage, HTREEITEM parent = TVI_ROOT,
                       HTREEITEM after = TVI_LAST);
  HTREEITEM InsertItem(LPCWSTR text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
  // Deletes the item and its branch (TVI_ROOT or 0: everything).
  virtual BOOL DeleteItem(HTREEITEM item);
  virtual BOOL DeleteAllItems();

  HTREEITEM GetRootItem() const;                 // the first root-level item
  HTREEITEM GetChildItem(HTREEITEM item) const;  // TVI_ROOT or 0: the first root item
  HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
  HTREEITEM GetPrevSiblingItem(HTREEITEM item) const;
  HTREEITEM GetParentItem(HTREEITEM item) const;  // 0 for root-level items
  HTREEITEM GetNextItem(HTREEITEM item, UINT code) const;
  HTREEITEM GetFirstVisibleItem() const;  // the first row on screen
  HTREEITEM GetNextVisibleItem(HTREEITEM item) const;
  HTREEITEM GetPrevVisibleItem(HTREEITEM item) const;
  HTREEITEM GetLastVisibleItem() const;
  HTREEITEM GetSelectedItem() const;
  HTREEITEM GetDropHilightItem() const;
  BOOL ItemHasChildren(HTREEITEM item) const;
  UINT GetCount() const;
  UINT GetChildCount(HTREEITEM item) const;
  BOOL IsValidItem(HTREEITEM item) const;
  int GetItemDepth(HTREEITEM item) const;  // 0 for root-level items, -1 unknown

  std::u16string GetItemText(HTREEITEM item) const;
  BOOL SetItemText(HTREEITEM item, LPCWSTR text);
  BOOL SetItemText(HTREEITEM item, const std::u16string& text) {
    return SetItemText(item, text.c_str());
  }
  DWORD_PTR GetItemData(HTREEITEM item) const;
  BOOL SetItemData(HTREEITEM item, DWORD_PTR data);
  BOOL GetItemImage(HTREEITEM item, int& image, int& selectedImage) const;
  BOOL SetItemImage(HTREEITEM item, int image, int selectedImage);
  UINT GetItemState(HTREEITEM item, UINT mask) const;
  BOOL SetItemState(HTREEITEM item, UINT state, UINT mask);
  BOOL GetCheck(HTREEITEM item) const;
  BOOL SetCheck(HTREEITEM item, BOOL check = TRUE);
  // The first item, depth first, whose data is `data`; 0 when none.
  HTREEITEM FindItemByData(DWORD_PTR data, HTREEITEM start = TVI_ROOT) const;

  BOOL SelectItem(HTREEITEM item);  // 0 clears the selection
  BOOL SelectDropTarget(HTREEITEM item);
  BOOL Expand(HTREEITEM item, UINT code);
  BOOL EnsureVisible(HTREEITEM item);  // expands its ancestors and scrolls it into view
  BOOL SortChildren(HTREEITEM item);   // by text; TVI_ROOT sorts the root level
  BOOL SortChildrenCB(const TVSORTCB* sort);

  // ---- geometry --------------------------------------------------------------
  HTREEITEM HitTest(POINT pt, UINT* flags = nullptr) const;
  // Also tells which postfix button (index, or -1) the point is on.
  HTREEITEM HitTestEx(POINT pt, UINT* flags, int* postfixIndex) const;
  // The item's row (textOnly: its text's cell); FALSE when it is not visible.
  BOOL GetItemRect(HTREEITEM item, RECT* rc, BOOL textOnly) const;
  // The rectangle where the item's text is drawn, as wide as the text.
  BOOL GetVisualTextRect(HTREEITEM item, RECT* rc) const;
  BOOL GetPostfixBnRect(HTREEITEM item, int index, RECT* rc) const;
  int GetItemHeight() const;
  int SetItemHeight(int height);  // returns the previous height
  UINT GetIndent() const;
  void SetIndent(UINT indent);
  UINT GetVisibleCount() const;   // whole rows that fit the client area
  int GetScrollPosition() const;  // vertical, in pixels
  void SetScrollPosition(int y);  // clamped to the content
  int GetContentHeight() const;   // rows * item height

  // ---- looks -------------------------------------------------------------
  CImageList* SetImageList(CImageList* list, int kind);  // not owned; returns the old one
  CImageList* GetImageList(int kind) const;
  COLORREF SetBkColor(COLORREF colour, BOOL redraw = TRUE);  // returns the old colour
  COLORREF GetBkColor() const;
  COLORREF SetTextColor(COLORREF colour);
  COLORREF GetTextColor() const;
  void SetTextAlign(UINT align);  // YRTA_LEFT / CENTER / RIGHT
  UINT GetTextAlign() const;

  // ---- postfix buttons --------------------------------------------------------
  // Appends a button with an image of the postfix image list and a data
  // value; the new index goes to *index. `show`: the button is drawn and can
  // be clicked; `redraw`: repaint now.
  BOOL InsertPostfixBn(HTREEITEM item, int image, DWORD data, int* index, BOOL show = TRUE,
                       BOOL redraw = TRUE);
  BOOL DeletePostfixBn(HTREEITEM item, int index);  // later buttons move down one index
  int GetPostfixBnCount(HTREEITEM item) const;
  BOOL GetPostfixBnData(HTREEITEM item, int index, DWORD& data) const;
  BOOL SetPostfixBnImage(HTREEITEM item, int index, int image);
  int GetPostfixBnImage(HTREEITEM item, int index) const;  // -1 when none
  BOOL ShowPostfixBn(HTREEITEM item, int index, BOOL show);
  // The highest postfix button index of the item (count - 1; -1 when none).
  int GetPBMaxIndex(HTREEITEM item) const;

  // ---- drag and drop -------------------------------------------------------
  // Per item: whether it may be dragged, and whether it accepts drops.
  BOOL EnableDragDrop(HTREEITEM item, BOOL canDrag, BOOL canDrop);
  BOOL CanDrag(HTREEITEM item) const;
  BOOL CanDrop(HTREEITEM item) const;
  BOOL IsDragging() const;
  HTREEITEM GetDragItem() const;
  void CancelDrag();

  // ---- walking (for tests and the host simulator) --------------------------
  // Every item depth first, with its depth (0 at the root level).
  void ForEachItem(const std::function<void(HTREEITEM item, int depth)>& visit) const;
  // One line per item: two spaces per depth, the text, " [" image "]", "\n".
  std::u16string DumpTree() const;

  // ---- handlers the panels chain to ---------------------------------------------
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC* dc) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  void OnRButtonUp(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnVScroll(UINT code, UINT pos, CWnd* scrollBar) override;
  void OnTimer(UINT_PTR id) override;
  void OnCaptureChanged(CWnd* wnd) override;
  UINT OnGetDlgCode() override;

  // Draws every visible row onto `dc` (the client area's co-ordinates).
  virtual void DrawAll(CDC* dc);

 protected:
  // Hooks (see the top of the file). `item` is 0 for a point on no item.
  virtual void OnItem_LButtonDown(HTREEITEM item, UINT flags, CPoint point);
  virtual void OnItem_LButtonUp(HTREEITEM item, UINT flags, CPoint point);
  virtual void OnItem_LButtonDblClk(HTREEITEM item, UINT flags, CPoint point);
  virtual void OnItem_RButtonUp(HTREEITEM item, UINT flags, CPoint point);
  virtual void OnPostfix_LButtonDown(HTREEITEM item, int index, UINT flags, CPoint point);
  virtual void OnPostfix_LButtonUp(HTREEITEM item, int index, UINT flags, CPoint point);
  virtual void OnPostfix_LButtonDblClk(HTREEITEM item, int index, UINT flags, CPoint point);
  virtual void OnCheckbox_LButtonUp(HTREEITEM item, BOOL checked);
  // A drag is about to start on `item`; FALSE refuses it.
  virtual BOOL OnBeginDrag(HTREEITEM item, CPoint point);
  // 0 refuses the drop of `dragged` on `target`.
  virtual BOOL PreDrop(HTREEITEM dragged, HTREEITEM target);
  virtual void OnDroped(HTREEITEM dragged, HTREEITEM target);
  // Copies one item (text, images, data, flags, postfix buttons) under
  // `newParent` after `after`; returns the copy.
  virtual HTREEITEM CopyLeaf(HTREEITEM item, HTREEITEM newParent, HTREEITEM after = TVI_LAST);
  // Called for every item as it is deleted (children first).
  virtual void OnItemDeleted(HTREEITEM item);
  // Draws one row; `rc` is the row.
  virtual void DrawItem(CDC* dc, HTREEITEM item, const RECT& rc);
  virtual COLORREF GetItemTextColour(HTREEITEM item) const;
  // The image list an item's image is drawn from (by default the normal one).
  virtual CImageList* GetItemImages(HTREEITEM item) const;
  void PreSubclassWindow() override;

  // For derived trees: the node behind an item, and the item of a node.
  treeui::Node* NodeOf(HTREEITEM item) const;
  static HTREEITEM ItemOf(const treeui::Node* node);
  treeui::Model& Model() const;
  HTREEITEM InsertNode(LPCWSTR text, int image, int selectedImage, HTREEITEM parent,
                       HTREEITEM after);
  void RefreshItem(HTREEITEM item);  // repaints the item's row

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
  void UpdateScroll();
  void EndDrag(CPoint point, bool drop);
  treeui::RowLayout LayoutOf(treeui::Node* node) const;
};
