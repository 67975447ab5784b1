// Named file mappings over mmap.
//
// Names live in this process only: the panels use a mapping to read a file
// they opened themselves, never to share memory with another process.
#include "platform/file.h"
#include "platform/file_object.h"
#include "platform/handles.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>

namespace {

class CMappingObject;

std::mutex g_mutex;
std::map<std::u16string, std::weak_ptr<CMappingObject>>& names() {
  static auto* n = new std::map<std::u16string, std::weak_ptr<CMappingObject>>;
  return *n;
}
std::map<const void*, size_t>& views() {
  static auto* v = new std::map<const void*, size_t>;
  return *v;
}

class CMappingObject : public CKernelObject {
 public:
  ~CMappingObject() override {
    if (fd >= 0) ::close(fd);
    if (!name.empty()) {
      std::lock_guard<std::mutex> lock(g_mutex);
      auto it = names().find(name);
      if (it != names().end() && it->second.expired()) names().erase(it);
    }
  }
  int fd = -1;  // our own descriptor: the file handle may close first
  std::uint64_t size = 0;
  bool writable = false;
  std::u16string name;
};

constexpr std::uint64_t kGranularity = 65536;

}  // namespace

HANDLE CreateFileMappingW(HANDLE file, void* /*security*/, DWORD protect, DWORD maxSizeHigh,
                          DWORD maxSizeLow, LPCWSTR name) {
  std::u16string key = name ? std::u16string(name) : std::u16string();
  if (!key.empty()) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = names().find(key);
    if (it != names().end()) {
      if (auto existing = it->second.lock()) {
        HANDLE h = AllocHandle(existing);
        SetLastError(ERROR_ALREADY_EXISTS);
        return h;
      }
    }
  }
  auto f = LookupHandleAs<CFileObject>(file);
  if (!f) {
    // Memory backed by the paging file is not offered here.
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  bool writable = (protect & 0xFF) == PAGE_READWRITE;
  if ((protect & 0xFF) != PAGE_READONLY && !writable) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!f->canRead || (writable && !f->canWrite)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  struct stat st;
  if (::fstat(f->fd, &st) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return nullptr;
  }
  std::uint64_t fileSize = static_cast<std::uint64_t>(st.st_size);
  std::uint64_t size = (static_cast<std::uint64_t>(maxSizeHigh) << 32) | maxSizeLow;
  if (size == 0) {
    if (fileSize == 0) {
      SetLastError(ERROR_FILE_INVALID);  // an empty file cannot be mapped whole
      return nullptr;
    }
    size = fileSize;
  } else if (size > fileSize) {
    // A larger mapping grows the file, which needs write access.
    if (!writable) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    if (::ftruncate(f->fd, static_cast<off_t>(size)) != 0) {
      SetLastError(ErrorFromErrno(errno));
      return nullptr;
    }
  }
  auto m = std::make_shared<CMappingObject>();
  m->fd = ::dup(f->fd);
  if (m->fd < 0) {
    SetLastError(ErrorFromErrno(errno));
    return nullptr;
  }
  m->size = size;
  m->writable = writable;
  m->name = key;
  if (!key.empty()) {
    std::lock_guard<std::mutex> lock(g_mutex);
    names()[key] = m;
  }
  HANDLE h = AllocHandle(m);
  SetLastError(ERROR_SUCCESS);
  return h;
}

HANDLE OpenFileMappingW(DWORD /*access*/, BOOL /*inheritHandle*/, LPCWSTR name) {
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::shared_ptr<CMappingObject> m;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = names().find(name);
    if (it != names().end()) m = it->second.lock();
  }
  if (!m) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  return AllocHandle(m);
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow,
                     SIZE_T bytes) {
  auto m = LookupHandleAs<CMappingObject>(mapping);
  if (!m) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  bool write = (access & FILE_MAP_WRITE) != 0;
  if (write && !m->writable) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  std::uint64_t offset = (static_cast<std::uint64_t>(offsetHigh) << 32) | offsetLow;
  if (offset % kGranularity) {
    SetLastError(ERROR_MAPPED_ALIGNMENT);
    return nullptr;
  }
  if (offset >= m->size || (bytes && bytes > m->size - offset)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  size_t len = bytes ? bytes : static_cast<size_t>(m->size - offset);
  void* p = ::mmap(nullptr, len, PROT_READ | (write ? PROT_WRITE : 0), MAP_SHARED, m->fd,
                   static_cast<off_t>(offset));
  if (p == MAP_FAILED) {
    SetLastError(ErrorFromErrno(errno));
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  views()[p] = len;
  return p;
}

BOOL UnmapViewOfFile(LPCVOID base) {
  size_t len = 0;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = views().find(base);
    if (it == views().end()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    len = it->second;
    views().erase(it);
  }
  ::munmap(const_cast<void*>(base), len);
  return TRUE;
}
