#include "ui_test_support.h"

#include <vector>

using namespace uitest;

namespace {

class TimerMoreTest : public UiTest {};

std::vector<std::pair<HWND, UINT_PTR>> g_calls;

void CALLBACK_Record(HWND hwnd, UINT msg, UINT_PTR id, DWORD) {
  EXPECT_EQ(msg, WM_TIMER);
  g_calls.emplace_back(hwnd, id);
}

TEST_F(TimerMoreTest, TimerProceduresAndThreadTimers) {
  g_calls.clear();
  UINT_PTR a = SetTimer(0, 0, 25, CALLBACK_Record);
  UINT_PTR b = SetTimer(0, 0, 25, CALLBACK_Record);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);  // a thread timer gets a new id unless an existing one is named
  EXPECT_EQ(SetTimer(0, a, 50, CALLBACK_Record), a);
  AdvanceClock(50);
  // b at 25 and 50; a, set again later, at 50 after b.
  std::vector<std::pair<HWND, UINT_PTR>> expected = {{0, b}, {0, b}, {0, a}};
  EXPECT_EQ(g_calls, expected);
  EXPECT_TRUE(KillTimer(0, a));
  EXPECT_TRUE(KillTimer(0, b));
  // A window timer with a procedure calls it instead of sending WM_TIMER.
  HWND w = Top(RECT{0, 0, 10, 10});
  g_calls.clear();
  Log().clear();
  SetTimer(w, 5, 10, CALLBACK_Record);
  AdvanceClock(10);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].first, w);
  EXPECT_EQ(Count(w, WM_TIMER), 0);
  EXPECT_EQ(SetTimer(0xBAD, 1, 10, nullptr), 0u);
}

LRESULT SelfKilling(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    g_calls.emplace_back(hwnd, wParam);
    KillTimer(hwnd, wParam);  // a one-shot, as the friend tree's load timer
    AdvanceClock(1000);       // nested: only moves the target, fires nothing now
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(TimerMoreTest, OneShotTimersAndNestedAdvances) {
  WNDCLASSW wc;
  wc.lpfnWndProc = SelfKilling;
  wc.lpszClassName = u"SelfKillingTimer";
  RegisterClassW(&wc);
  HWND w =
      CreateWindowExW(0, u"SelfKillingTimer", u"", WS_POPUP, 0, 0, 1, 1, 0, 0, nullptr, nullptr);
  g_calls.clear();
  DWORD start = GetTickCount();
  SetTimer(w, 101, 20, nullptr);
  SetTimer(w, 102, 500, nullptr);
  AdvanceClock(20);
  ASSERT_EQ(g_calls.size(), 2u);  // the nested advance let 102 fall due in this run
  EXPECT_EQ(g_calls[0].second, 101u);
  EXPECT_EQ(g_calls[1].second, 102u);
  EXPECT_EQ(GetTickCount(), start + 2020);
  EXPECT_EQ(ActiveTimerCount(), 0u);
}

TEST_F(TimerMoreTest, ShortIntervalsAreRaisedToTheMinimum) {
  HWND w = Top(RECT{0, 0, 10, 10});
  Log().clear();
  SetTimer(w, 1, 0, nullptr);
  AdvanceClock(9);
  EXPECT_EQ(Count(w, WM_TIMER), 0);
  AdvanceClock(1);
  EXPECT_EQ(Count(w, WM_TIMER), 1);
}

TEST_F(TimerMoreTest, TimerWorkPostsAreDeliveredBeforeTheNextTimer) {
  struct Poster {
    static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
      if (m == WM_TIMER) {
        PostMessageW(h, WM_USER, w, 0);
        g_calls.emplace_back(h, w);
        return 0;
      }
      if (m == WM_USER) {
        g_calls.emplace_back(h, 1000 + w);
        return 0;
      }
      return DefWindowProcW(h, m, w, l);
    }
  };
  WNDCLASSW wc;
  wc.lpfnWndProc = Poster::Proc;
  wc.lpszClassName = u"TimerPoster";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(0, u"TimerPoster", u"", WS_POPUP, 0, 0, 1, 1, 0, 0, nullptr, nullptr);
  g_calls.clear();
  SetTimer(w, 1, 10, nullptr);
  SetTimer(w, 2, 15, nullptr);
  AdvanceClock(15);
  std::vector<std::pair<HWND, UINT_PTR>> expected = {{w, 1}, {w, 1001}, {w, 2}, {w, 1002}};
  EXPECT_EQ(g_calls, expected);
}

}  // namespace
