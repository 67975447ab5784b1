// Basic Windows types and macros as the panels use them.
//
// Window handles and the other GDI/USER handles are 32-bit values, as on the
// original platform, so that they fit the 32-bit fields of request payloads.
// WPARAM, LPARAM and LRESULT are pointer-sized so that notifications can carry
// addresses.
#pragma once

#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = DWORD;
using WCHAR = char16_t;
using LPWSTR = char16_t*;
using LPCWSTR = const char16_t*;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using INT = int;
using SIZE_T = std::size_t;
using LPVOID = void*;
using LPCVOID = const void*;
using LPDWORD = DWORD*;
using LPBYTE = BYTE*;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// Handles: 32-bit values; 0 is "no handle".
using HWND = std::uint32_t;
using HMENU = std::uint32_t;
using HBITMAP = std::uint32_t;
using HICON = std::uint32_t;
using HCURSOR = std::uint32_t;
using HFONT = std::uint32_t;
using HBRUSH = std::uint32_t;
using HPEN = std::uint32_t;
using HRGN = std::uint32_t;
using HGDIOBJ = std::uint32_t;
using HIMAGELIST = std::uint32_t;

// Kernel object handles (files, mappings) and modules are pointer-sized, as
// they never travel in payloads.
using HANDLE = void*;
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
// void (*)() is the type that compilers let a cast turn into any function
// pointer type without a warning.
using FARPROC = void (*)();

constexpr DWORD MAX_PATH = 260;

struct POINT {
  LONG x = 0;
  LONG y = 0;
};
struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
};
struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
};

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
         (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xff); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xff); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xff); }

constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xffff); }
constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xffff); }
constexpr DWORD MAKELONG(WORD lo, WORD hi) {
  return static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16);
}
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return static_cast<LPARAM>(MAKELONG(lo, hi)); }
// Mouse co-ordinates travel signed in the two halves of lParam.
constexpr int GET_X_LPARAM(LPARAM lp) {
  return static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lp)));
}
constexpr int GET_Y_LPARAM(LPARAM lp) {
  return static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lp)));
}
