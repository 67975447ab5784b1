// The tree control, the friend tree, the pop-up menu and the group-name editor.
#include "host/treeui.h"
#include "host/basekit/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A tree that writes down every hook call.
class RecordingTree : public CYRFriendTree {
 public:
  std::vector<std::string> calls;
  HTREEITEM lastItem = nullptr;
  int lastIndex = -1;
  BOOL allowDrop = TRUE;
  BOOL allowDrag = TRUE;
  bool moveOnDrop = false;

 protected:
  void Note(const std::string& what, HTREEITEM item, int index = -1) {
    // Appended piece by piece: g++ 12 at -O3 takes a prepended "#" for an
    // overlapping copy (-Wrestrict).
    std::string call = what + ":" + (item ? ToNarrow(GetItemText(item)) : std::string("-"));
    if (index >= 0) {
      call += "#";
      call += std::to_string(index);
    }
    calls.push_back(call);
    lastItem = item;
    lastIndex = index;
  }
  static std::string ToNarrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }
  void OnItem_LButtonDown(HTREEITEM item, UINT flags, CPoint pt) override {
    Note("down", item);
    CYRFriendTree::OnItem_LButtonDown(item, flags, pt);
  }
  void OnItem_LButtonUp(HTREEITEM item, UINT flags, CPoint pt) override {
    Note("up", item);
    CYRFriendTree::OnItem_LButtonUp(item, flags, pt);
  }
  void OnItem_LButtonDblClk(HTREEITEM item, UINT flags, CPoint pt) override {
    Note("dblclk", item);
    CYRFriendTree::OnItem_LButtonDblClk(item, flags, pt);
  }
  void OnItem_RButtonUp(HTREEITEM item, UINT, CPoint) override { Note("rup", item); }
  void OnPostfix_LButtonDown(HTREEITEM item, int index, UINT, CPoint) override {
    Note("pfdown", item, index);
  }
  void OnPostfix_LButtonUp(HTREEITEM item, int index, UINT, CPoint) override {
    Note("pfup", item, index);
  }
  void OnPostfix_LButtonDblClk(HTREEITEM item, int index, UINT, CPoint) override {
    Note("pfdbl", item, index);
  }
  void OnCheckbox_LButtonUp(HTREEITEM item, BOOL checked) override {
    Note(checked ? "check" : "uncheck", item);
  }
  BOOL OnCustomBeginDrag(HTREEITEM item, CPoint) override {
    Note("begindrag", item);
    return allowDrag;
  }
  BOOL PreDrop(HTREEITEM dragged, HTREEITEM target) override {
    Note("predrop", dragged);
    Note("target", target);
    return allowDrop;
  }
  void OnDroped(HTREEITEM dragged, HTREEITEM target) override {
    Note("droped", dragged);
    if (moveOnDrop) CYRFriendTree::OnDroped(dragged, target);
  }
};

class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetUserInterface();
    RECT frame{0, 0, 400, 400};
    ASSERT_TRUE(host.CreateEx(0, nullptr, u"host", WS_POPUP | WS_VISIBLE, frame, nullptr, 0));
    ASSERT_TRUE(tree.Create(WS_VISIBLE | WS_CHILD, RECT{0, 0, 200, 100}, &host, 100));
    tree.Init();  // no image files: a 16-pixel default list, rows of 20
  }
  void TearDown() override {
    tree.DestroyWindow();
    host.DestroyWindow();
    ResetUserInterface();
  }
  // The middle of an item's text.
  CPoint TextPoint(HTREEITEM item) {
    RECT rc{};
    EXPECT_TRUE(tree.GetItemRect(item, &rc, TRUE));
    return CPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  }
  std::string Dump() {
    std::u16string d = tree.DumpTree();
    return std::string(d.begin(), d.end());  // ASCII texts in these tests
  }

  CWnd host;
  RecordingTree tree;
};

