#include "dibitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "controltesting.h"
#include "testimages.h"

namespace {

using controltesting::Canvas;
using controltesting::makePicture;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class DIBitmapTest : public controltesting::ImageLibrary {
 protected:
  /// A bitmap resource of testimages.dll loaded as the pages load theirs.
  bool loadResource(CDIBitmap& dib, UINT id) {
    auto* bitmap = static_cast<HBITMAP>(
        LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap == nullptr) return false;
    CDC screen;
    screen.Attach(GetDC(nullptr));
    bool const loaded = dib.LoadFromBitmap(bitmap, &screen) == 1;
    ReleaseDC(nullptr, screen.Detach());
    DeleteObject(bitmap);
    return loaded;
  }
  std::vector<std::uint8_t> fileBytes(const char16_t* windowsPath) {
    std::ifstream in(m_machine.host(windowsPath), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  int readBytes(CDIBitmap& dib, std::vector<std::uint8_t> bytes) {
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    return dib.Read(file);
  }
};

TEST_F(DIBitmapTest, DeepBitmapsAreStoredAtTwentyFourBitsWithPaddedRows) {
  for (int depth : {16, 32}) {
    SCOPED_TRACE(depth);
    HBITMAP source = makePicture(5, 3, [](int x, int y) { return x == 0 && y == 0 ? kRed : kBlue; });
    CBitmap deep;
    if (depth == 16) {
      // Bring the picture to 16 bits through a device-independent copy.
      BITMAPINFO info{};
      info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 5, 3, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
      void* bits = nullptr;
      deep.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
      CDC from, to;
      from.CreateCompatibleDC(nullptr);
      to.CreateCompatibleDC(nullptr);
      HGDIOBJ oldFrom = from.SelectObject(source);
      HGDIOBJ oldTo = to.SelectObject(deep.GetSafeHandle());
      to.BitBlt(0, 0, 5, 3, &from, 0, 0, SRCCOPY);
      from.SelectObject(oldFrom);
      to.SelectObject(oldTo);
      DeleteObject(source);
    } else {
      deep.Attach(source);
    }
    CDIBitmap dib;
    CDC screen;
    screen.CreateCompatibleDC(nullptr);
    ASSERT_EQ(dib.LoadFromBitmap(deep, &screen), 1);
    const BITMAPINFOHEADER& header = dib.GetHeaderPtr()->bmiHeader;
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 5);
    EXPECT_EQ(header.biHeight, 3);
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biCompression, BI_RGB);
    EXPECT_EQ(dib.GetPalette(), nullptr);
    EXPECT_EQ(dib.IsFromFile(), 0);
    // Rows are 5 x 3 = 15 bytes padded to 16, bottom-up: the top-left red
    // pixel is the first of the last row.
    const BYTE* top = dib.GetPixelPtr() + 2 * 16;
    EXPECT_EQ(top[0], 0);
    EXPECT_EQ(top[2], 255);
    const BYTE* bottom = dib.GetPixelPtr();
    EXPECT_EQ(bottom[0], 255);
    EXPECT_EQ(bottom[2], 0);
  }
}

TEST_F(DIBitmapTest, AnEightBitResourceKeepsItsTableAndGetsAPalette) {
  CDIBitmap dib;
  ASSERT_TRUE(loadResource(dib, IDB_PALETTE));
  EXPECT_EQ(dib.GetBitCount(), 8);
  EXPECT_EQ(dib.GetWidth(), 4);
  EXPECT_EQ(dib.GetHeight(), 2);
  const RGBQUAD& entry = dib.GetHeaderPtr()->bmiColors[50];
  EXPECT_EQ(entry.rgbRed, 50);
  EXPECT_EQ(entry.rgbGreen, 205);
  EXPECT_EQ(entry.rgbBlue, 25);
  ASSERT_NE(dib.GetPalette(), nullptr);
  EXPECT_EQ(dib.GetPalette()->GetEntryCount(), 256);
  PALETTEENTRY last{};
  dib.GetPalette()->GetPaletteEntries(255, 1, &last);
  EXPECT_EQ(last.peRed, 255);
  EXPECT_EQ(last.peGreen, 0);
  EXPECT_EQ(last.peBlue, 127);
  EXPECT_EQ(last.peFlags, 0);
  // Indices, bottom row first.
  const BYTE* rows = dib.GetPixelPtr();
  EXPECT_EQ(std::vector<BYTE>(rows, rows + 4), (std::vector<BYTE>{10, 20, 30, 40}));
  EXPECT_EQ(std::vector<BYTE>(rows + 4, rows + 8), (std::vector<BYTE>{0, 50, 100, 255}));
}

TEST_F(DIBitmapTest, DrawsAtNaturalSizeStretchedAndBySection) {
  CDIBitmap dib;
  ASSERT_TRUE(loadResource(dib, IDB_BARS));  // 6 x 4: a white top row, then red, green, blue column pairs
  Canvas canvas(20, 12, RGB(1, 2, 3));
  dib.DrawDIB(&canvas.dc(), 1, 1);
  EXPECT_PIXEL(canvas, 1, 1, kWhite);
  EXPECT_PIXEL(canvas, 1, 2, kRed);
  EXPECT_PIXEL(canvas, 3, 2, kGreen);
  EXPECT_PIXEL(canvas, 6, 4, kBlue);
  EXPECT_PIXEL(canvas, 7, 4, RGB(1, 2, 3));

  Canvas stretched(12, 8, RGB(1, 2, 3));
  dib.DrawDIB(&stretched.dc(), 0, 0, 12, 8);
  EXPECT_PIXEL(stretched, 11, 1, kWhite);
  EXPECT_PIXEL(stretched, 0, 2, kRed);
  EXPECT_PIXEL(stretched, 7, 7, kGreen);
  EXPECT_PIXEL(stretched, 11, 7, kBlue);

  Canvas section(4, 4, RGB(1, 2, 3));
  dib.DrawDIBSection(&section.dc(), 0, 0, 2, 2, 2, 0);  // green columns, white row on top
  EXPECT_PIXEL(section, 0, 0, kWhite);
  EXPECT_PIXEL(section, 1, 1, kGreen);
  EXPECT_PIXEL(section, 2, 1, RGB(1, 2, 3));
}

TEST_F(DIBitmapTest, AnEightBitPictureDrawsThroughItsPalette) {
  CDIBitmap dib;
  ASSERT_TRUE(loadResource(dib, IDB_PALETTE));
  Canvas canvas(4, 2, kWhite);
  dib.DrawDIB(&canvas.dc(), 0, 0);
  EXPECT_PIXEL(canvas, 1, 0, RGB(50, 205, 25));
  EXPECT_PIXEL(canvas, 3, 1, RGB(40, 215, 20));
  EXPECT_EQ(canvas.dc().GetStretchBltMode(), COLORONCOLOR);
}

TEST_F(DIBitmapTest, SavedPicturesReadBackTheSame) {
  struct Case {
    UINT id;
    std::size_t pixelOffset;  // 14 + 40 + table
    std::size_t fileSize;     // + rows
  } const kCases[] = {
      {IDB_BARS, 14 + 40, 14 + 40 + 4 * 20},
      {IDB_PALETTE, 14 + 40 + 1024, 14 + 40 + 1024 + 2 * 4},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.id);
    CDIBitmap original;
    ASSERT_TRUE(loadResource(original, c.id));
    ASSERT_EQ(original.Save(u"C:\\Setup\\copy.bmp"), 1);
    std::vector<std::uint8_t> const bytes = fileBytes(u"C:\\Setup\\copy.bmp");
    ASSERT_EQ(bytes.size(), c.fileSize);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    BITMAPFILEHEADER fileHeader;
    std::memcpy(&fileHeader, bytes.data(), sizeof fileHeader);
    // The header is packed: copy its fields before comparing them.
    DWORD const fileSize = fileHeader.bfSize, pixelOffset = fileHeader.bfOffBits;
    EXPECT_EQ(fileSize, c.fileSize);
    EXPECT_EQ(pixelOffset, c.pixelOffset);
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data() + 14, sizeof header);
    EXPECT_EQ(header.biSizeImage, 0u);

