#include "welcomedlg.h"

#include <memory>

#include "pagecommon.h"
#include "productkey.h"
#include "setupstate.h"
#include "setuptext.h"
#include "shlobj.h"
#include "shlwapi.h"

namespace {

/// The eight characters that may not follow the drive or the leading
/// backslash of an install folder (message 2028 lists them).
constexpr WCHAR kInvalidPathCharacters[] = u"/:*?\"<>|";

/// A folder chosen in the browser ends in this year when it is already a
/// product folder of the suite, so no product folder is appended to it.
constexpr WCHAR kSuiteFolderSuffix[] = u"2016";

struct ItemIdListFree {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using OwnedItemIdList = std::unique_ptr<ITEMIDLIST, ItemIdListFree>;

/// The folder browser's callback: it opens on the folder the page shows
/// (lpData, the path text) and keeps the status line on the full path of
/// the folder selected.
int browseCallback(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData) {
  if (uMsg == BFFM_INITIALIZED) {
    SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, lpData);
    SendMessageW(hwnd, BFFM_SETSTATUSTEXTW, 0, lpData);
  } else if (uMsg == BFFM_SELCHANGED) {
    WCHAR path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path))
      SendMessageW(hwnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
  }
  return 0;
}

/// The links show the system's hand; a system without one gets the hand of
/// winhlp32.exe.
void setHandCursor(LabelFields& link) {
  link.m_hCursor = LoadCursorW(nullptr, IDC_HAND);
  if (link.m_hCursor == nullptr) link.SetFallbackHandCursor();
}

/// The part of a folder after its drive or leading backslash may not hold
/// any of the eight characters; message 2028 otherwise.
bool hasOnlyValidCharacters(const CString& rest) {
  if (rest.FindOneOf(kInvalidPathCharacters) < 0) return true;
  ShowPageWarning(IDS_PATH_INVALID_CHARACTERS, kFallbackPathInvalidCharacters);
  return false;
}

}  // namespace

CKoraxWelcomeDlg::CKoraxWelcomeDlg() : CBitmapDialog(IDD_WELCOME) {}

const CMessageMap& CKoraxWelcomeDlg::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CKoraxWelcomeDlg>(CBitmapDialog::GetMessageMap())
                                     .on<WM_PAINT>(&CKoraxWelcomeDlg::OnPaint)
                                     .onCommand(IDC_PATH, &CKoraxWelcomeDlg::OnPathLabel)
                                     .onCommand(IDC_BROWSE, &CKoraxWelcomeDlg::OnBrowse)
                                     .onCommand(IDC_LICENSE_CHECK, &CKoraxWelcomeDlg::OnLicenseCheck)
                                     .onCommand(IDC_LICENSE_LINK, &CKoraxWelcomeDlg::OnLicenseLink)
                                     .onCommand(IDC_CUSTOM, &CKoraxWelcomeDlg::OnCustom)
                                     .onCommand(IDC_INSTALL, &CKoraxWelcomeDlg::OnInstall)
                                     .onCommand(IDC_NEXT, &CKoraxWelcomeDlg::OnNext)
                                     .onCommand(IDC_REQUIREMENTS_LINK, &CKoraxWelcomeDlg::OnRequirements);
  return map;
}

void CKoraxWelcomeDlg::DoDataExchange(CDataExchange* pDX) {
  CBitmapDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PATH, m_lblPath);
  DDX_Control(pDX, IDC_PATH_EDIT, m_editPath);
  DDX_Control(pDX, IDCANCEL, m_btnCancel);
  DDX_Control(pDX, IDC_LICENSE_CHECK, m_chkLicense);
  DDX_Control(pDX, IDC_LICENSE_LINK, m_lnkLicense);
  DDX_Control(pDX, IDC_REQUIREMENTS_LINK, m_lnkRequirements);
  DDX_Control(pDX, IDC_INSTALL_TO_TEXT, m_lblInstallTo);
  DDX_Control(pDX, IDC_PAGE_TEXT, m_lblPageText);
  DDX_Control(pDX, IDC_ACCEPT_TEXT, m_lblAccept);
  DDX_Control(pDX, IDC_SPARE_BUTTON, m_btnSpare);
  DDX_Text(pDX, IDC_PATH_EDIT, m_strPath);
}

BOOL CKoraxWelcomeDlg::OnInitDialog() {
  // The base binds the controls and has already ended the page when one of
  // them is missing from the template.
  if (!CBitmapDialog::OnInitDialog()) return FALSE;
  SetPageIcon(*this);
  SetDrawMode(kDrawStretch);
  LoadBackground(IDB_WELCOME);

  // The three command buttons are attached here rather than in the data
  // exchange; a template without one of them cannot make this page either.
  if (!m_btnBrowse.SubclassDlgItem(IDC_BROWSE, this) || !m_btnCustom.SubclassDlgItem(IDC_CUSTOM, this) ||
      !m_btnInstall.SubclassDlgItem(IDC_INSTALL, this)) {
    EndDialog(-1);
    return FALSE;
  }
  m_btnBrowse.LoadBitmaps(IDB_BROWSE, IDB_BROWSE_PRESSED, IDB_BROWSE_HOVER);
  m_btnCustom.LoadBitmaps(IDB_CUSTOM, IDB_CUSTOM_PRESSED, IDB_CUSTOM_HOVER);
  m_btnInstall.LoadBitmaps(IDB_INSTALL, IDB_INSTALL_PRESSED, IDB_INSTALL_HOVER);
  m_btnCancel.LoadBitmaps(IDB_CANCEL, IDB_CANCEL_PRESSED, IDB_CANCEL_HOVER);

  const CSetupState& state = SetupState();
  m_strPath = state.installDir;
  UpdateData(FALSE);

  m_lnkRequirements.m_crText = RGB(0, 0, 0);
  setHandCursor(m_lnkRequirements);

  m_lblAccept.m_crText = RGB(0, 0, 0);
  m_lnkLicense.m_crText = RGB(0, 0, 0);
  setHandCursor(m_lnkLicense);
  m_lnkLicense.m_crUnderline = RGB(125, 125, 125);
  m_lnkLicense.m_bUnderline = TRUE;

  m_lblInstallTo.m_crText = RGB(255, 255, 255);
  m_lblPageText.m_crText = RGB(255, 255, 255);
  m_editPath.ShowWindow(SW_HIDE);
  m_lblPath.m_crText = RGB(255, 255, 255);
  m_lblPath.SetWindowText(state.installDir);

  showLicenseIcon();
  return TRUE;
}

