// CKoraxLicenseDlg: the licence-agreement page of a fresh installation. It
// shows License.rtf from the setup program's own folder in a rich-edit box,
// offers accept / do-not-accept as icon choices (Install is enabled only
// while the licence is accepted), and ends with Install (1001, after the
// checks of the install folder and with the product key written), Back
// (1000) or Cancel (2). The choice lives on in licenseAccepted, which the
// welcome page shows again when the person goes back.
#pragma once

#include "afxcmn.h"
#include "bitmapdialog.h"
#include "labelex.h"
#include "shadebuttonst.h"
#include "softbitmapbutton.h"

class CKoraxLicenseDlg : public CBitmapDialog {
 public:
  CKoraxLicenseDlg();

  const CMessageMap& GetMessageMap() const override;

  BOOL OnInitDialog() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  /// Enter has no meaning of its own on this page: only its buttons end it.
  void OnOK() override {}

  afx_msg void OnPaint();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnAccept();
  afx_msg void OnDecline();
  afx_msg void OnInstall();
  afx_msg void OnBack();
  afx_msg void OnRequirements();

 private:
  /// Fills the licence box from License.rtf beside the program; a file that
  /// is missing, cannot be read whole or is too large leaves it empty.
  void loadLicenseText();
  /// Shows the choice icons for licenseAccepted and enables Install with it.
  void showChoice(bool accepted);

  CRichEditCtrl m_licenseText;
  CStatic m_cover;
  CShadeButtonST m_accept;
  CShadeButtonST m_decline;
  CSoftBitmapButton m_back;
  CSoftBitmapButton m_install;
  CSoftBitmapButton m_cancel;
  CLabelEx m_pageText;
  CLabelEx m_requirementsLink;
  BOOL m_bFirstPaint = TRUE;
};
