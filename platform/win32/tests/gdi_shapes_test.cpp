// Lines, rectangles, frames, edges, focus rectangles and pattern brushes.
#include <gtest/gtest.h>

#include "gditesthelpers.h"
#include "win32/gdi.h"

using gditest::Canvas;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

}  // namespace

TEST(GdiShapes, LineToLeavesOutItsEndPoint) {
  struct Case {
    POINT from, to;
    int pixels;
  } const cases[] = {
      {{1, 1}, {6, 1}, 5},  // horizontal
      {{2, 7}, {2, 3}, 4},  // vertical, upwards
      {{0, 0}, {4, 4}, 4},  // diagonal
      {{0, 0}, {6, 2}, 6},  // shallow: one pixel per column
      {{3, 3}, {3, 3}, 0},  // a point draws nothing
  };
  for (const Case& c : cases) {
    Canvas canvas(10, 10);
    POINT previous{};
    MoveToEx(canvas.dc(), c.from.x, c.from.y, &previous);
    LineTo(canvas.dc(), c.to.x, c.to.y);
    EXPECT_EQ(canvas.count(kBlack), c.pixels);
    if (c.pixels > 0) {
      EXPECT_COLOR(canvas, c.from.x, c.from.y, kBlack);
      EXPECT_COLOR(canvas, c.to.x, c.to.y, kWhite);
    }
    // The current position moved to the end point.
    MoveToEx(canvas.dc(), 0, 0, &previous);
    EXPECT_EQ(previous.x, c.to.x);
    EXPECT_EQ(previous.y, c.to.y);
  }
}

TEST(GdiShapes, LinesUseThePensColourAndWidth) {
  Canvas canvas(10, 10);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
  HGDIOBJ old = SelectObject(canvas.dc(), pen);
  MoveToEx(canvas.dc(), 1, 1, nullptr);
  LineTo(canvas.dc(), 1, 5);
  LineTo(canvas.dc(), 5, 5);  // joined lines: the corner is drawn once
  EXPECT_EQ(canvas.count(RGB(0, 0, 255)), 8);
  EXPECT_COLOR(canvas, 1, 5, RGB(0, 0, 255));
  SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
  LineTo(canvas.dc(), 9, 9);
  EXPECT_EQ(canvas.count(RGB(0, 0, 255)), 8);
  SelectObject(canvas.dc(), old);
  DeleteObject(pen);

  HPEN wide = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
  SelectObject(canvas.dc(), wide);
  MoveToEx(canvas.dc(), 2, 8, nullptr);
  LineTo(canvas.dc(), 6, 8);
  // Three-pixel dots at x = 2 ... 5 cover columns 1 ... 6.
  EXPECT_EQ(canvas.count(RGB(255, 0, 0)), 6 * 3);
  EXPECT_COLOR(canvas, 2, 7, RGB(255, 0, 0));
  EXPECT_COLOR(canvas, 2, 9, RGB(255, 0, 0));
  SelectObject(canvas.dc(), old);
  DeleteObject(wide);
}

TEST(GdiShapes, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
  Canvas canvas(10, 10);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(canvas.dc(), red);
  Rectangle(canvas.dc(), 2, 2, 7, 6);
  // Outline on the rectangle's own pixels, right and bottom exclusive.
  EXPECT_COLOR(canvas, 2, 2, kBlack);
  EXPECT_COLOR(canvas, 6, 5, kBlack);
  EXPECT_COLOR(canvas, 7, 5, kWhite);
  EXPECT_COLOR(canvas, 6, 6, kWhite);
  EXPECT_COLOR(canvas, 3, 3, RGB(255, 0, 0));
  EXPECT_EQ(canvas.count(kBlack), 2 * 5 + 2 * 2);
  EXPECT_EQ(canvas.count(RGB(255, 0, 0)), 3 * 2);

  // Without a pen the filled area is one pixel smaller each way.
  canvas.fill(kWhite);
  SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
  Rectangle(canvas.dc(), 2, 2, 7, 6);
  EXPECT_EQ(canvas.count(RGB(255, 0, 0)), 4 * 3);
  EXPECT_COLOR(canvas, 5, 4, RGB(255, 0, 0));
  EXPECT_COLOR(canvas, 6, 4, kWhite);

  // A hollow brush leaves the inside alone.
  canvas.fill(RGB(0, 255, 0));
  SelectObject(canvas.dc(), GetStockObject(BLACK_PEN));
  SelectObject(canvas.dc(), GetStockObject(HOLLOW_BRUSH));
  Rectangle(canvas.dc(), 0, 0, 10, 10);
  EXPECT_COLOR(canvas, 5, 5, RGB(0, 255, 0));
  EXPECT_COLOR(canvas, 9, 9, kBlack);
  SelectObject(canvas.dc(), old);
  DeleteObject(red);
}

