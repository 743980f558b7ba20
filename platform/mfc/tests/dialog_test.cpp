// Dialogs of the class library over a template of the real resource library
// IntallerRes.dll: the modal run and its result, data exchange both ways,
// DDX_Control, the owner, and ending from a posted message.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "../../../resources/IntallerRes.h"
#include "afxwin.h"
#include "testing/tempmachine.h"
#include "winsim/png.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr UINT kEndFromThread = WM_APP + 1;

/// An edit box that sees the keys typed into it before they are dispatched.
class CWatchedEdit : public CEdit {
 public:
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_CHAR && pMsg->hwnd == GetSafeHwnd()) ++m_charsSeen;
    return CEdit::PreTranslateMessage(pMsg);
  }
  int m_charsSeen = 0;
};

/// The sample page: the install folder in edit box IDC_SAMPLE_EDIT, bound
/// to m_path; the text label bound to a control object.
class CSampleDlg : public CDialog {
 public:
  CSampleDlg() : CDialog(IDD_SAMPLE) {}
  const CMessageMap& GetMessageMap() const override {
    static const CMessageMap map =
        CMessageMapOf<CSampleDlg>(CDialog::GetMessageMap()).onMessage(kEndFromThread, &CSampleDlg::OnEndFromThread);
    return map;
  }

  BOOL OnInitDialog() override {
    const BOOL result = CDialog::OnInitDialog();
    m_initialised = true;
    CString shown;
    m_edit.GetWindowText(shown);
    m_shownAtStart = shown;
    return result;
  }
  afx_msg LRESULT OnEndFromThread(WPARAM wParam, LPARAM) {
    EndDialog(static_cast<int>(wParam));
    return 0;
  }

  CString m_path;
  CWatchedEdit m_edit;
  CStatic m_label;
  bool m_initialised = false;
  CString m_shownAtStart;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, IDC_SAMPLE_EDIT, m_edit);
    DDX_Control(pDX, IDC_SAMPLE_TEXT, m_label);
    DDX_Text(pDX, IDC_SAMPLE_EDIT, m_path);
  }
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path built = winsim::testing::testProgramFolder() / "IntallerRes.dll";
    ASSERT_TRUE(fs::exists(built)) << "build the IntallerRes_dll target first";
    const fs::path target = m_machine.host(u"C:\\Setup\\IntallerRes.dll");
    fs::create_directories(target.parent_path());
    fs::copy_file(built, target, fs::copy_options::overwrite_existing);
    m_resources = LoadLibraryExW(u"C:\\Setup\\IntallerRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m_resources, nullptr);
    AfxSetResourceHandle(m_resources);
    ::setenv("WINSIM_UI_TIMEOUT", "5000", 1);
  }
  void TearDown() override {
    ::unsetenv("WINSIM_UI");
    ::unsetenv("WINSIM_UI_TIMEOUT");
    AfxSetResourceHandle(nullptr);
    FreeLibrary(m_resources);
  }
  void script(const std::string& text) {
    m_script = m_machine.folder() / "ui" / "ui.txt";
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

  winsim::testing::TempMachine m_machine;
  HMODULE m_resources = nullptr;
  fs::path m_script;
};

TEST_F(DialogTest, AScriptedPersonTypesAndPressesOk) {
  script(
      "wait-dialog 200\n"
      "expect-text 1002 C:\\Start\n"
      "screenshot sample.png\n"
      "type 1002 D:\\Apps\n"
      "click IDOK\n");
  CSampleDlg dialog;
  dialog.m_path = u"C:\\Start";
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(dialog.m_initialised);
  // Data went to the control at the start and back when OK saved it.
  EXPECT_EQ(dialog.m_shownAtStart, u"C:\\Start");
  EXPECT_EQ(dialog.m_path, u"D:\\Apps");    // the focus selected the whole text, so typing replaced it
  EXPECT_EQ(dialog.m_edit.m_charsSeen, 7);  // the modal loop offered each key to the control first
  // The window is gone, and the control objects let it go.
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
  EXPECT_EQ(dialog.m_edit.GetSafeHwnd(), nullptr);
  const auto checks = transcript("ExpectText");
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_TRUE(checks[0]["ok"].get<bool>());
  ASSERT_EQ(transcript("Dialog").size(), 1u);
  EXPECT_EQ(transcript("Dialog")[0]["template"], IDD_SAMPLE);
  auto shot = winsim::readPng(m_script.parent_path() / "sample.png");
  ASSERT_TRUE(shot.ok());
  EXPECT_GT(shot.value()->width(), 200);
}

