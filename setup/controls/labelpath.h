// CLabelPath: the label that shows the install folder. It is a CLabelEx in
// all but the text: only as many characters as the font's average width lets
// fit are shown, the rest of the path is cut without an ellipsis.
#pragma once

#include "afxctrls.h"
#include "labelfields.h"

class CLabelPath : public CStatic, public LabelFields {
 public:
  const CMessageMap& GetMessageMap() const override;

 protected:
  /// Attaching to the page's static: notify style and the page's font.
  void PreSubclassWindow() override;
  afx_msg void OnPaint();
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  /// A new text: the old one is painted over by what lies behind it.
  afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
};
