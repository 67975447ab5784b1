// Look-up in one level of a key tree. The defining algorithm walks the level's
// key nodes from the first and stops at the first key not smaller than the
// wanted one; a level of many keys keeps an index beside its list so that the
// same answer comes from a binary search. The index is trusted only while the
// level's change count is the one it was built at, and only when the level is
// in order and every child is a well-formed key node: a level that is not
// (as text or binary input may give) is walked, with the walk's exact results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "keytree/ckeytree.h"
#include "keytree/scalars.h"

namespace kt {

struct KeyIndex {
  uint64_t version = 0;           // the level's change count when built
  bool sorted = false;            // well-formed and in order: searchable
  std::vector<CItemList*> nodes;  // the key nodes in list order, when sorted
};

// The result of finding one path segment in a level.
struct Found {
  bool ok = false;             // false: a malformed key node stopped the walk
  CItemList* match = nullptr;  // the node whose key equals the segment
  CItem* stop = nullptr;       // the first node whose key is not smaller
  size_t pos = 0;              // stop's position, when found by the index
};

inline bool IsList(const CItem* item) { return IsListItem(item); }

// The key string of the first child of a list, or null.
inline const CLstring* HeadKey(const CItemList* node) {
  const CItem* head = node->Head();
  if (!head) return nullptr;
  switch (head->GetLinkedKind()) {
    case CItem::LS_KIND_STRING: return static_cast<const CLstring*>(head);
    case CItem::LS_KIND_OTHER: break;
    default: return nullptr;
  }
  const CRuntimeClass* cls = head->GetRuntimeClass();
  if (cls != RUNTIME_CLASS(CLstring) &&
      (cls->m_pBaseClass == RUNTIME_CLASS(CItem) || !cls->IsDerivedFrom(RUNTIME_CLASS(CLstring))))
    return nullptr;
  return static_cast<const CLstring*>(head);
}

// The key string of a well-formed key node, or null.
inline const CLstring* KeyOf(const CItem* node) {
  return IsList(node) ? HeadKey(static_cast<const CItemList*>(node)) : nullptr;
}

// The value of a key node: its tail, unless that is its key.
inline CItem* ValueOf(const CItemList* node) {
  CItem* head = node->Head();
  CItem* tail = node->Tail();
  return head && tail != head ? tail : nullptr;
}

inline bool IsTree(const CItem* item) { return IsItem(item) && IsTreeItem(item); }

// Key against segment [seg, seg + n), which holds no NUL: bytes compared as
// unsigned characters, and with those equal the shorter is the smaller.
inline int CompareKey(const char* key, const char* seg, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    unsigned char a = static_cast<unsigned char>(key[i]);
    unsigned char b = static_cast<unsigned char>(seg[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  return key[n] == '\0' ? 0 : 1;
}

struct KeyTreeAccess {
  static Found Find(const CKeyTree& level, const char* seg, size_t n);
  // Follows path; with create, makes the keys and subtrees that are missing.
  // The key node the path names, or null.
  static CItemList* Locate(const CKeyTree& tree, const char* path, bool create);

  // Changes to a level through which its index stays exact.
  static bool IndexValid(const CKeyTree& level);
  static void Revalidate(const CKeyTree& level);
  static CItemList* InsertKey(CKeyTree& level, const char* seg, size_t n, const Found& where);
  static void DeleteNode(CKeyTree& level, CItemList* node);
  // Links value as node's value (the old one, if any, deleted); false when
  // the value cannot be linked there.
  static bool SetValue(CItemList* node, CItem* value);

  static void Build(const CKeyTree& level);
  static void Drop(const CKeyTree& level);
};

}  // namespace kt
