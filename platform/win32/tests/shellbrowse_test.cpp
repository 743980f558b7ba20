// The shell's folder browser, driven by a UI script as a person would use it:
// typing a folder into the box, OK and Cancel, the callback's messages and
// what it sends back, the item id list and display name of the answer.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "objbase.h"
#include "shlobj.h"
#include "testing/tempmachine.h"
#include "usertesthelpers.h"
#include "win32/errors.h"
#include "win32/user.h"
#include "winsim/png.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

/// One message the callback heard.
struct Heard {
  UINT message;
  std::u16string path;  // BFFM_SELCHANGED: the selection's path
  bool okEnabled;
};

/// What the browser's callback saw, and what a test asks it to do.
struct Callback {
  std::vector<Heard> heard;
  // Asked for by the test, done on BFFM_INITIALIZED.
  const char16_t* initialPath = nullptr;
  bool initialAsItemList = false;
  const char16_t* initialStatus = nullptr;
  bool statusFollowsSelection = false;
  // Seen on BFFM_INITIALIZED.
  bool visible = false;
  std::u16string caption, title;
  HWND owner = nullptr;
  bool ownerEnabled = true;
  bool hasStatusLine = false;
  // The OK button's state whenever the machine clock moves on (a timer).
  std::vector<bool> okEnabledAtTicks;
};
Callback g_callback;

std::u16string textOf(HWND hwnd) {
  WCHAR text[MAX_PATH] = {};
  GetWindowTextW(hwnd, text, MAX_PATH);
  return text;
}

void tick(HWND dlg, UINT, UINT_PTR, DWORD) {
  g_callback.okEnabledAtTicks.push_back(IsWindowEnabled(GetDlgItem(dlg, IDOK)) != FALSE);
}

int browseCallback(HWND dlg, UINT message, LPARAM lParam, LPARAM lpData) {
  auto& seen = *reinterpret_cast<Callback*>(lpData);
  Heard heard{message, u"", IsWindowEnabled(GetDlgItem(dlg, IDOK)) != FALSE};
  if (message == BFFM_SELCHANGED) {
    WCHAR path[MAX_PATH];
    EXPECT_TRUE(SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path));
    heard.path = path;
  }
  seen.heard.push_back(heard);
  if (message == BFFM_INITIALIZED) {
    seen.visible = IsWindowVisible(dlg) != FALSE;
    seen.caption = textOf(dlg);
    seen.title = textOf(GetDlgItem(dlg, kBrowseTitleId));
    seen.owner = GetWindow(dlg, GW_OWNER);
    seen.ownerEnabled = seen.owner && IsWindowEnabled(seen.owner);
    seen.hasStatusLine = GetDlgItem(dlg, kBrowseStatusId) != nullptr;
    SetTimer(dlg, 1, 1000, tick);
    if (seen.initialStatus) SendMessageW(dlg, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(seen.initialStatus));
    if (seen.initialPath && !seen.initialAsItemList)
      SendMessageW(dlg, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(seen.initialPath));
    if (seen.initialPath && seen.initialAsItemList) {
      PIDLIST_ABSOLUTE list = nullptr;
      EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAM_FILES, &list), S_OK);
      SendMessageW(dlg, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(list));
      CoTaskMemFree(list);
    }
  }
  if (message == BFFM_SELCHANGED && seen.statusFollowsSelection)
    SendMessageW(dlg, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(seen.heard.back().path.c_str()));
  return 0;
}

std::vector<Heard> selections() {
  std::vector<Heard> out;
  for (const Heard& h : g_callback.heard)
    if (h.message == BFFM_SELCHANGED) out.push_back(h);
  return out;
}

std::vector<std::u16string> selectionPaths() {
  std::vector<std::u16string> out;
  for (const Heard& h : selections()) out.push_back(h.path);
  return out;
}

class ShellBrowseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_callback = Callback{};
    ::setenv("WINSIM_UI_TIMEOUT", "5000", 1);
    for (const char16_t* folder : {u"D:\\Tools", u"C:\\Apps\\Start", u"C:\\Other"})
      fs::create_directories(m_machine.host(folder));
    std::ofstream(m_machine.host(u"C:\\Apps\\notes.txt")) << "a file, not a folder";
  }
  void TearDown() override {
    ::unsetenv("WINSIM_UI");
    ::unsetenv("WINSIM_UI_TIMEOUT");
    usertest::pump();
  }
  void script(const std::string& text) {
    m_script = m_machine.folder() / "ui" / ("ui" + std::to_string(++m_scripts) + ".txt");
    fs::create_directories(m_script.parent_path());
    std::ofstream(m_script, std::ios::binary | std::ios::trunc) << text;
    ::setenv("WINSIM_UI", m_script.c_str(), 1);
  }
  std::vector<json> transcript(const std::string& kind) const {
    std::vector<json> records;
    std::ifstream in(m_machine.folder() / "transcript.jsonl");
    for (std::string line; std::getline(in, line);) {
      json record = json::parse(line);
      if (record["kind"] == kind) records.push_back(record);
    }
    return records;
  }
  BROWSEINFOW info(UINT flags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT) {
    BROWSEINFOW bi{};
    bi.pszDisplayName = m_displayName;
    bi.lpszTitle = u"Please  Select the installation Path.";
    bi.ulFlags = flags;
    bi.lpfn = browseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(&g_callback);
    return bi;
  }
  /// The answer's path, or empty for null; the list is freed.
  static std::u16string pathOf(PIDLIST_ABSOLUTE list) {
    if (!list) return {};
    WCHAR path[MAX_PATH];
    const BOOL ok = SHGetPathFromIDListW(list, path);
    CoTaskMemFree(list);
    return ok ? path : u"(no path)";
  }

  winsim::testing::TempMachine m_machine{{{"disk", "D", "107374182400"}}};  // a second drive
  fs::path m_script;
  int m_scripts = 0;
  WCHAR m_displayName[MAX_PATH] = u"untouched";
};

TEST_F(ShellBrowseTest, AFolderTypedAndOkIsTheAnswer) {
  script("wait-dialog " + std::to_string(kBrowseDialogTemplateId) + "\ntype 14148 d:\\tools\nclick IDOK\n");
  BROWSEINFOW bi = info();
  PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&bi);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(pathOf(list), u"D:\\Tools");  // spelt as the disk spells it
  EXPECT_EQ(std::u16string(m_displayName), u"Tools");

  // The dialog was up and OK disabled when the callback first heard of it;
  // each prefix of the typing that named a folder became the selection.
  ASSERT_FALSE(g_callback.heard.empty());
  EXPECT_EQ(g_callback.heard[0].message, BFFM_INITIALIZED);
  EXPECT_FALSE(g_callback.heard[0].okEnabled);
  EXPECT_TRUE(g_callback.visible);
  EXPECT_EQ(g_callback.caption, u"Browse For Folder");
  EXPECT_EQ(g_callback.title, u"Please  Select the installation Path.");
  EXPECT_EQ(g_callback.heard.size(), 3u);
  EXPECT_EQ(selectionPaths(), (std::vector<std::u16string>{u"D:\\", u"D:\\Tools"}));
  for (const Heard& h : selections()) EXPECT_TRUE(h.okEnabled);

  ASSERT_EQ(transcript("Dialog").size(), 1u);
  EXPECT_EQ(transcript("Dialog")[0]["template"], kBrowseDialogTemplateId);
  const auto answers = transcript("BrowseForFolder");
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0]["answer"], "IDOK");
  EXPECT_EQ(answers[0]["folder"], "D:\\Tools");
  EXPECT_TRUE(transcript("ScriptError").empty());
}

