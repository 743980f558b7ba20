// Block transfers: raster operations, stretching (nearest and halftone),
// mirroring, tiling and centring as the bitmap dialog draws its background,
// alpha blending.
#include <gtest/gtest.h>

#include <vector>

#include "gditesthelpers.h"
#include "win32/gdi.h"

using gditest::Canvas;

TEST(GdiBlit, EveryRasterOperationCombinesPatternSourceAndDestination) {
  COLORREF const p = RGB(0xF0, 0x0F, 0x55), s = RGB(0xCC, 0x33, 0xA5), d = RGB(0xAA, 0x66, 0x0F);
  auto rgb = [](DWORD v) { return v & 0xFFFFFF; };
  struct Case {
    const char* name;
    DWORD rop;
    COLORREF expected;
  } const cases[] = {
      {"SRCCOPY", SRCCOPY, s},
      {"SRCAND", SRCAND, s & d},
      {"SRCPAINT", SRCPAINT, s | d},
      {"SRCINVERT", SRCINVERT, s ^ d},
      {"SRCERASE", SRCERASE, rgb(s & ~d)},
      {"NOTSRCCOPY", NOTSRCCOPY, rgb(~s)},
      {"NOTSRCERASE", NOTSRCERASE, rgb(~(s | d))},
      {"MERGECOPY", MERGECOPY, p & s},
      {"MERGEPAINT", MERGEPAINT, rgb(~s | d)},
      {"PATCOPY", PATCOPY, p},
      {"PATPAINT", PATPAINT, rgb(p | ~s | d)},
      {"PATINVERT", PATINVERT, p ^ d},
      {"DSTINVERT", DSTINVERT, rgb(~d)},
      {"BLACKNESS", BLACKNESS, 0},
      {"WHITENESS", WHITENESS, 0xFFFFFF},
  };
  Canvas source(1, 1, s);
  for (const Case& c : cases) {
    Canvas target(1, 1, d);
    HBRUSH brush = CreateSolidBrush(p);
    HGDIOBJ old = SelectObject(target.dc(), brush);
    EXPECT_TRUE(BitBlt(target.dc(), 0, 0, 1, 1, source.dc(), 0, 0, c.rop)) << c.name;
    EXPECT_EQ(gditest::hex(target.at(0, 0)), gditest::hex(c.expected)) << c.name;
    SelectObject(target.dc(), old);
    DeleteObject(brush);
  }
  Canvas target(1, 1);
  EXPECT_FALSE(BitBlt(target.dc(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));  // needs a source
  EXPECT_TRUE(BitBlt(target.dc(), 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
}

TEST(GdiBlit, SrcCopyKeepsTheFourthByte) {
  Canvas source(1, 1), target(1, 1);
  source.setRaw(0, 0, 0x80102030);
  BitBlt(target.dc(), 0, 0, 1, 1, source.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(target.raw(0, 0), 0x80102030u);
  RECT r{0, 0, 1, 1};
  FillRect(target.dc(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(target.raw(0, 0), 0x00FFFFFFu);  // GDI drawing writes it as 0
}

TEST(GdiBlit, StretchNearestRepeatsAndSamplesPixelCentres) {
  Canvas source(4, 1);
  const COLORREF colors[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
  for (int x = 0; x < 4; ++x) SetPixel(source.dc(), x, 0, colors[x]);

  Canvas wide(8, 2);
  SetStretchBltMode(wide.dc(), COLORONCOLOR);
  ASSERT_TRUE(StretchBlt(wide.dc(), 0, 0, 8, 2, source.dc(), 0, 0, 4, 1, SRCCOPY));
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 2; ++y) EXPECT_COLOR(wide, x, y, colors[x / 2]);

  Canvas narrow(2, 1);
  SetStretchBltMode(narrow.dc(), COLORONCOLOR);
  StretchBlt(narrow.dc(), 0, 0, 2, 1, source.dc(), 0, 0, 4, 1, SRCCOPY);
  EXPECT_COLOR(narrow, 0, 0, colors[1]);
  EXPECT_COLOR(narrow, 1, 0, colors[3]);

  // A negative width mirrors; the rectangle covers the pixels of its
  // normalised form.
  Canvas mirrored(4, 1);
  StretchBlt(mirrored.dc(), 4, 0, -4, 1, source.dc(), 0, 0, 4, 1, SRCCOPY);
  for (int x = 0; x < 4; ++x) EXPECT_COLOR(mirrored, x, 0, colors[3 - x]);
}

TEST(GdiBlit, HalftoneAveragesWhenShrinkingAndInterpolatesWhenGrowing) {
  Canvas source(4, 1);
  const int greys[4] = {0, 100, 200, 255};
  for (int x = 0; x < 4; ++x) SetPixel(source.dc(), x, 0, RGB(greys[x], greys[x], greys[x]));
  Canvas half(2, 1);
  SetStretchBltMode(half.dc(), HALFTONE);
  StretchBlt(half.dc(), 0, 0, 2, 1, source.dc(), 0, 0, 4, 1, SRCCOPY);
  EXPECT_COLOR(half, 0, 0, RGB(50, 50, 50));
  EXPECT_COLOR(half, 1, 0, RGB(228, 228, 228));  // 227.5 rounds up

  Canvas twoPixels(2, 1);
  SetPixel(twoPixels.dc(), 0, 0, RGB(0, 0, 0));
  SetPixel(twoPixels.dc(), 1, 0, RGB(255, 255, 255));
  Canvas doubled(4, 1);
  SetStretchBltMode(doubled.dc(), HALFTONE);
  StretchBlt(doubled.dc(), 0, 0, 4, 1, twoPixels.dc(), 0, 0, 2, 1, SRCCOPY);
  const int expected[4] = {0, 64, 191, 255};
  for (int x = 0; x < 4; ++x) EXPECT_COLOR(doubled, x, 0, RGB(expected[x], expected[x], expected[x]));

  // The same stretch in COLORONCOLOR keeps hard edges.
  SetStretchBltMode(doubled.dc(), COLORONCOLOR);
  StretchBlt(doubled.dc(), 0, 0, 4, 1, twoPixels.dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_COLOR(doubled, 1, 0, RGB(0, 0, 0));
  EXPECT_COLOR(doubled, 2, 0, RGB(255, 255, 255));
}

namespace {

// A picture held as a bottom-up 24-bit DIB in memory, drawn as the bitmap
// dialog draws its background: StretchDIBits of the whole picture.
struct Picture {
  int width, height;
  BITMAPINFO info{};
  std::vector<std::uint8_t> bits;
  Picture(int w, int h) : width(w), height(h) {
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    bits.assign(stride() * static_cast<std::size_t>(h), 0);
  }
  std::size_t stride() const { return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4; }
  // Colour of picture pixel (x, y), y from the top: a position code.
  static COLORREF code(int x, int y) { return RGB(x, y, 77); }
  void fillWithCodes() {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        std::uint8_t* p = bits.data() + static_cast<std::size_t>(height - 1 - y) * stride() + 3 * x;
        COLORREF const c = code(x, y);
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
      }
  }
  void draw(HDC dc, int x, int y, int w, int h) const {
    StretchDIBits(dc, x, y, w, h, 0, 0, width, height, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  }
};

}  // namespace

TEST(GdiBlit, TilingAPictureClipsTheLastColumnAndRow) {
  Picture picture(100, 50);
  picture.fillWithCodes();
  Canvas client(250, 120, RGB(0, 0, 0));
  int copies = 0;
  for (int y = 0; y < client.height(); y += picture.height)
    for (int x = 0; x < client.width(); x += picture.width) {
      picture.draw(client.dc(), x, y, picture.width, picture.height);
      ++copies;
    }
  EXPECT_EQ(copies, 9);
  EXPECT_COLOR(client, 0, 0, Picture::code(0, 0));
  EXPECT_COLOR(client, 100, 50, Picture::code(0, 0));
  EXPECT_COLOR(client, 199, 99, Picture::code(99, 49));
  EXPECT_COLOR(client, 249, 119, Picture::code(49, 19));
}

TEST(GdiBlit, CentringALargerPictureShowsItsMiddle) {
  Picture picture(200, 150);
  picture.fillWithCodes();
  Canvas client(120, 100, RGB(0, 0, 0));
  int const x = (client.width() - picture.width) / 2, y = (client.height() - picture.height) / 2;
  EXPECT_EQ(x, -40);
  EXPECT_EQ(y, -25);
  picture.draw(client.dc(), x, y, picture.width, picture.height);
  EXPECT_COLOR(client, 0, 0, Picture::code(40, 25));
  EXPECT_COLOR(client, 119, 99, Picture::code(159, 124));
}

TEST(GdiBlit, StretchingAPictureToTheClientArea) {
  Picture picture(2, 2);
  picture.fillWithCodes();
  Canvas client(6, 4, RGB(0, 0, 0));
  SetStretchBltMode(client.dc(), COLORONCOLOR);
  picture.draw(client.dc(), 0, 0, client.width(), client.height());
  EXPECT_COLOR(client, 0, 0, Picture::code(0, 0));
  EXPECT_COLOR(client, 2, 1, Picture::code(0, 0));
  EXPECT_COLOR(client, 3, 1, Picture::code(1, 0));
  EXPECT_COLOR(client, 5, 3, Picture::code(1, 1));
  EXPECT_COLOR(client, 0, 2, Picture::code(0, 1));
}

TEST(GdiBlit, AlphaBlendWithConstantAlpha200RoundsToNearest) {
  Canvas source(4, 4, RGB(100, 0, 255));
  Canvas target(4, 4, RGB(200, 255, 0));
  BLENDFUNCTION const blend{AC_SRC_OVER, 0, 200, 0};
  ASSERT_TRUE(AlphaBlend(target.dc(), 0, 0, 2, 2, source.dc(), 0, 0, 4, 4, blend));
  // red: (100 * 200 + 200 * 55) / 255 = 121.57 -> 122; green: 255 * 55 / 255 = 55;
  // blue: 255 * 200 / 255 = 200.
  EXPECT_COLOR(target, 0, 0, RGB(122, 55, 200));
  EXPECT_COLOR(target, 1, 1, RGB(122, 55, 200));
  EXPECT_COLOR(target, 2, 2, RGB(200, 255, 0));

  struct Case {
    int s, d, a, expected;
  } const cases[] = {{255, 0, 200, 200}, {0, 255, 200, 55}, {1, 0, 128, 1},    {0, 1, 128, 0},
                     {77, 33, 255, 77},  {77, 33, 0, 33},   {128, 64, 100, 89}};
  for (const Case& c : cases) {
    Canvas s(1, 1, RGB(c.s, c.s, c.s)), d(1, 1, RGB(c.d, c.d, c.d));
    AlphaBlend(d.dc(), 0, 0, 1, 1, s.dc(), 0, 0, 1, 1, BLENDFUNCTION{AC_SRC_OVER, 0, BYTE(c.a), 0});
    EXPECT_EQ(GetRValue(d.at(0, 0)), c.expected) << c.s << " over " << c.d << " at " << c.a;
  }
  // The source rectangle must lie within the source.
  EXPECT_FALSE(AlphaBlend(target.dc(), 0, 0, 2, 2, source.dc(), 3, 3, 2, 2, blend));
  EXPECT_FALSE(AlphaBlend(target.dc(), 0, 0, -2, 2, source.dc(), 0, 0, 2, 2, blend));
}

TEST(GdiBlit, AlphaBlendWithPerPixelAlpha) {
  Canvas source(2, 1), target(2, 1, RGB(255, 255, 255));
  source.setRaw(0, 0, 0x80800000);  // premultiplied red at alpha 128
  source.setRaw(1, 0, 0x00000000);  // fully transparent
  AlphaBlend(target.dc(), 0, 0, 2, 1, source.dc(), 0, 0, 2, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
  EXPECT_COLOR(target, 0, 0, RGB(255, 127, 127));
  EXPECT_COLOR(target, 1, 0, RGB(255, 255, 255));
}

TEST(GdiBlit, OverlappingCopiesWithinOneBitmap) {
  Canvas canvas(5, 1);
  for (int x = 0; x < 4; ++x) SetPixel(canvas.dc(), x, 0, RGB(x * 10, 0, 0));
  BitBlt(canvas.dc(), 1, 0, 4, 1, canvas.dc(), 0, 0, SRCCOPY);
  const int expected[5] = {0, 0, 10, 20, 30};
  for (int x = 0; x < 5; ++x) EXPECT_COLOR(canvas, x, 0, RGB(expected[x], 0, 0));
}

TEST(GdiBlit, SourceOutsideItsBitmapLeavesTheDestination) {
  Canvas source(2, 2, RGB(1, 2, 3));
  Canvas target(4, 4, RGB(9, 9, 9));
  BitBlt(target.dc(), 0, 0, 4, 4, source.dc(), -1, -1, SRCCOPY);
  EXPECT_COLOR(target, 0, 0, RGB(9, 9, 9));
  EXPECT_COLOR(target, 1, 1, RGB(1, 2, 3));
  EXPECT_COLOR(target, 2, 2, RGB(1, 2, 3));
  EXPECT_COLOR(target, 3, 3, RGB(9, 9, 9));
}
