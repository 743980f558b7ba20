// The licence-agreement page: License.rtf beside the program in the rich-edit
// box (white by default), the files that leave the box empty, the accept and
// decline choices and Install's enabling, Install with its folder checks and
// the product key, Back, Cancel and Escape, and the requirements link.
#include "licensedlg.h"

#include <optional>
#include <string>

#include "pagechecks.h"
#include "pagetest.h"

namespace {

using pagechecks::pump;
using pagechecks::showsIcon;
using pagetest::PageTest;
namespace fs = std::filesystem;

constexpr char16_t kProductKey[] = u"SOFTWARE\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup";
constexpr char kInstallDir[] = "C:\\Program Files (x86)\\Halvorn\\Merrowin";

/// The product key's install folder, as the product reads it (32-bit view).
std::optional<std::u16string> productKeyPath() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
    return std::nullopt;
  WCHAR data[MAX_PATH] = {};
  DWORD size = sizeof data - sizeof(WCHAR);
  DWORD type = 0;
  const LSTATUS status = RegQueryValueExW(key, u"path", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  return std::u16string(data);
}

/// The page shown modelessly (pagechecks::ShownPage), with what its tests read.
class ShownPage : public pagechecks::ShownPage<CKoraxLicenseDlg> {
 public:
  ShownPage() : pagechecks::ShownPage<CKoraxLicenseDlg>(IDD_LICENSE) {}

  CString licenseText() const {
    CString text;
    CWnd::FromHandle(control(IDC_LICENSE_TEXT))->GetWindowText(text);
    return text;
  }
  /// Which choice the page shows, and whether Install is enabled with it.
  void expectChoice(bool accepted) const {
    EXPECT_TRUE(showsIcon(control(IDC_ACCEPT), accepted ? IDI_CHOICE_ON : IDI_CHOICE_OFF));
    EXPECT_TRUE(showsIcon(control(IDC_DECLINE), accepted ? IDI_CHOICE_OFF : IDI_CHOICE_ON));
    EXPECT_EQ(IsWindowEnabled(control(IDC_NEXT)) != FALSE, accepted);
  }
};

class LicensePageTest : public PageTest {
 protected:
  using PageTest::PageTest;

  /// Puts a file into the install folder, so that Install asks first.
  void fillInstallFolder() {
    fs::create_directories(host(u"C:\\Program Files (x86)\\Halvorn\\Merrowin"));
    std::ofstream(host(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\old.txt")) << "left over";
  }
  void writeLicense(const std::string& bytes) {
    std::ofstream(host(u"C:\\Package\\License.rtf"), std::ios::binary | std::ios::trunc) << bytes;
  }
};

TEST_F(LicensePageTest, ShowsTheLicenceBesideTheProgramInWhite) {
  ShownPage shown;
  ASSERT_TRUE(shown.created());
  const CString text = shown.licenseText();
  EXPECT_NE(text.Find(u"End-User Licence Agreement"), -1);
  EXPECT_NE(text.Find(u"non-exclusive, non-transferable licence"), -1)
      << "the escapes and groups are read as rich text";
  EXPECT_EQ(text.Find(u"\\rtf"), -1);

  CHARFORMAT format{};
  format.cbSize = sizeof format;
  SendMessageW(shown.control(IDC_LICENSE_TEXT), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  EXPECT_EQ(format.crTextColor, RGB(255, 255, 255));
  EXPECT_EQ(format.dwEffects & CFE_AUTOCOLOR, 0u);

  // The cover control lies over the whole page, with the page window's size.
  RECT cover{}, page{};
  GetWindowRect(shown.control(IDC_PAGE_COVER), &cover);
  GetWindowRect(shown.page().GetSafeHwnd(), &page);
  POINT origin{0, 0};
  ClientToScreen(shown.page().GetSafeHwnd(), &origin);
  EXPECT_EQ(cover.left, origin.x);
  EXPECT_EQ(cover.top, origin.y);
  EXPECT_EQ(cover.right - cover.left, page.right - page.left);
  EXPECT_EQ(cover.bottom - cover.top, page.bottom - page.top);

  EXPECT_EQ(shown.page().GetBackground().GetWidth(), 500);
}

TEST_F(LicensePageTest, StaticTextsAreAnsweredWhiteAndTransparent) {
  ShownPage shown;
  ASSERT_TRUE(shown.created());
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  for (const int id : {IDC_PAGE_TEXT, IDC_REQUIREMENTS_LINK}) {
    dc.SetTextColor(RGB(1, 2, 3));
    dc.SetBkMode(OPAQUE);
    const LRESULT brush = shown.page().SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                                                   reinterpret_cast<LPARAM>(shown.control(id)));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(HOLLOW_BRUSH));
    EXPECT_EQ(dc.GetTextColor(), RGB(255, 255, 255));
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
  }
  // Other controls get the bitmap dialog's answer: a button's brush is
  // hollow too, but its text colour is left as it was.
  dc.SetTextColor(RGB(1, 2, 3));
  const LRESULT brush = shown.page().SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                                                 reinterpret_cast<LPARAM>(shown.control(IDC_BACK)));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(HOLLOW_BRUSH));
  EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
}

