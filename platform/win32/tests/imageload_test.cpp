// LoadImageW, LoadBitmapW and LoadIconW: bitmaps, icons and cursors from a
// real resource library (testimages.dll) and bitmaps from .bmp files, and
// damaged pictures refused.
#include "winsim/imageload.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "gditesthelpers.h"
#include "moduletesthelpers.h"
#include "testimages.h"
#include "win32/errors.h"
#include "win32/image.h"
#include "win32/module.h"

using gditest::Canvas;
using winsim::testing::TempMachine;

namespace {

constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kIconGreen = RGB(0, 200, 0);

/// testimages.dll in a machine, loaded as a resource library.
class ImageLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    moduletest::install(m_machine, "testimages.dll", u"C:\\Setup\\testimages.dll");
    m_module = LoadLibraryExW(u"C:\\Setup\\testimages.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m_module, nullptr) << GetLastError();
  }
  void TearDown() override { FreeLibrary(m_module); }

  HANDLE load(WORD id, UINT type, int cx = 0, int cy = 0, UINT flags = LR_DEFAULTCOLOR) {
    return LoadImageW(m_module, MAKEINTRESOURCEW(id), type, cx, cy, flags);
  }

  TempMachine m_machine;
  HMODULE m_module = nullptr;
};

/// The colour of a bitmap's pixel, read through a memory context.
COLORREF pixelOf(HBITMAP bitmap, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  COLORREF const color = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return color;
}

BITMAP infoOf(HBITMAP bitmap) {
  BITMAP info{};
  EXPECT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
  return info;
}

bool isSection(HBITMAP bitmap) {
  DIBSECTION section{};
  return GetObjectW(bitmap, sizeof section, &section) == static_cast<int>(sizeof section);
}

