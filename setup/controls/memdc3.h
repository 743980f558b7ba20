// CMemDC3: an off-screen drawing surface for one paint. Everything drawn on
// it lands in a memory bitmap the size of the target's clip box, in the
// target's own coordinates, and reaches the target in one pixel copy when
// the object goes away, so a control that paints in many steps (the
// gradient progress bar's bands) does not flicker.
#pragma once

#include "afxwin.h"

class CMemDC3 : public CDC {
 public:
  /// The colour the surface starts with, where nothing is drawn.
  static constexpr COLORREF kInitialColor = RGB(58, 58, 58);

  /// Draws off-screen for pDC; a printer context is drawn on directly.
  explicit CMemDC3(CDC* pDC);
  /// Copies the surface to the target's clip box.
  ~CMemDC3() override;

  /// The target's clip box the surface covers, in the target's coordinates.
  const CRect& GetRect() const { return m_rect; }

 private:
  CDC* m_pDC;
  CBitmap m_bitmap;
  CBitmap* m_oldBitmap = nullptr;
  CRect m_rect;
  BOOL m_bMemDC;
};
