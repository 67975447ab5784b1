#include "platform/shell.h"

#include "platform/text.h"
#include "platform/winerror.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

namespace {

ShellOpener& Opener() {
  static ShellOpener opener;
  return opener;
}

DebugOutputSink& Sink() {
  static DebugOutputSink sink;
  return sink;
}

HINSTANCE ShellResult(INT_PTR code) { return reinterpret_cast<HINSTANCE>(code); }

// The English texts of the original platform, as callers show them.
const std::map<DWORD, const char16_t*>& SystemTexts() {
  static const std::map<DWORD, const char16_t*> texts = {
      {ERROR_SUCCESS, u"The operation completed successfully."},
      {ERROR_INVALID_FUNCTION, u"Incorrect function."},
      {ERROR_FILE_NOT_FOUND, u"The system cannot find the file specified."},
      {ERROR_PATH_NOT_FOUND, u"The system cannot find the path specified."},
      {ERROR_ACCESS_DENIED, u"Access is denied."},
      {ERROR_INVALID_HANDLE, u"The handle is invalid."},
      {ERROR_NOT_ENOUGH_MEMORY,
       u"Not enough memory resources are available to process this command."},
      {ERROR_INVALID_DATA, u"The data is invalid."},
      {ERROR_WRITE_FAULT, u"The system cannot write to the specified device."},
      {ERROR_READ_FAULT, u"The system cannot read from the specified device."},
      {ERROR_SHARING_VIOLATION,
       u"The process cannot access the file because it is being used by another process."},
      {ERROR_HANDLE_EOF, u"Reached the end of the file."},
      {ERROR_FILE_EXISTS, u"The file exists."},
      {ERROR_INVALID_PARAMETER, u"The parameter is incorrect."},
      {ERROR_DISK_FULL, u"There is not enough space on the disk."},
      {ERROR_INSUFFICIENT_BUFFER, u"The data area passed to a system call is too small."},
      {ERROR_INVALID_NAME, u"The filename, directory name, or volume label syntax is incorrect."},
      {ERROR_MOD_NOT_FOUND, u"The specified module could not be found."},
      {ERROR_PROC_NOT_FOUND, u"The specified procedure could not be found."},
      {ERROR_NEGATIVE_SEEK,
       u"An attempt was made to move the file pointer before the beginning of the file."},
      {ERROR_DIR_NOT_EMPTY, u"The directory is not empty."},
      {ERROR_BAD_PATHNAME, u"The specified path is invalid."},
      {ERROR_FILENAME_EXCED_RANGE, u"The filename or extension is too long."},
      {ERROR_ALREADY_EXISTS, u"Cannot create a file when that file already exists."},
      {ERROR_MORE_DATA, u"More data is available."},
      {ERROR_NO_MORE_ITEMS, u"No more data is available."},
      {ERROR_MR_MID_NOT_FOUND,
       u"The system cannot find message text for message number 0x%1 in the message file for %2."},
      {ERROR_FILE_INVALID,
       u"The volume for a file has been externally altered so that the opened file is no longer "
       u"valid."},
      {ERROR_BADDB, u"The configuration registry database is corrupt."},
      {ERROR_BADKEY, u"The configuration registry key is invalid."},
      {ERROR_CANTWRITE, u"The configuration registry key could not be written."},
      {ERROR_KEY_DELETED,
       u"Illegal operation attempted on a registry key that has been marked for deletion."},
      {ERROR_NO_UNICODE_TRANSLATION,
       u"No mapping for the Unicode character exists in the target multi-byte code page."},
      {ERROR_MAPPED_ALIGNMENT,
       u"The base address or the file offset specified does not have the proper alignment."},
      {ERROR_CANCELLED, u"The operation was canceled by the user."},
      {ERROR_CONNECTION_REFUSED, u"The remote computer refused the network connection."},
      {ERROR_NETWORK_UNREACHABLE, u"The network location cannot be reached."},
      {ERROR_TIMEOUT, u"This operation returned because the timeout period expired."},
      {WSAENETUNREACH, u"A socket operation was attempted to an unreachable network."},
      {WSAECONNABORTED,
       u"An established connection was aborted by the software in your host machine."},
      {WSAECONNRESET, u"An existing connection was forcibly closed by the remote host."},
      {WSAETIMEDOUT,
       u"A connection attempt failed because the connected party did not properly respond after a "
       u"period of time, or established connection failed because connected host has failed to "
       u"respond."},
      {WSAECONNREFUSED,
       u"No connection could be made because the target machine actively refused it."},
      {WSAEHOSTUNREACH, u"A socket operation was attempted to an unreachable host."},
      {WSAHOST_NOT_FOUND, u"No such host is known."},
  };
  return texts;
}

// One "%N!fmt!" insert: its number and printf conversion (without the "%").
struct Insert {
  int number = 0;
  std::u16string conversion = u"s";
};

char16_t ConversionKind(const std::u16string& conversion) {
  return conversion.empty() ? u's' : conversion.back();
}

bool Is64(const std::u16string& conversion) {
  return conversion.find(u"I64") != std::u16string::npos ||
         conversion.find(u"ll") != std::u16string::npos;
}

// The formatter knows the C spellings only.
std::u16string CSpelling(std::u16string conversion) {
  for (std::size_t at; (at = conversion.find(u"I64")) != std::u16string::npos;)
    conversion.replace(at, 3, u"ll");
  return conversion;
}

// Reads the arguments the inserts use, in insert-number order, as the
// formatter's values. Strings stay pointers into the caller's memory.
std::vector<FormatArg> TakeArguments(const std::map<int, std::u16string>& used, DWORD flags,
                                     va_list* args) {
  std::vector<FormatArg> out;
  int last = used.empty() ? 0 : used.rbegin()->first;
  for (int n = 1; n <= last; ++n) {
    auto it = used.find(n);
    std::u16string conversion = it == used.end() ? u"s" : it->second;
    char16_t kind = ConversionKind(conversion);
    bool wide64 = Is64(conversion);
    if (flags & FORMAT_MESSAGE_ARGUMENT_ARRAY) {
      DWORD_PTR v = reinterpret_cast<const DWORD_PTR*>(args)[n - 1];
      if (kind == u's') out.emplace_back(reinterpret_cast<const char16_t*>(v));
      else if (kind == u'S') out.emplace_back(reinterpret_cast<const char*>(v));
      else if (kind == u'p') out.emplace_back(reinterpret_cast<const void*>(v));
      else if (kind == u'd' || kind == u'i')
        out.emplace_back(wide64 ? static_cast<long long>(v)
                                : static_cast<long long>(static_cast<int>(v)));
      else
        out.emplace_back(wide64 ? static_cast<unsigned long long>(v)
                                : static_cast<unsigned long long>(static_cast<unsigned>(v)));
      continue;
    }
    if (kind == u's') out.emplace_back(va_arg(*args, const char16_t*));
    else if (kind == u'S') out.emplace_back(va_arg(*args, const char*));
    else if (kind == u'p') out.emplace_back(va_arg(*args, const void*));
    else if (kind == u'd' || kind == u'i')
      out.emplace_back(wide64 ? va_arg(*args, long long)
                              : static_cast<long long>(va_arg(*args, int)));
    else
      out.emplace_back(wide64 ? va_arg(*args, unsigned long long)
                              : static_cast<unsigned long long>(va_arg(*args, unsigned)));
  }
  return out;
}

// Parses "N" or "N!fmt!" at text[i] (just after a "%"); false when malformed.
bool ParseInsert(std::u16string_view text, std::size_t& i, Insert& insert) {
  int n = 0;
  std::size_t start = i;
  while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && i - start < 2)
    n = n * 10 + (text[i++] - u'0');
  if (n < 1) return false;
  insert.number = n;
  if (i < text.size() && text[i] == u'!') {
    std::size_t end = text.find(u'!', i + 1);
    if (end == std::u16string_view::npos || end == i + 1) return false;
    insert.conversion = std::u16string(text.substr(i + 1, end - i - 1));
    i = end + 1;
  }
  return true;
}

