// Bitmaps: DIB sections of every depth, row order, GetDIBits, StretchDIBits,
// SetDIBitsToDevice, monochrome conversions.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gditesthelpers.h"
#include "win32/errors.h"
#include "win32/gdi.h"

using gditest::Canvas;

namespace {

// A BITMAPINFO with room for a full colour table.
struct Info {
  BITMAPINFOHEADER header{};
  RGBQUAD colors[256]{};
  BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

Info makeInfo(int width, int height, int bits) {
  Info info;
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bits);
  info.header.biCompression = BI_RGB;
  return info;
}

// A memory context holding a bitmap for the test's lifetime.
struct Selected {
  HDC dc;
  HGDIOBJ old;
  Selected(HBITMAP bitmap) : dc(CreateCompatibleDC(nullptr)), old(SelectObject(dc, bitmap)) {}
  ~Selected() {
    SelectObject(dc, old);
    DeleteDC(dc);
  }
};

}  // namespace

TEST(GdiBitmap, BottomUpAndTopDownSectionsStoreRowsAsDeclared) {
  for (int height : {3, -3}) {
    Info info = makeInfo(2, height, 32);
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    {
      Selected s(bitmap);
      SetPixel(s.dc, 1, 0, RGB(0x11, 0x22, 0x33));  // top row on screen
    }
    std::size_t const topRow = height > 0 ? 2 : 0;  // bottom-up: the top row is the last in memory
    EXPECT_EQ(bits[topRow * 2 + 1], 0x00112233u) << height;

    // The caller's writes show through GDI at once.
    bits[(height > 0 ? 0 : 2) * 2 + 0] = 0x00ABCDEF;  // bottom-left pixel on screen
    Selected s(bitmap);
    EXPECT_EQ(GetPixel(s.dc, 0, 2), RGB(0xAB, 0xCD, 0xEF)) << height;

    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmBits, bits);
    EXPECT_EQ(section.dsBm.bmWidthBytes, 8);
    EXPECT_EQ(section.dsBm.bmHeight, 3);
    EXPECT_EQ(section.dsBmih.biHeight, height);
    BITMAP plain{};
    EXPECT_EQ(GetObjectW(bitmap, sizeof plain, &plain), static_cast<int>(sizeof plain));
    EXPECT_EQ(plain.bmBitsPixel, 32);
    SelectObject(s.dc, s.old);
    DeleteObject(bitmap);
  }
}

TEST(GdiBitmap, EightBitSectionsDrawThroughTheirColourTable) {
  Info info = makeInfo(4, -2, 8);
  info.header.biClrUsed = 3;
  info.colors[0] = RGBQUAD{0, 0, 0, 0};
  info.colors[1] = RGBQUAD{0, 0, 200, 0};  // red 200
  info.colors[2] = RGBQUAD{50, 150, 0, 0};
  std::uint8_t* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  bits[0] = 1;
  bits[1] = 2;
  bits[2] = 7;  // beyond the table: black
  Canvas canvas(4, 2, RGB(255, 255, 255));
  {
    Selected s(bitmap);
    BitBlt(canvas.dc(), 0, 0, 4, 2, s.dc, 0, 0, SRCCOPY);
    // Drawing picks the nearest table colour for each pixel.
    RECT r{0, 1, 4, 2};
    HBRUSH brush = CreateSolidBrush(RGB(190, 10, 5));
    FillRect(s.dc, &r, brush);
    DeleteObject(brush);
  }
  EXPECT_COLOR(canvas, 0, 0, RGB(200, 0, 0));
  EXPECT_COLOR(canvas, 1, 0, RGB(0, 150, 50));
  EXPECT_COLOR(canvas, 2, 0, RGB(0, 0, 0));
  for (int x = 0; x < 4; ++x) EXPECT_EQ(bits[4 + x], 1) << x;  // rows of 4 bytes
  DIBSECTION section{};
  GetObjectW(bitmap, sizeof section, &section);
  EXPECT_EQ(section.dsBmih.biClrUsed, 3u);
  DeleteObject(bitmap);
}

