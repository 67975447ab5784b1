// Commands and expectations on the world around the panels: files in the
// program directory, INI values and the current user's registry.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "hostsim/host_session.h"
#include "hostsim/scenario.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace {

using Args = std::vector<std::string>;
namespace fs = std::filesystem;

bool Path(CScenarioRunner& r, const std::string& rel, std::string& out) {
  out = r.Session().ProgramPath(rel);
  if (out.empty()) return r.Malformed("\"" + rel + "\" is not a path inside the program directory");
  return true;
}

// HEX, text:"..." (UTF-8) or gbk:"..." (code page 936) as file content.
bool Content(CScenarioRunner& r, const std::string& form, std::vector<BYTE>& out) {
  out.clear();
  if (form.rfind("text:", 0) == 0) {
    out.assign(form.begin() + 5, form.end());
  } else if (form.rfind("gbk:", 0) == 0) {
    std::vector<char> bytes(form.size() * 2 + 4);
    const std::u16string wide = FromUtf8(form.substr(4));
    const int n =
        WideCharToMultiByte(936, 0, wide.c_str(), static_cast<int>(wide.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr);
    if (n < 0 || (n == 0 && !wide.empty())) return r.Error("text not in code page 936");
    out.assign(bytes.begin(), bytes.begin() + n);
  } else if (!ParseHex(form, out)) {
    return r.Malformed("file content is HEX, text:\"...\" or gbk:\"...\"");
  }
  return true;
}

bool ReadAll(const std::string& path, std::vector<BYTE>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), {});
  return true;
}

bool CmdFile(CScenarioRunner& r, const Args& a) {
  std::string path;
  std::vector<BYTE> bytes;
  if (!Path(r, a[0], path) || !Content(r, a[1], bytes)) return false;
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  // Written beside and renamed, so a panel never reads half a file.
  const std::string temp = path + ".hostsim-new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) return r.Error("cannot write \"" + a[0] + "\"");
  }
  fs::rename(temp, path, ec);
  if (ec) return r.Error("cannot write \"" + a[0] + "\": " + ec.message());
  return true;
}

bool CmdRmFile(CScenarioRunner& r, const Args& a) {
  std::string path;
  if (!Path(r, a[0], path)) return false;
  std::error_code ec;
  fs::remove(path, ec);
  if (ec) return r.Error("cannot remove \"" + a[0] + "\": " + ec.message());
  return true;
}

bool CmdIni(CScenarioRunner& r, const Args& a) {
  std::string path;
  if (!Path(r, a[0], path)) return false;
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  if (!WritePrivateProfileStringW(FromUtf8(a[1]).c_str(), FromUtf8(a[2]).c_str(),
                                  FromUtf8(a[3]).c_str(), FromUtf8(path).c_str()))
    return r.Error("cannot write \"" + a[0] + "\"");
  return true;
}

// dword:N or hex:HEX as a registry value.
bool RegistryValue(CScenarioRunner& r, const std::string& form, DWORD& type,
                   std::vector<BYTE>& out) {
  out.clear();
  if (form.rfind("dword:", 0) == 0) {
    long long n;
    if (!r.Number(form.substr(6), n)) return false;
    type = REG_DWORD;
    for (int i = 0; i < 4; ++i)
      out.push_back(static_cast<BYTE>(static_cast<std::uint32_t>(n) >> (8 * i)));
    return true;
  }
  if (form.rfind("hex:", 0) == 0 && ParseHex(form.substr(4), out)) {
    type = REG_BINARY;
    return true;
  }
  return r.Malformed("a registry value is dword:N or hex:HEX");
}

