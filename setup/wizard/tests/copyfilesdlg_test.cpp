// The copy-files page with the real install thread and the example
// package's installers: its step count, its bar as steps are reported, its
// slideshow on the machine clock, its two ends (1 after a real installation,
// 2 after a failed one with the rollback started) and a person's Cancel,
// Enter and requirements link during the run, none of which ends the page.
//
// A test that acts during the installation holds it with a gate: the
// Windows Installer 3.1 stand-in is replaced by a program that waits until a
// file appears, which the test (or the UI script's screenshot) makes once it
// has done what it wants done while the installation runs.
#include "copyfilesdlg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../../engine/tests/registrytest.h"
#include "../../engine/tests/setuptest.h"
#include "pagetest.h"
#include "productkey.h"
#include "setupmessages.h"
#include "winsim/windowing.h"

namespace {

namespace fs = std::filesystem;
using pagetest::PageTest;

constexpr char16_t kInstallDir[] = u"C:\\Program Files (x86)\\Halvorn\\Merrowin";
constexpr char16_t kWindowsInstallerSetup[] = u"C:\\Package\\Msi\\WindowsInstaller-KB893803-v2-x86.exe";
constexpr char16_t kUninstallerRecord[] = u"C:\\uninstaller-runs.txt";

/// The test's own message: the page reports what its bar shows.
constexpr UINT kProbe = WM_APP + 7;

/// What the bar showed when a probe came.
struct BarProbe {
  int pagePosition = -1;
  int barPosition = -1;
  /// Pixels of the bar in the system's button face, and all of them.
  int buttonFacePixels = 0;
  int pixels = 0;
};

/// The copy-files page as a test watches it: it keeps the install thread
/// so the test can wait for its end, counts Enter and Cancel, notes which
/// background each slideshow tick leaves, and on a click on its first text
/// posts itself step notices and probes, then opens the installation's gate;
/// a click on its second text is a press of Enter with no button focused;
/// the requirements page, once closed, opens the gate too.
class WatchedCopyFilesDlg : public CKoraxCopyFilesDlg {
 public:
  ~WatchedCopyFilesDlg() override {
    // A thread never told to end would still use the object: it is left.
    if (m_thread && WaitForSingleObject(m_thread->m_hThread, 5000) == WAIT_OBJECT_0) delete m_thread;
  }

  const CMessageMap& GetMessageMap() const override {
    static const CMessageMap map = CMessageMapOf<WatchedCopyFilesDlg>(CKoraxCopyFilesDlg::GetMessageMap())
                                       .on<WM_TIMER>(&WatchedCopyFilesDlg::OnTimer)
                                       .onCommand(IDC_PAGE_TEXT, &WatchedCopyFilesDlg::OnInject)
                                       .onCommand(IDC_PAGE_TEXT_2, &WatchedCopyFilesDlg::OnPressOk)
                                       .onCommand(IDC_REQUIREMENTS_LINK, &WatchedCopyFilesDlg::OnRequirementsThenOpen)
                                       .onMessage(kProbe, &WatchedCopyFilesDlg::OnProbe);
    return map;
  }

  BOOL OnInitDialog() override {
    const BOOL result = CKoraxCopyFilesDlg::OnInitDialog();
    m_stepCountAtStart = m_nStepCount;
    m_positionAtStart = m_nPos;
    m_barLowerAtStart = m_progress.m_nLower;
    m_barUpperAtStart = m_progress.m_nUpper;
    m_barPositionAtStart = m_progress.m_nPos;
    m_barShown = (m_progress.GetStyle() & WS_VISIBLE) != 0;
    m_linkHasCursor = m_lnkRequirements.m_hCursor != nullptr;
    // The thread ends only after the page posts it WM_QUIT, which comes
    // after this, so it has not deleted itself yet.
    m_thread = m_pInstallThread;
    if (m_thread) m_thread->m_bAutoDelete = FALSE;
    return result;
  }

  void OnOK() override {
    ++m_enterPresses;
    CKoraxCopyFilesDlg::OnOK();
  }
  void OnCancel() override {
    ++m_cancelPresses;
    CKoraxCopyFilesDlg::OnCancel();
  }

  afx_msg void OnTimer(UINT_PTR nIDEvent) {
    CKoraxCopyFilesDlg::OnTimer(nIDEvent);
    m_slides.push_back(m_nSlide);
    m_backgroundIsSlide.push_back(sameBackground(m_background, m_nSlide));
  }