TEST(GdiBitmap, LowDepthSectionsOfEveryKind) {
  struct Case {
    int bits;
    std::vector<std::uint8_t> row;  // one row, 4 pixels
    std::vector<COLORREF> expected;
  } const cases[] = {
      {1, {0xA0, 0, 0, 0}, {RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0)}},
      {4, {0x1F, 0xC0, 0, 0}, {RGB(128, 0, 0), RGB(255, 255, 255), RGB(0, 0, 255), RGB(0, 0, 0)}},
      {16,
       {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F},
       {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)}},
      {24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {RGB(3, 2, 1), RGB(6, 5, 4), RGB(9, 8, 7), RGB(12, 11, 10)}},
  };
  for (const Case& c : cases) {
    Info info = makeInfo(4, 1, c.bits);
    if (c.bits == 1) {
      info.colors[0] = RGBQUAD{0, 0, 0, 0};
      info.colors[1] = RGBQUAD{255, 255, 255, 0};
    }
    if (c.bits == 4) {
      const RGBQUAD vga[16] = {{0, 0, 0, 0},       {0, 0, 128, 0},   {0, 128, 0, 0},   {0, 128, 128, 0},
                               {128, 0, 0, 0},     {128, 0, 128, 0}, {128, 128, 0, 0}, {192, 192, 192, 0},
                               {128, 128, 128, 0}, {0, 0, 255, 0},   {0, 255, 0, 0},   {0, 255, 255, 0},
                               {255, 0, 0, 0},     {255, 0, 255, 0}, {255, 255, 0, 0}, {255, 255, 255, 0}};
      std::memcpy(info.colors, vga, sizeof vga);
    }
    std::uint8_t* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    ASSERT_NE(bitmap, nullptr) << c.bits;
    std::memcpy(bits, c.row.data(), c.row.size());
    Selected s(bitmap);
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(gditest::hex(GetPixel(s.dc, x, 0)), gditest::hex(c.expected[x])) << c.bits << " " << x;
    SelectObject(s.dc, s.old);
    DeleteObject(bitmap);
  }
}

