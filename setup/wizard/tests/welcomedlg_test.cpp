// The welcome page as a person uses it: what it shows at start, the folder
// validation and its messages, the licence check box, the links, Install
// with its questions and the product key it writes, the folder browser, and
// the ways out (Cancel, Escape, command 1001); Enter ends nothing.
#include "welcomedlg.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "pagetest.h"
#include "shlobj.h"
#include "winsim/dialogtemplate.h"
#include "winsim/png.h"
#include "winsim/text.h"

namespace {

using nlohmann::json;
using pagetest::PageTest;
namespace fs = std::filesystem;

constexpr char16_t kProductKey[] = u"SOFTWARE\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup";
constexpr char16_t kStartFolder[] = u"C:\\Program Files (x86)\\Halvorn\\Merrowin";
// The framework's OK box with the warning icon, and the pages' Yes/No
// question: information icon, system-modal, foreground, topmost.
constexpr const char* kWarningStyle = "0x00000030";
constexpr const char* kQuestionStyle = "0x00051044";
constexpr const char* kProgramTitle = "Setup";

std::string utf8(std::u16string_view text) { return winsim::toUtf8(text); }

/// A UI script of one command a line.
std::string lines(std::initializer_list<std::string> commands) {
  std::string text;
  for (const std::string& command : commands) text += command + "\n";
  return text;
}

/// A text value of the product key, read in the setup program's 32-bit view.
std::optional<std::u16string> productKeyText(const char16_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
    return std::nullopt;
  WCHAR data[MAX_PATH] = {};
  DWORD size = sizeof data - sizeof(WCHAR);
  DWORD type = 0;
  const LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  return std::u16string(data);
}

std::optional<std::u16string> productKeyPath() { return productKeyText(u"path"); }

/// Template 102 of the resource library as bytes, with control `id`
/// renumbered when one is named: a template that lacks that control.
std::vector<BYTE> welcomeTemplate(std::optional<DWORD> id = std::nullopt) {
  HINSTANCE library = AfxGetResourceHandle();
  HRSRC found = FindResourceW(library, MAKEINTRESOURCEW(IDD_WELCOME), RT_DIALOG);
  if (!found) return {};
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(library, found)));
  std::vector<BYTE> bytes(data, data + SizeofResource(library, found));
  if (!id) return bytes;
  auto decoded = winsim::decodeDialogTemplate(bytes);
  if (!decoded.ok()) return {};
  for (const winsim::DialogItem& item : decoded.value().items) {
    if (item.id != *id) continue;
    // The item's position and size come right before its id.
    const SHORT place[4] = {item.x, item.y, item.cx, item.cy};
    std::vector<BYTE> pattern(reinterpret_cast<const BYTE*>(place), reinterpret_cast<const BYTE*>(place) + 8);
    const BYTE* idBytes = reinterpret_cast<const BYTE*>(&item.id);
    pattern.insert(pattern.end(), idBytes, idBytes + 4);
    auto at = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
    if (at == bytes.end()) return {};
    const DWORD other = *id + 3000;
    std::memcpy(&*(at + 8), &other, sizeof other);
    return bytes;
  }
  return {};
}

