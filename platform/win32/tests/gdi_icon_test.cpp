// Icons: AND and XOR masks, 32-bit alpha icons, icon information, and
// DrawStateW's normal, disabled and mono looks.
#include <gtest/gtest.h>

#include <vector>

#include "gditesthelpers.h"
#include "win32/errors.h"
#include "win32/gdi.h"

using gditest::Canvas;

namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

// A 4 x 4 monochrome mask from row strings: 'X' opaque (0 bit), '.' transparent (1 bit).
HBITMAP maskBitmap(const std::vector<const char*>& rows) {
  std::vector<std::uint8_t> bits(rows.size() * 2, 0);
  for (std::size_t y = 0; y < rows.size(); ++y)
    for (int x = 0; rows[y][x] != 0; ++x)
      if (rows[y][x] == '.') bits[y * 2] |= static_cast<std::uint8_t>(0x80 >> x);
  return CreateBitmap(4, static_cast<int>(rows.size()), 1, 1, bits.data());
}

// A 32-bit DIB section with the given raw pixels, top-down.
HBITMAP colorBitmap(int width, int height, const std::vector<std::uint32_t>& pixels) {
  BITMAPINFO info = gditest::info32(width, -height);
  std::uint32_t* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  std::copy(pixels.begin(), pixels.end(), bits);
  return bitmap;
}

HICON makeIcon(HBITMAP mask, HBITMAP color) {
  ICONINFO info{TRUE, 0, 0, mask, color};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  if (color != nullptr) DeleteObject(color);
  return icon;
}

}  // namespace

TEST(GdiIcon, TheAndMaskKeepsTheBackgroundAndTheColourIsXored) {
  // Left half transparent, with one pixel that inverts blue; right half red.
  HBITMAP mask = maskBitmap({"..XX", "..XX", "..XX", "..XX"});
  std::vector<std::uint32_t> pixels(16, 0);
  for (int y = 0; y < 4; ++y) pixels[y * 4 + 2] = pixels[y * 4 + 3] = 0x00FF0000;
  pixels[1 * 4 + 0] = 0x000000FF;
  HICON icon = makeIcon(mask, colorBitmap(4, 4, pixels));
  ASSERT_NE(icon, nullptr);

  Canvas canvas(6, 6, kGreen);
  ASSERT_TRUE(DrawIconEx(canvas.dc(), 1, 1, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_COLOR(canvas, 1, 1, kGreen);
  EXPECT_COLOR(canvas, 1, 2, RGB(0, 255, 255));  // green XOR blue
  EXPECT_COLOR(canvas, 3, 1, kRed);
  EXPECT_COLOR(canvas, 4, 4, kRed);
  EXPECT_COLOR(canvas, 5, 5, kGreen);
  EXPECT_COLOR(canvas, 0, 0, kGreen);

  // Mask alone and image alone.
  canvas.fill(kGreen);
  DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_MASK);
  EXPECT_COLOR(canvas, 0, 0, RGB(255, 255, 255));
  EXPECT_COLOR(canvas, 2, 0, RGB(0, 0, 0));
  DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_IMAGE);
  EXPECT_COLOR(canvas, 0, 0, RGB(0, 0, 0));
  EXPECT_COLOR(canvas, 2, 0, kRed);

  // Stretched to twice the size; DrawIcon uses the 32-pixel system size.
  Canvas big(40, 40, kGreen);
  DrawIconEx(big.dc(), 0, 0, icon, 8, 8, 0, nullptr, DI_NORMAL);
  EXPECT_COLOR(big, 7, 7, kRed);
  EXPECT_COLOR(big, 3, 3, kGreen);
  EXPECT_COLOR(big, 0, 2, RGB(0, 255, 255));
  big.fill(kGreen);
  DrawIcon(big.dc(), 0, 0, icon);
  EXPECT_COLOR(big, 31, 31, kRed);
  EXPECT_COLOR(big, 32, 32, kGreen);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
}

