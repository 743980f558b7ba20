// The UI agent's window commands, run by a modal loop as a person's actions,
// and the idle bound that ends a run waiting for what never comes.
#include "winsim/uiscript.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "../../../resources/IntallerRes.h"
#include "dialogtesthelpers.h"
#include "processtesthelpers.h"
#include "testing/tempmachine.h"
#include "usertesthelpers.h"
#include "win32/handleapi.h"
#include "win32/module.h"
#include "win32/msgbox.h"
#include "win32/process.h"
#include "win32/user.h"
#include "winsim/png.h"

namespace {

namespace fs = std::filesystem;
using dialogtest::Item;
using dialogtest::Template;
using nlohmann::json;

constexpr WORD kButton = 0x0080, kEdit = 0x0081;

struct Seen {
  std::vector<UINT> buttonMessages;
  std::vector<WPARAM> commands;
  int timers = 0;
  int answer = 0;
};
Seen g_seen;
WNDPROC g_buttonProc = nullptr;

/// The button as a skinned control sees it: every mouse message, and a
/// request for WM_MOUSELEAVE once the pointer is over it.
LRESULT watchedButton(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE: {
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, HOVER_DEFAULT};
      TrackMouseEvent(&track);
      [[fallthrough]];
    }
    case WM_SETCURSOR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSELEAVE:
      g_seen.buttonMessages.push_back(message);
      break;
    default:
      break;
  }
  return CallWindowProcW(g_buttonProc, hwnd, message, wParam, lParam);
}

INT_PTR scriptedProc(HWND dlg, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      g_buttonProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(GetDlgItem(dlg, 10), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchedButton)));
      SetTimer(dlg, 1, 5000, nullptr);
      return TRUE;
    case WM_TIMER:
      ++g_seen.timers;
      return TRUE;
    case WM_COMMAND:
      g_seen.commands.push_back(wParam);
      if (LOWORD(wParam) == 10) g_seen.answer = MessageBoxW(dlg, u"Sure?", u"Page", MB_YESNO);
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dlg, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

class UiScriptTest : public ::testing::Test {
 protected:
  void SetUp() override { g_seen = Seen{}; }
  void TearDown() override {
    ::unsetenv("WINSIM_UI");
    ::unsetenv("WINSIM_UI_TIMEOUT");
  }
  void script(const std::string& text) {
    m_script = m_machine.folder() / "ui" / "ui.txt";
    fs::create_directories(m_script.parent_path());
    std::ofstream(m_script, std::ios::binary | std::ios::trunc) << text;
    ::setenv("WINSIM_UI", m_script.c_str(), 1);
  }
  std::vector<json> transcript(const std::string& kind = "") const {
    std::vector<json> records;
    std::ifstream in(m_machine.folder() / "transcript.jsonl");
    for (std::string line; std::getline(in, line);) {
      json record = json::parse(line);
      if (kind.empty() || record["kind"] == kind) records.push_back(record);
    }
    return records;
  }
  winsim::testing::TempMachine m_machine;
  fs::path m_script;
};

