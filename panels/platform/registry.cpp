// The current user's registry, kept in one text file.
//
// Readers need no lock: the file is only ever replaced whole by a rename, so
// they see the old or the new content. Writers serialise their
// read-change-write under an exclusive lock on a companion ".lock" file, so
// two processes cannot lose each other's changes.
#include "platform/registry.h"
#include "platform/file.h"
#include "platform/text.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

struct Value {
  std::u16string name;
  DWORD type = REG_NONE;
  std::string data;
};

struct Key {
  std::u16string name;
  std::vector<Value> values;                               // in creation order
  std::map<std::u16string, std::unique_ptr<Key>> subkeys;  // by upper-cased name

  Key* Sub(std::u16string_view n) {
    auto it = subkeys.find(ToUpperW(n));
    return it == subkeys.end() ? nullptr : it->second.get();
  }
  Value* Find(std::u16string_view n) {
    for (auto& v : values)
      if (lstrcmpiW(v.name.c_str(), std::u16string(n).c_str()) == 0) return &v;
    return nullptr;
  }
};

// The roots that the file holds.
struct Roots {
  Key currentUser{u"HKEY_CURRENT_USER", {}, {}};
  Key localMachine{u"HKEY_LOCAL_MACHINE", {}, {}};
  Key* Get(const std::u16string& name) {
    if (name == currentUser.name) return &currentUser;
    if (name == localMachine.name) return &localMachine;
    return nullptr;
  }
};

struct OpenKey {
  std::u16string root;
  std::vector<std::u16string> path;
  REGSAM access = KEY_ALL_ACCESS;
};

std::mutex g_mutex;  // the handle table and the store path
std::map<std::uintptr_t, OpenKey>& handles() {
  static auto* h = new std::map<std::uintptr_t, OpenKey>;
  return *h;
}
std::uintptr_t g_nextHandle = 0x1000;
std::string& storeOverride() {
  static auto* s = new std::string;
  return *s;
}

constexpr char kHeader[] = "REGISTRY 1";

// ---- file form ---------------------------------------------------------------
//
//   REGISTRY 1
//   [HKEY_CURRENT_USER\Software\Vendor]
//   "LastUser"=4:02000000
//
// Names are UTF-8 with control characters, '"', '%', '[' and ']' written as
// %XX; data is the value's bytes in hexadecimal after its type number.

