// INI readers: thin wrappers that keep the file name and supply the buffers.
#include "host/basekit/inifile.h"

#include "platform/profile.h"
#include "platform/text.h"

#include <vector>

CINIFile::CINIFile(LPCWSTR fileName) { SetFileName(fileName); }

void CINIFile::SetFileName(LPCWSTR fileName) { m_file = fileName ? fileName : u""; }

int CINIFile::ReadSet(LPCWSTR section, LPCWSTR key, int def) const {
  if (m_file.empty() || !section || !key) return def;
  return static_cast<int>(GetPrivateProfileIntW(section, key, def, m_file.c_str()));
}

BOOL CINIFile::WriteSet(LPCWSTR section, LPCWSTR key, int value) const {
  return WriteSet(section, key, FormatW(u"%d", value).c_str());
}

BOOL CINIFile::WriteSet(LPCWSTR section, LPCWSTR key, LPCWSTR value) const {
  if (m_file.empty() || !section || !key) return FALSE;
  return WritePrivateProfileStringW(section, key, value, m_file.c_str());
}

std::u16string CINIFile::ReadString(LPCWSTR section, LPCWSTR key, LPCWSTR def) const {
  return CProfile(m_file.c_str()).ReadSet(section, key, def);
}

CProfile::CProfile(LPCWSTR fileName) { SetFileName(fileName); }

void CProfile::SetFileName(LPCWSTR fileName) { m_file = fileName ? fileName : u""; }

std::u16string CProfile::ReadSet(LPCWSTR section, LPCWSTR key, LPCWSTR def, DWORD maxChars) const {
  std::u16string fallback = def ? def : u"";
  if (m_file.empty() || !section || !key || maxChars == 0) return fallback.substr(0, maxChars);
  std::vector<char16_t> buf(maxChars + 1, 0);
  DWORD n = GetPrivateProfileStringW(section, key, fallback.c_str(), buf.data(), maxChars + 1,
                                     m_file.c_str());
  return std::u16string(buf.data(), n);
}

BOOL CProfile::WriteSet(LPCWSTR section, LPCWSTR key, LPCWSTR value) const {
  if (m_file.empty() || !section || !key) return FALSE;
  return WritePrivateProfileStringW(section, key, value, m_file.c_str());
}

int CProfile::ReadInt(LPCWSTR section, LPCWSTR key, int def) const {
  return CINIFile(m_file.c_str()).ReadSet(section, key, def);
}
