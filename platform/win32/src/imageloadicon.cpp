// Icon and cursor directories and images: the directory's ids, each image's
// colour picture and AND mask, the choice of an image for a size, and the
// icon made of it.
#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "gdidib.h"
#include "imageloadbytes.h"
#include "winsim/surface.h"

namespace winsim::image {

namespace {

constexpr std::size_t kDirectoryHeaderSize = 6;
constexpr std::size_t kDirectoryEntrySize = 14;
constexpr std::size_t kEntryIdOffset = 12;
constexpr std::size_t kHotspotSize = 4;
constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

int nearest(int i, int count, int sourceCount) {
  return static_cast<int>(((2 * static_cast<long long>(i) + 1) * sourceCount) / (2 * static_cast<long long>(count)));
}

/// A 32-bit top-down DIB section holding the pixels.
HBITMAP pixelSection(int width, int height, const std::vector<Pixel>& pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr && bits != nullptr) std::memcpy(bits, pixels.data(), pixels.size() * sizeof(Pixel));
  return bitmap;
}

}  // namespace

Expected<std::vector<WORD>> readIconDirectory(std::span<const std::uint8_t> bytes, IconKind kind) {
  WORD reserved = 1, type = 0, count = 0;
  if (!readAt(bytes, 0, reserved) || !readAt(bytes, 2, type) || !readAt(bytes, 4, count))
    return damaged("too short for an icon directory");
  if (reserved != 0 || type != static_cast<WORD>(kind)) return damaged("not an icon or cursor directory");
  if (count == 0) return damaged("an icon directory without images");
  if ((bytes.size() - kDirectoryHeaderSize) / kDirectoryEntrySize < count) return damaged("icon directory cut short");
  std::vector<WORD> ids(count);
  for (std::size_t i = 0; i < count; ++i)
    readAt(bytes, kDirectoryHeaderSize + i * kDirectoryEntrySize + kEntryIdOffset, ids[i]);
  return ids;
}

Expected<IconImage> readIconImage(std::span<const std::uint8_t> bytes, IconKind kind) {
  IconImage image;
  std::size_t start = 0;
  if (kind == IconKind::Cursor) {
    WORD x = 0, y = 0;
    if (!readAt(bytes, 0, x) || !readAt(bytes, 2, y)) return damaged("too short for a cursor image");
    image.hotspot = POINT{x, y};
    start = kHotspotSize;
  }
  if (bytes.size() - start >= sizeof kPngSignature &&
      std::equal(std::begin(kPngSignature), std::end(kPngSignature), bytes.begin() + static_cast<long>(start)))
    return makeError(ERROR_NOT_SUPPORTED, "icon images stored as PNG are not read");
  auto color = readDibAt(bytes, start, std::nullopt, DibUse::IconImage);
  if (!color) return color.error();
  image.color = std::move(*color);
  image.maskStride = ((static_cast<std::size_t>(image.color.width) + 31) / 32) * 4;
  std::size_t const maskAt = static_cast<std::size_t>(image.color.bits.data() + image.color.bits.size() - bytes.data());
  std::size_t const maskBytes = image.maskStride * static_cast<std::size_t>(image.color.rows);
  if (bytes.size() - maskAt < maskBytes) return damaged("icon mask cut short");
  image.mask = bytes.subspan(maskAt, maskBytes);
  // A hot spot off the picture is harmless: it is kept on its edge.
  image.hotspot.x = std::min<LONG>(image.hotspot.x, image.color.width - 1);
  image.hotspot.y = std::min<LONG>(image.hotspot.y, image.color.rows - 1);
  return image;
}

std::size_t nearestImage(std::span<const ImageSize> sizes, int cx, int cy) {
  // Nearest first; at the same distance a larger image (shrunk, which loses
  // less) before a smaller one; then the deeper colour; then the first.
  auto key = [&](const ImageSize& s) {
    int const distance = std::max(std::abs(s.width - cx), std::abs(s.height - cy));
    bool const smaller = s.width < cx || s.height < cy;
    return std::tuple(distance, smaller, -s.bitCount);
  };
  std::size_t best = 0;
  for (std::size_t i = 1; i < sizes.size(); ++i)
    if (key(sizes[i]) < key(sizes[best])) best = i;
  return best;
}

Expected<HICON> makeIcon(const IconImage& image, int cx, int cy, IconKind kind) {
  if (cx < 0 || cy < 0) return makeError(ERROR_INVALID_PARAMETER, "negative icon size");
  const Dib& dib = image.color;
  int const width = cx != 0 ? cx : dib.width;
  int const height = cy != 0 ? cy : dib.rows;
  if (width > gdi::kMaxBitmapSide || height > gdi::kMaxBitmapSide ||
      static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * sizeof(Pixel) > Surface::kMaxBytes)
    return makeError(ERROR_INVALID_PARAMETER, "icon size out of range");
  if (static_cast<std::size_t>(dib.width) * static_cast<std::size_t>(dib.rows) * sizeof(Pixel) > Surface::kMaxBytes)
    return makeError(ERROR_NOT_ENOUGH_MEMORY, "icon picture too large");
  auto layout = gdi::readDibLayout(dib.bitmapInfo(), DIB_RGB_COLORS);
  if (!layout) return layout.error();

  // The picture and its mask as 32-bit pixels, top row first; a 32-bit
  // picture keeps its alpha, which then stands for the mask when drawn.
  std::vector<Pixel> picture(static_cast<std::size_t>(dib.width) * static_cast<std::size_t>(dib.rows));
  for (int y = 0; y < dib.rows; ++y)
    gdi::decodeRow(*layout, dib.bits.data() + static_cast<std::size_t>(layout->memoryRow(y)) * dib.stride,
                   picture.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(dib.width));
  auto transparent = [&](int x, int y) {
    const std::uint8_t* row = image.mask.data() + static_cast<std::size_t>(dib.rows - 1 - y) * image.maskStride;
    return (row[x / 8] >> (7 - x % 8)) & 1;
  };

  std::vector<Pixel> color(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  std::vector<Pixel> mask(color.size());
  for (int y = 0; y < height; ++y) {
    int const v = nearest(y, height, dib.rows);
    for (int x = 0; x < width; ++x) {
      int const u = nearest(x, width, dib.width);
      std::size_t const at =
          static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
      color[at] =
          picture[static_cast<std::size_t>(v) * static_cast<std::size_t>(dib.width) + static_cast<std::size_t>(u)];
      mask[at] = transparent(u, v) ? Pixel{0xFFFFFF} : Pixel{0};
    }
  }

  HBITMAP colorBitmap = pixelSection(width, height, color);
  HBITMAP maskBitmap = pixelSection(width, height, mask);
  HICON icon = nullptr;
  if (colorBitmap != nullptr && maskBitmap != nullptr) {
    auto const scaled = [](LONG at, int to, int from) {
      return static_cast<DWORD>(static_cast<long long>(at) * to / from);
    };
    ICONINFO info{kind == IconKind::Icon ? TRUE : FALSE, scaled(image.hotspot.x, width, dib.width),
                  scaled(image.hotspot.y, height, dib.rows), maskBitmap, colorBitmap};
    icon = CreateIconIndirect(&info);
  }
  DWORD const error = GetLastError();
  if (colorBitmap != nullptr) DeleteObject(colorBitmap);
  if (maskBitmap != nullptr) DeleteObject(maskBitmap);
  if (icon == nullptr) return makeError(error != 0 ? error : ERROR_NOT_ENOUGH_MEMORY, "no memory for the icon");
  return icon;
}

}  // namespace winsim::image
