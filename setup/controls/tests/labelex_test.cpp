// The skinned label: attached to a page's static it reports clicks and takes
// the page's font; it paints its text in its colour over what is behind it,
// with the optional frame, pictures and underline; it shows its cursor, or
// leaves the pointer alone when it has none; and the fallback hand cursor
// comes from winhlp32.exe only.
#include "labelex.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "labeltesting.h"

namespace {

using labeltesting::kFirstLabel;
using labeltesting::kSecondLabel;
using labeltesting::LabelTest;

constexpr COLORREF kRed = RGB(255, 0, 0);

TEST_F(LabelTest, AttachingReportsClicksAndTakesThePagesFont) {
  CLabelEx label;
  ASSERT_TRUE(label.SubclassDlgItem(kFirstLabel, &m_page));
  EXPECT_TRUE(label.GetStyle() & SS_NOTIFY);
  ASSERT_NE(m_page.GetFont(), nullptr);
  ASSERT_NE(label.GetFont(), nullptr);
  EXPECT_EQ(label.GetFont()->GetSafeHandle(), m_page.GetFont()->GetSafeHandle());

  label.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  label.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  pump();
  EXPECT_EQ(m_page.m_firstClicks, 1);
  EXPECT_EQ(m_page.m_secondClicks, 0);
}

TEST_F(LabelTest, TheFieldsStartAsThePagesExpect) {
  const CLabelEx label;
  EXPECT_EQ(label.m_crText, RGB(0, 0, 0));
  EXPECT_EQ(label.m_crBorder, RGB(0, 0, 0));
  EXPECT_EQ(label.m_crFill, RGB(255, 255, 255));
  EXPECT_EQ(label.m_crUnderline, RGB(0, 0, 255));
  EXPECT_FALSE(label.m_bBorder || label.m_bUnderline || label.m_bStateA || label.m_bStateB);
  EXPECT_EQ(label.m_hCursor, nullptr);
}

TEST_F(LabelTest, TheTextIsPaintedInItsColourFourPixelsInAndUnderlined) {
  CLabelEx label;
  ASSERT_TRUE(label.SubclassDlgItem(kFirstLabel, &m_page));
  label.MoveWindow(10, 10, 300, 24);
  label.m_crText = kRed;
  label.m_bUnderline = TRUE;
  label.m_crUnderline = RGB(125, 125, 125);
  auto picture = shown(label);
  ASSERT_TRUE(picture);

  const TEXTMETRICW metrics = metricsOf(label);
  const int y = (24 - metrics.tmHeight) / 2;
  CSize extent;
  {
    CClientDC dc(&label);
    CFont* old = dc.SelectObject(label.GetFont());
    extent = dc.GetTextExtent(CString(u"System requirements"));
    dc.SelectObject(old);
  }
  // The glyphs: in the text colour, nowhere left of x = 4 or beyond the text.
  EXPECT_GT(reddish(*picture, CRect(4, y, 4 + extent.cx, y + metrics.tmHeight)), 60);
  EXPECT_EQ(reddish(*picture, CRect(0, 0, 300, 24)),
            reddish(*picture, CRect(4, y, 4 + extent.cx + 1, y + metrics.tmHeight)));
  EXPECT_EQ(reddish(*picture, CRect(0, 0, 4, 24)), 0);
  EXPECT_EQ(reddish(*picture, CRect(4 + extent.cx + 1, 0, 300, 24)), 0);
  // The underline: from x - 2 to x - 2 + the text's width, one pixel high.
  const int lineY = y + metrics.tmHeight + 1;
  const COLORREF grey = RGB(125, 125, 125);
  EXPECT_EQ(at(*picture, 2, lineY), grey);
  EXPECT_EQ(at(*picture, 2 + extent.cx - 1, lineY), grey);
  EXPECT_NE(at(*picture, 2 + extent.cx + 1, lineY), grey);
  EXPECT_NE(at(*picture, 1, lineY), grey);
  EXPECT_EQ(countOf(*picture, grey, CRect(0, 0, 300, 24)), extent.cx);
  if (const char* folder = std::getenv("WINSIM_SHOTS"))
    (void)winsim::writeWindowPng(m_page.GetSafeHwnd(), std::filesystem::path(folder) / "labelex.png");
}

TEST_F(LabelTest, ANewTextLeavesNoTraceOfTheOldOne) {
  CLabelEx label;
  ASSERT_TRUE(label.SubclassDlgItem(kSecondLabel, &m_page));
  label.MoveWindow(10, 40, 200, 20);
  label.m_crText = kRed;
  label.SetWindowText(u"WWWWWWWWWWWW");
  pump();
  auto written = shown(label);
  ASSERT_TRUE(written);
  EXPECT_GT(reddish(*written, CRect(0, 0, 200, 20)), 20);
  label.SetWindowText(u"");
  pump();
  auto cleared = shown(label);
  ASSERT_TRUE(cleared);
  // Only the page's plain background is left.
  EXPECT_EQ(reddish(*cleared, CRect(0, 0, 200, 20)), 0);
  EXPECT_EQ(countOf(*cleared, at(*cleared, 0, 0), CRect(0, 0, 200, 20)), 200 * 20);
}

TEST_F(LabelTest, TheBackgroundShowsThroughAndTheFrameIsFilled) {
  CLabelEx label;
  ASSERT_TRUE(label.SubclassDlgItem(kSecondLabel, &m_page));
  label.MoveWindow(10, 40, 120, 20);
  // An empty label paints nothing: the page behind it shows.
  auto bare = shown(label);
  ASSERT_TRUE(bare);
  const COLORREF behind = at(*bare, 60, 10);
  EXPECT_EQ(countOf(*bare, behind, CRect(0, 0, 120, 20)), 120 * 20);

  label.m_bBorder = TRUE;
  label.m_crBorder = RGB(0, 0, 128);
  label.m_crFill = RGB(0, 200, 0);
  auto framed = shown(label);
  ASSERT_TRUE(framed);
  for (const CPoint& edge : {CPoint(0, 0), CPoint(119, 0), CPoint(0, 19), CPoint(119, 19), CPoint(60, 0)})
    EXPECT_EQ(at(*framed, edge.x, edge.y), RGB(0, 0, 128)) << edge.x << "," << edge.y;
  EXPECT_EQ(countOf(*framed, RGB(0, 200, 0), CRect(1, 1, 119, 19)), 118 * 18);
}

TEST_F(LabelTest, PicturesFollowTheStatesAndTheIconPushesTheText) {
  CLabelEx label;
  ASSERT_TRUE(label.SubclassDlgItem(kFirstLabel, &m_page));
  label.MoveWindow(10, 10, 200, 20);
  label.m_crText = kRed;
  const auto flat = [](COLORREF c) { return [c](int, int) { return c; }; };
  label.m_bmpBack.Attach(controltesting::makePicture(150, 30, flat(RGB(10, 20, 30))));
  label.m_bmpBackStateB.Attach(controltesting::makePicture(150, 30, flat(RGB(40, 50, 60))));
  // An icon picture 10 x 5: drawn 40 x 20, so the text starts at x = 44.
  label.m_bmpIconStateA.Attach(controltesting::makePicture(10, 5, flat(RGB(0, 0, 250))));

  struct Case {
    BOOL stateA, stateB;
    COLORREF back;    // the background picture, right of the text
    COLORREF inside;  // at the left edge: the icon, where there is one
    int textFrom;
  } const kCases[] = {
      {FALSE, FALSE, RGB(10, 20, 30), RGB(10, 20, 30), 4},
      {FALSE, TRUE, RGB(40, 50, 60), RGB(40, 50, 60), 4},
      // State A has only an icon: the background falls back past A to B.
      {TRUE, TRUE, RGB(40, 50, 60), RGB(0, 0, 250), 44},
      {TRUE, FALSE, RGB(10, 20, 30), RGB(0, 0, 250), 44},
  };
  for (const Case& c : kCases) {
    label.m_bStateA = c.stateA;
    label.m_bStateB = c.stateB;
    label.SetWindowText(u"Wg");
    auto picture = shown(label);
    ASSERT_TRUE(picture);
    SCOPED_TRACE(testing::Message() << "state A " << c.stateA << ", state B " << c.stateB);
    EXPECT_EQ(at(*picture, 140, 1), c.back);
    EXPECT_EQ(at(*picture, 2, 1), c.inside);
    if (c.textFrom == 44) {
      EXPECT_EQ(at(*picture, 39, 19), RGB(0, 0, 250));
      EXPECT_EQ(at(*picture, 40, 19), c.back);
    }
    // The picture is copied 1:1 and not stretched: past its 150 pixels the
    // page shows.
    EXPECT_NE(at(*picture, 160, 1), c.back);
    EXPECT_EQ(reddish(*picture, CRect(0, 0, c.textFrom, 20)), 0);
    EXPECT_GT(reddish(*picture, CRect(c.textFrom, 0, c.textFrom + 30, 20)), 5);
  }
}

TEST_F(LabelTest, ALabelShowsItsCursorAndOtherwiseLeavesThePointerAlone) {
  CLabelEx label;
  ASSERT_TRUE(label.SubclassDlgItem(kFirstLabel, &m_page));
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  ASSERT_NE(hand, nullptr);
  const LPARAM request = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);

