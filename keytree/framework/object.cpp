#include "object.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// Wrapped in a type of this file so that the map's code is not exported
// along with the descriptor type.
struct Entry {
  const CRuntimeClass* cls;
};

struct Registry {
  std::map<std::string, Entry> byName;
  std::vector<const CRuntimeClass*> loaded;  // the library's own classes, in load order
};

Registry& registry() {
  static Registry r;
  return r;
}

}  // namespace

CObject* CRuntimeClass::CreateObject() const {
  return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
    if (c == base) return true;
  return false;
}

void CRuntimeClass::Register(const CRuntimeClass* cls) {
  if (cls && cls->m_lpszClassName) registry().byName[cls->m_lpszClassName] = Entry{cls};
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className) {
  if (!className) return nullptr;
  auto& names = registry().byName;
  auto it = names.find(className);
  return it == names.end() ? nullptr : it->second.cls;
}

CClassInit::CClassInit(const CRuntimeClass* cls) {
  registry().loaded.push_back(cls);
  CRuntimeClass::Register(cls);
}

// Re-registration for client modules that keep a registry of their own; here
// there is one registry, so this restores any entry a client replaced.
void RegisterLoadedClasses() {
  for (const CRuntimeClass* cls : registry().loaded) CRuntimeClass::Register(cls);
}

const CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), KT_NO_SCHEMA, nullptr,
                                             nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }
CObject::~CObject() = default;
void CObject::Serialize(CArchive&) {}
void CObject::AssertValid() const {}
void CObject::Dump() const {}

bool CObject::IsKindOf(const CRuntimeClass* cls) const {
  return GetRuntimeClass()->IsDerivedFrom(cls);
}

bool CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != KT_NO_SCHEMA; }
