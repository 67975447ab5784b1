// The scalar item classes: integer, real, string, opaque byte block, GUID.
#pragma once

#include "item.h"

class KEYTREE_API CLinteger : public CItem {
  DECLARE_SERIAL(CLinteger)

 public:
  CLinteger(long value = 0);
  CLinteger(const CLinteger& other);
  ~CLinteger() override;

  operator long() const { return m_value; }
  CLinteger& operator=(const CLinteger& other);
  // Copies the value of another integer item; anything else leaves this unchanged.
  CLinteger& operator=(CItem* other);

  // 32-bit wrap-around; division and remainder by zero give 0 and the
  // dividend unchanged respectively instead of trapping.
  CLinteger operator+(const CLinteger& b) const;
  CLinteger operator-(const CLinteger& b) const;
  CLinteger operator*(const CLinteger& b) const;
  CLinteger operator/(const CLinteger& b) const;
  CLinteger operator%(const CLinteger& b) const;
  CLinteger& operator+=(const CLinteger& b);
  CLinteger& operator-=(const CLinteger& b);
  CLinteger& operator*=(const CLinteger& b);
  CLinteger& operator/=(const CLinteger& b);
  CLinteger& operator%=(const CLinteger& b);
  CLinteger operator-() const;
  CLinteger operator++();  // a copy of the new value
  CLinteger operator--();

  CItem* Duplicate() const override;
  CString ToString() const override;
  int FromString(const char* text, int len) override;
  unsigned int GetBinarizeSize() const override;
  int Binarize(unsigned char*& cursor, int& remaining) const override;
  using CItem::Unbinarize;
  int Unbinarize(const unsigned char* record, size_t available) override;
  int IsEqual(const CItem& other) const override;

  static CItem* CreateFromString(const char* text, int len);

 private:
  int32_t m_value;
};

class KEYTREE_API CLreal : public CItem {
  DECLARE_SERIAL(CLreal)

 public:
  CLreal(double value = 0.0);
  CLreal(const CLreal& other);
  ~CLreal() override;

  operator double() const { return m_value; }
  CLreal& operator=(const CLreal& other);
  CLreal& operator=(CItem* other);

  CLreal operator+(const CLreal& b) const;
  CLreal operator-(const CLreal& b) const;
  CLreal operator*(const CLreal& b) const;
  CLreal operator/(const CLreal& b) const;
  CLreal& operator+=(const CLreal& b);
  CLreal& operator-=(const CLreal& b);
  CLreal& operator*=(const CLreal& b);
  CLreal& operator/=(const CLreal& b);
  CLreal operator-() const;
  CLreal operator++();  // adds 1.0; a copy of the new value
  CLreal operator--();

  CItem* Duplicate() const override;
  CString ToString() const override;
  int FromString(const char* text, int len) override;
  unsigned int GetBinarizeSize() const override;
  int Binarize(unsigned char*& cursor, int& remaining) const override;
  using CItem::Unbinarize;
  int Unbinarize(const unsigned char* record, size_t available) override;
  int IsEqual(const CItem& other) const override;

  static CItem* CreateFromString(const char* text, int len);

 private:
  double m_value;
};

// A string item is a string too: it converts to const char* and CString.
class KEYTREE_API CLstring : public CItem, public CString {
  DECLARE_SERIAL(CLstring)

 public:
  CLstring();
  CLstring(const char* text, int len = -1);  // len < 0: up to the NUL
  CLstring(const CLstring& other);
  ~CLstring() override;

  CLstring& operator=(const CLstring& other);
  CLstring& operator=(const char* text);
  bool operator==(const CLstring& other) const { return IsEqual(other) > 0; }
  bool operator!=(const CLstring& other) const { return IsEqual(other) <= 0; }

  CItem* Duplicate() const override;
  CString ToString() const override;
  int FromString(const char* text, int len) override;
  unsigned int GetBinarizeSize() const override;
  int Binarize(unsigned char*& cursor, int& remaining) const override;
  using CItem::Unbinarize;
  int Unbinarize(const unsigned char* record, size_t available) override;
  int IsEqual(const CItem& other) const override;

  static CItem* CreateFromString(const char* text, int len);

 private:
  // Any change of the text counts as a change of the list holding the item,
  // so that a key renamed in place is seen by the key tree's index.
  static void TextChanged(CString* text);
};

// An opaque block of bytes that the item owns.
class KEYTREE_API CLuser : public CItem {
  DECLARE_SERIAL(CLuser)

 public:
  CLuser();
  // Null data: len zero bytes. Out of memory, the block is empty.
  CLuser(const void* data, int len);
  CLuser(const CLuser& other);
  ~CLuser() override;
  CLuser& operator=(const CLuser& other);  // out of memory: unchanged

  const unsigned char* GetBuf() const { return m_pBuf; }
  unsigned char* GetBuf() { return m_pBuf; }
  unsigned int GetLen() const { return m_nLen; }

  CItem* Duplicate() const override;
  CString ToString() const override;
  int FromString(const char* text, int len) override;
  unsigned int GetBinarizeSize() const override;
  int Binarize(unsigned char*& cursor, int& remaining) const override;
  using CItem::Unbinarize;
  int Unbinarize(const unsigned char* record, size_t available) override;
  int IsEqual(const CItem& other) const override;

  static CItem* CreateFromString(const char* text, int len);

 private:
  // False, with the block unchanged, when memory runs out.
  bool Assign(const unsigned char* data, unsigned int len);
  unsigned char* m_pBuf = nullptr;
  unsigned int m_nLen = 0;
};

class KEYTREE_API CLguid : public CItem {
  DECLARE_SERIAL(CLguid)

 public:
  CLguid();
  CLguid(const GUID& value);
  CLguid(const CLguid& other);
  ~CLguid() override;

  operator GUID() const { return m_value; }
  CLguid& operator=(const CLguid& other);
  CLguid& operator=(CItem* other);

  CItem* Duplicate() const override;
  CString ToString() const override;
  int FromString(const char* text, int len) override;
  unsigned int GetBinarizeSize() const override;
  int Binarize(unsigned char*& cursor, int& remaining) const override;
  using CItem::Unbinarize;
  int Unbinarize(const unsigned char* record, size_t available) override;
  int IsEqual(const CItem& other) const override;

  // Never fails for a text: anything that is not a GUID text gives zero.
  static CItem* CreateFromString(const char* text, int len);

 private:
  GUID m_value;
};
