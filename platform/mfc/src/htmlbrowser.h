// The HTML dialog's browser control: a child window that lays out and draws
// an HTML view at its size, scrolls it with the keys, and tells its dialog
// which element a click falls on.
#pragma once

#include <string>

#include "afxdhtml.h"
#include "winsim/htmlview.h"

namespace winsim::mfc {

class HtmlBrowser : public CWnd {
 public:
  explicit HtmlBrowser(CDHtmlDialog& dialog) : m_dialog(dialog) {}
  const CMessageMap& GetMessageMap() const override;

  /// Creates the control over the dialog's client area.
  BOOL create();
  void navigate(const std::u16string& location);

  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg UINT OnGetDlgCode();

 private:
  /// Lays the page out for the client area and keeps the scroll position
  /// inside the page.
  void relayout();
  void scrollTo(int y);

  CDHtmlDialog& m_dialog;
  HtmlView m_view;
  int m_scroll = 0;
  int m_viewHeight = 0;
  bool m_pressed = false;
};

}  // namespace winsim::mfc
