// INI files with the original platform's reading and writing rules.
//
// A file is kept as its lines, each with its original bytes: a write changes
// only the lines it must, so comments, order, other sections and any bytes
// the code page cannot decode come back exactly as they were.
#include "platform/profile.h"
#include "platform/file.h"
#include "platform/text.h"
#include "platform/winerror.h"

#include <optional>
#include <vector>

namespace {

enum class Encoding { Ansi, Utf8, Utf16 };

struct Line {
  std::string raw;  // the line's bytes without its end
  std::string eol;  // its line end as stored ("" for a last line without one)
  std::u16string text;
};

struct IniFile {
  Encoding encoding = Encoding::Ansi;
  std::string bom;
  std::vector<Line> lines;
};

std::u16string trim(std::u16string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == u' ' || s[b] == u'\t' || s[b] == u'\r')) ++b;
  while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t' || s[e - 1] == u'\r')) --e;
  return std::u16string(s.substr(b, e - b));
}

bool sameName(std::u16string_view a, std::u16string_view b) {
  return lstrcmpiW(std::u16string(a).c_str(), std::u16string(b).c_str()) == 0;
}

std::string encodeText(const IniFile& f, std::u16string_view s) {
  switch (f.encoding) {
    case Encoding::Utf16: return std::string(reinterpret_cast<const char*>(s.data()), s.size() * 2);
    case Encoding::Utf8: return ToUtf8(s);
    default: return ToAnsi(s);
  }
}

std::u16string decodeText(Encoding e, std::string_view raw) {
  switch (e) {
    case Encoding::Utf16: {
      std::u16string w(raw.size() / 2, u'\0');
      for (size_t i = 0; i < w.size(); ++i)
        w[i] = static_cast<char16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                     (static_cast<unsigned char>(raw[2 * i + 1]) << 8));
      return w;
    }
    case Encoding::Utf8: return FromUtf8(raw);
    default: return FromAnsi(raw);
  }
}

IniFile parse(const std::string& bytes) {
  IniFile f;
  size_t pos = 0;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    f.encoding = Encoding::Utf16;
    f.bom = bytes.substr(0, 2);
    pos = 2;
  } else if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    f.encoding = Encoding::Utf8;
    f.bom = bytes.substr(0, 3);
    pos = 3;
  }
  size_t unit = f.encoding == Encoding::Utf16 ? 2 : 1;
  std::string_view body(bytes.data() + pos, bytes.size() - pos);
  if (unit == 2 && body.size() % 2) body.remove_suffix(1);
  auto isChar = [&](size_t i, char c) {
    return body[i] == c && (unit == 1 || body[i + 1] == '\0');
  };
  size_t start = 0;
  while (start < body.size()) {
    size_t i = start;
    while (i < body.size() && !isChar(i, '\n')) i += unit;
    Line line;
    size_t end = i;
    if (i < body.size()) {
      size_t eolStart = (end >= start + unit && isChar(end - unit, '\r')) ? end - unit : end;
      line.eol = std::string(body.substr(eolStart, i + unit - eolStart));
      end = eolStart;
    }
    line.raw = std::string(body.substr(start, end - start));
    line.text = decodeText(f.encoding, line.raw);
    f.lines.push_back(std::move(line));
    start = i + unit;
  }
  return f;
}

std::string serialise(const IniFile& f) {
  std::string out = f.bom;
  for (const Line& l : f.lines) out += l.raw + l.eol;
  return out;
}

// What a line is, for lookups.
struct Parsed {
  enum Kind { Blank, Comment, Section, Entry } kind = Blank;
  std::u16string name;                  // section or key name
  std::optional<std::u16string> value;  // none for a key without "="
};

Parsed classify(const std::u16string& text) {
  Parsed p;
  std::u16string t = trim(text);
  if (t.empty()) return p;
  if (t[0] == u';') {
    p.kind = Parsed::Comment;
    return p;
  }
  if (t[0] == u'[') {
    size_t close = t.rfind(u']');
    if (close != std::u16string::npos) {
      p.kind = Parsed::Section;
      p.name = trim(std::u16string_view(t).substr(1, close - 1));
      return p;
    }
  }
  p.kind = Parsed::Entry;
  size_t eq = t.find(u'=');
  if (eq == std::u16string::npos) {
    p.name = t;
  } else {
    p.name = trim(std::u16string_view(t).substr(0, eq));
    p.value = trim(std::u16string_view(t).substr(eq + 1));
  }
  return p;
}

