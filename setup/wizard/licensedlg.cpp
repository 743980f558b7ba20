#include "licensedlg.h"

#include <cstdint>
#include <iterator>
#include <vector>

#include "IntallerRes.h"
#include "pagecommon.h"
#include "productkey.h"
#include "setupstate.h"

namespace {

constexpr WCHAR kLicenseFile[] = u"\\License.rtf";
// The system cursor the link asks for first; no system has a cursor of this
// id, so the link ends up with the labels' fallback hand.
constexpr WORD kLinkCursorId = 136;
// The step by which the in-memory copy of the licence grows.
constexpr UINT kMemFileGrowth = 1024;
constexpr COLORREF kWhite = RGB(255, 255, 255);

/// The rich-edit box's source while it reads the licence: the in-memory file
/// hands over as many bytes as the box asks for, and the stream goes on until
/// the file has none left.
DWORD StreamLicense(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG* pcb) {
  auto* file = reinterpret_cast<CMemFile*>(dwCookie);
  *pcb = cb > 0 ? static_cast<LONG>(file->Read(pbBuff, static_cast<UINT>(cb))) : 0;
  return 0;
}

}  // namespace

CKoraxLicenseDlg::CKoraxLicenseDlg() : CBitmapDialog(IDD_LICENSE) {}

const CMessageMap& CKoraxLicenseDlg::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CKoraxLicenseDlg>(CBitmapDialog::GetMessageMap())
                                     .on<WM_PAINT>(&CKoraxLicenseDlg::OnPaint)
                                     .on<WM_CTLCOLOR>(&CKoraxLicenseDlg::OnCtlColor)
                                     .onBnClicked(IDC_ACCEPT, &CKoraxLicenseDlg::OnAccept)
                                     .onBnClicked(IDC_DECLINE, &CKoraxLicenseDlg::OnDecline)
                                     .onBnClicked(IDC_NEXT, &CKoraxLicenseDlg::OnInstall)
                                     .onBnClicked(IDC_BACK, &CKoraxLicenseDlg::OnBack)
                                     .onStnClicked(IDC_REQUIREMENTS_LINK, &CKoraxLicenseDlg::OnRequirements);
  return map;
}

void CKoraxLicenseDlg::DoDataExchange(CDataExchange* pDX) {
  CBitmapDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_LICENSE_TEXT, m_licenseText);
  DDX_Control(pDX, IDC_PAGE_COVER, m_cover);
  DDX_Control(pDX, IDC_ACCEPT, m_accept);
  DDX_Control(pDX, IDC_DECLINE, m_decline);
  DDX_Control(pDX, IDC_BACK, m_back);
  DDX_Control(pDX, IDC_NEXT, m_install);
  DDX_Control(pDX, IDCANCEL, m_cancel);
  DDX_Control(pDX, IDC_PAGE_TEXT, m_pageText);
  DDX_Control(pDX, IDC_REQUIREMENTS_LINK, m_requirementsLink);
}

BOOL CKoraxLicenseDlg::OnInitDialog() {
  if (!CBitmapDialog::OnInitDialog()) return FALSE;

  CRect page;
  GetWindowRect(&page);
  m_cover.MoveWindow(0, 0, page.Width(), page.Height(), TRUE);

  SetPageIcon(*this);
  SetDrawMode(kDrawStretch);
  LoadBackground(IDB_LICENSE);

  m_pageText.m_crText = kWhite;
  m_back.LoadBitmaps(IDB_BACK, IDB_BACK_PRESSED, IDB_BACK_HOVER);
  m_install.LoadBitmaps(IDB_INSTALL, IDB_INSTALL_PRESSED, IDB_INSTALL_HOVER, IDB_INSTALL_DISABLED);
  m_cancel.LoadBitmaps(IDB_CANCEL_CHOICE, IDB_CANCEL_CHOICE_PRESSED, IDB_CANCEL_CHOICE_HOVER);

  m_requirementsLink.m_crText = kWhite;
  m_requirementsLink.m_hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(kLinkCursorId));
  if (m_requirementsLink.m_hCursor == nullptr) m_requirementsLink.SetFallbackHandCursor();

  loadLicenseText();

  showChoice(SetupState().licenseAccepted);

  for (CShadeButtonST* choice : {&m_accept, &m_decline}) {
    choice->m_crColors[CButtonST::BTNST_COLOR_FG_IN] = kWhite;
    choice->m_crColors[CButtonST::BTNST_COLOR_FG_OUT] = kWhite;
    choice->Invalidate();
  }
  return TRUE;
}

