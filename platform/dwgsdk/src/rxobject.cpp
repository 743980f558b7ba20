// The run-time class system.
#include "RxObject.h"

OdRxClass::OdRxClass(const OdChar* name, const OdRxClass* parent, Constructor constructor, const OdChar* dxfName)
    : m_name(name), m_dxfName(dxfName ? dxfName : u""), m_parent(parent), m_constructor(constructor) {}

bool OdRxClass::isDerivedFrom(const OdRxClass* other) const {
  for (const OdRxClass* c = this; c; c = c->m_parent)
    if (c == other) return true;
  return false;
}

OdRxObject::~OdRxObject() = default;

OdRxClass* OdRxObject::desc() {
  static OdRxClass cls(u"OdRxObject", nullptr, nullptr, nullptr);
  return &cls;
}

OdRxClass* OdRxObject::isA() const { return desc(); }

bool OdRxObject::isKindOf(const OdRxClass* cls) const { return cls && isA()->isDerivedFrom(cls); }

OdRxObject* OdRxObject::queryX(const OdRxClass* protocolClass) const {
  return isKindOf(protocolClass) ? const_cast<OdRxObject*>(this) : nullptr;
}

OdRxObject* OdRxObject::x(const OdRxClass* protocolClass) const { return queryX(protocolClass); }

void OdRxObject::addRef() {}
void OdRxObject::release() {}
long OdRxObject::numRefs() const { return 1; }
bool OdRxObject::isReferenced() const { return true; }
void OdRxObject::onFinalRelease() {}
OdRxObject* OdRxObject::clone() const { return nullptr; }
void OdRxObject::copyFrom(const OdRxObject*) {}

OdRx::Ordering OdRxObject::comparedTo(const OdRxObject* other) const {
  if (other == this) return OdRx::kEqual;
  return OdRx::kNotOrderable;
}

bool OdRxObject::isEqualTo(const OdRxObject* other) const { return other == this; }