TEST_F(DialogTest, EscapeCancelsWithoutSavingTheData) {
  script(
      "type 1002 X\n"
      "key ESCAPE\n");
  CSampleDlg dialog;
  dialog.m_path = u"D:\\Kept";
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.m_path, u"D:\\Kept");
}

TEST_F(DialogTest, UpdateDataMovesTheTextBothWays) {
  CSampleDlg dialog;
  ASSERT_TRUE(dialog.Create(IDD_SAMPLE));
  ASSERT_NE(dialog.m_edit.GetSafeHwnd(), nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_edit.GetSafeHwnd()), &dialog.m_edit);
  dialog.m_path = u"E:\\Tools";
  EXPECT_TRUE(dialog.UpdateData(FALSE));
  WCHAR shown[64] = {};
  GetDlgItemTextW(dialog.GetSafeHwnd(), IDC_SAMPLE_EDIT, shown, 64);
  EXPECT_EQ(std::u16string(shown), u"E:\\Tools");
  SetDlgItemTextW(dialog.GetSafeHwnd(), IDC_SAMPLE_EDIT, u"F:\\Typed");
  EXPECT_TRUE(dialog.UpdateData(TRUE));
  EXPECT_EQ(dialog.m_path, u"F:\\Typed");
  dialog.DestroyWindow();
}

TEST_F(DialogTest, AMessagePostedFromAnotherThreadEndsTheDialog) {
  std::thread poster;
  // The page's window exists once it is initialised; a worker then ends it.
  class CThreadEndedDlg : public CSampleDlg {
   public:
    explicit CThreadEndedDlg(std::thread& poster) : m_poster(poster) {}
    BOOL OnInitDialog() override {
      const BOOL result = CSampleDlg::OnInitDialog();
      HWND page = GetSafeHwnd();
      m_poster = std::thread([page] { PostMessageW(page, kEndFromThread, 1125, 0); });
      return result;
    }
    std::thread& m_poster;
  } ended(poster);
  EXPECT_EQ(ended.DoModal(), 1125);
  poster.join();
}

TEST_F(DialogTest, TheOwnerIsDisabledWhileTheDialogRunsAndActiveAgainAfterIt) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, u"Owner", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
  class COwnedDlg : public CSampleDlg {
   public:
    BOOL OnInitDialog() override {
      const BOOL result = CSampleDlg::OnInitDialog();
      m_ownerEnabled = m_pParentWnd->IsWindowEnabled();
      m_ownerOfWindow = ::GetWindow(GetSafeHwnd(), GW_OWNER);
      PostMessage(kEndFromThread, 3);
      return result;
    }
    BOOL m_ownerEnabled = TRUE;
    HWND m_ownerOfWindow = nullptr;
  } dialog;
  dialog.m_pParentWnd = &owner;
  EXPECT_EQ(dialog.DoModal(), 3);
  EXPECT_FALSE(dialog.m_ownerEnabled);
  EXPECT_EQ(dialog.m_ownerOfWindow, owner.GetSafeHwnd());
  EXPECT_TRUE(owner.IsWindowEnabled());
  // A page that opened a dialog of its own is in front again when it closes.
  EXPECT_EQ(::GetActiveWindow(), owner.GetSafeHwnd());
  owner.DestroyWindow();
}

TEST_F(DialogTest, AMissingTemplateOrControlFailsTheDialog) {
  CDialog missing(999);
  EXPECT_EQ(missing.DoModal(), -1);

  // A control the exchange names is not in the template: the dialog ends at
  // once with -1 and is never shown.
  class CIncompleteDlg : public CDialog {
   public:
    CIncompleteDlg() : CDialog(IDD_SAMPLE) {}
    CButton m_absent;

   protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 4711, m_absent); }
  } incomplete;
  EXPECT_EQ(incomplete.DoModal(), -1);
  EXPECT_EQ(incomplete.m_absent.GetSafeHwnd(), nullptr);
  EXPECT_TRUE(transcript("Dialog").empty());
}

}  // namespace
