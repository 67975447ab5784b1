#include <cstdio>
#include <cstring>
#include <string>

#include "keytree/scalars.h"
#include "record.h"
#include "textscan.h"

IMPLEMENT_SERIAL(CLstring, CItem, 1)

namespace {

// Control characters other than tab and line feed are written as "\x" and
// their hexadecimal value; bytes from 0x80 up pass unchanged.
bool IsEscapedControl(unsigned char c) { return (c < 32 && c != '\t' && c != '\n') || c == 127; }

// Decodes the text between the quotes; false for an escape the form does not have.
bool Unescape(const char* p, const char* end, std::string& out) {
  while (p < end) {
    char c = *p++;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (p == end) return false;  // a backslash right before the closing quote
    char e = *p++;
    if (e == '"' || e == '\\') {
      out += e;
    } else if (e == 'x') {
      uint32_t value;
      size_t consumed;
      if (!kt::ScanHex(p, end, 0, value, consumed)) return false;
      out += static_cast<char>(value & 0xFF);
      p += consumed;
    } else {
      return false;
    }
  }
  return true;
}

// Parses a quoted text; false leaves out unspecified.
bool ParseQuoted(const char* text, int len, std::string& out) {
  if (!text) return false;
  const char* p = text;
  const char* end = text + kt::TextLength(text, len);
  kt::Trim(p, end);
  if (end - p < 2 || p[0] != '"' || end[-1] != '"') return false;
  return Unescape(p + 1, end - 1, out);
}

}  // namespace

CLstring::CLstring() { SetChangeHook(&CLstring::TextChanged); }
CLstring::CLstring(const char* text, int len) : CString(text, len) {
  SetChangeHook(&CLstring::TextChanged);
}
CLstring::CLstring(const CLstring& other) : CItem(other), CString(other) {
  SetChangeHook(&CLstring::TextChanged);
}

void CLstring::TextChanged(CString* text) {
  if (CItemList* holder = static_cast<CLstring*>(text)->Root()) CItemList::NoteChange(holder);
}
CLstring::~CLstring() = default;

CLstring& CLstring::operator=(const CLstring& other) {
  CString::operator=(other);
  return *this;
}

CLstring& CLstring::operator=(const char* text) {
  CString::operator=(text);
  return *this;
}

CItem* CLstring::Duplicate() const { return new (std::nothrow) CLstring(*this); }

CString CLstring::ToString() const {
  std::string out = "\"";
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(GetString()); *p; ++p) {
    if (*p == '"') {
      out += "\\\"";
    } else if (*p == '\\') {
      out += "\\\\";
    } else if (IsEscapedControl(*p)) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%x", *p);
      out += hex;
    } else {
      out += static_cast<char>(*p);
    }
  }
  out += '"';
  return CString(out.data(), static_cast<int>(out.size()));
}

int CLstring::FromString(const char* text, int len) {
  std::string value;
  if (!ParseQuoted(text, len, value)) return 0;
  CString::operator=(CString(value.data(), static_cast<int>(value.size())));
  return 1;
}

CItem* CLstring::CreateFromString(const char* text, int len) {
  std::string value;
  if (!ParseQuoted(text, len, value)) return nullptr;
  return new (std::nothrow) CLstring(value.data(), static_cast<int>(value.size()));
}

unsigned int CLstring::GetBinarizeSize() const {
  return static_cast<unsigned int>(std::strlen(GetString())) + LS_RECORD_HEADER + 1;
}

int CLstring::Binarize(unsigned char*& cursor, int& remaining) const {
  uint32_t total = GetBinarizeSize();
  if (!kt::BeginRecord(cursor, remaining, LS_TYPE_STRING, total)) return 0;
  std::memcpy(cursor + LS_RECORD_HEADER, GetString(), total - LS_RECORD_HEADER);  // with the NUL
  return kt::EndRecord(cursor, remaining, total);
}

int CLstring::Unbinarize(const unsigned char* record, size_t available) {
  uint32_t total;
  if (!kt::CheckHeader(record, available, LS_TYPE_STRING, LS_RECORD_HEADER, total)) return 0;
  // The text ends at the first NUL of the payload, or with the payload.
  const char* payload = reinterpret_cast<const char*>(record + LS_RECORD_HEADER);
  size_t room = total - LS_RECORD_HEADER;
  const void* nul = std::memchr(payload, 0, room);
  size_t len = nul ? static_cast<size_t>(static_cast<const char*>(nul) - payload) : room;
  CString::operator=(CString(payload, static_cast<int>(len)));
  return 1;
}

int CLstring::IsEqual(const CItem& other) const {
  if (other.GetRuntimeClass() != RUNTIME_CLASS(CLstring)) return 0;
  return std::strcmp(GetString(), static_cast<const CLstring&>(other).GetString()) == 0;
}
