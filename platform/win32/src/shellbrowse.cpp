// The shell's folder browser (SHBrowseForFolderW): a modal dialog of the
// window layer, made from a template built here in memory.
//
// The machine has no folder tree to click through, so the person names the
// folder by its path in the folder box. Every change of the box is weighed:
// a full path (X:\...) of an existing folder of the machine, inside the
// browser's root, becomes the selection and the callback hears
// BFFM_SELCHANGED; anything else leaves the dialog without a selection, and
// OK is disabled until there is one again, as the browser disables it for an
// item that is no folder.
//
// Item id lists have the form SHGetSpecialFolderLocation gives (shell.cpp):
// one item for the drive, one for each folder below it, each carrying its
// name as UTF-16, ended by an item of size 0.
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogstate.h"
#include "objbase.h"
#include "shellitems.h"
#include "shlobj.h"
#include "win32/errors.h"
#include "win32/user.h"
#include "winsim/machine.h"
#include "winsim/text.h"
#include "winsim/transcript.h"

namespace winsim::shell {

namespace {

namespace fs = std::filesystem;

constexpr WORD kButtonAtom = 0x0080, kEditAtom = 0x0081, kStaticAtom = 0x0082;
constexpr WORD kNoId = 0xFFFF;  // the labels nobody addresses

/// Posted to the dialog from WM_INITDIALOG: the modal loop shows the dialog
/// before it reads its queue, so the callback hears BFFM_INITIALIZED with the
/// dialog up.
constexpr UINT kDialogIsUp = WM_APP + 0x3740;

constexpr char16_t kCaption[] = u"Browse For Folder";

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool isFullPath(std::u16string_view text) {
  const char16_t d = text.empty() ? 0 : upperCase(text[0]);
  return text.size() >= 3 && d >= u'A' && d <= u'Z' && text[1] == u':' && isSeparator(text[2]);
}

/// Whether `path` is `root` or lies below it (both full paths, case ignored).
bool isInside(std::u16string_view path, std::u16string_view root) {
  if (root.empty()) return true;
  if (path.size() < root.size() || !equalsNoCase(path.substr(0, root.size()), root)) return false;
  return path.size() == root.size() || root.back() == u'\\' || path[root.size()] == u'\\';
}

/// The folder the box names: its full path with the names as the disk spells
/// them, when it exists inside `root`; otherwise nothing.
std::optional<std::u16string> existingFolder(std::u16string_view text, std::u16string_view root) {
  if (!isFullPath(text)) return std::nullopt;
  Machine* machine = currentMachine();
  if (!machine) return std::nullopt;
  auto full = machine->fullWindowsPath(text);
  if (!full) return std::nullopt;
  auto host = machine->hostPath(full.value());
  if (!host) return std::nullopt;
  std::error_code ec;
  if (!fs::is_directory(host.value(), ec)) return std::nullopt;
  std::u16string path = machine->windowsPath(host.value()).value_or(full.value());
  if (path.size() >= MAX_PATH || !isInside(path, root)) return std::nullopt;
  return path;
}

/// The folder's own name; a drive is named by its letter and colon.
std::u16string displayNameOf(std::u16string_view path) {
  if (path.size() <= 3) return std::u16string(path.substr(0, 2));
  return std::u16string(path.substr(path.rfind(u'\\') + 1));
}

/// An old-layout dialog template (DLGTEMPLATE), kept in WORDs so that each
/// item starts on the DWORD boundary the format puts it on.
class TemplateWriter {
 public:
  TemplateWriter(DWORD style, short cx, short cy, std::u16string_view title, std::u16string_view face, WORD points) {
    dword(style | DS_SETFONT).dword(0);
    m_countAt = m_words.size();
    word(0);
    word(0).word(0).word(static_cast<WORD>(cx)).word(static_cast<WORD>(cy));
    word(0).word(0);  // no menu, the dialog class
    text(title);
    word(points);
    text(face);
  }

  TemplateWriter& item(WORD atom, std::u16string_view caption, WORD id, DWORD style, short x, short y, short cx,
                       short cy) {
    while (m_words.size() % 2) word(0);
    dword(style | WS_CHILD | WS_VISIBLE).dword(0);
    word(static_cast<WORD>(x)).word(static_cast<WORD>(y)).word(static_cast<WORD>(cx)).word(static_cast<WORD>(cy));
    word(id);
    word(0xFFFF).word(atom);
    text(caption);
    word(0);  // no creation data
    ++m_words[m_countAt];
    return *this;
  }

