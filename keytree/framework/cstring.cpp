#include "cstring.h"

#include <algorithm>
#include <cstring>

CString::CString(const char* text) : m_str(text ? text : "") {}

CString::CString(const char* text, int len) {
  if (!text) return;
  if (len < 0) m_str.assign(text);
  else m_str.assign(text, static_cast<size_t>(len));
}

CString::CString(char ch, int repeat) {
  if (repeat > 0) m_str.assign(static_cast<size_t>(repeat), ch);
}

CString& CString::operator=(const CString& other) {
  if (&other != this) m_str = other.m_str;
  Changed();
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  if (&other != this) {
    m_str = std::move(other.m_str);
    other.m_str.clear();
    other.Changed();
  }
  Changed();
  return *this;
}

CString& CString::operator=(const char* text) {
  if (text) m_str.assign(text);
  else m_str.clear();
  Changed();
  return *this;
}

CString& CString::operator+=(const CString& s) {
  m_str += s.m_str;
  Changed();
  return *this;
}

CString& CString::operator+=(const char* s) {
  if (s) m_str += s;
  Changed();
  return *this;
}

CString& CString::operator+=(char ch) {
  m_str += ch;
  Changed();
  return *this;
}

int CString::Compare(const char* s) const { return std::strcmp(m_str.c_str(), s ? s : ""); }

CString CString::Left(int count) const {
  if (count <= 0) return CString();
  size_t n = std::min(m_str.size(), static_cast<size_t>(count));
  return CString(m_str.data(), static_cast<int>(n));
}

CString CString::Mid(int first, int count) const {
  if (first < 0) first = 0;
  if (static_cast<size_t>(first) >= m_str.size() || count == 0) return CString();
  size_t n = count < 0 ? std::string::npos : static_cast<size_t>(count);
  std::string part = m_str.substr(static_cast<size_t>(first), n);
  return CString(part.data(), static_cast<int>(part.size()));
}

CString CString::Right(int count) const {
  if (count <= 0) return CString();
  size_t n = static_cast<size_t>(count);
  if (n >= m_str.size()) return *this;
  return Mid(static_cast<int>(m_str.size() - n));
}

int CString::Find(char ch, int start) const {
  if (start < 0) start = 0;
  size_t at = m_str.find(ch, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* sub, int start) const {
  if (!sub || start < 0) return -1;
  size_t at = m_str.find(sub, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

char* CString::GetBuffer(int minLength) {
  if (minLength > 0 && m_str.size() < static_cast<size_t>(minLength))
    m_str.resize(static_cast<size_t>(minLength));
  Changed();
  return m_str.data();
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0) m_str.resize(std::strlen(m_str.c_str()));
  else if (static_cast<size_t>(newLength) <= m_str.size())
    m_str.resize(static_cast<size_t>(newLength));
  Changed();
}

CString operator+(const CString& a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}

CString operator+(const CString& a, const char* b) {
  CString r(a);
  r += b;
  return r;
}

CString operator+(const char* a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