void CKoraxLicenseDlg::loadLicenseText() {
  WCHAR path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  CString folder(path);
  folder = folder.Left(folder.ReverseFind(u'\\'));
  // The folder and the name must fit the path buffer the program works with.
  if (folder.GetLength() + static_cast<int>(std::size(kLicenseFile)) > static_cast<int>(MAX_PATH)) return;

  CFile file;
  if (!file.Open(folder + kLicenseFile, CFile::modeRead | CFile::shareDenyWrite)) return;
  const ULONGLONG fileLength = file.GetLength();
  if (fileLength > UINT32_MAX) return;
  std::vector<BYTE> buffer(static_cast<std::size_t>(fileLength));
  const UINT size = static_cast<UINT>(fileLength);
  if (file.Read(buffer.data(), size) < size) return;
  file.Close();

  // A memory file made over a caller's buffer with a growth step starts
  // empty and would stream nothing: the licence is written into one that
  // grows by the step instead, so the box gets every byte of it.
  CMemFile memory(kMemFileGrowth);
  if (!memory.Write(buffer.data(), size)) return;
  memory.SeekToBegin();

  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&memory);
  stream.pfnCallback = StreamLicense;
  m_licenseText.StreamIn(SF_RTF, stream);

  CHARFORMAT format{};
  format.cbSize = sizeof format;
  m_licenseText.GetDefaultCharFormat(format);
  format.dwEffects &= ~CFE_AUTOCOLOR;
  format.dwMask |= CFM_COLOR;
  format.crTextColor = kWhite;
  m_licenseText.SetDefaultCharFormat(format);
}

void CKoraxLicenseDlg::showChoice(bool accepted) {
  m_accept.SetIcon(accepted ? IDI_CHOICE_ON : IDI_CHOICE_OFF);
  m_decline.SetIcon(accepted ? IDI_CHOICE_OFF : IDI_CHOICE_ON);
  m_install.EnableWindow(accepted ? TRUE : FALSE);
}

void CKoraxLicenseDlg::OnPaint() {
  CPaintDC dc(this);
  if (!m_bFirstPaint) return;
  m_bFirstPaint = FALSE;
  // The background is on the screen from the first erase on: only now can
  // the choices copy what lies behind them.
  SetForegroundWindow();
  m_accept.DrawTransparent();
  m_decline.DrawTransparent();
}

HBRUSH CKoraxLicenseDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if (HBRUSH white = AnswerStaticWhite(pDC, nCtlColor)) return white;
  return CBitmapDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CKoraxLicenseDlg::OnAccept() {
  SetupState().licenseAccepted = true;
  showChoice(true);
}

void CKoraxLicenseDlg::OnDecline() {
  SetupState().licenseAccepted = false;
  showChoice(false);
}

void CKoraxLicenseDlg::OnInstall() {
  // The welcome page validated the folder before it opened this page.
  if (!ConfirmInstallFolder(*this, SetupState().installDir)) return;
  EndDialog(IDC_NEXT);
  WriteProductKey();
}

void CKoraxLicenseDlg::OnBack() { EndDialog(IDC_BACK); }

void CKoraxLicenseDlg::OnRequirements() { ShowRequirementsPage(*this, m_requirementsLink); }