/// The page with what a test looks at once it is initialised: the controls'
/// settings and where the licence box lies inside the window's screenshot.
class CWatchedWelcomeDlg : public CKoraxWelcomeDlg {
 public:
  BOOL OnInitDialog() override {
    const BOOL result = CKoraxWelcomeDlg::OnInitDialog();
    m_editorVisibleAtStart = (m_editPath.GetStyle() & WS_VISIBLE) != 0;
    m_lblPath.GetWindowText(m_pathLabelText);
    m_colours = {m_lblPath.m_crText,      m_lnkLicense.m_crText,  m_lnkRequirements.m_crText,
                 m_lblInstallTo.m_crText, m_lblPageText.m_crText, m_lblAccept.m_crText};
    m_licenseUnderline = m_lnkLicense.m_bUnderline;
    m_licenseUnderlineColour = m_lnkLicense.m_crUnderline;
    m_linkCursors = m_lnkLicense.m_hCursor != nullptr && m_lnkRequirements.m_hCursor != nullptr;
    CRect window;
    GetWindowRect(&window);
    CRect box;
    m_chkLicense.GetWindowRect(&box);
    m_licenseBoxInShot =
        CRect(box.left - window.left, box.top - window.top, box.right - window.left, box.bottom - window.top);
    CPoint clientCorner(0, 0);
    ClientToScreen(&clientCorner);
    m_clientInShot = CPoint(clientCorner.x - window.left, clientCorner.y - window.top);
    return result;
  }

  bool m_editorVisibleAtStart = true;
  CString m_pathLabelText;
  std::vector<COLORREF> m_colours;
  BOOL m_licenseUnderline = FALSE;
  COLORREF m_licenseUnderlineColour = 0;
  bool m_linkCursors = false;
  CRect m_licenseBoxInShot;
  CPoint m_clientInShot;
};

/// A page that receives command 1001 once shown, with `typed` in its editor:
/// the way another part of the program would send it.
class CCommandedWelcomeDlg : public CKoraxWelcomeDlg {
 public:
  explicit CCommandedWelcomeDlg(const char16_t* typed) : m_typed(typed) {}
  BOOL OnInitDialog() override {
    const BOOL result = CKoraxWelcomeDlg::OnInitDialog();
    SetDlgItemText(IDC_PATH_EDIT, m_typed);
    PostMessage(WM_COMMAND, MAKEWPARAM(IDC_NEXT, 0), 0);
    return result;
  }

 private:
  const char16_t* m_typed;
};

/// A page whose requirements link ends it once the requirements page has
/// closed and the link's command has returned.
class CRequirementsWatchedDlg : public CKoraxWelcomeDlg {
 public:
  const CMessageMap& GetMessageMap() const override {
    static const CMessageMap map = CMessageMapOf<CRequirementsWatchedDlg>(CKoraxWelcomeDlg::GetMessageMap())
                                       .onCommand(IDC_REQUIREMENTS_LINK, &CRequirementsWatchedDlg::OnWatchedLink);
    return map;
  }
  void OnWatchedLink() {
    OnRequirements();
    m_returned = true;
    EndDialog(IDCANCEL);
  }
  bool m_returned = false;
};

class WelcomeDlgTest : public PageTest {
 protected:
  WelcomeDlgTest() : PageTest({{"disk", "D", "107374182400"}, {"disk", "E", "107374182400"}}) {}

  INT_PTR run(const std::string& actions) {
    script(actions);
    CKoraxWelcomeDlg page;
    return page.DoModal();
  }
  std::vector<json> boxes() const { return transcript("MessageBox"); }
  /// Every command of the scripts so far was carried out and every
  /// expectation held.
  void expectScriptsRan() const {
    for (const json& error : transcript("ScriptError")) ADD_FAILURE() << error.dump();
    for (const json& check : transcript("ExpectText")) EXPECT_TRUE(check["ok"].get<bool>()) << check.dump();
  }
  /// A folder of the machine holding one file.
  void fill(std::u16string_view folder) {
    fs::create_directories(host(folder));
    std::ofstream(host(folder) / "readme.txt") << "x";
  }
};

