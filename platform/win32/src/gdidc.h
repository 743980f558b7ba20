// Device contexts: the drawing state (colours, modes, origins, clip, selected
// objects) and the pixels one drawing call works on.
//
// Coordinates: a logical point becomes a device point by the window and
// viewport origins (MM_TEXT, no scaling); a device point becomes a surface
// point by the context's origin (0 for memory contexts and the screen, the
// client corner for a window's context).
#pragma once

#include <memory>
#include <optional>

#include "gdibitmap.h"
#include "gdiobjects.h"
#include "winsim/surface.h"

namespace winsim {
/// The window layer's provider for GetDC of a window (surface.cpp).
WindowDCProvider windowDCProvider();
}  // namespace winsim

namespace winsim::gdi {

/// Pixels to draw on and the part of them a call may touch (surface
/// coordinates, inside the surface).
struct Target {
  Surface& surface;
  RECT clip;
};

class DeviceContext : public Object {
 public:
  static constexpr Kind kKind = Kind::DeviceContext;

  /// A memory context with the stock 1x1 monochrome bitmap selected.
  static std::shared_ptr<DeviceContext> createMemory();
  /// A context over a surface (the screen, a window).
  static std::shared_ptr<DeviceContext> createOnSurface(const SurfaceTarget& target);
  ~DeviceContext() override;

  bool isMemory() const { return !m_surfaceTarget.surface; }
  const SurfaceTarget& surfaceTarget() const { return m_surfaceTarget; }

  POINT toDevice(int x, int y) const {
    return POINT{x - m_windowOrigin.x + m_viewportOrigin.x, y - m_windowOrigin.y + m_viewportOrigin.y};
  }
  POINT toLogical(POINT device) const {
    return POINT{device.x + m_windowOrigin.x - m_viewportOrigin.x, device.y + m_windowOrigin.y - m_viewportOrigin.y};
  }
  /// Surface position of device point (0, 0).
  POINT origin() const { return m_surfaceTarget.surface ? m_surfaceTarget.origin : POINT{0, 0}; }
  POINT toSurface(int x, int y) const {
    POINT const d = toDevice(x, y);
    POINT const o = origin();
    return POINT{d.x + o.x, d.y + o.y};
  }
  /// A logical rectangle on the surface, normalised.
  RECT toSurface(const RECT& logical) const;

  /// The clip rectangle in surface coordinates (empty when nothing can be drawn).
  RECT surfaceClip();

  // Drawing state.
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int stretchMode = BLACKONWHITE;
  POINT brushOrigin{0, 0};  // device coordinates
  POINT position{0, 0};     // current position for LineTo, logical
  POINT& windowOrigin() { return m_windowOrigin; }
  POINT& viewportOrigin() { return m_viewportOrigin; }
  /// The application's clip (IntersectClipRect), device coordinates.
  std::optional<RECT> clip;

  // Selected objects; changed only through select().
  const std::shared_ptr<BitmapObject>& bitmap() const { return m_bitmap; }
  const std::shared_ptr<BrushObject>& brush() const { return m_brush; }
  const std::shared_ptr<PenObject>& pen() const { return m_pen; }
  const std::shared_ptr<FontObject>& font() const { return m_font; }
  const std::shared_ptr<PaletteObject>& palette() const { return m_palette; }

  /// Selects an object and returns the one it replaces; null when the object
  /// cannot be selected here (a bitmap selected elsewhere, a bitmap into a
  /// screen context, a palette through SelectObject).
  std::shared_ptr<Object> select(const std::shared_ptr<Object>& object);
  std::shared_ptr<PaletteObject> selectPalette(const std::shared_ptr<PaletteObject>& palette);

 private:
  DeviceContext() : Object(kKind) {}

  SurfaceTarget m_surfaceTarget;
  POINT m_windowOrigin{0, 0};
  POINT m_viewportOrigin{0, 0};
  std::shared_ptr<BitmapObject> m_bitmap;
  std::shared_ptr<BrushObject> m_brush;
  std::shared_ptr<PenObject> m_pen;
  std::shared_ptr<FontObject> m_font;
  std::shared_ptr<PaletteObject> m_palette;
};

/// The pixels of a device context for one drawing call. With Access::Write,
/// what was drawn is stored back into the selected bitmap's bits when the
/// canvas ends.
class Canvas {
 public:
  enum class Access { Read, Write };
  Canvas(DeviceContext& dc, Access access);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  Surface& surface() { return *m_surface; }
  const RECT& clip() const { return m_clip; }
  Target target() { return Target{*m_surface, m_clip}; }
  /// The context's bitmap is monochrome: colours drawn become black or white.
  bool monochrome() const { return m_monochrome; }

 private:
  Access m_access;
  std::shared_ptr<BitmapObject> m_bitmap;  // held for the call
  std::shared_ptr<Surface> m_hold;
  Surface* m_surface;
  RECT m_clip;
  bool m_monochrome = false;
};

RECT intersect(const RECT& a, const RECT& b);
bool isEmpty(const RECT& r);

}  // namespace winsim::gdi
