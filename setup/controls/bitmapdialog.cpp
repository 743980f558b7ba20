#include "bitmapdialog.h"

#include <algorithm>

namespace {

constexpr WCHAR kTrackbarClass[] = u"msctls_trackbar32";

bool isTrackbar(CWnd* pWnd) {
  WCHAR className[32] = {};
  if (pWnd == nullptr || GetClassNameW(pWnd->GetSafeHwnd(), className, static_cast<int>(std::size(className))) == 0) {
    return false;
  }
  return std::u16string_view(className) == kTrackbarClass;
}

}  // namespace

CBitmapDialog::CBitmapDialog(UINT nIDTemplate) : CDialog(nIDTemplate, nullptr) {
  m_brushHollow.CreateStockObject(HOLLOW_BRUSH);
}

CBitmapDialog::~CBitmapDialog() = default;

const CMessageMap& CBitmapDialog::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CBitmapDialog>(CDialog::GetMessageMap())
                                     .on<WM_ERASEBKGND>(&CBitmapDialog::OnEraseBkgnd)
                                     .on<WM_CTLCOLOR>(&CBitmapDialog::OnCtlColor)
                                     .on<WM_QUERYNEWPALETTE>(&CBitmapDialog::OnQueryNewPalette)
                                     .on<WM_PALETTECHANGED>(&CBitmapDialog::OnPaletteChanged);
  return map;
}

BOOL CBitmapDialog::LoadBackground(UINT nIDResource) {
  auto* bitmap = static_cast<HBITMAP>(
      LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (bitmap == nullptr) return FALSE;
  CWnd* desktop = CWnd::GetDesktopWindow();
  CDC* pDC = desktop->GetDC();
  int const loaded = m_background.LoadFromBitmap(bitmap, pDC);
  DeleteObject(bitmap);
  desktop->ReleaseDC(pDC);
  return loaded;
}

BOOL CBitmapDialog::OnEraseBkgnd(CDC* pDC) {
  if (m_background.GetPixelPtr() == nullptr) return CDialog::OnEraseBkgnd(pDC);
  CRect client;
  GetClientRect(&client);
  int const width = m_background.GetWidth();
  int const height = m_background.GetHeight();
  if (m_nDrawMode == kDrawStretch) {
    m_background.DrawDIB(pDC, 0, 0, client.Width(), client.Height());
  } else if (m_nDrawMode == kDrawCenter) {
    CDialog::OnEraseBkgnd(pDC);
    m_background.DrawDIB(pDC, (client.Width() - width) / 2, (client.Height() - height) / 2);
  } else if (width > 0 && height > 0) {
    for (int y = 0; y < client.Height(); y += height) {
      for (int x = 0; x < client.Width(); x += width) m_background.DrawDIB(pDC, x, y);
    }
  }
  return TRUE;
}

HBRUSH CBitmapDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  bool const transparent = m_background.GetPixelPtr() != nullptr &&
                           (nCtlColor == CTLCOLOR_BTN || (nCtlColor == CTLCOLOR_STATIC && !isTrackbar(pWnd)));
  if (!transparent) return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  pDC->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(m_brushHollow.GetSafeHandle());
}

BOOL CBitmapDialog::OnQueryNewPalette() {
  CPalette* palette = m_background.GetPalette();
  if (palette == nullptr || !IsWindow()) return CDialog::OnQueryNewPalette();
  CClientDC dc(this);
  CPalette* oldPalette = dc.SelectPalette(palette, FALSE);
  UINT const changed = dc.RealizePalette();
  dc.SelectPalette(oldPalette, FALSE);
  if (changed == 0) return FALSE;
  Invalidate(TRUE);
  return TRUE;
}

void CBitmapDialog::OnPaletteChanged(CWnd* pFocusWnd) {
  CPalette* palette = m_background.GetPalette();
  HWND const changer = pFocusWnd != nullptr ? pFocusWnd->GetSafeHwnd() : nullptr;
  if (palette == nullptr || !IsWindow() || changer == m_hWnd || ::IsChild(m_hWnd, changer)) {
    CDialog::OnPaletteChanged(pFocusWnd);
    return;
  }
  CClientDC dc(this);
  CPalette* oldPalette = dc.SelectPalette(palette, TRUE);
  UINT const changed = dc.RealizePalette();
  dc.SelectPalette(oldPalette, TRUE);
  if (changed != 0) Invalidate(TRUE);
}
