// CGdiObject: ownership of a GDI handle, and the objects that stand for
// handles (permanent and temporary).
#include <memory>

#include "afxgdi.h"
#include "gdiobjectmap.h"

namespace {

using winsim::mfc::PermanentMap;
using winsim::mfc::TemporaryMap;

// Never destroyed: objects of static storage in other libraries may detach
// after this library's statics are gone.
PermanentMap<CGdiObject>& permanentObjects() {
  static auto* map = new PermanentMap<CGdiObject>;
  return *map;
}

TemporaryMap<CGdiObject>& temporaryObjects() {
  thread_local TemporaryMap<CGdiObject> map;
  return map;
}

/// An empty object of the class that owns handles of this kind.
std::unique_ptr<CGdiObject> objectOfKind(DWORD kind) {
  switch (kind) {
    case OBJ_PEN:
      return std::make_unique<CPen>();
    case OBJ_BRUSH:
      return std::make_unique<CBrush>();
    case OBJ_FONT:
      return std::make_unique<CFont>();
    case OBJ_PAL:
      return std::make_unique<CPalette>();
    case OBJ_BITMAP:
      return std::make_unique<CBitmap>();
    default:
      return nullptr;
  }
}

}  // namespace

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) {
  if (hObject == nullptr) return nullptr;
  if (CGdiObject* permanent = permanentObjects().find(hObject)) return permanent;
  TemporaryMap<CGdiObject>& temporaries = temporaryObjects();
  if (CGdiObject* temporary = temporaries.find(hObject)) return temporary;
  std::unique_ptr<CGdiObject> object = objectOfKind(::GetObjectType(hObject));
  if (!object) return nullptr;
  // Not Attach: a temporary object is no owner and stays out of the
  // permanent map.
  object->m_hObject = hObject;
  return temporaries.add(hObject, std::move(object));
}

void CGdiObject::DeleteTempMap() { temporaryObjects().clear(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  if (hObject == nullptr || m_hObject != nullptr) return FALSE;
  m_hObject = hObject;
  permanentObjects().add(hObject, this);
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ const handle = m_hObject;
  if (handle != nullptr) permanentObjects().remove(handle, this);
  m_hObject = nullptr;
  return handle;
}

BOOL CGdiObject::DeleteObject() {
  if (m_hObject == nullptr) return FALSE;
  return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectW(m_hObject, nCount, lpObject); }

UINT CGdiObject::GetObjectType() const { return m_hObject ? ::GetObjectType(m_hObject) : 0; }

BOOL CGdiObject::CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }
