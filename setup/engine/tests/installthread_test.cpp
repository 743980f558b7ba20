// The install thread as the copy-files page uses it: started through
// AfxBeginThread with its run-time class, told to start with WM_SETUP_START
// and the page's window, it runs the procedure and posts the notices back;
// it leaves its message loop on WM_QUIT.
#include "installthread.h"

#include <gtest/gtest.h>

#include "setupmessages.h"
#include "setuptest.h"

namespace {

using Notices = std::vector<UINT>;

class InstallThreadTest : public enginetest::SetupTest {
 protected:
  InstallThreadTest() {
    m_page = CreateWindowExW(0, u"Static", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CSetupState& state = SetupState();
    state.productName = u"DWG Merrowin";
    state.installDir = enginetest::kInstallDir;
    state.os64 = true;
    state.mode = ModeInstall;
  }
  ~InstallThreadTest() override { DestroyWindow(m_page); }

  /// Starts the thread, posts it the start message and collects the notices
  /// up to the end message; then ends the thread with WM_QUIT, as the page
  /// does, and waits for it.
  Notices install() {
    CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CInstallThread));
    EXPECT_NE(thread, nullptr);
    if (!thread) return {};
    EXPECT_TRUE(thread->IsKindOf(RUNTIME_CLASS(CInstallThread)));
    // The page does not wait for the thread; the test does, so it keeps the
    // object until the thread has ended.
    thread->m_bAutoDelete = FALSE;
    EXPECT_TRUE(thread->PostThreadMessage(WM_SETUP_START, 0, reinterpret_cast<LPARAM>(m_page)));
    Notices notices;
    MSG message;
    while (GetMessageW(&message, m_page, WM_SETUP_BEGIN, WM_SETUP_STEP_DONE) > 0) {
      notices.push_back(message.message);
      if (message.message == WM_SETUP_DONE || message.message == WM_SETUP_FAILED) break;
    }
    EXPECT_TRUE(PostThreadMessageW(thread->m_nThreadID, WM_QUIT, 0, 0));
    EXPECT_EQ(WaitForSingleObject(thread->m_hThread, INFINITE), WAIT_OBJECT_0);
    delete thread;
    return notices;
  }

  HWND m_page = nullptr;
};

TEST_F(InstallThreadTest, RunsTheProcedureOnWmSetupStart) {
  SetupState().mode = ModeRemove;
  EXPECT_EQ(install(), (Notices{WM_SETUP_BEGIN, WM_SETUP_DONE}));
  EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(InstallThreadTest, AFailedStepEndsWithWmSetupFailedAfterItsMessage) {
  // An empty package: the first installer is missing.
  EXPECT_EQ(install(), (Notices{WM_SETUP_BEGIN, WM_SETUP_STEP_BEGIN, WM_SETUP_FAILED}));
  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0]["text"], "File :'C:\\Package\\Msi\\WindowsInstaller-KB893803-v2-x86.exe' does not exist!");
  EXPECT_EQ(boxes[1]["text"], "WindowsInstaller-KB893803-v2-x86.exe,Failed to install,Please reinstall!");
}

TEST_F(InstallThreadTest, EachRunHasItsOwnThread) {
  SetupState().mode = ModeRemove;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(install(), (Notices{WM_SETUP_BEGIN, WM_SETUP_DONE}));
}

}  // namespace
