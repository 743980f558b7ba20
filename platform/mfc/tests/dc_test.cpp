// CDC's drawing, checked pixel by pixel in memory contexts: compatible
// bitmaps, stretching, pattern brushes, text colours and modes, frames and
// lines, window origins and icons drawn through their masks.
#include <gtest/gtest.h>

#include "afxgdi.h"
#include "afxwin.h"
#include "gditesting.h"
#include "testimages.h"

using gditesting::Canvas;
using gditesting::ImageLibrary;

namespace {

constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

int count(Canvas& canvas, RECT area, COLORREF color) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) n += canvas.at(x, y) == color;
  return n;
}

}  // namespace

using DcDrawing = ImageLibrary;

TEST_F(DcDrawing, AMemoryContextDrawsIntoItsCompatibleBitmap) {
  CDC screen;
  ASSERT_TRUE(screen.Attach(::GetDC(nullptr)));
  CDC memory;
  ASSERT_TRUE(memory.CreateCompatibleDC(&screen));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 20, 10));
  BITMAP info{};
  ASSERT_EQ(bitmap.GetBitmap(&info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 20);
  EXPECT_EQ(info.bmBitsPixel, 32);

  CBitmap* old = memory.SelectObject(&bitmap);
  ASSERT_NE(old, nullptr);
  memory.FillSolidRect(0, 0, 20, 10, kYellow);
  memory.FillSolidRect(CRect(5, 2, 8, 4), kBlue);
  EXPECT_EQ(memory.GetPixel(4, 2), kYellow);
  EXPECT_EQ(memory.GetPixel(5, 2), kBlue);
  EXPECT_EQ(memory.GetPixel(7, 3), kBlue);
  EXPECT_EQ(memory.GetPixel(8, 3), kYellow);
  // As on the platform, filling with a colour leaves it the background colour.
  EXPECT_EQ(memory.GetBkColor(), kBlue);
  // Compatible with a memory context that holds only its first bitmap means
  // monochrome.
  CDC fresh;
  ASSERT_TRUE(fresh.CreateCompatibleDC(&screen));
  CBitmap mono;
  ASSERT_TRUE(mono.CreateCompatibleBitmap(&fresh, 4, 4));
  ASSERT_EQ(mono.GetBitmap(&info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmBitsPixel, 1);

  memory.SelectObject(old);
  ::ReleaseDC(nullptr, screen.Detach());
}

TEST_F(DcDrawing, StretchBltScalesAResourceBitmap) {
  // bars: 6 x 4, white top row, then two columns each of red, green, blue.
  CBitmap bars;
  ASSERT_TRUE(bars.LoadBitmap(IDB_BARS)) << GetLastError();
  CDC source;
  ASSERT_TRUE(source.CreateCompatibleDC(nullptr));
  CBitmap* old = source.SelectObject(&bars);

  Canvas canvas(20, 12, kYellow);
  EXPECT_EQ(canvas.dc().SetStretchBltMode(COLORONCOLOR), BLACKONWHITE);
  EXPECT_EQ(canvas.dc().GetStretchBltMode(), COLORONCOLOR);
  ASSERT_TRUE(canvas.dc().StretchBlt(2, 2, 12, 8, &source, 0, 0, 6, 4, SRCCOPY));
  EXPECT_PIXEL(canvas, 1, 1, kYellow);
  EXPECT_PIXEL(canvas, 2, 2, kWhite);
  EXPECT_PIXEL(canvas, 13, 3, kWhite);
  EXPECT_PIXEL(canvas, 2, 4, kRed);
  EXPECT_PIXEL(canvas, 5, 9, kRed);
  EXPECT_PIXEL(canvas, 6, 9, kGreen);
  EXPECT_PIXEL(canvas, 13, 9, kBlue);
  EXPECT_PIXEL(canvas, 14, 9, kYellow);
  EXPECT_PIXEL(canvas, 13, 10, kYellow);

  ASSERT_TRUE(canvas.dc().BitBlt(16, 0, 6, 4, &source, 0, 0, SRCCOPY));
  EXPECT_PIXEL(canvas, 16, 1, kRed);
  EXPECT_PIXEL(canvas, 19, 1, kGreen);
  source.SelectObject(old);
}

TEST_F(DcDrawing, APatternBrushTilesItsBitmap) {
  // quads: 8 x 8, red and green quadrants on top, blue and white below.
  CBitmap quads;
  ASSERT_TRUE(quads.LoadBitmap(IDB_QUADS));
  CBrush pattern(&quads);
  ASSERT_NE(pattern.m_hObject, nullptr);
  LOGBRUSH logBrush{};
  ASSERT_EQ(pattern.GetLogBrush(&logBrush), static_cast<int>(sizeof logBrush));
  EXPECT_EQ(logBrush.lbStyle, BS_PATTERN);

  Canvas canvas(24, 24, kYellow);
  canvas.dc().FillRect(CRect(0, 0, 16, 16), &pattern);
  const struct {
    int x, y;
    COLORREF color;
  } kExpected[] = {
      {0, 0, kRed},    {5, 1, kGreen}, {1, 5, kBlue},    {6, 6, kWhite},   {8, 0, kRed},
      {12, 3, kGreen}, {9, 13, kBlue}, {15, 15, kWhite}, {16, 0, kYellow}, {0, 16, kYellow},
  };
  for (const auto& e : kExpected) EXPECT_PIXEL(canvas, e.x, e.y, e.color);
}

TEST_F(DcDrawing, TextTakesTheTextColourAndTheBackgroundMode) {
  CFont font;
  ASSERT_TRUE(font.CreateFont(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Arial"));
  Canvas canvas(60, 30, kYellow);
  CDC& dc = canvas.dc();
  CFont* oldFont = dc.SelectObject(&font);
  ASSERT_NE(oldFont, nullptr);
  EXPECT_EQ(dc.GetCurrentFont(), &font);

  dc.SetTextColor(kBlue);
  dc.SetBkColor(kRed);
  EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
  CSize const extent = dc.GetTextExtent(CString(u"HH"));
  EXPECT_GT(extent.cx, 10);
  EXPECT_GT(extent.cy, 15);
  ASSERT_TRUE(dc.TextOut(2, 2, CString(u"HH")));
  RECT const cell{2, 2, 2 + extent.cx, 2 + extent.cy};
  EXPECT_GT(count(canvas, cell, kBlue), 20);
  EXPECT_EQ(count(canvas, cell, kRed), 0);  // transparent: no background behind the glyphs

  dc.SetBkMode(OPAQUE);
  ASSERT_TRUE(dc.TextOut(2, 2, u"HH", 2));
  EXPECT_GT(count(canvas, cell, kRed), 20);

  TEXTMETRICW metrics{};
  ASSERT_TRUE(dc.GetTextMetrics(&metrics));
  EXPECT_EQ(metrics.tmHeight, extent.cy);
  dc.SelectObject(oldFont);
}

TEST_F(DcDrawing, DrawTextKeepsToItsRectangle) {
  Canvas canvas(80, 30, kWhite);
  CDC& dc = canvas.dc();
  dc.SelectStockObject(DEFAULT_GUI_FONT);
  dc.SetTextColor(kBlack);
  dc.SetBkMode(TRANSPARENT);
  CRect rect(20, 5, 60, 25);
  int const height = dc.DrawText(CString(u"Wide text that runs on"), rect, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  EXPECT_GT(height, 0);
  EXPECT_GT(count(canvas, RECT{20, 5, 60, 25}, kBlack), 0);
  EXPECT_EQ(count(canvas, RECT{0, 0, 20, 30}, kBlack), 0);
  EXPECT_EQ(count(canvas, RECT{60, 0, 80, 30}, kBlack), 0);

  // DT_CALCRECT measures without drawing.
  CRect measured(0, 0, 0, 0);
  Canvas blank(80, 30, kWhite);
  blank.dc().SelectStockObject(DEFAULT_GUI_FONT);
  blank.dc().DrawText(u"abc", -1, measured, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_GT(measured.Width(), 0);
  EXPECT_EQ(count(blank, RECT{0, 0, 80, 30}, kBlack), 0);
}

TEST_F(DcDrawing, FramesRectanglesAndLines) {
  Canvas canvas(20, 20, kWhite);
  CDC& dc = canvas.dc();
  dc.Draw3dRect(CRect(2, 2, 8, 6), kRed, kBlue);
  EXPECT_PIXEL(canvas, 2, 2, kRed);
  EXPECT_PIXEL(canvas, 6, 2, kRed);
  EXPECT_PIXEL(canvas, 7, 2, kBlue);  // the top-right corner is the bottom-right colour's
  EXPECT_PIXEL(canvas, 2, 4, kRed);
  EXPECT_PIXEL(canvas, 2, 5, kBlue);
  EXPECT_PIXEL(canvas, 7, 5, kBlue);
  EXPECT_PIXEL(canvas, 3, 3, kWhite);

  CPen pen(PS_SOLID, 1, kGreen);
  CBrush fill(kYellow);
  CPen* oldPen = dc.SelectObject(&pen);
  CBrush* oldBrush = dc.SelectObject(&fill);
  ASSERT_TRUE(dc.Rectangle(CRect(10, 10, 15, 14)));
  EXPECT_PIXEL(canvas, 10, 10, kGreen);
  EXPECT_PIXEL(canvas, 14, 13, kGreen);
  EXPECT_PIXEL(canvas, 12, 12, kYellow);
  EXPECT_PIXEL(canvas, 15, 14, kWhite);

  dc.MoveTo(0, 18);
  EXPECT_EQ(dc.MoveTo(CPoint(1, 18)), CPoint(0, 18));
  ASSERT_TRUE(dc.LineTo(6, 18));
  EXPECT_PIXEL(canvas, 1, 18, kGreen);
  EXPECT_PIXEL(canvas, 5, 18, kGreen);
  EXPECT_PIXEL(canvas, 6, 18, kWhite);  // the end point is left out
  EXPECT_PIXEL(canvas, 0, 18, kWhite);

  CBrush frame(kBlack);
  dc.FrameRect(CRect(16, 0, 20, 4), &frame);
  EXPECT_PIXEL(canvas, 16, 0, kBlack);
  EXPECT_PIXEL(canvas, 19, 3, kBlack);
  EXPECT_PIXEL(canvas, 17, 1, kWhite);

  dc.SelectObject(oldPen);
  dc.SelectObject(oldBrush);
}

TEST_F(DcDrawing, TheWindowOriginMovesDrawingAndTheClipBox) {
  // As the progress bar's off-screen surface uses it: a bitmap of the clip
  // box's size, its origin at the clip box's corner.
  Canvas canvas(10, 6, kWhite);
  CDC& dc = canvas.dc();
  CRect clip;
  EXPECT_EQ(dc.GetClipBox(clip), SIMPLEREGION);
  EXPECT_EQ(clip, CRect(0, 0, 10, 6));
  EXPECT_EQ(dc.SetWindowOrg(100, 50), CPoint(0, 0));
  EXPECT_EQ(dc.GetWindowOrg(), CPoint(100, 50));
  EXPECT_EQ(dc.GetClipBox(clip), SIMPLEREGION);
  EXPECT_EQ(clip, CRect(100, 50, 110, 56));
  dc.FillSolidRect(101, 51, 2, 1, kRed);
  dc.SetWindowOrg(CPoint(0, 0));
  EXPECT_PIXEL(canvas, 1, 1, kRed);
  EXPECT_PIXEL(canvas, 2, 1, kRed);
  EXPECT_PIXEL(canvas, 3, 1, kWhite);
  EXPECT_FALSE(dc.IsPrinting());
  EXPECT_EQ(dc.GetDeviceCaps(BITSPIXEL), 32);
}

TEST_F(DcDrawing, IconsDrawThroughTheirMasks) {
  // The 32 x 32 image: blue, its top-left 8 x 8 transparent.
  auto icon = static_cast<HICON>(LoadImageW(m_module, MAKEINTRESOURCEW(IDI_TWOSIZES), IMAGE_ICON, 32, 32, 0));
  ASSERT_NE(icon, nullptr);
  Canvas canvas(80, 40, kYellow);
  CDC& dc = canvas.dc();
  ASSERT_TRUE(dc.DrawIcon(CPoint(0, 0), icon));
  EXPECT_PIXEL(canvas, 7, 7, kYellow);
  EXPECT_PIXEL(canvas, 8, 7, kBlue);
  EXPECT_PIXEL(canvas, 31, 31, kBlue);
  EXPECT_PIXEL(canvas, 32, 31, kYellow);

  // The state-drawing call as the icon buttons use it: normal is the icon,
  // disabled the embossed shape, never the icon's own colour.
  ASSERT_TRUE(dc.DrawState(CPoint(40, 0), CSize(32, 32), icon, DSS_NORMAL, static_cast<CBrush*>(nullptr)));
  EXPECT_PIXEL(canvas, 47, 7, kYellow);
  EXPECT_PIXEL(canvas, 50, 20, kBlue);
  canvas.dc().FillSolidRect(40, 0, 40, 40, kYellow);
  ASSERT_TRUE(dc.DrawState(CPoint(40, 0), CSize(32, 32), icon, DSS_DISABLED));
  EXPECT_PIXEL(canvas, 47, 7, kYellow);
  EXPECT_EQ(count(canvas, RECT{40, 0, 80, 40}, kBlue), 0);
  EXPECT_GT(count(canvas, RECT{40, 0, 80, 40}, GetSysColor(COLOR_BTNSHADOW)), 100);
  DestroyIcon(icon);
}
