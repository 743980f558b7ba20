#include "completeerrordlg.h"

#include "IntallerRes.h"
#include "pagecommon.h"

CKoraxCompleteErrorDlg::CKoraxCompleteErrorDlg() : CBitmapDialog(IDD_ERROR_COMPLETE) {}

const CMessageMap& CKoraxCompleteErrorDlg::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CKoraxCompleteErrorDlg>(CBitmapDialog::GetMessageMap())
                                     .on<WM_CTLCOLOR>(&CKoraxCompleteErrorDlg::OnCtlColor)
                                     .onBnClicked(IDC_NEXT, &CKoraxCompleteErrorDlg::OnFinish);
  return map;
}

void CKoraxCompleteErrorDlg::DoDataExchange(CDataExchange* pDX) {
  CBitmapDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_NEXT, m_close);
  DDX_Control(pDX, IDC_PAGE_TEXT, m_message);
}

BOOL CKoraxCompleteErrorDlg::OnInitDialog() {
  if (!CBitmapDialog::OnInitDialog()) return FALSE;
  SetPageIcon(*this);

  SetDrawMode(kDrawStretch);
  LoadBackground(IDB_CLOSING);

  // The heading font, whatever the template's, so that the message reads
  // the same in every language.
  m_message.m_crText = kHeadingColor;
  m_message.SetFont(&PageHeadingFont(), TRUE);

  m_close.LoadBitmaps(IDB_FINISH_BUTTON, IDB_FINISH_BUTTON_PRESSED, IDB_FINISH_BUTTON_HOVER);
  return TRUE;
}

HBRUSH CKoraxCompleteErrorDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if (HBRUSH white = AnswerStaticWhite(pDC, nCtlColor)) return white;
  return CBitmapDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CKoraxCompleteErrorDlg::OnFinish() { EndDialog(IDC_NEXT); }
