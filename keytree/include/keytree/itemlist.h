// CItemList: an ordered list of owned items, itself an item.
#pragma once

#include "item.h"

namespace kt {
class TextBuffer;
struct ListAccess;
}  // namespace kt

class KEYTREE_API CItemList : public CItem {
  DECLARE_SERIAL(CItemList)

 public:
  CItemList();
  CItemList(const CItemList& other);  // deep copy of the children
  ~CItemList() override;              // deletes the children, then unlinks itself
  // Deep assignment; the target first leaves the list that holds it.
  CItemList& operator=(const CItemList& other);

  CItem* Duplicate() const override;  // same class, created through its descriptor
  CString ToString() const override;  // compact text
  int FromString(const char* text, int len) override;
  unsigned int GetBinarizeSize() const override;
  int Binarize(unsigned char*& cursor, int& remaining) const override;
  using CItem::Unbinarize;
  int Unbinarize(const unsigned char* record, size_t available) override;
  int IsEqual(const CItem& other) const override;

  // Moves item (from wherever it is) to the tail or head; returns it. Null
  // for no item, for the list itself and for a list that holds this one.
  virtual CItem* Append(CItem* item);
  virtual CItem* Prepend(CItem* item);
  CItem* Append(int value);
  CItem* Append(double value);
  CItem* Append(const char* text);
  CItem* Prepend(int value);
  CItem* Prepend(double value);
  CItem* Prepend(const char* text);

  void Empty();  // deletes every child
  int IsEmpty() const { return m_pHead == nullptr; }
  int GetCount() const;
  CItem* Head() const { return m_pHead; }
  CItem* Tail() const { return m_pTail; }
  CItem* GetChild(int i) const;  // null outside 0 .. GetCount() - 1

  // Indented text: nested lists start on a new line one unit (two spaces)
  // deeper; with newline set the text itself starts with a line break.
  CString ToIndentString(int level, int newline) const;

  static CItem* CreateFromString(const char* text, int len);

  // The list parser for any list class: listClass is CItemList or derives
  // from it; key tree classes (CKeyTree and below) open with "(." instead of
  // "(". Returns a new instance of listClass, or null.
  static CItemList* ParseListText(const char* text, int len, const CRuntimeClass* listClass);
  // True when cls is the class named "CKeyTree" or derives from it.
  static bool IsKeyTreeClass(const CRuntimeClass* cls);

  // Counts every change of this list's children and of the children of the
  // lists it holds directly (a key node's key among them); key trees keep
  // their look-up index only while it is unchanged.
  uint64_t GetChangeCount() const { return m_nChanges; }

 private:
  friend class CItem;
  friend class CLstring;  // a key string tells its key node when it changes
  friend struct kt::ListAccess;
  void AppendCompact(kt::TextBuffer& out) const;
  void LinkCopy(CItem* copy, const CItem* original);
  void AppendCompact(kt::TextBuffer& out, bool tree) const;
  static void NoteChange(CItemList* list) {
    ++list->m_nChanges;
    if (list->Root()) ++list->Root()->m_nChanges;
  }

  CItem* m_pHead = nullptr;
  CItem* m_pTail = nullptr;
  uint64_t m_nChanges = 0;
};
