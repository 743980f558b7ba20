// Dialogs from templates: the resource compiler's template in a real
// IntallerRes.dll, dialog units, the modal loop with a second thread posting,
// keyboard navigation, DefDlgProcW's answers.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "../../../resources/IntallerRes.h"
#include "dialogtesthelpers.h"
#include "testing/tempmachine.h"
#include "usertesthelpers.h"
#include "win32/errors.h"
#include "win32/module.h"
#include "win32/user.h"
#include "winsim/windowing.h"

namespace {

namespace fs = std::filesystem;
using dialogtest::Item;
using dialogtest::Template;

constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;

/// What the dialog procedures of these tests saw.
struct Seen {
  LPARAM initParam = 0;
  HWND initFocus = nullptr;
  std::vector<WPARAM> commands;
  int posted = 0;
};
Seen g_seen;

INT_PTR recordingProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      g_seen.initParam = lParam;
      g_seen.initFocus = reinterpret_cast<HWND>(wParam);
      return TRUE;
    case WM_COMMAND:
      g_seen.commands.push_back(wParam);
      return TRUE;
    case WM_USER + 7:
      SetWindowLongPtrW(dlg, DWLP_MSGRESULT, 55);
      return TRUE;
    default:
      return FALSE;
  }
}

int mulDiv(int a, int b, int c) { return static_cast<int>((static_cast<long long>(a) * b + c / 2) / c); }

/// Base units computed here the way the dialog manager must: the average
/// width of the 52 letters and the font's height.
POINT expectedBaseUnits(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SIZE size{};
  GetTextExtentPoint32W(dc, u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
  SelectObject(dc, old);
  DeleteDC(dc);
  return POINT{(size.cx / 26 + 1) / 2, tm.tmHeight};
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { g_seen = Seen{}; }
  void TearDown() override { usertest::pump(); }

  /// IntallerRes.dll, as built by the resource compiler, loaded from the machine.
  HMODULE loadResources() {
    const fs::path built = winsim::testing::testProgramFolder() / "IntallerRes.dll";
    EXPECT_TRUE(fs::exists(built)) << "build the IntallerRes_dll target first";
    const fs::path target = m_machine.host(u"C:\\Setup\\IntallerRes.dll");
    fs::create_directories(target.parent_path());
    fs::copy_file(built, target, fs::copy_options::overwrite_existing);
    HMODULE module = LoadLibraryExW(u"C:\\Setup\\IntallerRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(module, nullptr);
    return module;
  }

  winsim::testing::TempMachine m_machine;
};

TEST_F(DialogTest, TheResourceCompilersTemplateBecomesADialogWithItsControls) {
  HMODULE module = loadResources();
  ASSERT_NE(module, nullptr);
  HWND dlg = CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_SAMPLE), nullptr, recordingProc, 77);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(g_seen.initParam, 77);
  EXPECT_EQ(winsim::dialogTemplateId(dlg), IDD_SAMPLE);
  WCHAR title[32];
  GetWindowTextW(dlg, title, 32);
  EXPECT_EQ(std::u16string(title), u"Sample");
  WCHAR name[32];
  ASSERT_TRUE(GetClassNameW(dlg, name, 32));
  EXPECT_EQ(std::u16string(name), u"#32770");

  HWND text = GetDlgItem(dlg, IDC_SAMPLE_TEXT);
  HWND edit = GetDlgItem(dlg, IDC_SAMPLE_EDIT);
  HWND picture = GetDlgItem(dlg, IDC_SAMPLE_PICTURE);
  HWND ok = GetDlgItem(dlg, IDOK);
  ASSERT_TRUE(text && edit && picture && ok && GetDlgItem(dlg, IDCANCEL));
  GetClassNameW(edit, name, 32);
  EXPECT_EQ(std::u16string(name), u"Edit");
  GetWindowTextW(text, title, 32);
  EXPECT_EQ(std::u16string(title), u"Install folder:");
  EXPECT_EQ(GetWindowLongPtrW(ok, GWL_STYLE) & BS_TYPEMASK, static_cast<LONG_PTR>(BS_DEFPUSHBUTTON));
  EXPECT_NE(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);  // the bitmap named by the template
  // The first tab stop was offered the focus.
  EXPECT_EQ(g_seen.initFocus, edit);

  // Every control has the dialog's font, and sizes follow its base units.
  auto font = reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(SendMessageW(edit, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
  const POINT base = expectedBaseUnits(font);
  EXPECT_GT(base.x, 3);
  EXPECT_GT(base.y, 8);
  RECT client{};
  GetClientRect(dlg, &client);
  EXPECT_EQ(client.right, mulDiv(240, base.x, 4));
  EXPECT_EQ(client.bottom, mulDiv(120, base.y, 8));
  RECT okRect{};
  GetWindowRect(ok, &okRect);
  POINT okAt{okRect.left, okRect.top};
  ScreenToClient(dlg, &okAt);
  EXPECT_EQ(okAt.x, mulDiv(129, base.x, 4));
  EXPECT_EQ(okAt.y, mulDiv(99, base.y, 8));
  EXPECT_EQ(okRect.right - okRect.left, mulDiv(50, base.x, 4));
  RECT mapped{129, 99, 50, 14};
  MapDialogRect(dlg, &mapped);
  EXPECT_EQ(mapped.left, okAt.x);

  // DS_CENTER: in the middle of the screen.
  RECT window{};
  GetWindowRect(dlg, &window);
  EXPECT_NEAR((window.left + window.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);

  // The same template given by address is recognised as resource 200.
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDD_SAMPLE), RT_DIALOG);
  auto* bytes = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(module, found)));
  HWND again = CreateDialogIndirectParamW(module, bytes, nullptr, recordingProc, 0);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(winsim::dialogTemplateId(again), IDD_SAMPLE);
  DestroyWindow(again);
  DestroyWindow(dlg);
  FreeLibrary(module);
}