std::string escape(std::u16string_view s) {
  std::string u = ToUtf8(s), out;
  for (unsigned char c : u) {
    if (c < 0x20 || c == '"' || c == '%' || c == '[' || c == ']') {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::u16string unescape(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() + 0 && hexDigit(s[i + 1]) >= 0 && hexDigit(s[i + 2]) >= 0) {
      out += static_cast<char>(hexDigit(s[i + 1]) * 16 + hexDigit(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return FromUtf8(out);
}

void writeKey(std::string& out, const Key& k, const std::string& path) {
  out += "[" + path + "]\n";
  for (const auto& v : k.values) {
    out += "\"" + escape(v.name) + "\"=" + std::to_string(v.type) + ":";
    static const char hex[] = "0123456789abcdef";
    for (unsigned char c : v.data) {
      out += hex[c >> 4];
      out += hex[c & 15];
    }
    out += "\n";
  }
  for (const auto& [upper, sub] : k.subkeys) writeKey(out, *sub, path + "\\" + escape(sub->name));
}

std::string serialise(const Roots& r) {
  std::string out = std::string(kHeader) + "\n";
  writeKey(out, r.currentUser, "HKEY_CURRENT_USER");
  writeKey(out, r.localMachine, "HKEY_LOCAL_MACHINE");
  return out;
}

std::vector<std::u16string> splitPath(std::u16string_view path) {
  std::vector<std::u16string> parts;
  size_t i = 0;
  while (i <= path.size()) {
    size_t j = path.find(u'\\', i);
    if (j == std::u16string_view::npos) j = path.size();
    if (j > i) parts.emplace_back(path.substr(i, j - i));
    i = j + 1;
  }
  return parts;
}

Key* createPath(Key* k, const std::vector<std::u16string>& parts, bool* created = nullptr) {
  for (const auto& p : parts) {
    Key* sub = k->Sub(p);
    if (!sub) {
      auto fresh = std::make_unique<Key>();
      fresh->name = p;
      sub = fresh.get();
      k->subkeys.emplace(ToUpperW(p), std::move(fresh));
      if (created) *created = true;
    }
    k = sub;
  }
  return k;
}

Key* findPath(Key* k, const std::vector<std::u16string>& parts) {
  for (const auto& p : parts) {
    if (!k) return nullptr;
    k = k->Sub(p);
  }
  return k;
}

void parse(const std::string& text, Roots& r) {
  Key* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + pos, end - pos);
    pos = end + 1;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      auto parts = splitPath(unescape(line.substr(1, line.size() - 2)));
      current = nullptr;
      if (parts.empty()) continue;
      Key* root = r.Get(parts[0]);
      if (!root) continue;
      parts.erase(parts.begin());
      current = createPath(root, parts);
    } else if (current && line.size() >= 2 && line.front() == '"') {
      size_t close = line.find('"', 1);
      if (close == std::string_view::npos || close + 1 >= line.size() || line[close + 1] != '=')
        continue;
      size_t colon = line.find(':', close);
      if (colon == std::string_view::npos) continue;
      Value v;
      v.name = unescape(line.substr(1, close - 1));
      v.type = static_cast<DWORD>(std::strtoul(
          std::string(line.substr(close + 2, colon - close - 2)).c_str(), nullptr, 10));
      std::string_view hex = line.substr(colon + 1);
      bool ok = hex.size() % 2 == 0;
      for (size_t i = 0; ok && i < hex.size(); i += 2) {
        int hi = hexDigit(hex[i]), lo = hexDigit(hex[i + 1]);
        ok = hi >= 0 && lo >= 0;
        if (ok) v.data += static_cast<char>(hi * 16 + lo);
      }
      if (!ok) continue;
      if (Value* old = current->Find(v.name)) *old = std::move(v);
      else current->values.push_back(std::move(v));
    }
  }
}

std::string defaultStore() {
  if (const char* env = std::getenv("LIST_REGISTRY_FILE"); env && *env) return env;
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      struct passwd* pw = ::getpwuid(::getuid());
      home = pw ? pw->pw_dir : "/tmp";
    }
    base = std::string(home) + "/.config";
  }
  return base + "/contact-panels/registry";
}

bool makeDirs(const std::string& dir) {
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i < dir.size() && dir[i] != '/') continue;
    std::string part = dir.substr(0, i);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

void load(const std::string& store, Roots& r) {
  std::string text;
  if (ReadWholeFile(store, text) && text.compare(0, sizeof kHeader - 1, kHeader) == 0)
    parse(text, r);
}

// Runs a change under the writers' lock and saves it when it reports
// ERROR_SUCCESS with changed set.
template <class F>
LSTATUS change(F&& f) {
  std::string store = RegGetStoreFile();
  auto slash = store.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !makeDirs(store.substr(0, slash)))
    return ERROR_ACCESS_DENIED;
  int lockFd = ::open((store + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd < 0) return ERROR_ACCESS_DENIED;
  while (::flock(lockFd, LOCK_EX) != 0 && errno == EINTR) {}
  Roots r;
  load(store, r);
  bool changed = false;
  LSTATUS rc = f(r, changed);
  if (rc == ERROR_SUCCESS && changed && !WriteFileAtomically(store, serialise(r)))
    rc = static_cast<LSTATUS>(GetLastError());
  ::flock(lockFd, LOCK_UN);
  ::close(lockFd);
  return rc;
}

template <class F>
LSTATUS read(F&& f) {
  Roots r;
  load(RegGetStoreFile(), r);
  return f(r);
}

std::u16string predefinedRoot(HKEY key) {
  if (key == HKEY_CURRENT_USER) return u"HKEY_CURRENT_USER";
  if (key == HKEY_LOCAL_MACHINE) return u"HKEY_LOCAL_MACHINE";
  return {};
}