TEST_F(TreeTest, InsertOrderAndDump) {
  HTREEITEM b = tree.InsertItem(u"b", 1, 1);
  HTREEITEM a = tree.InsertItem(u"a", 2, 2, TVI_ROOT, TVI_FIRST);
  HTREEITEM c = tree.InsertItem(u"c", 3, 3, TVI_ROOT, b);  // after b
  HTREEITEM b1 = tree.InsertItem(u"b1", 4, 4, b);
  tree.InsertItem(u"b0", 5, 5, b, TVI_FIRST);
  tree.InsertItem(u"b2", 6, 6, b, b1);
  tree.InsertItem(u"bb", 7, 7, TVI_ROOT, TVI_SORT);
  EXPECT_EQ(Dump(), "a [2]\nb [1]\n  b0 [5]\n  b1 [4]\n  b2 [6]\nbb [7]\nc [3]\n");
  EXPECT_EQ(tree.GetCount(), 7u);
  EXPECT_EQ(tree.GetRootItem(), a);
  EXPECT_EQ(tree.GetNextSiblingItem(a), b);
  EXPECT_EQ(tree.GetPrevSiblingItem(b), a);
  EXPECT_EQ(tree.GetParentItem(b1), b);
  EXPECT_EQ(tree.GetParentItem(a), nullptr);
  EXPECT_EQ(tree.GetChildItem(c), nullptr);
  EXPECT_TRUE(tree.ItemHasChildren(b));
  EXPECT_EQ(tree.GetChildCount(b), 3u);
  EXPECT_EQ(tree.GetItemDepth(b1), 1);
  // An "after" item that is not a child of the parent counts as last.
  HTREEITEM x = tree.InsertItem(u"x", 0, 0, b, c);
  EXPECT_EQ(tree.GetNextSiblingItem(x), nullptr);
  EXPECT_EQ(tree.GetParentItem(x), b);
  // Unknown parents insert nothing.
  EXPECT_EQ(tree.InsertItem(u"y", 0, 0, reinterpret_cast<HTREEITEM>(999999)), nullptr);
}

TEST_F(TreeTest, ItemPropertiesAndStaleHandles) {
  HTREEITEM g = tree.InsertGroupItem(u"group", 1, -1, 42, TVI_ROOT, nullptr, 40);
  HTREEITEM f = tree.InsertFriendItem(u"friend", 2, 3, 7, g, nullptr);
  int img = 0, sel = 0;
  EXPECT_TRUE(tree.GetItemImage(g, img, sel));
  EXPECT_EQ(img, 1);
  EXPECT_EQ(sel, 1);  // -1 means the same image
  EXPECT_EQ(tree.GetItemData(g), 42u);
  EXPECT_EQ(tree.GetItemFlag(g), 40);
  EXPECT_TRUE(tree.IsGroupItem(g));
  EXPECT_TRUE(tree.IsFriendItem(f));
  EXPECT_TRUE(tree.CanDrop(g));
  EXPECT_FALSE(tree.CanDrag(g));
  EXPECT_TRUE(tree.CanDrag(f));
  EXPECT_TRUE(tree.SetItemText(f, u"renamed"));
  EXPECT_EQ(tree.GetItemText(f), u"renamed");
  EXPECT_TRUE(tree.SetItemImage(f, 5, 6));
  EXPECT_TRUE(tree.GetItemImage(f, img, sel));
  EXPECT_EQ(sel, 6);
  EXPECT_EQ(tree.FindItemByData(7), f);
  EXPECT_EQ(tree.FindItemByData(8), nullptr);
  EXPECT_TRUE(tree.DeleteItem(g));
  // Handles of deleted items are refused, never reused.
  EXPECT_FALSE(tree.IsValidItem(f));
  EXPECT_FALSE(tree.SetItemText(f, u"x"));
  EXPECT_EQ(tree.GetItemText(f), u"");
  EXPECT_EQ(tree.GetItemData(f), 0u);
  HTREEITEM again = tree.InsertItem(u"new");
  EXPECT_NE(again, f);
  EXPECT_NE(again, g);
}

