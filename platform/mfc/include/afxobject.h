// The root of the class library's object classes and their run-time
// descriptions.
//
// A CRuntimeClass describes a class: its name, its size, its base class's
// description and, for a class the framework may create by description (a
// thread class given to AfxBeginThread), a factory. A class gets one by
// declaring a static member `runtimeClass` and overriding GetRuntimeClass:
//
//   class CInstallThread : public CWinThread {
//    public:
//     static const CRuntimeClass runtimeClass;
//     const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }
//   };
//   const CRuntimeClass CInstallThread::runtimeClass =
//       CRuntimeClass::Creatable<CInstallThread, CWinThread>("CInstallThread");
//
// and RUNTIME_CLASS(CInstallThread) names it. Creatable checks at compile
// time that the class derives from the base named and can be made with a
// public default constructor.
#pragma once

#include <concepts>
#include <type_traits>

#include "win32/types.h"

class CObject;

struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  /// Makes a new object of the class with new; null for a class the
  /// framework does not create.
  CObject* (*m_pfnCreateObject)();
  /// The base class's description; null for CObject.
  const CRuntimeClass* m_pBaseClass;

  /// A new object of the class, or null when the class is not creatable.
  CObject* CreateObject() const;
  /// TRUE for this class and every class it derives from.
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

  /// The description of a class the framework creates by description.
  template <class T, class Base>
  static constexpr CRuntimeClass Creatable(LPCSTR name) {
    static_assert(std::is_base_of_v<Base, T> && std::is_base_of_v<CObject, Base>, "T must derive from Base");
    static_assert(std::default_initializable<T>, "a creatable class needs a public default constructor");
    return CRuntimeClass{name, static_cast<int>(sizeof(T)), [] { return static_cast<CObject*>(new T); },
                         &Base::runtimeClass};
  }
  /// The description of a class that only answers IsKindOf.
  template <class T, class Base>
  static constexpr CRuntimeClass Described(LPCSTR name) {
    static_assert(std::is_base_of_v<Base, T> && std::is_base_of_v<CObject, Base>, "T must derive from Base");
    return CRuntimeClass{name, static_cast<int>(sizeof(T)), nullptr, &Base::runtimeClass};
  }
};

/// The run-time description of a class that declares one.
#define RUNTIME_CLASS(class_name) (&class_name::runtimeClass)

class CObject {
 public:
  static const CRuntimeClass runtimeClass;

  virtual ~CObject() = default;
  /// The description of the object's class: of the nearest class in its
  /// chain that declares one.
  virtual const CRuntimeClass* GetRuntimeClass() const;
  /// TRUE when the object's class is pClass or derives from it.
  BOOL IsKindOf(const CRuntimeClass* pClass) const;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};
