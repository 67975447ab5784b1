// Files and directories over POSIX descriptors.
#include "platform/file.h"
#include "platform/file_object.h"
#include "platform/handles.h"
#include "platform/text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

CFileObject::~CFileObject() {
  if (fd >= 0) ::close(fd);
}

std::string ToFileSystemPath(std::u16string_view path) {
  std::string s = ToUtf8(path);
  for (char& c : s)
    if (c == '\\') c = '/';
  return s;
}

namespace {

bool fail(DWORD code) {
  SetLastError(code);
  return false;
}

bool failErrno() { return fail(ErrorFromErrno(errno)); }

// ENOENT means a missing file when its directory exists, else a missing path.
DWORD missingError(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return ERROR_FILE_NOT_FOUND;
  struct stat st;
  std::string dir = path.substr(0, slash);
  return (::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) ? ERROR_FILE_NOT_FOUND
                                                                : ERROR_PATH_NOT_FOUND;
}

std::shared_ptr<CFileObject> fileOf(HANDLE h) {
  auto f = LookupHandleAs<CFileObject>(h);
  if (!f) SetLastError(ERROR_INVALID_HANDLE);
  return f;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD /*shareMode*/, void* /*security*/,
                   DWORD disposition, DWORD /*flags*/, HANDLE /*templateFile*/) {
  if (!name || !*name) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::string path = ToFileSystemPath(name);
  bool read = access & (GENERIC_READ | GENERIC_ALL);
  bool write = access & (GENERIC_WRITE | GENERIC_ALL);
  int oflags = O_CLOEXEC | (read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY);
  switch (disposition) {
    case CREATE_NEW: oflags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: oflags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: oflags |= O_CREAT; break;
    case TRUNCATE_EXISTING:
      if (!write) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
      }
      oflags |= O_TRUNC;
      break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_HANDLE_VALUE;
  }
  struct stat st;
  bool existed = ::stat(path.c_str(), &st) == 0;
  if (existed && S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  int fd = ::open(path.c_str(), oflags, 0666);
  if (fd < 0) {
    SetLastError(errno == ENOENT ? missingError(path) : ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  auto obj = std::make_shared<CFileObject>();
  obj->fd = fd;
  obj->canRead = read;
  obj->canWrite = write;
  obj->path = path;
  HANDLE h = AllocHandle(obj);
  SetLastError(existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS)
                   ? ERROR_ALREADY_EXISTS
                   : ERROR_SUCCESS);
  return h;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, void* /*overlapped*/) {
  if (read) *read = 0;
  auto f = fileOf(file);
  if (!f) return FALSE;
  if (!f->canRead) return fail(ERROR_ACCESS_DENIED);
  if (!buffer && toRead) return fail(ERROR_INVALID_PARAMETER);
  DWORD done = 0;
  while (done < toRead) {
    ssize_t n = ::read(f->fd, static_cast<char*>(buffer) + done, toRead - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return failErrno();
    if (n == 0) break;
    done += static_cast<DWORD>(n);
    if (read) *read = done;
  }
  return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, void* /*overlapped*/) {
  if (written) *written = 0;
  auto f = fileOf(file);
  if (!f) return FALSE;
  if (!f->canWrite) return fail(ERROR_ACCESS_DENIED);
  if (!buffer && toWrite) return fail(ERROR_INVALID_PARAMETER);
  DWORD done = 0;
  while (done < toWrite) {
    ssize_t n = ::write(f->fd, static_cast<const char*>(buffer) + done, toWrite - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return failErrno();
    done += static_cast<DWORD>(n);
    if (written) *written = done;
  }
  return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
  auto f = fileOf(file);
  struct stat st;
  if (!f || ::fstat(f->fd, &st) != 0) {
    if (f) SetLastError(ErrorFromErrno(errno));
    return INVALID_FILE_SIZE;
  }
  auto size = static_cast<std::uint64_t>(st.st_size);
  if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);  // so that a size of 0xFFFFFFFF can be told from failure
  return static_cast<DWORD>(size);
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) {
  auto f = fileOf(file);
  if (!f) return INVALID_SET_FILE_POINTER;
  std::int64_t move =
      distanceHigh
          ? static_cast<std::int64_t>(
                (static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceHigh)) << 32) |
                static_cast<std::uint32_t>(distance))
          : distance;
  int whence = method == FILE_BEGIN     ? SEEK_SET
               : method == FILE_CURRENT ? SEEK_CUR
               : method == FILE_END     ? SEEK_END
                                        : -1;
  if (whence < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  off_t base = whence == SEEK_SET ? 0 : ::lseek(f->fd, 0, whence);
  if (base < 0 || static_cast<std::int64_t>(base) + move < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  off_t pos = ::lseek(f->fd, static_cast<off_t>(base + move), SEEK_SET);
  if (pos < 0) {
    SetLastError(ErrorFromErrno(errno));
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<std::uint64_t>(pos) >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(pos);
}

BOOL SetEndOfFile(HANDLE file) {
  auto f = fileOf(file);
  if (!f) return FALSE;
  if (!f->canWrite) return fail(ERROR_ACCESS_DENIED);
  off_t pos = ::lseek(f->fd, 0, SEEK_CUR);
  if (pos < 0 || ::ftruncate(f->fd, pos) != 0) return failErrno();
  return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) {
  auto f = fileOf(file);
  if (!f) return FALSE;
  if (::fsync(f->fd) != 0) return failErrno();
  return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
  if (!ReleaseHandle(handle)) return fail(ERROR_INVALID_HANDLE);
  return TRUE;
}

BOOL DeleteFileW(LPCWSTR name) {
  if (!name || !*name) return fail(ERROR_PATH_NOT_FOUND);
  std::string path = ToFileSystemPath(name);
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return fail(ERROR_ACCESS_DENIED);
  if (::unlink(path.c_str()) != 0)
    return fail(errno == ENOENT ? missingError(path) : ErrorFromErrno(errno));
  return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR name, void* /*security*/) {
  if (!name || !*name) return fail(ERROR_PATH_NOT_FOUND);
  std::string path = ToFileSystemPath(name);
  if (::mkdir(path.c_str(), 0777) != 0) {
    if (errno == EEXIST) return fail(ERROR_ALREADY_EXISTS);
    if (errno == ENOENT) return fail(ERROR_PATH_NOT_FOUND);
    return failErrno();
  }
  return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR name) {
  if (!name || !*name) return fail(ERROR_PATH_NOT_FOUND);
  std::string path = ToFileSystemPath(name);
  if (::rmdir(path.c_str()) != 0)
    return fail(errno == ENOENT ? missingError(path) : ErrorFromErrno(errno));
  return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR name) {
  struct stat st;
  if (!name || !*name || ::stat(ToFileSystemPath(name).c_str(), &st) != 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return (st.st_mode & S_IWUSR) ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

BOOL PathFileExistsW(LPCWSTR path) {
  struct stat st;
  if (!path || !*path) return FALSE;
  if (::stat(ToFileSystemPath(path).c_str(), &st) != 0) return fail(ERROR_FILE_NOT_FOUND);
  return TRUE;
}

DWORD GetFullPathNameW(LPCWSTR name, DWORD size, LPWSTR buffer, LPWSTR* filePart) {
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_NAME);
    return 0;
  }
  std::string path = ToFileSystemPath(name);
  if (path[0] != '/') {
    std::vector<char> cwd(PATH_MAX);
    if (!::getcwd(cwd.data(), cwd.size())) {
      SetLastError(ErrorFromErrno(errno));
      return 0;
    }
    path = std::string(cwd.data()) + "/" + path;
  }
  bool trailing = path.back() == '/';
  std::vector<std::string> parts;
  size_t i = 0;
  while (i < path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    std::string part = path.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string full;
  for (const auto& p : parts) full += "/" + p;
  if (full.empty() || trailing) full += "/";
  std::u16string w = FromUtf8(full);
  if (!buffer || size <= w.size()) return static_cast<DWORD>(w.size() + 1);
  lstrcpynW(buffer, w.c_str(), static_cast<int>(w.size() + 1));
  if (filePart) {
    size_t slash = w.find_last_of(u'/');
    *filePart = (slash + 1 < w.size()) ? buffer + slash + 1 : nullptr;
  }
  return static_cast<DWORD>(w.size());
}

bool ReadWholeFile(const std::string& fsPath, std::string& bytes) {
  bytes.clear();
  int fd = ::open(fsPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return failErrno();
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int err = errno;
      ::close(fd);
      return fail(ErrorFromErrno(err));
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

bool WriteFileAtomically(const std::string& fsPath, std::string_view bytes) {
  std::string tmp = fsPath + ".XXXXXX";
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) return failErrno();
  struct stat st;
  ::fchmod(fd, ::stat(fsPath.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
  size_t done = 0;
  int err = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      err = n < 0 ? errno : ENOSPC;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (!err && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(tmp.c_str(), fsPath.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(tmp.c_str());
    return fail(ErrorFromErrno(err));
  }
  return true;
}
