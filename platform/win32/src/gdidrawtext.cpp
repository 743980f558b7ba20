// DrawTextW: text laid out in a rectangle, in lines, with word breaks,
// alignment, tab stops, "&" prefixes and an end ellipsis.
#include <algorithm>
#include <vector>

#include "gdiraster.h"
#include "gditext.h"
#include "winsim/text.h"

using namespace winsim;
using namespace winsim::gdi;

namespace {

struct Cell {
  char32_t c;
  bool underlined;  // the character after an "&" prefix
};
using Cells = std::vector<Cell>;

struct Layout {
  font::Face& face;
  int tabWidth;  // 0: a tab is an ordinary (empty) character

  // Pen positions of each cell's left edge, and the line's width.
  int width(const Cells& line, std::vector<int>* positions = nullptr) const {
    int pen = 0;
    for (const Cell& cell : line) {
      if (positions != nullptr) positions->push_back(pen);
      if (cell.c == U'\t' && tabWidth > 0) {
        pen = (pen / tabWidth + 1) * tabWidth;
      } else {
        pen += face.advance(cell.c);
      }
    }
    return pen;
  }
};

Cells withPrefixes(const std::u32string& text, UINT format) {
  Cells cells;
  bool const prefixes = (format & DT_NOPREFIX) == 0;
  bool const show = (format & DT_HIDEPREFIX) == 0;
  bool underlineNext = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t const c = text[i];
    if (prefixes && c == U'&') {
      if (i + 1 < text.size() && text[i + 1] == U'&') {
        cells.push_back(Cell{U'&', underlineNext});
        underlineNext = false;
        ++i;
      } else {
        underlineNext = show;
      }
      continue;
    }
    cells.push_back(Cell{c, underlineNext});
    underlineNext = false;
  }
  return cells;
}

std::vector<Cells> paragraphs(const Cells& cells, UINT format) {
  std::vector<Cells> out(1);
  if (format & DT_SINGLELINE) {
    // Line breaks do not break a single line; they draw as nothing.
    for (const Cell& cell : cells)
      if (cell.c != U'\r' && cell.c != U'\n') out.back().push_back(cell);
    return out;
  }
  for (std::size_t i = 0; i < cells.size(); ++i) {
    char32_t const c = cells[i].c;
    if (c == U'\r' || c == U'\n') {
      if (c == U'\r' && i + 1 < cells.size() && cells[i + 1].c == U'\n') ++i;
      out.emplace_back();
      continue;
    }
    out.back().push_back(cells[i]);
  }
  return out;
}

bool isBreakSpace(char32_t c) { return c == U' ' || c == U'\t'; }

void trimTrailingSpaces(Cells& line) {
  while (!line.empty() && isBreakSpace(line.back().c)) line.pop_back();
}

// Breaks a paragraph between words so that lines fit `width`; a word wider
// than the rectangle keeps its own line and runs past it.
void wrap(const Cells& paragraph, const Layout& layout, int width, std::vector<Cells>& lines) {
  Cells line;
  std::size_t i = 0;
  while (i < paragraph.size()) {
    std::size_t wordEnd = i;
    while (wordEnd < paragraph.size() && !isBreakSpace(paragraph[wordEnd].c)) ++wordEnd;
    std::size_t spaceEnd = wordEnd;
    while (spaceEnd < paragraph.size() && isBreakSpace(paragraph[spaceEnd].c)) ++spaceEnd;
    Cells candidate = line;
    candidate.insert(candidate.end(), paragraph.begin() + static_cast<std::ptrdiff_t>(i),
                     paragraph.begin() + static_cast<std::ptrdiff_t>(wordEnd));
    bool const lineHasWord = std::any_of(line.begin(), line.end(), [](const Cell& c) { return !isBreakSpace(c.c); });
    if (lineHasWord && layout.width(candidate) > width) {
      trimTrailingSpaces(line);
      lines.push_back(std::move(line));
      line.clear();
      // Spaces that led up to the break are not carried to the next line.
    }
    line.insert(line.end(), paragraph.begin() + static_cast<std::ptrdiff_t>(i),
                paragraph.begin() + static_cast<std::ptrdiff_t>(spaceEnd));
    i = spaceEnd;
  }
  trimTrailingSpaces(line);
  lines.push_back(std::move(line));
}