TEST_F(TreeTest, InsertingAfterAnItemNeverScans) {
  // 100000 inserts after a fixed item and after the previous one: with a scan
  // per insert this would take billions of steps.
  HTREEITEM first = tree.InsertItem(u"first");
  HTREEITEM prev = first;
  for (int i = 0; i < 50000; ++i) prev = tree.InsertItem(u"n", 0, 0, TVI_ROOT, prev);
  HTREEITEM mid = prev;
  for (int i = 0; i < 50000; ++i) tree.InsertItem(u"m", 0, 0, TVI_ROOT, first);
  EXPECT_EQ(tree.GetCount(), 100001u);
  EXPECT_EQ(tree.GetItemText(tree.GetNextSiblingItem(first)), u"m");
  EXPECT_EQ(tree.GetNextSiblingItem(mid), nullptr);
  EXPECT_TRUE(tree.DeleteItem(mid));
  EXPECT_EQ(tree.GetCount(), 100000u);
}

TEST_F(TreeTest, ExpandCollapseAndVisibleRects) {
  HTREEITEM g1 = tree.InsertGroupItem(u"g1", 0, 0, 1);
  HTREEITEM f1 = tree.InsertFriendItem(u"f1", 0, 0, 2, g1);
  HTREEITEM f2 = tree.InsertFriendItem(u"f2", 0, 0, 3, g1);
  HTREEITEM g2 = tree.InsertGroupItem(u"g2", 0, 0, 4);
  RECT rc{};
  EXPECT_FALSE(tree.GetItemRect(f1, &rc, FALSE));  // collapsed: not visible
  ASSERT_TRUE(tree.GetItemRect(g2, &rc, FALSE));
  EXPECT_EQ(rc.top, 20);  // second row
  EXPECT_TRUE(tree.Expand(g1, TVE_EXPAND));
  EXPECT_EQ(tree.GetItemState(g1, TVIS_EXPANDED), TVIS_EXPANDED);
  ASSERT_TRUE(tree.GetItemRect(f2, &rc, FALSE));
  EXPECT_EQ(rc.top, 40);
  ASSERT_TRUE(tree.GetItemRect(g2, &rc, FALSE));
  EXPECT_EQ(rc.top, 60);
  RECT text{};
  ASSERT_TRUE(tree.GetItemRect(f1, &text, TRUE));
  EXPECT_EQ(text.left, 16 + 16 + 3);                         // indent, image, gap
  EXPECT_EQ(text.right - text.left, MeasureText(0, u"f1"));  // as wide as drawn
  EXPECT_EQ(tree.GetNextVisibleItem(g1), f1);
  EXPECT_EQ(tree.GetLastVisibleItem(), g2);
  EXPECT_EQ(tree.GetContentHeight(), 80);

  // Collapsing hides the children and moves a hidden selection up.
  tree.SelectItem(f2);
  EXPECT_TRUE(tree.Expand(g1, TVE_TOGGLE));
  EXPECT_EQ(tree.GetSelectedItem(), g1);
  EXPECT_EQ(tree.GetNextVisibleItem(g1), g2);
  EXPECT_FALSE(tree.Expand(nullptr, TVE_EXPAND));
}

TEST_F(TreeTest, ScrollingAndEnsureVisible) {
  std::vector<HTREEITEM> items;
  for (int i = 0; i < 20; ++i) items.push_back(tree.InsertItem(u"row"));
  EXPECT_EQ(tree.GetVisibleCount(), 5u);  // 100 pixels of 20-pixel rows
  EXPECT_TRUE(tree.EnsureVisible(items[12]));
  EXPECT_EQ(tree.GetScrollPosition(), 13 * 20 - 100);
  EXPECT_EQ(tree.GetFirstVisibleItem(), items[8]);
  RECT rc{};
  ASSERT_TRUE(tree.GetItemRect(items[12], &rc, FALSE));
  EXPECT_EQ(rc.bottom, 100);
  EXPECT_EQ(tree.HitTest(CPoint(5, 95)), items[12]);
  tree.EnsureVisible(items[2]);
  EXPECT_EQ(tree.GetScrollPosition(), 40);
  tree.SetScrollPosition(100000);  // clamped to the content
  EXPECT_EQ(tree.GetScrollPosition(), 400 - 100);
  tree.SetScrollPosition(-5);
  EXPECT_EQ(tree.GetScrollPosition(), 0);
  // Ensuring a child of a collapsed group opens the group.
  HTREEITEM child = tree.InsertItem(u"child", 0, 0, items[0]);
  tree.EnsureVisible(child);
  EXPECT_EQ(tree.GetItemState(items[0], TVIS_EXPANDED), TVIS_EXPANDED);
  // Deleting rows clamps the scroll position again.
  tree.SetScrollPosition(300);
  tree.DeleteAllItems();
  EXPECT_EQ(tree.GetScrollPosition(), 0);
}

