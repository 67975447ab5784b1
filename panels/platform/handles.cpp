#include "platform/handles.h"
#include "platform/winerror.h"

#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>

namespace {

std::mutex g_mutex;
std::map<std::uintptr_t, std::shared_ptr<CKernelObject>>& table() {
  static auto* t = new std::map<std::uintptr_t, std::shared_ptr<CKernelObject>>;
  return *t;
}
// Handle values are multiples of 4 from 0x100, never 0 or -1, as on the original.
std::uintptr_t g_next = 0x100;

}  // namespace

HANDLE AllocHandle(std::shared_ptr<CKernelObject> object) {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::uintptr_t h = g_next;
  g_next += 4;
  table().emplace(h, std::move(object));
  return reinterpret_cast<HANDLE>(h);
}

std::shared_ptr<CKernelObject> LookupHandle(HANDLE handle) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = table().find(reinterpret_cast<std::uintptr_t>(handle));
  return it == table().end() ? nullptr : it->second;
}

bool ReleaseHandle(HANDLE handle) {
  std::shared_ptr<CKernelObject> dying;  // destroyed outside the lock
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = table().find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == table().end()) return false;
  dying = std::move(it->second);
  table().erase(it);
  return true;
}

DWORD ErrorFromErrno(int err) {
  switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return ERROR_ACCESS_DENIED;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    default: return ERROR_ACCESS_DENIED;
  }
}