TEST(GdiIcon, MonochromeIconsKeepBothMasksInOneBitmap) {
  // Top half AND, bottom half XOR: opaque black, opaque white, transparent, inverted.
  HBITMAP mask = maskBitmap({"XX..", "XX..", "XX..", "XX..", ".X.X", ".X.X", ".X.X", ".X.X"});
  HICON icon = makeIcon(mask, nullptr);
  ASSERT_NE(icon, nullptr);
  Canvas canvas(4, 4, RGB(0, 0, 200));
  DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_COLOR(canvas, 0, 0, RGB(255, 255, 255));  // AND 0, XOR 1
  EXPECT_COLOR(canvas, 1, 0, RGB(0, 0, 0));        // AND 0, XOR 0
  EXPECT_COLOR(canvas, 2, 0, RGB(255, 255, 55));   // AND 1, XOR 1: inverted
  EXPECT_COLOR(canvas, 3, 0, RGB(0, 0, 200));      // AND 1, XOR 0: transparent
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  EXPECT_EQ(info.hbmColor, nullptr);
  BITMAP bm{};
  GetObjectW(info.hbmMask, sizeof bm, &bm);
  EXPECT_EQ(bm.bmHeight, 8);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
}

TEST(GdiIcon, ThirtyTwoBitIconsBlendByTheirAlpha) {
  HBITMAP mask = maskBitmap({"XXXX", "XXXX", "XXXX", "XXXX"});
  std::vector<std::uint32_t> pixels(16, 0x00000000);  // transparent
  pixels[0] = 0xFFFF0000;                             // opaque red
  pixels[1] = 0x80FF0000;                             // half red
  HICON icon = makeIcon(mask, colorBitmap(4, 4, pixels));
  Canvas canvas(4, 4, RGB(255, 255, 255));
  DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_COLOR(canvas, 0, 0, kRed);
  EXPECT_COLOR(canvas, 1, 0, RGB(255, 127, 127));
  EXPECT_COLOR(canvas, 2, 0, RGB(255, 255, 255));  // alpha wins over the opaque mask
  DestroyIcon(icon);
}

