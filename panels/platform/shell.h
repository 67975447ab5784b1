// The shell's "open" verb, the debugger output and the system's message
// texts.
//
// Opening an address or a file and writing to the debugger reach whatever
// the host installed, so that a host (the simulator, a test) sees every
// address the panels open and every line they log in one place.
#pragma once

#include "platform/windef.h"

#include <cstdarg>
#include <functional>
#include <string>

// ---- ShellExecuteW ------------------------------------------------------------------

constexpr INT_PTR SE_ERR_FNF = 2;
constexpr INT_PTR SE_ERR_ACCESSDENIED = 5;
constexpr INT_PTR SE_ERR_NOASSOC = 31;

// Takes the file or address, the parameters and the show command of an
// "open"; returns whether it was opened.
using ShellOpener =
    std::function<bool(const std::u16string& file, const std::u16string& parameters, int show)>;
// Replaces the opener (null: nothing can be opened); returns the previous one.
ShellOpener SetShellOpener(ShellOpener opener);

// Only the "open" verb (or none, which means it) is known. The result is a
// value above 32 on success, as on the original platform; SE_ERR_NOASSOC
// for another verb or when no opener is installed, SE_ERR_ACCESSDENIED when
// the opener refuses, SE_ERR_FNF for an empty file.
HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, int show);
inline bool ShellExecuteSucceeded(HINSTANCE result) {
  return reinterpret_cast<INT_PTR>(result) > 32;
}

// ---- debugger output -----------------------------------------------------------------

// Receives each OutputDebugString text as given (no line end is added).
using DebugOutputSink = std::function<void(const std::u16string& text)>;
// Replaces the sink (null: standard error, as UTF-8); returns the previous one.
DebugOutputSink SetDebugOutputSink(DebugOutputSink sink);
void OutputDebugStringW(LPCWSTR text);
void OutputDebugStringA(LPCSTR text);  // system code page

// ---- local memory -------------------------------------------------------------------

using HLOCAL = void*;
constexpr UINT LMEM_FIXED = 0x0000;
constexpr UINT LMEM_ZEROINIT = 0x0040;
constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL LocalFree(HLOCAL memory);  // null on success

// ---- FormatMessageW -----------------------------------------------------------------

constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x00000100;
constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x00000200;
constexpr DWORD FORMAT_MESSAGE_FROM_STRING = 0x00000400;
constexpr DWORD FORMAT_MESSAGE_FROM_HMODULE = 0x00000800;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;
constexpr DWORD FORMAT_MESSAGE_ARGUMENT_ARRAY = 0x00002000;
constexpr DWORD FORMAT_MESSAGE_MAX_WIDTH_MASK = 0x000000FF;

// The system texts cover the error codes of winerror.h, in English, each
// ending with "\r\n". The message text may hold inserts "%1" to "%99", each
// with an optional printf conversion between "!" marks ("%1!d!"; the default
// is "!s!", a UTF-16 string), and the escapes "%n" (a line break), "%0" (end,
// without the final line break), "%%", "%.", "%!" and "% ". The arguments
// come from `args`: a va_list, or with FORMAT_MESSAGE_ARGUMENT_ARRAY an array
// of DWORD_PTR values. FORMAT_MESSAGE_MAX_WIDTH_MASK turns the text's own
// line breaks into spaces. Without FORMAT_MESSAGE_ALLOCATE_BUFFER `buffer`
// receives at most `size` characters with the terminator; with it `buffer`
// is really an LPWSTR* that receives a LocalAlloc block for LocalFree.
// Returns the characters stored without the terminator, 0 on failure
// (GetLastError: ERROR_MR_MID_NOT_FOUND for an unknown code,
// ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_PARAMETER).
DWORD FormatMessageW(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPWSTR buffer,
                     DWORD size, va_list* args);
// The system text of an error code without its line end; empty if unknown.
std::u16string SystemErrorText(DWORD code);
