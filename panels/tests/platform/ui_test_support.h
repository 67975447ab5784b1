// Shared helpers of the user-interface tests: a window class that records
// every message it gets, and a fixture that starts each test from a fresh
// user interface.
#pragma once

#include "platform/winuser.h"

#include <gtest/gtest.h>

#include <vector>

namespace uitest {

struct Received {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

std::vector<Received>& Log();
// Number of messages msg received by hwnd (any window for 0).
int Count(HWND hwnd, UINT msg);
// The messages of one window, in order, leaving out the listed noise.
std::vector<UINT> MessagesOf(HWND hwnd, std::vector<UINT> ignore = {WM_SETCURSOR, WM_MOUSEMOVE,
                                                                    WM_PAINT, WM_ERASEBKGND});

constexpr const char16_t* kRecorder = u"UiTestRecorder";

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A visible top-level pop-up window at the given screen rectangle.
  HWND Top(RECT rc, DWORD style = WS_POPUP | WS_VISIBLE);
  HWND Child(HWND parent, RECT rc, int id = 0, DWORD style = WS_CHILD | WS_VISIBLE);
};

}  // namespace uitest