TEST_F(ShellBrowseTest, WhatIsNoFolderLeavesNoSelection) {
  struct Case {
    const char* typed;
    std::vector<std::u16string> selections;
  } kCases[] = {
      {"D:\\Missing", {u"D:\\"}},                       // D:\ was selected on the way, then D:\M dropped it
      {"C:\\Apps\\notes.txt", {u"C:\\", u"C:\\Apps"}},  // a file is no folder
      {"Apps", {}},                                     // only a full path names a folder
      {"X:\\", {}},                                     // no such drive
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.typed);
    g_callback = Callback{};
    script(std::string("type 14148 ") + c.typed + "\nadvance 1000\nclick IDOK\nadvance 1000\nclick IDCANCEL\n");
    BROWSEINFOW bi = info();
    EXPECT_EQ(SHBrowseForFolderW(&bi), nullptr);
    EXPECT_EQ(selectionPaths(), c.selections);
    // OK stayed disabled, and the dialog stayed after it was clicked.
    EXPECT_EQ(g_callback.okEnabledAtTicks, (std::vector<bool>{false, false}));
    EXPECT_EQ(std::u16string(m_displayName), u"untouched");
  }
  for (const json& answer : transcript("BrowseForFolder")) EXPECT_EQ(answer["answer"], "IDCANCEL");
  EXPECT_TRUE(transcript("ScriptError").empty());
}

TEST_F(ShellBrowseTest, TheCallbackSetsTheInitialSelection) {
  struct Case {
    const char16_t* initial;
    bool asItemList;
    std::string script;
    std::u16string answer;
    std::vector<std::u16string> selections;
  } kCases[] = {
      // A folder that exists is selected: OK answers it at once.
      {u"C:\\Apps\\Start",
       false,
       "expect-text 14148 C:\\Apps\\Start\nclick IDOK\n",
       u"C:\\Apps\\Start",
       {u"C:\\Apps\\Start"}},
      // Given as an item id list.
      {u"", true, "click IDOK\n", u"C:\\Program Files", {u"C:\\Program Files"}},
      // A folder still to be made fills the box only; typing replaces it.
      {u"C:\\Apps\\Product",
       false,
       "expect-text 14148 C:\\Apps\\Product\nclick IDOK\ntype 14148 C:\\Other\nclick IDOK\n",
       u"C:\\Other",
       {u"C:\\", u"C:\\Other"}},
  };
  fs::create_directories(m_machine.host(u"C:\\Program Files"));
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.script);
    g_callback = Callback{};
    g_callback.initialPath = c.initial;
    g_callback.initialAsItemList = c.asItemList;
    script(c.script);
    BROWSEINFOW bi = info();
    EXPECT_EQ(pathOf(SHBrowseForFolderW(&bi)), c.answer);
    EXPECT_EQ(selectionPaths(), c.selections);
  }
  for (const json& check : transcript("ExpectText")) EXPECT_TRUE(check["ok"].get<bool>()) << check.dump();
  EXPECT_TRUE(transcript("ScriptError").empty());
}

TEST_F(ShellBrowseTest, TheCallbackSetsTheStatusLine) {
  g_callback.initialStatus = u"C:\\Start\\Here";
  g_callback.statusFollowsSelection = true;
  script(
      "expect-text 14147 C:\\Start\\Here\n"
      "type 14148 C:\\Apps\n"
      "expect-text 14147 C:\\Apps\n"
      "type 14148 \\Nowhere\n"
      "expect-text 14147 C:\\Apps\n"  // the box names no folder now: the last selection's stays
      "key ESCAPE\n");
  BROWSEINFOW bi = info();
  EXPECT_EQ(SHBrowseForFolderW(&bi), nullptr);
  EXPECT_TRUE(g_callback.hasStatusLine);
  const auto checks = transcript("ExpectText");
  ASSERT_EQ(checks.size(), 3u);
  for (const json& check : checks) EXPECT_TRUE(check["ok"].get<bool>()) << check.dump();

  // Without BIF_STATUSTEXT there is no status line, and setting it is harmless.
  g_callback = Callback{};
  g_callback.initialStatus = u"unseen";
  script("click IDCANCEL\n");
  bi = info(BIF_RETURNONLYFSDIRS);
  EXPECT_EQ(SHBrowseForFolderW(&bi), nullptr);
  EXPECT_FALSE(g_callback.hasStatusLine);
  EXPECT_EQ(g_callback.heard.size(), 1u);
}