// Expands the message; false for a malformed insert.
bool Expand(std::u16string_view text, DWORD flags, va_list* args, std::u16string& out) {
  bool ignoreInserts = (flags & FORMAT_MESSAGE_IGNORE_INSERTS) != 0;
  bool oneLine = (flags & FORMAT_MESSAGE_MAX_WIDTH_MASK) == FORMAT_MESSAGE_MAX_WIDTH_MASK;
  std::map<int, std::u16string> used;
  if (!ignoreInserts) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != u'%' || i + 1 >= text.size()) continue;
      std::size_t j = i + 1;
      Insert insert;
      if (text[j] >= u'1' && text[j] <= u'9') {
        if (!ParseInsert(text, j, insert)) return false;
        used.emplace(insert.number, insert.conversion);
        i = j - 1;
      } else {
        i = j;  // an escape: its second character is no insert
      }
    }
    if (!used.empty() && !args) return false;
  }
  std::vector<FormatArg> values =
      ignoreInserts || used.empty() ? std::vector<FormatArg>{} : TakeArguments(used, flags, args);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      out += oneLine ? u" " : u"\r\n";
      continue;
    }
    if (c != u'%' || i + 1 >= text.size()) {
      out.push_back(c);
      continue;
    }
    char16_t next = text[i + 1];
    if (next == u'0') return true;  // ends the message without its line break
    if (next == u'n') {
      out += u"\r\n";
      ++i;
    } else if (next >= u'1' && next <= u'9') {
      std::size_t j = i + 1;
      Insert insert;
      ParseInsert(text, j, insert);
      if (ignoreInserts) out.append(text.substr(i, j - i));
      else
        out += FormatArgsW(u"%" + CSpelling(insert.conversion),
                           &values[static_cast<std::size_t>(insert.number - 1)], 1);
      i = j - 1;
    } else {
      out.push_back(next);  // "%%", "%.", "%!", "% " and the rest stand for themselves
      ++i;
    }
  }
  return true;
}

}  // namespace

