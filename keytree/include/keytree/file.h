// Files and file exceptions of the class framework, on POSIX descriptors.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "keytree_api.h"

// Raised by file operations that fail after the caller asked for an
// exception (SaveEx, LoadEx, SaveInIndentedFormat) and by reads and writes
// that fail on an open file.
class KEYTREE_API CFileException : public std::exception {
 public:
  enum {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  explicit CFileException(int cause = none, long osError = -1, const char* fileName = nullptr);

  // The cause that an operating-system error number stands for.
  static int OsErrorToCause(long osError);
  [[noreturn]] static void ThrowOsError(long osError, const char* fileName = nullptr);

  const char* what() const noexcept override { return m_what.c_str(); }

  int m_cause;
  long m_lOsError;            // errno of the failed call, -1 when none
  std::string m_strFileName;  // the file the operation was on

 private:
  std::string m_what;
};

// A binary file. A file opened with modeCreate is written beside its target
// under a temporary name and only takes the target's name when Close()
// succeeds, so a save that fails midway leaves the previous file whole.
class KEYTREE_API CFile {
 public:
  enum OpenFlags : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    modeCreate = 0x1000,
  };

  CFile() = default;
  ~CFile();  // an unclosed created file is abandoned, the target untouched
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // False on failure, with the cause filled into error when given.
  bool Open(const char* fileName, unsigned flags, CFileException* error = nullptr);

  // Reads up to count bytes; fewer only at the end of the file.
  unsigned Read(void* buffer, unsigned count);
  void Write(const void* buffer, unsigned count);
  uint64_t GetLength() const;
  uint64_t GetPosition() const;

  // Completes the file (a created file replaces its target); throws
  // CFileException when that fails, the target then left as it was.
  void Close();
  // Closes without raising; a created file is discarded.
  void Abort();

  bool IsOpen() const { return m_fd >= 0; }
  const std::string& GetFilePath() const { return m_path; }

 private:
  int m_fd = -1;
  std::string m_path;    // the name the caller opened
  std::string m_target;  // where a created file goes on Close
  std::string m_temp;    // the temporary it is written to meanwhile
};