TEST_F(DialogTest, DialogUnitsFollowTheTemplatesFont) {
  const Template t(WS_POPUP, 100, 50, u"Units", {{kStatic, u"x", 10, SS_LEFT, 8, 16, 40, 8}}, u"Arial", 12);
  HWND dlg = CreateDialogIndirectParamW(nullptr, t.get(), nullptr, recordingProc, 0);
  ASSERT_NE(dlg, nullptr);
  const POINT base = expectedBaseUnits(reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0)));
  HWND item = GetDlgItem(dlg, 10);
  RECT r{};
  GetWindowRect(item, &r);
  POINT at{r.left, r.top};
  ScreenToClient(dlg, &at);
  EXPECT_EQ(at.x, mulDiv(8, base.x, 4));
  EXPECT_EQ(at.y, mulDiv(16, base.y, 8));
  EXPECT_EQ(r.right - r.left, mulDiv(40, base.x, 4));
  EXPECT_EQ(r.bottom - r.top, mulDiv(8, base.y, 8));
  // A 12-point font has bigger units than the 8-point dialog font.
  const LONG system = GetDialogBaseUnits();
  EXPECT_GT(base.y, 0);
  EXPECT_GT(LOWORD(static_cast<DWORD>(system)), 0);
  DestroyWindow(dlg);
}

INT_PTR countingProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam) {
  static std::thread* poster = nullptr;
  switch (message) {
    case WM_INITDIALOG:
      poster = new std::thread([dlg] {
        for (int i = 0; i < 300; ++i) PostMessageW(dlg, WM_USER + 1, 0, 0);
        PostMessageW(dlg, WM_USER + 2, 0, 0);
      });
      return TRUE;
    case WM_USER + 1:
      ++g_seen.posted;
      return TRUE;
    case WM_USER + 2:
      poster->join();
      delete poster;
      poster = nullptr;
      EndDialog(dlg, g_seen.posted);
      return TRUE;
    default:
      return FALSE;
  }
}

TEST_F(DialogTest, TheModalLoopServesMessagesPostedFromAnotherThread) {
  usertest::registerRecorder();
  HWND owner = CreateWindowExW(0, u"Recorder", u"Owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                               nullptr);
  const Template t(WS_POPUP | WS_CAPTION, 100, 50, u"Modal", {{kButton, u"OK", IDOK, BS_DEFPUSHBUTTON, 5, 5, 40, 14}});
  const INT_PTR result = DialogBoxIndirectParamW(nullptr, t.get(), owner, countingProc, 0);
  EXPECT_EQ(result, 300);
  EXPECT_TRUE(IsWindowEnabled(owner));  // enabled again after the loop
  EXPECT_EQ(GetActiveWindow(), owner);
  DestroyWindow(owner);
}

INT_PTR endAtOnceProc(HWND dlg, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    EndDialog(dlg, 9);
    return TRUE;
  }
  if (message == WM_SHOWWINDOW) ++g_seen.posted;
  return FALSE;
}