TEST_F(WelcomeDlgTest, ShowsTheFolderAndTheLicenceBoxAtStart) {
  script(lines({"wait-dialog 102", "expect-text 1040 " + utf8(kStartFolder), "click 2"}));
  CWatchedWelcomeDlg page;
  EXPECT_EQ(page.DoModal(), IDCANCEL);
  expectScriptsRan();
  EXPECT_FALSE(page.m_editorVisibleAtStart);
  EXPECT_EQ(page.m_pathLabelText, kStartFolder);
  const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
  // Path label, licence link, requirements link, the two white texts, the
  // black text before the link.
  EXPECT_EQ(page.m_colours, (std::vector<COLORREF>{white, black, black, white, white, black}));
  EXPECT_TRUE(page.m_licenseUnderline);
  EXPECT_EQ(page.m_licenseUnderlineColour, RGB(125, 125, 125));
  EXPECT_TRUE(page.m_linkCursors);
  EXPECT_TRUE(boxes().empty());
  ASSERT_EQ(transcript("Dialog").size(), 1u);
  EXPECT_EQ(transcript("Dialog")[0]["template"], IDD_WELCOME);
}

// The page binds every control it works with; a template without one of
// them cannot make the page, and the flow takes that as a cancellation.
TEST_F(WelcomeDlgTest, ATemplateWithoutOneOfThePagesControlsMakesNoPage) {
  const std::vector<BYTE> whole = welcomeTemplate();
  ASSERT_FALSE(whole.empty());
  script("click 2\n");
  CKoraxWelcomeDlg intact;
  ASSERT_TRUE(intact.InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATEW>(whole.data())));
  EXPECT_EQ(intact.DoModal(), IDCANCEL);
  for (const DWORD id : {1040, 1023, 1024, 1018, 1017, 2, 1037, 1038, 1020, 1031, 1032, 1042, 1019}) {
    SCOPED_TRACE(id);
    const std::vector<BYTE> lacking = welcomeTemplate(id);
    ASSERT_FALSE(lacking.empty());
    script("click 2\n");  // ends a page that wrongly came up
    CKoraxWelcomeDlg page;
    ASSERT_TRUE(page.InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATEW>(lacking.data())));
    EXPECT_EQ(page.DoModal(), -1);
  }
  EXPECT_EQ(transcript("Dialog").size(), 1u);  // only the intact page was shown
}

TEST_F(WelcomeDlgTest, TheLicenceBoxShowsThePagesPictureAroundItsIcon) {
  script(
      "wait-dialog 102\n"
      "screenshot shown.png\n"
      "click 2\n");
  CWatchedWelcomeDlg page;
  EXPECT_EQ(page.DoModal(), IDCANCEL);
  auto shot = winsim::readPng(machineFolder() / "ui" / "shown.png");
  ASSERT_TRUE(shot.ok());
  // The picture's own pixel at the box's top-left corner (the page shows it
  // 1:1): the box captured the page's background, not what lay there before.
  HBITMAP picture =
      static_cast<HBITMAP>(LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDB_WELCOME), IMAGE_BITMAP, 0, 0, 0));
  ASSERT_NE(picture, nullptr);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, picture);
  const CRect box = page.m_licenseBoxInShot;
  const int clientX = box.left - page.m_clientInShot.x, clientY = box.top - page.m_clientInShot.y;
  const COLORREF expected = GetPixel(memory, clientX, clientY);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(picture);
  EXPECT_EQ(winsim::colorFromPixel(shot.value()->pixel(box.left, box.top)) & 0xFFFFFF, expected);
}

TEST_F(WelcomeDlgTest, TheLicenceCheckBoxTogglesTheAcceptanceAndItsIcon) {
  script(
      "wait-dialog 102\n"
      "screenshot clear.png\n"
      "click 1037\n"
      "screenshot ticked.png\n"
      "click 1037\n"
      "screenshot cleared.png\n"
      "click 1037\n"
      "click 2\n");
  CWatchedWelcomeDlg page;
  EXPECT_EQ(page.DoModal(), IDCANCEL);
  expectScriptsRan();
  EXPECT_TRUE(SetupState().licenseAccepted);
  auto read = [&](const char* name) { return winsim::readPng(machineFolder() / "ui" / name); };
  auto clear = read("clear.png"), ticked = read("ticked.png"), cleared = read("cleared.png");
  ASSERT_TRUE(clear.ok() && ticked.ok() && cleared.ok());
  auto boxPixels = [&](const winsim::Surface& shot) {
    std::vector<winsim::Pixel> pixels;
    const CRect box = page.m_licenseBoxInShot;
    for (int y = box.top; y < box.bottom; ++y)
      for (int x = box.left; x < box.right; ++x) pixels.push_back(shot.pixel(x, y));
    return pixels;
  };
  EXPECT_NE(boxPixels(*clear.value()), boxPixels(*ticked.value()));
  EXPECT_EQ(boxPixels(*clear.value()), boxPixels(*cleared.value()));
}

