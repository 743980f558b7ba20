#include "welcomemaintdlg.h"

#include "IntallerRes.h"
#include "pagecommon.h"
#include "productkey.h"
#include "setupstate.h"
#include "setuptext.h"
#include "shlwapi.h"
#include "win32/profile.h"

namespace {

constexpr COLORREF kHeadingColor = RGB(249, 224, 109);

/// Where the installation keeps its copy of the package's Setup.ini, and
/// the workspace choice in it.
constexpr WCHAR kSetupIniName[] = u"\\Setup.ini";
constexpr WCHAR kSetupSection[] = u"SETUP";
constexpr WCHAR kClassicKey[] = u"CLASSIC";

}  // namespace

CKoraxWelcomeMaintDlg::CKoraxWelcomeMaintDlg() : CBitmapDialog(IDD_MAINTENANCE) {}

const CMessageMap& CKoraxWelcomeMaintDlg::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CKoraxWelcomeMaintDlg>(CBitmapDialog::GetMessageMap())
                                     .on<WM_PAINT>(&CKoraxWelcomeMaintDlg::OnPaint)
                                     .on<WM_CTLCOLOR>(&CKoraxWelcomeMaintDlg::OnCtlColor)
                                     .onCommand(IDC_REPAIR, &CKoraxWelcomeMaintDlg::OnRepair)
                                     .onCommand(IDC_REMOVE, &CKoraxWelcomeMaintDlg::OnRemove)
                                     .onCommand(IDC_NEXT, &CKoraxWelcomeMaintDlg::OnNext)
                                     .onCommand(IDC_BACK, &CKoraxWelcomeMaintDlg::OnBack);
  return map;
}

void CKoraxWelcomeMaintDlg::DoDataExchange(CDataExchange* pDX) {
  CBitmapDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_REPAIR, m_btnRepair);
  DDX_Control(pDX, IDC_REMOVE, m_btnRemove);
  DDX_Control(pDX, IDC_NEXT, m_btnNext);
  DDX_Control(pDX, IDC_BACK, m_btnBack);
  DDX_Control(pDX, IDCANCEL, m_btnCancel);
  DDX_Control(pDX, IDC_PAGE_TEXT, m_lblHeading);
}

BOOL CKoraxWelcomeMaintDlg::OnInitDialog() {
  // The base binds the controls and has already ended the page when one of
  // them is missing from the template.
  if (!CBitmapDialog::OnInitDialog()) return FALSE;
  SetPageIcon(*this);

  SetDrawMode(kDrawStretch);
  LoadBackground(IDB_CLOSING);

  m_lblHeading.m_crText = kHeadingColor;
  m_lblHeading.SetFont(&PageHeadingFont(), TRUE);

  m_btnBack.LoadBitmaps(IDB_BACK, IDB_BACK_PRESSED, IDB_BACK_HOVER, IDB_BACK_DISABLED);
  m_btnNext.LoadBitmaps(IDB_NEXT, IDB_NEXT_PRESSED, IDB_NEXT_HOVER);
  m_btnCancel.LoadBitmaps(IDB_CANCEL_CHOICE, IDB_CANCEL_CHOICE_PRESSED, IDB_CANCEL_CHOICE_HOVER);

  showChoice();
  m_btnRepair.RedrawWindow();
  m_btnRemove.RedrawWindow();
  return TRUE;
}

void CKoraxWelcomeMaintDlg::showChoice() {
  // Any mode but removal shows repair chosen, which is what Next then does.
  const bool remove = SetupState().mode == ModeRemove;
  m_btnRepair.SetIcon(remove ? IDI_CHOICE_OFF : IDI_CHOICE_ON);
  m_btnRemove.SetIcon(remove ? IDI_CHOICE_ON : IDI_CHOICE_OFF);
}

void CKoraxWelcomeMaintDlg::OnOK() {}

void CKoraxWelcomeMaintDlg::OnPaint() {
  CBitmapDialog::OnPaint();
  // The choices lie over the page's picture: each paint has them capture
  // what is behind them anew, so they never show a stale background.
  m_btnRepair.DrawTransparent();
  m_btnRemove.DrawTransparent();
}

HBRUSH CKoraxWelcomeMaintDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if (HBRUSH brush = AnswerStaticWhite(pDC, nCtlColor)) return brush;
  return CBitmapDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CKoraxWelcomeMaintDlg::OnRepair() {
  SetupState().mode = ModeReinstall;
  showChoice();
}

void CKoraxWelcomeMaintDlg::OnRemove() {
  SetupState().mode = ModeRemove;
  showChoice();
}

void CKoraxWelcomeMaintDlg::OnNext() {
  CSetupState& state = SetupState();
  if (state.mode == ModeRemove) {
    const bool confirmed = AskPageQuestion(*this, GetSetupText(IDS_CONFIRM_UNINSTALL, kFallbackConfirmUninstall));
    EndDialog(confirmed ? IDC_NEXT : IDCANCEL);
    return;
  }
  WriteProductKey();
  EndDialog(IDC_NEXT);
  // A repair installs over the recorded installation as a fresh one would,
  // keeping the workspace the person chose then.
  state.installedFound = false;
  const CString setupIni = state.installDir + kSetupIniName;
  if (PathFileExistsW(setupIni))
    state.classicWorkspace = static_cast<int>(GetPrivateProfileIntW(kSetupSection, kClassicKey, 0, setupIni));
}

void CKoraxWelcomeMaintDlg::OnBack() {
  // There is no page before this one; Back is shown for the wizard's look.
}