TEST_F(LicensePageTest, TheLinkHasTheFallbackHandCursor) {
  ShownPage shown;
  ASSERT_TRUE(shown.created());
  auto* link = dynamic_cast<CLabelEx*>(CWnd::FromHandlePermanent(shown.control(IDC_REQUIREMENTS_LINK)));
  ASSERT_NE(link, nullptr);
  EXPECT_NE(link->m_hCursor, nullptr) << "cursor 106 of winhlp32.exe";
  EXPECT_EQ(link->m_crText, RGB(255, 255, 255));
}

TEST_F(LicensePageTest, ALicenceThatCannotBeReadWholeLeavesTheBoxEmpty) {
  const fs::path license = host(u"C:\\Package\\License.rtf");
  enum class Kind { Missing, File, Folder };
  struct Case {
    const char* name;
    Kind kind;
    const char* bytes;
  } const kCases[] = {
      {"missing", Kind::Missing, ""},
      {"empty", Kind::File, ""},
      // Cut off inside its header: rich text without a word of text.
      {"short", Kind::File, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Ari"},
      {"a folder", Kind::Folder, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(license);
    if (c.kind == Kind::File) writeLicense(c.bytes);
    if (c.kind == Kind::Folder) fs::create_directories(license);
    SetupState().licenseAccepted = false;
    ShownPage shown;
    ASSERT_TRUE(shown.created());
    EXPECT_EQ(shown.licenseText(), u"");
    // The page works all the same: the licence can be accepted.
    shown.command(IDC_ACCEPT);
    shown.expectChoice(true);
  }
  EXPECT_TRUE(transcript("MessageBox").empty());
}

TEST_F(LicensePageTest, ALicenceHeldOpenByAnotherLeavesTheBoxEmpty) {
  CFile holder;
  ASSERT_TRUE(holder.Open(u"C:\\Package\\License.rtf", CFile::modeRead | CFile::shareExclusive));
  ShownPage shown;
  ASSERT_TRUE(shown.created());
  EXPECT_EQ(shown.licenseText(), u"");
}

TEST_F(LicensePageTest, OpensWithTheChoiceOfTheWelcomePage) {
  for (const bool accepted : {true, false}) {
    SCOPED_TRACE(accepted ? "accepted" : "not accepted");
    SetupState().licenseAccepted = accepted;
    ShownPage shown;
    ASSERT_TRUE(shown.created());
    shown.expectChoice(accepted);
    // Since the first paint the choices draw over the page's own picture.
    for (const int id : {IDC_ACCEPT, IDC_DECLINE}) {
      EXPECT_TRUE(pagechecks::showsPageBackground(shown.page().GetSafeHwnd(), shown.control(id), 1, 1, IDB_LICENSE));
    }
  }
}

TEST_F(LicensePageTest, TheChoicesToggleTheStateAndInstall) {
  SetupState().licenseAccepted = false;
  ShownPage shown;
  ASSERT_TRUE(shown.created());
  struct Step {
    int command;
    bool accepted;
  } const kSteps[] = {
      {IDC_ACCEPT, true}, {IDC_ACCEPT, true}, {IDC_DECLINE, false}, {IDC_DECLINE, false}, {IDC_ACCEPT, true}};
  for (const Step& step : kSteps) {
    shown.command(step.command);
    EXPECT_EQ(SetupState().licenseAccepted, step.accepted);
    shown.expectChoice(step.accepted);
  }
}

TEST_F(LicensePageTest, ClickedChoicesLiveOnInTheState) {
  SetupState().licenseAccepted = true;
  script("click 1004\nclick 1003\nclick 1004\nclick 1000\n");
  CKoraxLicenseDlg page;
  EXPECT_EQ(page.DoModal(), IDC_BACK);
  EXPECT_FALSE(SetupState().licenseAccepted);
  EXPECT_FALSE(productKeyPath());
}

TEST_F(LicensePageTest, InstallDoesNothingWhileTheLicenceIsNotAccepted) {
  fillInstallFolder();
  SetupState().licenseAccepted = false;
  script("click 1001\nclick 2\n");
  CKoraxLicenseDlg page;
  EXPECT_EQ(page.DoModal(), IDCANCEL);
  EXPECT_TRUE(transcript("MessageBox").empty());
  EXPECT_FALSE(productKeyPath());
}

TEST_F(LicensePageTest, InstallAsksAboutAFolderThatHoldsSomething) {
  struct Case {
    const char* answer;
    int result;
  } const kCases[] = {{"IDNO", IDCANCEL}, {"IDYES", IDC_NEXT}};
  fillInstallFolder();
  int run = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.answer);
    SetupState().licenseAccepted = true;
    fs::remove(machineFolder() / "transcript.jsonl");
    // A declined question leaves the page open: Cancel then ends it.
    pagechecks::scriptForRun(machineFolder(), ++run, std::string("click 1001\nanswer ") + c.answer + "\nclick 2\n");
    CKoraxLicenseDlg page;
    EXPECT_EQ(page.DoModal(), c.result);
    const auto boxes = transcript("MessageBox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["text"],
              std::string(kInstallDir) + " is not empty. Are you sure you want to install to this position?");
    EXPECT_EQ(boxes[0]["caption"], "DWG Merrowin");
    EXPECT_EQ(boxes[0]["style"], "0x00051044");  // Yes/No, information, system-modal, foreground, topmost
    if (c.result == IDC_NEXT) {
      EXPECT_EQ(productKeyPath(), std::u16string(u"C:\\Program Files (x86)\\Halvorn\\Merrowin"));
    } else {
      EXPECT_FALSE(productKeyPath());
    }
  }
}

