// Images of HTML pages: BMP files and RT_BITMAP resources (a BMP file without
// its 14-byte file header), checked against their size and turned into 32-bit
// DIB sections by the GDI layer's own DIB conversion (StretchDIBits).
#include <cstdint>
#include <cstring>
#include <vector>

#include "htmlviewcontainer.h"
#include "win32/errors.h"

namespace winsim::html {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kV4HeaderSize = 108;
constexpr std::uint32_t kV5HeaderSize = 124;
constexpr std::size_t kMaskBytes = 12;
constexpr int kLargestSide = 16384;
constexpr std::int64_t kLargestPixels = std::int64_t{16} << 20;

std::uint32_t read32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}
std::uint16_t read16(std::string_view bytes, std::size_t at) {
  std::uint16_t value = 0;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

Error damaged(const char* why) { return makeError(ERROR_INVALID_DATA, std::string("image not shown: ") + why); }

}  // namespace

Expected<std::unique_ptr<Image>> Image::decode(std::string_view bytes) {
  std::size_t header = 0;
  std::optional<std::uint32_t> bitsAt;
  if (bytes.size() >= kFileHeaderSize && bytes[0] == 'B' && bytes[1] == 'M') {
    bitsAt = read32(bytes, 10);
    header = kFileHeaderSize;
  }
  if (bytes.size() < header + kInfoHeaderSize) return damaged("too short for a bitmap");
  std::uint32_t const headerSize = read32(bytes, header);
  if (headerSize != kInfoHeaderSize && headerSize != kV4HeaderSize && headerSize != kV5HeaderSize)
    return damaged("not a Windows bitmap header");
  if (bytes.size() < header + headerSize) return damaged("header cut short");

  auto const width = static_cast<std::int32_t>(read32(bytes, header + 4));
  auto const height = static_cast<std::int32_t>(read32(bytes, header + 8));
  int const bitCount = read16(bytes, header + 14);
  std::uint32_t const compression = read32(bytes, header + 16);
  std::uint32_t const colorsUsed = read32(bytes, header + 32);
  std::int64_t const rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
  if (width <= 0 || rows == 0 || width > kLargestSide || rows > kLargestSide || width * rows > kLargestPixels)
    return damaged("size out of range");
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    return damaged("unknown pixel format");
  if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32)))
    return damaged("compressed bitmaps are not supported");

  // The header as GDI reads it: 40 bytes, the masks, the colour table.
  std::size_t const colors = bitCount <= 8 ? (colorsUsed != 0 ? colorsUsed : std::size_t{1} << bitCount) : 0;
  if (colors > 256) return damaged("colour table too large");
  bool const masks = compression == BI_BITFIELDS;
  std::size_t const tableAt = header + headerSize + (masks && headerSize == kInfoHeaderSize ? kMaskBytes : 0);
  if (bytes.size() < tableAt + colors * 4) return damaged("colour table cut short");
  std::vector<std::uint32_t> info((kInfoHeaderSize + kMaskBytes + colors * 4) / 4);
  auto* infoBytes = reinterpret_cast<char*>(info.data());
  std::memcpy(infoBytes, bytes.data() + header, kInfoHeaderSize);
  std::memcpy(infoBytes, &kInfoHeaderSize, sizeof kInfoHeaderSize);
  std::size_t infoEnd = kInfoHeaderSize;
  if (masks) {
    // A 40-byte header is followed by its masks; later headers hold them.
    std::memcpy(infoBytes + infoEnd, bytes.data() + header + kInfoHeaderSize, kMaskBytes);
    infoEnd += kMaskBytes;
  }
  std::memcpy(infoBytes + infoEnd, bytes.data() + tableAt, colors * 4);

  std::size_t const stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
  std::size_t const imageBytes = stride * static_cast<std::size_t>(rows);
  std::size_t const bitsStart = bitsAt ? *bitsAt : tableAt + colors * 4;
  if (bitsStart > bytes.size() || bytes.size() - bitsStart < imageBytes) return damaged("pixels cut short");
  std::vector<std::uint32_t> bits((imageBytes + 3) / 4);
  std::memcpy(bits.data(), bytes.data() + bitsStart, imageBytes);

  BITMAPINFO target{};
  target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  target.bmiHeader.biWidth = width;
  target.bmiHeader.biHeight = -static_cast<LONG>(rows);
  target.bmiHeader.biPlanes = 1;
  target.bmiHeader.biBitCount = 32;
  target.bmiHeader.biCompression = BI_RGB;
  HDC const dc = CreateCompatibleDC(nullptr);
  void* pixels = nullptr;
  HBITMAP const bitmap = CreateDIBSection(dc, &target, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bitmap == nullptr) {
    DeleteDC(dc);
    return damaged("no memory for its pixels");
  }
  HGDIOBJ const old = SelectObject(dc, bitmap);
  int const copied =
      StretchDIBits(dc, 0, 0, width, static_cast<int>(rows), 0, 0, width, static_cast<int>(rows), bits.data(),
                    reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
  if (copied == 0 || copied == GDI_ERROR) {
    DeleteObject(bitmap);
    return damaged("its pixels cannot be read");
  }
  return std::unique_ptr<Image>(new Image(bitmap, width, static_cast<int>(rows)));
}

Image::~Image() { DeleteObject(m_bitmap); }

}  // namespace winsim::html
