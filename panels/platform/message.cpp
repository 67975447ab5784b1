#include "platform/message.h"

#include "platform/barrier.h"
#include "platform/timer.h"
#include "platform/ui_internal.h"

#include <deque>
#include <vector>

namespace platform::ui {
namespace {

struct QueueState {
  std::deque<MSG> queue;
  std::vector<MSG> delivering;  // innermost last
  bool quit = false;
  int quitCode = 0;
};

QueueState& Queue() {
  static QueueState state;
  return state;
}

}  // namespace

std::uint32_t NewHandle() {
  static std::uint32_t next = 0x1000;
  return next++;
}

LRESULT Deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = FindWindowData(hwnd);
  if (!w || !w->proc) return 0;
  WNDPROC proc = w->proc;
  MSG m;
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = GetTickCount();
  auto& stack = Queue().delivering;
  stack.push_back(m);
  // A window procedure that throws fails its message: creation is refused,
  // anything else answers 0, and the loop goes on.
  const LRESULT failure = msg == WM_CREATE ? -1 : 0;
  LRESULT r = platform::GuardCall(u"window procedure", failure,
                                  [&] { return proc(hwnd, msg, wParam, lParam); });
  stack.pop_back();
  return r;
}

void ForgetQueuedMessagesOf(HWND hwnd) {
  auto& q = Queue().queue;
  for (auto it = q.begin(); it != q.end();) it = it->hwnd == hwnd ? q.erase(it) : std::next(it);
}

void ResetQueue() {
  Queue().queue.clear();
  Queue().quit = false;
  Queue().quitCode = 0;
}

}  // namespace platform::ui

using namespace platform::ui;

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return Deliver(hwnd, msg, wParam, lParam);
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd && !FindWindowData(hwnd)) return FALSE;
  MSG m;
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = GetTickCount();
  Queue().queue.push_back(m);
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  Queue().quit = true;
  Queue().quitCode = exitCode;
}

bool QuitPosted(int* exitCode) {
  if (exitCode) *exitCode = Queue().quitCode;
  return Queue().quit;
}

std::size_t PendingMessageCount() { return Queue().queue.size(); }

std::size_t PumpMessages(std::size_t limit) {
  std::size_t delivered = 0;
  while (delivered < limit) {
    auto& q = Queue().queue;
    if (!q.empty()) {
      MSG m = q.front();
      q.pop_front();
      if (m.hwnd) {
        DispatchMessageW(&m);
        ++delivered;
      }
      continue;
    }
    std::size_t painted = PaintPending(limit - delivered);
    if (painted == 0) break;
    delivered += painted;
  }
  return delivered;
}

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  auto& q = Queue().queue;
  for (auto it = q.begin(); it != q.end(); ++it) {
    if (hwnd && it->hwnd != hwnd) continue;
    if ((filterMin || filterMax) && (it->message < filterMin || it->message > filterMax)) continue;
    if (msg) *msg = *it;
    if (removeFlags & PM_REMOVE) q.erase(it);
    return TRUE;
  }
  return FALSE;
}

LRESULT DispatchMessageW(const MSG* msg) {
  if (!msg || !msg->hwnd) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    platform::GuardCall(u"timer procedure",
                        [&] { proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount()); });
    return 0;
  }
  return Deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

const MSG& CurrentMessage() {
  static const MSG none{};
  auto& stack = Queue().delivering;
  return stack.empty() ? none : stack.back();
}
