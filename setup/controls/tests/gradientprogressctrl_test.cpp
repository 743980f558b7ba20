// The copy-files page's progress bar: gradient bands over the done part, the
// pattern of bitmap 181 over the rest, the caption over both from x = 30;
// a plain button-face bar at either end of the range; and the off-screen
// surface's colour where the pattern is missing.
#include "gradientprogressctrl.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "controltesting.h"
#include "memdc3.h"
#include "testing/tempmachine.h"
#include "winsim/windowing.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 20;

class GradientProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::filesystem::path target = m_machine.host(u"C:\\Setup\\IntallerRes.dll");
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(winsim::testing::testProgramFolder() / "IntallerRes.dll", target);
    m_resources = LoadLibraryExW(u"C:\\Setup\\IntallerRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m_resources, nullptr);
    m_saved = AfxGetResourceHandle();
    AfxSetResourceHandle(m_resources);
    ASSERT_TRUE(m_parent.CreateEx(0, nullptr, u"Page", WS_POPUP | WS_VISIBLE, 0, 0, 420, 60, nullptr, nullptr));
    ASSERT_TRUE(m_bar.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 10 + kWidth, 10 + kHeight), &m_parent, 1013));
  }
  void TearDown() override {
    m_bar.DestroyWindow();
    m_parent.DestroyWindow();
    AfxSetResourceHandle(m_saved);
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    FreeLibrary(m_resources);
  }
  std::shared_ptr<winsim::Surface> shown() {
    m_bar.Invalidate();
    m_bar.UpdateWindow();
    auto picture = winsim::captureWindow(m_bar.GetSafeHwnd());
    if (!picture) {
      ADD_FAILURE() << "no picture of the bar";
      return nullptr;
    }
    return picture.value();
  }
  static COLORREF at(const winsim::Surface& picture, int x, int y) {
    return winsim::colorFromPixel(picture.pixel(x, y) & 0xFFFFFF);
  }

  winsim::testing::TempMachine m_machine;
  HMODULE m_resources = nullptr;
  HINSTANCE m_saved = nullptr;
  CWnd m_parent;
  CGradientProgressCtrl m_bar;
};

TEST_F(GradientProgressTest, TheFieldsStartAsThePageExpects) {
  const CGradientProgressCtrl bar;
  EXPECT_EQ(bar.m_nLower, 0);
  EXPECT_EQ(bar.m_nUpper, 100);
  EXPECT_EQ(bar.m_nStep, 10);
  EXPECT_EQ(bar.m_nPos, 0);
  EXPECT_EQ(bar.m_clrStart, RGB(7, 85, 49));
  EXPECT_EQ(bar.m_clrEnd, RGB(72, 211, 29));
  EXPECT_EQ(bar.m_clrText, RGB(255, 255, 255));
  EXPECT_TRUE(bar.m_bShowText);
}

TEST_F(GradientProgressTest, RangeAndPositionReachTheProgressWindow) {
  m_bar.SetRange(0, 8);
  m_bar.SetPos(3);
  EXPECT_EQ(m_bar.m_nUpper, 8);
  EXPECT_EQ(m_bar.m_nPos, 3);
  int lower = -1, upper = -1;
  m_bar.GetRange(lower, upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 8);
  EXPECT_EQ(m_bar.GetPos(), 3);
}

TEST_F(GradientProgressTest, OneOfEightShowsFiftyPixelsOfBandsAndThePatternBehind) {
  m_bar.m_bShowText = FALSE;
  m_bar.SetRange(0, 8);
  m_bar.SetPos(1);
  auto picture = shown();
  ASSERT_TRUE(picture);
  // 126 bands of about 0.4 pixel: each pixel shows the last band that
  // starts on it.
  struct Case {
    int x;
    COLORREF color;
  } const kBands[] = {
      {0, RGB(8, 87, 48)},     // band 2 (bands 0 and 1 are empty)
      {10, RGB(20, 112, 44)},  // band 27
      {49, RGB(71, 210, 29)},  // band 125, the last: nearly the end colour
  };
  for (const Case& c : kBands)
    for (int y : {0, kHeight / 2, kHeight - 1})
      EXPECT_EQ(controltesting::hex(at(*picture, c.x, y)), controltesting::hex(c.color)) << "at " << c.x << "," << y;

  // From x = 50 on, bitmap 181 repeated.
  CBitmap pattern;
  ASSERT_TRUE(pattern.LoadBitmap(CGradientProgressCtrl::kPatternBitmapId));
  BITMAP info{};
  pattern.GetBitmap(&info);
  CDC patternDC;
  patternDC.CreateCompatibleDC(nullptr);
  CBitmap* old = patternDC.SelectObject(&pattern);
  int mismatches = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 50; x < kWidth; ++x)
      mismatches += at(*picture, x, y) != patternDC.GetPixel(x % info.bmWidth, y % info.bmHeight);
  patternDC.SelectObject(old);
  EXPECT_EQ(mismatches, 0);
}

TEST_F(GradientProgressTest, TheCaptionIsDrawnFromThirtyPixels) {
  m_bar.SetRange(0, 8);
  m_bar.SetPos(4);
  m_bar.m_bShowText = FALSE;
  auto plain = shown();
  m_bar.m_bShowText = TRUE;
  auto captioned = shown();
  ASSERT_TRUE(plain && captioned);
  int changed = 0, changedLeftOf30 = 0, white = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      if (at(*plain, x, y) == at(*captioned, x, y)) continue;
      ++changed;
      changedLeftOf30 += x < CGradientProgressCtrl::kCaptionLeft;
      white += at(*captioned, x, y) == RGB(255, 255, 255);
    }
  EXPECT_GT(changed, 100);
  EXPECT_EQ(changedLeftOf30, 0);
  EXPECT_GT(white, 10);
  if (const char* folder = std::getenv("WINSIM_SHOTS"))
    (void)winsim::writeWindowPng(m_parent.GetSafeHwnd(), std::filesystem::path(folder) / "progress.png");
}

TEST_F(GradientProgressTest, AtEitherEndTheBarIsPlainButtonFace) {
  m_bar.SetRange(0, 8);
  for (int position : {0, 8, 9, -1}) {
    m_bar.SetPos(position);
    auto picture = shown();
    ASSERT_TRUE(picture);
    int other = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) other += at(*picture, x, y) != GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(other, 0) << "position " << position;
  }
}

TEST_F(GradientProgressTest, WithoutThePatternTheRestShowsTheSurfacesColourAndTheCaptionFallsBack) {
  // A resource library without bitmap 181 and texts 2036, 2037.
  AfxSetResourceHandle(nullptr);
  m_bar.SetRange(0, 8);
  m_bar.SetPos(4);
  m_bar.m_bShowText = FALSE;
  auto plain = shown();
  ASSERT_TRUE(plain);
  EXPECT_EQ(at(*plain, 300, 3), CMemDC3::kInitialColor);
  m_bar.m_bShowText = TRUE;
  auto captioned = shown();
  ASSERT_TRUE(captioned);
  int white = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) white += at(*captioned, x, y) == RGB(255, 255, 255);
  EXPECT_GT(white, 10);  // the fallback caption
}

}  // namespace