bool load(LPCWSTR file, IniFile& f) {
  if (!file || !*file) return false;
  std::string bytes;
  if (!ReadWholeFile(ToFileSystemPath(file), bytes)) return false;
  f = parse(bytes);
  return true;
}

// Line index range [first, end) of the first section of that name: first is
// its header.
bool findSection(const IniFile& f, std::u16string_view app, size_t& first, size_t& end) {
  for (size_t i = 0; i < f.lines.size(); ++i) {
    Parsed p = classify(f.lines[i].text);
    if (p.kind != Parsed::Section || !sameName(p.name, app)) continue;
    first = i;
    end = i + 1;
    while (end < f.lines.size() && classify(f.lines[end].text).kind != Parsed::Section) ++end;
    return true;
  }
  return false;
}

constexpr size_t kNone = static_cast<size_t>(-1);

size_t findKey(const IniFile& f, size_t first, size_t end, std::u16string_view key) {
  for (size_t i = first + 1; i < end; ++i) {
    Parsed p = classify(f.lines[i].text);
    if (p.kind == Parsed::Entry && sameName(p.name, key)) return i;
  }
  return kNone;
}

// The value as returned: one pair of enclosing quotes removed.
std::u16string unquote(std::u16string v) {
  if (v.size() >= 2 && (v[0] == u'"' || v[0] == u'\'') && v.back() == v[0])
    return v.substr(1, v.size() - 2);
  return v;
}

DWORD copyValue(const std::u16string& v, LPWSTR ret, DWORD size) {
  DWORD n = static_cast<DWORD>(v.size()) < size - 1 ? static_cast<DWORD>(v.size()) : size - 1;
  std::copy(v.begin(), v.begin() + n, ret);
  ret[n] = 0;
  return n;
}

// Names as a list of zero-terminated strings ended by an empty one; a list
// that does not fit is cut and still double-terminated.
DWORD copyList(const std::vector<std::u16string>& names, LPWSTR ret, DWORD size) {
  if (size == 1) {
    ret[0] = 0;
    return 0;
  }
  DWORD room = size - 1, at = 0;
  for (const auto& n : names) {
    DWORD len = static_cast<DWORD>(n.size()) + 1;
    if (len >= room) {
      if (room > 0) {
        std::copy(n.begin(), n.begin() + (room - 1), ret + at);
        at += room - 1;
        ret[at++] = 0;
      }
      ret[at] = 0;
      return size - 2;
    }
    std::copy(n.begin(), n.end(), ret + at);
    at += len - 1;
    ret[at++] = 0;
    room -= len;
  }
  ret[at] = 0;
  return at;
}

std::u16string defaultValue(LPCWSTR def) {
  std::u16string d = def ? def : u"";
  while (!d.empty() && d.back() == u' ') d.pop_back();
  return d;
}

std::string lineEnd(const IniFile& f) {
  for (const Line& l : f.lines)
    if (!l.eol.empty()) return l.eol;
  return encodeText(f, u"\r\n");
}

Line makeLine(const IniFile& f, std::u16string text) {
  Line l;
  l.text = std::move(text);
  l.raw = encodeText(f, l.text);
  l.eol = lineEnd(f);
  return l;
}

