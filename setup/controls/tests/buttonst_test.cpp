// The icon button: attaching from a template's style, the icon and text
// layout, hover tracking, check-box clicks, the grey copy, and the
// transparent background copied from the parent once and kept.
#include "buttonst.h"

#include <gtest/gtest.h>

#include "../../../resources/IntallerRes.h"
#include "buttontesting.h"

namespace {

constexpr COLORREF kPageColour = RGB(10, 60, 110);

/// A page that paints itself one colour, which can change, and, as the
/// wizard pages do, may have a button capture its background anew when it
/// paints (after its erase, before its children draw).
class CColourPage : public CWnd {
 public:
  enum class Refresh { None, Transparent, SemiTransparent };
  const CMessageMap& GetMessageMap() const override {
    static const CMessageMap map = CMessageMapOf<CColourPage>(CWnd::GetMessageMap())
                                       .on<WM_ERASEBKGND>(&CColourPage::OnEraseBkgnd)
                                       .on<WM_PAINT>(&CColourPage::OnPaint);
    return map;
  }
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    if (m_refresh == Refresh::Transparent) m_button->DrawTransparent();
    if (m_refresh == Refresh::SemiTransparent) m_button->DrawSemiTransparent();
  }
  afx_msg BOOL OnEraseBkgnd(CDC* pDC) {
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, m_colour);
    return TRUE;
  }
  COLORREF m_colour = kPageColour;
  Refresh m_refresh = Refresh::None;
  CButtonST* m_button = nullptr;
};

