#include "platform/barrier.h"

#include <cstdio>

#include "platform/text.h"

namespace platform {
namespace {

// A plain pointer, constant-initialised: reporting works during static
// initialisation and destruction of any library.
constinit EscapeReporter g_reporter = ReportEscapeToStandardError;

}  // namespace

void ReportEscapeToStandardError(const char16_t* where, const char* what) {
  std::fprintf(stderr, "exception caught in %s: %s\n", ToUtf8(where ? where : u"?").c_str(), what);
}

EscapeReporter SetEscapeReporter(EscapeReporter reporter) noexcept {
  EscapeReporter previous = g_reporter;
  g_reporter = reporter ? reporter : ReportEscapeToStandardError;
  return previous;
}

void ReportEscapedException(const char16_t* where) noexcept {
  const EscapeReporter report = g_reporter;
  try {
    try {
      throw;
    } catch (const std::exception& e) {
      report(where, e.what());
    } catch (...) {
      report(where, "unknown exception");
    }
  } catch (...) {
    // A reporter that throws has nowhere left to report to.
  }
}

}  // namespace platform
