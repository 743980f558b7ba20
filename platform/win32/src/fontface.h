// Realised fonts: a logical font mapped to one of the Liberation faces,
// scaled as GDI scales TrueType fonts, with its metrics and anti-aliased
// glyphs. The only file that touches FreeType is fontface.cpp.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "win32/gdi.h"
#include "winsim/expected.h"

namespace winsim::font {

/// Metrics in pixels, as TEXTMETRICW reports them.
struct Metrics {
  int ascent = 0;
  int descent = 0;
  int height = 0;  // ascent + descent: the cell height
  int internalLeading = 0;
  int externalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  int weight = FW_NORMAL;
  bool fixedPitch = false;
  BYTE family = FF_SWISS;
  int underlinePosition = 1;  // pixels below the baseline to the underline's top
  int underlineThickness = 1;
  int strikeoutPosition = 0;  // pixels above the baseline
};

/// One glyph's coverage bitmap (0 = background, 255 = ink).
struct Glyph {
  int left = 0;  // from the pen position to the bitmap's left edge
  int top = 0;   // from the baseline up to the bitmap's top edge
  int width = 0;
  int height = 0;
  int advance = 0;
  std::vector<std::uint8_t> coverage;
};

/// The font file a logical font maps to, or an empty path when none exists.
std::filesystem::path faceFile(const LOGFONTW& font);

class Face {
 public:
  /// The realised face for a logical font; shared by every font object of the
  /// same file and height.
  static Expected<std::shared_ptr<Face>> realize(const LOGFONTW& font);
  ~Face();
  Face(const Face&) = delete;
  Face& operator=(const Face&) = delete;

  const Metrics& metrics() const { return m_metrics; }
  /// A glyph by code point; characters below U+0020 are empty and have no
  /// width. Safe from any thread.
  const Glyph& glyph(char32_t c);
  int advance(char32_t c) { return glyph(c).advance; }

 private:
  struct Private;
  explicit Face(std::unique_ptr<Private> p);

  std::unique_ptr<Private> m_private;
  Metrics m_metrics;
  std::unordered_map<char32_t, std::unique_ptr<Glyph>> m_glyphs;  // guarded by the FreeType lock
};

}  // namespace winsim::font
