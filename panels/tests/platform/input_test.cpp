#include "ui_test_support.h"

using namespace uitest;

namespace {

class InputTest : public UiTest {};

TEST_F(InputTest, ClickLandsOnChildUnderPointWithClientCoordinates) {
  HWND top = Top(RECT{100, 100, 300, 300});
  HWND a = Child(top, RECT{10, 10, 60, 60}, 1);
  HWND b = Child(top, RECT{50, 50, 150, 150}, 2);  // overlaps a; a is above (created first)
  Log().clear();
  EXPECT_EQ(ClickAt(top, POINT{55, 55}), a);
  EXPECT_EQ(ClickAt(top, POINT{70, 80}), b);
  bool found = false;
  for (auto& r : Log())
    if (r.hwnd == b && r.msg == WM_LBUTTONDOWN) {
      EXPECT_EQ(GET_X_LPARAM(r.lParam), 20);
      EXPECT_EQ(GET_Y_LPARAM(r.lParam), 30);
      found = true;
    }
  EXPECT_TRUE(found);
  EXPECT_EQ(ClickAt(top, POINT{5, 5}), top);
  EXPECT_EQ(ClickAt(top, POINT{250, 5}), 0u);  // outside the window
}

TEST_F(InputTest, RegionLimitsHitTesting) {
  HWND top = Top(RECT{0, 0, 200, 200});
  HWND round = Child(top, RECT{0, 0, 100, 100}, 1);
  SetWindowRgn(round, CreateEllipticRgn(0, 0, 100, 100), TRUE);
  EXPECT_EQ(ClickAt(top, POINT{50, 50}), round);
  EXPECT_EQ(ClickAt(top, POINT{2, 2}), top);  // the corner is outside the circle
}

TEST_F(InputTest, DisabledChildLeavesItsAreaToItsParent) {
  HWND top = Top(RECT{0, 0, 200, 200});
  HWND child = Child(top, RECT{0, 0, 100, 100}, 1);
  EnableWindow(child, FALSE);
  EXPECT_EQ(ClickAt(top, POINT{50, 50}), top);
  EnableWindow(top, FALSE);
  EXPECT_EQ(ClickAt(top, POINT{150, 150}), 0u);
}

TEST_F(InputTest, CaptureTakesAllMouseInput) {
  HWND top = Top(RECT{0, 0, 200, 200});
  HWND a = Child(top, RECT{0, 0, 50, 50}, 1);
  HWND b = Child(top, RECT{100, 100, 150, 150}, 2);
  EXPECT_EQ(SetCapture(a), 0u);
  Log().clear();
  EXPECT_EQ(ClickAt(top, POINT{120, 130}), a);
  for (auto& r : Log())
    if (r.msg == WM_LBUTTONUP) {
      EXPECT_EQ(r.hwnd, a);
      EXPECT_EQ(GET_X_LPARAM(r.lParam), 120);
    }
  EXPECT_EQ(SetCapture(b), a);
  EXPECT_EQ(Count(a, WM_CAPTURECHANGED), 1);
  ReleaseCapture();
  EXPECT_EQ(Count(b, WM_CAPTURECHANGED), 1);
  EXPECT_EQ(GetCapture(), 0u);
  SetCapture(b);
  DestroyWindow(b);
  EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(InputTest, FocusMessagesAndClickActivation) {
  HWND top = Top(RECT{0, 0, 200, 200});
  HWND a = Child(top, RECT{0, 0, 50, 50}, 1);
  HWND b = Child(top, RECT{100, 0, 150, 50}, 2);
  EXPECT_EQ(SetFocus(a), 0u);
  Log().clear();
  EXPECT_EQ(SetFocus(b), a);
  ASSERT_EQ(Log().size(), 2u);
  EXPECT_EQ(Log()[0].hwnd, a);
  EXPECT_EQ(Log()[0].msg, WM_KILLFOCUS);
  EXPECT_EQ(Log()[0].wParam, b);
  EXPECT_EQ(Log()[1].msg, WM_SETFOCUS);
  EXPECT_EQ(Log()[1].wParam, a);
  // A click inside the window that has the focus does not move it; ordinary
  // windows do not take it themselves.
  ClickAt(top, POINT{10, 10});
  EXPECT_EQ(GetFocus(), b);
  // Hiding the focus window gives the focus to its parent.
  ShowWindow(b, SW_HIDE);
  EXPECT_EQ(GetFocus(), top);
  // A click in another top-level window activates it.
  HWND other = Top(RECT{300, 0, 400, 100});
  ClickAt(other, POINT{5, 5});
  EXPECT_EQ(GetFocus(), other);
  EXPECT_EQ(SetFocus(0xBAD), 0u);
  EXPECT_EQ(GetFocus(), other);
}

TEST_F(InputTest, ControlsTakeTheFocusAndTypedTextReachesThem) {
  HWND top = Top(RECT{0, 0, 200, 200});
  HWND edit = CreateWindowExW(0, u"Edit", u"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 100, 20,
                              top, static_cast<HMENU>(5), nullptr, nullptr);
  ClickAt(top, POINT{20, 15});
  EXPECT_EQ(GetFocus(), edit);
  Log().clear();
  EXPECT_EQ(TypeText(u"ab群1"), edit);
  EXPECT_EQ(GetWindowTextString(edit), u"ab群1");
  int changes = 0;
  for (auto& r : Log())
    if (r.hwnd == top && r.msg == WM_COMMAND && HIWORD(r.wParam) == EN_CHANGE &&
        LOWORD(r.wParam) == 5)
      ++changes;
  EXPECT_EQ(changes, 4);
  KeyPress(VK_BACK);
  EXPECT_EQ(GetWindowTextString(edit), u"ab群");
  KeyDown(VK_SHIFT);
  KeyPress('Q');
  KeyUp(VK_SHIFT);
  KeyPress('Q');
  EXPECT_EQ(GetWindowTextString(edit), u"ab群Qq");
  SendMessageW(edit, EM_LIMITTEXT, 6, 0);
  TypeText(u"z");
  EXPECT_EQ(GetWindowTextString(edit), u"ab群Qqz");
  TypeText(u"zz");  // past the limit: refused
  EXPECT_EQ(GetWindowTextString(edit), u"ab群Qqz");
  SendMessageW(edit, EM_SETSEL, 0, -1);
  TypeText(u"x");
  EXPECT_EQ(GetWindowTextString(edit), u"x");
}

TEST_F(InputTest, KeysGoToTheFocusWindowOnly) {
  HWND top = Top(RECT{0, 0, 100, 100});
  EXPECT_EQ(KeyPress(VK_RETURN), 0u);
  SetFocus(top);
  Log().clear();
  EXPECT_EQ(KeyPress(VK_RETURN), top);
  std::vector<UINT> expected = {WM_KEYDOWN, WM_CHAR, WM_KEYUP};
  EXPECT_EQ(MessagesOf(top), expected);
  EXPECT_EQ(Log()[1].wParam, static_cast<WPARAM>(u'\r'));
  Log().clear();
  KeyPress(VK_DOWN);
  expected = {WM_KEYDOWN, WM_KEYUP};
  EXPECT_EQ(MessagesOf(top), expected);
}

TEST_F(InputTest, DoubleClickNeedsTheClassStyle) {
  HWND top = Top(RECT{0, 0, 100, 100});
  SetFocus(top);
  Log().clear();
  DoubleClickAt(top, POINT{5, 5});
  std::vector<UINT> expected = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
  EXPECT_EQ(MessagesOf(top), expected);

  WNDCLASSW wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = u"NoDoubleClicks";
  RegisterClassW(&wc);
  HWND plain = CreateWindowExW(0, u"NoDoubleClicks", u"", WS_CHILD | WS_VISIBLE, 50, 50, 10, 10,
                               top, 0, nullptr, nullptr);
  EXPECT_EQ(DoubleClickAt(top, POINT{55, 55}), plain);
}

TEST_F(InputTest, RightClickEndsInAContextMenuRequestToTheParent) {
  HWND top = Top(RECT{10, 10, 200, 200});
  HWND child = Child(top, RECT{0, 0, 50, 50});
  Log().clear();
  EXPECT_EQ(RightClickAt(top, POINT{5, 6}), child);
  std::vector<UINT> expected = {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU};
  EXPECT_EQ(MessagesOf(child), expected);
  ASSERT_EQ(Count(top, WM_CONTEXTMENU), 1);
  for (auto& r : Log())
    if (r.hwnd == top && r.msg == WM_CONTEXTMENU) {
      EXPECT_EQ(r.wParam, child);
      EXPECT_EQ(GET_X_LPARAM(r.lParam), 15);  // screen co-ordinates
      EXPECT_EQ(GET_Y_LPARAM(r.lParam), 16);
    }
}

TEST_F(InputTest, HoverAfterRestingAndLeaveWhenThePointerGoes) {
  HWND top = Top(RECT{0, 0, 200, 200});
  HWND a = Child(top, RECT{0, 0, 50, 50});
  MouseMoveTo(top, POINT{10, 10});
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_HOVER | TME_LEAVE;
  tme.hwndTrack = a;
  tme.dwHoverTime = 100;
  EXPECT_TRUE(TrackMouseEvent(&tme));
  AdvanceClock(60);
  MouseMoveTo(top, POINT{12, 12});  // moving restarts the wait
  AdvanceClock(60);
  EXPECT_EQ(Count(a, WM_MOUSEHOVER), 0);
  AdvanceClock(40);
  EXPECT_EQ(Count(a, WM_MOUSEHOVER), 1);
  AdvanceClock(500);
  EXPECT_EQ(Count(a, WM_MOUSEHOVER), 1);  // one notice per request
  MouseMoveTo(top, POINT{100, 100});
  EXPECT_EQ(Count(a, WM_MOUSELEAVE), 1);
  MouseMoveTo(top, POINT{10, 10});
  MouseMoveTo(top, POINT{100, 100});
  EXPECT_EQ(Count(a, WM_MOUSELEAVE), 1);  // not tracked any more
  // Asking while the pointer is elsewhere gives the leave notice at once.
  tme.dwFlags = TME_LEAVE;
  TrackMouseEvent(&tme);
  PumpMessages();
  EXPECT_EQ(Count(a, WM_MOUSELEAVE), 2);
}

TEST_F(InputTest, CursorComesFromSetCursorHandlingOrTheClass) {
  struct Hand {
    static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
      if (m == WM_SETCURSOR) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      return DefWindowProcW(h, m, w, l);
    }
  };
  WNDCLASSW wc;
  wc.lpfnWndProc = Hand::Proc;
  wc.lpszClassName = u"HandCursor";
  RegisterClassW(&wc);
  HWND top = Top(RECT{0, 0, 200, 200});
  CreateWindowExW(0, u"HandCursor", u"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, 0, nullptr,
                  nullptr);
  EXPECT_NE(LoadCursorW(nullptr, IDC_HAND), LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(1)), 0u);
  MouseMoveTo(top, POINT{10, 10});
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  MouseMoveTo(top, POINT{100, 100});
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace
