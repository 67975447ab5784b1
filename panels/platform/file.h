// Files, directories, read-only named file mappings and paths.
//
// Paths are UTF-16 and may use "\" or "/" as separators (both mean "/" here;
// there are no drive letters). They reach the file system as UTF-8.
// Failures set the last error (GetLastError).
#pragma once

#include "platform/windef.h"
#include "platform/winerror.h"

#include <string>
#include <string_view>

// Access and sharing.
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD GENERIC_ALL = 0x10000000u;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD FILE_SHARE_DELETE = 0x4;

// Creation dispositions.
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;

constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;

// Mapping protections and view access.
constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;
constexpr DWORD FILE_MAP_WRITE = 0x2;
constexpr DWORD FILE_MAP_READ = 0x4;
constexpr DWORD FILE_MAP_ALL_ACCESS = 0xF001F;

// CREATE_ALWAYS and OPEN_ALWAYS on an existing file succeed and set
// ERROR_ALREADY_EXISTS. Sharing modes are accepted and not enforced.
// Returns INVALID_HANDLE_VALUE on failure.
HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD shareMode, void* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, void* overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, void* overlapped);
DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
BOOL SetEndOfFile(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);
// Closes a file or a mapping handle.
BOOL CloseHandle(HANDLE handle);

BOOL DeleteFileW(LPCWSTR name);
// Creates one directory; its parent must exist (ERROR_ALREADY_EXISTS when it does).
BOOL CreateDirectoryW(LPCWSTR name, void* security);
BOOL RemoveDirectoryW(LPCWSTR name);
DWORD GetFileAttributesW(LPCWSTR name);
BOOL PathFileExistsW(LPCWSTR path);

// A mapping of an open file (PAGE_READONLY or PAGE_READWRITE; a size of 0
// means the whole file). A name makes it findable with OpenFileMappingW in
// this process until its last handle closes; creating a name that exists
// returns the existing mapping with ERROR_ALREADY_EXISTS.
HANDLE CreateFileMappingW(HANDLE file, void* security, DWORD protect, DWORD maxSizeHigh,
                          DWORD maxSizeLow, LPCWSTR name);
HANDLE OpenFileMappingW(DWORD access, BOOL inheritHandle, LPCWSTR name);
// The offset must be a multiple of 64 KiB; bytes 0 maps to the end of the mapping.
LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes);
BOOL UnmapViewOfFile(LPCVOID base);

// The absolute form of a path (relative paths against the current
// directory, "." and ".." resolved, "/" separators). Returns the length
// without the terminator, or the size needed with it when size is too small.
// filePart, if given, points to the last component in buffer.
DWORD GetFullPathNameW(LPCWSTR name, DWORD size, LPWSTR buffer, LPWSTR* filePart);

// With module null: the host program's executable path (/proc/self/exe unless
// overridden); otherwise the path of a module from LoadLibraryW. Returns the
// length copied; a cut path returns size with ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);
// Lets a host or a test say which program path GetModuleFileNameW(nullptr)
// reports; an empty path restores the real one.
void SetModuleFileNameOverride(const std::u16string& path);
// The host program's directory with its trailing separator.
std::u16string GetModuleDirectoryW();

// The file-system form of a path: separators made "/", UTF-8.
std::string ToFileSystemPath(std::u16string_view path);
// Writes a whole file through a temporary file in the same directory and a
// rename, so a failure leaves the old content. Sets the last error on failure.
bool WriteFileAtomically(const std::string& fsPath, std::string_view bytes);
// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& fsPath, std::string& bytes);
