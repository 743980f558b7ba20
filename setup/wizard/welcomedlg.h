// CKoraxWelcomeDlg: the first page of a fresh installation (template 102).
// It shows the install folder, lets the person change it in an inline editor
// or through the shell's folder browser, validates it, takes the licence
// check box, and opens the licence-agreement and system-requirements pages.
// The install flow branches on its result: 1018 install (the folder checked
// and the product key written), 1038 show the licence agreement, 1017 the
// second command button, 1001 the folder taken as typed, 2 cancel.
#pragma once

#include "bitmapdialog.h"
#include "buttonst.h"
#include "labelex.h"
#include "labelpath.h"
#include "shadebuttonst.h"
#include "softbitmapbutton.h"

class CKoraxWelcomeDlg : public CBitmapDialog {
 public:
  CKoraxWelcomeDlg();

  const CMessageMap& GetMessageMap() const override;

  BOOL OnInitDialog() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

  /// Enter: the page has no default command, so a key press in the folder
  /// editor never ends the page behind the person's back.
  void OnOK() override;

  afx_msg void OnPaint();
  afx_msg void OnPathLabel();
  afx_msg void OnBrowse();
  afx_msg void OnLicenseCheck();
  afx_msg void OnLicenseLink();
  afx_msg void OnCustom();
  afx_msg void OnInstall();
  afx_msg void OnNext();
  afx_msg void OnRequirements();

  /// The install folder as the inline editor holds it.
  CString m_strPath;
  /// The check box's icon is captured over the background once it is shown.
  BOOL m_bFirstPaint = TRUE;

  CLabelPath m_lblPath;
  CEdit m_editPath;
  CSoftBitmapButton m_btnBrowse;
  CSoftBitmapButton m_btnCustom;
  CSoftBitmapButton m_btnInstall;
  CSoftBitmapButton m_btnCancel;
  CButtonST m_chkLicense;
  CLabelEx m_lnkLicense;
  CLabelEx m_lnkRequirements;
  CLabelEx m_lblInstallTo;
  CLabelEx m_lblPageText;
  CLabelEx m_lblAccept;
  CShadeButtonST m_btnSpare;

 private:
  /// Checks installDir (set from the path text by the caller), normalising
  /// its backslashes first; an invalid folder has had its message shown.
  bool validateFolder();
  /// Reads the editor into installDir, validates, and ends the page with
  /// `result` or opens the editor for a correction.
  void endIfFolderValid(int result);
  /// The path label gives way to the editor, focused with the caret after
  /// the last character.
  void openInlineEditor();
  /// Icon 131 while the licence is accepted, 132 while it is not.
  void showLicenseIcon();
};
