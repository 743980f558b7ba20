// Lines of a rich text document for the rich-edit control: the document's
// paragraphs broken into lines at a width, measured and drawn with the GDI
// layer, so that the control can draw any part of it and scroll.
//
// Lines break after spaces and around CJK ideographs (Chinese text has no
// spaces); a word wider than the line is cut where it no longer fits. A tab
// advances to the next stop of half an inch (48 pixels) from the left edge,
// as the control's default tab stops, or to a hanging indent before it.
// Spaces at the end of a line hang past the width; a wrapped line starts at
// its first non-space character. Paragraphs keep their indents, their space
// before and after and their line spacing; justified text is set flush left.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "win32/gdi.h"
#include "winsim/rtf.h"

namespace winsim {

/// What the control's default character format supplies where the document
/// leaves a run's format open.
struct RtfDefaults {
  /// For runs of the automatic colour.
  COLORREF color = RGB(0, 0, 0);
  /// For runs whose document names no font.
  std::u16string face = u"Arial";
};

class RtfLayout {
 public:
  static constexpr int kTabStop = 48;

  RtfLayout(RtfDocument document, RtfDefaults defaults);
  ~RtfLayout();
  RtfLayout(RtfLayout&&) noexcept;
  RtfLayout& operator=(RtfLayout&&) noexcept;
  RtfLayout(const RtfLayout&) = delete;
  RtfLayout& operator=(const RtfLayout&) = delete;

  /// Breaks the document into lines of at most `width` pixels, measuring with
  /// `dc`'s fonts. Returns the height of all lines.
  int layout(HDC dc, int width);
  int height() const { return m_height; }
  std::size_t lineCount() const { return m_lines.size(); }

  /// Draws the laid-out lines that meet `rect` (in `dc`'s coordinates), the
  /// document's top-left corner at (rect.left, rect.top - scrollY), clipped
  /// to `rect`. The background is left as it is; the text colour, background
  /// mode and font of `dc` are restored.
  void draw(HDC dc, const RECT& rect, int scrollY) const;

 private:
  struct Font;
  struct Piece {
    int x = 0;
    std::u16string text;
    std::size_t font = 0;
    std::optional<COLORREF> color;
  };
  struct Line {
    int top = 0;
    int height = 0;
    int baseline = 0;  // from the line's top
    std::vector<Piece> pieces;
  };
  class Builder;

  std::size_t fontFor(HDC dc, const RtfCharFormat& format);

  RtfDocument m_document;
  RtfDefaults m_defaults;
  std::vector<std::unique_ptr<Font>> m_fonts;
  std::vector<Line> m_lines;
  int m_height = 0;
};

}  // namespace winsim