    CDIBitmap copy;
    ASSERT_EQ(copy.Load(u"C:\\Setup\\copy.bmp"), 1);
    EXPECT_EQ(copy.IsFromFile(), 1);
    EXPECT_EQ(copy.GetWidth(), original.GetWidth());
    EXPECT_EQ(copy.GetHeight(), original.GetHeight());
    EXPECT_EQ(copy.GetBitCount(), original.GetBitCount());
    EXPECT_EQ(copy.GetPalette() != nullptr, original.GetPalette() != nullptr);
    Canvas a(6, 4, RGB(1, 2, 3)), b(6, 4, RGB(1, 2, 3));  // the pictures are at most 6 x 4
    original.DrawDIB(&a.dc(), 0, 0);
    copy.DrawDIB(&b.dc(), 0, 0);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 6; ++x) EXPECT_PIXEL(b, x, y, a.at(x, y));
    }
  }
}

TEST_F(DIBitmapTest, ReadsFromTheStreamsCurrentPosition) {
  CDIBitmap original;
  ASSERT_TRUE(loadResource(original, IDB_BARS));
  ASSERT_EQ(original.Save(u"C:\\Setup\\bars.bmp"), 1);
  std::vector<std::uint8_t> bytes = fileBytes(u"C:\\Setup\\bars.bmp");
  bytes.insert(bytes.begin(), 7, 0xEE);
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  file.Seek(7, CFile::begin);
  CDIBitmap dib;
  ASSERT_EQ(dib.Read(file), 1);
  Canvas canvas(6, 4, RGB(1, 2, 3));
  dib.DrawDIB(&canvas.dc(), 0, 0);
  EXPECT_PIXEL(canvas, 0, 0, kWhite);
  EXPECT_PIXEL(canvas, 5, 3, kBlue);
}