/// A .bmp file: 24 bits, rows given top row first as 0xRRGGBB.
std::vector<std::uint8_t> bmpFile(int width, const std::vector<std::vector<std::uint32_t>>& rows,
                                  bool topDown = false) {
  int const height = static_cast<int>(rows.size());
  std::size_t const stride = ((static_cast<std::size_t>(width) * 24 + 31) / 32) * 4;
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < height; ++i) {
    const auto& row = rows[static_cast<std::size_t>(topDown ? i : height - 1 - i)];
    std::vector<std::uint8_t> bytes(stride, 0);
    for (int x = 0; x < width; ++x) {
      bytes[static_cast<std::size_t>(x) * 3] = row[static_cast<std::size_t>(x)] & 0xFF;
      bytes[static_cast<std::size_t>(x) * 3 + 1] = (row[static_cast<std::size_t>(x)] >> 8) & 0xFF;
      bytes[static_cast<std::size_t>(x) * 3 + 2] = (row[static_cast<std::size_t>(x)] >> 16) & 0xFF;
    }
    pixels.insert(pixels.end(), bytes.begin(), bytes.end());
  }
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(54 + pixels.size()), 0, 0, 54};
  BITMAPINFOHEADER info{40, width, topDown ? -height : height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<std::uint8_t> out(54);
  std::memcpy(out.data(), &file, 14);
  std::memcpy(out.data() + 14, &info, 40);
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

template <class T>
void put(std::vector<std::uint8_t>& bytes, std::size_t at, T value) {
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

}  // namespace

TEST_F(ImageLibrary, ABitmapAsADibSectionKeepsItsFormatAndColourTable) {
  auto bitmap = static_cast<HBITMAP>(load(IDB_PALETTE, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(bitmap, nullptr) << GetLastError();
  DIBSECTION section{};
  ASSERT_EQ(GetObjectW(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
  EXPECT_EQ(section.dsBm.bmWidth, 4);
  EXPECT_EQ(section.dsBm.bmHeight, 2);
  EXPECT_EQ(section.dsBmih.biBitCount, 8);
  // The rows are the resource's own indices, bottom row first.
  const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(std::vector<int>(bits, bits + 4), (std::vector<int>{10, 20, 30, 40}));
  EXPECT_EQ(std::vector<int>(bits + 4, bits + 8), (std::vector<int>{0, 50, 100, 255}));
  // Entry i of the table is (i, 255 - i, i / 2).
  EXPECT_EQ(gditest::hex(pixelOf(bitmap, 1, 0)), gditest::hex(RGB(50, 205, 25)));
  EXPECT_EQ(gditest::hex(pixelOf(bitmap, 3, 0)), gditest::hex(RGB(255, 0, 127)));
  EXPECT_EQ(gditest::hex(pixelOf(bitmap, 0, 1)), gditest::hex(RGB(10, 245, 5)));
  DeleteObject(bitmap);
}

TEST_F(ImageLibrary, ABitmapWithoutDibSectionIsADisplayBitmap) {
  auto bitmap = LoadBitmapW(m_module, MAKEINTRESOURCEW(IDB_BARS));
  ASSERT_NE(bitmap, nullptr) << GetLastError();
  EXPECT_FALSE(isSection(bitmap));
  BITMAP const info = infoOf(bitmap);
  EXPECT_EQ(info.bmWidth, 6);
  EXPECT_EQ(info.bmHeight, 4);
  EXPECT_EQ(info.bmBitsPixel, 32);
  EXPECT_EQ(pixelOf(bitmap, 0, 0), kWhite);
  EXPECT_EQ(pixelOf(bitmap, 1, 1), kRed);
  EXPECT_EQ(pixelOf(bitmap, 2, 3), kGreen);
  EXPECT_EQ(pixelOf(bitmap, 5, 3), kBlue);
  DeleteObject(bitmap);

  auto mono = static_cast<HBITMAP>(load(IDB_BARS, IMAGE_BITMAP, 0, 0, LR_MONOCHROME));
  ASSERT_NE(mono, nullptr);
  EXPECT_EQ(infoOf(mono).bmBitsPixel, 1);
  DeleteObject(mono);
}

TEST_F(ImageLibrary, AGivenSizeStretchesTheBitmap) {
  for (UINT flags : {LR_DEFAULTCOLOR, LR_CREATEDIBSECTION}) {
    SCOPED_TRACE(flags);
    auto bitmap = static_cast<HBITMAP>(load(IDB_BARS, IMAGE_BITMAP, 12, 8, flags));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(isSection(bitmap), flags == LR_CREATEDIBSECTION);
    EXPECT_EQ(infoOf(bitmap).bmWidth, 12);
    EXPECT_EQ(pixelOf(bitmap, 11, 1), kWhite);
    EXPECT_EQ(pixelOf(bitmap, 3, 2), kRed);
    EXPECT_EQ(pixelOf(bitmap, 4, 7), kGreen);
    EXPECT_EQ(pixelOf(bitmap, 11, 7), kBlue);
    DeleteObject(bitmap);
  }
}

TEST_F(ImageLibrary, DamagedOrMissingBitmapsAreRefused) {
  const struct {
    WORD id;
    DWORD error;
  } kCases[] = {
      {IDB_CUT, ERROR_INVALID_DATA},
      {IDB_OS2, ERROR_INVALID_DATA},
      {IDB_RLE, ERROR_INVALID_DATA},
      {999, ERROR_RESOURCE_NAME_NOT_FOUND},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.id);
    SetLastError(0);
    EXPECT_EQ(load(c.id, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
}

TEST_F(ImageLibrary, TheIconNearestTheAskedSizeIsTaken) {
  // The library's icon has 16 x 16 green (its two top rows and left columns
  // transparent), 32 x 32 magenta at 4 bits and 32 x 32 blue at 24 bits (its
  // top-left 8 x 8 transparent).
  const struct {
    int cx, cy;
    UINT flags;
    int width;
    POINT clear, solid;
    COLORREF color;
  } kCases[] = {
      {16, 16, 0, 16, {1, 5}, {5, 5}, kIconGreen},
      {32, 32, 0, 32, {7, 7}, {20, 20}, kBlue},  // the deeper colour of two
      {24, 24, 0, 24, {5, 5}, {6, 6}, kBlue},    // as far from 16 as from 32: the larger, shrunk
      {48, 48, 0, 48, {11, 11}, {12, 12}, kBlue},
      {0, 0, 0, 16, {0, 0}, {2, 2}, kIconGreen},  // the first image's size
      {0, 0, LR_DEFAULTSIZE, 32, {0, 0}, {8, 8}, kBlue},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.cx << " x " << c.cy << " flags " << c.flags);
    auto icon = static_cast<HICON>(load(IDI_TWOSIZES, IMAGE_ICON, c.cx, c.cy, c.flags));
    ASSERT_NE(icon, nullptr) << GetLastError();
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    EXPECT_EQ(infoOf(info.hbmColor).bmWidth, c.width);
    EXPECT_EQ(infoOf(info.hbmMask).bmHeight, c.width);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    Canvas canvas(64, 64, kYellow);
    ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_COLOR(canvas, c.clear.x, c.clear.y, kYellow);
    EXPECT_COLOR(canvas, c.solid.x, c.solid.y, c.color);
    EXPECT_COLOR(canvas, c.width - 1, c.width - 1, c.color);
    EXPECT_COLOR(canvas, c.width, c.width, kYellow);
    EXPECT_TRUE(DestroyIcon(icon));
  }
}

TEST_F(ImageLibrary, LoadIconSharesOneIconOfTheSystemSize) {
  HICON first = LoadIconW(m_module, MAKEINTRESOURCEW(IDI_TWOSIZES));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(LoadIconW(m_module, MAKEINTRESOURCEW(IDI_TWOSIZES)), first);
  EXPECT_EQ(LoadIconW(m_module, u"#200"), first);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(first, &info));
  EXPECT_EQ(infoOf(info.hbmColor).bmWidth, GetSystemMetrics(SM_CXICON));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  // A shared icon destroyed after all is made anew, never handed out dead.
  ASSERT_TRUE(DestroyIcon(first));
  HICON again = LoadIconW(m_module, MAKEINTRESOURCEW(IDI_TWOSIZES));
  ASSERT_NE(again, nullptr);
  EXPECT_NE(again, first);
  EXPECT_TRUE(GetIconInfo(again, &info));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

TEST_F(ImageLibrary, ACursorKeepsItsHotSpotAndMask) {
  auto cursor = static_cast<HCURSOR>(load(IDC_HOTSPOT, IMAGE_CURSOR));
  ASSERT_NE(cursor, nullptr) << GetLastError();
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 5u);
  EXPECT_EQ(info.yHotspot, 7u);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  Canvas canvas(40, 40, kYellow);
  ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, cursor, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_COLOR(canvas, 3, 3, kYellow);
  EXPECT_COLOR(canvas, 4, 4, RGB(0, 0, 0));
  EXPECT_COLOR(canvas, 11, 11, RGB(0, 0, 0));
  EXPECT_COLOR(canvas, 12, 12, kYellow);
  EXPECT_TRUE(DestroyCursor(cursor));

  // Without a module, the system's shared cursors.
  EXPECT_EQ(LoadImageW(nullptr, IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_SHARED), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(ImageLibrary, DamagedIconDirectoriesAndImagesAreRefused) {
  const struct {
    WORD id;
    DWORD error;
  } kCases[] = {
      {IDI_CUTDIR, ERROR_INVALID_DATA},
      {IDI_MISSING, ERROR_RESOURCE_NAME_NOT_FOUND},
      {IDI_BADMASK, ERROR_INVALID_DATA},
      {IDB_BARS, ERROR_RESOURCE_NAME_NOT_FOUND},  // an id no icon has
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.id);
    SetLastError(0);
    EXPECT_EQ(load(c.id, IMAGE_ICON, 16, 16), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
}

TEST_F(ImageLibrary, AnImageThatCannotBeReadLeavesTheOthersOfItsDirectory) {
  // The directory's first image is PNG; its second is the 16 x 16 one.
  auto icon = static_cast<HICON>(load(IDI_PNGFIRST, IMAGE_ICON, 32, 32));
  ASSERT_NE(icon, nullptr) << GetLastError();
  Canvas canvas(40, 40, kYellow);
  ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_COLOR(canvas, 3, 3, kYellow);  // the 16 x 16 image stretched to 32: its transparent edge doubles
  EXPECT_COLOR(canvas, 4, 4, kIconGreen);
  DestroyIcon(icon);
}

TEST_F(ImageLibrary, RequestsTheLoaderDoesNotServeFail) {
  const struct {
    HINSTANCE (*instance)(HMODULE);
    UINT type;
    UINT flags;
    DWORD error;
  } kCases[] = {
      {[](HMODULE) -> HINSTANCE { return nullptr; }, IMAGE_ICON, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
      {[](HMODULE) -> HINSTANCE { return nullptr; }, IMAGE_BITMAP, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
      {[](HMODULE m) -> HINSTANCE { return m; }, 7, 0, ERROR_INVALID_PARAMETER},
      {[](HMODULE m) -> HINSTANCE { return m; }, IMAGE_BITMAP, LR_LOADMAP3DCOLORS, ERROR_NOT_SUPPORTED},
      {[](HMODULE m) -> HINSTANCE { return m; }, IMAGE_BITMAP, 0x00100000, ERROR_INVALID_PARAMETER},
      {[](HMODULE m) -> HINSTANCE { return m; }, IMAGE_ICON, LR_LOADFROMFILE, ERROR_NOT_SUPPORTED},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.type << " " << c.flags);
    SetLastError(0);
    EXPECT_EQ(LoadImageW(c.instance(m_module), MAKEINTRESOURCEW(IDB_BARS), c.type, 0, 0, c.flags), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
}

TEST(ImageFile, ABmpFileLoadsInEitherRowOrder) {
  TempMachine machine;
  std::vector<std::vector<std::uint32_t>> const rows = {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x000000, 0x808080}};
  for (bool topDown : {false, true}) {
    SCOPED_TRACE(topDown);
    moduletest::writeFile(machine, u"C:\\Pictures\\rows.bmp", bmpFile(3, rows, topDown));
    auto bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, u"C:\\Pictures\\rows.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr) << GetLastError();
    EXPECT_TRUE(isSection(bitmap));
    EXPECT_EQ(pixelOf(bitmap, 0, 0), kRed);
    EXPECT_EQ(pixelOf(bitmap, 2, 0), kBlue);
    EXPECT_EQ(pixelOf(bitmap, 0, 1), kWhite);
    EXPECT_EQ(pixelOf(bitmap, 2, 1), RGB(128, 128, 128));
    DeleteObject(bitmap);
  }
  SetLastError(0);
  EXPECT_EQ(LoadImageW(nullptr, u"C:\\Pictures\\none.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(ImageFile, DamagedBmpFilesAreRefused) {
  std::vector<std::uint8_t> const good = bmpFile(3, {{1, 2, 3}, {4, 5, 6}});
  const struct {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> damage;
  } kCases[] = {
      {"empty", [](auto& b) { b.clear(); }},
      {"not BM", [](auto& b) { b[0] = 'X'; }},
      {"cut in the file header", [](auto& b) { b.resize(10); }},
      {"cut in the info header", [](auto& b) { b.resize(30); }},
      {"OS/2 header", [](auto& b) { put<DWORD>(b, 14, 12); }},
      {"unknown header size", [](auto& b) { put<DWORD>(b, 14, 44); }},
      {"header larger than the file", [](auto& b) { put<DWORD>(b, 14, 124); }},
      {"rows cut short", [](auto& b) { b.pop_back(); }},
      {"rows placed past the end", [](auto& b) { put<DWORD>(b, 10, 0x7FFFFFF0); }},
      {"rows placed over the headers", [](auto& b) { put<DWORD>(b, 10, 20); }},
      {"width 0", [](auto& b) { put<LONG>(b, 18, 0); }},
      {"negative width", [](auto& b) { put<LONG>(b, 18, -3); }},
      {"height 0", [](auto& b) { put<LONG>(b, 22, 0); }},
      {"lowest height", [](auto& b) { put<LONG>(b, 22, static_cast<LONG>(0x80000000)); }},
      {"huge width", [](auto& b) { put<LONG>(b, 18, 0x40000000); }},
      {"two planes", [](auto& b) { put<WORD>(b, 26, 2); }},
      {"3 bits a pixel", [](auto& b) { put<WORD>(b, 28, 3); }},
      {"run-length compressed", [](auto& b) { put<DWORD>(b, 30, BI_RLE8); }},
      {"bit fields on 24 bits", [](auto& b) { put<DWORD>(b, 30, BI_BITFIELDS); }},
      {"colour table of 257", [](auto& b) { put<DWORD>(b, 46, 257); }},
      {"colour table past the end", [](auto& b) { put<WORD>(b, 28, 8); }},
  };
  TempMachine machine;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> bytes = good;
    c.damage(bytes);
    moduletest::writeFile(machine, u"C:\\Pictures\\bad.bmp", bytes);
    SetLastError(0);
    EXPECT_EQ(LoadImageW(nullptr, u"C:\\Pictures\\bad.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
  }
}

TEST(ImageDecode, BitFieldMasksMustBeContiguous) {
  // A 1 x 1 16-bit picture with masks: 5-6-5 reads, a split mask is refused.
  std::vector<std::uint8_t> dib(40 + 12 + 4, 0);
  BITMAPINFOHEADER header{40, 1, 1, 1, 16, BI_BITFIELDS, 0, 0, 0, 0, 0};
  std::memcpy(dib.data(), &header, sizeof header);
  put<DWORD>(dib, 40, 0xF800);
  put<DWORD>(dib, 44, 0x07E0);
  put<DWORD>(dib, 48, 0x001F);
  put<WORD>(dib, 52, 0xF800);
  auto good = winsim::image::readPackedDib(dib);
  ASSERT_TRUE(good) << good.error().message;
  auto bitmap = winsim::image::makeBitmap(*good, 0, 0, LR_CREATEDIBSECTION);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(pixelOf(*bitmap, 0, 0), kRed);
  DeleteObject(*bitmap);
  put<DWORD>(dib, 44, 0x0660);
  auto split = winsim::image::readPackedDib(dib);
  ASSERT_FALSE(split);
  EXPECT_EQ(split.error().code, ERROR_INVALID_DATA);
}
