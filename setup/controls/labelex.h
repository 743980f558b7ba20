// CLabelEx: a static text of the setup pages that paints itself transparently
// in its text colour, optionally underlined, with a cursor of its own while
// the pointer is over it; its clicks reach the parent as STN_CLICKED, so the
// pages use it for link-like texts as well.
#pragma once

#include "afxctrls.h"
#include "labelfields.h"

class CLabelEx : public CStatic, public LabelFields {
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