  SetCursor(arrow);
  EXPECT_FALSE(label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.GetSafeHwnd()), request));
  EXPECT_EQ(GetCursor(), arrow);

  label.m_hCursor = hand;
  EXPECT_TRUE(label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.GetSafeHwnd()), request));
  EXPECT_EQ(GetCursor(), hand);
}

TEST_F(LabelTest, WithoutWinhlp32TheFallbackLeavesNoCursor) {
  CLabelEx label;
  label.SetFallbackHandCursor();
  EXPECT_EQ(label.m_hCursor, nullptr);

  // A file that is no resource library fails the same way.
  const std::filesystem::path fake = m_machine.host(u"C:\\Windows\\winhlp32.exe");
  std::filesystem::create_directories(fake.parent_path());
  FILE* file = std::fopen(fake.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("not a program", file);
  std::fclose(file);
  label.SetFallbackHandCursor();
  EXPECT_EQ(label.m_hCursor, nullptr);
}

TEST_F(LabelTest, TheFallbackTakesACopyOfWinhlp32sHandCursor) {
  const std::filesystem::path target = m_machine.host(u"C:\\Windows\\winhlp32.exe");
  std::filesystem::create_directories(target.parent_path());
  std::filesystem::copy_file(winsim::testing::testProgramFolder() / "winhlp32stub.dll", target);
  HCURSOR cursor = nullptr;
  {
    CLabelEx label;
    label.SetFallbackHandCursor();
    cursor = label.m_hCursor;
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 7u);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    // The library is released again: the copy does not depend on it.
    EXPECT_EQ(GetModuleHandleW(u"winhlp32.exe"), nullptr);
    ASSERT_TRUE(label.SubclassDlgItem(kFirstLabel, &m_page));
    EXPECT_TRUE(label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.GetSafeHwnd()),
                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), cursor);
    label.UnsubclassWindow();
  }
}

TEST_F(LabelTest, TheFallbackKeepsACursorTheLabelHas) {
  CLabelEx label;
  const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  label.m_hCursor = hand;
  label.SetFallbackHandCursor();
  EXPECT_EQ(label.m_hCursor, hand);
}

}  // namespace
