// Packed DIBs and .bmp files: every field checked against the bytes before
// GDI sees them, then made into bitmaps by GDI's own DIB conversion.
#include <cstring>
#include <limits>

#include "gdidib.h"
#include "imageloadbytes.h"
#include "win32/errors.h"
#include "winsim/imageload.h"

namespace winsim::image {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::size_t kMaskBytes = 12;
constexpr std::uint32_t kMaxColors = 256;
constexpr WORD kBitmapType = 0x4D42;  // "BM"

bool knownHeaderSize(std::uint32_t size) {
  // The classic header, the two that add masks, and the V4 and V5 headers.
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

}  // namespace

Expected<Dib> readDibAt(std::span<const std::uint8_t> bytes, std::size_t start, std::optional<std::size_t> bitsAt,
                        DibUse use) {
  std::uint32_t headerSize = 0;
  if (!readAt(bytes, start, headerSize)) return damaged("too short for a bitmap header");
  if (headerSize == kCoreHeaderSize) return damaged("OS/2 bitmap headers are not read");
  if (!knownHeaderSize(headerSize)) return damaged("unknown bitmap header size");
  if (bytes.size() - start < headerSize) return damaged("bitmap header cut short");

  BITMAPINFOHEADER header{};
  std::memcpy(&header, bytes.data() + start, sizeof header);
  if (header.biPlanes != 1) return damaged("bitmap with more than one plane");
  int const bits = header.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return damaged("unknown pixel format");
  bool const masks = header.biCompression == BI_BITFIELDS && (bits == 16 || bits == 32);
  if (header.biCompression != BI_RGB && !masks) return damaged("compressed bitmaps are not read");
  if (use == DibUse::IconImage && masks) return damaged("icon images are not compressed");
  if (header.biWidth <= 0 || header.biWidth > gdi::kMaxBitmapSide) return damaged("bitmap width out of range");
  if (header.biHeight == 0 || header.biHeight == std::numeric_limits<LONG>::min())
    return damaged("bitmap height out of range");
  LONG rows = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  if (use == DibUse::IconImage) {
    // The colour rows and the mask rows: twice the picture's height,
    // bottom-up.
    if (header.biHeight < 0 || rows % 2 != 0) return damaged("icon image height is not twice a height");
    rows /= 2;
  }
  if (rows > gdi::kMaxBitmapSide) return damaged("bitmap height out of range");
  if (header.biClrUsed > kMaxColors) return damaged("colour table too large");

  std::size_t const colors = bits <= 8 && header.biClrUsed == 0 ? std::size_t{1} << bits : header.biClrUsed;
  std::size_t const maskBytes = masks && headerSize == kInfoHeaderSize ? kMaskBytes : 0;
  std::size_t const infoBytes = headerSize + maskBytes + colors * 4;
  if (bytes.size() - start < infoBytes) return damaged("colour table cut short");

  Dib dib;
  dib.width = header.biWidth;
  dib.rows = static_cast<int>(rows);
  dib.bitCount = bits;
  dib.stride = ((static_cast<std::size_t>(dib.width) * static_cast<std::size_t>(bits) + 31) / 32) * 4;
  // One spare entry: GDI's structure always has room for one colour.
  dib.info.assign((infoBytes + sizeof(RGBQUAD) + 3) / 4, 0);
  auto* info = reinterpret_cast<std::uint8_t*>(dib.info.data());
  std::memcpy(info, bytes.data() + start, infoBytes);
  auto* copied = reinterpret_cast<BITMAPINFOHEADER*>(info);
  copied->biSizeImage = 0;  // the rows are measured here, not taken on trust
  if (use == DibUse::IconImage) copied->biHeight = rows;

  std::size_t const first = bitsAt ? *bitsAt : start + infoBytes;
  std::size_t const imageBytes = dib.stride * static_cast<std::size_t>(dib.rows);
  if (first > bytes.size() || bytes.size() - first < imageBytes) return damaged("bitmap rows cut short");
  dib.bits = bytes.subspan(first, imageBytes);

  // What GDI itself would refuse (colour masks, sizes) is refused here.
  auto layout = gdi::readDibLayout(dib.bitmapInfo(), DIB_RGB_COLORS);
  if (!layout) return damaged(layout.error().message.c_str());
  return dib;
}

Expected<Dib> readPackedDib(std::span<const std::uint8_t> bytes) {
  return readDibAt(bytes, 0, std::nullopt, DibUse::Bitmap);
}

Expected<Dib> readBmpFile(std::span<const std::uint8_t> bytes) {
  WORD type = 0;
  std::uint32_t bitsAt = 0;
  if (!readAt(bytes, 0, type) || !readAt(bytes, 10, bitsAt) || bytes.size() < kFileHeaderSize)
    return damaged("too short for a bitmap file");
  if (type != kBitmapType) return damaged("not a bitmap file");
  // The rows may lie anywhere after the headers (writers leave gaps), but not
  // over the file header.
  if (bitsAt < kFileHeaderSize + kInfoHeaderSize) return damaged("bitmap rows placed over the headers");
  return readDibAt(bytes, kFileHeaderSize, std::size_t{bitsAt}, DibUse::Bitmap);
}

Expected<HBITMAP> makeBitmap(const Dib& dib, int cx, int cy, UINT flags) {
  if (cx < 0 || cy < 0) return makeError(ERROR_INVALID_PARAMETER, "negative bitmap size");
  int const width = cx != 0 ? cx : dib.width;
  int const height = cy != 0 ? cy : dib.rows;
  bool const section = (flags & LR_CREATEDIBSECTION) != 0 && (flags & LR_MONOCHROME) == 0;
  const BITMAPINFO* info = dib.bitmapInfo();

  if (section && width == dib.width && height == dib.rows) {
    // At its own size a DIB section takes the rows as they are.
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return makeError(GetLastError(), "no memory for the bitmap");
    std::memcpy(bits, dib.bits.data(), dib.bits.size());
    return bitmap;
  }

  HBITMAP bitmap = nullptr;
  if (section) {
    // The same format at the asked size.
    std::vector<std::uint32_t> resized = dib.info;
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(resized.data());
    header->biWidth = width;
    header->biHeight = header->biHeight < 0 ? -height : height;
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(resized.data()), DIB_RGB_COLORS, &bits,
                              nullptr, 0);
  } else {
    bitmap = CreateBitmap(width, height, 1, (flags & LR_MONOCHROME) ? 1 : 32, nullptr);
  }
  if (bitmap == nullptr) return makeError(GetLastError(), "no memory for the bitmap");
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ const old = dc ? SelectObject(dc, bitmap) : nullptr;
  int copied = 0;
  if (old != nullptr) {
    SetStretchBltMode(dc, COLORONCOLOR);
    copied = StretchDIBits(dc, 0, 0, width, height, 0, 0, dib.width, dib.rows, dib.bits.data(), info, DIB_RGB_COLORS,
                           SRCCOPY);
    SelectObject(dc, old);
  }
  if (dc) DeleteDC(dc);
  if (copied == 0 || copied == GDI_ERROR) {
    DWORD const error = GetLastError();
    DeleteObject(bitmap);
    return makeError(error != 0 ? error : ERROR_NOT_ENOUGH_MEMORY, "the bitmap's rows cannot be drawn");
  }
  return bitmap;
}

}  // namespace winsim::image