  afx_msg void OnPressOk() { SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

  afx_msg void OnRequirementsThenOpen() {
    CKoraxCopyFilesDlg::OnRequirements();
    openGate();
  }

  afx_msg void OnInject() {
    for (int i = 0; i < m_stepsBeforeFirstProbe; ++i) PostMessage(WM_SETUP_STEP_DONE);
    PostMessage(WM_SETUP_BEGIN);
    PostMessage(WM_SETUP_STEP_BEGIN);
    PostMessage(kProbe);
    for (int i = 0; i < m_stepsBeforeSecondProbe; ++i) PostMessage(WM_SETUP_STEP_DONE);
    PostMessage(kProbe);
  }

  afx_msg LRESULT OnProbe(WPARAM, LPARAM) {
    BarProbe probe;
    probe.pagePosition = m_nPos;
    probe.barPosition = m_progress.GetPos();
    m_progress.Invalidate();
    m_progress.UpdateWindow();
    if (auto picture = winsim::captureWindow(m_progress.GetSafeHwnd())) {
      const winsim::Surface& surface = **picture;
      const COLORREF face = GetSysColor(COLOR_BTNFACE);
      for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x) {
          ++probe.pixels;
          probe.buttonFacePixels += winsim::colorFromPixel(surface.pixel(x, y) & 0xFFFFFF) == face;
        }
    }
    m_probes.push_back(probe);
    if (m_probes.size() == 2) openGate();
    return 0;
  }

  void openGate() const { std::ofstream(m_gate) << "open"; }

  /// Whether a background holds the picture of slide `slide`.
  static bool sameBackground(CDIBitmap& shown, int slide) {
    CBitmapDialog reference(IDD_COPY_FILES);
    if (!reference.LoadBackground(kFirstSlide - 1 + slide)) return false;
    const CDIBitmap& expected = reference.GetBackground();
    if (!shown.IsValid() || shown.GetWidth() != expected.GetWidth() || shown.GetHeight() != expected.GetHeight() ||
        shown.GetBitCount() != expected.GetBitCount())
      return false;
    const std::size_t row = ((static_cast<std::size_t>(expected.GetWidth()) * expected.GetBitCount() + 31) / 32) * 4;
    return std::memcmp(shown.GetPixelPtr(), expected.GetPixelPtr(), row * expected.GetHeight()) == 0;
  }

  int stepCount() const { return m_nStepCount; }
  int position() const { return m_nPos; }
  int barPosition() const { return m_progress.m_nPos; }
  int barUpper() const { return m_progress.m_nUpper; }
  bool threadStarted() const { return m_thread != nullptr; }

  // Set by the test before the run.
  fs::path m_gate;
  int m_stepsBeforeFirstProbe = 0;
  int m_stepsBeforeSecondProbe = 0;

  // What the page did.
  int m_stepCountAtStart = 0;
  int m_positionAtStart = 0;
  int m_barLowerAtStart = -1;
  int m_barUpperAtStart = -1;
  int m_barPositionAtStart = -1;
  bool m_barShown = false;
  bool m_linkHasCursor = false;
  int m_enterPresses = 0;
  int m_cancelPresses = 0;
  std::vector<int> m_slides;
  std::vector<bool> m_backgroundIsSlide;
  std::vector<BarProbe> m_probes;

 private:
  CWinThread* m_thread = nullptr;
};

class CopyFilesTest : public PageTest {
 protected:
  CopyFilesTest() {
    CSetupState& state = SetupState();
    state.companyName = u"Halvorn";
    state.version = u"16.0";
    state.language = u"en_US";
    state.languageKey = u"en_us";
    state.lcid = u"1033";
    state.os64 = true;
    state.installDir = kInstallDir;
    state.mode = ModeInstall;
  }

  /// The example package beside the setup program; the product key names
  /// the folder the payload installs into, as the welcome page leaves it.
  /// With the .NET Framework the spreadsheet tables install without a
  /// message.
  void preparePackage(bool withNetFramework = true) {
    // The resource library the fixture loaded stays as it is.
    fs::copy(WINSIM_PACKAGE_DIR, host(u"C:\\Package"), fs::copy_options::recursive | fs::copy_options::skip_existing);
    WriteProductKey();
    if (withNetFramework) enginetest::registerNetClient();
  }

  /// The Windows Installer 3.1 step waits (four seconds at most, so a test
  /// that never opens the gate fails instead of hanging) until `gate`
  /// exists.
  void holdInstallationUntil(const fs::path& gate) {
    writeProgram(kWindowsInstallerSetup,
                 "i=0\nwhile [ ! -e '" + gate.string() + "' ] && [ $i -lt 400 ]; do sleep 0.01; i=$((i+1)); done\n");
  }

