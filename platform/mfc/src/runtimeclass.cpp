// Run-time class descriptions.
#include "afxobject.h"

const CRuntimeClass CObject::runtimeClass{"CObject", static_cast<int>(sizeof(CObject)), nullptr, nullptr};

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
    if (c == pBaseClass) return TRUE;
  return FALSE;
}

const CRuntimeClass* CObject::GetRuntimeClass() const { return &runtimeClass; }

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }
