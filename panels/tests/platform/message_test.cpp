#include "ui_test_support.h"

using namespace uitest;

namespace {

class MessageTest : public UiTest {};

TEST_F(MessageTest, PostedMessagesArriveInOrderOnlyWhenPumped) {
  HWND w = Top(RECT{0, 0, 50, 50});
  PumpMessages();
  Log().clear();
  PostMessageW(w, WM_USER + 1, 1, 0);
  PostMessageW(w, WM_USER + 2, 2, 0);
  PostMessageW(w, WM_USER + 1, 3, 0);
  EXPECT_EQ(Count(w, WM_USER + 1), 0);
  EXPECT_EQ(PendingMessageCount(), 3u);
  EXPECT_EQ(PumpMessages(), 3u);
  ASSERT_EQ(Log().size(), 3u);
  EXPECT_EQ(Log()[0].wParam, 1u);
  EXPECT_EQ(Log()[1].msg, WM_USER + 2);
  EXPECT_EQ(Log()[2].wParam, 3u);
  EXPECT_EQ(PumpMessages(), 0u);
}

TEST_F(MessageTest, SentMessagesAreSynchronousAndBadTargetsAreRefused) {
  HWND w = Top(RECT{0, 0, 50, 50});
  Log().clear();
  EXPECT_EQ(SendMessageW(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"标题")), TRUE);
  EXPECT_EQ(Count(w, WM_SETTEXT), 1);
  EXPECT_EQ(GetWindowTextString(w), u"标题");
  EXPECT_EQ(SendMessageW(0xDEAD, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessageW(0xDEAD, WM_USER, 0, 0));
}

TEST_F(MessageTest, MessagesForDestroyedWindowsAreDropped) {
  HWND a = Top(RECT{0, 0, 50, 50});
  HWND b = Top(RECT{0, 0, 50, 50});
  PumpMessages();  // first paints
  PostMessageW(a, WM_USER, 0, 0);
  PostMessageW(b, WM_USER, 0, 0);
  DestroyWindow(a);
  Log().clear();
  EXPECT_EQ(PumpMessages(), 1u);
  EXPECT_EQ(Count(b, WM_USER), 1);
}

TEST_F(MessageTest, HandlersThatPostForeverStopAtTheLimit) {
  struct Loop {
    static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
      if (m == WM_USER) PostMessageW(h, WM_USER, 0, 0);
      return DefWindowProcW(h, m, w, l);
    }
  };
  WNDCLASSW wc;
  wc.lpfnWndProc = Loop::Proc;
  wc.lpszClassName = u"PostForever";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(0, u"PostForever", u"", WS_POPUP, 0, 0, 1, 1, 0, 0, nullptr, nullptr);
  PostMessageW(w, WM_USER, 0, 0);
  EXPECT_EQ(PumpMessages(50), 50u);
  EXPECT_EQ(PendingMessageCount(), 1u);
}

TEST_F(MessageTest, PaintComesAfterPostedMessagesAndValidates) {
  HWND w = Top(RECT{0, 0, 50, 50});
  PumpMessages();
  Log().clear();
  InvalidateRect(w, nullptr, TRUE);
  PostMessageW(w, WM_USER, 0, 0);
  PumpMessages();
  std::vector<UINT> order = MessagesOf(w, {});
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(order[0], WM_USER);
  EXPECT_EQ(order[1], WM_PAINT);
  EXPECT_EQ(order[2], WM_ERASEBKGND);  // from BeginPaint in the default handling
  Log().clear();
  PumpMessages();
  EXPECT_EQ(Count(w, WM_PAINT), 0);
  // Hidden windows are not painted until shown.
  ShowWindow(w, SW_HIDE);
  InvalidateRect(w, nullptr, FALSE);
  PumpMessages();
  EXPECT_EQ(Count(w, WM_PAINT), 0);
  ShowWindow(w, SW_SHOW);
  PumpMessages();
  EXPECT_EQ(Count(w, WM_PAINT), 1);
}

}  // namespace
