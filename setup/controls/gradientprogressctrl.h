// CGradientProgressCtrl: the copy-files page's overall progress bar. The done
// part is a gradient of colour bands, the rest a pattern from the resource
// library, both drawn off-screen (CMemDC3) and copied in one go so the bar
// does not flicker while the page advances it; the caption is drawn over
// them. At either end of the range the bar is a plain button-face strip.
#pragma once

#include "afxcmn.h"

class CGradientProgressCtrl : public CProgressCtrl {
 public:
  /// The pattern of the part not done yet.
  static constexpr UINT kPatternBitmapId = 181;
  /// The caption and the face it is set in, from the resource library.
  static constexpr UINT kCaptionTextId = 2036;
  static constexpr UINT kCaptionFaceTextId = 2037;
  static constexpr const WCHAR* kCaptionFallback = u"Overall progress...";
  static constexpr const WCHAR* kCaptionFaceFallback = u"MS Sans Serif";
  /// Where the caption starts.
  static constexpr int kCaptionLeft = 30;

  const CMessageMap& GetMessageMap() const override;

  /// Keep the range and position here, and give them to the progress window
  /// so that it repaints.
  void SetRange(int nLower, int nUpper);
  int SetPos(int nPos);

  int m_nLower = 0;
  int m_nUpper = 100;
  int m_nStep = 10;
  int m_nPos = 0;
  COLORREF m_clrStart = RGB(7, 85, 49);
  COLORREF m_clrEnd = RGB(72, 211, 29);
  COLORREF m_clrText = RGB(255, 255, 255);
  BOOL m_bShowText = TRUE;

 protected:
  afx_msg void OnPaint();
  /// The paint covers the whole bar: nothing is erased first.
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);

 private:
  /// The bands over the done width and the pattern over the rest.
  void drawGradient(CDC& dc, const CRect& client, int doneWidth) const;
  void drawCaption(CDC& dc, const CRect& client) const;
};
