// Text drawing shared by TextOutW, ExtTextOutW, DrawTextW and DrawStateW.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "fontface.h"
#include "gdidc.h"

namespace winsim::gdi {

/// Code points of UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::u32string codePoints(std::u16string_view text);

/// The realised face of the context's font; null, with the last error set,
/// when the font has no face on this machine.
std::shared_ptr<font::Face> faceOf(DeviceContext& dc);

/// Sum of advances.
int measure(font::Face& face, std::u32string_view text);

/// Blends one glyph in `color` with its pen position at (x, baseline).
void drawGlyph(Target target, const font::Glyph& glyph, int x, int baseline, Pixel color);

/// Draws a run with its pen starting at (x, baseline); `dx`, when given,
/// holds each character's advance.
void drawRun(Target target, font::Face& face, int x, int baseline, std::u32string_view text, Pixel color,
             const int* dx = nullptr);

/// The font's underline and strike-out lines under or through `width` pixels
/// of a run, as the logical font asks for them.
void drawDecorations(Target target, const font::Face& face, const LOGFONTW& font, int x, int baseline, int width,
                     Pixel color);

}  // namespace winsim::gdi
