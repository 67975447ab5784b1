// Kernel object handles (files, file mappings): a process-wide table from
// handle values to reference-counted objects. Internal to the platform.
#pragma once

#include "platform/windef.h"

#include <memory>

class CKernelObject {
 public:
  virtual ~CKernelObject() = default;
};

HANDLE AllocHandle(std::shared_ptr<CKernelObject> object);
std::shared_ptr<CKernelObject> LookupHandle(HANDLE handle);
// Drops the handle; the object dies with its last handle or holder.
bool ReleaseHandle(HANDLE handle);

template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}

// The last error matching an errno value from a file-system call.
DWORD ErrorFromErrno(int err);