void CKoraxWelcomeDlg::OnOK() {}

void CKoraxWelcomeDlg::OnPaint() {
  CBitmapDialog::OnPaint();
  if (!m_bFirstPaint) return;
  m_bFirstPaint = FALSE;
  // The check box drew itself before the page's picture was on the screen:
  // it captures the picture behind it now and draws over that from here on.
  showLicenseIcon();
  m_chkLicense.DrawTransparent();
}

void CKoraxWelcomeDlg::OnPathLabel() {
  UpdateData(TRUE);
  SetupState().installDir = m_strPath;
  openInlineEditor();
}

void CKoraxWelcomeDlg::OnBrowse() {
  UpdateData(TRUE);
  const CString title = GetSetupText(IDS_BROWSE_TITLE, kFallbackBrowseTitle);
  WCHAR displayName[MAX_PATH] = {};
  BROWSEINFOW info{};
  info.hwndOwner = GetSafeHwnd();
  info.pszDisplayName = displayName;
  info.lpszTitle = title;
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  info.lpfn = &browseCallback;
  info.lParam = reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(m_strPath));
  const OwnedItemIdList chosen(SHBrowseForFolderW(&info));
  if (!chosen) return;
  WCHAR path[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(chosen.get(), path)) return;

  m_strPath = path;
  m_strPath.Trim();
  m_strPath.TrimRight(u'\\');
  const CString& productName = SetupState().productName;
  if (m_strPath.Right(4) != kSuiteFolderSuffix && m_strPath != productName) m_strPath += u'\\' + productName;
  UpdateData(FALSE);
  openInlineEditor();
}

void CKoraxWelcomeDlg::OnLicenseCheck() {
  CSetupState& state = SetupState();
  state.licenseAccepted = !state.licenseAccepted;
  showLicenseIcon();
}

void CKoraxWelcomeDlg::OnLicenseLink() { endIfFolderValid(IDC_LICENSE_LINK); }

void CKoraxWelcomeDlg::OnCustom() { endIfFolderValid(IDC_CUSTOM); }

void CKoraxWelcomeDlg::OnInstall() {
  UpdateData(TRUE);
  CSetupState& state = SetupState();
  if (!state.licenseAccepted) {
    ShowPageWarning(IDS_LICENSE_NOT_ACCEPTED, kFallbackLicenseNotAccepted);
    return;
  }
  state.installDir = m_strPath;
  if (!validateFolder()) {
    openInlineEditor();
    return;
  }
  if (!ConfirmInstallFolder(*this, state.installDir)) return;
  WriteProductKey();
  EndDialog(IDC_INSTALL);
}

void CKoraxWelcomeDlg::OnNext() {
  UpdateData(TRUE);
  SetupState().installDir = m_strPath;
  EndDialog(IDC_NEXT);
}

void CKoraxWelcomeDlg::OnRequirements() { ShowRequirementsPage(*this, m_lnkRequirements); }

bool CKoraxWelcomeDlg::validateFolder() {
  CString& folder = SetupState().installDir;
  while (folder.Find(u"\\\\") >= 0) folder.Replace(u"\\\\", u"\\");
  if (!folder.IsEmpty() && folder[folder.GetLength() - 1] == u'\\') {
    folder.TrimRight(u'\\');
    folder += u'\\';
    m_strPath = folder;
    UpdateData(FALSE);
  }
  if (PathIsFileSpecW(folder)) {
    ShowPageWarning(IDS_PATH_INPUT_ERROR, kFallbackPathInputError);
    return false;
  }
  if (PathIsRootW(folder)) {
    ShowPageWarning(IDS_PATH_IS_ROOT, kFallbackPathIsRoot);
    return false;
  }
  const int colon = folder.Find(u':');
  const int backslash = folder.Find(u'\\');
  if (colon == 1 && backslash == 2) return hasOnlyValidCharacters(folder.Mid(3));
  if (colon != 1 && backslash == 0) return hasOnlyValidCharacters(folder.Mid(2));
  ShowPageWarning(IDS_PATH_INPUT_ERROR, kFallbackPathInputError);
  return false;
}

void CKoraxWelcomeDlg::endIfFolderValid(int result) {
  UpdateData(TRUE);
  SetupState().installDir = m_strPath;
  if (validateFolder()) {
    EndDialog(result);
  } else {
    openInlineEditor();
  }
}

void CKoraxWelcomeDlg::openInlineEditor() {
  m_lblPath.ShowWindow(SW_HIDE);
  m_editPath.ShowWindow(SW_SHOW);
  m_editPath.SetFocus();
  const int end = m_editPath.GetWindowTextLength();
  m_editPath.SetSel(end, end);
}

void CKoraxWelcomeDlg::showLicenseIcon() {
  m_chkLicense.SetIcon(SetupState().licenseAccepted ? IDI_CHECK_TICKED : IDI_CHECK_CLEAR);
}