TEST_F(WelcomeDlgTest, AnAcceptedLicenceIsShownTickedAgain) {
  script("wait-dialog 102\nscreenshot clear.png\nclick 2\n");
  CWatchedWelcomeDlg first;
  EXPECT_EQ(first.DoModal(), IDCANCEL);
  SetupState().licenseAccepted = true;
  script("wait-dialog 102\nscreenshot ticked.png\nclick 2\n");
  CWatchedWelcomeDlg second;
  EXPECT_EQ(second.DoModal(), IDCANCEL);
  auto clear = winsim::readPng(machineFolder() / "ui" / "clear.png");
  auto ticked = winsim::readPng(machineFolder() / "ui" / "ticked.png");
  ASSERT_TRUE(clear.ok() && ticked.ok());
  const CRect box = second.m_licenseBoxInShot;
  int differing = 0;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) differing += clear.value()->pixel(x, y) != ticked.value()->pixel(x, y);
  EXPECT_GT(differing, 0);
}

// Each folder is validated as command 1017 does it; an invalid one shows one
// message and leaves the page in editing mode with the text shown.
TEST_F(WelcomeDlgTest, ValidatesTheFolderWithOneMessagePerFault) {
  struct Case {
    const char16_t* folder;
    const char16_t* message;  // null: valid
    const char16_t* result;   // installDir afterwards (valid) or the editor's text (invalid)
  } const kCases[] = {
      {u"Merrowin", kFallbackPathInputError, u"Merrowin"},
      {u"C:\\", kFallbackPathIsRoot, u"C:\\"},
      {u"C:", kFallbackPathInputError, u"C:"},
      {u"C:/Apps", kFallbackPathInputError, u"C:/Apps"},
      {u"C:\\Apps:x", kFallbackPathInvalidCharacters, u"C:\\Apps:x"},
      {u"C:\\A|B", kFallbackPathInvalidCharacters, u"C:\\A|B"},
      {u"AB:\\Apps", kFallbackPathInputError, u"AB:\\Apps"},
      // Four backslashes after the drive collapse to the root, and the
      // editor shows the collapsed text.
      {u"C:\\\\\\\\", kFallbackPathIsRoot, u"C:\\"},
      {u"\\\\", kFallbackPathIsRoot, u"\\"},
      {u"\\Apps\\A*B", kFallbackPathInvalidCharacters, u"\\Apps\\A*B"},
      // A leading backslash: only the text after its first two characters
      // is looked at, so a character right after it goes unnoticed; a colon
      // there is a drive colon in the wrong place.
      {u"\\Apps", nullptr, u"\\Apps"},
      {u"\\*Apps", nullptr, u"\\*Apps"},
      {u"\\:Apps", kFallbackPathInputError, u"\\:Apps"},
      // A leading pair is collapsed first.
      {u"\\\\Apps\\Tools", nullptr, u"\\Apps\\Tools"},
      {u"D:\\Apps\\\\Tools", nullptr, u"D:\\Apps\\Tools"},
      {u"D:\\\\Program Files\\\\Merrowin\\\\\\\\", nullptr, u"D:\\Program Files\\Merrowin\\"},
      // No drive and no backslash at the start: not a folder of this machine.
      {u"Apps\\Tools", kFallbackPathInputError, u"Apps\\Tools"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(utf8(c.folder));
    SetupState().installDir = c.folder;
    const std::size_t shownBefore = boxes().size();
    if (c.message) {
      const INT_PTR result = run(lines({"click 1017", "answer IDOK", "expect-text 1023 " + utf8(c.result), "click 2"}));
      EXPECT_EQ(result, IDCANCEL);
      const auto shown = boxes();
      ASSERT_EQ(shown.size(), shownBefore + 1);
      EXPECT_EQ(shown.back()["text"], utf8(c.message));
      EXPECT_EQ(shown.back()["caption"], kProgramTitle);
      EXPECT_EQ(shown.back()["style"], kWarningStyle);
    } else {
      EXPECT_EQ(run("click 1017\n"), IDC_CUSTOM);
      EXPECT_EQ(boxes().size(), shownBefore);
      EXPECT_EQ(SetupState().installDir, c.result);
    }
  }
  expectScriptsRan();
}

TEST_F(WelcomeDlgTest, TheLicenceLinkOpensTheLicenceOnlyForAValidFolder) {
  EXPECT_EQ(run("click 1038\n"), IDC_LICENSE_LINK);
  EXPECT_EQ(SetupState().installDir, kStartFolder);
  SetupState().installDir = u"C:";
  EXPECT_EQ(run("click 1038\nanswer IDOK\nexpect-text 1023 C:\nclick 2\n"), IDCANCEL);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0]["text"], utf8(kFallbackPathInputError));
  expectScriptsRan();
}

