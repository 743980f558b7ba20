#include "copyfilesdlg.h"

#include "IntallerRes.h"
#include "afxwindowdc.h"
#include "installthread.h"
#include "pagecommon.h"
#include "setupmessages.h"
#include "setupstate.h"
#include "uninstall.h"
#include "win32/com.h"

namespace {

/// The steps every installation reports, before the ones that depend on the
/// machine and the package.
constexpr int kBaseStepCount = 7;

/// The program id whose class the Windows Installer registers; without it
/// the procedure installs the Windows Installer first, one step more.
constexpr WCHAR kWindowsInstallerProgId[] = u"WindowsInstaller.Installer";

/// The hand cursor the link asks the system for. No system has a cursor of
/// this id, so the link always ends up with the fallback hand.
constexpr WORD kLinkCursorId = 136;

constexpr COLORREF kWhite = RGB(255, 255, 255);

}  // namespace

CKoraxCopyFilesDlg::CKoraxCopyFilesDlg() : CBitmapDialog(IDD_COPY_FILES) {}

const CMessageMap& CKoraxCopyFilesDlg::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CKoraxCopyFilesDlg>(CBitmapDialog::GetMessageMap())
                                     .on<WM_PAINT>(&CKoraxCopyFilesDlg::OnPaint)
                                     .on<WM_TIMER>(&CKoraxCopyFilesDlg::OnTimer)
                                     .on<WM_CTLCOLOR>(&CKoraxCopyFilesDlg::OnCtlColor)
                                     .onCommand(IDC_REQUIREMENTS_LINK, &CKoraxCopyFilesDlg::OnRequirements)
                                     .onMessage(WM_SETUP_BEGIN, &CKoraxCopyFilesDlg::OnSetupBegin)
                                     .onMessage(WM_SETUP_STEP_BEGIN, &CKoraxCopyFilesDlg::OnSetupStepBegin)
                                     .onMessage(WM_SETUP_STEP_DONE, &CKoraxCopyFilesDlg::OnSetupStepDone)
                                     .onMessage(WM_SETUP_DONE, &CKoraxCopyFilesDlg::OnSetupDone)
                                     .onMessage(WM_SETUP_FAILED, &CKoraxCopyFilesDlg::OnSetupFailed);
  return map;
}

void CKoraxCopyFilesDlg::DoDataExchange(CDataExchange* pDX) {
  CBitmapDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PROGRESS, m_progress);
  DDX_Control(pDX, IDCANCEL, m_btnCancel);
  DDX_Control(pDX, IDC_PAGE_TEXT, m_lblPageText);
  DDX_Control(pDX, IDC_PAGE_TEXT_2, m_lblPageText2);
  DDX_Control(pDX, IDC_REQUIREMENTS_LINK, m_lnkRequirements);
}

BOOL CKoraxCopyFilesDlg::OnInitDialog() {
  // The base binds the controls and has already ended the page when one of
  // them is missing from the template; no installation starts then.
  if (!CBitmapDialog::OnInitDialog()) return FALSE;
  SetPageIcon(*this);

  SetDrawMode(kDrawStretch);
  LoadBackground(kFirstSlide);
  SetTimer(kSlideTimerId, kSlidePeriodMs, nullptr);

  m_lblPageText.m_crText = kWhite;
  m_lblPageText2.m_crText = kWhite;
  m_btnCancel.LoadBitmaps(IDB_CANCEL, IDB_CANCEL_PRESSED, IDB_CANCEL_HOVER);

  m_lnkRequirements.m_crText = kWhite;
  m_lnkRequirements.m_hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(kLinkCursorId));
  m_lnkRequirements.SetFallbackHandCursor();

  m_progress.ShowWindow(SW_SHOW);
  m_nStepCount = countSteps();
  m_progress.SetRange(0, m_nStepCount);
  m_nPos = 1;
  m_progress.SetPos(m_nPos);

  // AfxBeginThread returns once the thread owns its message queue, so the
  // start message posted right after it cannot be lost.
  m_pInstallThread = AfxBeginThread(RUNTIME_CLASS(CInstallThread), THREAD_PRIORITY_NORMAL, 0, 0);
  if (m_pInstallThread) m_pInstallThread->PostThreadMessage(WM_SETUP_START, 0, reinterpret_cast<LPARAM>(m_hWnd));
  return TRUE;
}

int CKoraxCopyFilesDlg::countSteps() {
  const CSetupState& state = SetupState();
  int steps = kBaseStepCount;
  CLSID installerClass{};
  if (FAILED(CLSIDFromProgID(kWindowsInstallerProgId, &installerClass))) ++steps;
  if (state.os64) ++steps;
  if (state.package64 == 0) ++steps;
  return steps;
}

void CKoraxCopyFilesDlg::OnOK() {}

void CKoraxCopyFilesDlg::OnCancel() {}

void CKoraxCopyFilesDlg::OnPaint() {
  // The background is the base's erase and the bar paints itself.
  CPaintDC dc(this);
}

void CKoraxCopyFilesDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kSlideTimerId) {
    m_nSlide = m_nSlide % kSlides + 1;
    SetDrawMode(kDrawStretch);
    LoadBackground(kFirstSlide - 1 + m_nSlide);
  }
  Invalidate(TRUE);
}

HBRUSH CKoraxCopyFilesDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if (HBRUSH brush = AnswerStaticWhite(pDC, nCtlColor)) return brush;
  return CBitmapDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CKoraxCopyFilesDlg::OnRequirements() { ShowRequirementsPage(*this, m_lnkRequirements); }

LRESULT CKoraxCopyFilesDlg::OnSetupBegin(WPARAM, LPARAM) { return 0; }

LRESULT CKoraxCopyFilesDlg::OnSetupStepBegin(WPARAM, LPARAM) { return 0; }

LRESULT CKoraxCopyFilesDlg::OnSetupStepDone(WPARAM, LPARAM) {
  // More finished steps than counted start the bar over rather than leave it
  // standing full while the installation goes on.
  m_nPos = (m_nPos + 1) % m_nStepCount;
  m_progress.SetPos(m_nPos);
  return 0;
}

LRESULT CKoraxCopyFilesDlg::OnSetupDone(WPARAM, LPARAM) {
  finishInstallation();
  EndDialog(1);
  return 0;
}

LRESULT CKoraxCopyFilesDlg::OnSetupFailed(WPARAM, LPARAM) {
  finishInstallation();
  // The uninstaller removes what the failed run left; whether it could be
  // started changes nothing for the person, who sees the error page next.
  RollBackInstall();
  EndDialog(2);
  return 0;
}

void CKoraxCopyFilesDlg::finishInstallation() {
  m_nPos = m_nStepCount;
  m_progress.SetPos(m_nPos);
  KillTimer(kSlideTimerId);
  // The thread leaves its loop and deletes itself: the page lets go of it
  // here and does not wait for it.
  if (m_pInstallThread) m_pInstallThread->PostThreadMessage(WM_QUIT, 0, 0);
  m_pInstallThread = nullptr;
}
