// Bitmap objects: device-dependent bitmaps (32-bit, or monochrome) and DIB
// sections of 1 to 32 bits per pixel whose bits the caller reads and writes.
//
// Drawing always happens on 32-bit pixels. A 32-bit DIB section and a 32-bit
// device bitmap are drawn on directly; any other format keeps its own bits and
// a 32-bit copy that GDI brings up to date before it reads (the caller may have
// written the bits since) and stores back, quantised, after it draws.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gdidib.h"
#include "gdiobjects.h"
#include "winsim/expected.h"
#include "winsim/surface.h"

namespace winsim::gdi {

class BitmapObject : public Object {
 public:
  static constexpr Kind kKind = Kind::Bitmap;

  /// A device bitmap compatible with the display (32 bits) or monochrome.
  enum class Device { TrueColor, Monochrome };
  static Expected<std::shared_ptr<BitmapObject>> createDevice(int width, int height, Device device);
  /// A DIB section of the layout, bits all zero.
  static Expected<std::shared_ptr<BitmapObject>> createSection(DibLayout layout);

  int width() const { return m_layout.width; }
  int height() const { return m_layout.height; }
  int bitCount() const { return m_layout.bitCount; }
  bool isMonochrome() const { return !m_section && m_layout.bitCount == 1; }
  bool isSection() const { return m_section; }
  const DibLayout& layout() const { return m_layout; }

  /// The bits as the layout stores them; current after pixels() or stored().
  std::uint8_t* bits() { return reinterpret_cast<std::uint8_t*>(m_bits.data()); }
  /// 32-bit pixels, brought up to date with the bits.
  Surface& pixels();
  /// Stores the 32-bit pixels back into the bits after drawing on them.
  void stored();

  BITMAP bitmapInfo();
  DIBSECTION sectionInfo();

  /// A new device bitmap with the same pixels (icons and pattern brushes keep
  /// their own copies). Monochrome stays monochrome.
  Expected<std::shared_ptr<BitmapObject>> copy();

 private:
  BitmapObject(DibLayout layout, bool section) : Object(kKind), m_layout(std::move(layout)), m_section(section) {}
  Status allocate();

  DibLayout m_layout;
  bool m_section;
  std::vector<std::uint32_t> m_bits;       // DWORD-aligned rows
  std::shared_ptr<Surface> m_pixels;       // a view over m_bits when they are 32-bit pixels
  std::vector<std::uint32_t> m_converted;  // the bits as they were when m_pixels was last made from them
};

/// The stock 1x1 monochrome bitmap of a new memory context.
std::shared_ptr<BitmapObject> defaultBitmap();

}  // namespace winsim::gdi
