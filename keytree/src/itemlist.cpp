#include "keytree/itemlist.h"

#include <cstring>
#include <string>

#include "keytree/scalars.h"
#include "record.h"
#include "textscan.h"

IMPLEMENT_SERIAL(CItemList, CItem, 1)

namespace {

constexpr uint32_t kListHeader = LS_RECORD_HEADER + 4;  // and the child count

bool Holds(const CItem* item, const CItemList* list) {
  for (const CItem* l = list; l; l = l->Root())
    if (l == item) return true;
  return false;
}

}  // namespace

CItemList::CItemList() = default;

CItemList::CItemList(const CItemList& other) : CItem(other) {
  for (CItem* c = other.m_pHead; c; c = c->Next()) LinkCopy(c->Duplicate(), c);
}

// Links a copy just made of original (linked nowhere, holding nothing of
// this list) as the new tail: no checks, and the kind of the original.
void CItemList::LinkCopy(CItem* copy, const CItem* original) {
  if (!copy) return;
  LinkedKind kind = original->GetLinkedKind();
  if (kind == LS_KIND_OTHER) {
    Append(copy);
    return;
  }
  NoteChange(this);
  copy->m_root = reinterpret_cast<uintptr_t>(this) | kind;
  copy->m_pPrev = m_pTail;
  if (m_pTail) m_pTail->m_pNext = copy;
  else m_pHead = copy;
  m_pTail = copy;
}

CItemList::~CItemList() { Empty(); }

CItemList& CItemList::operator=(const CItemList& other) {
  if (&other == this) return *this;
  // The target leaves its holding list first, so that a source that holds
  // it is copied without it; the copy is made before the children are
  // deleted, as the source may be one of them.
  Remove();
  CItemList copy;
  for (CItem* c = other.m_pHead; c; c = c->Next()) copy.LinkCopy(c->Duplicate(), c);
  Empty();
  kt::ListAccess::MoveChildren(copy, *this);
  return *this;
}

CItem* CItemList::Duplicate() const {
  CItemList* copy = static_cast<CItemList*>(GetRuntimeClass()->CreateObject());
  if (!copy) return nullptr;
  for (CItem* c = m_pHead; c; c = c->Next()) {
    CItem* child = c->Duplicate();
    if (!child) {
      delete copy;
      return nullptr;
    }
    copy->LinkCopy(child, c);
  }
  return copy;
}

CItem* CItemList::Append(CItem* item) {
  if (!IsItem(item) || Holds(item, this)) return nullptr;
  item->Remove();
  NoteChange(this);
  item->SetRoot(this);
  item->m_pPrev = m_pTail;
  if (m_pTail) m_pTail->m_pNext = item;
  else m_pHead = item;
  m_pTail = item;
  return item;
}

CItem* CItemList::Prepend(CItem* item) {
  if (!IsItem(item) || Holds(item, this)) return nullptr;
  item->Remove();
  NoteChange(this);
  item->SetRoot(this);
  item->m_pNext = m_pHead;
  if (m_pHead) m_pHead->m_pPrev = item;
  else m_pTail = item;
  m_pHead = item;
  return item;
}

CItem* CItemList::Append(int value) { return Append(new (std::nothrow) CLinteger(value)); }
CItem* CItemList::Append(double value) { return Append(new (std::nothrow) CLreal(value)); }
CItem* CItemList::Append(const char* text) { return Append(new (std::nothrow) CLstring(text)); }
CItem* CItemList::Prepend(int value) { return Prepend(new (std::nothrow) CLinteger(value)); }
CItem* CItemList::Prepend(double value) { return Prepend(new (std::nothrow) CLreal(value)); }
CItem* CItemList::Prepend(const char* text) { return Prepend(new (std::nothrow) CLstring(text)); }

void CItemList::Empty() {
  while (m_pHead) delete m_pHead;  // each child unlinks itself
}

int CItemList::GetCount() const {
  int count = 0;
  for (CItem* c = m_pHead; c; c = c->Next()) ++count;
  return count;
}

CItem* CItemList::GetChild(int i) const {
  if (i < 0) return nullptr;
  CItem* c = m_pHead;
  while (c && i-- > 0) c = c->Next();
  return c;
}

int CItemList::IsEqual(const CItem& other) const {
  if (!other.IsKindOf(RUNTIME_CLASS(CItemList))) return 0;
  const CItem* a = m_pHead;
  const CItem* b = static_cast<const CItemList&>(other).m_pHead;
  for (; a && b; a = a->Next(), b = b->Next())
    if (a->IsEqual(*b) <= 0) return 0;
  return a == nullptr && b == nullptr;
}

bool CItemList::IsKeyTreeClass(const CRuntimeClass* cls) {
  if (cls == RUNTIME_CLASS(CItemList)) return false;
  for (const CRuntimeClass* c = cls; c; c = c->m_pBaseClass)
    if (c->m_lpszClassName && std::strcmp(c->m_lpszClassName, "CKeyTree") == 0) return true;
  return false;
}

// ---- text forms ------------------------------------------------------------

void CItemList::AppendCompact(kt::TextBuffer& out) const {
  AppendCompact(out, IsKeyTreeClass(GetRuntimeClass()));
}

