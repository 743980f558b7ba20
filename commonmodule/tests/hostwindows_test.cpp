// The host's windows as a tool module sees them: whether the mouse is over
// a window, and showing and hiding the main frame's toolbars. The windows
// are real windows of the machine's window system, made the way the host's
// frame and its bars are.
#include <gtest/gtest.h>

#include <vector>

#include "HvDbUtilsView.h"
#include "afxwin.h"
#include "testing/tempmachine.h"

namespace {

constexpr DWORD kFloatingShown = 0x940C4000;
constexpr DWORD kFloatingHidden = 0x840C4000;
constexpr DWORD kDockedShown = 0x54000000;
constexpr DWORD kDockedHidden = 0x44000000;

struct SizeMessage {
  WPARAM type;
  int width, height;
};
std::vector<SizeMessage> g_sizes;

LRESULT frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) g_sizes.push_back({wParam, LOWORD(lParam), HIWORD(lParam)});
  return DefWindowProcW(window, message, wParam, lParam);
}

DWORD styleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

class HostWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_sizes.clear();
    registerClass(u"MWTestFrame", frameProcedure);
    registerClass(u"AfxControlBar", DefWindowProcW);
    registerClass(u"MWTestBar", DefWindowProcW);
  }
  void TearDown() override {
    for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it) DestroyWindow(*it);
  }

  static void registerClass(const WCHAR* name, WNDPROC procedure) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass);
  }

  /// A window with exactly this style (the window system may add bits of its
  /// own when it makes one).
  HWND make(const WCHAR* className, DWORD style, HWND parent, int x, int y, int width, int height) {
    const HWND window =
        CreateWindowExW(0, className, u"", style, x, y, width, height, parent, nullptr, nullptr, nullptr);
    EXPECT_NE(window, nullptr);
    SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(style));
    EXPECT_EQ(styleOf(window), style);
    m_windows.push_back(window);
    return window;
  }

  winsim::testing::TempMachine m_machine;
  std::vector<HWND> m_windows;
};

TEST_F(HostWindowsTest, TheMouseIsInsideUpToTheRightAndBottomEdges) {
  const HWND window = make(u"MWTestFrame", WS_POPUP | WS_VISIBLE, nullptr, 100, 100, 200, 100);
  CWnd wrapper;
  ASSERT_TRUE(wrapper.Attach(window));
  struct Case {
    int x, y;
    bool inside;
  } const cases[] = {
      {100, 100, true},  {299, 199, true}, {200, 150, true}, {300, 150, false},
      {150, 200, false}, {99, 150, false}, {150, 99, false}, {300, 200, false},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(SetCursorPos(c.x, c.y));
    EXPECT_EQ(HvDbUtils::KeepTheFocus(&wrapper) != 0, c.inside) << c.x << "," << c.y;
  }
  wrapper.Detach();
  EXPECT_EQ(HvDbUtils::KeepTheFocus(nullptr), 0);
}

