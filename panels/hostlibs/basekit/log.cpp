// The process-wide log file and the scope timer.
#include "host/basekit/log.h"

#include "platform/file.h"
#include "platform/text.h"
#include "platform/timer.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

namespace {

struct LogState {
  std::mutex mutex;  // the host is single-threaded; this only keeps stray threads safe
  std::FILE* file = nullptr;
  std::u16string name;
  int threshold = 0;
};

LogState& State() {
  static LogState state;
  return state;
}

// Creates every missing folder on the way to `path`'s file.
void MakeParentFolders(const std::string& fsPath) {
  for (std::size_t i = 1; i < fsPath.size(); ++i) {
    if (fsPath[i] != '/') continue;
    std::u16string dir = FromUtf8(fsPath.substr(0, i));
    if (GetFileAttributesW(dir.c_str()) == INVALID_FILE_ATTRIBUTES)
      CreateDirectoryW(dir.c_str(), nullptr);
  }
}

std::string Stamp() {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[80];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", tm.tm_year + 1900,
                tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(ms));
  return buf;
}

}  // namespace

BOOL CGlobalLog::SetLogNameT(LPCWSTR path) {
  LogState& s = State();
  std::lock_guard lock(s.mutex);
  if (s.file) {
    std::fclose(s.file);
    s.file = nullptr;
    s.name.clear();
  }
  if (!path || !*path) return FALSE;
  std::string fsPath = ToFileSystemPath(path);
  MakeParentFolders(fsPath);
  s.file = std::fopen(fsPath.c_str(), "ab");
  if (!s.file) return FALSE;
  s.name = path;
  return TRUE;
}

void CGlobalLog::LogT(LPCWSTR text, int level) {
  LogState& s = State();
  std::lock_guard lock(s.mutex);
  if (!s.file || level < s.threshold) return;
  std::string line = Stamp();
  line += " [" + std::to_string(level) + "] ";
  line += ToUtf8(text ? std::u16string_view(text) : std::u16string_view());
  if (line.empty() || line.back() != '\n') line += '\n';
  std::fwrite(line.data(), 1, line.size(), s.file);
  // Flushed at once so that a crash keeps the entries that led to it.
  std::fflush(s.file);
}

void CGlobalLog::CloseGlobalLogT() {
  LogState& s = State();
  std::lock_guard lock(s.mutex);
  if (s.file) std::fclose(s.file);
  s.file = nullptr;
  s.name.clear();
}

BOOL CGlobalLog::IsOpen() {
  LogState& s = State();
  std::lock_guard lock(s.mutex);
  return s.file != nullptr;
}

std::u16string CGlobalLog::GetLogName() {
  LogState& s = State();
  std::lock_guard lock(s.mutex);
  return s.name;
}

void CGlobalLog::SetLogLevel(int threshold) {
  LogState& s = State();
  std::lock_guard lock(s.mutex);
  s.threshold = threshold;
}

int CGlobalLog::GetLogLevel() {
  LogState& s = State();
  std::lock_guard lock(s.mutex);
  return s.threshold;
}

CLogTimer::CLogTimer(LPCWSTR text, int level)
    : m_text(text ? text : u""), m_level(level), m_start(GetTickCount()) {}

CLogTimer::~CLogTimer() {
  DWORD elapsed = GetTickCount() - m_start;
  CGlobalLog::LogT(m_text + u" took " + FromUtf8(std::to_string(elapsed)) + u" ms", m_level);
}