void CItemList::AppendCompact(kt::TextBuffer& out, bool tree) const {
  out.Append(tree ? "(." : "(", tree ? 2 : 1);
  for (CItem* c = m_pHead; c; c = c->Next()) {
    if (c != m_pHead) out.Append(", ", 2);
    LinkedKind kind = c->GetLinkedKind();
    if (kind == LS_KIND_KEYTREE || kind == LS_KIND_LIST) {
      static_cast<CItemList*>(c)->AppendCompact(out, kind == LS_KIND_KEYTREE);
    } else if (kind == LS_KIND_OTHER && c->IsKindOf(RUNTIME_CLASS(CItemList))) {
      static_cast<CItemList*>(c)->AppendCompact(out);
    } else {
      CString text = c->ToString();
      out.Append(text.GetString(), static_cast<size_t>(text.GetLength()));
    }
  }
  out.Append(")", 1);
}

CString CItemList::ToString() const {
  kt::TextBuffer out;
  AppendCompact(out);
  return CString(out.Data(), static_cast<int>(out.Length()));
}

namespace {

void AppendIndented(const CItemList& list, int level, int newline, std::string& out) {
  if (newline) {
    out += '\n';
    out.append(2 * static_cast<size_t>(level < 0 ? 0 : level), ' ');
  }
  out += CItemList::IsKeyTreeClass(list.GetRuntimeClass()) ? "(." : "(";
  bool anyList = false;
  for (CItem* c = list.Head(); c; c = c->Next()) {
    if (c != list.Head()) out += ", ";
    if (c->IsKindOf(RUNTIME_CLASS(CItemList))) {
      AppendIndented(*static_cast<CItemList*>(c), level + 1, 1, out);
      anyList = true;
    } else {
      CString text = c->ToString();
      out.append(text.GetString(), static_cast<size_t>(text.GetLength()));
    }
  }
  if (anyList) {
    out += '\n';
    out.append(2 * static_cast<size_t>(level < 0 ? 0 : level), ' ');
  }
  out += ')';
}

}  // namespace

CString CItemList::ToIndentString(int level, int newline) const {
  std::string out;
  AppendIndented(*this, level, newline, out);
  return CString(out.data(), static_cast<int>(out.size()));
}

CItem* CItemList::CreateFromString(const char* text, int len) {
  return ParseListText(text, len, RUNTIME_CLASS(CItemList));
}

CItemList* CItemList::ParseListText(const char* text, int len, const CRuntimeClass* listClass) {
  if (!text || !listClass || !listClass->IsDerivedFrom(RUNTIME_CLASS(CItemList))) return nullptr;
  kt::ParseContext ctx;
  return kt::ListAccess::ParseList(text, kt::TextLength(text, len), listClass, ctx);
}

int CItemList::FromString(const char* text, int len) {
  CItemList* parsed = ParseListText(text, len, GetRuntimeClass());
  if (!parsed) return 0;
  Empty();
  kt::ListAccess::MoveChildren(*parsed, *this);
  delete parsed;
  return 1;
}

// ---- binary record ---------------------------------------------------------

unsigned int CItemList::GetBinarizeSize() const {
  unsigned int size = kListHeader;
  for (CItem* c = m_pHead; c; c = c->Next()) size += c->GetBinarizeSize();
  return size;
}

int CItemList::Binarize(unsigned char*& cursor, int& remaining) const {
  if (remaining < static_cast<int>(kListHeader)) return 0;
  unsigned char* start = cursor;
  int startRemaining = remaining;
  start[0] = IsKeyTreeClass(GetRuntimeClass()) ? LS_TYPE_KEYTREE : LS_TYPE_LIST;
  cursor += kListHeader;
  remaining -= static_cast<int>(kListHeader);
  uint32_t count = 0;
  for (CItem* c = m_pHead; c; c = c->Next(), ++count) {
    if (!c->Binarize(cursor, remaining)) {
      cursor = start;
      remaining = startRemaining;
      return 0;
    }
  }
  kt::PutU32(start + 1, static_cast<uint32_t>(cursor - start));
  kt::PutU32(start + LS_RECORD_HEADER, count);
  return 1;
}

int CItemList::Unbinarize(const unsigned char* record, size_t available) {
  return kt::ListAccess::ReadList(*this, record, available, 1);
}

namespace kt {

void ListAccess::MoveChildren(CItemList& from, CItemList& to) {
  while (from.m_pHead) to.Append(from.m_pHead);
}

// Children are read into a holding list first, so that a refused record
// leaves the list as it was.
int ListAccess::ReadList(CItemList& list, const unsigned char* record, size_t available,
                         int depth) {
  if (depth > LS_MAX_NESTING) return 0;
  uint32_t total;
  if (!CheckHeader(record, available, -1, kListHeader, total)) return 0;
  if (record[0] != LS_TYPE_LIST && record[0] != LS_TYPE_KEYTREE) return 0;
  uint32_t count = GetU32(record + LS_RECORD_HEADER);
  CItemList children;
  size_t offset = kListHeader;
  for (uint32_t i = 0; i < count; ++i) {
    // Each child must lie inside its parent's stated length.
    CItem* child = ReadRecord(record + offset, total - offset, depth);
    if (!child) return 0;
    offset += GetU32(record + offset + 1);
    children.Append(child);
  }
  list.Empty();
  MoveChildren(children, list);
  return 1;
}

}  // namespace kt