bool CmdRegistry(CScenarioRunner& r, const Args& a) {
  DWORD type;
  std::vector<BYTE> bytes;
  if (!RegistryValue(r, a[2], type, bytes)) return false;
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, FromUtf8(a[0]).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return r.Error("cannot create key \"" + a[0] + "\"");
  const LSTATUS s = RegSetValueExW(key, FromUtf8(a[1]).c_str(), 0, type, bytes.data(),
                                   static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
  if (s != ERROR_SUCCESS) return r.Error("cannot set \"" + a[1] + "\"");
  return true;
}

// ---- expectations -----------------------------------------------------------------

bool ExpectFile(CScenarioRunner& r, const Args& a) {
  std::string path;
  if (!Path(r, a[0], path)) return false;
  std::vector<BYTE> have;
  const bool exists = ReadAll(path, have);
  if (a.size() == 3) {
    long long n;
    if (a[1] != "size") return r.Malformed("expected size N");
    if (!r.Number(a[2], n)) return false;
    if (!exists) return r.Fail("no file " + a[0]);
    if (static_cast<long long>(have.size()) != n)
      return r.Fail("file " + a[0] + " has " + std::to_string(have.size()) + " bytes");
    return true;
  }
  std::vector<BYTE> want;
  const std::size_t colon = a[1].find(':');
  std::size_t offset = 0;
  bool whole = true;
  if (colon != std::string::npos) {
    long long off;
    if (!r.Number(a[1].substr(0, colon), off) || off < 0)
      return r.Malformed("bad offset in \"" + a[1] + "\"");
    offset = static_cast<std::size_t>(off);
    whole = false;
  }
  if (!ParseHex(whole ? a[1] : a[1].substr(colon + 1), want))
    return r.Malformed("bad hex \"" + a[1] + "\"");
  if (!exists) return r.Fail("no file " + a[0]);
  const bool ok = whole ? have == want
                        : offset + want.size() <= have.size() &&
                              std::equal(want.begin(), want.end(),
                                         have.begin() + static_cast<std::ptrdiff_t>(offset));
  if (!ok) return r.Fail("file " + a[0] + " holds " + ToHex(have));
  return true;
}

bool ExpectNoFile(CScenarioRunner& r, const Args& a) {
  std::string path;
  if (!Path(r, a[0], path)) return false;
  std::error_code ec;
  if (fs::exists(path, ec)) r.Fail("file " + a[0] + " exists");
  return true;
}

bool ExpectIni(CScenarioRunner& r, const Args& a) {
  std::string path;
  if (!Path(r, a[0], path)) return false;
  char16_t buf[4096] = {};
  // A default no value can have tells a missing key from an empty one.
  const char16_t* kMissing = u"\x1\x2hostsim-missing";
  GetPrivateProfileStringW(FromUtf8(a[1]).c_str(), FromUtf8(a[2]).c_str(), kMissing, buf, 4096,
                           FromUtf8(path).c_str());
  const std::u16string have = buf;
  if (have == kMissing) return r.Fail("no value " + a[1] + "/" + a[2] + " in " + a[0]);
  if (have != FromUtf8(a[3]))
    return r.Fail(a[1] + "/" + a[2] + " in " + a[0] + " is \"" + ToUtf8(have) + "\"");
  return true;
}

bool ExpectRegistry(CScenarioRunner& r, const Args& a) {
  DWORD wantType = 0;
  std::vector<BYTE> want;
  const bool absent = a[2] == "absent";
  if (!absent && !RegistryValue(r, a[2], wantType, want)) return false;
  HKEY key;
  std::vector<BYTE> have(65536);
  DWORD type = 0, size = static_cast<DWORD>(have.size());
  bool found = false;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, FromUtf8(a[0]).c_str(), 0, KEY_READ, &key) ==
      ERROR_SUCCESS) {
    found = RegQueryValueExW(key, FromUtf8(a[1]).c_str(), nullptr, &type, have.data(), &size) ==
            ERROR_SUCCESS;
    RegCloseKey(key);
  }
  have.resize(found ? size : 0);
  if (absent) {
    if (found) r.Fail("registry value " + a[0] + "\\" + a[1] + " exists");
    return true;
  }
  if (!found) return r.Fail("no registry value " + a[0] + "\\" + a[1]);
  if (type != wantType || have != want)
    return r.Fail("registry value " + a[0] + "\\" + a[1] + " is type " + std::to_string(type) +
                  " " + ToHex(have));
  return true;
}

}  // namespace

void AddWorldCommands(std::vector<CScenarioCommand>& t) {
  t.push_back(
      {"file", "file PATH HEX | file PATH text:\"...\" | file PATH gbk:\"...\"", 2, 2, CmdFile});
  t.push_back({"rmfile", "rmfile PATH", 1, 1, CmdRmFile});
  t.push_back({"ini", "ini PATH SECTION KEY VALUE", 4, 4, CmdIni});
  t.push_back({"registry", "registry KEY NAME dword:N|hex:HEX", 3, 3, CmdRegistry});
  t.push_back({"expect file",
               "expect file PATH HEX | expect file PATH OFF:HEX | expect file PATH size N", 2, 3,
               ExpectFile});
  t.push_back({"expect nofile", "expect nofile PATH", 1, 1, ExpectNoFile});
  t.push_back({"expect ini", "expect ini PATH SECTION KEY VALUE", 4, 4, ExpectIni});
  t.push_back(
      {"expect registry", "expect registry KEY NAME dword:N|hex:HEX|absent", 3, 3, ExpectRegistry});
}
