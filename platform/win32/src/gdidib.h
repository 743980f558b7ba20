// Device-independent bitmap formats: reading a bitmap-info block that a
// caller gives GDI, and converting DIB rows to and from 32-bit pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "win32/gdi.h"
#include "winsim/expected.h"
#include "winsim/surface.h"

namespace winsim::gdi {

/// Largest width or height of a bitmap.
constexpr int kMaxBitmapSide = 32767;

/// How the rows of a DIB lie in memory.
struct DibLayout {
  int width = 0;
  int height = 0;  // number of rows, positive
  bool topDown = false;
  int bitCount = 0;
  DWORD compression = BI_RGB;
  DWORD masks[3] = {0, 0, 0};   // red, green, blue: 16 and 32 bits per pixel
  std::vector<RGBQUAD> colors;  // 1, 4 and 8 bits per pixel
  std::size_t stride = 0;       // bytes per row, a multiple of 4

  std::size_t imageBytes() const { return stride * static_cast<std::size_t>(height); }
  /// Memory row of an image row counted from the top.
  int memoryRow(int y) const { return topDown ? y : height - 1 - y; }
  /// Rows are exactly our 32-bit pixels (B, G, R, fourth byte).
  bool isPixelFormat() const;
};

/// Checks a bitmap-info block and reads its layout. The colour table is taken
/// from behind the header as the header describes it (the caller owns that
/// memory, as on the platform); RLE and OS/2 headers are refused.
Expected<DibLayout> readDibLayout(const BITMAPINFO* info, UINT usage);

/// A layout we make ourselves (DDBs, GetDIBits output).
Expected<DibLayout> makeDibLayout(int width, int height, bool topDown, int bitCount, std::vector<RGBQUAD> colors);

/// The colour table GDI uses for a palette-based format when the bitmap has
/// none of its own: black and white; the 16 VGA colours; for 8 bits the 6x6x6
/// colour cube followed by a grey ramp.
std::vector<RGBQUAD> defaultColorTable(int bitCount);

/// Nearest table entry for each colour, remembered across the rows of one
/// conversion.
class Quantizer {
 public:
  explicit Quantizer(const std::vector<RGBQUAD>& colors) : m_colors(colors) {}
  unsigned index(Pixel pixel);

 private:
  const std::vector<RGBQUAD>& m_colors;
  std::unordered_map<Pixel, unsigned> m_cache;
};

/// One memory row of `layout` to `layout.width` pixels.
void decodeRow(const DibLayout& layout, const std::uint8_t* in, Pixel* out);
/// `count` pixels into one memory row of `layout` (the rest of the row is 0).
void encodeRow(const Pixel* in, int count, const DibLayout& layout, std::uint8_t* out, Quantizer& quantizer);

}  // namespace winsim::gdi
