// printf-style formatting of wide text.
//
// One engine serves the C variadic entry points and the typed FormatW; they
// differ only in where the next argument comes from. Numbers are rendered by
// snprintf from a rebuilt narrow conversion, so flags, width and precision
// behave exactly as printf's.
#include "platform/text.h"

#include <cstdio>
#include <cstring>

namespace {

enum class Size { Default, Short, Long64, Pointer };

// Where the arguments come from.
class ArgSource {
 public:
  virtual ~ArgSource() = default;
  virtual std::int64_t Signed(Size size) = 0;
  virtual std::uint64_t Unsigned(Size size) = 0;
  virtual double Real() = 0;
  virtual const char16_t* Wide() = 0;
  virtual const char* Narrow() = 0;
  virtual const void* Pointer() = 0;
};

std::int64_t narrowSigned(std::int64_t v, Size size) {
  switch (size) {
    case Size::Short: return static_cast<short>(v);
    case Size::Default: return static_cast<std::int32_t>(v);
    default: return v;
  }
}

std::uint64_t narrowUnsigned(std::uint64_t v, Size size) {
  switch (size) {
    case Size::Short: return static_cast<unsigned short>(v);
    case Size::Default: return static_cast<std::uint32_t>(v);
    default: return v;
  }
}

class VaSource : public ArgSource {
 public:
  explicit VaSource(va_list args) { va_copy(args_, args); }
  ~VaSource() override { va_end(args_); }
  std::int64_t Signed(Size size) override {
    if (size == Size::Long64) return va_arg(args_, long long);
    if (size == Size::Pointer) return va_arg(args_, std::intptr_t);
    // "l" is 32 bits on the original platform; an int read covers both.
    return narrowSigned(va_arg(args_, int), size);
  }
  std::uint64_t Unsigned(Size size) override {
    if (size == Size::Long64) return va_arg(args_, unsigned long long);
    if (size == Size::Pointer) return va_arg(args_, std::uintptr_t);
    return narrowUnsigned(va_arg(args_, unsigned), size);
  }
  double Real() override { return va_arg(args_, double); }
  const char16_t* Wide() override { return va_arg(args_, const char16_t*); }
  const char* Narrow() override { return va_arg(args_, const char*); }
  const void* Pointer() override { return va_arg(args_, const void*); }

 private:
  va_list args_;
};

class TypedSource : public ArgSource {
 public:
  TypedSource(const FormatArg* args, size_t count) : args_(args), count_(count) {}
  std::int64_t Signed(Size size) override {
    const FormatArg* a = next();
    return narrowSigned(a ? asInt(*a) : 0, size);
  }
  std::uint64_t Unsigned(Size size) override {
    const FormatArg* a = next();
    return narrowUnsigned(a ? static_cast<std::uint64_t>(asInt(*a)) : 0, size);
  }
  double Real() override {
    const FormatArg* a = next();
    if (!a) return 0;
    if (a->kind == FormatArg::Kind::Real) return a->d;
    return static_cast<double>(asInt(*a));
  }
  // Typed text arguments are converted to the width the conversion asks for.
  const char16_t* Wide() override {
    const FormatArg* a = next();
    if (!a) return u"";
    if (a->kind == FormatArg::Kind::Wide) return a->ws;
    if (a->kind == FormatArg::Kind::Narrow) {
      if (!a->s) return nullptr;
      wideKeep_ = FromAnsi(a->s);
      return wideKeep_.c_str();
    }
    return u"";
  }
  const char* Narrow() override {
    const FormatArg* a = next();
    if (!a) return "";
    if (a->kind == FormatArg::Kind::Narrow) return a->s;
    if (a->kind == FormatArg::Kind::Wide) {
      if (!a->ws) return nullptr;
      narrowKeep_ = ToAnsi(a->ws);
      return narrowKeep_.c_str();
    }
    return "";
  }
  const void* Pointer() override {
    const FormatArg* a = next();
    if (!a) return nullptr;
    switch (a->kind) {
      case FormatArg::Kind::Pointer: return a->p;
      case FormatArg::Kind::Wide: return a->ws;
      case FormatArg::Kind::Narrow: return a->s;
      default: return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(asInt(*a)));
    }
  }

 private:
  const FormatArg* next() { return pos_ < count_ ? &args_[pos_++] : nullptr; }
  static std::int64_t asInt(const FormatArg& a) {
    switch (a.kind) {
      case FormatArg::Kind::Signed: return a.i;
      case FormatArg::Kind::Unsigned: return static_cast<std::int64_t>(a.u);
      case FormatArg::Kind::Real: return static_cast<std::int64_t>(a.d);
      case FormatArg::Kind::Pointer:
        return static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(a.p));
      default: return 0;
    }
  }

  const FormatArg* args_;
  size_t count_;
  size_t pos_ = 0;
  std::u16string wideKeep_;
  std::string narrowKeep_;
};