TEST_F(LicensePageTest, InstallsIntoAFolderThatIsEmptyOrMissingWithoutAsking) {
  int run = 0;
  for (const bool exists : {false, true}) {
    SCOPED_TRACE(exists ? "empty" : "missing");
    if (exists) fs::create_directories(host(u"C:\\Program Files (x86)\\Halvorn\\Merrowin"));
    SetupState().licenseAccepted = true;
    pagechecks::scriptForRun(machineFolder(), ++run, "click 1001\n");
    CKoraxLicenseDlg page;
    EXPECT_EQ(page.DoModal(), IDC_NEXT);
    EXPECT_TRUE(transcript("MessageBox").empty());
    EXPECT_EQ(productKeyPath(), std::u16string(u"C:\\Program Files (x86)\\Halvorn\\Merrowin"));
  }
}

class LicensePageLowDiskTest : public LicensePageTest {
 protected:
  LicensePageLowDiskTest() : LicensePageTest({{"disk", "C", "1000"}}) {}
};

TEST_F(LicensePageLowDiskTest, TooLittleSpaceKeepsThePageOpen) {
  SetupState().licenseAccepted = true;
  script("click 1001\nanswer IDOK\nclick 2\n");
  CKoraxLicenseDlg page;
  EXPECT_EQ(page.DoModal(), IDCANCEL);
  const auto boxes = transcript("MessageBox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"], "There is not enough disk space.");
  EXPECT_FALSE(productKeyPath());
}

TEST_F(LicensePageTest, BackCancelAndEscapeEndThePage) {
  struct Case {
    const char* script;
    int result;
  } const kCases[] = {
      {"click 1000\n", IDC_BACK},
      {"click 2\n", IDCANCEL},
      {"key ESCAPE\n", IDCANCEL},
      // Enter is not a way out: the page stays until a button ends it.
      {"key ENTER\nclick 1000\n", IDC_BACK},
  };
  int run = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.script);
    SetupState().licenseAccepted = true;
    pagechecks::scriptForRun(machineFolder(), ++run, c.script);
    CKoraxLicenseDlg page;
    EXPECT_EQ(page.DoModal(), c.result);
    EXPECT_TRUE(SetupState().licenseAccepted);
  }
  EXPECT_FALSE(productKeyPath());
  EXPECT_TRUE(transcript("MessageBox").empty());
}

/// A page whose requirements link ends it once the requirements page has
/// closed and the link's command has returned.
class CRequirementsWatchedDlg : public CKoraxLicenseDlg {
 public:
  const CMessageMap& GetMessageMap() const override {
    static const CMessageMap map = CMessageMapOf<CRequirementsWatchedDlg>(CKoraxLicenseDlg::GetMessageMap())
                                       .onStnClicked(IDC_REQUIREMENTS_LINK, &CRequirementsWatchedDlg::OnWatchedLink);
    return map;
  }
  void OnWatchedLink() {
    OnRequirements();
    m_returned = true;
    EndDialog(IDCANCEL);
  }
  bool m_returned = false;
};

TEST_F(LicensePageTest, TheRequirementsLinkOpensItsPageAndComesBack) {
  AfxEnableControlContainer();
  script("click 1020\nwait-dialog 112\nkey ESCAPE\n");
  CRequirementsWatchedDlg page;
  EXPECT_EQ(page.DoModal(), IDCANCEL);
  EXPECT_TRUE(page.m_returned);
  const auto dialogs = transcript("Dialog");
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[1]["template"], IDD_HTML_PAGE);
  EXPECT_EQ(dialogs[1]["title"], "System requirements");  // the link's own text
  EXPECT_TRUE(transcript("ScriptError").empty());
}

TEST_F(LicensePageTest, Screenshot) {
  SetupState().licenseAccepted = true;
  fs::remove("/tmp/licence.png");
  script("wait-dialog 103\nscreenshot /tmp/licence.png\nclick 2\n");
  CKoraxLicenseDlg page;
  EXPECT_EQ(page.DoModal(), IDCANCEL);
  EXPECT_TRUE(fs::exists("/tmp/licence.png"));
}

}  // namespace
