#include "memdc3.h"

CMemDC3::CMemDC3(CDC* pDC) : m_pDC(pDC), m_bMemDC(!pDC->IsPrinting()) {
  if (m_bMemDC) {
    pDC->GetClipBox(&m_rect);
    CreateCompatibleDC(pDC);
    m_bitmap.CreateCompatibleBitmap(pDC, m_rect.Width(), m_rect.Height());
    m_oldBitmap = SelectObject(&m_bitmap);
    FillSolidRect(0, 0, m_rect.Width(), m_rect.Height(), kInitialColor);
    SetWindowOrg(m_rect.left, m_rect.top);
  } else {
    // A printer is not double-buffered: this object borrows the target's
    // context (without owning it) so drawing goes straight there.
    m_bPrinting = pDC->m_bPrinting;
    m_hDC = pDC->m_hDC;
  }
}

CMemDC3::~CMemDC3() {
  if (m_bMemDC) {
    m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top, SRCCOPY);
    SelectObject(m_oldBitmap);
  } else {
    m_hDC = nullptr;
  }
}