struct Conversion {
  bool left = false, zero = false, plus = false, space = false, alt = false;
  int width = -1;
  int precision = -1;
};

void pad(std::u16string& out, int n, char16_t c) {
  if (n > 0) out.append(static_cast<size_t>(n), c);
}

void emitText(std::u16string& out, const Conversion& cv, std::u16string_view text) {
  if (cv.precision >= 0 && text.size() > static_cast<size_t>(cv.precision))
    text = text.substr(0, static_cast<size_t>(cv.precision));
  int fill = cv.width - static_cast<int>(text.size());
  if (!cv.left) pad(out, fill, cv.zero ? u'0' : u' ');
  out.append(text);
  if (cv.left) pad(out, fill, u' ');
}

// The narrow printf conversion for a number, e.g. "%-08.3llx".
std::string numberFormat(const Conversion& cv, const char* conv) {
  std::string f = "%";
  if (cv.left) f += '-';
  if (cv.zero) f += '0';
  if (cv.plus) f += '+';
  if (cv.space) f += ' ';
  if (cv.alt) f += '#';
  if (cv.width >= 0) f += std::to_string(cv.width);
  if (cv.precision >= 0) f += "." + std::to_string(cv.precision);
  f += conv;
  return f;
}

template <class T>
void emitNumber(std::u16string& out, const Conversion& cv, const char* conv, T value) {
  std::string f = numberFormat(cv, conv);
  int n = std::snprintf(nullptr, 0, f.c_str(), value);
  if (n <= 0) return;
  std::string s(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(s.data(), s.size(), f.c_str(), value);
  for (int i = 0; i < n; ++i)
    out += static_cast<char16_t>(static_cast<unsigned char>(s[static_cast<size_t>(i)]));
}

int readNumber(std::u16string_view fmt, size_t& i) {
  long long n = 0;
  while (i < fmt.size() && fmt[i] >= u'0' && fmt[i] <= u'9') {
    if (n < 100000) n = n * 10 + (fmt[i] - u'0');
    ++i;
  }
  return static_cast<int>(n);
}

std::u16string formatWith(std::u16string_view fmt, ArgSource& src) {
  std::u16string out;
  size_t i = 0;
  while (i < fmt.size()) {
    char16_t c = fmt[i++];
    if (c != u'%') {
      out += c;
      continue;
    }
    if (i >= fmt.size()) break;
    if (fmt[i] == u'%') {
      out += u'%';
      ++i;
      continue;
    }
    Conversion cv;
    for (bool more = true; more && i < fmt.size();) {
      switch (fmt[i]) {
        case u'-':
          cv.left = true;
          ++i;
          break;
        case u'0':
          cv.zero = true;
          ++i;
          break;
        case u'+':
          cv.plus = true;
          ++i;
          break;
        case u' ':
          cv.space = true;
          ++i;
          break;
        case u'#':
          cv.alt = true;
          ++i;
          break;
        default: more = false;
      }
    }
    if (i < fmt.size() && fmt[i] == u'*') {
      ++i;
      int w = static_cast<int>(src.Signed(Size::Default));
      if (w < 0) {
        cv.left = true;
        w = -w;
      }
      cv.width = w;
    } else if (i < fmt.size() && fmt[i] >= u'0' && fmt[i] <= u'9') {
      cv.width = readNumber(fmt, i);
    }
    if (i < fmt.size() && fmt[i] == u'.') {
      ++i;
      if (i < fmt.size() && fmt[i] == u'*') {
        ++i;
        cv.precision = static_cast<int>(src.Signed(Size::Default));
      } else {
        cv.precision = readNumber(fmt, i);
      }
    }
    if (cv.left) cv.zero = false;
    Size size = Size::Default;
    bool narrowText = false, wideText = false;
    while (i < fmt.size()) {
      char16_t m = fmt[i];
      if (m == u'h') {
        size = Size::Short;
        narrowText = true;
        ++i;
      } else if (m == u'l') {
        ++i;
        if (i < fmt.size() && fmt[i] == u'l') {
          size = Size::Long64;
          ++i;
        }
        wideText = true;
      } else if (m == u'w') {
        wideText = true;
        ++i;
      } else if (m == u'I') {
        if (fmt.substr(i, 3) == u"I64") {
          size = Size::Long64;
          i += 3;
        } else if (fmt.substr(i, 3) == u"I32") {
          i += 3;
        } else {
          size = Size::Pointer;
          ++i;
        }
      } else if (m == u'z' || m == u't' || m == u'j') {
        size = m == u'j' ? Size::Long64 : Size::Pointer;
        ++i;
      } else {
        break;
      }
    }
    if (i >= fmt.size()) break;
    char16_t conv = fmt[i++];
    switch (conv) {
      case u'd':
      case u'i': emitNumber(out, cv, "lld", static_cast<long long>(src.Signed(size))); break;
      case u'u':
        emitNumber(out, cv, "llu", static_cast<unsigned long long>(src.Unsigned(size)));
        break;
      case u'x':
        emitNumber(out, cv, "llx", static_cast<unsigned long long>(src.Unsigned(size)));
        break;
      case u'X':
        emitNumber(out, cv, "llX", static_cast<unsigned long long>(src.Unsigned(size)));
        break;
      case u'o':
        emitNumber(out, cv, "llo", static_cast<unsigned long long>(src.Unsigned(size)));
        break;
      case u'f':
      case u'F':
      case u'e':
      case u'E':
      case u'g':
      case u'G': {
        char conv8[2] = {static_cast<char>(conv), 0};
        emitNumber(out, cv, conv8, src.Real());
        break;
      }
      case u'p': {
        Conversion s = cv;
        s.zero = true;
        if (s.width < 0) s.width = static_cast<int>(sizeof(void*) * 2);
        emitNumber(
            out, s, "llX",
            static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(src.Pointer())));
        break;
      }
      case u'c':
      case u'C': {
        bool narrow = conv == u'C' ? !wideText : narrowText;
        auto v = static_cast<std::uint32_t>(src.Unsigned(Size::Default));
        char16_t ch;
        if (narrow) {
          char b[2] = {static_cast<char>(v & 0xFF), 0};
          std::u16string w = FromAnsi(std::string_view(b, 1));
          ch = w.empty() ? u'?' : w[0];
        } else {
          ch = static_cast<char16_t>(v);
        }
        emitText(out, cv, std::u16string_view(&ch, 1));
        break;
      }
      case u's':
      case u'S': {
        bool narrow = conv == u'S' ? !wideText : narrowText;
        if (narrow) {
          const char* s = src.Narrow();
          if (!s) {
            emitText(out, cv, u"(null)");
          } else {
            // Only the characters that the precision keeps are read.
            size_t n =
                cv.precision >= 0 ? strnlen(s, static_cast<size_t>(cv.precision)) : std::strlen(s);
            emitText(out, cv, FromAnsi(std::string_view(s, n)));
          }
        } else {
          const char16_t* s = src.Wide();
          if (!s) {
            emitText(out, cv, u"(null)");
          } else {
            size_t n = 0;
            while (s[n] && (cv.precision < 0 || n < static_cast<size_t>(cv.precision))) ++n;
            emitText(out, cv, std::u16string_view(s, n));
          }
        }
        break;
      }
      default:
        // An unknown conversion is printed as it stands.
        out += conv;
        break;
    }
  }
  return out;
}

