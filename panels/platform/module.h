// Loading modules by name with the system loader.
//
// A name is used as given ("Dialog.dll" is a file called Dialog.dll). A bare
// name is looked up in the host program's directory, then the current
// directory, then by the system loader's own search; a name with a separator
// ("\" or "/") is a path. Failures set the last error (ERROR_MOD_NOT_FOUND,
// ERROR_PROC_NOT_FOUND, ERROR_INVALID_HANDLE).
#pragma once

#include "platform/windef.h"
#include "platform/winerror.h"

#include <string>

HMODULE LoadLibraryW(LPCWSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);
// The loader's message for the last failure in this thread (empty if none).
std::string GetLoaderErrorText();