TEST_F(WelcomeDlgTest, APersonTypesTheFolderIntoTheEditorAndInstalls) {
  CSetupState& state = SetupState();
  state.installDir = u"";
  state.licenseAccepted = true;
  state.lcid = u"2052";
  state.language = u"zh_CN";
  EXPECT_EQ(run("click 1040\ntype 1023 D:\\Apps\\Viewer\nclick 1018\n"), IDC_INSTALL);
  EXPECT_EQ(state.installDir, u"D:\\Apps\\Viewer");
  // The product key holds the folder the page ended with.
  EXPECT_EQ(productKeyPath(), u"D:\\Apps\\Viewer");
  EXPECT_EQ(productKeyText(u"language"), u"2052");
  EXPECT_EQ(productKeyText(u"RegLang"), u"zh-CN");
  EXPECT_TRUE(boxes().empty());  // the folder does not exist: nothing to confirm
  expectScriptsRan();
}

TEST_F(WelcomeDlgTest, ClickingThePathLabelAndInstallingValidatesTheFolderShownAtStart) {
  SetupState().licenseAccepted = true;
  fs::create_directories(host(kStartFolder));  // an existing empty folder is accepted without question
  EXPECT_EQ(run("click 1040\nexpect-text 1023 " + utf8(kStartFolder) + "\nclick 1018\n"), IDC_INSTALL);
  EXPECT_EQ(SetupState().installDir, kStartFolder);
  EXPECT_EQ(productKeyPath(), kStartFolder);
  EXPECT_TRUE(boxes().empty());
  expectScriptsRan();
}

TEST_F(WelcomeDlgTest, InstallWithoutTheLicenceAcceptedTellsThePersonAndStays) {
  SetupState().installDir = u"D:\\Before";
  EXPECT_EQ(run("click 1040\ntype 1023 \\Typed\nclick 1018\nanswer IDOK\nclick 2\n"), IDCANCEL);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0]["text"], utf8(kFallbackLicenseNotAccepted));
  EXPECT_EQ(boxes()[0]["style"], kWarningStyle);
  // The licence is checked before the folder is taken from the editor.
  EXPECT_EQ(SetupState().installDir, u"D:\\Before");
  EXPECT_EQ(productKeyPath(), std::nullopt);
  expectScriptsRan();
}