  /// The finished template; the trailing word keeps the reader's last
  /// alignment step inside the buffer.
  const std::vector<WORD>& finish() {
    word(0);
    return m_words;
  }

 private:
  TemplateWriter& word(WORD w) {
    m_words.push_back(w);
    return *this;
  }
  TemplateWriter& dword(DWORD d) { return word(static_cast<WORD>(d)).word(static_cast<WORD>(d >> 16)); }
  TemplateWriter& text(std::u16string_view s) {
    for (char16_t c : s) word(c);
    return word(0);
  }

  std::vector<WORD> m_words;
  std::size_t m_countAt = 0;
};

/// The browser's layout in dialog units: the title over the status line,
/// the folder box below, OK and Cancel at the bottom right.
std::vector<WORD> browseTemplate(std::u16string_view title, bool withStatus) {
  constexpr short kMargin = 7, kWidth = 240, kInner = kWidth - 2 * kMargin;
  constexpr short kButtonWidth = 50, kButtonHeight = 14, kGap = 4;
  short y = kMargin;
  const short titleY = y;
  y += 20 + kGap;  // two lines of title
  const short statusY = y;
  if (withStatus) y += 10 + kGap;
  const short labelY = y;
  const short editY = static_cast<short>(labelY + 10);
  const short buttonsY = static_cast<short>(editY + 14 + 10);
  const short height = static_cast<short>(buttonsY + kButtonHeight + kMargin);
  constexpr short cancelX = kWidth - kMargin - kButtonWidth;
  constexpr short okX = cancelX - kGap - kButtonWidth;

  TemplateWriter t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, kWidth, height, kCaption,
                   u"MS Shell Dlg", 8);
  t.item(kStaticAtom, title, static_cast<WORD>(kBrowseTitleId), SS_LEFT | SS_NOPREFIX, kMargin, titleY, kInner, 20);
  if (withStatus)
    t.item(kStaticAtom, u"", static_cast<WORD>(kBrowseStatusId), SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS,
           kMargin, statusY, kInner, 10);
  t.item(kStaticAtom, u"Folder:", kNoId, SS_LEFT | SS_NOPREFIX, kMargin, labelY, kInner, 8);
  t.item(kEditAtom, u"", static_cast<WORD>(kBrowseFolderEditId), WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kMargin,
         editY, kInner, 14);
  t.item(kButtonAtom, u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, okX, buttonsY, kButtonWidth, kButtonHeight);
  t.item(kButtonAtom, u"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, cancelX, buttonsY, kButtonWidth, kButtonHeight);
  return t.finish();
}

/// One run of the browser, reached from the dialog through DWLP_USER.
struct BrowseSession {
  const BROWSEINFOW* info = nullptr;
  std::u16string root;  // full path of pidlRoot; empty: the whole computer
  std::optional<std::u16string> selection;
};

BrowseSession* sessionOf(HWND dlg) { return reinterpret_cast<BrowseSession*>(GetWindowLongPtrW(dlg, DWLP_USER)); }

void notify(HWND dlg, const BrowseSession& session, UINT message, LPARAM lParam) {
  if (session.info->lpfn) session.info->lpfn(dlg, message, lParam, session.info->lParam);
}

std::u16string boxText(HWND dlg) {
  HWND box = GetDlgItem(dlg, kBrowseFolderEditId);
  const int length = box ? GetWindowTextLengthW(box) : 0;
  if (length <= 0) return {};
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), length + 1)));
  return text;
}

/// Weighs the box after a change: a new folder becomes the selection and is
/// announced; no folder leaves the dialog without one.
void selectFromBox(HWND dlg, BrowseSession& session) {
  std::optional<std::u16string> folder = existingFolder(boxText(dlg), session.root);
  const bool same = folder && session.selection && equalsNoCase(*folder, *session.selection);
  if (same) return;
  session.selection = folder;
  EnableWindow(GetDlgItem(dlg, IDOK), folder ? TRUE : FALSE);
  if (!folder) return;
  // The list lives for the callback only, as the browser's own items do.
  PIDLIST_ABSOLUTE list = allocateItemList(*folder);
  if (!list) return;
  notify(dlg, session, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(list));
  CoTaskMemFree(list);
}

