// basekit: INI readers over the platform's profile functions.
#pragma once

#include "platform/windef.h"

#include <string>

// Numbers (and texts) of one INI file.
class CINIFile {
 public:
  CINIFile() = default;
  explicit CINIFile(LPCWSTR fileName);

  void SetFileName(LPCWSTR fileName);
  const std::u16string& GetFileName() const { return m_file; }

  // The key's value as a number, or `def` when the file, the section or the
  // key is missing.
  int ReadSet(LPCWSTR section, LPCWSTR key, int def) const;
  // Writes the number as decimal text; FALSE when the file cannot be written.
  BOOL WriteSet(LPCWSTR section, LPCWSTR key, int value) const;
  BOOL WriteSet(LPCWSTR section, LPCWSTR key, LPCWSTR value) const;
  std::u16string ReadString(LPCWSTR section, LPCWSTR key, LPCWSTR def) const;

 private:
  std::u16string m_file;
};

// Texts of one INI file.
class CProfile {
 public:
  CProfile() = default;
  explicit CProfile(LPCWSTR fileName);

  void SetFileName(LPCWSTR fileName);
  const std::u16string& GetFileName() const { return m_file; }

  // The key's text, or `def` (empty for null) when it is missing. At most
  // `maxChars` characters are returned.
  std::u16string ReadSet(LPCWSTR section, LPCWSTR key, LPCWSTR def, DWORD maxChars = 1024) const;
  BOOL WriteSet(LPCWSTR section, LPCWSTR key, LPCWSTR value) const;
  int ReadInt(LPCWSTR section, LPCWSTR key, int def) const;

 private:
  std::u16string m_file;
};
