#include "ui_test_support.h"

#include <vector>

using namespace uitest;

namespace {

class WindowTreeTest : public UiTest {};

BOOL CollectInto(HWND hwnd, LPARAM lParam) {
  reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
  return TRUE;
}

TEST_F(WindowTreeTest, EnumerationAndSearch) {
  HWND top = Top(RECT{0, 0, 100, 100});
  HWND a = Child(top, RECT{0, 0, 10, 10}, 1);
  HWND a1 = Child(a, RECT{0, 0, 5, 5}, 11);
  HWND b = Child(top, RECT{20, 0, 30, 10}, 2);
  SetWindowTextW(b, u"搜索");
  std::vector<HWND> all;
  EnumChildWindows(top, CollectInto, reinterpret_cast<LPARAM>(&all));
  EXPECT_EQ(all, (std::vector<HWND>{a, a1, b}));
  EXPECT_EQ(GetWindow(top, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDPREV), a);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), 0u);
  EXPECT_EQ(FindWindowExW(top, 0, nullptr, u"搜索"), b);
  EXPECT_EQ(FindWindowExW(top, a, kRecorder, nullptr), b);
  EXPECT_EQ(FindWindowW(u"uitestrecorder", u"top"), top);  // class names ignore case
  EXPECT_EQ(FindWindowW(nullptr, u"nothing"), 0u);
  EXPECT_TRUE(IsChild(top, a1));
  EXPECT_FALSE(IsChild(a, b));
  EXPECT_EQ(GetAncestor(a1, GA_ROOT), top);
  EXPECT_EQ(GetAncestor(a1, GA_PARENT), a);
  char16_t name[32];
  EXPECT_EQ(GetClassNameW(a, name, 32), 14);
  EXPECT_EQ(std::u16string(name), kRecorder);
  SetWindowPos(a, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // below b
  EXPECT_EQ(GetWindow(top, GW_CHILD), b);
  SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(top, GW_CHILD), a);
}

TEST_F(WindowTreeTest, SetCursorAsksTheParentFirst) {
  struct Parent {
    static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
      if (m == WM_SETCURSOR) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;  // the parent decides for its children
      }
      return DefWindowProcW(h, m, w, l);
    }
  };
  WNDCLASSW wc;
  wc.lpfnWndProc = Parent::Proc;
  wc.lpszClassName = u"BusyParent";
  RegisterClassW(&wc);
  HWND top = CreateWindowExW(0, u"BusyParent", u"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, 0, 0,
                             nullptr, nullptr);
  Child(top, RECT{0, 0, 50, 50});
  MouseMoveTo(top, POINT{10, 10});
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
}

TEST_F(WindowTreeTest, WindowRegionsBelongToTheWindow) {
  HWND top = Top(RECT{0, 0, 100, 100});
  HRGN rgn = CreateRoundRectRgn(0, 0, 100, 100, 20, 20);
  EXPECT_EQ(SetWindowRgn(top, rgn, TRUE), 1);
  EXPECT_EQ(GetObjectType(rgn), 0u);  // taken over by the window
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(top, copy), COMPLEXREGION);
  EXPECT_FALSE(PtInRegion(copy, 1, 1));
  EXPECT_TRUE(PtInRegion(copy, 50, 1));
  EXPECT_EQ(WindowFromPoint(POINT{1, 1}), 0u);
  EXPECT_EQ(WindowFromPoint(POINT{50, 1}), top);
  SetWindowRgn(top, 0, TRUE);
  EXPECT_EQ(GetWindowRgn(top, copy), ERROR);
  EXPECT_EQ(WindowFromPoint(POINT{1, 1}), top);
  DeleteObject(copy);
}

TEST_F(WindowTreeTest, ClassExtraBytesAndStyles) {
  WNDCLASSW wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.cbWndExtra = 16;
  wc.lpszClassName = u"WithExtra";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, u"WithExtra", u"", WS_POPUP, 0, 0, 1, 1, 0, 0, nullptr,
                           nullptr);
  SetWindowLongPtrW(w, 8, 42);
  EXPECT_EQ(GetWindowLongPtrW(w, 8), 42);
  EXPECT_EQ(GetWindowLongPtrW(w, 16), 0);  // past the extra bytes
  EXPECT_EQ(GetWindowLongPtrW(w, GWL_EXSTYLE), static_cast<LONG_PTR>(WS_EX_TOOLWINDOW));
  EXPECT_EQ(GetWindowLongPtrW(w, GWL_STYLE) & WS_POPUP, static_cast<LONG_PTR>(WS_POPUP));
  EXPECT_FALSE(UnregisterClassW(u"WithExtra", nullptr));  // still in use
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClassW(u"WithExtra", nullptr));
}

TEST_F(WindowTreeTest, ResetDestroysEverything) {
  HWND top = Top(RECT{0, 0, 100, 100});
  HWND child = Child(top, RECT{0, 0, 10, 10});
  SetFocus(child);
  SetCapture(child);
  SetTimer(child, 1, 10, nullptr);
  PostMessageW(child, WM_USER, 0, 0);
  Log().clear();
  ResetUserInterface();
  EXPECT_EQ(Count(child, WM_NCDESTROY), 1);
  EXPECT_FALSE(IsWindow(top));
  EXPECT_EQ(GetFocus(), 0u);
  EXPECT_EQ(GetCapture(), 0u);
  EXPECT_EQ(ActiveTimerCount(), 0u);
  EXPECT_EQ(PendingMessageCount(), 0u);
}

}  // namespace