TEST_F(TreeTest, HitTestItemPartsAndPostfixButtons) {
  HTREEITEM g = tree.InsertGroupItem(u"group", 0, 0, 1);
  HTREEITEM f = tree.InsertFriendItem(u"friend", 0, 0, 2, g);
  tree.Expand(g, TVE_EXPAND);
  int i0 = -1, i1 = -1;
  EXPECT_TRUE(tree.InsertPostfixBn(f, 4, 100, &i0));
  EXPECT_TRUE(tree.InsertPostfixBn(f, 5, 200, &i1));
  EXPECT_EQ(i0, 0);
  EXPECT_EQ(i1, 1);
  EXPECT_EQ(tree.GetPostfixBnCount(f), 2);
  EXPECT_EQ(tree.GetPBMaxIndex(f), 1);
  DWORD data = 0;
  EXPECT_TRUE(tree.GetPostfixBnData(f, 1, data));
  EXPECT_EQ(data, 200u);

  RECT b0{}, b1{}, text{};
  ASSERT_TRUE(tree.GetPostfixBnRect(f, 0, &b0));
  ASSERT_TRUE(tree.GetPostfixBnRect(f, 1, &b1));
  ASSERT_TRUE(tree.GetVisualTextRect(f, &text));
  EXPECT_GT(b0.left, text.right);
  EXPECT_GT(b1.left, b0.right - 1);
  UINT flags = 0;
  int index = -1;
  EXPECT_EQ(tree.HitTestEx(CPoint(b1.left + 2, b1.top + 5), &flags, &index), f);
  EXPECT_EQ(flags, TVHT_ONPOSTFIXBN);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(tree.HitTestEx(TextPoint(f), &flags, &index), f);
  EXPECT_EQ(flags, TVHT_ONITEMLABEL);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(tree.HitTest(CPoint(20, 25), &flags), f);
  EXPECT_EQ(flags, TVHT_ONITEMICON);
  EXPECT_EQ(tree.HitTest(CPoint(190, 25), &flags), f);
  EXPECT_EQ(flags, TVHT_ONITEMRIGHT);
  EXPECT_EQ(tree.HitTest(CPoint(5, 70), &flags), nullptr);
  EXPECT_EQ(flags, TVHT_NOWHERE);
  EXPECT_EQ(tree.HitTest(CPoint(5, -3), &flags), nullptr);
  EXPECT_EQ(flags, TVHT_ABOVE);

  // Deleting the first button moves the second to index 0.
  EXPECT_TRUE(tree.DeletePostfixBn(f, 0));
  EXPECT_TRUE(tree.GetPostfixBnData(f, 0, data));
  EXPECT_EQ(data, 200u);
  EXPECT_FALSE(tree.DeletePostfixBn(f, 3));
  EXPECT_TRUE(tree.SetPostfixBnImage(f, 0, 9));
  EXPECT_EQ(tree.GetPostfixBnImage(f, 0), 9);
  // A hidden button takes no room and cannot be hit.
  EXPECT_TRUE(tree.ShowPostfixBn(f, 0, FALSE));
  EXPECT_FALSE(tree.GetPostfixBnRect(f, 0, &b0));
}

