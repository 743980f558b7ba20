// CBitmapButton: choosing and copying the picture of the button's state.
#include "afxext.h"

const CRuntimeClass CBitmapButton::runtimeClass = CRuntimeClass::Described<CBitmapButton, CButton>("CBitmapButton");

namespace {

/// Replaces the picture; false when one was named and could not be loaded.
bool loadPicture(CBitmap& bitmap, LPCWSTR name) {
  bitmap.DeleteObject();
  return !name || bitmap.LoadBitmap(name);
}

LPCWSTR resourceName(UINT id) { return id ? MAKEINTRESOURCEW(id) : nullptr; }

}  // namespace

BOOL CBitmapButton::LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel, UINT nIDBitmapResourceFocus,
                                UINT nIDBitmapResourceDisabled) {
  return LoadBitmaps(resourceName(nIDBitmapResource), resourceName(nIDBitmapResourceSel),
                     resourceName(nIDBitmapResourceFocus), resourceName(nIDBitmapResourceDisabled));
}

BOOL CBitmapButton::LoadBitmaps(LPCWSTR lpszBitmapResource, LPCWSTR lpszBitmapResourceSel,
                                LPCWSTR lpszBitmapResourceFocus, LPCWSTR lpszBitmapResourceDisabled) {
  m_bitmap.DeleteObject();
  m_bitmapSel.DeleteObject();
  m_bitmapFocus.DeleteObject();
  m_bitmapDisabled.DeleteObject();
  if (!lpszBitmapResource || !m_bitmap.LoadBitmap(lpszBitmapResource)) return FALSE;
  bool all = loadPicture(m_bitmapSel, lpszBitmapResourceSel);
  all = loadPicture(m_bitmapFocus, lpszBitmapResourceFocus) && all;
  all = loadPicture(m_bitmapDisabled, lpszBitmapResourceDisabled) && all;
  return all ? TRUE : FALSE;
}

void CBitmapButton::SizeToContent() {
  BITMAP info{};
  if (!m_bitmap.GetSafeHandle() || !m_bitmap.GetBitmap(&info)) return;
  SetWindowPos(nullptr, -1, -1, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  const UINT state = lpDrawItemStruct->itemState;
  CBitmap* picture = &m_bitmap;
  if ((state & ODS_SELECTED) && m_bitmapSel.GetSafeHandle())
    picture = &m_bitmapSel;
  else if ((state & ODS_FOCUS) && m_bitmapFocus.GetSafeHandle())
    picture = &m_bitmapFocus;
  else if ((state & ODS_DISABLED) && m_bitmapDisabled.GetSafeHandle())
    picture = &m_bitmapDisabled;
  if (!picture->GetSafeHandle()) return;
  CDC* dc = CDC::FromHandle(lpDrawItemStruct->hDC);
  CDC memory;
  if (!dc || !memory.CreateCompatibleDC(dc)) return;
  CBitmap* old = memory.SelectObject(picture);
  const CRect rect(lpDrawItemStruct->rcItem);
  dc->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &memory, 0, 0, SRCCOPY);
  memory.SelectObject(old);
}
