// Device contexts and the object table: selection, deletion, stock objects,
// GetObjectW, device capabilities, origins and clipping, palettes.
#include <gtest/gtest.h>

#include "gditesthelpers.h"
#include "win32/errors.h"
#include "win32/gdi.h"
#include "winsim/surface.h"

using gditest::Canvas;

TEST(GdiObjects, SelectObjectReturnsThePreviousObject) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  EXPECT_EQ(SelectObject(dc, red), GetStockObject(WHITE_BRUSH));  // a new context holds the white brush
  EXPECT_EQ(SelectObject(dc, blue), red);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), blue);
  EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(DeleteObject(red));
  EXPECT_TRUE(DeleteObject(blue));
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, ABitmapLivesInOneMemoryContextAtATime) {
  HDC first = CreateCompatibleDC(nullptr);
  HDC second = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(first, 4, 4);  // first still holds its 1x1 monochrome bitmap
  BITMAP info{};
  ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmBitsPixel, 1);

  HGDIOBJ original = SelectObject(first, bitmap);
  ASSERT_NE(original, nullptr);
  EXPECT_EQ(GetObjectType(original), OBJ_BITMAP);
  EXPECT_EQ(SelectObject(second, bitmap), nullptr);
  EXPECT_FALSE(DeleteObject(bitmap));  // still selected
  SelectObject(first, original);
  EXPECT_NE(SelectObject(second, bitmap), nullptr);
  SelectObject(second, original);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(bitmap));  // gone
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  DeleteDC(first);
  DeleteDC(second);
}

TEST(GdiObjects, CompatibleWithTheScreenIsTrueColour) {
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 10, 3);
  BITMAP info{};
  ASSERT_GT(GetObjectW(bitmap, sizeof info, &info), 0);
  EXPECT_EQ(info.bmWidth, 10);
  EXPECT_EQ(info.bmHeight, 3);
  EXPECT_EQ(info.bmBitsPixel, 32);
  EXPECT_EQ(info.bmWidthBytes, 40);
  EXPECT_EQ(info.bmBits, nullptr);
  EXPECT_EQ(SelectObject(screen, bitmap), nullptr);  // only memory contexts hold bitmaps
  DeleteObject(bitmap);
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
}

TEST(GdiObjects, StockObjectsSurviveDeleteObject) {
  const int stock[] = {WHITE_BRUSH, LTGRAY_BRUSH,    GRAY_BRUSH,      DKGRAY_BRUSH, BLACK_BRUSH,
                       NULL_BRUSH,  WHITE_PEN,       BLACK_PEN,       NULL_PEN,     ANSI_VAR_FONT,
                       SYSTEM_FONT, DEFAULT_PALETTE, DEFAULT_GUI_FONT};
  for (int index : stock) {
    HGDIOBJ object = GetStockObject(index);
    ASSERT_NE(object, nullptr) << index;
    EXPECT_TRUE(DeleteObject(object));
    EXPECT_EQ(GetStockObject(index), object);
    EXPECT_NE(GetObjectType(object), 0u) << index;
  }
  EXPECT_EQ(GetStockObject(HOLLOW_BRUSH), GetStockObject(NULL_BRUSH));
  EXPECT_EQ(GetStockObject(9), nullptr);
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  EXPECT_TRUE(DeleteObject(face));
  LOGBRUSH brush{};
  ASSERT_EQ(GetObjectW(face, sizeof brush, &brush), static_cast<int>(sizeof brush));
  EXPECT_EQ(brush.lbColor, RGB(240, 240, 240));
}

TEST(GdiObjects, GetObjectDescribesEachKind) {
  LOGFONTW font{};
  ASSERT_EQ(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font), static_cast<int>(sizeof font));
  EXPECT_EQ(font.lfHeight, -11);
  EXPECT_EQ(std::u16string(font.lfFaceName), u"MS Shell Dlg");

  HPEN pen = CreatePen(PS_SOLID, 3, RGB(1, 2, 3));
  LOGPEN logPen{};
  ASSERT_EQ(GetObjectW(pen, sizeof logPen, &logPen), static_cast<int>(sizeof logPen));
  EXPECT_EQ(logPen.lopnWidth.x, 3);
  EXPECT_EQ(logPen.lopnColor, RGB(1, 2, 3));
  DeleteObject(pen);
  EXPECT_EQ(CreatePen(2 /* dotted */, 1, 0), nullptr);  // not drawn here, so refused

  EXPECT_EQ(GetObjectW(GetStockObject(BLACK_BRUSH), 0, nullptr), static_cast<int>(sizeof(LOGBRUSH)));
  EXPECT_EQ(GetObjectW(nullptr, sizeof font, &font), 0);
}

TEST(GdiObjects, DeviceCapsOfTheTrueColourDisplay) {
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, TECHNOLOGY), DT_RASDISPLAY);
  EXPECT_EQ(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE, 0);
  EXPECT_NE(GetDeviceCaps(screen, RASTERCAPS) & RC_STRETCHDIB, 0);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(screen, HORZRES), winsim::virtualScreen()->width());
  EXPECT_EQ(GetDeviceCaps(screen, VERTRES), winsim::virtualScreen()->height());
  ReleaseDC(nullptr, screen);
}

TEST(GdiObjects, TheVirtualScreenIsResizable) {
  EXPECT_EQ(winsim::virtualScreen()->width(), 1024);
  EXPECT_EQ(winsim::virtualScreen()->height(), 768);
  ASSERT_TRUE(winsim::setVirtualScreenSize(800, 600).ok());
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 800);
  RECT box{};
  EXPECT_EQ(GetClipBox(screen, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 800);
  EXPECT_EQ(box.bottom, 600);
  EXPECT_EQ(GetPixel(screen, 10, 10), GetSysColor(COLOR_DESKTOP));
  ReleaseDC(nullptr, screen);
  EXPECT_FALSE(winsim::setVirtualScreenSize(0, 600).ok());
  ASSERT_TRUE(winsim::setVirtualScreenSize(1024, 768).ok());
}

TEST(GdiObjects, WindowOriginShiftsDrawingAndTheClipBox) {
  Canvas canvas(40, 30);
  RECT box{};
  EXPECT_EQ(GetClipBox(canvas.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 40);
  // The memory context of a paint buffer covers the target's clip box at (100, 200).
  POINT old{};
  SetWindowOrgEx(canvas.dc(), 100, 200, &old);
  EXPECT_EQ(old.x, 0);
  GetClipBox(canvas.dc(), &box);
  EXPECT_EQ(box.left, 100);
  EXPECT_EQ(box.top, 200);
  EXPECT_EQ(box.right, 140);
  EXPECT_EQ(box.bottom, 230);
  RECT r{105, 201, 107, 202};
  FillRect(canvas.dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_COLOR(canvas, 5, 1, RGB(0, 0, 0));
  EXPECT_COLOR(canvas, 6, 1, RGB(0, 0, 0));
  EXPECT_COLOR(canvas, 7, 1, RGB(255, 255, 255));
  EXPECT_EQ(canvas.count(RGB(0, 0, 0)), 2);

  SetWindowOrgEx(canvas.dc(), 0, 0, nullptr);
  OffsetViewportOrgEx(canvas.dc(), 10, 0, nullptr);
  SetPixel(canvas.dc(), 0, 0, RGB(9, 9, 9));
  EXPECT_COLOR(canvas, 10, 0, RGB(9, 9, 9));
}

TEST(GdiObjects, IntersectClipRectLimitsDrawing) {
  Canvas canvas(20, 20);
  EXPECT_EQ(IntersectClipRect(canvas.dc(), 5, 5, 10, 10), SIMPLEREGION);
  RECT all{0, 0, 20, 20};
  FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(canvas.count(RGB(0, 0, 0)), 25);
  RECT box{};
  GetClipBox(canvas.dc(), &box);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.right, 10);
  EXPECT_EQ(IntersectClipRect(canvas.dc(), 12, 12, 15, 15), NULLREGION);
  EXPECT_EQ(GetClipBox(canvas.dc(), &box), NULLREGION);
}

TEST(GdiObjects, ColoursAndModesReturnTheirPreviousValues) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
  EXPECT_EQ(SetTextColor(dc, RGB(4, 5, 6)), RGB(1, 2, 3));
  EXPECT_EQ(SetBkColor(dc, RGB(7, 8, 9)), RGB(255, 255, 255));
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(SetStretchBltMode(dc, COLORONCOLOR), BLACKONWHITE);
  EXPECT_EQ(SetStretchBltMode(dc, 9), 0);
  EXPECT_EQ(GetStretchBltMode(dc), COLORONCOLOR);
  DeleteDC(dc);
  EXPECT_EQ(SetBkMode(dc, OPAQUE), 0);  // deleted
}

TEST(GdiObjects, PalettesAreKeptAndRealiseNothingOnTrueColour) {
  alignas(LOGPALETTE) unsigned char storage[sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY)];
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage);
  logical->palVersion = 0x300;
  logical->palNumEntries = 4;
  for (int i = 0; i < 4; ++i) logical->palPalEntry[i] = PALETTEENTRY{BYTE(i * 10), BYTE(i * 20), BYTE(i * 30), 0};
  HPALETTE palette = CreatePalette(logical);
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 4u);
  PALETTEENTRY entries[8]{};
  EXPECT_EQ(GetPaletteEntries(palette, 2, 8, entries), 2u);
  EXPECT_EQ(entries[0].peRed, 20);
  EXPECT_EQ(entries[1].peBlue, 90);
  WORD count = 0;
  EXPECT_EQ(GetObjectW(palette, sizeof count, &count), 2);
  EXPECT_EQ(count, 4);

  HDC screen = GetDC(nullptr);
  HPALETTE previous = SelectPalette(screen, palette, FALSE);
  EXPECT_EQ(previous, GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(RealizePalette(screen), 0u);
  EXPECT_FALSE(DeleteObject(palette));  // selected
  EXPECT_EQ(SelectPalette(screen, previous, FALSE), palette);
  ReleaseDC(nullptr, screen);
  EXPECT_TRUE(DeleteObject(palette));

  logical->palVersion = 0x200;
  EXPECT_EQ(CreatePalette(logical), nullptr);
}

TEST(GdiObjects, SystemColoursOfWindows7) {
  struct Case {
    int index;
    COLORREF color;
  } const cases[] = {
      {COLOR_BTNFACE, RGB(240, 240, 240)},      {COLOR_BTNSHADOW, RGB(160, 160, 160)},
      {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)}, {COLOR_3DDKSHADOW, RGB(105, 105, 105)},
      {COLOR_3DLIGHT, RGB(227, 227, 227)},      {COLOR_WINDOW, RGB(255, 255, 255)},
      {COLOR_WINDOWTEXT, RGB(0, 0, 0)},         {COLOR_HIGHLIGHT, RGB(51, 153, 255)},
      {COLOR_GRAYTEXT, RGB(109, 109, 109)},     {COLOR_BTNTEXT, RGB(0, 0, 0)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetSysColor(c.index), c.color) << c.index;
    LOGBRUSH brush{};
    GetObjectW(GetSysColorBrush(c.index), sizeof brush, &brush);
    EXPECT_EQ(brush.lbColor, c.color) << c.index;
  }
  // FillRect takes a system colour as (HBRUSH)(index + 1).
  Canvas canvas(3, 3, RGB(0, 0, 0));
  RECT r{0, 0, 2, 2};
  FillRect(canvas.dc(), &r, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1)));
  EXPECT_COLOR(canvas, 1, 1, RGB(240, 240, 240));
  EXPECT_COLOR(canvas, 2, 2, RGB(0, 0, 0));
}

TEST(GdiObjects, WindowContextsComeFromTheWindowLayer) {
  auto surface = winsim::Surface::create(50, 40);
  ASSERT_TRUE(surface.ok());
  (*surface)->fill(0);
  HWND const window = reinterpret_cast<HWND>(0x1234);
  EXPECT_EQ(GetDC(window), nullptr);  // no window layer yet
  // A window whose client area starts at (10, 5), visible up to (30, 25).
  winsim::setWindowDCProvider([&](HWND hwnd) -> HDC {
    if (hwnd != window) return nullptr;
    return winsim::createSurfaceDC(winsim::SurfaceTarget{*surface, POINT{10, 5}, RECT{10, 5, 30, 25}, hwnd});
  });
  HDC dc = GetDC(window);
  ASSERT_NE(dc, nullptr);
  RECT box{};
  GetClipBox(dc, &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 20);
  RECT all{-100, -100, 100, 100};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ((*surface)->pixel(10, 5) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ((*surface)->pixel(29, 24) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ((*surface)->pixel(30, 24) & 0xFFFFFF, 0u);
  EXPECT_EQ((*surface)->pixel(9, 5) & 0xFFFFFF, 0u);
  EXPECT_EQ(ReleaseDC(window, dc), 1);
  winsim::setWindowDCProvider(nullptr);
}