TEST_F(TreeTest, ClicksReachTheHooks) {
  HTREEITEM g = tree.InsertGroupItem(u"g", 0, 0, 1);
  HTREEITEM f = tree.InsertFriendItem(u"f", 0, 0, 2, g);
  int index = -1;
  tree.InsertPostfixBn(f, 0, 7, &index);

  ClickAt(tree, TextPoint(g));
  EXPECT_EQ(tree.calls, (std::vector<std::string>{"down:g", "up:g"}));
  EXPECT_EQ(tree.GetSelectedItem(), g);
  EXPECT_EQ(tree.GetItemState(g, TVIS_EXPANDED), TVIS_EXPANDED);  // a click opens a group

  tree.calls.clear();
  DoubleClickAt(tree, TextPoint(f));
  EXPECT_EQ(tree.calls, (std::vector<std::string>{"down:f", "up:f", "dblclk:f"}));

  tree.calls.clear();
  RightClickAt(tree, TextPoint(f));
  EXPECT_EQ(tree.calls, (std::vector<std::string>{"rup:f"}));
  tree.calls.clear();
  RightClickAt(tree, CPoint(50, 90));  // empty space
  EXPECT_EQ(tree.calls, (std::vector<std::string>{"rup:-"}));

  RECT b{};
  ASSERT_TRUE(tree.GetPostfixBnRect(f, 0, &b));
  tree.calls.clear();
  ClickAt(tree, CPoint(b.left + 3, b.top + 5));
  EXPECT_EQ(tree.calls, (std::vector<std::string>{"pfdown:f#0", "pfup:f#0"}));
  tree.calls.clear();
  DoubleClickAt(tree, CPoint(b.left + 3, b.top + 5));
  EXPECT_EQ(tree.calls.back(), "pfdbl:f#0");

  // A second click on the open group closes it; a double-click does not
  // toggle it twice.
  tree.calls.clear();
  ClickAt(tree, TextPoint(g));
  EXPECT_EQ(tree.GetItemState(g, TVIS_EXPANDED), 0u);
  DoubleClickAt(tree, TextPoint(g));
  EXPECT_EQ(tree.GetItemState(g, TVIS_EXPANDED), TVIS_EXPANDED);
}

TEST_F(TreeTest, CheckBoxes) {
  tree.ModifyStyle(0, TVS_CHECKBOXES);
  HTREEITEM a = tree.InsertItem(u"a");
  RECT row{};
  ASSERT_TRUE(tree.GetItemRect(a, &row, FALSE));
  UINT flags = 0;
  EXPECT_EQ(tree.HitTest(CPoint(8, 10), &flags), a);
  EXPECT_EQ(flags, TVHT_ONITEMSTATEICON);
  ClickAt(tree, CPoint(8, 10));
  EXPECT_TRUE(tree.GetCheck(a));
  EXPECT_EQ(tree.calls, (std::vector<std::string>{"check:a"}));
  ClickAt(tree, CPoint(8, 10));
  EXPECT_FALSE(tree.GetCheck(a));
  EXPECT_EQ(tree.calls.back(), "uncheck:a");
}

TEST_F(TreeTest, DragFriendOntoGroup) {
  HTREEITEM g1 = tree.InsertGroupItem(u"g1", 0, 0, 1);
  HTREEITEM f = tree.InsertFriendItem(u"f", 0, 0, 2, g1);
  HTREEITEM g2 = tree.InsertGroupItem(u"g2", 0, 0, 3);
  tree.Expand(g1, TVE_EXPAND);
  CPoint from = TextPoint(f);
  CPoint to = TextPoint(g2);
  MouseDownAt(tree, from);
  MouseMoveTo(tree, CPoint(from.x, from.y + 10));
  EXPECT_TRUE(tree.IsDragging());
  EXPECT_EQ(tree.GetDragItem(), f);
  MouseMoveTo(tree, to);
  EXPECT_EQ(tree.GetDropHilightItem(), g2);
  tree.calls.clear();
  MouseUpAt(tree, to);
  EXPECT_FALSE(tree.IsDragging());
  EXPECT_EQ(tree.calls, (std::vector<std::string>{"predrop:f", "target:g2", "droped:f"}));
  EXPECT_EQ(tree.GetParentItem(f), g1);  // the override left the tree alone
}

