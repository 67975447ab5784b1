#include "ui_test_support.h"

#include <vector>

using namespace uitest;

namespace {

class TimerTest : public UiTest {};

std::vector<std::pair<UINT_PTR, DWORD>> g_fired;
UINT_PTR g_killOnFire = 0;
HWND g_killWindow = 0;

LRESULT TimerProcWindow(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    g_fired.emplace_back(wParam, GetTickCount());
    if (g_killOnFire && wParam != g_killOnFire) KillTimer(g_killWindow, g_killOnFire);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND TimerWindow() {
  WNDCLASSW wc;
  wc.lpfnWndProc = TimerProcWindow;
  wc.lpszClassName = u"TimerTestWindow";
  RegisterClassW(&wc);
  g_fired.clear();
  g_killOnFire = 0;
  return CreateWindowExW(0, u"TimerTestWindow", u"", WS_POPUP, 0, 0, 10, 10, 0, 0, nullptr,
                         nullptr);
}

TEST_F(TimerTest, FireInClockOrderAndPeriodically) {
  HWND w = TimerWindow();
  DWORD start = GetTickCount();
  SetTimer(w, 1, 30, nullptr);
  SetTimer(w, 2, 20, nullptr);
  SetTimer(w, 3, 20, nullptr);  // same time as 2: set later, fires later
  EXPECT_EQ(AdvanceClock(19), 0u);
  EXPECT_TRUE(g_fired.empty());
  AdvanceClock(41);  // to 60
  std::vector<std::pair<UINT_PTR, DWORD>> expected = {
      {2, start + 20}, {3, start + 20}, {1, start + 30}, {2, start + 40},
      {3, start + 40}, {1, start + 60}, {2, start + 60}, {3, start + 60}};
  EXPECT_EQ(g_fired, expected);
  EXPECT_EQ(GetTickCount(), start + 60);
}

TEST_F(TimerTest, KilledByAnotherHandlerNeverFires) {
  HWND w = TimerWindow();
  g_killWindow = w;
  g_killOnFire = 7;
  SetTimer(w, 6, 10, nullptr);
  SetTimer(w, 7, 10, nullptr);  // due together with 6, which kills it first
  AdvanceClock(100);
  for (auto& f : g_fired) EXPECT_NE(f.first, 7u);
  EXPECT_EQ(g_fired.size(), 10u);
  EXPECT_FALSE(KillTimer(w, 7));
}

TEST_F(TimerTest, ResettingReplacesAndDestroyingKills) {
  HWND w = TimerWindow();
  SetTimer(w, 101, 20, nullptr);
  AdvanceClock(15);
  SetTimer(w, 101, 20, nullptr);  // restarts: next firing 20 ms from now
  AdvanceClock(10);
  EXPECT_TRUE(g_fired.empty());
  AdvanceClock(10);
  EXPECT_EQ(g_fired.size(), 1u);
  EXPECT_EQ(ActiveTimerCount(), 1u);
  DestroyWindow(w);
  EXPECT_EQ(ActiveTimerCount(), 0u);
  AdvanceClock(100);
  EXPECT_EQ(g_fired.size(), 1u);
}

}  // namespace
