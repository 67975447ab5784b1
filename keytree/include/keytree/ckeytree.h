// CKeyTree: a sorted tree of keys addressed by dotted paths ("a.b.c"), each
// key holding one value (any item) or a subtree of further keys; and
// CKeyTreeIterator, which walks one level of it.
//
// A tree's children are key nodes, in ascending key order. A key node is a
// CKeyTree holding the key (a CLstring, one path segment) and, when the key
// has one, the value; a value that is a CKeyTree is the next level.
#pragma once

#include <cstddef>
#include <cstdint>

#include "itemlist.h"
#include "keytree/variant.h"
#include "scalars.h"

namespace kt {
struct KeyIndex;
struct KeyTreeAccess;
}  // namespace kt

class KEYTREE_API CKeyTree : public CItemList {
  DECLARE_SERIAL(CKeyTree)

 public:
  CKeyTree();
  CKeyTree(const CKeyTree& other);  // deep copy
  // A tree read from the variant's byte array (a binary list or tree record);
  // the variant is cleared.
  CKeyTree(COleVariant v);
  ~CKeyTree() override;

  // Deep assignment; the target first leaves the list that holds it.
  CKeyTree& operator=(const CKeyTree& other);
  // The same from an item, done only when it is a real item of kind CKeyTree
  // other than this tree.
  CKeyTree& operator=(CItem* other);

  int FromString(const char* text, int len) override;
  int Binarize(unsigned char*& cursor, int& remaining) const override;
  int IsEqual(const CItem& other) const override;
  // The list parse with the opening token "(."; null unless the text is one.
  static CItem* CreateFromString(const char* text, int len);

  // ---- keys (results that are items may be LS_INVALID_ITEM) ----

  // Creates the missing keys of path; links value to the last one when it has
  // no value yet and returns value. LS_INVALID_ITEM (value not taken) when
  // the key has a value already or the path leads through a leaf.
  CItem* AddKey(const char* path, CItem* value);
  CItem* AddKey(const char* path, std::nullptr_t) {
    return AddKey(path, static_cast<CItem*>(nullptr));
  }
  CItem* AddKey(const char* path, int value);
  CItem* AddKey(const char* path, double value);
  CItem* AddKey(const char* path, const char* value);
  CItem* AddKey(const char* path, GUID value);

  // Replaces the value of an existing key (the old value is deleted) and
  // returns value; LS_INVALID_ITEM (value not taken) when the key is missing.
  CItem* SetAt(const char* path, CItem* value);
  CItem* SetAt(const char* path, std::nullptr_t) {
    return SetAt(path, static_cast<CItem*>(nullptr));
  }
  CItem* SetAt(const char* path, int value);
  CItem* SetAt(const char* path, double value);
  CItem* SetAt(const char* path, const char* value);
  CItem* SetAt(const char* path, GUID value);

  // The value; null for a key without one, LS_INVALID_ITEM for no key.
  CItem* GetAt(const char* path) const;
  // Deletes the key with its value and subtree, then every ancestor key left
  // with an empty subtree by that; 1, or 0 when there is no such key.
  int DeleteKey(const char* path);
  // The key node itself, or LS_INVALID_ITEM.
  CItemList* GetKeyNode(const char* path) const;
  // The first (last) key node under the key: null when the key holds no
  // subtree or an empty one, LS_INVALID_ITEM when there is no key. A null or
  // empty path asks for the tree's own first (last) key node.
  CItemList* GetFirstChildNode(const char* path) const;
  CItemList* GetLastChildNode(const char* path) const;

  // Copies every key of source into this tree; a leaf or empty key of the
  // source replaces what this tree holds at that key.
  void Merge(const CKeyTree* source);
  // 1 when every key of this tree is in other with an equal value.
  int IsSubsetOf(const CKeyTree* other) const;

  // ---- variant and files ----
  // Every file operation records the file's absolute path under the key
  // "FileName"; the binary and archive saves record schema under "Schema".
  // A file is written under a temporary name beside its target and renamed
  // into place once complete, so a failed save leaves the old file.

  COleVariant GetAsVariant() const;
  int BinSave(const char* path, int schema);    // 1, or 0 when not written
  int BinLoad(const char* path);                // 1, or 0
  int Save(const char* path, int schema);       // archive file: 1, or 0 when not created
  void SaveEx(const char* path, int schema);    // raises CFileException instead of 0
  int Load(const char* path);                   // 1, or 0 when it cannot be opened
  void LoadEx(const char* path);                // raises CFileException instead of 0
  static CKeyTree* LoadExEx(const char* path);  // a new tree, or null
  int GenericLoad(const char* path);            // BinLoad, else Load
  void SaveInIndentedFormat(const char* path);  // raises CFileException on failure

