#include "finishdlg.h"

#include "IntallerRes.h"
#include "pagecommon.h"
#include "setupstate.h"

CKoraxFinishDlg::CKoraxFinishDlg() : CBitmapDialog(IDD_FINISH) {}

const CMessageMap& CKoraxFinishDlg::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CKoraxFinishDlg>(CBitmapDialog::GetMessageMap())
                                     .on<WM_PAINT>(&CKoraxFinishDlg::OnPaint)
                                     .onBnClicked(IDC_LAUNCH_CHECK, &CKoraxFinishDlg::OnLaunch)
                                     .onBnClicked(IDC_MODERN_WORKSPACE, &CKoraxFinishDlg::OnModernWorkspace)
                                     .onBnClicked(IDC_CLASSIC_WORKSPACE, &CKoraxFinishDlg::OnClassicWorkspace)
                                     .onBnClicked(IDC_NEXT, &CKoraxFinishDlg::OnFinish);
  return map;
}

void CKoraxFinishDlg::DoDataExchange(CDataExchange* pDX) {
  CBitmapDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_NEXT, m_finish);
  DDX_Control(pDX, IDC_LAUNCH_CHECK, m_launch);
  DDX_Control(pDX, IDC_PAGE_TEXT, m_pageText);
  DDX_Control(pDX, IDC_MODERN_WORKSPACE, m_modernWorkspace);
  DDX_Control(pDX, IDC_CLASSIC_WORKSPACE, m_classicWorkspace);
}

BOOL CKoraxFinishDlg::OnInitDialog() {
  if (!CBitmapDialog::OnInitDialog()) return FALSE;
  SetForegroundWindow();
  SetPageIcon(*this);

  m_pageText.m_crText = RGB(255, 255, 255);
  m_finish.LoadBitmaps(IDB_FINISH_BUTTON, IDB_FINISH_BUTTON_PRESSED, IDB_FINISH_BUTTON_HOVER);

  SetDrawMode(kDrawStretch);
  LoadBackground(IDB_FINISH);

  m_modernWorkspace.ShowWindow(SW_HIDE);
  m_classicWorkspace.ShowWindow(SW_HIDE);

  showLaunchIcon();
  return TRUE;
}

void CKoraxFinishDlg::showLaunchIcon() {
  m_launch.SetIcon(SetupState().launchAfterFinish ? IDI_CHECK_TICKED : IDI_CHECK_CLEAR);
}

void CKoraxFinishDlg::OnPaint() {
  CPaintDC dc(this);
  if (!m_bFirstPaint) return;
  m_bFirstPaint = FALSE;
  // The background is on the screen from the first erase on: only now can
  // the check box copy what lies behind it.
  showLaunchIcon();
  m_launch.DrawTransparent();
}

void CKoraxFinishDlg::OnLaunch() {
  CSetupState& state = SetupState();
  state.launchAfterFinish = !state.launchAfterFinish;
  showLaunchIcon();
}

void CKoraxFinishDlg::chooseWorkspace(int classic) {
  SetupState().classicWorkspace = classic;
  m_modernWorkspace.SetIcon(classic == 0 ? IDI_CHOICE_ON : IDI_CHOICE_OFF);
  m_classicWorkspace.SetIcon(classic == 0 ? IDI_CHOICE_OFF : IDI_CHOICE_ON);
}

void CKoraxFinishDlg::OnModernWorkspace() { chooseWorkspace(0); }

void CKoraxFinishDlg::OnClassicWorkspace() { chooseWorkspace(1); }

void CKoraxFinishDlg::OnFinish() { EndDialog(IDC_NEXT); }
