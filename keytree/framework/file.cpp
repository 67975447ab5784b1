#include "keytree/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

CFileException::CFileException(int cause, long osError, const char* fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName ? fileName : "") {
  m_what = "file exception " + std::to_string(cause);
  if (osError > 0) m_what += std::string(" (") + std::strerror(static_cast<int>(osError)) + ")";
  if (!m_strFileName.empty()) m_what += ": " + m_strFileName;
}

int CFileException::OsErrorToCause(long osError) {
  switch (osError) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return accessDenied;
    case EBUSY: return sharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return diskFull;
    case ESPIPE: return badSeek;
    case EIO: return hardIO;
    default: return genericException;
  }
}

void CFileException::ThrowOsError(long osError, const char* fileName) {
  throw CFileException(OsErrorToCause(osError), osError, fileName);
}

namespace {

void Fail(CFileException* error, int osError, const std::string& name) {
  if (error)
    *error = CFileException(CFileException::OsErrorToCause(osError), osError, name.c_str());
}

// A created file is written where the data really lives: through a symbolic
// link to its target, so that replacing it keeps the link.
std::string ResolveTarget(const std::string& name) {
  struct stat st;
  if (lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char real[PATH_MAX];
    if (realpath(name.c_str(), real)) return real;
  }
  return name;
}

// Creates a new file beside target named ".NAME.tmp-XXXXXX" (six random
// letters and digits), so that a temporary left by a process killed while
// writing is recognisable. New files get mode 0666 less the umask, applied by
// the system as for any created file; the umask itself is never changed.
int CreateTemporary(const std::string& target, mode_t mode, std::string& temp) {
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  size_t slash = target.rfind('/');
  std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char random[6];
    if (getentropy(random, sizeof random) != 0) return -1;
    temp = dir + "." + base + ".tmp-";
    for (unsigned char r : random) temp += kChars[r % (sizeof kChars - 1)];
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Makes the rename that just happened in the directory of path durable.
void SyncDirectory(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  ::close(fd);
}

}  // namespace

CFile::~CFile() { Abort(); }

bool CFile::Open(const char* fileName, unsigned flags, CFileException* error) {
  Abort();
  std::string name = fileName ? fileName : "";
  if (name.empty()) {
    Fail(error, ENOENT, name);
    return false;
  }
  if (!(flags & modeCreate)) {
    int access = (flags & modeReadWrite) ? O_RDWR : (flags & modeWrite) ? O_WRONLY : O_RDONLY;
    int fd = ::open(name.c_str(), access | O_CLOEXEC);
    if (fd < 0) {
      Fail(error, errno, name);
      return false;
    }
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd);
      Fail(error, EISDIR, name);
      return false;
    }
    m_fd = fd;
    m_path = name;
    return true;
  }

  // The target must be one we may replace: not a directory, and writable
  // when it exists, as creating it in place would require.
  std::string target = ResolveTarget(name);
  struct stat st;
  bool exists = stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    Fail(error, EISDIR, name);
    return false;
  }
  if (exists && ::access(target.c_str(), W_OK) != 0) {
    Fail(error, errno, name);
    return false;
  }
  std::string temp;
  int fd = CreateTemporary(target, exists ? 0600 : 0666, temp);
  if (fd < 0) {
    Fail(error, errno == ENOENT ? ENOTDIR : errno, name);
    return false;
  }
  if (exists) {
    // The replacement keeps the old file's owner where the process may
    // give it (first, as a change of owner may clear the set-id bits),
    // and its permissions.
    if (fchown(fd, st.st_uid, st.st_gid) != 0 &&
        fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
      // Not permitted: the file belongs to whoever writes it.
    }
    fchmod(fd, st.st_mode & 07777);
  }
  m_fd = fd;
  m_path = name;
  m_target = target;
  m_temp = temp;
  return true;
}

unsigned CFile::Read(void* buffer, unsigned count) {
  unsigned done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < count) {
    ssize_t n = ::read(m_fd, out + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      CFileException::ThrowOsError(errno, m_path.c_str());
    }
    if (n == 0) break;
    done += static_cast<unsigned>(n);
  }
  return done;
}

void CFile::Write(const void* buffer, unsigned count) {
  unsigned done = 0;
  auto* in = static_cast<const char*>(buffer);
  while (done < count) {
    ssize_t n = ::write(m_fd, in + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      CFileException::ThrowOsError(errno, m_path.c_str());
    }
    done += static_cast<unsigned>(n);
  }
}

uint64_t CFile::GetLength() const {
  struct stat st;
  if (fstat(m_fd, &st) != 0) CFileException::ThrowOsError(errno, m_path.c_str());
  return static_cast<uint64_t>(st.st_size);
}

uint64_t CFile::GetPosition() const {
  off_t pos = lseek(m_fd, 0, SEEK_CUR);
  if (pos < 0) CFileException::ThrowOsError(errno, m_path.c_str());
  return static_cast<uint64_t>(pos);
}

void CFile::Close() {
  if (m_fd < 0) return;
  int fd = m_fd;
  m_fd = -1;
  if (m_temp.empty()) {
    ::close(fd);
    return;
  }
  // The data reaches the disk before the name moves, so that a crash
  // leaves either the old file or the new one, never a torn one.
  int err = 0;
  if (fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && rename(m_temp.c_str(), m_target.c_str()) != 0) err = errno;
  if (!err) SyncDirectory(m_target);
  if (err) {
    unlink(m_temp.c_str());
    m_temp.clear();
    CFileException::ThrowOsError(err, m_path.c_str());
  }
  m_temp.clear();
}

void CFile::Abort() {
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
  }
  if (!m_temp.empty()) {
    unlink(m_temp.c_str());
    m_temp.clear();
  }
}
