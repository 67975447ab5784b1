#include "platform/profile.h"
#include "platform/text.h"

DWORD GetPrivateProfileStringW(LPCWSTR, LPCWSTR, LPCWSTR def, LPWSTR ret, DWORD size, LPCWSTR) {
  if (!ret || !size) return 0;
  lstrcpynW(ret, def, static_cast<int>(size));
  return static_cast<DWORD>(lstrlenW(ret));
}
UINT GetPrivateProfileIntW(LPCWSTR, LPCWSTR, INT def, LPCWSTR) { return static_cast<UINT>(def); }
BOOL WritePrivateProfileStringW(LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR) { return FALSE; }
std::u16string GetProfileStringW(const std::u16string&, const std::u16string&, const std::u16string&,
                                 const std::u16string& def) {
  return def;
}
