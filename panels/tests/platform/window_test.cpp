#include "ui_test_support.h"

using namespace uitest;

namespace {

class WindowTest : public UiTest {};

TEST_F(WindowTest, CreationMessagesAndFailure) {
  HWND w = Top(RECT{10, 20, 110, 70});
  std::vector<UINT> expected = {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW};
  EXPECT_EQ(MessagesOf(w), expected);
  EXPECT_EQ(GetWindowTextString(w), u"top");
  EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", 0, 0, 0, 1, 1, 0, 0, nullptr, nullptr), 0u);
  // A child needs a parent.
  EXPECT_EQ(CreateWindowExW(0, kRecorder, u"", WS_CHILD, 0, 0, 1, 1, 0, 0, nullptr, nullptr), 0u);

  struct Refuse {
    static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
      if (m == WM_CREATE) return -1;
      return DefWindowProcW(h, m, w, l);
    }
  };
  WNDCLASSW wc;
  wc.lpfnWndProc = Refuse::Proc;
  wc.lpszClassName = u"RefuseCreate";
  RegisterClassW(&wc);
  EXPECT_EQ(RegisterClassW(&wc), 0);  // registered once only
  EXPECT_EQ(CreateWindowExW(0, u"refusecreate", u"", WS_POPUP, 0, 0, 1, 1, 0, 0, nullptr, nullptr),
            0u);
}

TEST_F(WindowTest, DestroySendsDestroyParentFirstAndNcDestroyChildrenFirst) {
  HWND top = Top(RECT{0, 0, 100, 100});
  HWND child = Child(top, RECT{0, 0, 50, 50}, 1);
  HWND grandchild = Child(child, RECT{0, 0, 10, 10}, 2);
  Log().clear();
  EXPECT_TRUE(DestroyWindow(top));
  std::vector<std::pair<HWND, UINT>> seen;
  for (auto& r : Log()) seen.emplace_back(r.hwnd, r.msg);
  std::vector<std::pair<HWND, UINT>> expected = {
      {top, WM_DESTROY},          {child, WM_DESTROY},   {grandchild, WM_DESTROY},
      {grandchild, WM_NCDESTROY}, {child, WM_NCDESTROY}, {top, WM_NCDESTROY}};
  EXPECT_EQ(seen, expected);
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(IsWindow(grandchild));
  EXPECT_FALSE(DestroyWindow(top));
}

TEST_F(WindowTest, OwnedPopupsGoWithTheirOwner) {
  HWND owner = Top(RECT{0, 0, 100, 100});
  HWND popup =
      CreateWindowExW(0, kRecorder, u"", WS_POPUP, 0, 0, 10, 10, owner, 0, nullptr, nullptr);
  EXPECT_EQ(GetParent(popup), owner);
  EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(popup));
}

TEST_F(WindowTest, GeometryAndCoordinateMapping) {
  HWND top = Top(RECT{100, 50, 400, 250});
  HWND child = Child(top, RECT{20, 30, 120, 80}, 7);
  RECT rc;
  GetWindowRect(child, &rc);
  EXPECT_EQ(rc.left, 120);
  EXPECT_EQ(rc.top, 80);
  GetClientRect(child, &rc);
  EXPECT_EQ(rc.right, 100);
  EXPECT_EQ(rc.bottom, 50);
  POINT p{1, 2};
  ClientToScreen(child, &p);
  EXPECT_EQ(p.x, 121);
  EXPECT_EQ(p.y, 82);
  ScreenToClient(top, &p);
  EXPECT_EQ(p.x, 21);
  EXPECT_EQ(p.y, 32);
  POINT q{0, 0};
  MapWindowPoints(child, top, &q, 1);
  EXPECT_EQ(q.x, 20);
  EXPECT_EQ(q.y, 30);

  Log().clear();
  MoveWindow(child, 5, 6, 70, 40, TRUE);
  std::vector<UINT> expected = {WM_MOVE, WM_SIZE};
  EXPECT_EQ(MessagesOf(child), expected);
  Log().clear();
  SetWindowPos(child, 0, 0, 0, 70, 40, SWP_NOMOVE | SWP_NOZORDER);  // no change: no message
  EXPECT_TRUE(MessagesOf(child).empty());
  EXPECT_EQ(GetDlgCtrlID(child), 7);
  EXPECT_EQ(GetDlgItem(top, 7), child);
  EXPECT_EQ(GetDlgItem(top, 8), 0u);
}

TEST_F(WindowTest, ReparentingMovesTheWindowBetweenTrees) {
  HWND a = Top(RECT{0, 0, 100, 100});
  HWND b = Top(RECT{200, 0, 300, 100});
  HWND c = Child(a, RECT{10, 10, 20, 20}, 3);
  EXPECT_EQ(SetParent(c, b), a);
  EXPECT_EQ(GetParent(c), b);
  EXPECT_EQ(GetDlgItem(a, 3), 0u);
  EXPECT_EQ(GetDlgItem(b, 3), c);
  RECT rc;
  GetWindowRect(c, &rc);
  EXPECT_EQ(rc.left, 210);
  EXPECT_EQ(SetParent(b, c), 0u);  // a window cannot become its own descendant
  DestroyWindow(b);
  EXPECT_FALSE(IsWindow(c));
  EXPECT_TRUE(IsWindow(a));
}

TEST_F(WindowTest, VisibilityFollowsAncestors) {
  HWND top = Top(RECT{0, 0, 100, 100});
  HWND child = Child(top, RECT{0, 0, 10, 10});
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_TRUE(ShowWindow(top, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(child));
  EXPECT_FALSE(ShowWindow(top, SW_HIDE));
  ShowWindow(top, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_FALSE(EnableWindow(child, FALSE));
  EXPECT_FALSE(IsWindowEnabled(child));
  EXPECT_TRUE(EnableWindow(child, TRUE));
}

TEST_F(WindowTest, TextAndUserData) {
  HWND w = Top(RECT{0, 0, 10, 10});
  SetWindowTextW(w, u"好友列表");
  char16_t buffer[3];
  EXPECT_EQ(GetWindowTextW(w, buffer, 3), 2);
  EXPECT_EQ(std::u16string(buffer), u"好友");
  EXPECT_EQ(GetWindowTextLengthW(w), 4);
  SetWindowLongPtrW(w, GWLP_USERDATA, 0x1234);
  EXPECT_EQ(GetWindowLongPtrW(w, GWLP_USERDATA), 0x1234);
}

TEST_F(WindowTest, ZOrderDecidesOverlappingHits) {
  HWND top = Top(RECT{0, 0, 100, 100});
  HWND first = Child(top, RECT{0, 0, 50, 50}, 1);
  HWND second = Child(top, RECT{0, 0, 50, 50}, 2);
  EXPECT_EQ(ChildWindowFromPoint(top, POINT{5, 5}), first);
  SetWindowPos(second, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(ChildWindowFromPoint(top, POINT{5, 5}), second);
  EXPECT_EQ(WindowFromPoint(POINT{5, 5}), second);
  ShowWindow(second, SW_HIDE);
  EXPECT_EQ(WindowFromPoint(POINT{5, 5}), first);
  EXPECT_EQ(ChildWindowFromPoint(top, POINT{5, 5}), second);  // plain form counts hidden windows
  EXPECT_EQ(ChildWindowFromPointEx(top, POINT{5, 5}, CWP_SKIPINVISIBLE), first);
  EXPECT_EQ(ChildWindowFromPoint(top, POINT{500, 5}), 0u);
}

}  // namespace
