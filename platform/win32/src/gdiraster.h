// The raster engine: ternary raster operations, brush fills, block transfers
// with stretching, alpha blending. Works on surface coordinates; callers
// convert from their device context first.
#pragma once

#include <cstdint>

#include "gdidc.h"
#include "gdiobjects.h"
#include "winsim/surface.h"

namespace winsim::gdi {

/// What a brush paints at each surface pixel of one context.
struct Paint {
  enum class Kind { None, Solid, Pattern } kind = Kind::None;
  Pixel solid = 0;
  const Surface* pattern = nullptr;
  POINT origin{0, 0};  // surface position of the pattern's corner
  bool monochrome = false;
  Pixel fore = 0, back = 0;  // a monochrome pattern's black and white

  Pixel at(int x, int y) const;
};

/// The paint of a brush as `dc` draws it.
Paint paintOf(const BrushObject* brush, const DeviceContext& dc);
Paint solidPaint(COLORREF color);
/// A solid paint of a pixel value as it is (text and pen pixels).
Paint pixelPaint(Pixel pixel);

/// The truth-table byte of a ternary raster operation.
constexpr std::uint8_t ropTable(DWORD rop) { return static_cast<std::uint8_t>((rop >> 16) & 0xFF); }
constexpr bool ropUsesSource(DWORD rop) {
  std::uint8_t const t = ropTable(rop);
  return ((t >> 2) & 0x33) != (t & 0x33);
}
constexpr bool ropUsesPattern(DWORD rop) {
  std::uint8_t const t = ropTable(rop);
  return ((t >> 4) & 0x0F) != (t & 0x0F);
}
Pixel applyRop(std::uint8_t table, Pixel pattern, Pixel source, Pixel destination);

/// Fills a rectangle (surface coordinates) through the clip with a raster
/// operation over pattern and destination.
void fill(Target target, RECT rect, const Paint& paint, DWORD rop = PATCOPY);

/// Where block-transfer source pixels come from and how their colours change
/// on the way (monochrome to colour and back, as GDI converts them).
struct Source {
  const Surface* surface = nullptr;
  enum class Convert { None, MonoToColor, ColorToMono } convert = Convert::None;
  Pixel fore = 0, back = 0;  // MonoToColor: black becomes fore, white becomes back
  Pixel key = 0;             // ColorToMono: this colour becomes white, others black
};

enum class Sampling { Nearest, Halftone };

/// Transfers `src` (source surface coordinates; a negative width or height
/// mirrors) onto `dst` (surface coordinates; likewise) with a raster
/// operation. Parts of the source outside its surface leave the destination
/// alone.
void transfer(Target target, RECT dst, const Source& source, RECT src, DWORD rop, const Paint& paint,
              Sampling sampling);

/// Alpha-blends `src` onto `dst`, stretching with nearest sampling.
/// Rounds each channel to nearest: dst = (src*a + dst*(255 - a) + 127) / 255.
void blend(Target target, RECT dst, const Surface& source, RECT src, BLENDFUNCTION function);

/// Blends `color` onto a pixel with coverage 0..255 (anti-aliased glyphs,
/// non-premultiplied icon alpha).
Pixel mix(Pixel destination, Pixel color, unsigned coverage);

}  // namespace winsim::gdi
