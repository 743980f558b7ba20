// The maintenance page: it opens with removal chosen; Next asks the removal
// question at once and ends by its answer; repair writes the product key,
// clears installedFound and takes the workspace choice from the installed
// Setup.ini when there is one; Back does nothing; Cancel and Escape end the
// page with 2; the choices' icons follow the choice.
#include "welcomemaintdlg.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "../../engine/tests/registrytest.h"
#include "pagetest.h"
#include "winsim/windowing.h"

namespace {

namespace fs = std::filesystem;
using pagetest::PageTest;

constexpr char16_t kInstallDir[] = u"C:\\Program Files (x86)\\Halvorn\\Merrowin";
constexpr char16_t kProductKey[] = u"SOFTWARE\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup";
constexpr char kQuestion[] = "\nAre you sure you want to uninstall this product?\n";
/// Yes/No, information icon, system-modal, set-foreground, topmost.
constexpr char kQuestionStyle[] = "0x00051044";

/// The middle of a choice icon drawn over white: the chosen one has a dot
/// there, the other one none.
COLORREF iconMiddle(WORD iconId) {
  HICON icon = static_cast<HICON>(LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(iconId), IMAGE_ICON, 0, 0, 0));
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bitmap;
  bitmap.CreateBitmap(16, 16, 1, 32, nullptr);
  CBitmap* old = dc.SelectObject(&bitmap);
  dc.FillSolidRect(0, 0, 16, 16, RGB(255, 255, 255));
  DrawIconEx(dc.GetSafeHdc(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  const COLORREF middle = dc.GetPixel(8, 8);
  dc.SelectObject(old);
  DestroyIcon(icon);
  return middle;
}

/// The page as a test watches it: a click on its heading notes which icon
/// each choice shows.
class WatchedMaintDlg : public CKoraxWelcomeMaintDlg {
 public:
  const CMessageMap& GetMessageMap() const override {
    static const CMessageMap map = CMessageMapOf<WatchedMaintDlg>(CKoraxWelcomeMaintDlg::GetMessageMap())
                                       .onCommand(IDC_PAGE_TEXT, &WatchedMaintDlg::OnLook);
    return map;
  }

  afx_msg void OnLook() {
    UpdateWindow();
    m_btnRepair.UpdateWindow();
    m_btnRemove.UpdateWindow();
    m_looks.push_back({chosenShown(m_btnRepair), chosenShown(m_btnRemove)});
  }

  struct Look {
    std::optional<bool> repairChosen;
    std::optional<bool> removeChosen;
  };
  std::vector<Look> m_looks;

 private:
  /// True when the button shows icon 138, false for 137, none for neither.
  static std::optional<bool> chosenShown(CWnd& button) {
    auto picture = winsim::captureWindow(button.GetSafeHwnd());
    if (!picture) return std::nullopt;
    const winsim::Surface& shown = **picture;
    // The icon lies 3 pixels from the left edge, centred vertically.
    const COLORREF middle = winsim::colorFromPixel(shown.pixel(3 + 8, (shown.height() - 16) / 2 + 8) & 0xFFFFFF);
    if (middle == iconMiddle(IDI_CHOICE_ON)) return true;
    if (middle == iconMiddle(IDI_CHOICE_OFF)) return false;
    return std::nullopt;
  }
};

class WelcomeMaintTest : public PageTest {
 protected:
  WelcomeMaintTest() {
    CSetupState& state = SetupState();
    state.installDir = kInstallDir;
    state.installedFound = true;
    state.installed64 = false;
    state.mode = ModeRemove;
    state.languageKey = u"en_us";
    state.language = u"en_US";
    state.lcid = u"1033";
  }

  void writeInstalledSetupIni(const std::string& text) {
    const fs::path path = host(std::u16string(kInstallDir) + u"\\Setup.ini");
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  }
};

TEST_F(WelcomeMaintTest, OpensWithRemovalChosenAndNextAsksAtOnce) {
  ASSERT_NE(iconMiddle(IDI_CHOICE_ON), iconMiddle(IDI_CHOICE_OFF));
  struct Case {
    const char* answer;
    INT_PTR result;
  } const kCases[] = {{"IDYES", IDC_NEXT}, {"IDNO", IDCANCEL}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.answer);
    fs::remove(machineFolder() / "transcript.jsonl");
    SetupState().mode = ModeRemove;
    WatchedMaintDlg page;
    script(std::string("click 1032\nclick 1001\nanswer ") + c.answer + "\n");
    EXPECT_EQ(page.DoModal(), c.result);
    ASSERT_EQ(page.m_looks.size(), 1u);
    EXPECT_EQ(page.m_looks[0].repairChosen, false);
    EXPECT_EQ(page.m_looks[0].removeChosen, true);
    const auto boxes = transcript("MessageBox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["text"], kQuestion);
    EXPECT_EQ(boxes[0]["caption"], "DWG Merrowin");
    EXPECT_EQ(boxes[0]["style"], kQuestionStyle);
    EXPECT_EQ(boxes[0]["answer"], c.answer);
    // Removal changes nothing the flow reads but the mode.
    EXPECT_EQ(SetupState().mode, ModeRemove);
    EXPECT_TRUE(SetupState().installedFound);
    EXPECT_FALSE(enginetest::readValue(kProductKey, u"path"));
  }
}

TEST_F(WelcomeMaintTest, TheChoicesSwapTheirIcons) {
  WatchedMaintDlg page;
  script("click 1012\nclick 1032\nclick 1007\nclick 1032\nkey ESCAPE\n");
  EXPECT_EQ(page.DoModal(), IDCANCEL);
  ASSERT_EQ(page.m_looks.size(), 2u);
  EXPECT_EQ(page.m_looks[0].repairChosen, true);
  EXPECT_EQ(page.m_looks[0].removeChosen, false);
  EXPECT_EQ(page.m_looks[1].repairChosen, false);
  EXPECT_EQ(page.m_looks[1].removeChosen, true);
  EXPECT_EQ(SetupState().mode, ModeRemove);
}

struct RepairCase {
  const char* name;
  const char* setupIni;  // null: the install folder has none
  int classicWorkspace;
};

class WelcomeMaintRepairTest : public WelcomeMaintTest, public ::testing::WithParamInterface<RepairCase> {};

TEST_P(WelcomeMaintRepairTest, RepairWritesTheKeyAndTakesTheWorkspaceFromTheInstalledSetupIni) {
  const RepairCase& c = GetParam();
  if (c.setupIni) writeInstalledSetupIni(c.setupIni);
  SetupState().classicWorkspace = 5;
  WatchedMaintDlg page;
  script("click 1012\nclick 1001\n");
  EXPECT_EQ(page.DoModal(), IDC_NEXT);
  const CSetupState& state = SetupState();
  EXPECT_EQ(state.classicWorkspace, c.classicWorkspace);
  EXPECT_EQ(state.mode, ModeReinstall);
  EXPECT_FALSE(state.installedFound);
  EXPECT_TRUE(transcript("MessageBox").empty()) << "no question for a repair";
  enginetest::expectString(kProductKey, u"path", kInstallDir);
}

INSTANTIATE_TEST_SUITE_P(SetupIni, WelcomeMaintRepairTest,
                         ::testing::Values(RepairCase{"WithoutClassic", "[SETUP]\r\nWOW64=0\r\n", 0},
                                           RepairCase{"ClassicOne", "[SETUP]\r\nCLASSIC=1\r\n", 1},
                                           RepairCase{"SectionAndKeyInAnyCase", "[setup]\r\nclassic=3\r\n", 3},
                                           RepairCase{"Missing", nullptr, 5}),
                         [](const ::testing::TestParamInfo<RepairCase>& info) { return std::string(info.param.name); });

TEST_F(WelcomeMaintTest, BackEnterAndCancelChangeNothing) {
  struct Case {
    const char* script;
  } const kCases[] = {{"click 1000\nkey ENTER\nclick 2\n"}, {"click 1000\nkey ESCAPE\n"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.script);
    SetupState().classicWorkspace = 5;
    WatchedMaintDlg page;
    script(c.script);
    EXPECT_EQ(page.DoModal(), IDCANCEL);
    const CSetupState& state = SetupState();
    EXPECT_EQ(state.mode, ModeRemove);
    EXPECT_TRUE(state.installedFound);
    EXPECT_EQ(state.classicWorkspace, 5);
    EXPECT_TRUE(transcript("MessageBox").empty());
    EXPECT_TRUE(transcript("ScriptError").empty());
    EXPECT_FALSE(enginetest::readValue(kProductKey, u"path"));
  }
}

TEST_F(WelcomeMaintTest, Screenshot) {
  const fs::path file = machineFolder() / "maintenance.png";
  WatchedMaintDlg page;
  script("screenshot " + file.string() + "\nkey ESCAPE\n");
  EXPECT_EQ(page.DoModal(), IDCANCEL);
  EXPECT_TRUE(fs::exists(file));
}

}  // namespace