/// A main frame with two floating toolbars it owns, two docked toolbars in a
/// control bar, and windows that only look like toolbars.
class ToolbarTest : public HostWindowsTest {
 protected:
  void SetUp() override {
    HostWindowsTest::SetUp();
    m_frame = make(u"MWTestFrame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, 0, 800, 600);
    m_floatingShown = make(u"MWTestBar", kFloatingShown, m_frame, 10, 10, 100, 30);
    m_floatingHidden = make(u"MWTestBar", kFloatingHidden, m_frame, 10, 50, 100, 30);
    const HWND controlBar = make(u"AfxControlBar", WS_CHILD | WS_VISIBLE, m_frame, 0, 0, 800, 40);
    m_dockedShown = make(u"MWTestBar", kDockedShown, controlBar, 0, 0, 200, 30);
    m_dockedHidden = make(u"MWTestBar", kDockedHidden, controlBar, 200, 0, 200, 30);

    // Not toolbars: a floating frame of another owner, a toolbar style
    // outside a control bar, another style inside one, a bar in a bar.
    const HWND stranger = make(u"MWTestFrame", WS_OVERLAPPEDWINDOW, nullptr, 0, 0, 100, 100);
    m_decoys.push_back(make(u"MWTestBar", kFloatingShown, stranger, 0, 0, 50, 20));
    m_decoys.push_back(make(u"MWTestBar", kDockedShown, m_frame, 0, 100, 50, 20));
    m_decoys.push_back(make(u"MWTestBar", kDockedShown | 0x00010000, controlBar, 400, 0, 50, 20));
    const HWND inner = make(u"AfxControlBar", WS_CHILD | WS_VISIBLE, controlBar, 500, 0, 50, 20);
    m_nested = make(u"MWTestBar", kDockedShown, inner, 0, 0, 10, 10);
    const HWND otherBar = make(u"MWTestBar", WS_CHILD | WS_VISIBLE, m_frame, 0, 200, 800, 40);
    m_decoys.push_back(make(u"MWTestBar", kDockedShown, otherBar, 0, 0, 50, 20));
    ASSERT_TRUE(m_frameWrapper.Attach(m_frame));
  }
  void TearDown() override {
    m_frameWrapper.Detach();
    HostWindowsTest::TearDown();
  }

  bool visible(HWND window) const { return (styleOf(window) & WS_VISIBLE) != 0; }

  HWND m_frame = nullptr, m_floatingShown = nullptr, m_floatingHidden = nullptr;
  HWND m_dockedShown = nullptr, m_dockedHidden = nullptr, m_nested = nullptr;
  std::vector<HWND> m_decoys;
  CWnd m_frameWrapper;
};

TEST_F(ToolbarTest, HidingTogglesEveryToolbarAndTwiceRestoresThem) {
  EXPECT_EQ(HvDbUtils::HideOrShowAcadToolBar(&m_frameWrapper, 0), 4);
  EXPECT_FALSE(visible(m_floatingShown));
  EXPECT_TRUE(visible(m_floatingHidden));
  EXPECT_FALSE(visible(m_dockedShown));
  EXPECT_TRUE(visible(m_dockedHidden));
  EXPECT_EQ(HvDbUtils::HideOrShowAcadToolBar(&m_frameWrapper, 0), 4);
  EXPECT_TRUE(visible(m_floatingShown));
  EXPECT_FALSE(visible(m_floatingHidden));
  EXPECT_TRUE(visible(m_dockedShown));
  EXPECT_FALSE(visible(m_dockedHidden));
  // The windows that only look like toolbars were left alone.
  EXPECT_TRUE(visible(m_decoys[0]));
  EXPECT_TRUE(visible(m_decoys[1]));
  EXPECT_TRUE(visible(m_decoys[2]));
  EXPECT_TRUE(visible(m_decoys[3]));
  EXPECT_TRUE(visible(m_nested));
}

TEST_F(ToolbarTest, ShowingLeavesEveryToolbarVisible) {
  for (int show : {1, 3, 1}) {
    EXPECT_EQ(HvDbUtils::HideOrShowAcadToolBar(&m_frameWrapper, show), 4);
    for (HWND toolbar : {m_floatingShown, m_floatingHidden, m_dockedShown, m_dockedHidden})
      EXPECT_TRUE(visible(toolbar));
  }
  // Bit 0 is what counts: 2 toggles.
  EXPECT_EQ(HvDbUtils::HideOrShowAcadToolBar(&m_frameWrapper, 2), 4);
  EXPECT_FALSE(visible(m_floatingShown));
}

TEST_F(ToolbarTest, TheFrameLaysItsBarsOutAgain) {
  g_sizes.clear();
  HvDbUtils::HideOrShowAcadToolBar(&m_frameWrapper, 1);
  ASSERT_EQ(g_sizes.size(), 1u);
  EXPECT_EQ(g_sizes[0].type, SIZE_RESTORED);
  EXPECT_EQ(g_sizes[0].width, 800);
  EXPECT_EQ(g_sizes[0].height, 600);
}

TEST_F(ToolbarTest, WithoutAFrameNothingIsFound) { EXPECT_EQ(HvDbUtils::HideOrShowAcadToolBar(nullptr, 1), 0); }

}  // namespace
