// CKoraxCompleteErrorDlg: the page shown whenever an installation or a
// maintenance run ends without success. It shows the template's message as
// a yellow bold heading and closes with its button (1001) or Escape (2); the
// flow ends after it whatever it returns.
#pragma once

#include "bitmapdialog.h"
#include "labelex.h"
#include "softbitmapbutton.h"

class CKoraxCompleteErrorDlg : public CBitmapDialog {
 public:
  /// The heading's colour.
  static constexpr COLORREF kHeadingColor = RGB(249, 224, 109);

  CKoraxCompleteErrorDlg();

  const CMessageMap& GetMessageMap() const override;

  BOOL OnInitDialog() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  /// Enter has no meaning of its own on this page: only its button and
  /// Escape end it.
  void OnOK() override {}

  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnFinish();

 private:
  CSoftBitmapButton m_close;
  CLabelEx m_message;
};
