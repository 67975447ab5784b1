// basekit: the process-wide log and the timer that logs how long a scope took.
#pragma once

#include "platform/windef.h"

#include <string>

// One log file per process. Each entry is one line of UTF-8:
//   "2026-12-08 17:20:31.042 [100] CQWFriendTreeCtrl::OnNotify()"
// (local time with milliseconds, the level in brackets, the text; line
// breaks inside the text are written as they are, a missing final line
// break is added). Entries logged while no file is open are dropped.
class CGlobalLog {
 public:
  // Opens (appends to) the log file at `path`, creating its folder when it
  // is missing; a log already open is closed first. Returns FALSE when the
  // file cannot be opened (then nothing is logged).
  static BOOL SetLogNameT(LPCWSTR path);
  // Appends one entry when `level` is at least the threshold (0 by default,
  // so everything is written).
  static void LogT(LPCWSTR text, int level);
  static void LogT(const std::u16string& text, int level) { LogT(text.c_str(), level); }
  static void CloseGlobalLogT();

  static BOOL IsOpen();
  static std::u16string GetLogName();  // the path given to SetLogNameT, empty when closed
  static void SetLogLevel(int threshold);
  static int GetLogLevel();
};

// Logs "<text> took <n> ms" at its level when it goes out of scope; the
// milliseconds come from the platform's tick count.
class CLogTimer {
 public:
  CLogTimer(LPCWSTR text, int level);
  ~CLogTimer();
  CLogTimer(const CLogTimer&) = delete;
  CLogTimer& operator=(const CLogTimer&) = delete;

 private:
  std::u16string m_text;
  int m_level;
  DWORD m_start;
};