TEST_F(TreeTest, DropRefusedAndDefaultMove) {
  HTREEITEM g1 = tree.InsertGroupItem(u"g1", 0, 0, 1);
  HTREEITEM f = tree.InsertFriendItem(u"f", 0, 0, 2, g1);
  tree.InsertFriendItem(u"f2", 0, 0, 5, g1);
  HTREEITEM g2 = tree.InsertGroupItem(u"g2", 0, 0, 3);
  tree.Expand(g1, TVE_EXPAND);

  // PreDrop refuses: no drop.
  tree.allowDrop = FALSE;
  MouseDownAt(tree, TextPoint(f));
  MouseMoveTo(tree, TextPoint(g2));
  tree.calls.clear();
  MouseUpAt(tree, TextPoint(g2));
  EXPECT_EQ(tree.calls, (std::vector<std::string>{"predrop:f", "target:g2"}));

  // A friend item is no drop target: releasing there drops nothing.
  tree.allowDrop = TRUE;
  HTREEITEM f2 = tree.GetNextSiblingItem(f);
  MouseDownAt(tree, TextPoint(f));
  MouseMoveTo(tree, TextPoint(f2));
  EXPECT_EQ(tree.GetDropHilightItem(), nullptr);
  tree.calls.clear();
  MouseUpAt(tree, TextPoint(f2));
  EXPECT_TRUE(tree.calls.empty());

  // The default drop moves the branch under the target.
  tree.moveOnDrop = true;
  MouseDownAt(tree, TextPoint(f));
  MouseMoveTo(tree, TextPoint(g2));
  MouseUpAt(tree, TextPoint(g2));
  EXPECT_FALSE(tree.IsValidItem(f));
  HTREEITEM moved = tree.GetChildItem(g2);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(tree.GetItemText(moved), u"f");
  EXPECT_EQ(tree.GetItemData(moved), 2u);
  EXPECT_TRUE(tree.IsFriendItem(moved));

  // A refused drag start makes no drag.
  tree.allowDrag = FALSE;
  tree.calls.clear();
  MouseDownAt(tree, TextPoint(f2));
  MouseMoveTo(tree, CPoint(TextPoint(f2).x, TextPoint(f2).y + 15));
  EXPECT_FALSE(tree.IsDragging());
  MouseUpAt(tree, CPoint(TextPoint(f2).x, TextPoint(f2).y + 15));
  EXPECT_EQ(tree.calls.front(), "down:f2");
  EXPECT_EQ(tree.calls[1], "begindrag:f2");

  // Per-item flags: a group made draggable by the panel can be dragged.
  tree.allowDrag = TRUE;
  EXPECT_TRUE(tree.EnableDragDrop(g1, TRUE, FALSE));
  MouseDownAt(tree, TextPoint(g1));
  MouseMoveTo(tree, CPoint(TextPoint(g1).x + 10, TextPoint(g1).y));
  EXPECT_TRUE(tree.IsDragging());
  tree.CancelDrag();
  EXPECT_FALSE(tree.IsDragging());
  MouseUpAt(tree, TextPoint(g1));
}

// A tree that records deletions.
class DeletionTree : public CYRTreeCtrl {
 public:
  std::vector<std::u16string> deleted;

 protected:
  void OnItemDeleted(HTREEITEM item) override { deleted.push_back(GetItemText(item)); }
};

TEST(TreeDelete, BranchGoesChildrenFirst) {
  DeletionTree tree;  // no window needed for the item operations
  HTREEITEM a = tree.InsertItem(u"a");
  HTREEITEM a1 = tree.InsertItem(u"a1", a);
  tree.InsertItem(u"a1x", a1);
  tree.InsertItem(u"a2", a);
  HTREEITEM b = tree.InsertItem(u"b");
  tree.SelectItem(a1);
  EXPECT_TRUE(tree.DeleteItem(a));
  EXPECT_EQ(tree.deleted, (std::vector<std::u16string>{u"a1x", u"a1", u"a2", u"a"}));
  EXPECT_EQ(tree.GetCount(), 1u);
  EXPECT_EQ(tree.GetRootItem(), b);
  EXPECT_EQ(tree.GetSelectedItem(), nullptr);
  EXPECT_FALSE(tree.DeleteItem(a));  // already gone
  EXPECT_TRUE(tree.DeleteAllItems());
  EXPECT_EQ(tree.GetCount(), 0u);
  EXPECT_EQ(tree.GetRootItem(), nullptr);
}

