#include "keytree/item.h"

#include <atomic>

#include "debugout.h"
#include "keytree/archive.h"
#include "keytree/ckeytree.h"
#include "keytree/itemlist.h"
#include "keytree/scalars.h"
#include "record.h"
#include "textscan.h"

IMPLEMENT_DYNAMIC(CItem, CObject)

CItem::~CItem() { Remove(); }

int CItem::Unbinarize(const unsigned char* record) {
  if (!record) return 0;
  // A whole record: its own length field says how many bytes are there.
  return Unbinarize(record, kt::GetU32(record + 1));
}

void CItem::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    CString text = ToString();
    ar.WriteCountedString(text.GetString(), static_cast<size_t>(text.GetLength()));
  } else {
    std::string text = ar.ReadCountedString();
    FromString(text.c_str(), -1);
  }
}

// ---- membership ------------------------------------------------------------

void CItem::SetRoot(CItemList* root) {
  if (!root) {
    m_root = 0;
    return;
  }
  static_assert(alignof(CItemList) > kKindMask, "kind bits need aligned lists");
  const CRuntimeClass* cls = GetRuntimeClass();
  uintptr_t kind = LS_KIND_OTHER;
  if (cls == RUNTIME_CLASS(CLstring)) kind = LS_KIND_STRING;
  else if (cls == RUNTIME_CLASS(CKeyTree)) kind = LS_KIND_KEYTREE;
  else if (cls == RUNTIME_CLASS(CItemList)) kind = LS_KIND_LIST;
  else if (cls == RUNTIME_CLASS(CLinteger)) kind = LS_KIND_INTEGER;
  else if (cls == RUNTIME_CLASS(CLreal)) kind = LS_KIND_REAL;
  else if (cls == RUNTIME_CLASS(CLuser)) kind = LS_KIND_USER;
  else if (cls == RUNTIME_CLASS(CLguid)) kind = LS_KIND_GUID;
  m_root = reinterpret_cast<uintptr_t>(root) | kind;
}

void CItem::Remove() {
  if (CItemList* root = Root()) {
    CItemList::NoteChange(root);
    if (root->m_pHead == this) root->m_pHead = m_pNext;
    if (root->m_pTail == this) root->m_pTail = m_pPrev;
  }
  // Items chained outside any list are unchained too, so that deleting one
  // never leaves its neighbour pointing at it.
  if (m_pPrev) m_pPrev->m_pNext = m_pNext;
  if (m_pNext) m_pNext->m_pPrev = m_pPrev;
  m_pNext = m_pPrev = nullptr;
  m_root = 0;
}

namespace {

// True when list is holder or one of the lists that hold it, so that linking
// list under holder would make it its own ancestor.
bool HoldsOrIs(const CItem* list, const CItemList* holder) {
  for (const CItem* l = holder; l; l = l->Root())
    if (l == list) return true;
  return false;
}

}  // namespace

CItem* CItem::Insert(CItem* item, LS_INSERT_MODE mode, CItem* ref) {
  if (!IsItem(item) || !IsItem(ref) || item == ref) return nullptr;
  if (static_cast<unsigned>(mode) > LS_REPLACE_DELETE) return nullptr;
  if (HoldsOrIs(item, ref->Root())) return nullptr;
  item->Remove();
  CItemList* root = ref->Root();
  if (root) CItemList::NoteChange(root);
  item->SetRoot(root);
  switch (mode) {
    case LS_INSERT_BEFORE:
      item->m_pPrev = ref->m_pPrev;
      item->m_pNext = ref;
      if (ref->m_pPrev) ref->m_pPrev->m_pNext = item;
      else if (root) root->m_pHead = item;
      ref->m_pPrev = item;
      return item;
    case LS_INSERT_AFTER:
      item->m_pNext = ref->m_pNext;
      item->m_pPrev = ref;
      if (ref->m_pNext) ref->m_pNext->m_pPrev = item;
      else if (root) root->m_pTail = item;
      ref->m_pNext = item;
      return item;
    case LS_REPLACE:
    case LS_REPLACE_DELETE:
      item->m_pPrev = ref->m_pPrev;
      item->m_pNext = ref->m_pNext;
      if (ref->m_pPrev) ref->m_pPrev->m_pNext = item;
      else if (root) root->m_pHead = item;
      if (ref->m_pNext) ref->m_pNext->m_pPrev = item;
      else if (root) root->m_pTail = item;
      ref->m_pNext = ref->m_pPrev = nullptr;
      ref->m_root = 0;
      if (mode == LS_REPLACE) return ref;
      delete ref;
      return item;
  }
  return nullptr;
}

int CItem::GetIndex() const {
  if (!Root()) return -1;
  int index = 0;
  for (const CItem* p = m_pPrev; p; p = p->m_pPrev) ++index;
  return index;
}

// ---- typed reads -----------------------------------------------------------

long IntOf(const CItem* item, long def) {
  if (IsItem(item) && item->IsKindOf(RUNTIME_CLASS(CLinteger)))
    return static_cast<long>(*static_cast<const CLinteger*>(item));
  return def;
}

double RealOf(const CItem* item, double def) {
  if (IsItem(item) && item->IsKindOf(RUNTIME_CLASS(CLreal)))
    return static_cast<double>(*static_cast<const CLreal*>(item));
  return def;
}

const char* StrOf(const CItem* item, const char* def) {
  if (IsItem(item) && item->IsKindOf(RUNTIME_CLASS(CLstring)))
    return static_cast<const CLstring*>(item)->GetString();
  return def;
}

CString CStrOf(const CItem* item, const char* def) {
  if (IsItem(item) && item->IsKindOf(RUNTIME_CLASS(CLstring)))
    return CString(static_cast<const CLstring*>(item)->GetString());
  return CString(def);
}

