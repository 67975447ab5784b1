// Conversions between UTF-16, the system code page and UTF-8, through iconv.
#include "platform/text.h"
#include "platform/winerror.h"

#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <utility>

namespace {

std::atomic<UINT> g_acp{936};

// iconv descriptors are costly to open; each thread keeps the ones it used.
class IconvCache {
 public:
  ~IconvCache() {
    for (auto& [key, cd] : open_) iconv_close(cd);
  }
  iconv_t Get(const std::string& to, const std::string& from) {
    auto key = std::make_pair(to, from);
    auto it = open_.find(key);
    if (it != open_.end()) {
      iconv(it->second, nullptr, nullptr, nullptr, nullptr);
      return it->second;
    }
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return cd;
    open_.emplace(key, cd);
    return cd;
  }

 private:
  std::map<std::pair<std::string, std::string>, iconv_t> open_;
};

iconv_t descriptor(const std::string& to, const std::string& from) {
  thread_local IconvCache cache;
  return cache.Get(to, from);
}

bool bad(iconv_t cd) { return cd == reinterpret_cast<iconv_t>(-1); }

UINT resolve(UINT cp) {
  if (cp == CP_ACP || cp == CP_OEMCP || cp == CP_THREAD_ACP) return g_acp.load();
  return cp;
}

// Decodes bytes of a character set to UTF-16. Each byte that does not start a
// valid character becomes U+FFFD; with strict, the first one fails the call.
bool decode(const std::string& charset, const char* src, size_t len, std::u16string& out,
            bool strict) {
  out.clear();
  iconv_t cd = descriptor("UTF-16LE", charset);
  if (bad(cd)) return false;
  std::u16string chunk(len + 8, u'\0');
  char* in = const_cast<char*>(src);
  size_t inLeft = len;
  while (inLeft > 0) {
    char* o = reinterpret_cast<char*>(chunk.data());
    size_t oLeft = chunk.size() * sizeof(char16_t);
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    int err = errno;
    out.append(chunk.data(), (chunk.size() * sizeof(char16_t) - oLeft) / sizeof(char16_t));
    if (r != static_cast<size_t>(-1)) break;
    if (err == E2BIG) continue;
    if (strict) return false;
    out += u'\uFFFD';
    if (err == EINVAL) break;  // an incomplete character ends the input
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return true;
}

bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Encodes UTF-16 to a character set; characters it cannot hold become
// replacement (and set usedReplacement); with strict, the first one fails.
bool encode(const std::string& charset, const char16_t* src, size_t len, std::string& out,
            const std::string& replacement, bool& usedReplacement, bool strict) {
  out.clear();
  usedReplacement = false;
  iconv_t cd = descriptor(charset, "UTF-16LE");
  if (bad(cd)) return false;
  std::string chunk(len * 4 + 16, '\0');
  const char16_t* p = src;
  const char16_t* end = src + len;
  while (p < end) {
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(p));
    size_t inLeft = static_cast<size_t>(end - p) * sizeof(char16_t);
    char* o = chunk.data();
    size_t oLeft = chunk.size();
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    int err = errno;
    out.append(chunk.data(), chunk.size() - oLeft);
    p = end - inLeft / sizeof(char16_t);
    if (r != static_cast<size_t>(-1)) break;
    if (err == E2BIG) continue;
    if (strict) return false;
    out += replacement;
    usedReplacement = true;
    // Skip the whole character: a surrogate pair is one.
    p += (isHigh(*p) && p + 1 < end && isLow(p[1])) ? 2 : 1;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return true;
}

}  // namespace

UINT GetACP() { return g_acp.load(); }

std::string CodePageCharset(UINT cp) {
  cp = resolve(cp);
  switch (cp) {
    case CP_UTF8: return "UTF-8";
    case 936: return "GBK";
    case 54936: return "GB18030";
    case 950: return "BIG5";
    case 932: return "CP932";
    case 949: return "CP949";
    case 20127: return "ASCII";
    case 28591: return "ISO-8859-1";
    case 1200: return "UTF-16LE";
    default: return "CP" + std::to_string(cp);
  }
}

bool SetSystemCodePage(UINT cp) {
  if (cp == CP_ACP || cp == CP_OEMCP || cp == CP_THREAD_ACP) return false;
  iconv_t cd = descriptor("UTF-16LE", CodePageCharset(cp));
  if (bad(cd)) return false;
  g_acp = cp;
  return true;
}

int MultiByteToWideChar(UINT cp, DWORD flags, LPCSTR src, int srcLen, LPWSTR dst, int dstLen) {
  if (!src || srcLen == 0 || srcLen < -1 || dstLen < 0 || (dstLen > 0 && !dst)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t len = srcLen == -1 ? std::strlen(src) + 1 : static_cast<size_t>(srcLen);
  std::u16string w;
  if (!decode(CodePageCharset(cp), src, len, w, (flags & MB_ERR_INVALID_CHARS) != 0)) {
    SetLastError(bad(descriptor("UTF-16LE", CodePageCharset(cp))) ? ERROR_INVALID_PARAMETER
                                                                  : ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  if (dstLen == 0) return static_cast<int>(w.size());
  if (w.size() > static_cast<size_t>(dstLen)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(dst, w.data(), w.size() * sizeof(char16_t));
  return static_cast<int>(w.size());
}

int WideCharToMultiByte(UINT cp, DWORD flags, LPCWSTR src, int srcLen, LPSTR dst, int dstLen,
                        LPCSTR defaultChar, BOOL* usedDefaultChar) {
  if (!src || srcLen == 0 || srcLen < -1 || dstLen < 0 || (dstLen > 0 && !dst)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t len = srcLen == -1 ? static_cast<size_t>(lstrlenW(src)) + 1 : static_cast<size_t>(srcLen);
  bool utf8 = resolve(cp) == CP_UTF8;
  std::string replacement =
      utf8 ? std::string("\xEF\xBF\xBD") : std::string(defaultChar ? defaultChar : "?");
  std::string s;
  bool used = false;
  if (!encode(CodePageCharset(cp), src, len, s, replacement, used,
              (flags & WC_ERR_INVALID_CHARS) != 0)) {
    SetLastError(bad(descriptor(CodePageCharset(cp), "UTF-16LE")) ? ERROR_INVALID_PARAMETER
                                                                  : ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  if (usedDefaultChar) *usedDefaultChar = used ? TRUE : FALSE;
  if (dstLen == 0) return static_cast<int>(s.size());
  if (s.size() > static_cast<size_t>(dstLen)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(dst, s.data(), s.size());
  return static_cast<int>(s.size());
}

std::string ToUtf8(std::u16string_view s) {
  std::string out;
  bool used;
  encode("UTF-8", s.data(), s.size(), out, "\xEF\xBF\xBD", used, false);
  return out;
}

std::u16string FromUtf8(std::string_view s) {
  std::u16string out;
  decode("UTF-8", s.data(), s.size(), out, false);
  return out;
}

std::string ToAnsi(std::u16string_view s) {
  std::string out;
  bool used;
  encode(CodePageCharset(CP_ACP), s.data(), s.size(), out, "?", used, false);
  return out;
}

std::u16string FromAnsi(std::string_view s) {
  std::u16string out;
  decode(CodePageCharset(CP_ACP), s.data(), s.size(), out, false);
  return out;
}

bool ConvertCharsetToUtf8(const std::string& charset, std::string_view in, std::string& out) {
  std::u16string w;
  if (!decode(charset, in.data(), in.size(), w, false)) return false;
  out = ToUtf8(w);
  return true;
}