int CompareData(LPARAM a, LPARAM b, LPARAM descending) {
  int r = a < b ? -1 : a > b ? 1 : 0;
  return descending ? -r : r;
}

TEST(TreeSort, ByTextAndByCallback) {
  CYRTreeCtrl tree;
  HTREEITEM p = tree.InsertItem(u"p");
  for (const char16_t* t : {u"Delta", u"alpha", u"charlie", u"Bravo"}) tree.InsertItem(t, p);
  EXPECT_TRUE(tree.SortChildren(p));
  std::u16string order;
  for (HTREEITEM c = tree.GetChildItem(p); c; c = tree.GetNextSiblingItem(c))
    order += tree.GetItemText(c) + u",";
  EXPECT_EQ(order, u"alpha,Bravo,charlie,Delta,");

  int n = 0;
  for (HTREEITEM c = tree.GetChildItem(p); c; c = tree.GetNextSiblingItem(c))
    tree.SetItemData(c, (n++ * 7) % 4);
  TVSORTCB sort{p, CompareData, 1};
  EXPECT_TRUE(tree.SortChildrenCB(&sort));
  std::vector<DWORD_PTR> data;
  for (HTREEITEM c = tree.GetChildItem(p); c; c = tree.GetNextSiblingItem(c))
    data.push_back(tree.GetItemData(c));
  EXPECT_EQ(data, (std::vector<DWORD_PTR>{3, 2, 1, 0}));
  EXPECT_FALSE(tree.SortChildrenCB(nullptr));
  // The root level sorts too.
  tree.InsertItem(u"a");
  EXPECT_TRUE(tree.SortChildren(TVI_ROOT));
  EXPECT_EQ(tree.GetItemText(tree.GetRootItem()), u"a");
}

TEST(FriendTree, IconTypesAndTextColours) {
  RecordingTree tree;
  tree.Init();
  EXPECT_EQ(tree.GetItemHeight(), 20);
  tree.SetIconType(YRICON_BIG);
  EXPECT_EQ(tree.GetItemHeight(), 40);
  EXPECT_EQ(tree.GetIconType(), YRICON_BIG);
  tree.SetIconType(YRICON_SMALL);
  EXPECT_EQ(tree.GetItemHeight(), 20);
  HTREEITEM f = tree.InsertFriendItem(u"f", 0, 0, 1);
  EXPECT_TRUE(tree.EnableBigImage(f, TRUE));
  EXPECT_TRUE(tree.IsBigImage(f));
  EXPECT_FALSE(tree.EnableBigImage(nullptr, TRUE));
  EXPECT_FALSE(tree.GetSettingDirectory().empty());
}

// A driver that answers menus and remembers what it saw.
class MenuDriver : public ModalDriver {
 public:
  UINT answer = 0;
  PopupMenuView seen;
  int menus = 0;
  UINT OnPopupMenu(const PopupMenuView& menu) override {
    seen = menu;
    ++menus;
    return answer;
  }
};