TEST_F(WelcomeDlgTest, InstallAfterTickingTheLicenceGoesOn) {
  EXPECT_EQ(run("click 1018\nanswer IDOK\nclick 1037\nclick 1018\n"), IDC_INSTALL);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0]["text"], utf8(kFallbackLicenseNotAccepted));
  EXPECT_TRUE(SetupState().licenseAccepted);
  EXPECT_EQ(productKeyPath(), kStartFolder);
}

TEST_F(WelcomeDlgTest, AFolderThatHoldsSomethingMustBeConfirmed) {
  SetupState().licenseAccepted = true;
  fill(u"D:\\Program Files\\Merrowin");
  SetupState().installDir = u"D:\\\\Program Files\\\\Merrowin\\\\\\\\";
  // Declined: the page stays, and the editor (opened by the label) shows
  // the normalised folder; then confirmed.
  EXPECT_EQ(run("click 1040\n"
                "click 1018\n"
                "answer IDNO\n"
                "expect-text 1023 D:\\Program Files\\Merrowin\\\n"
                "click 1018\n"
                "answer IDYES\n"),
            IDC_INSTALL);
  const auto shown = boxes();
  ASSERT_EQ(shown.size(), 2u);
  const std::string question =
      "D:\\Program Files\\Merrowin\\ is not empty. Are you sure you want to install to this position?";
  for (const json& box : shown) {
    EXPECT_EQ(box["text"], question);
    EXPECT_EQ(box["caption"], "DWG Merrowin");
    EXPECT_EQ(box["style"], kQuestionStyle);
  }
  EXPECT_EQ(shown[0]["answer"], "IDNO");
  EXPECT_EQ(shown[1]["answer"], "IDYES");
  EXPECT_EQ(SetupState().installDir, u"D:\\Program Files\\Merrowin\\");
  EXPECT_EQ(productKeyPath(), u"D:\\Program Files\\Merrowin\\");
  expectScriptsRan();
}

TEST_F(WelcomeDlgTest, DecliningTheQuestionWritesNoProductKey) {
  SetupState().licenseAccepted = true;
  fill(kStartFolder);
  EXPECT_EQ(run("click 1018\nanswer IDNO\nclick 2\n"), IDCANCEL);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0]["answer"], "IDNO");
  EXPECT_EQ(productKeyPath(), std::nullopt);
}

TEST_F(WelcomeDlgTest, TooLittleDiskSpaceKeepsThePageOpen) {
  SetupState().licenseAccepted = true;
  ASSERT_TRUE(winsim::currentMachine()->setProfileValue(u"disk", u"D", u"1000").ok());
  SetupState().installDir = u"D:\\Apps";
  EXPECT_EQ(run("click 1018\nanswer IDOK\nclick 2\n"), IDCANCEL);
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0]["text"], utf8(kFallbackDiskSpaceLow));
  EXPECT_EQ(productKeyPath(), std::nullopt);
}

TEST_F(WelcomeDlgTest, CancelAndEscapeEndThePageWithTwo) {
  EXPECT_EQ(run("click 2\n"), IDCANCEL);
  EXPECT_EQ(run("key ESCAPE\n"), IDCANCEL);
  EXPECT_EQ(run("click 1040\ntype 1023 x\nkey ESCAPE\n"), IDCANCEL);
  EXPECT_EQ(SetupState().installDir, kStartFolder);
  EXPECT_EQ(productKeyPath(), std::nullopt);
  expectScriptsRan();
}

TEST_F(WelcomeDlgTest, EnterInTheEditorEndsNothing) {
  EXPECT_EQ(run("click 1040\nkey ENTER\nexpect-text 1023 " + utf8(kStartFolder) + "\nclick 2\n"), IDCANCEL);
  EXPECT_TRUE(boxes().empty());
  expectScriptsRan();
}

