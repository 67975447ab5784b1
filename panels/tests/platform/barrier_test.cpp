// What a window procedure or a timer procedure throws stops at the
// platform's dispatch: the caller gets the failure result, the reporter
// hears of it, and messages, timers and the clock go on.
#include "platform/barrier.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/message.h"
#include "platform/timer.h"
#include "ui_test_support.h"

using namespace uitest;

namespace {

struct Escape {
  std::u16string where;
  std::string what;
};
std::vector<Escape> g_escapes;

void Record(const char16_t* where, const char* what) { g_escapes.push_back({where, what}); }

UINT g_throwOn = 0;        // the message the procedure throws on
std::vector<UINT> g_seen;  // every message it got, thrown on or not

LRESULT ThrowingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER || msg == WM_TIMER || msg == g_throwOn) g_seen.push_back(msg);
  if (msg == g_throwOn) throw std::runtime_error("proc failed");
  if (msg == WM_USER + 1) {
    // Nested: the inner message throws, this one still finishes.
    LRESULT inner = SendMessageW(hwnd, WM_USER + 2, 0, 0);
    return inner + 7;
  }
  if (msg == WM_USER + 3) throw 42;  // not a standard exception
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class BarrierTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    previous_ = platform::SetEscapeReporter(Record);
    g_escapes.clear();
    g_seen.clear();
    g_throwOn = 0;
    WNDCLASSW wc;
    wc.lpfnWndProc = ThrowingProc;
    wc.lpszClassName = u"BarrierTestWindow";
    RegisterClassW(&wc);
  }
  void TearDown() override {
    platform::SetEscapeReporter(previous_);
    UiTest::TearDown();
  }
  HWND Make() {
    return CreateWindowExW(0, u"BarrierTestWindow", u"", WS_POPUP, 0, 0, 10, 10, 0, 0, nullptr,
                           nullptr);
  }
  platform::EscapeReporter previous_ = nullptr;
};

TEST_F(BarrierTest, SentMessageThatThrowsAnswersZeroAndIsReported) {
  HWND w = Make();
  ASSERT_TRUE(IsWindow(w));
  g_throwOn = WM_USER;
  EXPECT_EQ(SendMessageW(w, WM_USER, 0, 0), 0);
  ASSERT_EQ(g_escapes.size(), 1u);
  EXPECT_EQ(g_escapes[0].where, u"window procedure");
  EXPECT_EQ(g_escapes[0].what, "proc failed");
  // The window is still there and answers the next message.
  g_throwOn = 0;
  EXPECT_TRUE(IsWindow(w));
  EXPECT_EQ(SendMessageW(w, WM_USER + 4, 0, 0), 0);
  // Something that is not a standard exception is caught as well.
  EXPECT_EQ(SendMessageW(w, WM_USER + 3, 0, 0), 0);
  ASSERT_EQ(g_escapes.size(), 2u);
  EXPECT_EQ(g_escapes[1].what, "unknown exception");
}

TEST_F(BarrierTest, InnerThrowLeavesTheOuterMessageToFinish) {
  HWND w = Make();
  g_throwOn = WM_USER + 2;
  EXPECT_EQ(SendMessageW(w, WM_USER + 1, 0, 0), 7);
  EXPECT_EQ(g_escapes.size(), 1u);
  // The message being handled is the outer one again.
  EXPECT_EQ(CurrentMessage().message, 0u);
}

TEST_F(BarrierTest, ThrowOnCreateRefusesTheWindow) {
  g_throwOn = WM_CREATE;
  EXPECT_EQ(Make(), 0u);
  ASSERT_EQ(g_escapes.size(), 1u);
  g_throwOn = WM_NCCREATE;
  EXPECT_EQ(Make(), 0u);
  g_throwOn = 0;
  EXPECT_NE(Make(), 0u);
}

TEST_F(BarrierTest, PostedMessagesAfterAThrowAreStillDelivered) {
  HWND w = Make();
  g_throwOn = WM_USER;
  PostMessageW(w, WM_USER, 0, 0);
  PostMessageW(w, WM_USER, 0, 0);
  EXPECT_EQ(PumpMessages(), 2u);
  EXPECT_EQ(g_seen, (std::vector<UINT>{WM_USER, WM_USER}));
  EXPECT_EQ(g_escapes.size(), 2u);
}

int g_procFired = 0;
void ThrowingTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  ++g_procFired;
  throw std::logic_error("timer failed");
}

TEST_F(BarrierTest, TimersThatThrowKeepFiringAndTheClockKeepsGoing) {
  HWND w = Make();
  g_procFired = 0;
  g_throwOn = WM_TIMER;
  SetTimer(w, 1, 10, nullptr);            // delivered to the throwing procedure
  SetTimer(w, 2, 10, ThrowingTimerProc);  // its own procedure throws
  EXPECT_EQ(AdvanceClock(25), 4u);
  EXPECT_EQ(g_procFired, 2);
  EXPECT_EQ(g_seen, (std::vector<UINT>{WM_TIMER, WM_TIMER}));
  ASSERT_EQ(g_escapes.size(), 4u);
  EXPECT_EQ(g_escapes[1].where, u"timer procedure");
  EXPECT_EQ(g_escapes[1].what, "timer failed");
  // The clock is not stuck half-way through an advance.
  EXPECT_EQ(AdvanceClock(10), 2u);
  // A WM_TIMER carrying a procedure, dispatched from the queue.
  MSG m{};
  m.hwnd = w;
  m.message = WM_TIMER;
  m.wParam = 9;
  m.lParam = reinterpret_cast<LPARAM>(&ThrowingTimerProc);
  EXPECT_EQ(DispatchMessageW(&m), 0);
  EXPECT_EQ(g_escapes.back().where, u"timer procedure");
}

TEST(EscapeReporter, NullRestoresTheDefaultAndAThrowingReporterIsContained) {
  platform::EscapeReporter before = platform::SetEscapeReporter(nullptr);
  EXPECT_EQ(platform::SetEscapeReporter(before), &platform::ReportEscapeToStandardError);
  platform::SetEscapeReporter([](const char16_t*, const char*) { throw 1; });
  EXPECT_EQ(platform::GuardCall(u"test", 5, []() -> int { throw 2; }), 5);
  platform::SetEscapeReporter(before);
}

}  // namespace
