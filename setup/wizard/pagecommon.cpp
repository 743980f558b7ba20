#include "pagecommon.h"

#include "fileprimitives.h"
#include "htmldlg.h"
#include "setupstate.h"
#include "setuptext.h"
#include "shlwapi.h"

namespace {

// The setup program's own icon, the same on every page.
constexpr WORD kProgramIconId = 128;

}  // namespace

void SetPageIcon(CWnd& page) {
  // The program's module, not the resource library: the icon is the one the
  // program file shows.
  HICON icon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(kProgramIconId));
  page.SetIcon(icon, FALSE);
}

bool AskPageQuestion(CWnd& page, const CString& text) {
  const UINT type = MB_YESNO | MB_ICONINFORMATION | MB_SYSTEMMODAL | MB_SETFOREGROUND | MB_TOPMOST;
  return MessageBoxW(page.GetSafeHwnd(), text, SetupState().productName, type) == IDYES;
}

void ShowPageWarning(UINT id, const WCHAR* fallback) {
  AfxMessageBox(GetSetupText(id, fallback), MB_OK | MB_ICONWARNING);
}

bool ConfirmInstallFolder(CWnd& page, const CString& folder) {
  if (!IsFolderEmpty(folder)) {
    CString question;
    question.Format(GetSetupText(IDS_FOLDER_NOT_EMPTY, kFallbackFolderNotEmpty), static_cast<LPCWSTR>(folder));
    if (!AskPageQuestion(page, question)) return false;
  }
  if (PathIsNetworkPathW(folder)) return true;
  // The volume is named by what comes before the first backslash: "D:" for
  // D:\Apps\Tools.
  const int backslash = folder.Find(u'\\');
  const CString volume = backslash < 0 ? folder : folder.Left(backslash);
  const int space = CheckDiskSpace(volume);
  return space != 0 && space != 2;
}

void ShowRequirementsPage(CWnd& page, const CWnd& link) {
  CHtmlDlg dialog;
  dialog.m_strPageName = u"REQUIREMENT";
  link.GetWindowText(dialog.m_strTitle);
  CRect area;
  page.GetClientRect(&area);
  page.ClientToScreen(&area);
  dialog.m_rect = area;
  dialog.DoModal();
}

HBRUSH AnswerStaticWhite(CDC* pDC, UINT nCtlColor) {
  if (nCtlColor != CTLCOLOR_STATIC) return nullptr;
  pDC->SetTextColor(RGB(255, 255, 255));
  pDC->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}

CFont& PageHeadingFont() {
  static CFont font;
  if (font.GetSafeHandle() == nullptr) {
    const CString face = GetSetupText(IDS_FONT_FACE, kFallbackFontFacePage);
    font.CreateFont(16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
  }
  return font;
}