bool resolveHandle(HKEY key, OpenKey& out) {
  std::u16string root = predefinedRoot(key);
  if (!root.empty()) {
    out = OpenKey{root, {}, KEY_ALL_ACCESS};
    return true;
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = handles().find(reinterpret_cast<std::uintptr_t>(key));
  if (it == handles().end()) return false;
  out = it->second;
  return true;
}

HKEY newHandle(OpenKey k) {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::uintptr_t h = g_nextHandle;
  g_nextHandle += 4;
  handles().emplace(h, std::move(k));
  return reinterpret_cast<HKEY>(h);
}

// The key a handle names, in a freshly loaded tree (null once deleted).
Key* keyOf(Roots& r, const OpenKey& k) { return findPath(r.Get(k.root), k.path); }

OpenKey childOf(const OpenKey& k, LPCWSTR subKey, REGSAM access) {
  OpenKey c = k;
  c.access = access;
  if (subKey)
    for (auto& p : splitPath(subKey)) c.path.push_back(p);
  return c;
}

LSTATUS copyName(const std::u16string& n, LPWSTR name, LPDWORD nameSize) {
  if (!name || !nameSize) return ERROR_INVALID_PARAMETER;
  if (*nameSize <= n.size()) return ERROR_MORE_DATA;
  std::copy(n.begin(), n.end(), name);
  name[n.size()] = 0;
  *nameSize = static_cast<DWORD>(n.size());
  return ERROR_SUCCESS;
}

LSTATUS copyData(const Value& v, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
  if (type) *type = v.type;
  if (!dataSize) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
  DWORD need = static_cast<DWORD>(v.data.size());
  if (!data) {
    *dataSize = need;
    return ERROR_SUCCESS;
  }
  if (*dataSize < need) {
    *dataSize = need;
    return ERROR_MORE_DATA;
  }
  std::memcpy(data, v.data.data(), need);
  *dataSize = need;
  return ERROR_SUCCESS;
}

}  // namespace

std::string RegGetStoreFile() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return storeOverride().empty() ? defaultStore() : storeOverride();
}

void RegSetStoreFile(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_mutex);
  storeOverride() = path;
}

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD /*reserved*/, LPWSTR /*keyClass*/,
                        DWORD /*options*/, REGSAM access, void* /*security*/, PHKEY result,
                        LPDWORD disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  OpenKey base;
  if (!resolveHandle(key, base)) return ERROR_INVALID_HANDLE;
  if (subKey && subKey[0] == u'\\') return ERROR_BAD_PATHNAME;
  OpenKey target = childOf(base, subKey, access);
  bool created = false;
  LSTATUS rc = change([&](Roots& r, bool& changed) -> LSTATUS {
    Key* k = keyOf(r, base);
    if (!k) return ERROR_KEY_DELETED;
    createPath(k, splitPath(subKey ? subKey : u""), &created);
    changed = created;
    return ERROR_SUCCESS;
  });
  if (rc != ERROR_SUCCESS) return rc;
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = newHandle(target);
  return ERROR_SUCCESS;
}

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD /*options*/, REGSAM access, PHKEY result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  OpenKey base;
  if (!resolveHandle(key, base)) return ERROR_INVALID_HANDLE;
  OpenKey target = childOf(base, subKey, access);
  LSTATUS rc = read(
      [&](Roots& r) -> LSTATUS { return keyOf(r, target) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND; });
  if (rc == ERROR_SUCCESS) *result = newHandle(target);
  return rc;
}