/// BFFM_SETSELECTIONW: the box shows the folder, all of it selected, so
/// that what the person types next replaces it.
void setSelection(HWND dlg, WPARAM isPath, LPARAM lParam) {
  if (!lParam) return;
  std::u16string path;
  if (isPath) {
    path = reinterpret_cast<LPCWSTR>(lParam);
  } else {
    WCHAR buffer[MAX_PATH];
    if (!SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), buffer)) return;
    path = buffer;
  }
  HWND box = GetDlgItem(dlg, kBrowseFolderEditId);
  SetWindowTextW(box, path.c_str());  // EN_CHANGE weighs it
  SendMessageW(box, EM_SETSEL, 0, -1);
}

INT_PTR browseDialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam) {
  BrowseSession* session = message == WM_INITDIALOG ? reinterpret_cast<BrowseSession*>(lParam) : sessionOf(dlg);
  if (!session) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dlg, DWLP_USER, lParam);
      if (auto state = user::dialogState<user::DialogState>(dlg)) state->templateId = kBrowseDialogTemplateId;
      EnableWindow(GetDlgItem(dlg, IDOK), FALSE);
      PostMessageW(dlg, kDialogIsUp, 0, 0);
      return TRUE;  // the folder box takes the focus
    case kDialogIsUp:
      notify(dlg, *session, BFFM_INITIALIZED, 0);
      return TRUE;
    case BFFM_SETSELECTIONW:
      setSelection(dlg, wParam, lParam);
      return TRUE;
    case BFFM_SETSTATUSTEXTW:
      if (HWND status = GetDlgItem(dlg, kBrowseStatusId))
        SetWindowTextW(status, lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"");
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kBrowseFolderEditId:
          if (HIWORD(wParam) == EN_CHANGE) selectFromBox(dlg, *session);
          return TRUE;
        case IDOK:
          // Enter or a click reach here only with OK enabled, but the
          // dialog's answer must never be a list of nothing.
          if (session->selection) EndDialog(dlg, IDOK);
          return TRUE;
        case IDCANCEL:
          EndDialog(dlg, IDCANCEL);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

/// The root's full path, or nothing when pidlRoot names no folder.
std::optional<std::u16string> rootOf(PCIDLIST_ABSOLUTE pidlRoot) {
  if (!pidlRoot) return std::u16string();
  WCHAR buffer[MAX_PATH];
  if (!SHGetPathFromIDListW(pidlRoot, buffer)) return std::nullopt;
  return std::u16string(buffer);
}

void recordAnswer(const std::optional<std::u16string>& chosen) {
  TranscriptRecord record("BrowseForFolder");
  record.utf8("answer", chosen ? "IDOK" : "IDCANCEL").text("folder", chosen ? *chosen : u"");
  (void)appendTranscript(std::move(record));  // a browser without a machine still answers
}

}  // namespace

}  // namespace winsim::shell

using namespace winsim::shell;

PIDLIST_ABSOLUTE SHBrowseForFolderW(LPBROWSEINFOW lpbi) {
  if (!lpbi) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto root = rootOf(lpbi->pidlRoot);
  if (!root) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  BrowseSession session;
  session.info = lpbi;
  session.root = std::move(*root);

  const std::vector<WORD> words =
      browseTemplate(lpbi->lpszTitle ? lpbi->lpszTitle : u"", (lpbi->ulFlags & BIF_STATUSTEXT) != 0);
  const INT_PTR answer = DialogBoxIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                                                 lpbi->hwndOwner, browseDialogProc, reinterpret_cast<LPARAM>(&session));
  const std::optional<std::u16string> chosen =
      answer == IDOK && session.selection ? session.selection : std::optional<std::u16string>();
  recordAnswer(chosen);
  if (!chosen) return nullptr;

  PIDLIST_ABSOLUTE list = allocateItemList(*chosen);
  if (!list) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (lpbi->pszDisplayName) winsim::copyTruncated(displayNameOf(*chosen), lpbi->pszDisplayName, MAX_PATH);
  return list;
}
