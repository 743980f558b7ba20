// Controls that handle their own notifications: an owner-drawn button draws
// itself (DrawItem), a control answers its own colour request and hears its
// own click before (or instead of) its parent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "afxwin.h"
#include "testing/tempmachine.h"
#include "winsim/windowing.h"

namespace {

std::vector<std::string> g_calls;

/// An owner-drawn button that paints itself red, and green while pressed.
class CRedButton : public CButton {
 public:
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override {
    ++m_draws;
    m_lastState = lpDrawItemStruct->itemState;
    m_lastRect = lpDrawItemStruct->rcItem;
    EXPECT_EQ(lpDrawItemStruct->hwndItem, GetSafeHwnd());
    EXPECT_EQ(lpDrawItemStruct->CtlType, static_cast<UINT>(ODT_BUTTON));
    CDC* dc = CDC::FromHandle(lpDrawItemStruct->hDC);
    dc->FillSolidRect(&lpDrawItemStruct->rcItem,
                      (lpDrawItemStruct->itemState & ODS_SELECTED) ? RGB(0, 200, 0) : RGB(200, 0, 0));
  }
  int m_draws = 0;
  UINT m_lastState = 0;
  RECT m_lastRect{};
};

/// A check box that hears its own clicks; m_letParentKnow decides whether
/// the parent hears them too. It answers its own colour request.
class CSelfishCheck : public CButton {
 public:
  const CMessageMap& GetMessageMap() const override {
    static const CMessageMap map = CMessageMapOf<CSelfishCheck>(CButton::GetMessageMap())
                                       .onControlReflect(BN_CLICKED, &CSelfishCheck::OnClicked)
                                       .onReflect<WM_CTLCOLOR>(&CSelfishCheck::CtlColor);
    return map;
  }
  afx_msg BOOL OnClicked() {
    g_calls.push_back("child clicked");
    return m_letParentKnow ? FALSE : TRUE;
  }
  afx_msg HBRUSH CtlColor(CDC*, UINT nCtlColor) {
    g_calls.push_back("child color " + std::to_string(nCtlColor));
    return m_brush;
  }
  bool m_letParentKnow = true;
  HBRUSH m_brush = nullptr;
};

class CParentWnd : public CWnd {
 public:
  const CMessageMap& GetMessageMap() const override {
    static const CMessageMap map =
        CMessageMapOf<CParentWnd>(CWnd::GetMessageMap()).onBnClicked(30, &CParentWnd::OnCheck);
    return map;
  }
  afx_msg void OnCheck() { g_calls.push_back("parent clicked"); }
};

class ReflectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    ASSERT_TRUE(m_parent.CreateEx(0, nullptr, u"Parent", WS_POPUP | WS_VISIBLE, 10, 10, 200, 120, nullptr, nullptr));
  }
  void TearDown() override { m_parent.DestroyWindow(); }
  static void pump() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  COLORREF pixel(HWND hwnd, int x, int y) {
    auto picture = winsim::captureWindow(hwnd);
    if (!picture) return CLR_INVALID;
    return winsim::colorFromPixel(picture.value()->pixel(x, y) & 0xFFFFFF);
  }

  winsim::testing::TempMachine m_machine;
  CParentWnd m_parent;
};

TEST_F(ReflectionTest, AnOwnerDrawnButtonDrawsItself) {
  CRedButton button;
  ASSERT_TRUE(button.Create(u"Go", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(20, 20, 80, 50), &m_parent, 10));
  pump();
  ASSERT_GE(button.m_draws, 1);
  EXPECT_EQ(CRect(button.m_lastRect), CRect(0, 0, 60, 30));
  EXPECT_EQ(pixel(button.GetSafeHwnd(), 30, 15), RGB(200, 0, 0));
  // Pressed, it draws itself selected.
  button.SetState(TRUE);
  pump();
  EXPECT_TRUE(button.m_lastState & ODS_SELECTED);
  EXPECT_EQ(pixel(button.GetSafeHwnd(), 30, 15), RGB(0, 200, 0));
}

TEST_F(ReflectionTest, AControlHearsItsOwnClickAndColourFirst) {
  CSelfishCheck check;
  ASSERT_TRUE(check.Create(u"Accept", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 60, 150, 80), &m_parent, 30));
  check.m_brush = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));

  check.SendMessage(BM_CLICK);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"child clicked", "parent clicked"}));
  EXPECT_EQ(check.GetCheck(), BST_CHECKED);

  g_calls.clear();
  check.m_letParentKnow = false;
  check.SendMessage(BM_CLICK);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"child clicked"}));
  EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);

  // The parent's default colour handling asks the control first.
  g_calls.clear();
  HDC dc = CreateCompatibleDC(nullptr);
  const LRESULT brush = m_parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                             reinterpret_cast<LPARAM>(check.GetSafeHwnd()));
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(check.m_brush));
  EXPECT_EQ(g_calls, (std::vector<std::string>{"child color 6"}));
  // A null answer leaves it to the parent's default (a real brush).
  check.m_brush = nullptr;
  EXPECT_NE(m_parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(check.GetSafeHwnd())),
            0);
  DeleteDC(dc);
}

}  // namespace