ShellOpener SetShellOpener(ShellOpener opener) {
  ShellOpener old = std::move(Opener());
  Opener() = std::move(opener);
  return old;
}

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR, int show) {
  if (verb && *verb && std::u16string_view(verb) != u"open") return ShellResult(SE_ERR_NOASSOC);
  if (!file || !*file) return ShellResult(SE_ERR_FNF);
  if (!Opener()) return ShellResult(SE_ERR_NOASSOC);
  // A copy, so that an opener that replaces itself while running stays alive.
  ShellOpener opener = Opener();
  bool opened = opener(file, parameters ? parameters : u"", show);
  return ShellResult(opened ? 42 : SE_ERR_ACCESSDENIED);
}

DebugOutputSink SetDebugOutputSink(DebugOutputSink sink) {
  DebugOutputSink old = std::move(Sink());
  Sink() = std::move(sink);
  return old;
}

void OutputDebugStringW(LPCWSTR text) {
  std::u16string s = text ? text : u"";
  if (Sink()) {
    DebugOutputSink sink = Sink();
    sink(s);
    return;
  }
  std::string utf8 = ToUtf8(s);
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fflush(stderr);
}

void OutputDebugStringA(LPCSTR text) {
  std::u16string s = text ? FromAnsi(text) : u"";
  OutputDebugStringW(s.c_str());
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
  void* p = std::malloc(std::max<SIZE_T>(bytes, 1));
  if (p && (flags & LMEM_ZEROINIT)) std::memset(p, 0, std::max<SIZE_T>(bytes, 1));
  if (!p) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return p;
}

HLOCAL LocalFree(HLOCAL memory) {
  std::free(memory);
  return nullptr;
}

std::u16string SystemErrorText(DWORD code) {
  auto it = SystemTexts().find(code);
  return it == SystemTexts().end() ? std::u16string() : std::u16string(it->second);
}

DWORD FormatMessageW(DWORD flags, LPCVOID source, DWORD messageId, DWORD, LPWSTR buffer, DWORD size,
                     va_list* args) {
  std::u16string text;
  if (flags & FORMAT_MESSAGE_FROM_STRING) {
    if (!source) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    text = static_cast<const char16_t*>(source);
  } else if (flags & FORMAT_MESSAGE_FROM_SYSTEM) {
    // Messages of modules are not kept here; a module-or-system lookup
    // falls through to the system table.
    auto it = SystemTexts().find(messageId);
    if (it == SystemTexts().end()) {
      SetLastError(ERROR_MR_MID_NOT_FOUND);
      return 0;
    }
    text = std::u16string(it->second) + u"\r\n";
  } else {
    SetLastError(flags & FORMAT_MESSAGE_FROM_HMODULE ? ERROR_MR_MID_NOT_FOUND
                                                     : ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::u16string out;
  if (!Expand(text, flags, args, out)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    if (!buffer) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    std::size_t chars = std::max<std::size_t>(out.size() + 1, size);
    auto* block = static_cast<char16_t*>(LocalAlloc(LPTR, chars * sizeof(char16_t)));
    if (!block) return 0;
    std::copy(out.begin(), out.end(), block);
    *reinterpret_cast<LPWSTR*>(buffer) = block;
    return static_cast<DWORD>(out.size());
  }
  if (!buffer || out.size() + 1 > size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::copy(out.begin(), out.end(), buffer);
  buffer[out.size()] = 0;
  return static_cast<DWORD>(out.size());
}
