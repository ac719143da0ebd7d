// Run-time class information: each class that declares it has one
// CRuntimeClass naming it and its base, so that IsKindOf can answer for
// an object known only as a CObject, and a class declared creatable can
// be made from its CRuntimeClass alone (as a document template makes its
// documents, frames and views).
#pragma once

namespace framework {

class CObject;

struct CRuntimeClass {
  const char* m_lpszClassName = nullptr;
  const CRuntimeClass* m_pBaseClass = nullptr;
  // Null for a class that cannot be made dynamically.
  CObject* (*m_pfnCreateObject)() = nullptr;

  // A new object the caller owns; null for a class not declared creatable.
  CObject* CreateObject() const;
  bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
 public:
  virtual ~CObject() = default;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  bool IsKindOf(const CRuntimeClass* runtimeClass) const;

  static const CRuntimeClass classCObject;

 protected:
  CObject() = default;
};

}  // namespace framework

#define RUNTIME_CLASS(theClass) (&theClass::class##theClass)

#define DECLARE_DYNAMIC(theClass)                          \
 public:                                                   \
  static const ::framework::CRuntimeClass class##theClass; \
  const ::framework::CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(theClass) \
  DECLARE_DYNAMIC(theClass)         \
  static ::framework::CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS(theClass, baseClass, create)             \
  const ::framework::CRuntimeClass theClass::class##theClass {          \
#theClass, RUNTIME_CLASS(baseClass), create                         \
  };                                                                    \
  const ::framework::CRuntimeClass* theClass::GetRuntimeClass() const { \
    return RUNTIME_CLASS(theClass);                                     \
  }

#define IMPLEMENT_DYNAMIC(theClass, baseClass) IMPLEMENT_RUNTIMECLASS(theClass, baseClass, nullptr)

#define IMPLEMENT_DYNCREATE(theClass, baseClass)                          \
  ::framework::CObject* theClass::CreateObject() { return new theClass; } \
  IMPLEMENT_RUNTIMECLASS(theClass, baseClass, &theClass::CreateObject)
