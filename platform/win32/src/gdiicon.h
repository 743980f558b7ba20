// Icons and cursors: a colour picture with an AND mask, or a monochrome
// picture whose mask holds the AND half above the XOR half.
#pragma once

#include <memory>

#include "gdidc.h"
#include "gdiobjects.h"
#include "winsim/surface.h"

namespace winsim::gdi {

class IconObject : public Object {
 public:
  static constexpr Kind kKind = Kind::Icon;

  IconObject() : Object(kKind) {}

  bool isIcon = true;
  POINT hotspot{0, 0};
  int width = 0;
  int height = 0;
  /// Null for a monochrome icon.
  std::shared_ptr<const Surface> color;
  /// White keeps the destination, black lets the picture replace it. Twice
  /// the height for a monochrome icon.
  std::shared_ptr<const Surface> mask;
  /// The colour picture carries per-pixel alpha (a 32-bit icon), which
  /// replaces the mask when drawn normally.
  bool alpha = false;
};

/// Draws an icon into `dst` (surface coordinates), stretched to it, with
/// DrawIconEx's DI_MASK / DI_IMAGE flags.
void drawIcon(Target target, RECT dst, const IconObject& icon, UINT flags);

}  // namespace winsim::gdi
