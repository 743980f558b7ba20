// CDC: ownership of a device context, the objects that stand for device
// context handles, object selection and drawing state.
#include <memory>

#include "afxgdi.h"
#include "gdiobjectmap.h"

namespace {

using winsim::mfc::PermanentMap;
using winsim::mfc::TemporaryMap;

PermanentMap<CDC>& permanentContexts() {
  static auto* map = new PermanentMap<CDC>;
  return *map;
}

TemporaryMap<CDC>& temporaryContexts() {
  thread_local TemporaryMap<CDC> map;
  return map;
}

}  // namespace

CDC::~CDC() {
  if (m_hDC != nullptr) DeleteDC();
}

CDC* CDC::FromHandle(HDC hDC) {
  if (hDC == nullptr) return nullptr;
  if (CDC* permanent = permanentContexts().find(hDC)) return permanent;
  TemporaryMap<CDC>& temporaries = temporaryContexts();
  if (CDC* temporary = temporaries.find(hDC)) return temporary;
  auto dc = std::make_unique<CDC>();
  dc->m_hDC = hDC;  // not Attach: a temporary object owns nothing
  return temporaries.add(hDC, std::move(dc));
}

void CDC::DeleteTempMap() { temporaryContexts().clear(); }

BOOL CDC::Attach(HDC hDC) {
  if (hDC == nullptr || m_hDC != nullptr) return FALSE;
  m_hDC = hDC;
  permanentContexts().add(hDC, this);
  return TRUE;
}

HDC CDC::Detach() {
  HDC const handle = m_hDC;
  if (handle != nullptr) permanentContexts().remove(handle, this);
  m_hDC = nullptr;
  return handle;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
  if (m_hDC != nullptr) return FALSE;
  return Attach(::CreateCompatibleDC(pDC != nullptr ? pDC->m_hDC : nullptr));
}

BOOL CDC::DeleteDC() {
  if (m_hDC == nullptr) return FALSE;
  return ::DeleteDC(Detach());
}

// Objects.

CPen* CDC::SelectObject(CPen* pPen) {
  return CPen::FromHandle(static_cast<HPEN>(SelectObject(pPen != nullptr ? pPen->m_hObject : nullptr)));
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
  return CBrush::FromHandle(static_cast<HBRUSH>(SelectObject(pBrush != nullptr ? pBrush->m_hObject : nullptr)));
}

CFont* CDC::SelectObject(CFont* pFont) {
  return CFont::FromHandle(static_cast<HFONT>(SelectObject(pFont != nullptr ? pFont->m_hObject : nullptr)));
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
  return CBitmap::FromHandle(static_cast<HBITMAP>(SelectObject(pBitmap != nullptr ? pBitmap->m_hObject : nullptr)));
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
  return CGdiObject::FromHandle(SelectObject(pObject != nullptr ? pObject->m_hObject : nullptr));
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) {
  if (m_hDC == nullptr || hObject == nullptr) return nullptr;
  return ::SelectObject(m_hDC, hObject);
}

CGdiObject* CDC::SelectStockObject(int nIndex) {
  HGDIOBJ const stock = ::GetStockObject(nIndex);
  return stock != nullptr ? CGdiObject::FromHandle(SelectObject(stock)) : nullptr;
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground) {
  if (m_hDC == nullptr || pPalette == nullptr) return nullptr;
  return CPalette::FromHandle(::SelectPalette(m_hDC, *pPalette, bForceBackground));
}

UINT CDC::RealizePalette() { return ::RealizePalette(m_hDC); }

CFont* CDC::GetCurrentFont() const {
  return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)));
}

CBitmap* CDC::GetCurrentBitmap() const {
  return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
}

// State.

COLORREF CDC::SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hDC); }
COLORREF CDC::SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
COLORREF CDC::GetBkColor() const { return ::GetBkColor(m_hDC); }
int CDC::SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
int CDC::GetBkMode() const { return ::GetBkMode(m_hDC); }
int CDC::SetStretchBltMode(int nStretchMode) { return ::SetStretchBltMode(m_hDC, nStretchMode); }
int CDC::GetStretchBltMode() const { return ::GetStretchBltMode(m_hDC); }

CPoint CDC::SetWindowOrg(int x, int y) {
  POINT previous{0, 0};
  ::SetWindowOrgEx(m_hDC, x, y, &previous);
  return CPoint(previous);
}

CPoint CDC::SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }

CPoint CDC::GetWindowOrg() const {
  POINT origin{0, 0};
  ::GetWindowOrgEx(m_hDC, &origin);
  return CPoint(origin);
}

int CDC::GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }

int CDC::GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }
