#include "keytree/ckeytree.h"

#include <cstring>
#include <memory>
#include <string>

#include "keyindex.h"
#include "record.h"

IMPLEMENT_SERIAL(CKeyTree, CItemList, 1)

using kt::KeyTreeAccess;

CKeyTree::CKeyTree() = default;

CKeyTree::CKeyTree(const CKeyTree& other) : CItemList(other) {}

CKeyTree::~CKeyTree() { delete m_pIndex; }

CKeyTree& CKeyTree::operator=(const CKeyTree& other) {
  CItemList::operator=(other);
  return *this;
}

CKeyTree& CKeyTree::operator=(CItem* other) {
  if (IsItem(other) && other != this && other->IsKindOf(RUNTIME_CLASS(CKeyTree)))
    CItemList::operator=(*static_cast<CKeyTree*>(other));
  return *this;
}

CKeyTree* CItem::AsKeyTree(CKeyTree* def) const {
  const CItem* self = this;
  asm("" : "+r"(self));  // may be called on null or LS_INVALID_ITEM
  if (IsItem(self) && self->GetRuntimeClass() == RUNTIME_CLASS(CKeyTree))
    return const_cast<CKeyTree*>(static_cast<const CKeyTree*>(self));
  return def;
}

CItem* CKeyTree::CreateFromString(const char* text, int len) {
  return ParseListText(text, len, RUNTIME_CLASS(CKeyTree));
}

int CKeyTree::FromString(const char* text, int len) {
  CItemList* parsed = ParseListText(text, len, RUNTIME_CLASS(CKeyTree));
  if (!parsed) return 0;
  Empty();
  kt::ListAccess::MoveChildren(*parsed, *this);
  delete parsed;
  return 1;
}

int CKeyTree::Binarize(unsigned char*& cursor, int& remaining) const {
  unsigned char* start = cursor;
  if (!CItemList::Binarize(cursor, remaining)) return 0;
  start[0] = LS_TYPE_KEYTREE;
  return 1;
}

namespace {

// The list comparison, with the pairs this library builds (key nodes,
// subtrees, key strings) compared directly rather than through their
// virtual IsEqual; every other pair still goes through it.
int EqualTrees(const CItemList& a, const CItemList& b) {
  const CItem* x = a.Head();
  const CItem* y = b.Head();
  for (; x && y; x = x->Next(), y = y->Next()) {
    bool tx = kt::IsExactly(x, CItem::LS_KIND_KEYTREE, RUNTIME_CLASS(CKeyTree));
    bool ty = tx && kt::IsExactly(y, CItem::LS_KIND_KEYTREE, RUNTIME_CLASS(CKeyTree));
    if (tx && ty) {
      if (!EqualTrees(*static_cast<const CItemList*>(x), *static_cast<const CItemList*>(y)))
        return 0;
    } else if (!tx && kt::IsExactly(x, CItem::LS_KIND_STRING, RUNTIME_CLASS(CLstring)) &&
               kt::IsExactly(y, CItem::LS_KIND_STRING, RUNTIME_CLASS(CLstring))) {
      // Equal as C strings, as CLstring compares; identical bytes settle it
      // without the scan.
      const CString& sx = *static_cast<const CLstring*>(x);
      const CString& sy = *static_cast<const CLstring*>(y);
      bool same =
          sx.GetLength() == sy.GetLength() &&
          std::memcmp(sx.GetString(), sy.GetString(), static_cast<size_t>(sx.GetLength())) == 0;
      if (!same && std::strcmp(sx.GetString(), sy.GetString())) return 0;
    } else if (x->IsEqual(*y) <= 0) {
      return 0;
    }
  }
  return x == nullptr && y == nullptr;
}

}  // namespace

int CKeyTree::IsEqual(const CItem& other) const {
  if (!kt::IsTree(&other)) return 0;
  return EqualTrees(*this, static_cast<const CItemList&>(other));
}

// ---- keys -------------------------------------------------------------------

namespace {

// True when the key node path names, with value under it, would lie deeper
// than the readers of every form accept. The node of an n-segment path is
// 2n - 1 lists below the tree, whether its keys exist yet or not.
bool TooDeep(const CKeyTree& tree, const char* path, const CItem* value) {
  if (!path || !*path) return false;
  long depth = 0;
  for (const CItem* l = &tree; l; l = l->Root()) ++depth;
  long segments = 1;
  for (const char* p = std::strchr(path, '.'); p && p[1]; p = std::strchr(p + 1, '.')) ++segments;
  depth += 2 * segments - 1;
  if (depth > LS_MAX_NESTING) return true;
  return IsItem(value) && depth + kt::ListNesting(value, LS_MAX_NESTING) > LS_MAX_NESTING;
}

}  // namespace

CItem* CKeyTree::AddKey(const char* path, CItem* value) {
  if (value == LS_INVALID_ITEM || value == this) return LS_INVALID_ITEM;
  if (TooDeep(*this, path, value)) return LS_INVALID_ITEM;
  CItemList* node = KeyTreeAccess::Locate(*this, path, true);
  if (!node || kt::ValueOf(node)) return LS_INVALID_ITEM;
  if (!KeyTreeAccess::SetValue(node, value)) return LS_INVALID_ITEM;
  return value;
}

CItem* CKeyTree::SetAt(const char* path, CItem* value) {
  if (value == LS_INVALID_ITEM || value == this) return LS_INVALID_ITEM;
  if (TooDeep(*this, path, value)) return LS_INVALID_ITEM;
  CItemList* node = KeyTreeAccess::Locate(*this, path, false);
  if (!node || !KeyTreeAccess::SetValue(node, value)) return LS_INVALID_ITEM;
  return value;
}

namespace {

// The typed forms: the item they create is deleted when not taken; no
// memory for it is a failure like any other.
template <class Op>
CItem* Typed(CItem* created, Op op) {
  if (!created) return LS_INVALID_ITEM;
  CItem* result = op(created);
  if (result != created) delete created;
  return result;
}

}  // namespace

CItem* CKeyTree::AddKey(const char* path, int value) {
  return Typed(new (std::nothrow) CLinteger(value), [&](CItem* v) { return AddKey(path, v); });
}
CItem* CKeyTree::AddKey(const char* path, double value) {
  return Typed(new (std::nothrow) CLreal(value), [&](CItem* v) { return AddKey(path, v); });
}
CItem* CKeyTree::AddKey(const char* path, const char* value) {
  return Typed(new (std::nothrow) CLstring(value), [&](CItem* v) { return AddKey(path, v); });
}
CItem* CKeyTree::AddKey(const char* path, GUID value) {
  return Typed(new (std::nothrow) CLguid(value), [&](CItem* v) { return AddKey(path, v); });
}
CItem* CKeyTree::SetAt(const char* path, int value) {
  return Typed(new (std::nothrow) CLinteger(value), [&](CItem* v) { return SetAt(path, v); });
}
CItem* CKeyTree::SetAt(const char* path, double value) {
  return Typed(new (std::nothrow) CLreal(value), [&](CItem* v) { return SetAt(path, v); });
}
CItem* CKeyTree::SetAt(const char* path, const char* value) {
  return Typed(new (std::nothrow) CLstring(value), [&](CItem* v) { return SetAt(path, v); });
}
CItem* CKeyTree::SetAt(const char* path, GUID value) {
  return Typed(new (std::nothrow) CLguid(value), [&](CItem* v) { return SetAt(path, v); });
}

CItem* CKeyTree::GetAt(const char* path) const {
  CItemList* node = KeyTreeAccess::Locate(*this, path, false);
  return node ? kt::ValueOf(node) : LS_INVALID_ITEM;
}

int CKeyTree::DeleteKey(const char* path) {
  CItemList* node = KeyTreeAccess::Locate(*this, path, false);
  if (!node) return 0;
  // Every node Locate gives is held by a level of this tree.
  auto* level = static_cast<CKeyTree*>(node->Root());
  KeyTreeAccess::DeleteNode(*level, node);
  // A key whose subtree this emptied goes too, up to the tree itself.
  while (level != this && level->IsEmpty()) {
    CItemList* owner = level->Root();
    if (!owner || !kt::IsTree(owner->Root())) break;
    level = static_cast<CKeyTree*>(owner->Root());
    KeyTreeAccess::DeleteNode(*level, owner);
  }
  return 1;
}

CItemList* CKeyTree::GetKeyNode(const char* path) const {
  CItemList* node = KeyTreeAccess::Locate(*this, path, false);
  return node ? node : reinterpret_cast<CItemList*>(LS_INVALID_ITEM);
}

namespace {

CItemList* AsList(CItem* item) {
  return IsItem(item) && kt::IsList(item) ? static_cast<CItemList*>(item) : nullptr;
}

}  // namespace

// The first or last key node of the key's subtree, or of the tree itself for
// no path; end is Head or Tail.
CItemList* CKeyTree::ChildNode(const char* path, CItem* (CItemList::*end)() const) const {
  auto* invalid = reinterpret_cast<CItemList*>(LS_INVALID_ITEM);
  if (!path || !*path) {
    CItemList* node = AsList((this->*end)());
    return node ? node : invalid;
  }
  CItemList* node = KeyTreeAccess::Locate(*this, path, false);
  if (!node) return invalid;
  CItem* value = kt::ValueOf(node);
  if (!kt::IsTree(value)) return nullptr;
  return AsList((static_cast<CKeyTree*>(value)->*end)());
}

CItemList* CKeyTree::GetFirstChildNode(const char* path) const {
  return ChildNode(path, &CItemList::Head);
}
CItemList* CKeyTree::GetLastChildNode(const char* path) const {
  return ChildNode(path, &CItemList::Tail);
}

namespace {

void MergeLevel(CKeyTree& dest, const CItemList& level, const std::string& prefix) {
  for (CItem* c = level.Head(); c; c = c->Next()) {
    const CLstring* key = kt::KeyOf(c);
    if (!key) continue;
    std::string path =
        prefix.empty() ? std::string(key->GetString()) : prefix + "." + key->GetString();
    CItem* value = kt::ValueOf(static_cast<CItemList*>(c));
    if (kt::IsTree(value)) {
      MergeLevel(dest, *static_cast<CKeyTree*>(value), path);
      continue;
    }
    dest.AddKey(path.c_str(), nullptr);
    CItem* copy = value ? value->Duplicate() : nullptr;
    if (dest.SetAt(path.c_str(), copy) == LS_INVALID_ITEM) delete copy;
  }
}

}  // namespace

namespace {

// True when inner is outer or lies somewhere inside it.
bool Within(const CItem* inner, const CItem* outer) {
  for (const CItem* t = inner; t; t = t->Root())
    if (t == outer) return true;
  return false;
}

}  // namespace

void CKeyTree::Merge(const CKeyTree* source) {
  if (!IsItem(source)) return;
  // When the two overlap, either way round, values would be replaced while
  // they are read, or keys added behind the walk visited again: read from a
  // copy instead.
  if (Within(source, this) || Within(this, source)) {
    CKeyTree copy(*source);
    MergeLevel(*this, copy, std::string());
    return;
  }
  MergeLevel(*this, *source, std::string());
}

int CKeyTree::IsSubsetOf(const CKeyTree* other) const {
  if (!IsItem(other)) return 0;
  for (CItem* c = Head(); c; c = c->Next()) {
    const CLstring* key = kt::KeyOf(c);
    if (!key) return 0;
    CItem* w = other->GetAt(key->GetString());
    if (w == LS_INVALID_ITEM) return 0;
    CItem* v = kt::ValueOf(static_cast<CItemList*>(c));
    if (!v || !w) {
      if (v != w) return 0;
      continue;
    }
    if (v->GetRuntimeClass() == RUNTIME_CLASS(CKeyTree) &&
        w->GetRuntimeClass() == RUNTIME_CLASS(CKeyTree)) {
      if (!static_cast<CKeyTree*>(v)->IsSubsetOf(static_cast<CKeyTree*>(w))) return 0;
    } else if (v->IsEqual(*w) <= 0) {
      return 0;
    }
  }
  return 1;
}

// ---- iterator -----------------------------------------------------------------

CKeyTreeIterator::CKeyTreeIterator(CKeyTree* tree) {
  if (IsItem(tree)) m_pNode = AsList(tree->Head());
}

const char* CKeyTreeIterator::OtherKeyText() const {
  const CLstring* key = m_pNode ? kt::HeadKey(m_pNode) : nullptr;
  return key ? key->GetString() : "";
}

CString CKeyTreeIterator::key() const {
  if (!m_pNode) return CString();
  const CLstring* key = kt::HeadKey(m_pNode);
  return key ? CString(static_cast<const CString&>(*key)) : CString();
}