  /// A program of the machine that appends its command line to `record`.
  void writeRecorder(std::u16string_view windowsPath, std::u16string_view record) {
    writeProgram(windowsPath, "printf '%s\\n' \"$WINSIM_CMDLINE\" >> '" + host(record).string() + "'\n");
  }

  std::vector<std::string> lines(std::u16string_view windowsPath) const {
    std::vector<std::string> result;
    std::ifstream in(host(windowsPath));
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
  }

  std::vector<std::string> boxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : transcript("MessageBox")) texts.push_back(box["text"]);
    return texts;
  }

  bool exists(std::u16string_view windowsPath) const { return fs::exists(host(windowsPath)); }

  static std::u16string installed(std::u16string_view name) {
    return std::u16string(kInstallDir) + u"\\" + std::u16string(name);
  }

 private:
  void writeProgram(std::u16string_view windowsPath, const std::string& body) {
    const fs::path path = host(windowsPath);
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "#!/bin/sh\n" << body;
    fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add);
  }
};

/// The program id's class as the Windows Installer registers it, in the
/// setup program's view.
void registerWindowsInstallerClass() {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, u"WindowsInstaller.Installer\\CLSID", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::u16string id = u"{000C1090-0000-0000-C000-000000000046}";
  RegSetValueExW(key, u"", 0, REG_SZ, reinterpret_cast<const BYTE*>(id.c_str()),
                 static_cast<DWORD>((id.size() + 1) * 2));
  RegCloseKey(key);
}

struct StepCase {
  int package64;
  bool os64;
  bool windowsInstallerPresent;
  int steps;
};

class CopyFilesStepTest : public CopyFilesTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(CopyFilesStepTest, CountsTheStepsOfThisInstallation) {
  const StepCase& c = GetParam();
  if (c.windowsInstallerPresent) registerWindowsInstallerClass();
  CSetupState& state = SetupState();
  state.package64 = c.package64;
  state.os64 = c.os64;
  // A removal run: the procedure only reports its begin and its end.
  state.mode = ModeRemove;
  WatchedCopyFilesDlg page;
  EXPECT_EQ(page.DoModal(), 1);
  EXPECT_EQ(page.m_stepCountAtStart, c.steps);
  EXPECT_TRUE(page.m_barShown);
  EXPECT_EQ(page.m_barLowerAtStart, 0);
  EXPECT_EQ(page.m_barUpperAtStart, c.steps);
  EXPECT_EQ(page.m_barPositionAtStart, 1);
  EXPECT_EQ(page.m_positionAtStart, 1);
  EXPECT_TRUE(page.threadStarted());
  // The end fills the bar, which then shows as a plain strip.
  EXPECT_EQ(page.position(), c.steps);
  EXPECT_EQ(page.barPosition(), page.barUpper());
}

INSTANTIATE_TEST_SUITE_P(Machines, CopyFilesStepTest,
                         ::testing::Values(StepCase{1, true, true, 8},    // 64-bit package, 64-bit Windows
                                           StepCase{0, true, false, 10},  // 32-bit package, no Windows Installer
                                           StepCase{0, false, true, 8},   // 32-bit package, 32-bit Windows
                                           StepCase{1, false, false, 8},  // no Windows Installer only
                                           StepCase{2, true, true, 8}));  // any WOW64 but 0 is the 64-bit package

TEST_F(CopyFilesTest, StepNoticesAdvanceTheBarAndWrapToAPlainBar) {
  preparePackage();
  WatchedCopyFilesDlg page;
  page.m_gate = machineFolder() / "gate";
  holdInstallationUntil(page.m_gate);
  // 32-bit package on 64-bit Windows without the Windows Installer: 10 steps.
  // From 1, eight steps reach 9; one more wraps to 0.
  page.m_stepsBeforeFirstProbe = 8;
  page.m_stepsBeforeSecondProbe = 1;
  script("click 1032\n");
  EXPECT_EQ(page.DoModal(), 1);

  ASSERT_EQ(page.stepCount(), 10);
  ASSERT_EQ(page.m_probes.size(), 2u);
  const BarProbe& nearlyFull = page.m_probes[0];
  EXPECT_EQ(nearlyFull.pagePosition, 9);
  EXPECT_EQ(nearlyFull.barPosition, 9);
  ASSERT_GT(nearlyFull.pixels, 0);
  EXPECT_LT(nearlyFull.buttonFacePixels, nearlyFull.pixels / 10) << "gradient and pattern, not a plain bar";
  const BarProbe& wrapped = page.m_probes[1];
  EXPECT_EQ(wrapped.pagePosition, 0);
  EXPECT_EQ(wrapped.barPosition, 0);
  EXPECT_EQ(wrapped.buttonFacePixels, wrapped.pixels) << "a plain button-face bar";
  EXPECT_EQ(page.position(), 10);
  EXPECT_EQ(page.barPosition(), 10);
}

