// The GDI object classes: bitmaps, brushes, pens, fonts and palettes.
#include <algorithm>
#include <cmath>

#include "afxgdi.h"
#include "afxwin.h"  // AfxGetResourceHandle
#include "win32/image.h"

namespace {

template <class T, class Handle>
T* ofClass(Handle handle) {
  return dynamic_cast<T*>(CGdiObject::FromHandle(handle));
}

}  // namespace

// Bitmaps.

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) { return ofClass<CBitmap>(hBitmap); }

BOOL CBitmap::LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEW(static_cast<WORD>(nIDResource))); }

BOOL CBitmap::LoadBitmap(LPCWSTR lpszResourceName) {
  if (m_hObject != nullptr) return FALSE;
  return Attach(::LoadBitmapW(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits) {
  if (m_hObject != nullptr) return FALSE;
  return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
  if (m_hObject != nullptr || pDC == nullptr) return FALSE;
  return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

int CBitmap::GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }

// Brushes.

CBrush::CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }

CBrush::CBrush(CBitmap* pBitmap) { CreatePatternBrush(pBitmap); }

CBrush* CBrush::FromHandle(HBRUSH hBrush) { return ofClass<CBrush>(hBrush); }

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
  if (m_hObject != nullptr) return FALSE;
  return Attach(::CreateSolidBrush(crColor));
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
  if (m_hObject != nullptr || pBitmap == nullptr) return FALSE;
  return Attach(::CreatePatternBrush(*pBitmap));
}

int CBrush::GetLogBrush(LOGBRUSH* pLogBrush) const { return GetObject(sizeof(LOGBRUSH), pLogBrush); }

// Pens.

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }

CPen* CPen::FromHandle(HPEN hPen) { return ofClass<CPen>(hPen); }

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
  if (m_hObject != nullptr) return FALSE;
  return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}

int CPen::GetLogPen(LOGPEN* pLogPen) const { return GetObject(sizeof(LOGPEN), pLogPen); }

// Fonts.

CFont* CFont::FromHandle(HFONT hFont) { return ofClass<CFont>(hFont); }

BOOL CFont::CreateFontIndirect(const LOGFONTW* lpLogFont) {
  if (m_hObject != nullptr || lpLogFont == nullptr) return FALSE;
  return Attach(::CreateFontIndirectW(lpLogFont));
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCWSTR lpszFacename) {
  if (m_hObject != nullptr) return FALSE;
  return Attach(::CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                              nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, CDC* pDC) {
  if (m_hObject != nullptr) return FALSE;
  LOGFONTW font{};
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfWeight = FW_NORMAL;
  if (lpszFaceName != nullptr) {
    std::size_t length = 0;
    while (length < LF_FACESIZE - 1 && lpszFaceName[length] != 0) ++length;
    std::copy_n(lpszFaceName, length, font.lfFaceName);
  }
  HDC const dc = pDC != nullptr ? pDC->m_hDC : ::GetDC(nullptr);
  int const dpi = dc != nullptr ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (pDC == nullptr && dc != nullptr) ::ReleaseDC(nullptr, dc);
  // Points measure the character (em) height, hence the negative height.
  font.lfHeight = -static_cast<LONG>(std::lround(static_cast<double>(nPointSize) * dpi / 720.0));
  return Attach(::CreateFontIndirectW(&font));
}

int CFont::GetLogFont(LOGFONTW* pLogFont) const { return GetObject(sizeof(LOGFONTW), pLogFont); }

// Palettes.

CPalette* CPalette::FromHandle(HPALETTE hPalette) { return ofClass<CPalette>(hPalette); }

BOOL CPalette::CreatePalette(const LOGPALETTE* lpLogPalette) {
  if (m_hObject != nullptr || lpLogPalette == nullptr) return FALSE;
  return Attach(::CreatePalette(lpLogPalette));
}

int CPalette::GetEntryCount() const {
  WORD count = 0;
  if (m_hObject == nullptr || GetObject(sizeof count, &count) != sizeof count) return 0;
  return count;
}

UINT CPalette::GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const {
  return ::GetPaletteEntries(static_cast<HPALETTE>(m_hObject), nStartIndex, nNumEntries, lpPaletteColors);
}
