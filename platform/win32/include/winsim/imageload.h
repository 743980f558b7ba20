// The checked readers of pictures behind LoadImageW (win32/image.h): packed
// DIBs (RT_BITMAP), .bmp files, icon and cursor directories and their images,
// and the GDI objects made of them. The fuzz target and tests use them
// directly.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "win32/gdi.h"
#include "winsim/expected.h"

namespace winsim::image {

/// A picture's rows and the bitmap-info block GDI reads them with.
struct Dib {
  /// The header, masks and colour table, in aligned memory (biSizeImage 0).
  std::vector<std::uint32_t> info;
  /// stride x rows bytes, inside the bytes that were read.
  std::span<const std::uint8_t> bits;
  int width = 0;
  int rows = 0;
  int bitCount = 0;
  std::size_t stride = 0;

  const BITMAPINFO* bitmapInfo() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
};

/// A packed DIB: the header, then masks and colour table, then the rows.
Expected<Dib> readPackedDib(std::span<const std::uint8_t> bytes);
/// A .bmp file: the 14-byte file header ("BM"), a packed DIB, the rows where
/// the file header says.
Expected<Dib> readBmpFile(std::span<const std::uint8_t> bytes);

enum class IconKind { Icon = 1, Cursor = 2 };

/// The image ids of an icon or cursor directory, in its order.
Expected<std::vector<WORD>> readIconDirectory(std::span<const std::uint8_t> bytes, IconKind kind);

/// One icon or cursor image: the colour picture (half the stored height),
/// its AND mask (1 bit per pixel, bottom-up, 1 = transparent) and, for a
/// cursor, the hot spot that precedes it.
struct IconImage {
  Dib color;
  std::span<const std::uint8_t> mask;
  std::size_t maskStride = 0;
  POINT hotspot{0, 0};
};
Expected<IconImage> readIconImage(std::span<const std::uint8_t> bytes, IconKind kind);

struct ImageSize {
  int width = 0;
  int height = 0;
  int bitCount = 0;
};
/// The index of the image LoadImageW takes for a size (see win32/image.h);
/// `sizes` is not empty.
std::size_t nearestImage(std::span<const ImageSize> sizes, int cx, int cy);

/// A bitmap of the picture at cx x cy (0: its own width or height), with
/// LoadImageW's LR_CREATEDIBSECTION and LR_MONOCHROME.
Expected<HBITMAP> makeBitmap(const Dib& dib, int cx, int cy, UINT flags);
/// An icon or cursor of the image at cx x cy (0: its own size).
Expected<HICON> makeIcon(const IconImage& image, int cx, int cy, IconKind kind);

}  // namespace winsim::image
