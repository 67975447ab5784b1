// CItem: the abstract typed item. Items link into item lists (which then own
// them), print and parse a text form, and pack into a binary record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cstring.h"
#include "guid.h"
#include "keytree_api.h"
#include "object.h"

class CItem;
class CItemList;
class CKeyTree;
class CLuser;

// The second "no item" value: key tree look-ups return it for a missing key.
// Every operation that accepts no item accepts both null and this.
#define LS_INVALID_ITEM (reinterpret_cast<CItem*>(~static_cast<uintptr_t>(0)))

enum LS_INSERT_MODE {
  LS_INSERT_BEFORE = 0,
  LS_INSERT_AFTER = 1,
  LS_REPLACE = 2,
  LS_REPLACE_DELETE = 3,
};

// Type tags of the binary item record.
enum LS_ITEM_TYPE {
  LS_TYPE_INTEGER = 0,
  LS_TYPE_REAL = 1,
  LS_TYPE_STRING = 2,
  LS_TYPE_USER = 3,
  LS_TYPE_LIST = 4,
  LS_TYPE_KEYTREE = 5,
  LS_TYPE_GUID = 6,
};

// Text and binary input nested deeper than this many lists is refused with the
// ordinary failure result, so that hostile input cannot exhaust the stack.
constexpr int LS_MAX_NESTING = 1000;

// Size of the header of every binary item record: tag and total length.
constexpr unsigned int LS_RECORD_HEADER = 5;

// True for a pointer that is an item (neither null nor LS_INVALID_ITEM).
inline bool IsItem(const CItem* item) { return item != nullptr && item != LS_INVALID_ITEM; }

class KEYTREE_API CItem : public CObject {
  DECLARE_DYNAMIC(CItem)

 public:
  ~CItem() override;  // unlinks the item from its list first

  // Archive exchange: the item's ToString() as one archive string; loading
  // reads one string and takes it through FromString(text, -1).
  void Serialize(CArchive& ar) override;

  // Deep copy of the same class, linked nowhere.
  virtual CItem* Duplicate() const = 0;
  virtual CString ToString() const = 0;
  // Replaces the value by the one parsed from text; 1, or 0 with the value unchanged.
  virtual int FromString(const char* text, int len) = 0;
  virtual unsigned int GetBinarizeSize() const = 0;
  // Writes the record at cursor, advances it and decreases remaining; 1, or 0
  // without writing when the record does not fit.
  virtual int Binarize(unsigned char*& cursor, int& remaining) const = 0;
  // Replaces the value from a whole record (its length field is trusted to
  // describe bytes that are there); 1, or 0 with the value unchanged.
  int Unbinarize(const unsigned char* record);
  // The same for a record of which only available bytes may be read: a record
  // whose stated length runs past them is refused.
  virtual int Unbinarize(const unsigned char* record, size_t available) = 0;
  virtual int IsEqual(const CItem& other) const = 0;

  bool operator==(const CItem& other) const { return IsEqual(other) > 0; }
  bool operator!=(const CItem& other) const { return IsEqual(other) <= 0; }

  // Links managed by the list operations.
  CItem* Next() const { return m_pNext; }
  CItem* Prev() const { return m_pPrev; }
  CItemList* Root() const { return reinterpret_cast<CItemList*>(m_root & ~kKindMask); }

  // The exact class of an item held by a list, among the library's own
  // classes, recorded when it was linked (so that walks over trees need no
  // virtual call to tell keys, values and subtrees apart). LS_KIND_OTHER for
  // other classes, derived ones included, and for items in no list.
  enum LinkedKind : unsigned {
    LS_KIND_OTHER = 0,
    LS_KIND_INTEGER,
    LS_KIND_REAL,
    LS_KIND_STRING,
    LS_KIND_USER,
    LS_KIND_LIST,
    LS_KIND_KEYTREE,
    LS_KIND_GUID,
  };
  LinkedKind GetLinkedKind() const { return static_cast<LinkedKind>(m_root & kKindMask); }

  // Unlinks from the holding list (or from the items it is chained to); the
  // item is not deleted.
  void Remove();
  // Places item relative to ref (see LS_INSERT_MODE). Null when either is no
  // item, the mode is unknown, item is ref, or item holds ref's list.
  static CItem* Insert(CItem* item, LS_INSERT_MODE mode, CItem* ref);
  // Zero-based position in the holding list; -1 when in no list.
  int GetIndex() const;

  // Typed reads with a default. They also answer for null and LS_INVALID_ITEM
  // pointers; C++ code that may hold such a pointer should prefer the free
  // functions below (IntOf and the others), which take it as an argument.
  long AsInt(long def) const;
  double AsReal(double def) const;
  const char* AsStr(const char* def) const;
  CString AsCStr(const char* def) const;
  GUID AsGuid(GUID def) const;
  CItemList* AsItemList(CItemList* def) const;
  CKeyTree* AsKeyTree(CKeyTree* def) const;  // defined with CKeyTree
  CLuser* AsUser(CLuser* def) const;

  // Generic parse: tries key tree, list, string, integer, real, user block and
  // GUID in that order. Null only for a null text (or input nested too deeply);
  // any text no other class accepts becomes an all-zero GUID.
  static CItem* CreateFromString(const char* text, int len);
  // Builds an item of the tagged class from a whole binary record; null when
  // the record is refused.
  static CItem* CreateFromBuf(const unsigned char* record);
  // The same, reading no more than available bytes.
  static CItem* CreateFromBuf(const unsigned char* record, size_t available);

 protected:
  CItem() = default;
  // Copies are unlinked: the links belong to the list, not to the value.
  CItem(const CItem&) : CObject() {}
  CItem& operator=(const CItem&) { return *this; }

 private:
  friend class CItemList;
  static constexpr uintptr_t kKindMask = 7;  // lists are aligned to 8 at least
  // Links the item to root (null: to no list), recording its kind.
  void SetRoot(CItemList* root);
  CItem* m_pNext = nullptr;
  CItem* m_pPrev = nullptr;
  uintptr_t m_root = 0;  // the holding list, with the LinkedKind in its low bits
};

// Typed reads taking the item first; null and LS_INVALID_ITEM give the default.
KEYTREE_API long IntOf(const CItem* item, long def);
KEYTREE_API double RealOf(const CItem* item, double def);
KEYTREE_API const char* StrOf(const CItem* item, const char* def);
KEYTREE_API CString CStrOf(const CItem* item, const char* def);
KEYTREE_API GUID GuidOf(const CItem* item, GUID def);

// Writes the item's text (indented for lists) to the debugger output channel.
KEYTREE_API void DumpCItem(const CItem* item);

// Registers the library's classes again, for a client that keeps its own
// class registry.
KEYTREE_API void InitListDLL();