TEST(BCMenuTest, TheDriverSeesTheWholeMenu) {
  ResetUserInterface();
  MenuDriver driver;
  SetModalDriver(&driver);
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, u"owner", WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100},
                             nullptr, 0));
  BCMenu menu;
  EXPECT_TRUE(menu.AppendMenuW(MF_STRING, 4820, u"发送即时消息", 3));
  EXPECT_TRUE(menu.AppendMenuW(MF_SEPARATOR, 0, nullptr));
  EXPECT_TRUE(menu.AppendMenuW(MF_GRAYED, 4000, u"发送电子邮件"));
  BCMenu sub;
  sub.AppendMenuW(MF_STRING | MF_CHECKED, 4861, u"我的好友", 1);
  EXPECT_TRUE(menu.AppendPopup(sub, u"移动到"));
  EXPECT_EQ(menu.GetMenuItemImage(4820), 3);
  EXPECT_EQ(menu.GetMenuItemImage(4861), 1);
  EXPECT_EQ(menu.GetMenuItemImage(4000), -1);

  driver.answer = 4861;
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 30, 40, &owner), 4861);
  ASSERT_EQ(driver.seen.items.size(), 4u);
  EXPECT_EQ(driver.seen.items[0].text, u"发送即时消息");
  EXPECT_TRUE(driver.seen.items[1].separator);
  EXPECT_FALSE(driver.seen.items[2].enabled);
  ASSERT_EQ(driver.seen.items[3].submenu.size(), 1u);
  EXPECT_TRUE(driver.seen.items[3].submenu[0].checked);
  EXPECT_EQ(driver.seen.pt.x, 30);

  // A grayed item is no answer.
  driver.answer = 4000;
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner), 0);
  EXPECT_TRUE(menu.DestroyMenu());
  EXPECT_FALSE(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner));  // no menu any more
  EXPECT_EQ(driver.menus, 2);

  // Menus of the resource module.
  EXPECT_FALSE(menu.LoadMenuW(12345));
  CResourceMgr* res = CResourceMgr::GetInstance();
  ASSERT_TRUE(res->LoadResourceText(
      "<resources><menu id='700'><item id='4835' text='添加好友' image='2'/><separator/>"
      "<item id='4842' text='只查看在线好友' flags='8'/></menu></resources>"));
  BCMenu loaded;
  ASSERT_TRUE(loaded.LoadMenuW(700));
  EXPECT_EQ(loaded.GetMenuItemCount(), 3);
  EXPECT_EQ(loaded.GetMenuItemImage(4835), 2);
  EXPECT_EQ(loaded.GetMenuState(4842, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  res->ResetToDefault();
  SetModalDriver(nullptr);
  owner.DestroyWindow();
  ResetUserInterface();
}

TEST(GroupNameEdit, EnterReportsEscapeCancels) {
  ResetUserInterface();
  CWnd host;
  ASSERT_TRUE(
      host.CreateEx(0, nullptr, u"host", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 200}, nullptr, 0));
  CChangeGroupNameEdit edit;
  ASSERT_TRUE(edit.Create(0, RECT{0, 0, 10, 10}, &host, 1500));
  EXPECT_FALSE(edit.IsWindowVisible());
  std::vector<std::u16string> reports;
  edit.SetFinishHandler([&](const std::u16string& text) { reports.push_back(text); });

  edit.StartEdit(u"旧组名", RECT{10, 20, 110, 40});
  EXPECT_TRUE(edit.IsEditing());
  EXPECT_TRUE(edit.IsWindowVisible());
  TypeText(u"new");  // replaces the selected old name
  KeyPress(VK_RETURN);
  EXPECT_FALSE(edit.IsEditing());
  EXPECT_FALSE(edit.IsWindowVisible());
  EXPECT_EQ(reports, (std::vector<std::u16string>{u"new"}));

  edit.StartEdit(u"x", RECT{10, 20, 110, 40});
  KeyPress(VK_ESCAPE);
  EXPECT_FALSE(edit.IsEditing());
  EXPECT_EQ(reports.size(), 1u);
  edit.EditFinished();  // nothing open: no report
  EXPECT_EQ(reports.size(), 1u);

  // Without a handler the parent gets the message.
  struct Parent : CWnd {
    std::u16string got;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
      if (msg == UM_GROUPNAME_EDITED && w == 1500) got = reinterpret_cast<const char16_t*>(l);
      return CWnd::WindowProc(msg, w, l);
    }
  } parent;
  ASSERT_TRUE(
      parent.CreateEx(0, nullptr, u"p", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 200}, nullptr, 0));
  CChangeGroupNameEdit edit2;
  ASSERT_TRUE(edit2.Create(0, RECT{0, 0, 10, 10}, &parent, 1500));
  edit2.StartEdit(u"组", RECT{0, 0, 80, 20});
  edit2.EditFinished();
  EXPECT_EQ(parent.got, u"组");
  edit2.DestroyWindow();
  parent.DestroyWindow();
  edit.DestroyWindow();
  host.DestroyWindow();
  ResetUserInterface();
}

}  // namespace