  // The absolute form of path (made whether or not the file exists).
  static CString FullPath(const char* path);

 private:
  friend struct kt::KeyTreeAccess;
  CItemList* ChildNode(const char* path, CItem* (CItemList::*end)() const) const;
  void SetFileKeys(const char* path, const int* schema);
  void ReplaceContent(CKeyTree* loaded);

  mutable kt::KeyIndex* m_pIndex = nullptr;  // look-up index of this level
};

namespace kt {

// Kind tests. An item in a list carries its exact class when it is one of
// the library's own; only other items (unlinked, or of derived classes) ask
// their class descriptor.
inline bool IsListItem(const CItem* item) {
  switch (item->GetLinkedKind()) {
    case CItem::LS_KIND_LIST:
    case CItem::LS_KIND_KEYTREE: return true;
    case CItem::LS_KIND_OTHER: break;
    default: return false;
  }
  const CRuntimeClass* cls = item->GetRuntimeClass();
  return cls == RUNTIME_CLASS(CKeyTree) || cls == RUNTIME_CLASS(CItemList) ||
         (cls->m_pBaseClass != RUNTIME_CLASS(CItem) &&
          cls->IsDerivedFrom(RUNTIME_CLASS(CItemList)));
}

inline bool IsTreeItem(const CItem* item) {
  switch (item->GetLinkedKind()) {
    case CItem::LS_KIND_KEYTREE: return true;
    case CItem::LS_KIND_OTHER: break;
    default: return false;
  }
  const CRuntimeClass* cls = item->GetRuntimeClass();
  return cls == RUNTIME_CLASS(CKeyTree) ||
         (cls->m_pBaseClass != RUNTIME_CLASS(CItem) && cls->IsDerivedFrom(RUNTIME_CLASS(CKeyTree)));
}

// True when item's class is exactly cls; kind is the linked kind of cls.
inline bool IsExactly(const CItem* item, CItem::LinkedKind kind, const CRuntimeClass* cls) {
  CItem::LinkedKind k = item->GetLinkedKind();
  if (k != CItem::LS_KIND_OTHER) return k == kind;
  return item->GetRuntimeClass() == cls;
}

}  // namespace kt

// Walks the key nodes of one level.
class KEYTREE_API CKeyTreeIterator {
 public:
  CKeyTreeIterator(CKeyTree* tree);

  // To the next key node, or past the end.
  void operator++(int) {
    if (m_pNode) m_pNode = AsNode(m_pNode->Next());
  }
  bool isValid() const { return m_pNode != nullptr; }
  // Past the end of a top-level walk (a deeper walk's end is !isValid()).
  bool EoKT() const { return m_pNode == nullptr && m_nLevel == 0; }
  CString key() const;
  // The same text without a copy: valid while the key node lives and its
  // key is not changed; "" when there is none.
  const char* keyText() const {
    const CItem* head = m_pNode ? m_pNode->Head() : nullptr;
    if (head && head->GetLinkedKind() == CItem::LS_KIND_STRING)
      return static_cast<const CLstring*>(head)->GetString();
    return OtherKeyText();
  }
  CItem* operator*() const { return value(); }
  CItem* value() const {
    if (!m_pNode) return nullptr;
    CItem* head = m_pNode->Head();
    CItem* tail = m_pNode->Tail();
    return head && tail != head ? tail : nullptr;
  }
  // True unless the value is a subtree.
  bool isLeaf() const {
    CItem* v = value();
    return !v || !kt::IsTreeItem(v);
  }
  CKeyTreeIterator nextLevel() const {
    CItem* v = value();
    CItemList* first = v && kt::IsTreeItem(v) ? AsNode(static_cast<CKeyTree*>(v)->Head()) : nullptr;
    return CKeyTreeIterator(first, m_nLevel + 1);
  }
  long getLevel() const { return m_nLevel; }

 private:
  const char* OtherKeyText() const;  // keys of classes derived from CLstring
  CKeyTreeIterator(CItemList* node, long level) : m_pNode(node), m_nLevel(level) {}
  static CItemList* AsNode(CItem* item) {
    return IsItem(item) && kt::IsListItem(item) ? static_cast<CItemList*>(item) : nullptr;
  }
  CItemList* m_pNode = nullptr;
  int32_t m_nLevel = 0;
};