TEST(GdiShapes, FillRectAndFrameRectExcludeRightAndBottom) {
  Canvas canvas(8, 8);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  RECT r{1, 1, 5, 4};
  EXPECT_EQ(FillRect(canvas.dc(), &r, blue), 1);
  EXPECT_EQ(canvas.count(RGB(0, 0, 255)), 12);
  RECT inverted{5, 1, 1, 4};
  FillRect(canvas.dc(), &inverted, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(canvas.count(kBlack), 0);

  canvas.fill(kWhite);
  RECT f{1, 1, 6, 5};
  FrameRect(canvas.dc(), &f, blue);
  EXPECT_EQ(canvas.count(RGB(0, 0, 255)), 2 * 5 + 2 * 2);
  EXPECT_COLOR(canvas, 5, 4, RGB(0, 0, 255));
  EXPECT_COLOR(canvas, 2, 2, kWhite);
  DeleteObject(blue);
}

TEST(GdiShapes, PatternBrushesTileFromTheBrushOrigin) {
  // A 2 x 2 checker of red and blue.
  Canvas tile(2, 2);
  SetPixel(tile.dc(), 0, 0, RGB(255, 0, 0));
  SetPixel(tile.dc(), 1, 1, RGB(255, 0, 0));
  SetPixel(tile.dc(), 1, 0, RGB(0, 0, 255));
  SetPixel(tile.dc(), 0, 1, RGB(0, 0, 255));
  HBRUSH brush = CreatePatternBrush(tile.bitmap());
  ASSERT_NE(brush, nullptr);
  LOGBRUSH info{};
  GetObjectW(brush, sizeof info, &info);
  EXPECT_EQ(info.lbStyle, BS_PATTERN);

  Canvas canvas(6, 3);
  RECT r{1, 0, 6, 3};
  FillRect(canvas.dc(), &r, brush);
  // The pattern stays anchored to the brush origin, not to the rectangle.
  EXPECT_COLOR(canvas, 1, 0, RGB(0, 0, 255));
  EXPECT_COLOR(canvas, 2, 0, RGB(255, 0, 0));
  EXPECT_COLOR(canvas, 2, 1, RGB(0, 0, 255));
  EXPECT_COLOR(canvas, 0, 0, kWhite);

  SetBrushOrgEx(canvas.dc(), 1, 0, nullptr);
  FillRect(canvas.dc(), &r, brush);
  EXPECT_COLOR(canvas, 1, 0, RGB(255, 0, 0));
  EXPECT_COLOR(canvas, 5, 2, RGB(255, 0, 0));
  EXPECT_COLOR(canvas, 4, 2, RGB(0, 0, 255));
  DeleteObject(brush);

  // A monochrome pattern paints in the text and background colours.
  const std::uint8_t bits[4] = {0x80, 0, 0x40, 0};  // 2 x 2: white at (0, 0) and (1, 1)
  HBITMAP mono = CreateBitmap(2, 2, 1, 1, bits);
  HBRUSH monoBrush = CreatePatternBrush(mono);
  DeleteObject(mono);  // the brush keeps its own copy
  SetBrushOrgEx(canvas.dc(), 0, 0, nullptr);
  SetTextColor(canvas.dc(), RGB(1, 2, 3));
  SetBkColor(canvas.dc(), RGB(200, 200, 0));
  RECT all{0, 0, 6, 3};
  FillRect(canvas.dc(), &all, monoBrush);
  EXPECT_COLOR(canvas, 0, 0, RGB(200, 200, 0));
  EXPECT_COLOR(canvas, 1, 0, RGB(1, 2, 3));
  EXPECT_COLOR(canvas, 3, 1, RGB(200, 200, 0));
  DeleteObject(monoBrush);
}

TEST(GdiShapes, PatternFillOfAProgressBarRemainder) {
  // The progress bar fills the rest of its client area with a pattern from a
  // bitmap through a paint buffer whose window origin is the clip corner.
  Canvas tile(3, 1);
  SetPixel(tile.dc(), 0, 0, RGB(10, 10, 10));
  SetPixel(tile.dc(), 1, 0, RGB(20, 20, 20));
  SetPixel(tile.dc(), 2, 0, RGB(30, 30, 30));
  HBRUSH brush = CreatePatternBrush(tile.bitmap());
  Canvas buffer(12, 2, RGB(58, 58, 58));
  RECT rest{5, 0, 12, 2};
  FillRect(buffer.dc(), &rest, brush);
  EXPECT_COLOR(buffer, 4, 0, RGB(58, 58, 58));
  for (int x = 5; x < 12; ++x) EXPECT_COLOR(buffer, x, 1, RGB((x % 3 + 1) * 10, (x % 3 + 1) * 10, (x % 3 + 1) * 10));
  DeleteObject(brush);
}

TEST(GdiShapes, DrawEdgeUsesTheThreeDColours) {
  COLORREF const light = GetSysColor(COLOR_3DLIGHT), dark = GetSysColor(COLOR_3DDKSHADOW);
  COLORREF const highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  Canvas canvas(10, 8, RGB(1, 1, 1));
  RECT r{0, 0, 10, 8};
  ASSERT_TRUE(DrawEdge(canvas.dc(), &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST));
  EXPECT_COLOR(canvas, 0, 0, light);
  EXPECT_COLOR(canvas, 8, 0, light);
  EXPECT_COLOR(canvas, 9, 0, dark);  // the bottom-right colour owns the shared corners
  EXPECT_COLOR(canvas, 0, 7, dark);
  EXPECT_COLOR(canvas, 9, 7, dark);
  EXPECT_COLOR(canvas, 1, 1, highlight);
  EXPECT_COLOR(canvas, 8, 6, shadow);
  EXPECT_COLOR(canvas, 5, 4, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(r.left, 2);
  EXPECT_EQ(r.top, 2);
  EXPECT_EQ(r.right, 8);
  EXPECT_EQ(r.bottom, 6);

  struct Case {
    UINT edge;
    COLORREF outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
  } const cases[] = {
      {EDGE_SUNKEN, shadow, highlight, dark, light},
      {EDGE_ETCHED, shadow, highlight, highlight, shadow},
      {EDGE_BUMP, light, dark, dark, light},
  };
  for (const Case& c : cases) {
    canvas.fill(RGB(1, 1, 1));
    RECT e{0, 0, 10, 8};
    DrawEdge(canvas.dc(), &e, c.edge, BF_RECT);
    EXPECT_COLOR(canvas, 3, 0, c.outerTopLeft);
    EXPECT_COLOR(canvas, 3, 7, c.outerBottomRight);
    EXPECT_COLOR(canvas, 3, 1, c.innerTopLeft);
    EXPECT_COLOR(canvas, 3, 6, c.innerBottomRight);
    EXPECT_COLOR(canvas, 4, 4, RGB(1, 1, 1));
  }
  // Only the sides asked for.
  canvas.fill(RGB(1, 1, 1));
  RECT e{0, 0, 10, 8};
  DrawEdge(canvas.dc(), &e, BDR_RAISEDOUTER, BF_BOTTOM);
  EXPECT_COLOR(canvas, 0, 0, RGB(1, 1, 1));
  EXPECT_COLOR(canvas, 4, 7, dark);
}

TEST(GdiShapes, DrawFocusRectInvertsEveryOtherPixelAndUndoesItself) {
  Canvas canvas(8, 6, RGB(0, 0, 0));
  RECT r{1, 1, 7, 5};
  DrawFocusRect(canvas.dc(), &r);
  EXPECT_COLOR(canvas, 1, 1, kWhite);
  EXPECT_COLOR(canvas, 2, 1, kBlack);
  EXPECT_COLOR(canvas, 3, 1, kWhite);
  EXPECT_COLOR(canvas, 6, 4, kWhite);
  EXPECT_COLOR(canvas, 3, 3, kBlack);  // inside stays
  int const inverted = canvas.count(kWhite);
  EXPECT_EQ(inverted, 8);  // 16 frame pixels, every other one
  DrawFocusRect(canvas.dc(), &r);
  EXPECT_EQ(canvas.count(kWhite), 0);
}