TEST_F(CopyFilesTest, CancelEnterAndTheRequirementsPageLeaveARealInstallationToEndWithOne) {
  preparePackage();
  WatchedCopyFilesDlg page;
  page.m_gate = machineFolder() / "gate";
  holdInstallationUntil(page.m_gate);
  const fs::path screenshot = machineFolder() / "copyfiles.png";
  // While the installation is held: Cancel, Escape, Enter on the focused
  // Cancel and with no button focused, a slideshow tick, a screenshot, and
  // last the requirements page opened and closed, which lets the
  // installation go on.
  script("click 2\nkey ESCAPE\nkey ENTER\nclick 1033\nadvance 5000\nscreenshot " + screenshot.string() +
         "\nclick 1020\nwait-dialog 112\nkey ESCAPE\n");
  EXPECT_EQ(page.DoModal(), 1);

  EXPECT_TRUE(transcript("ScriptError").empty());
  EXPECT_EQ(page.m_cancelPresses, 3);
  EXPECT_EQ(page.m_enterPresses, 1);
  EXPECT_EQ(page.m_slides, (std::vector<int>{2}));
  bool requirementsShown = false;
  for (const auto& dialog : transcript("Dialog"))
    requirementsShown |= dialog.value("template", 0) == IDD_HTML_PAGE && dialog["title"] == "System requirements";
  EXPECT_TRUE(requirementsShown);
  EXPECT_TRUE(page.m_linkHasCursor) << "the fallback hand";
  EXPECT_TRUE(fs::exists(screenshot));

  // The page ended only with the procedure's end: everything is installed.
  EXPECT_TRUE(boxTexts().empty());
  for (const char16_t* name :
       {u"korax.exe", u"Setup.exe", u"IntallerRes.dll", u"Setup.ini", u"HUninstall", u"install.log"})
    EXPECT_TRUE(exists(installed(name))) << enginetest::utf8(name);
  EXPECT_TRUE(enginetest::readValue(u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DWG Merrowin_en_us",
                                    u"InstallLocation"));
  EXPECT_EQ(page.position(), page.stepCount());
  EXPECT_EQ(page.barPosition(), page.barUpper());
}

TEST_F(CopyFilesTest, AFailedInstallationStartsTheRollbackAndEndsWithTwo) {
  // Without the .NET Framework the procedure makes the shell extension's
  // folder itself, which starts the log; then the registration tool is
  // missing and the run fails.
  preparePackage(false);
  fs::remove(host(u"C:\\Package\\files\\WriteRegister.exe"));
  writeRecorder(u"C:\\Package\\HUninstall.exe", kUninstallerRecord);
  WatchedCopyFilesDlg page;
  EXPECT_EQ(page.DoModal(), 2);

  EXPECT_EQ(boxTexts(), (std::vector<std::string>{enginetest::utf8(kFallbackDotNetMissing),
                                                  "File :'C:\\Package\\files\\WriteRegister.exe' does not exist!",
                                                  "WriteRegister.exe,Failed to install,Please reinstall!"}));
  ASSERT_TRUE(enginetest::eventually([&] { return !lines(kUninstallerRecord).empty(); }));
  EXPECT_EQ(lines(kUninstallerRecord), (std::vector<std::string>{"\"C:\\Package\\HUninstall.exe\" /quiet /norestart"}));
  // The uninstaller finds the log beside it.
  EXPECT_TRUE(exists(u"C:\\Package\\install.log"));
  EXPECT_EQ(page.position(), page.stepCount());
  EXPECT_TRUE(enginetest::ended(u"HUninstall.exe"));
}

TEST_F(CopyFilesTest, TheSlideshowShowsTheNextPictureEveryFiveSeconds) {
  preparePackage();
  WatchedCopyFilesDlg page;
  const fs::path gate = machineFolder() / "slides.png";
  holdInstallationUntil(gate);
  std::string ticks;
  for (int i = 0; i < 7; ++i) ticks += "advance 5000\n";
  script(ticks + "screenshot " + gate.string() + "\n");
  EXPECT_EQ(page.DoModal(), 1);

  // 141 is shown from the start; the first tick shows 142, the sixth wraps.
  EXPECT_EQ(page.m_slides, (std::vector<int>{2, 3, 4, 5, 6, 1, 2}));
  EXPECT_EQ(page.m_backgroundIsSlide, std::vector<bool>(7, true));
  EXPECT_FALSE(WatchedCopyFilesDlg::sameBackground(page.GetBackground(), 1)) << "the slides differ";
}

}  // namespace