TEST(GdiBitmap, GetDIBitsRoundTripsThroughStretchDIBits) {
  // A 5 x 3 picture on a device bitmap.
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 5, 3);
  ReleaseDC(nullptr, screen);
  {
    Selected s(bitmap);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) SetPixel(s.dc, x, y, RGB(x * 50, y * 100, 7));
  }
  // The query form describes the bitmap.
  Info info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  ASSERT_NE(GetDIBits(nullptr, bitmap, 0, 0, nullptr, info.get(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(info.header.biWidth, 5);
  EXPECT_EQ(info.header.biHeight, 3);
  EXPECT_EQ(info.header.biBitCount, 32);

  // 24 bits, bottom-up: rows of 16 bytes (15 padded), the bottom row first.
  info = makeInfo(5, 3, 24);
  std::vector<std::uint8_t> rows(16 * 3, 0xEE);
  HDC any = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetDIBits(any, bitmap, 0, 3, rows.data(), info.get(), DIB_RGB_COLORS), 3);
  EXPECT_EQ(info.header.biSizeImage, 48u);
  EXPECT_EQ(rows[0], 7);    // blue of (0, 2)
  EXPECT_EQ(rows[1], 200);  // green of row 2
  EXPECT_EQ(rows[2], 0);
  EXPECT_EQ(rows[32 + 3 * 4 + 2], 200);  // red of (4, 0), last row in memory
  EXPECT_EQ(rows[15], 0);                // padding is written as 0

  Canvas copy(5, 3, RGB(0, 0, 0));
  EXPECT_EQ(StretchDIBits(copy.dc(), 0, 0, 5, 3, 0, 0, 5, 3, rows.data(), info.get(), DIB_RGB_COLORS, SRCCOPY), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_COLOR(copy, x, y, RGB(x * 50, y * 100, 7));

  // Part of the scan lines: line 1 from the bottom is the middle row.
  std::vector<std::uint8_t> one(16, 0);
  EXPECT_EQ(GetDIBits(any, bitmap, 1, 1, one.data(), info.get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(one[1], 100);
  DeleteDC(any);
  DeleteObject(bitmap);
}

TEST(GdiBitmap, PaletteBitmapsReadAtTheirOwnDepthKeepIndicesAndTable) {
  Info info = makeInfo(3, 2, 8);
  for (int i = 0; i < 256; ++i) info.colors[i] = RGBQUAD{BYTE(255 - i), BYTE(i), BYTE(i / 2), 0};
  std::uint8_t* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  const std::uint8_t pattern[8] = {10, 20, 30, 0, 40, 50, 60, 0};
  std::memcpy(bits, pattern, sizeof pattern);

  Info out = makeInfo(3, 2, 8);
  std::vector<std::uint8_t> rows(8, 0xEE);
  EXPECT_EQ(GetDIBits(nullptr, bitmap, 0, 2, rows.data(), out.get(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(std::vector<std::uint8_t>(rows.begin(), rows.begin() + 3), (std::vector<std::uint8_t>{10, 20, 30}));
  EXPECT_EQ(rows[4], 40);
  EXPECT_EQ(out.colors[20].rgbGreen, 20);
  EXPECT_EQ(out.colors[200].rgbBlue, 55);

  // A 16-bit picture read as 24 bits.
  Info info16 = makeInfo(2, 1, 16);
  std::uint16_t* bits16 = nullptr;
  HBITMAP bitmap16 =
      CreateDIBSection(nullptr, info16.get(), DIB_RGB_COLORS, reinterpret_cast<void**>(&bits16), nullptr, 0);
  bits16[0] = 0x7C00;  // red
  bits16[1] = 0x001F;  // blue
  Info out24 = makeInfo(2, 1, 24);
  std::uint8_t row24[8]{};
  EXPECT_EQ(GetDIBits(nullptr, bitmap16, 0, 1, row24, out24.get(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(row24[2], 255);
  EXPECT_EQ(row24[3], 255);
  EXPECT_EQ(row24[5], 0);
  DeleteObject(bitmap);
  DeleteObject(bitmap16);
}

TEST(GdiBitmap, StretchDIBitsCountsSourceRowsFromTheBottom) {
  // Four rows, bottom-up in memory: memory row i has colour i.
  Info info = makeInfo(1, 4, 32);
  const std::uint32_t bits[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF};
  Canvas canvas(1, 2, RGB(0, 0, 0));
  // Source y 1, height 2: memory rows 1 and 2, with row 2 on top.
  StretchDIBits(canvas.dc(), 0, 0, 1, 2, 0, 1, 1, 2, bits, info.get(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_COLOR(canvas, 0, 0, RGB(255, 0, 0));
  EXPECT_COLOR(canvas, 0, 1, RGB(0, 255, 0));
  // A negative destination height mirrors.
  StretchDIBits(canvas.dc(), 0, 2, 1, -2, 0, 1, 1, 2, bits, info.get(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_COLOR(canvas, 0, 0, RGB(0, 255, 0));
  EXPECT_COLOR(canvas, 0, 1, RGB(255, 0, 0));
  // A header that admits to too few bytes is refused.
  info.header.biSizeImage = 8;
  EXPECT_EQ(StretchDIBits(canvas.dc(), 0, 0, 1, 2, 0, 0, 1, 4, bits, info.get(), DIB_RGB_COLORS, SRCCOPY), 0);
}

TEST(GdiBitmap, SetDIBitsToDeviceDrawsOnlyTheScanLinesGiven) {
  Info info = makeInfo(2, 4, 32);
  // Scan lines 1 and 2 of four (from the bottom): image rows 2 and 1.
  const std::uint32_t lines[4] = {0x00FF0000, 0x00FF0000, 0x000000FF, 0x000000FF};
  Canvas canvas(2, 4, RGB(0, 0, 0));
  EXPECT_EQ(SetDIBitsToDevice(canvas.dc(), 0, 0, 2, 4, 0, 0, 1, 2, lines, info.get(), DIB_RGB_COLORS), 2);
  EXPECT_COLOR(canvas, 0, 0, RGB(0, 0, 0));
  EXPECT_COLOR(canvas, 0, 1, RGB(0, 0, 255));
  EXPECT_COLOR(canvas, 1, 2, RGB(255, 0, 0));
  EXPECT_COLOR(canvas, 0, 3, RGB(0, 0, 0));
}

TEST(GdiBitmap, MonochromeBitmapsTakeTheContextsColours) {
  // 8 x 2 monochrome, rows of 16 bits: 1 bits are white.
  const std::uint8_t bits[4] = {0xF0, 0x00, 0x0F, 0x00};
  HBITMAP mono = CreateBitmap(8, 2, 1, 1, bits);
  ASSERT_NE(mono, nullptr);
  Canvas canvas(8, 2, RGB(0, 0, 0));
  SetTextColor(canvas.dc(), RGB(255, 0, 0));
  SetBkColor(canvas.dc(), RGB(0, 255, 0));
  {
    Selected s(mono);
    BitBlt(canvas.dc(), 0, 0, 8, 2, s.dc, 0, 0, SRCCOPY);
  }
  EXPECT_COLOR(canvas, 0, 0, RGB(0, 255, 0));  // white -> background colour
  EXPECT_COLOR(canvas, 7, 0, RGB(255, 0, 0));  // black -> text colour
  EXPECT_COLOR(canvas, 0, 1, RGB(255, 0, 0));
  EXPECT_COLOR(canvas, 7, 1, RGB(0, 255, 0));

  // Colour to monochrome: the source's background colour becomes white.
  Canvas source(8, 2, RGB(10, 20, 30));
  SetPixel(source.dc(), 3, 1, RGB(1, 1, 1));
  SetBkColor(source.dc(), RGB(10, 20, 30));
  HBITMAP mask = CreateBitmap(8, 2, 1, 1, nullptr);
  {
    Selected s(mask);
    BitBlt(s.dc, 0, 0, 8, 2, source.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(s.dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(s.dc, 3, 1), RGB(0, 0, 0));
    // Colours drawn on a monochrome bitmap become black or white.
    EXPECT_EQ(SetPixel(s.dc, 5, 0, RGB(200, 210, 220)), RGB(255, 255, 255));
    EXPECT_EQ(SetPixel(s.dc, 6, 0, RGB(40, 30, 20)), RGB(0, 0, 0));
  }
  BITMAP info{};
  GetObjectW(mask, sizeof info, &info);
  EXPECT_EQ(info.bmWidthBytes, 2);
  EXPECT_EQ(info.bmBitsPixel, 1);
  DeleteObject(mono);
  DeleteObject(mask);
}

TEST(GdiBitmap, DamagedHeadersAreRefused) {
  struct Case {
    const char* what;
    void (*change)(BITMAPINFOHEADER&);
  } const cases[] = {
      {"OS/2 header", [](BITMAPINFOHEADER& h) { h.biSize = 12; }},
      {"two planes", [](BITMAPINFOHEADER& h) { h.biPlanes = 2; }},
      {"3 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 3; }},
      {"RLE", [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }},
      {"zero width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
      {"zero height", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }},
      {"huge", [](BITMAPINFOHEADER& h) { h.biWidth = h.biHeight = 30000; }},
      {"lowest height", [](BITMAPINFOHEADER& h) { h.biHeight = INT32_MIN; }},
      {"bad masks", [](BITMAPINFOHEADER& h) { h.biCompression = BI_BITFIELDS; }},
  };
  for (const Case& c : cases) {
    Info info = makeInfo(4, 4, 32);
    // Masks with a gap are not colour channels.
    std::uint32_t masks[3] = {0x00FF00FF, 0x0000FF00, 0x000000FF};
    std::memcpy(info.colors, masks, sizeof masks);
    c.change(info.header);
    void* bits = reinterpret_cast<void*>(1);
    SetLastError(0);
    EXPECT_EQ(CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << c.what;
    EXPECT_EQ(bits, nullptr) << c.what;
    EXPECT_NE(GetLastError(), 0u) << c.what;
  }
}