TEST_F(DIBitmapTest, BadStreamsAreRefusedAndLeaveTheObjectEmpty) {
  CDIBitmap original;
  ASSERT_TRUE(loadResource(original, IDB_BARS));
  ASSERT_EQ(original.Save(u"C:\\Setup\\bars.bmp"), 1);
  std::vector<std::uint8_t> const good = fileBytes(u"C:\\Setup\\bars.bmp");
  ASSERT_EQ(good.size(), 134u);

  auto put32 = [](std::vector<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
    return bytes;
  };
  auto put16 = [](std::vector<std::uint8_t> bytes, std::size_t at, std::uint16_t value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
    return bytes;
  };
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  } const kCases[] = {
      {"empty", {}},
      {"not starting with BM", put16(good, 0, 0x4142)},
      {"an OS/2 header of 12 bytes", put32(good, 14, 12)},
      {"a header of 108 bytes", put32(good, 14, 108)},
      {"cut short", std::vector<std::uint8_t>(good.begin(), good.end() - 1)},
      {"only the file header", std::vector<std::uint8_t>(good.begin(), good.begin() + 14)},
      {"a file size before the pixel offset", put32(good, 2, 40)},
      {"a pixel offset inside the headers", put32(good, 10, 20)},
      {"a file size past the stream", put32(good, 2, 0x7FFFFFFF)},
      {"rows longer than the pixel data", put32(good, 18, 7)},
      {"more rows than the pixel data", put32(good, 22, 5)},
      {"a huge picture", put32(put32(good, 18, 0x7FFFFFFF), 22, 0x7FFFFFFF)},
      {"a zero width", put32(good, 18, 0)},
      {"run-length compression", put32(good, 30, BI_RLE8)},
      {"an unknown depth", put16(good, 28, 7)},
      {"a colour table past 256 entries", put32(put16(good, 28, 8), 46, 300)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CDIBitmap dib;
    ASSERT_TRUE(loadResource(dib, IDB_PALETTE));
    EXPECT_EQ(readBytes(dib, c.bytes), 0);
    EXPECT_FALSE(dib.IsValid());
    EXPECT_EQ(dib.GetHeaderPtr(), nullptr);
    EXPECT_EQ(dib.GetPixelPtr(), nullptr);
    EXPECT_EQ(dib.GetWidth(), 0);
    // Drawing an empty picture does nothing.
    Canvas canvas(2, 2, kWhite);
    dib.DrawDIB(&canvas.dc(), 0, 0, 2, 2);
    EXPECT_PIXEL(canvas, 0, 0, kWhite);
  }
  CDIBitmap dib;
  EXPECT_EQ(readBytes(dib, good), 1);
}

TEST_F(DIBitmapTest, MissingFilesFailToLoadAndSave) {
  CDIBitmap dib;
  EXPECT_EQ(dib.Load(u"C:\\Setup\\missing.bmp"), 0);
  EXPECT_FALSE(dib.IsValid());
  EXPECT_EQ(dib.Save(u"C:\\Setup\\empty.bmp"), 0);  // nothing to write
  ASSERT_TRUE(loadResource(dib, IDB_BARS));
  EXPECT_EQ(dib.Save(u"C:\\No such folder\\bars.bmp"), 0);
}

TEST_F(DIBitmapTest, ABitmapThatCannotBeQueriedLeavesTheObjectEmpty) {
  CDIBitmap dib;
  ASSERT_TRUE(loadResource(dib, IDB_BARS));
  CDC screen;
  screen.CreateCompatibleDC(nullptr);
  EXPECT_EQ(dib.LoadFromBitmap(nullptr, &screen), 0);
  EXPECT_FALSE(dib.IsValid());
  EXPECT_EQ(dib.GetPalette(), nullptr);
}

}  // namespace
