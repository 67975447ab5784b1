// INI files ("profiles"), read and written with the original platform's rules.
//
// Files are text in the system code page unless they start with a UTF-16LE
// byte-order mark (then UTF-16) or a UTF-8 one; a rewritten file keeps its
// encoding. Section and key names compare case-insensitively. Paths may use
// "\" or "/". Every call reads the file afresh, and every write replaces the
// file through a temporary file, so readers never see half a file.
#pragma once

#include "platform/windef.h"

#include <string>

// Copies the value of key in section app (blanks around it and a pair of
// enclosing quotes removed) into ret, or def when the file, section or key is
// missing. With app null: every section name; with key null: every key name
// of the section; each zero-terminated, the list ended by an empty string.
// Returns the number of characters copied without the terminator; a value cut
// to fit returns size-1 (a cut list, size-2).
DWORD GetPrivateProfileStringW(LPCWSTR app, LPCWSTR key, LPCWSTR def, LPWSTR ret, DWORD size,
                               LPCWSTR file);
// The leading number of the value: blanks, an optional sign, then decimal,
// or hexadecimal after "0x"; text that is not a number reads as 0. A missing
// or empty value gives def.
UINT GetPrivateProfileIntW(LPCWSTR app, LPCWSTR key, INT def, LPCWSTR file);
// Sets key=value in section app, creating the file and the section as needed
// and keeping every other line as it was. A null value removes the key; a
// null key removes the whole section. Returns FALSE when the file cannot be
// written (the old file then stays as it was).
BOOL WritePrivateProfileStringW(LPCWSTR app, LPCWSTR key, LPCWSTR value, LPCWSTR file);

// Conveniences over the above without buffer sizes.
std::u16string GetProfileStringW(const std::u16string& file, const std::u16string& app,
                                 const std::u16string& key, const std::u16string& def = u"");
