// The run-time class system: OdRxObject, its class descriptors (OdRxClass,
// compared by identity) and the reference-counted smart pointer.
#pragma once

#include "OdString.h"

class OdRxObject;

namespace OdRx {
enum Ordering { kLessThan = -1, kEqual = 0, kGreaterThan = 1, kNotOrderable = 2 };
}

/// A class descriptor. There is one per class, so descriptors compare by address.
class OdRxClass {
 public:
  using Constructor = OdRxObject* (*)();
  OdRxClass(const OdChar* name, const OdRxClass* parent, Constructor constructor, const OdChar* dxfName);
  OdRxClass(const OdRxClass&) = delete;
  OdRxClass& operator=(const OdRxClass&) = delete;

  /// The class name ("AcDbLine"), as DXF writes subclass markers.
  const OdString& name() const { return m_name; }
  /// The DXF record name ("LINE"); empty for classes DXF does not name.
  const OdString& dxfName() const { return m_dxfName; }
  const OdRxClass* myParent() const { return m_parent; }
  /// True for this class and for every class derived from `other`.
  bool isDerivedFrom(const OdRxClass* other) const;
  /// A new instance, or null for abstract classes.
  OdRxObject* create() const { return m_constructor ? m_constructor() : nullptr; }

 private:
  OdString m_name;
  OdString m_dxfName;
  const OdRxClass* m_parent;
  Constructor m_constructor;
};

#define ODRX_DECLARE_MEMBERS(ClassName) \
 public:                                \
  static OdRxClass* desc();             \
  OdRxClass* isA() const override;      \
  static ClassName* cast(const OdRxObject* object);

class OdRxObject {
 public:
  OdRxObject() = default;
  virtual ~OdRxObject();

  static OdRxClass* desc();
  static OdRxObject* cast(const OdRxObject* object) { return const_cast<OdRxObject*>(object); }

  /// This object when it is of `protocolClass` (or derived from it), else null.
  virtual OdRxObject* queryX(const OdRxClass* protocolClass) const;
  /// As queryX: the SDK raises an error where this returns null.
  virtual OdRxObject* x(const OdRxClass* protocolClass) const;
  virtual OdRxClass* isA() const;

  /// Reference counting. Database objects belong to their database (or to the
  /// caller before they are added), so for them these do nothing; shared
  /// objects (the command stack, commands, modules) count.
  virtual void addRef();
  virtual void release();
  virtual long numRefs() const;
  /// Whether the object takes part in reference counting (true).
  virtual bool isReferenced() const;
  /// Called when the last reference is about to go; does nothing here.
  virtual void onFinalRelease();

  virtual OdRxObject* clone() const;
  virtual void copyFrom(const OdRxObject* other);
  virtual OdRx::Ordering comparedTo(const OdRxObject* other) const;
  virtual bool isEqualTo(const OdRxObject* other) const;

  bool isKindOf(const OdRxClass* cls) const;

 protected:
  OdRxObject(const OdRxObject&) = default;
  OdRxObject& operator=(const OdRxObject&) = default;
};

enum OdRxObjMod { kOdRxObjAttach };

/// A counted reference: addRef on taking a pointer, release on letting go.
template <class T>
class OdSmartPtr {
 public:
  OdSmartPtr() = default;
  OdSmartPtr(std::nullptr_t) {}
  OdSmartPtr(T* object) : m_object(object) {
    if (m_object) m_object->addRef();
  }
  /// Takes over a reference that the caller already holds.
  OdSmartPtr(T* object, OdRxObjMod) : m_object(object) {}
  OdSmartPtr(const OdSmartPtr& other) : OdSmartPtr(other.m_object) {}
  OdSmartPtr(OdSmartPtr&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }
  template <class U>
  OdSmartPtr(const OdSmartPtr<U>& other) : OdSmartPtr(static_cast<T*>(other.get())) {}
  ~OdSmartPtr() { release(); }
  OdSmartPtr& operator=(const OdSmartPtr& other) {
    OdSmartPtr copy(other);
    std::swap(m_object, copy.m_object);
    return *this;
  }
  OdSmartPtr& operator=(OdSmartPtr&& other) noexcept {
    std::swap(m_object, other.m_object);
    return *this;
  }

  T* get() const { return m_object; }
  T* operator->() const { return m_object; }
  T& operator*() const { return *m_object; }
  bool isNull() const { return m_object == nullptr; }
  explicit operator bool() const { return m_object != nullptr; }
  /// Lets go of the reference now and becomes null.
  void release() {
    if (m_object) {
      T* object = m_object;
      m_object = nullptr;
      object->release();
    }
  }
  /// Hands the reference to the caller without releasing it.
  T* detach() {
    T* object = m_object;
    m_object = nullptr;
    return object;
  }
  friend bool operator==(const OdSmartPtr& a, const OdSmartPtr& b) { return a.m_object == b.m_object; }

 private:
  T* m_object = nullptr;
};

using OdRxObjectPtr = OdSmartPtr<OdRxObject>;

/// Adds a counting reference to a class: deleted when the last reference goes.
template <class T>
class OdRxObjectImpl : public T {
 public:
  using T::T;
  static OdSmartPtr<T> createObject() { return OdSmartPtr<T>(new OdRxObjectImpl<T>(), kOdRxObjAttach); }
  void addRef() override { ++m_refs; }
  void release() override {
    if (--m_refs == 0) {
      this->onFinalRelease();
      delete this;
    }
  }
  long numRefs() const override { return m_refs; }

 private:
  long m_refs = 1;
};
