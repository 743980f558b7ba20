// 32-bit pixel surfaces, the simulated display, and the seam through which the
// window layer gets device contexts for its windows.
//
// A Surface holds pixels the way a 32-bit DIB section stores them: blue,
// green, red and a fourth byte per pixel (GDI writes that byte as 0; alpha
// blending and 32-bit icons read it). Rows are addressed top-down whatever the
// memory order, so a bottom-up DIB section is a view with a negative stride.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "win32/gdi.h"
#include "win32/types.h"
#include "winsim/expected.h"

namespace winsim {

/// One pixel: 0xAARRGGBB, that is bytes B, G, R, A in memory.
using Pixel = std::uint32_t;

/// The pixel GDI writes for a colour (fourth byte 0).
constexpr Pixel pixelFromColor(COLORREF color) {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
constexpr COLORREF colorFromPixel(Pixel pixel) {
  return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
}

class Surface {
 public:
  /// Largest surface in bytes; bigger requests fail instead of allocating.
  static constexpr std::size_t kMaxBytes = std::size_t{256} << 20;

  /// An owned, top-down surface with every pixel 0; an error for an empty or
  /// oversized request.
  static Expected<std::shared_ptr<Surface>> create(int width, int height);
  /// A view over pixel rows owned elsewhere (a 32-bit DIB section's bits).
  /// `stride` is the distance in bytes from one row to the next lower one on
  /// screen: negative for a bottom-up DIB, whose `topRow` is its last row.
  static std::shared_ptr<Surface> view(void* topRow, int width, int height, std::ptrdiff_t stride);

  int width() const { return m_width; }
  int height() const { return m_height; }
  RECT bounds() const { return RECT{0, 0, m_width, m_height}; }

  Pixel* row(int y) { return reinterpret_cast<Pixel*>(m_top + y * m_stride); }
  const Pixel* row(int y) const { return reinterpret_cast<const Pixel*>(m_top + y * m_stride); }
  Pixel pixel(int x, int y) const { return row(y)[x]; }
  void setPixel(int x, int y, Pixel value) { row(y)[x] = value; }
  void fill(Pixel value);

 private:
  Surface(std::byte* top, int width, int height, std::ptrdiff_t stride)
      : m_top(top), m_width(width), m_height(height), m_stride(stride) {}

  std::vector<Pixel> m_owned;
  std::byte* m_top;
  int m_width;
  int m_height;
  std::ptrdiff_t m_stride;
};

/// The simulated true-colour display, 1024 x 768 unless resized. GetDC(nullptr)
/// draws into it; screenshots are taken from it.
std::shared_ptr<Surface> virtualScreen();
/// Gives the display a new size; the new screen shows the desktop colour.
/// Device contexts taken before keep drawing into the old surface.
Status setVirtualScreenSize(int width, int height);

/// Where a window's device context draws: `origin` is the surface position
/// of the context's device point (0, 0) (the window's client corner), `clip`
/// the part of the surface it may touch (the visible window, or the update
/// rectangle while painting).
struct SurfaceTarget {
  std::shared_ptr<Surface> surface;
  POINT origin{0, 0};
  RECT clip{0, 0, 0, 0};
  HWND window = nullptr;
};

/// A device context over a surface, for the window layer (GetDC, BeginPaint).
/// ReleaseDC or DeleteDC frees it.
HDC createSurfaceDC(const SurfaceTarget& target);

/// The window layer answers GetDC(hwnd) for a window through this provider
/// (typically with createSurfaceDC); without one, GetDC of a window fails.
using WindowDCProvider = std::function<HDC(HWND)>;
void setWindowDCProvider(WindowDCProvider provider);

}  // namespace winsim
