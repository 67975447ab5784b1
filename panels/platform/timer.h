// Window timers on a virtual clock.
//
// Time does not pass by itself: the host or a test calls AdvanceClock(ms),
// which fires every timer that falls due within that span in clock order
// (equal times in the order the timers were set), a periodic timer once per
// period, through WM_TIMER to its window (or its TIMERPROC), pumping the
// posted messages after each firing. A timer killed or replaced before its
// turn - also by another timer's handler during the same advance - does not
// fire. GetTickCount reads the virtual clock.
#pragma once

#include "platform/windef.h"

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

// Returns the timer id (for hwnd 0 a new one), 0 for an unknown window.
// Setting an existing (window, id) pair again replaces it and restarts its
// period. An elapse below 10 ms is raised to 10 ms, as on the original platform.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

DWORD GetTickCount();
std::uint64_t GetTickCount64();

// Moves the clock forward by ms and fires what falls due. A nested call (from
// a timer handler) only moves the clock target further. Returns the number
// of timer and hover events delivered.
std::size_t AdvanceClock(DWORD ms);
// Number of live timers (for tests and diagnostics).
std::size_t ActiveTimerCount();