TEST(GdiIcon, IconInformationGivesCopiesAndTheCentreAsHotSpot) {
  HBITMAP mask = maskBitmap({"..XX", "..XX", "..XX", "..XX"});
  std::vector<std::uint32_t> pixels(16, 0x00123456);
  HICON icon = makeIcon(mask, colorBitmap(4, 4, pixels));
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  EXPECT_TRUE(info.fIcon);
  // The skinned buttons take an icon's size as twice its hot spot.
  EXPECT_EQ(info.xHotspot * 2, 4u);
  EXPECT_EQ(info.yHotspot * 2, 4u);
  BITMAP color{}, monochrome{};
  GetObjectW(info.hbmColor, sizeof color, &color);
  GetObjectW(info.hbmMask, sizeof monochrome, &monochrome);
  EXPECT_EQ(color.bmBitsPixel, 32);
  EXPECT_EQ(monochrome.bmBitsPixel, 1);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, info.hbmColor);
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(0x12, 0x34, 0x56));
  SelectObject(dc, info.hbmMask);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 3, 0), RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_TRUE(DeleteObject(info.hbmColor));
  EXPECT_TRUE(DeleteObject(info.hbmMask));

  HICON copy = CopyIcon(icon);
  EXPECT_TRUE(DestroyIcon(icon));
  Canvas canvas(4, 4, kGreen);
  EXPECT_TRUE(DrawIconEx(canvas.dc(), 0, 0, copy, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_COLOR(canvas, 3, 0, RGB(0x12, 0x34, 0x56));
  EXPECT_FALSE(DeleteObject(copy));  // icons are not GDI objects
  EXPECT_TRUE(DestroyIcon(copy));

  // A cursor keeps its own hot spot.
  ICONINFO cursorInfo{FALSE, 1, 2, maskBitmap({"XXXX", "XXXX", "XXXX", "XXXX", "....", "....", "....", "...."}),
                      nullptr};
  HCURSOR cursor = CreateIconIndirect(&cursorInfo);
  DeleteObject(cursorInfo.hbmMask);
  ICONINFO back{};
  ASSERT_TRUE(GetIconInfo(cursor, &back));
  EXPECT_FALSE(back.fIcon);
  EXPECT_EQ(back.xHotspot, 1u);
  EXPECT_EQ(back.yHotspot, 2u);
  DeleteObject(back.hbmMask);
  EXPECT_TRUE(DestroyCursor(cursor));

  ICONINFO bad{TRUE, 0, 0, nullptr, nullptr};
  EXPECT_EQ(CreateIconIndirect(&bad), nullptr);
}

TEST(GdiIcon, DrawStateDisabledEmbossesTheShape) {
  // A 4 x 4 icon: a black 2 x 2 square at (1, 1), the rest transparent.
  HBITMAP mask = maskBitmap({"....", ".XX.", ".XX.", "...."});
  HICON icon = makeIcon(mask, colorBitmap(4, 4, std::vector<std::uint32_t>(16, 0)));
  COLORREF const face = GetSysColor(COLOR_BTNFACE);
  COLORREF const shadow = GetSysColor(COLOR_3DSHADOW), highlight = GetSysColor(COLOR_3DHILIGHT);
  Canvas canvas(10, 10, face);
  ASSERT_TRUE(DrawStateW(canvas.dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 2, 2, 0, 0,
                         DST_ICON | DSS_DISABLED));
  // Shadow where the square is, highlight one pixel down and right of it.
  EXPECT_COLOR(canvas, 3, 3, shadow);
  EXPECT_COLOR(canvas, 4, 4, shadow);
  EXPECT_COLOR(canvas, 5, 5, highlight);
  EXPECT_COLOR(canvas, 5, 4, highlight);
  EXPECT_COLOR(canvas, 4, 5, highlight);
  EXPECT_COLOR(canvas, 2, 2, face);
  EXPECT_COLOR(canvas, 6, 6, face);
  EXPECT_EQ(canvas.count(shadow), 4);
  EXPECT_EQ(canvas.count(highlight), 3);

  // Normal draws the icon itself.
  canvas.fill(face);
  DrawStateW(canvas.dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, 2, 2, 0, 0, DST_ICON | DSS_NORMAL);
  EXPECT_COLOR(canvas, 3, 3, RGB(0, 0, 0));
  EXPECT_COLOR(canvas, 2, 2, face);

  // Mono: the shape in the brush's colour.
  canvas.fill(face);
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  DrawStateW(canvas.dc(), brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, 0, 0, 0, 0, DST_ICON | DSS_MONO);
  EXPECT_EQ(canvas.count(RGB(0, 0, 255)), 4);
  DeleteObject(brush);
  DestroyIcon(icon);
}

TEST(GdiIcon, DrawStateOfABitmap) {
  // A 3 x 1 bitmap: white, black, white.
  Canvas picture(3, 1, RGB(255, 255, 255));
  SetPixel(picture.dc(), 1, 0, RGB(0, 0, 0));
  HBITMAP bitmap = CreateCompatibleBitmap(picture.dc(), 3, 1);
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, 3, 1, picture.dc(), 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  Canvas canvas(6, 3, kGreen);
  ASSERT_TRUE(DrawStateW(canvas.dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, 1, 1, 0, 0,
                         DST_BITMAP | DSS_NORMAL));
  EXPECT_COLOR(canvas, 1, 1, RGB(255, 255, 255));
  EXPECT_COLOR(canvas, 2, 1, RGB(0, 0, 0));
  canvas.fill(kGreen);
  DrawStateW(canvas.dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, 1, 1, 0, 0, DST_BITMAP | DSS_DISABLED);
  EXPECT_COLOR(canvas, 1, 1, kGreen);  // white parts are no ink
  EXPECT_COLOR(canvas, 2, 1, GetSysColor(COLOR_3DSHADOW));
  EXPECT_COLOR(canvas, 3, 2, GetSysColor(COLOR_3DHILIGHT));
  DeleteObject(bitmap);
  EXPECT_FALSE(DrawStateW(canvas.dc(), nullptr, nullptr, 0, 0, 0, 0, 0, 0, DST_BITMAP));
}