class ButtonSTTest : public buttontesting::ButtonPage {
 protected:
  void SetUp() override {
    ButtonPage::SetUp();
    ASSERT_TRUE(m_page.CreateEx(0, nullptr, u"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, m_parent, nullptr));
    pump();
  }
  void TearDown() override {
    m_page.DestroyWindow();
    ButtonPage::TearDown();
  }
  /// A button of the page from a template style, attached as the pages do.
  void attach(DWORD style, LPCWSTR text = u"") {
    HWND hwnd =
        CreateWindowExW(0, u"Button", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 20, 20, 120, 40,
                        m_page.GetSafeHwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(1037)), nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(m_button.SubclassWindow(hwnd));
    m_button.Invalidate();
    pump();
  }
  COLORREF at(int x, int y) { return shown(m_button, x, y); }

  CColourPage m_page;
  CButtonST m_button;
};

TEST_F(ButtonSTTest, AttachingReadsTheTemplateStyle) {
  struct Case {
    DWORD style;
    BOOL checkBox;
    BOOL isDefault;
  } cases[] = {
      {BS_PUSHBUTTON, FALSE, FALSE},
      {BS_DEFPUSHBUTTON, FALSE, TRUE},
      {BS_CHECKBOX, TRUE, FALSE},
      {BS_AUTOCHECKBOX, TRUE, FALSE},
  };
  for (const Case& c : cases) {
    CButtonST button;
    HWND hwnd = makeButton(7, c.style, CRect(0, 0, 50, 20));
    ASSERT_TRUE(button.SubclassWindow(hwnd));
    EXPECT_EQ(button.IsCheckBox(), c.checkBox) << c.style;
    EXPECT_EQ(button.IsDefault(), c.isDefault) << c.style;
    EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    const LRESULT code = button.SendMessage(WM_GETDLGCODE);
    EXPECT_EQ((code & DLGC_DEFPUSHBUTTON) != 0, c.isDefault != FALSE);
    if (!c.isDefault) {
      EXPECT_NE(code & DLGC_UNDEFPUSHBUTTON, 0);
    }
    button.DestroyWindow();
  }
  // The style message keeps the owner-draw type and updates "default".
  CButtonST button;
  ASSERT_TRUE(button.SubclassWindow(makeButton(8, BS_PUSHBUTTON, CRect(0, 0, 50, 20))));
  button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_TRUE(button.IsDefault());
  EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
  button.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_FALSE(button.IsDefault());
  button.DestroyWindow();
}

TEST_F(ButtonSTTest, ACheckBoxTogglesItsOwnStateOnClick) {
  attach(BS_AUTOCHECKBOX);
  EXPECT_EQ(m_button.GetCheck(), 0);
  m_button.SendMessage(BM_CLICK);
  pump();
  EXPECT_EQ(m_button.GetCheck(), 1);
  EXPECT_EQ(CWnd::GetFocus(), &m_button);
  m_button.SendMessage(BM_CLICK);
  EXPECT_EQ(m_button.GetCheck(), 0);
  struct Case {
    WPARAM value;
    int expected;
  } cases[] = {{BST_CHECKED, 1}, {BST_INDETERMINATE, 1}, {BST_UNCHECKED, 0}, {7, 0}};
  for (const Case& c : cases) {
    m_button.SendMessage(BM_SETCHECK, c.value);
    EXPECT_EQ(m_button.GetCheck(), c.expected) << c.value;
  }
  // A push button has no check state to set.
  CButtonST push;
  ASSERT_TRUE(push.SubclassWindow(makeButton(9, BS_PUSHBUTTON, CRect(0, 0, 50, 20))));
  push.SendMessage(BM_SETCHECK, BST_CHECKED);
  EXPECT_EQ(push.GetCheck(), 0);
  push.DestroyWindow();
}

TEST_F(ButtonSTTest, AnIconWithoutTextIsCentred) {
  attach(BS_PUSHBUTTON);
  m_button.SetColor(CButtonST::BTNST_COLOR_BK_OUT, RGB(255, 255, 255));
  ASSERT_EQ(m_button.SetIcon(IDI_CHECK_TICKED), 0u);
  pump();
  // The icon's own picture, drawn at the centre of the 120 x 40 button.
  HICON icon =
      static_cast<HICON>(LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_CHECK_TICKED), IMAGE_ICON, 0, 0, 0));
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  const int w = static_cast<int>(info.xHotspot * 2), h = static_cast<int>(info.yHotspot * 2);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  buttontesting::Canvas expected(w, h, RGB(255, 255, 255));
  DrawIconEx(expected.dc(), 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
  DestroyIcon(icon);
  const int left = (120 - w) / 2, top = (40 - h) / 2;
  for (int y = 0; y < h; y += 3)
    for (int x = 0; x < w; x += 3) ASSERT_EQ(at(left + x, top + y), expected.at(x, y)) << x << ", " << y;
  EXPECT_EQ(at(left - 1, top), RGB(255, 255, 255));
}

TEST_F(ButtonSTTest, TextIsCentredTwentyPixelsRightAndHoverChangesItsColour) {
  attach(BS_PUSHBUTTON, u"I");
  m_button.SetColor(CButtonST::BTNST_COLOR_BK_OUT, RGB(255, 255, 255), FALSE);
  m_button.SetColor(CButtonST::BTNST_COLOR_BK_IN, RGB(255, 255, 255), FALSE);
  m_button.SetColor(CButtonST::BTNST_COLOR_FG_OUT, RGB(200, 0, 0), FALSE);
  m_button.SetColor(CButtonST::BTNST_COLOR_FG_IN, RGB(0, 0, 200));
  pump();
  // The columns that hold text colour: centred at 60 + 20.
  auto textColumns = [&](COLORREF colour) {
    int first = -1, last = -1;
    for (int x = 0; x < 120; ++x)
      for (int y = 0; y < 40; ++y)
        if (at(x, y) == colour) {
          if (first < 0) first = x;
          last = x;
        }
    return std::pair(first, last);
  };
  auto [first, last] = textColumns(RGB(200, 0, 0));
  ASSERT_GE(first, 0);
  EXPECT_NEAR((first + last) / 2.0, 80.0, 2.0);
  EXPECT_FALSE(m_button.IsHovering());

  pointAt(60, 40);
  EXPECT_TRUE(m_button.IsHovering());
  EXPECT_GE(textColumns(RGB(0, 0, 200)).first, 0);
  EXPECT_LT(textColumns(RGB(200, 0, 0)).first, 0);
  pointAt(250, 150);
  EXPECT_FALSE(m_button.IsHovering());
  EXPECT_GE(textColumns(RGB(200, 0, 0)).first, 0);

  // A button that is not flat tracks nothing.
  m_button.SetFlat(FALSE);
  pointAt(60, 40);
  EXPECT_FALSE(m_button.IsHovering());
}

TEST_F(ButtonSTTest, TheGreyCopyReplacesEachNonBlackPixelByItsLuminance) {
  attach(BS_PUSHBUTTON);
  // A 4 x 4 icon: red, green, blue and black quarters, fully shown.
  buttontesting::Canvas colour(4, 4, RGB(0, 0, 0));
  colour.dc().FillSolidRect(0, 0, 2, 2, RGB(255, 0, 0));
  colour.dc().FillSolidRect(2, 0, 2, 2, RGB(0, 255, 0));
  colour.dc().FillSolidRect(0, 2, 2, 2, RGB(0, 0, 255));
  const BYTE maskBits[8] = {};
  HBITMAP mask = CreateBitmap(4, 4, 1, 1, maskBits);
  ICONINFO info{TRUE, 2, 2, mask, colour.bitmap()};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  ASSERT_NE(icon, nullptr);
  m_button.SetColor(CButtonST::BTNST_COLOR_BK_OUT, RGB(255, 255, 255), FALSE);
  ASSERT_EQ(m_button.SetIcon(icon, CButtonST::BTNST_AUTO_GRAY), 0u);
  pump();
  // Not hovered: the grey copy, at the centre (58, 18).
  EXPECT_EQ(at(58, 18), RGB(76, 76, 76));     // 0.299 x 255
  EXPECT_EQ(at(60, 18), RGB(149, 149, 149));  // 0.587 x 255
  EXPECT_EQ(at(58, 20), RGB(29, 29, 29));     // 0.114 x 255
  EXPECT_EQ(at(60, 20), RGB(0, 0, 0));
  // Hovered: the icon itself.
  pointAt(60, 40);
  EXPECT_EQ(at(58, 18), RGB(255, 0, 0));
  EXPECT_EQ(at(60, 18), RGB(0, 255, 0));
}

TEST_F(ButtonSTTest, AnUnreadableIconFreesEverything) {
  attach(BS_PUSHBUTTON);
  EXPECT_EQ(m_button.SetIcon(reinterpret_cast<HICON>(static_cast<INT_PTR>(0x7777))), 1u);
  EXPECT_EQ(m_button.SetIcon(999), 1u);
  EXPECT_EQ(m_button.SetIcon(IDI_CHOICE_ON), 0u);
}

TEST_F(ButtonSTTest, TheTransparentBackgroundIsCapturedAtTheFirstDrawAndKept) {
  attach(BS_AUTOCHECKBOX);
  m_page.m_button = &m_button;
  auto repaintPage = [&](CColourPage::Refresh refresh, COLORREF colour) {
    m_page.m_refresh = refresh;
    m_page.m_colour = colour;
    m_page.Invalidate();
    pump();
    m_page.m_refresh = CColourPage::Refresh::None;
  };
  repaintPage(CColourPage::Refresh::Transparent, kPageColour);
  EXPECT_EQ(at(5, 5), kPageColour);
  // The page changes; the button keeps what it captured.
  repaintPage(CColourPage::Refresh::None, RGB(200, 100, 0));
  EXPECT_EQ(shown(m_page, 10, 10), RGB(200, 100, 0));
  EXPECT_EQ(at(5, 5), kPageColour);
  // Until it is refreshed.
  repaintPage(CColourPage::Refresh::Transparent, RGB(200, 100, 0));
  EXPECT_EQ(at(5, 5), RGB(200, 100, 0));
  // Blended at 200 of 255.
  repaintPage(CColourPage::Refresh::SemiTransparent, RGB(200, 100, 0));
  const COLORREF blended = at(5, 5);
  EXPECT_NEAR(GetRValue(blended), 200 * 200 / 255.0, 1.0);
  EXPECT_NEAR(GetGValue(blended), 100 * 200 / 255.0, 1.0);
  EXPECT_EQ(GetBValue(blended), 0);
  // The reflected colour request answers the hollow brush.
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(m_page.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(m_button.m_hWnd)),
            reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH)));
  DeleteDC(dc);
}

