// CKoraxWelcomeMaintDlg: the first page when the setup program runs from the
// package against a recorded installation (template 108). Two icon choices,
// repair and remove, and Next. Removal is confirmed with a question; repair
// writes the product key again and takes the workspace choice from the
// Setup.ini the installation keeps, before the copy-files page installs
// again. Results: 1001 go on (with the choice in the state's mode), 2 cancel.
#pragma once

#include "bitmapdialog.h"
#include "labelex.h"
#include "shadebuttonst.h"
#include "softbitmapbutton.h"

class CKoraxWelcomeMaintDlg : public CBitmapDialog {
 public:
  CKoraxWelcomeMaintDlg();

  const CMessageMap& GetMessageMap() const override;

  BOOL OnInitDialog() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

  /// Enter: the page has no default command; only Next goes on.
  void OnOK() override;

  afx_msg void OnPaint();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnRepair();
  afx_msg void OnRemove();
  afx_msg void OnNext();
  afx_msg void OnBack();

  CShadeButtonST m_btnRepair;
  CShadeButtonST m_btnRemove;
  CSoftBitmapButton m_btnNext;
  CSoftBitmapButton m_btnBack;
  CSoftBitmapButton m_btnCancel;
  CLabelEx m_lblHeading;

 private:
  /// The chosen icon on the button of the state's mode, the other one on
  /// the other button.
  void showChoice();
};
