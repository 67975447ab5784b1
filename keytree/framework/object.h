// Object base with run-time class identity: every library class has one class
// descriptor (name, schema number, factory, base class), and the descriptors
// of the classes that can be created by name sit in a registry, which is how
// an archive recreates an object from the class name it stored.
#pragma once

#include "keytree_api.h"

#include <new>

class CObject;
class CArchive;

struct KEYTREE_API CRuntimeClass {
  const char* m_lpszClassName;
  int m_nObjectSize;
  unsigned int m_wSchema;           // 0xFFFF: a class without a schema
  CObject* (*m_pfnCreateObject)();  // null for abstract classes
  const CRuntimeClass* m_pBaseClass;

  // A new empty instance, or null for an abstract class.
  CObject* CreateObject() const;
  // True when this class is base or derives from it.
  bool IsDerivedFrom(const CRuntimeClass* base) const;

  // The registry of classes by name.
  static void Register(const CRuntimeClass* cls);
  static const CRuntimeClass* FromName(const char* className);
};

// Registers the library's own classes again (the registry may have been
// changed by a client since the library was loaded).
void RegisterLoadedClasses();

// Schema value of a class that is not stored with a version.
constexpr unsigned int KT_NO_SCHEMA = 0xFFFF;

class KEYTREE_API CObject {
 public:
  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject();
  virtual void Serialize(CArchive& ar);
  virtual void AssertValid() const;
  virtual void Dump() const;

  bool IsKindOf(const CRuntimeClass* cls) const;
  bool IsSerializable() const;

  static const CRuntimeClass classCObject;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

// The descriptor of a class by its name in code.
#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

// In a class body: the descriptor and its accessor.
#define DECLARE_DYNAMIC(class_name)             \
 public:                                        \
  static const CRuntimeClass class##class_name; \
  const CRuntimeClass* GetRuntimeClass() const override;

// As DECLARE_DYNAMIC, plus the factory that creates by name.
#define DECLARE_SERIAL(class_name) \
  DECLARE_DYNAMIC(class_name)      \
  static CObject* CreateObject();

// Registers a descriptor when the library is loaded.
struct KEYTREE_API CClassInit {
  explicit CClassInit(const CRuntimeClass* cls);
};

// In a source file: an abstract class (no factory, no schema), registered.
#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                           \
  const CRuntimeClass class_name::class##class_name = {                                          \
      #class_name, sizeof(class_name), KT_NO_SCHEMA, nullptr, RUNTIME_CLASS(base_class_name)};   \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); } \
  static const CClassInit _init_##class_name(RUNTIME_CLASS(class_name));

// In a source file: a concrete class with its schema number and factory.
#define IMPLEMENT_SERIAL(class_name, base_class_name, schema)                                    \
  CObject* class_name::CreateObject() { return new (std::nothrow) class_name; }                  \
  const CRuntimeClass class_name::class##class_name = {#class_name, sizeof(class_name), schema,  \
                                                       class_name::CreateObject,                 \
                                                       RUNTIME_CLASS(base_class_name)};          \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); } \
  static const CClassInit _init_##class_name(RUNTIME_CLASS(class_name));