TEST_F(DialogTest, EndDialogDuringInitialisationNeverShowsTheDialog) {
  const Template t(WS_POPUP | WS_VISIBLE, 60, 30, u"Gone", {});
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, t.get(), nullptr, endAtOnceProc, 0), 9);
  EXPECT_EQ(g_seen.posted, 0);
}

TEST_F(DialogTest, KeysGoThroughIsDialogMessage) {
  const Template t(WS_POPUP | WS_VISIBLE, 120, 60, u"Keys",
                   {{kEdit, u"", 100, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 5, 5, 60, 12},
                    {kButton, u"Next", 101, WS_TABSTOP, 5, 20, 40, 14},
                    {kButton, u"OK", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 50, 20, 40, 14},
                    {kButton, u"Cancel", IDCANCEL, WS_TABSTOP, 50, 40, 40, 14}});
  HWND dlg = CreateDialogIndirectParamW(nullptr, t.get(), nullptr, recordingProc, 0);
  ASSERT_NE(dlg, nullptr);
  HWND edit = GetDlgItem(dlg, 100);
  EXPECT_EQ(GetFocus(), edit);
  auto press = [&](int key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, static_cast<WPARAM>(key), 1);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      if (!IsDialogMessageW(dlg, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
  };
  // Characters reach the edit control.
  PostMessageW(edit, WM_CHAR, u'C', 1);
  PostMessageW(edit, WM_CHAR, u':', 1);
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), GetDlgItem(dlg, 101));
  WCHAR text[8];
  GetWindowTextW(edit, text, 8);
  EXPECT_EQ(std::u16string(text), u"C:");
  press(VK_TAB);
  press(VK_TAB);
  press(VK_TAB);  // wraps to the first tab stop
  EXPECT_EQ(GetFocus(), edit);
  g_seen.commands.clear();
  press(VK_RETURN);  // the default push button
  press(VK_ESCAPE);
  ASSERT_EQ(g_seen.commands.size(), 2u);
  EXPECT_EQ(g_seen.commands[0], MAKEWPARAM(IDOK, BN_CLICKED));
  EXPECT_EQ(g_seen.commands[1], MAKEWPARAM(IDCANCEL, BN_CLICKED));
  // Enter on a focused push button presses that one.
  SetFocus(GetDlgItem(dlg, 101));
  g_seen.commands.clear();
  press(VK_RETURN);
  ASSERT_EQ(g_seen.commands.size(), 1u);
  EXPECT_EQ(LOWORD(g_seen.commands[0]), 101);
  // DM_GETDEFID names the template's default button.
  EXPECT_EQ(SendMessageW(dlg, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
  // A dialog procedure's answer travels in DWLP_MSGRESULT.
  EXPECT_EQ(SendMessageW(dlg, WM_USER + 7, 0, 0), 55);
  DestroyWindow(dlg);
}

HBRUSH g_red = nullptr;
INT_PTR redProc(HWND, UINT message, WPARAM, LPARAM) {
  if (message == WM_CTLCOLORDLG) return reinterpret_cast<INT_PTR>(g_red);
  return message == WM_INITDIALOG;
}

TEST_F(DialogTest, TheBackgroundIsTheBrushOfWmCtlColorDlg) {
  g_red = CreateSolidBrush(RGB(200, 0, 0));
  const Template t(WS_POPUP | WS_VISIBLE | WS_CAPTION, 80, 40, u"Red", {});
  HWND dlg = CreateDialogIndirectParamW(nullptr, t.get(), nullptr, redProc, 0);
  ASSERT_NE(dlg, nullptr);
  usertest::pump();
  EXPECT_EQ(usertest::clientPixel(dlg, 10, 10), RGB(200, 0, 0));
  // The caption was drawn in the active caption colour.
  EXPECT_EQ(usertest::pixelOf(dlg, 60, 10), GetSysColor(COLOR_ACTIVECAPTION));
  DestroyWindow(dlg);
  DeleteObject(g_red);
}

}  // namespace