void endEllipsis(Cells& line, const Layout& layout, int width) {
  if (layout.width(line) <= width) return;
  Cells const dots(3, Cell{U'.', false});
  while (!line.empty()) {
    Cells candidate = line;
    candidate.insert(candidate.end(), dots.begin(), dots.end());
    if (layout.width(candidate) <= width) break;
    line.pop_back();
  }
  line.insert(line.end(), dots.begin(), dots.end());
}

}  // namespace

int DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) return fail(ERROR_INVALID_HANDLE, 0);
  if (lprc == nullptr || (lpchText == nullptr && cchText != 0)) return fail(ERROR_INVALID_PARAMETER, 0);
  std::size_t const length = cchText < 0 ? wideLength(lpchText) : static_cast<std::size_t>(cchText);
  auto face = faceOf(*dc);
  if (!face) return 0;
  const font::Metrics& m = face->metrics();
  int const lineHeight = m.height + ((format & DT_EXTERNALLEADING) ? m.externalLeading : 0);
  Layout const layout{*face, (format & DT_EXPANDTABS) ? 8 * m.aveCharWidth : 0};
  int const rectWidth = lprc->right - lprc->left;

  std::vector<Cells> lines;
  if (length > 0) {
    Cells const cells = withPrefixes(codePoints(std::u16string_view(lpchText, length)), format);
    bool const wordBreak = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    for (const Cells& paragraph : paragraphs(cells, format)) {
      if (wordBreak) {
        wrap(paragraph, layout, rectWidth, lines);
      } else {
        lines.push_back(paragraph);
      }
    }
    if (format & DT_END_ELLIPSIS)
      for (Cells& line : lines) endEllipsis(line, layout, rectWidth);
  }
  int const total = static_cast<int>(lines.size()) * lineHeight;

  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const Cells& line : lines) widest = std::max(widest, layout.width(line));
    lprc->right = lprc->left + widest;
    lprc->bottom = lprc->top + total;
    return total;
  }

  int top = lprc->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER)
      top = lprc->top + (lprc->bottom - lprc->top - lineHeight) / 2;
    else if (format & DT_BOTTOM)
      top = lprc->bottom - lineHeight;
  }
  Canvas canvas(*dc, Canvas::Access::Write);
  Target target = canvas.target();
  if (!(format & DT_NOCLIP)) target.clip = intersect(target.clip, dc->toSurface(*lprc));
  Pixel const color = pixelFromColor(dc->textColor);
  const LOGFONTW& logFont = dc->font()->logFont();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Cells& line = lines[i];
    std::vector<int> positions;
    int const width = layout.width(line, &positions);
    int x = lprc->left;
    if (format & DT_CENTER)
      x = lprc->left + (rectWidth - width) / 2;
    else if (format & DT_RIGHT)
      x = lprc->right - width;
    POINT const origin = dc->toSurface(x, top + static_cast<int>(i) * lineHeight);
    if (dc->bkMode == OPAQUE)
      fill(target, RECT{origin.x, origin.y, origin.x + width, origin.y + lineHeight}, solidPaint(dc->bkColor));
    int const baseline = origin.y + m.ascent;
    for (std::size_t k = 0; k < line.size(); ++k) {
      int const pen = origin.x + positions[k];
      if (line[k].c == U'\t' && layout.tabWidth > 0) continue;
      const font::Glyph& glyph = face->glyph(line[k].c);
      drawGlyph(target, glyph, pen, baseline, color);
      if (line[k].underlined) {
        Paint const paint = pixelPaint(color);
        int const y = baseline + m.underlinePosition;
        fill(target, RECT{pen, y, pen + glyph.advance, y + m.underlineThickness}, paint);
      }
    }
    drawDecorations(target, *face, logFont, origin.x, baseline, width, color);
  }
  if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) return top - lprc->top + total;
  return total;
}
