// CButton: the "Button" class's messages, and owner drawing.
#include "afxwin.h"

const CRuntimeClass CButton::runtimeClass = CRuntimeClass::Described<CButton, CWnd>("CButton");

BOOL CButton::Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateEx(0, u"Button", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

UINT CButton::GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }

void CButton::SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, static_cast<WPARAM>(bHighlight)); }

int CButton::GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }

void CButton::SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }

UINT CButton::GetButtonStyle() const { return GetStyle() & 0xFFFF; }

void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) { SendMessage(BM_SETSTYLE, nStyle & 0xFFFF, bRedraw); }

HICON CButton::SetIcon(HICON hIcon) {
  return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(hIcon)));
}

HICON CButton::GetIcon() const { return reinterpret_cast<HICON>(SendMessage(BM_GETIMAGE, IMAGE_ICON)); }

HBITMAP CButton::SetBitmap(HBITMAP hBitmap) {
  return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
}

HBITMAP CButton::GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(BM_GETIMAGE, IMAGE_BITMAP)); }

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (pResult) *pResult = TRUE;
  return TRUE;
}
