// CShadeButtonST: the pages' icon radio buttons, a CButtonST whose
// background comes from six picture slots (normal, pressed, disabled, hover
// and two shading strips). Nothing in the setup program fills the slots, and
// the pages draw these buttons transparently, so they look and behave as
// CButtonST; with a filled slot the normal picture shows at rest and the
// hover one while the pointer is over the button, pushed by a pixel while
// pressed.
#pragma once

#include "buttonst.h"
#include "cexdib.h"

class CShadeButtonST : public CButtonST {
 public:
  enum Slot { kNormal = 0, kPressed = 1, kDisabled = 2, kHover = 3, kShadeH = 4, kShadeV = 5, kSlots = 6 };

  CShadeButtonST() = default;
  ~CShadeButtonST() override;

  /// A picture slot, for a shade generator to fill.
  CCeXDib& slot(Slot which) { return m_slots[which]; }

 protected:
  DWORD OnDrawBackground(CDC* pDC, CRect* pRect) override;

 private:
  CCeXDib m_slots[kSlots];
};
