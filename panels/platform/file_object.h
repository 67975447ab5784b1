// The kernel object behind a file handle. Internal to the platform.
#pragma once

#include "platform/handles.h"

#include <string>

class CFileObject : public CKernelObject {
 public:
  ~CFileObject() override;
  int fd = -1;
  bool canRead = false;
  bool canWrite = false;
  std::string path;
};