TEST_F(WelcomeDlgTest, CommandOneThousandAndOneTakesTheFolderWithoutValidation) {
  script("");
  CCommandedWelcomeDlg page(u"Merrowin");
  EXPECT_EQ(page.DoModal(), IDC_NEXT);
  EXPECT_EQ(SetupState().installDir, u"Merrowin");
  EXPECT_TRUE(boxes().empty());
  EXPECT_EQ(productKeyPath(), std::nullopt);
}

TEST_F(WelcomeDlgTest, TheRequirementsLinkOpensTheRequirementsPageAndComesBack) {
  AfxEnableControlContainer();
  script("click 1020\nwait-dialog 112\nkey ESCAPE\n");
  CRequirementsWatchedDlg page;
  EXPECT_EQ(page.DoModal(), IDCANCEL);
  EXPECT_TRUE(page.m_returned);
  const auto dialogs = transcript("Dialog");
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[1]["template"], IDD_HTML_PAGE);
  EXPECT_EQ(dialogs[1]["title"], "System requirements");  // the link's own text
  expectScriptsRan();
}

// The folder browser opens on the page's folder, shows the selection's path
// as its status, and a chosen folder gets the product's folder appended
// unless it is already a suite folder; the editor shows the result and
// installDir waits for a command that reads the editor.
TEST_F(WelcomeDlgTest, BrowsingChoosesTheFolderShownInTheEditor) {
  fs::create_directories(host(u"E:\\Tools"));
  fs::create_directories(host(u"E:\\Suite2016"));
  struct Case {
    const char* typed;
    const char* shown;
  } const kCases[] = {
      {"E:\\Tools", "E:\\Tools\\DWG Merrowin"},
      {"e:\\tools\\", "E:\\Tools\\DWG Merrowin"},  // as the disk spells it, without the trailing backslash
      {"E:\\Suite2016", "E:\\Suite2016"},
      {"E:\\", "E:\\DWG Merrowin"},
  };
  const std::string browser = std::to_string(kBrowseDialogTemplateId);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.typed);
    const INT_PTR result = run(lines({"click 1024", "wait-dialog " + browser, "expect-text 14147 " + utf8(kStartFolder),
                                      std::string("type 14148 ") + c.typed, "click IDOK", "wait-dialog 102",
                                      std::string("expect-text 1023 ") + c.shown, "click 2"}));
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(SetupState().installDir, kStartFolder);
  }
  expectScriptsRan();
  const auto titles = transcript("Dialog");
  ASSERT_GE(titles.size(), 2u);
  EXPECT_EQ(titles[1]["template"], kBrowseDialogTemplateId);
}

TEST_F(WelcomeDlgTest, TheBrowsersStatusFollowsTheSelection) {
  fs::create_directories(host(u"E:\\Tools"));
  SetupState().licenseAccepted = true;
  EXPECT_EQ(run(lines({"click 1024", "wait-dialog " + std::to_string(kBrowseDialogTemplateId), "type 14148 E:\\Tools",
                       "expect-text 14147 E:\\Tools", "click IDOK", "wait-dialog 102", "click 1018"})),
            IDC_INSTALL);
  // Install reads the editor: the browsed folder is the one installed to.
  EXPECT_EQ(SetupState().installDir, u"E:\\Tools\\DWG Merrowin");
  EXPECT_EQ(productKeyPath(), u"E:\\Tools\\DWG Merrowin");
  expectScriptsRan();
}

TEST_F(WelcomeDlgTest, CancellingTheBrowserChangesNothing) {
  EXPECT_EQ(run(lines({"click 1024", "wait-dialog " + std::to_string(kBrowseDialogTemplateId), "type 14148 E:\\Tools",
                       "click IDCANCEL", "wait-dialog 102", "expect-text 1040 " + utf8(kStartFolder), "click 1017"})),
            IDC_CUSTOM);
  EXPECT_EQ(SetupState().installDir, kStartFolder);
  expectScriptsRan();
}

}  // namespace