TEST_F(ButtonSTTest, TheCursorShowsOverTheButton) {
  attach(BS_PUSHBUTTON);
  HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  m_button.SetBtnCursor(hand);
  SetCursor(nullptr);
  EXPECT_TRUE(m_button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_button.m_hWnd),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_NE(GetCursor(), nullptr);
}

TEST_F(ButtonSTTest, ADoubleClickIsOneMorePress) {
  attach(BS_AUTOCHECKBOX);
  pointAt(40, 30);
  m_button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
  m_button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  m_button.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 10));
  m_button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  pump();
  EXPECT_EQ(m_button.GetCheck(), 0);
}

TEST_F(ButtonSTTest, LosingTheModeOrBeingDisabledEndsTheHover) {
  attach(BS_PUSHBUTTON);
  CButtonST next;
  ASSERT_TRUE(next.SubclassWindow(CreateWindowExW(0, u"Button", u"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 200, 20, 60,
                                                  20, m_page.GetSafeHwnd(), nullptr, nullptr, nullptr)));
  pointAt(60, 40);
  ASSERT_TRUE(m_button.IsHovering());
  m_button.SendMessage(WM_CANCELMODE);
  EXPECT_FALSE(m_button.IsHovering());

  pointAt(250, 150);
  pointAt(60, 40);
  ASSERT_TRUE(m_button.IsHovering());
  m_button.SetFocus();
  m_button.EnableWindow(FALSE);
  EXPECT_FALSE(m_button.IsHovering());
  EXPECT_EQ(CWnd::GetFocus(), &next);
  next.DestroyWindow();
}

}  // namespace
