#include "platform/timer.h"

#include "platform/barrier.h"
#include "platform/message.h"
#include "platform/ui_internal.h"

#include <algorithm>
#include <vector>

namespace platform::ui {
namespace {

struct Timer {
  HWND hwnd = 0;
  UINT_PTR id = 0;
  UINT elapse = 0;
  std::uint64_t due = 0;
  std::uint64_t seq = 0;  // order of setting, breaks ties of equal due times
  TIMERPROC proc = nullptr;
  ClockCallback internal = nullptr;  // one-shot service events (hover)
};

struct ClockState {
  std::vector<Timer> timers;
  std::uint64_t now = 0;
  std::uint64_t seq = 0;
  UINT_PTR nextThreadTimerId = 1;
  bool advancing = false;
  std::uint64_t target = 0;
};

ClockState& Clock() {
  static ClockState state;
  return state;
}

constexpr UINT kMinimumElapse = 10;
constexpr UINT kMaximumElapse = 0x7FFFFFFF;

}  // namespace

std::uint64_t Now() { return Clock().now; }

void ScheduleClockEvent(HWND hwnd, std::uint64_t due, ClockCallback cb) {
  Timer t;
  t.hwnd = hwnd;
  t.due = due;
  t.seq = ++Clock().seq;
  t.internal = cb;
  Clock().timers.push_back(t);
}

void CancelClockEvents(HWND hwnd) {
  auto& v = Clock().timers;
  v.erase(std::remove_if(v.begin(), v.end(),
                         [&](const Timer& t) { return t.internal && t.hwnd == hwnd; }),
          v.end());
}

void ForgetTimersOf(HWND hwnd) {
  auto& v = Clock().timers;
  v.erase(std::remove_if(v.begin(), v.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
          v.end());
}

void ResetTimers() { Clock().timers.clear(); }

}  // namespace platform::ui

using namespace platform::ui;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  auto& c = Clock();
  if (hwnd && !IsWindow(hwnd)) return 0;
  if (!hwnd) {
    bool exists = std::any_of(c.timers.begin(), c.timers.end(),
                              [&](const Timer& t) { return !t.internal && !t.hwnd && t.id == id; });
    if (!exists || id == 0) id = c.nextThreadTimerId++;
  }
  KillTimer(hwnd, id);
  Timer t;
  t.hwnd = hwnd;
  t.id = id;
  t.elapse = std::clamp(elapseMs, kMinimumElapse, kMaximumElapse);
  t.due = c.now + t.elapse;
  t.seq = ++c.seq;
  t.proc = proc;
  c.timers.push_back(t);
  return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto& v = Clock().timers;
  auto it = std::find_if(v.begin(), v.end(), [&](const Timer& t) {
    return !t.internal && t.hwnd == hwnd && t.id == id;
  });
  if (it == v.end()) return FALSE;
  v.erase(it);
  return TRUE;
}

DWORD GetTickCount() { return static_cast<DWORD>(Clock().now); }
std::uint64_t GetTickCount64() { return Clock().now; }

std::size_t ActiveTimerCount() {
  return static_cast<std::size_t>(std::count_if(Clock().timers.begin(), Clock().timers.end(),
                                                [](const Timer& t) { return !t.internal; }));
}

std::size_t AdvanceClock(DWORD ms) {
  auto& c = Clock();
  if (c.advancing) {
    c.target += ms;
    return 0;
  }
  c.advancing = true;
  c.target = c.now + ms;
  std::size_t fired = 0;
  for (;;) {
    auto next = c.timers.end();
    for (auto it = c.timers.begin(); it != c.timers.end(); ++it) {
      if (it->due > c.target) continue;
      if (next == c.timers.end() || it->due < next->due ||
          (it->due == next->due && it->seq < next->seq))
        next = it;
    }
    if (next == c.timers.end()) break;
    c.now = next->due;
    Timer t = *next;
    if (t.internal) {
      c.timers.erase(next);
      platform::GuardCall(u"clock event", [&] { t.internal(t.hwnd); });
    } else {
      next->due += t.elapse;
      if (t.proc)
        platform::GuardCall(u"timer procedure",
                            [&] { t.proc(t.hwnd, WM_TIMER, t.id, GetTickCount()); });
      else Deliver(t.hwnd, WM_TIMER, t.id, 0);
    }
    ++fired;
    PumpMessages();
  }
  c.now = c.target;
  c.advancing = false;
  PumpMessages();
  return fired;
}
