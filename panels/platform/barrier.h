// The exception barrier: nothing a callback throws crosses into its caller.
//
// The host and the platform call into the panels (plug-in slots, window
// procedures, timer procedures, hooks) across a boundary that exceptions must
// not cross: on the original platform the caller was foreign code, and here a
// throw through the message loop or the clock would leave their state half
// updated. Each dispatch point runs the callee through GuardCall, which
// catches whatever escapes, reports it and answers the call's failure result.
#pragma once

#include <exception>
#include <utility>

namespace platform {

// Receives each escaped exception: where it was caught (the entry point's
// name) and its what() text ("unknown exception" for a non-standard one).
using EscapeReporter = void (*)(const char16_t* where, const char* what);

// The default: one line on standard error.
void ReportEscapeToStandardError(const char16_t* where, const char* what);

// Installs the reporter and returns the previous one (never null); null
// restores the default.
EscapeReporter SetEscapeReporter(EscapeReporter reporter) noexcept;

// Reports the exception being handled; call only inside a catch block.
void ReportEscapedException(const char16_t* where) noexcept;

// Runs fn(); when it throws, reports and answers `failure` instead.
template <class R, class F>
R GuardCall(const char16_t* where, R failure, F&& fn) noexcept {
  try {
    return std::forward<F>(fn)();
  } catch (...) {
    ReportEscapedException(where);
    return failure;
  }
}

// The same for a callback without a result.
template <class F>
void GuardCall(const char16_t* where, F&& fn) noexcept {
  try {
    std::forward<F>(fn)();
  } catch (...) {
    ReportEscapedException(where);
  }
}

}  // namespace platform
