// Modules through the system loader, and the host program's own path.
#include "platform/module.h"
#include "platform/file.h"
#include "platform/text.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace {

std::mutex g_mutex;
// Loaded handles and how many times each was loaded, so that a stale or
// foreign handle is refused instead of reaching the loader.
std::map<void*, int>& loaded() {
  static auto* m = new std::map<void*, int>;
  return *m;
}
std::u16string& exeOverride() {
  static auto* s = new std::u16string;
  return *s;
}
thread_local std::string t_loaderError;

bool isFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string moduleDirFs() { return ToFileSystemPath(GetModuleDirectoryW()); }

void* tryOpen(const std::string& path) {
  void* h = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char* e = ::dlerror();
    t_loaderError = e ? e : "cannot load " + path;
  }
  return h;
}

// Candidate files for a name, in search order.
std::vector<std::string> candidates(const std::string& name) {
  std::vector<std::string> out;
  if (name.find('/') != std::string::npos) {
    out.push_back(name);
    return out;
  }
  out.push_back(moduleDirFs() + name);
  out.push_back("./" + name);
  return out;
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR name) {
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::string fsName = ToFileSystemPath(name);
  t_loaderError.clear();
  void* h = nullptr;
  for (const auto& path : candidates(fsName)) {
    if (!isFile(path)) continue;
    h = tryOpen(path);
    if (h) break;
  }
  // A bare name the directories do not hold may still be a system library.
  if (!h && fsName.find('/') == std::string::npos) {
    std::string before = t_loaderError;
    h = tryOpen(fsName);
    if (!h && !before.empty()) t_loaderError = before;
  }
  if (!h) {
    if (t_loaderError.empty()) t_loaderError = "module not found: " + fsName;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  ++loaded()[h];
  return static_cast<HMODULE>(h);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!module || !loaded().count(module)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
  }
  // Lookups by ordinal (a "name" below 0x10000) have no meaning here.
  if (reinterpret_cast<std::uintptr_t>(procName) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  ::dlerror();
  void* sym = ::dlsym(module, procName);
  if (!sym) {
    const char* e = ::dlerror();
    t_loaderError = e ? e : std::string("no symbol ") + procName;
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(sym);
}

BOOL FreeLibrary(HMODULE module) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = loaded().find(module);
    if (!module || it == loaded().end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    if (--it->second == 0) loaded().erase(it);
  }
  ::dlclose(module);
  return TRUE;
}

std::string GetLoaderErrorText() { return t_loaderError; }

void SetModuleFileNameOverride(const std::u16string& path) {
  std::lock_guard<std::mutex> lock(g_mutex);
  exeOverride() = path;
}

namespace {

std::u16string modulePath(HMODULE module) {
  if (!module) {
    {
      std::lock_guard<std::mutex> lock(g_mutex);
      if (!exeOverride().empty()) return exeOverride();
    }
    std::vector<char> buf(4096);
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    return n > 0 ? FromUtf8(std::string_view(buf.data(), static_cast<size_t>(n)))
                 : std::u16string();
  }
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!loaded().count(module)) return {};
  }
  link_map* map = nullptr;
  if (::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return {};
  std::vector<char> real(4096);
  if (::realpath(map->l_name, real.data())) return FromUtf8(real.data());
  return FromUtf8(map->l_name);
}

}  // namespace

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
  std::u16string path = modulePath(module);
  if (path.empty()) {
    SetLastError(module ? ERROR_MOD_NOT_FOUND : ERROR_FILE_NOT_FOUND);
    return 0;
  }
  if (!buffer || size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() >= size) {
    lstrcpynW(buffer, path.c_str(), static_cast<int>(size));
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  lstrcpynW(buffer, path.c_str(), static_cast<int>(size));
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}

std::u16string GetModuleDirectoryW() {
  std::u16string path = modulePath(nullptr);
  size_t sep = path.find_last_of(u"/\\");
  return sep == std::u16string::npos ? std::u16string(u"./") : path.substr(0, sep + 1);
}