int copyOut(LPWSTR buf, size_t count, const std::u16string& s) {
  if (!buf || count == 0) return 0;
  size_t n = s.size() < count - 1 ? s.size() : count - 1;
  std::memcpy(buf, s.data(), n * sizeof(char16_t));
  buf[n] = 0;
  return static_cast<int>(n);
}

constexpr size_t kWsprintfLimit = 1024;

}  // namespace

std::u16string VFormatW(LPCWSTR fmt, va_list args) {
  if (!fmt) return {};
  VaSource src(args);
  return formatWith(fmt, src);
}

int wvsprintfW(LPWSTR buf, LPCWSTR fmt, va_list args) {
  return copyOut(buf, kWsprintfLimit, VFormatW(fmt, args));
}

int wsprintfW(LPWSTR buf, LPCWSTR fmt, ...) {
  va_list args;
  va_start(args, fmt);
  int n = wvsprintfW(buf, fmt, args);
  va_end(args);
  return n;
}

int FormatToBufferW(LPWSTR buf, size_t count, LPCWSTR fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::u16string s = VFormatW(fmt, args);
  va_end(args);
  return copyOut(buf, count, s);
}

std::u16string FormatArgsW(std::u16string_view fmt, const FormatArg* args, size_t count) {
  TypedSource src(args, count);
  return formatWith(fmt, src);
}