LSTATUS RegCloseKey(HKEY key) {
  if (!predefinedRoot(key).empty()) return ERROR_SUCCESS;
  std::lock_guard<std::mutex> lock(g_mutex);
  return handles().erase(reinterpret_cast<std::uintptr_t>(key)) ? ERROR_SUCCESS
                                                                : ERROR_INVALID_HANDLE;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD /*reserved*/, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize) {
  OpenKey k;
  if (!resolveHandle(key, k)) return ERROR_INVALID_HANDLE;
  return read([&](Roots& r) -> LSTATUS {
    Key* node = keyOf(r, k);
    if (!node) return ERROR_KEY_DELETED;
    Value* v = node->Find(name ? name : u"");
    return v ? copyData(*v, type, data, dataSize) : ERROR_FILE_NOT_FOUND;
  });
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD /*reserved*/, DWORD type, const BYTE* data,
                       DWORD dataSize) {
  OpenKey k;
  if (!resolveHandle(key, k)) return ERROR_INVALID_HANDLE;
  if (!(k.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  if (!data && dataSize) return ERROR_INVALID_PARAMETER;
  return change([&](Roots& r, bool& changed) -> LSTATUS {
    Key* node = keyOf(r, k);
    if (!node) return ERROR_KEY_DELETED;
    std::string bytes(reinterpret_cast<const char*>(data), data ? dataSize : 0);
    std::u16string n = name ? name : u"";
    if (Value* v = node->Find(n)) {
      changed = v->type != type || v->data != bytes;
      v->type = type;
      v->data = std::move(bytes);
    } else {
      node->values.push_back(Value{n, type, std::move(bytes)});
      changed = true;
    }
    return ERROR_SUCCESS;
  });
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name) {
  OpenKey k;
  if (!resolveHandle(key, k)) return ERROR_INVALID_HANDLE;
  if (!(k.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  return change([&](Roots& r, bool& changed) -> LSTATUS {
    Key* node = keyOf(r, k);
    if (!node) return ERROR_KEY_DELETED;
    Value* v = node->Find(name ? name : u"");
    if (!v) return ERROR_FILE_NOT_FOUND;
    node->values.erase(node->values.begin() + (v - node->values.data()));
    changed = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
  if (!subKey) return ERROR_INVALID_PARAMETER;
  OpenKey k;
  if (!resolveHandle(key, k)) return ERROR_INVALID_HANDLE;
  OpenKey target = childOf(k, subKey, KEY_ALL_ACCESS);
  if (target.path.empty()) return ERROR_ACCESS_DENIED;  // a root stays
  return change([&](Roots& r, bool& changed) -> LSTATUS {
    std::vector<std::u16string> parentPath(target.path.begin(), target.path.end() - 1);
    Key* parent = findPath(r.Get(target.root), parentPath);
    Key* victim = parent ? parent->Sub(target.path.back()) : nullptr;
    if (!victim) return ERROR_FILE_NOT_FOUND;
    if (!victim->subkeys.empty()) return ERROR_ACCESS_DENIED;
    parent->subkeys.erase(ToUpperW(target.path.back()));
    changed = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD /*reserved*/,
                      LPWSTR keyClass, LPDWORD classSize, FILETIME* lastWrite) {
  OpenKey k;
  if (!resolveHandle(key, k)) return ERROR_INVALID_HANDLE;
  return read([&](Roots& r) -> LSTATUS {
    Key* node = keyOf(r, k);
    if (!node) return ERROR_KEY_DELETED;
    if (index >= node->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    auto it = node->subkeys.begin();
    std::advance(it, index);
    LSTATUS rc = copyName(it->second->name, name, nameSize);
    if (rc != ERROR_SUCCESS) return rc;
    if (keyClass && classSize && *classSize) keyClass[0] = 0;
    if (classSize) *classSize = 0;
    if (lastWrite) *lastWrite = FILETIME{};
    return ERROR_SUCCESS;
  });
}

LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD /*reserved*/,
                      LPDWORD type, LPBYTE data, LPDWORD dataSize) {
  OpenKey k;
  if (!resolveHandle(key, k)) return ERROR_INVALID_HANDLE;
  return read([&](Roots& r) -> LSTATUS {
    Key* node = keyOf(r, k);
    if (!node) return ERROR_KEY_DELETED;
    if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
    const Value& v = node->values[index];
    LSTATUS rc = copyName(v.name, name, nameSize);
    if (rc != ERROR_SUCCESS) return rc;
    return copyData(v, type, data, dataSize);
  });
}
