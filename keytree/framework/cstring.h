// 8-bit character string (system code page, multi-byte text kept as bytes).
// It converts to const char* wherever a C string is expected.
#pragma once

#include <string>

#include "keytree_api.h"

class KEYTREE_API CString {
 public:
  CString() = default;
  CString(const char* text);           // null gives an empty string
  CString(const char* text, int len);  // exactly len bytes (len < 0: up to the NUL)
  CString(char ch, int repeat = 1);
  // Copies take the text only: whoever watches a string watches that one.
  CString(const CString& other) : m_str(other.m_str) {}
  CString(CString&& other) noexcept : m_str(std::move(other.m_str)) { other.Changed(); }
  CString& operator=(const CString& other);
  CString& operator=(CString&& other) noexcept;
  CString& operator=(const char* text);
  ~CString() = default;

  operator const char*() const { return m_str.c_str(); }
  const char* GetString() const { return m_str.c_str(); }
  int GetLength() const { return static_cast<int>(m_str.size()); }
  bool IsEmpty() const { return m_str.empty(); }
  void Empty() {
    m_str.clear();
    Changed();
  }
  char GetAt(int i) const { return m_str[static_cast<size_t>(i)]; }
  char operator[](int i) const { return GetAt(i); }

  CString& operator+=(const CString& s);
  CString& operator+=(const char* s);
  CString& operator+=(char ch);

  // Byte-wise comparison up to the first NUL, like strcmp.
  int Compare(const char* s) const;

  CString Left(int count) const;
  CString Mid(int first, int count = -1) const;
  CString Right(int count) const;
  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;

  // Direct access for writers: room for at least minLength bytes; after
  // writing, ReleaseBuffer takes the length (-1: up to the first NUL). The
  // text counts as changed at both calls.
  char* GetBuffer(int minLength);
  void ReleaseBuffer(int newLength = -1);

  KEYTREE_API friend CString operator+(const CString& a, const CString& b);
  KEYTREE_API friend CString operator+(const CString& a, const char* b);
  KEYTREE_API friend CString operator+(const char* a, const CString& b);

  const std::string& str() const { return m_str; }

 protected:
  // Called after every change of the text, for a derived class that must
  // know (a key string tells the key tree holding it). Set by that class.
  using ChangeHook = void (*)(CString* changed);
  void SetChangeHook(ChangeHook hook) { m_onChange = hook; }

 private:
  void Changed() {
    if (m_onChange) m_onChange(this);
  }

  std::string m_str;
  ChangeHook m_onChange = nullptr;
};

inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, const char* b) { return !(a == b); }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