TEST_F(UiScriptTest, AModalLoopCarriesOutTheScript) {
  script(
      "click 10\n"
      "answer IDNO\n"
      "type 30 C:\\Apps\n"
      "key TAB\n"
      "leave 10\n"
      "advance 4999\n"
      "expect-text 30 C:\\Apps\n"
      "expect-text 30 D:\\Wrong\n"
      "advance 1\n"
      "screenshot shots/page.png\n"
      "screenshot-screen shots/screen.png\n"
      "key ESCAPE\n");
  const Template t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER, 160, 80, u"Scripted",
                   {{kButton, u"Press", 10, WS_TABSTOP, 10, 10, 50, 14},
                    {kEdit, u"", 30, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 10, 30, 100, 12},
                    {kButton, u"Cancel", IDCANCEL, WS_TABSTOP, 100, 60, 50, 14}});
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, t.get(), nullptr, scriptedProc, 0), IDCANCEL);

  // The press came as a person's: the pointer over the button, then down and
  // up (no WM_SETCURSOR while the button holds the capture), then the leave.
  const std::vector<UINT> expected{WM_SETCURSOR,   WM_MOUSEMOVE, WM_SETCURSOR,
                                   WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSELEAVE};
  EXPECT_EQ(g_seen.buttonMessages, expected);
  ASSERT_GE(g_seen.commands.size(), 2u);
  EXPECT_EQ(g_seen.commands.front(), MAKEWPARAM(10, BN_CLICKED));
  EXPECT_EQ(g_seen.answer, IDNO);  // the message box took its answer in between
  EXPECT_EQ(g_seen.timers, 1);     // 4999 + 1 ms of machine time

  const auto dialogs = transcript("Dialog");
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0]["title"], "Scripted");
  EXPECT_EQ(transcript("Click").size(), 1u);
  ASSERT_EQ(transcript("Type").size(), 1u);
  EXPECT_EQ(transcript("Type")[0]["text"], "C:\\Apps");
  const auto checks = transcript("ExpectText");
  ASSERT_EQ(checks.size(), 2u);
  EXPECT_TRUE(checks[0]["ok"].get<bool>());
  EXPECT_FALSE(checks[1]["ok"].get<bool>());
  const auto errors = transcript("ScriptError");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0]["problem"].get<std::string>().find("C:\\Apps"), std::string::npos);

  // Screenshots land beside the script: the dialog at its size, the screen whole.
  const auto shots = transcript("Screenshot");
  ASSERT_EQ(shots.size(), 2u);
  auto page = winsim::readPng(m_script.parent_path() / "shots" / "page.png");
  ASSERT_TRUE(page.ok());
  auto screen = winsim::readPng(m_script.parent_path() / "shots" / "screen.png");
  ASSERT_TRUE(screen.ok());
  EXPECT_EQ(screen.value()->width(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_LT(page.value()->width(), screen.value()->width());
  EXPECT_GT(page.value()->width(), 200);
}

TEST_F(UiScriptTest, AScriptThatWaitsForADialogThatNeverComesEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  script("wait-dialog 999\n");
  ::setenv("WINSIM_UI_TIMEOUT", "300", 1);
  const Template t(WS_POPUP | WS_VISIBLE, 60, 30, u"Lonely", {});
  EXPECT_EXIT(DialogBoxIndirectParamW(nullptr, t.get(), nullptr, scriptedProc, 0),
              ::testing::ExitedWithCode(winsim::kUiIdleExitCode), "no dialog made from template 999");
}

TEST_F(UiScriptTest, AModalDialogWithoutAScriptEndsAfterTheBound) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ::setenv("WINSIM_UI_TIMEOUT", "200", 1);
  const Template t(WS_POPUP | WS_VISIBLE, 60, 30, u"Quiet", {});
  EXPECT_EXIT(DialogBoxIndirectParamW(nullptr, t.get(), nullptr, scriptedProc, 0),
              ::testing::ExitedWithCode(winsim::kUiIdleExitCode), "no UI script");
}

TEST_F(UiScriptTest, AMissingControlIsAScriptErrorAndTheScriptGoesOn) {
  script("click 77\nkey ESCAPE\n");
  const Template t(WS_POPUP | WS_VISIBLE, 60, 30, u"Small", {{kButton, u"Cancel", IDCANCEL, WS_TABSTOP, 5, 5, 40, 14}});
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, t.get(), nullptr, scriptedProc, 0), IDCANCEL);
  const auto errors = transcript("ScriptError");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0]["problem"].get<std::string>().find("no control 77"), std::string::npos);
}

/// The sample program of the resource library, started as a process of the
/// machine and driven by a script: a real template, a picture stretched over
/// its control, typing into the edit box, buttons.
TEST_F(UiScriptTest, TheSampleDialogOfTheResourceLibraryIsDrivenByAScript) {
  const fs::path library = winsim::testing::testProgramFolder() / "IntallerRes.dll";
  ASSERT_TRUE(fs::exists(library)) << "build the IntallerRes_dll target first";
  winsim::testing::linkProgram(m_machine, "dialogdemo", u"C:\\Demo\\dialogdemo.exe");
  fs::copy_file(library, m_machine.host(u"C:\\Demo") / "IntallerRes.dll");
  script(
      "wait-dialog 200\n"
      "click 1002\n"
      "type 1002 C:\\Program Files\\Merrowin\n"
      "expect-text 1002 C:\\Program Files\\Merrowin\n"
      "hover 1\n"
      "screenshot sample.png\n"
      "screenshot-screen sample-screen.png\n"
      "click 1\n");
  std::u16string line = u"C:\\Demo\\dialogdemo.exe";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
  ASSERT_EQ(WaitForSingleObject(info.hProcess, 20000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  EXPECT_EQ(code, static_cast<DWORD>(IDOK));
  EXPECT_TRUE(transcript("ScriptError").empty());
  ASSERT_EQ(transcript("WaitDialog").size(), 1u);
  const auto dialogs = transcript("Dialog");
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0]["template"], IDD_SAMPLE);
  auto shot = winsim::readPng(m_script.parent_path() / "sample.png");
  ASSERT_TRUE(shot.ok());
  EXPECT_GT(shot.value()->width(), 300);
  // WINSIM_KEEP_SCREENSHOTS names a folder to keep them in, for a person to look at.
  if (const char* keep = std::getenv("WINSIM_KEEP_SCREENSHOTS")) {
    std::error_code ec;
    for (const char* name : {"sample.png", "sample-screen.png"})
      fs::copy_file(m_script.parent_path() / name, fs::path(keep) / name, fs::copy_options::overwrite_existing, ec);
  }
}

}  // namespace