// Lines are inserted after "after"; a last line without an end gets one.
void insertLine(IniFile& f, size_t at, Line line) {
  if (at > 0 && f.lines[at - 1].eol.empty()) f.lines[at - 1].eol = lineEnd(f);
  f.lines.insert(f.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

bool save(LPCWSTR file, const IniFile& f) {
  return WriteFileAtomically(ToFileSystemPath(file), serialise(f));
}

}  // namespace

DWORD GetPrivateProfileStringW(LPCWSTR app, LPCWSTR key, LPCWSTR def, LPWSTR ret, DWORD size,
                               LPCWSTR file) {
  if (!ret || size == 0) return 0;
  IniFile f;
  bool have = load(file, f);
  if (!app) {
    std::vector<std::u16string> names;
    if (have)
      for (const Line& l : f.lines) {
        Parsed p = classify(l.text);
        if (p.kind == Parsed::Section) names.push_back(p.name);
      }
    return copyList(names, ret, size);
  }
  size_t first = 0, end = 0;
  bool section = have && findSection(f, app, first, end);
  if (!key) {
    std::vector<std::u16string> names;
    if (section)
      for (size_t i = first + 1; i < end; ++i) {
        Parsed p = classify(f.lines[i].text);
        if (p.kind == Parsed::Entry) names.push_back(p.name);
      }
    return copyList(names, ret, size);
  }
  if (section) {
    if (size_t at = findKey(f, first, end, key); at != kNone) {
      Parsed p = classify(f.lines[at].text);
      if (p.value) return copyValue(unquote(*p.value), ret, size);
    }
  }
  return copyValue(defaultValue(def), ret, size);
}

UINT GetPrivateProfileIntW(LPCWSTR app, LPCWSTR key, INT def, LPCWSTR file) {
  char16_t buf[64];
  DWORD n = GetPrivateProfileStringW(app, key, u"", buf, 64, file);
  if (n == 0) return static_cast<UINT>(def);
  const char16_t* p = buf;
  while (*p == u' ' || *p == u'\t') ++p;
  bool negative = false;
  if (*p == u'+' || *p == u'-') negative = *p++ == u'-';
  UINT base = 10;
  if (p[0] == u'0' && (p[1] == u'x' || p[1] == u'X')) {
    base = 16;
    p += 2;
  }
  // The value wraps around on overflow, as the original's conversion does.
  UINT v = 0;
  for (;; ++p) {
    UINT d;
    if (*p >= u'0' && *p <= u'9') d = *p - u'0';
    else if (base == 16 && *p >= u'a' && *p <= u'f') d = *p - u'a' + 10;
    else if (base == 16 && *p >= u'A' && *p <= u'F') d = *p - u'A' + 10;
    else break;
    v = v * base + d;
  }
  return negative ? 0u - v : v;
}

BOOL WritePrivateProfileStringW(LPCWSTR app, LPCWSTR key, LPCWSTR value, LPCWSTR file) {
  if (!file || !*file) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!app) {
    // All null asks to flush a cache that we do not keep.
    if (!key && !value) return TRUE;
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  IniFile f;
  bool existed = load(file, f);
  size_t first = 0, end = 0;
  bool section = existed && findSection(f, app, first, end);

  if (!key) {
    if (!section) return TRUE;
    f.lines.erase(f.lines.begin() + static_cast<std::ptrdiff_t>(first),
                  f.lines.begin() + static_cast<std::ptrdiff_t>(end));
    return save(file, f) ? TRUE : FALSE;
  }
  size_t at = section ? findKey(f, first, end, key) : kNone;
  if (!value) {
    if (at == kNone) return TRUE;
    f.lines.erase(f.lines.begin() + static_cast<std::ptrdiff_t>(at));
    return save(file, f) ? TRUE : FALSE;
  }
  // A line break in a value would split the line and corrupt the section.
  std::u16string v = value;
  for (auto& c : v)
    if (c == u'\r' || c == u'\n') c = u' ';
  if (at != kNone) {
    Parsed p = classify(f.lines[at].text);
    if (p.value && *p.value == trim(v)) return TRUE;
    // The key keeps its spelling in the file.
    Line l = makeLine(f, p.name + u"=" + v);
    l.eol = f.lines[at].eol;
    f.lines[at] = std::move(l);
  } else if (section) {
    size_t after = first + 1;
    for (size_t i = first + 1; i < end; ++i)
      if (classify(f.lines[i].text).kind == Parsed::Entry) after = i + 1;
    insertLine(f, after, makeLine(f, std::u16string(key) + u"=" + v));
  } else {
    if (!f.lines.empty() && !trim(f.lines.back().text).empty())
      insertLine(f, f.lines.size(), makeLine(f, u""));
    insertLine(f, f.lines.size(), makeLine(f, u"[" + std::u16string(app) + u"]"));
    insertLine(f, f.lines.size(), makeLine(f, std::u16string(key) + u"=" + v));
  }
  return save(file, f) ? TRUE : FALSE;
}

std::u16string GetProfileStringW(const std::u16string& file, const std::u16string& app,
                                 const std::u16string& key, const std::u16string& def) {
  std::vector<char16_t> buf(4096);
  DWORD n = GetPrivateProfileStringW(app.c_str(), key.c_str(), def.c_str(), buf.data(),
                                     static_cast<DWORD>(buf.size()), file.c_str());
  return std::u16string(buf.data(), n);
}
