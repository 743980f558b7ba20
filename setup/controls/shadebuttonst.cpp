#include "shadebuttonst.h"

CShadeButtonST::~CShadeButtonST() = default;

DWORD CShadeButtonST::OnDrawBackground(CDC* pDC, CRect*) {
  if (!m_bMouseOnButton)
    m_slots[kNormal].Draw(pDC->GetSafeHdc(), 0, 0);
  else if (m_bIsPressed)
    m_slots[kHover].Draw(pDC->GetSafeHdc(), 1, 1);
  else
    m_slots[kHover].Draw(pDC->GetSafeHdc(), 0, 0);
  return 0;
}