TEST_F(ShellBrowseTest, CancelAndEscapeAnswerNullWithASelection) {
  usertest::registerRecorder();
  HWND owner = CreateWindowExW(0, u"Recorder", u"Setup", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  for (const char* end : {"click IDCANCEL", "key ESCAPE"}) {
    SCOPED_TRACE(end);
    g_callback = Callback{};
    script(std::string("type 14148 D:\\Tools\n") + end + "\n");
    BROWSEINFOW bi = info();
    bi.hwndOwner = owner;
    EXPECT_EQ(SHBrowseForFolderW(&bi), nullptr);
    EXPECT_EQ(selectionPaths().back(), u"D:\\Tools");
    EXPECT_EQ(std::u16string(m_displayName), u"untouched");
    // Modal to its owner, which is enabled again afterwards.
    EXPECT_EQ(g_callback.owner, owner);
    EXPECT_FALSE(g_callback.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
  }
  DestroyWindow(owner);
  EXPECT_TRUE(transcript("ScriptError").empty());
}

TEST_F(ShellBrowseTest, TheRootLimitsTheSelection) {
  // The root as the shell gives it: a special folder's item id list.
  PIDLIST_ABSOLUTE programFiles = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAM_FILES, &programFiles), S_OK);
  fs::create_directories(m_machine.host(u"C:\\Program Files\\Merrowin"));
  BROWSEINFOW bi = info();
  bi.pidlRoot = programFiles;
  // C:\ and C:\Other lie outside the root: OK does nothing.
  script("type 14148 C:\\Other\nclick IDOK\nkey ESCAPE\n");
  EXPECT_EQ(SHBrowseForFolderW(&bi), nullptr);
  EXPECT_TRUE(selections().empty());
  // The root itself and what lies below it count.
  g_callback = Callback{};
  script("type 14148 C:\\Program Files\\Merrowin\nclick IDOK\n");
  EXPECT_EQ(pathOf(SHBrowseForFolderW(&bi)), u"C:\\Program Files\\Merrowin");
  EXPECT_EQ(selectionPaths(), (std::vector<std::u16string>{u"C:\\Program Files", u"C:\\Program Files\\Merrowin"}));
  EXPECT_EQ(std::u16string(m_displayName), u"Merrowin");
  // A root that names no folder is refused before any dialog.
  const BYTE broken[] = {1, 0, 0, 0};
  bi.pidlRoot = reinterpret_cast<PCIDLIST_ABSOLUTE>(broken);
  SetLastError(0);
  EXPECT_EQ(SHBrowseForFolderW(&bi), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  CoTaskMemFree(programFiles);
}

TEST_F(ShellBrowseTest, ADriveIsNamedByItsLetter) {
  script("type 14148 D:\\\nclick IDOK\n");
  BROWSEINFOW bi = info();
  EXPECT_EQ(pathOf(SHBrowseForFolderW(&bi)), u"D:\\");
  EXPECT_EQ(std::u16string(m_displayName), u"D:");
}

TEST_F(ShellBrowseTest, TheDialogCanBeSeen) {
  script("type 14148 D:\\Tools\nscreenshot browse.png\nclick IDOK\n");
  g_callback.initialStatus = u"C:\\Program Files\\Merrowin\\Korax Tools";
  BROWSEINFOW bi = info();
  CoTaskMemFree(SHBrowseForFolderW(&bi));
  auto shot = winsim::readPng(m_script.parent_path() / "browse.png");
  ASSERT_TRUE(shot.ok());
  EXPECT_GT(shot.value()->width(), 300);
  EXPECT_GT(shot.value()->height(), 120);
  EXPECT_LT(shot.value()->width(), GetSystemMetrics(SM_CXSCREEN));
}

TEST_F(ShellBrowseTest, NoBrowseInfoIsAnInvalidParameter) {
  SetLastError(0);
  EXPECT_EQ(SHBrowseForFolderW(nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