GUID GuidOf(const CItem* item, GUID def) {
  if (IsItem(item) && item->IsKindOf(RUNTIME_CLASS(CLguid)))
    return static_cast<GUID>(*static_cast<const CLguid*>(item));
  return def;
}

namespace {

// The members below answer for a null or LS_INVALID_ITEM object as well, as
// clients of the original call them on look-up results. The compiler may
// assume this is never null; hiding the value from it keeps the test.
const CItem* Self(const CItem* self) {
  asm("" : "+r"(self));
  return self;
}

}  // namespace

long CItem::AsInt(long def) const { return IntOf(Self(this), def); }
double CItem::AsReal(double def) const { return RealOf(Self(this), def); }
const char* CItem::AsStr(const char* def) const { return StrOf(Self(this), def); }
CString CItem::AsCStr(const char* def) const { return CStrOf(Self(this), def); }
GUID CItem::AsGuid(GUID def) const { return GuidOf(Self(this), def); }

CItemList* CItem::AsItemList(CItemList* def) const {
  const CItem* self = Self(this);
  if (IsItem(self) && self->IsKindOf(RUNTIME_CLASS(CItemList)))
    return const_cast<CItemList*>(static_cast<const CItemList*>(self));
  return def;
}

CLuser* CItem::AsUser(CLuser* def) const {
  const CItem* self = Self(this);
  if (IsItem(self) && self->GetRuntimeClass() == RUNTIME_CLASS(CLuser))
    return const_cast<CLuser*>(static_cast<const CLuser*>(self));
  return def;
}

// ---- creation from text and records -----------------------------------------

namespace kt {
namespace {

// The key tree class, once it has registered itself.
const CRuntimeClass* KeyTreeClass() {
  static std::atomic<const CRuntimeClass*> cached{nullptr};
  const CRuntimeClass* cls = cached.load(std::memory_order_relaxed);
  if (!cls) {
    cls = CRuntimeClass::FromName("CKeyTree");
    if (cls && !cls->IsDerivedFrom(RUNTIME_CLASS(CItemList))) cls = nullptr;
    cached.store(cls, std::memory_order_relaxed);
  }
  return cls;
}

}  // namespace

CItem* ListAccess::ParseItem(const char* text, size_t len, ParseContext& ctx) {
  if (ctx.tooDeep) return nullptr;
  if (const CRuntimeClass* tree = KeyTreeClass()) {
    if (CItem* item = ParseList(text, len, tree, ctx)) return item;
    if (ctx.tooDeep) return nullptr;
  }
  if (CItem* item = ParseList(text, len, RUNTIME_CLASS(CItemList), ctx)) return item;
  if (ctx.tooDeep) return nullptr;
  int n = static_cast<int>(len);
  if (CItem* item = CLstring::CreateFromString(text, n)) return item;
  if (CItem* item = CLinteger::CreateFromString(text, n)) return item;
  if (CItem* item = CLreal::CreateFromString(text, n)) return item;
  if (CItem* item = CLuser::CreateFromString(text, n)) return item;
  return CLguid::CreateFromString(text, n);
}

CItem* ListAccess::ReadRecord(const unsigned char* record, size_t available, int depth) {
  uint32_t total = 0;
  if (!CheckHeader(record, available, -1, LS_RECORD_HEADER, total)) return nullptr;
  const CRuntimeClass* cls = nullptr;
  switch (record[0]) {
    case LS_TYPE_INTEGER: cls = RUNTIME_CLASS(CLinteger); break;
    case LS_TYPE_REAL: cls = RUNTIME_CLASS(CLreal); break;
    case LS_TYPE_STRING: cls = RUNTIME_CLASS(CLstring); break;
    case LS_TYPE_USER: cls = RUNTIME_CLASS(CLuser); break;
    case LS_TYPE_LIST: cls = RUNTIME_CLASS(CItemList); break;
    case LS_TYPE_KEYTREE: cls = KeyTreeClass(); break;
    case LS_TYPE_GUID: cls = RUNTIME_CLASS(CLguid); break;
    default: return nullptr;
  }
  if (!cls) return nullptr;
  CItem* item = static_cast<CItem*>(cls->CreateObject());
  if (!item) return nullptr;
  int ok = cls->IsDerivedFrom(RUNTIME_CLASS(CItemList))
               ? ReadList(*static_cast<CItemList*>(item), record, total, depth + 1)
               : item->Unbinarize(record, total);
  if (!ok) {
    delete item;
    return nullptr;
  }
  return item;
}

}  // namespace kt

CItem* CItem::CreateFromString(const char* text, int len) {
  if (!text) return nullptr;
  kt::ParseContext ctx;
  return kt::ListAccess::ParseItem(text, kt::TextLength(text, len), ctx);
}

CItem* CItem::CreateFromBuf(const unsigned char* record) {
  if (!record) return nullptr;
  return CreateFromBuf(record, kt::GetU32(record + 1));
}

CItem* CItem::CreateFromBuf(const unsigned char* record, size_t available) {
  return kt::ListAccess::ReadRecord(record, available, 0);
}

// ---- diagnostics and registration -------------------------------------------

void DumpCItem(const CItem* item) {
  if (!IsItem(item)) {
    OutputDebugString("CItem pointer is NULL\n");
    return;
  }
  CString text = item->IsKindOf(RUNTIME_CLASS(CItemList))
                     ? static_cast<const CItemList*>(item)->ToIndentString(0, 1)
                     : item->ToString();
  text += "\n";
  OutputDebugString(text);
}

void InitListDLL() { RegisterLoadedClasses(); }
