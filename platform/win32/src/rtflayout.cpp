// Line breaking and drawing of rich text through the GDI layer.
#include "winsim/rtflayout.h"

#include <algorithm>
#include <cstdint>

namespace winsim {

namespace {

constexpr int kPixelsPerInch = 96;
constexpr int kHalfPointsPerInch = 144;
constexpr int kTwipsPerPixel = 15;   // 1440 twips an inch
constexpr int kSingleSpacing = 240;  // \sl of single spacing with \slmult1
/// Lines stop going down here, however long the document.
constexpr std::int64_t kLowestTop = std::int64_t{1} << 30;

int pixels(int twips) { return twips / kTwipsPerPixel; }

bool isIdeograph(char16_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF);
}

int textWidth(HDC dc, HFONT font, std::u16string_view text) {
  if (text.empty()) return 0;
  HGDIOBJ const old = SelectObject(dc, font);
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  return size.cx;
}

}  // namespace

/// A realised format: its font object and the metrics that place it on a line.
struct RtfLayout::Font {
  RtfCharFormat format;  // face filled in from the defaults
  HFONT handle = nullptr;
  int ascent = 0;
  int descent = 0;

  Font() = default;
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  ~Font() {
    if (handle != nullptr) DeleteObject(handle);
  }
};

/// Breaks one paragraph after another into lines.
class RtfLayout::Builder {
 public:
  Builder(RtfLayout& layout, HDC dc, int width) : m_layout(layout), m_dc(dc), m_width(std::max(1, width)) {}

  void paragraph(const RtfParagraph& paragraph) {
    m_format = paragraph.format;
    m_markFont = m_layout.fontFor(m_dc, paragraph.markFormat);
    buildItems(paragraph);
    advance(pixels(m_format.spaceBefore));
    m_firstLine = true;
    startLine(Start::Paragraph);
    for (const Item& item : m_items) place(item);
    finishLine();
    advance(pixels(m_format.spaceAfter));
  }

  int top() const { return static_cast<int>(m_top); }

 private:
  enum class Kind { Word, Space, Tab, Break };
  enum class Start { Paragraph, Wrapped };
  struct Fragment {
    std::u16string text;
    std::size_t font = 0;
    std::optional<COLORREF> color;
    int width = 0;
  };
  struct Item {
    Kind kind = Kind::Word;
    std::vector<Fragment> fragments;
    int width = 0;
  };

  void buildItems(const RtfParagraph& paragraph) {
    m_items.clear();
    bool wordOpen = false;
    for (const RtfRun& run : paragraph.runs) {
      std::size_t const font = m_layout.fontFor(m_dc, run.format);
      auto const startItem = [&](Kind kind) {
        m_items.push_back(Item{kind, {Fragment{{}, font, run.format.color, 0}}, 0});
      };
      bool spaceOpen = false;
      for (char16_t c : run.text) {
        if (c == u' ') {
          wordOpen = false;
          if (!spaceOpen) startItem(Kind::Space);
          spaceOpen = true;
          m_items.back().fragments.back().text.push_back(c);
          continue;
        }
        spaceOpen = false;
        if (c == u'\t' || c == u'\v') {
          wordOpen = false;
          startItem(c == u'\t' ? Kind::Tab : Kind::Break);
        } else if (isIdeograph(c)) {
          wordOpen = false;
          startItem(Kind::Word);
          m_items.back().fragments.back().text.push_back(c);
        } else {
          // A word may run on from the previous run in another format.
          if (!wordOpen)
            startItem(Kind::Word);
          else if (m_items.back().fragments.back().font != font ||
                   m_items.back().fragments.back().color != run.format.color)
            m_items.back().fragments.push_back(Fragment{{}, font, run.format.color, 0});
          m_items.back().fragments.back().text.push_back(c);
          wordOpen = true;
        }
      }
    }
    for (Item& item : m_items) {
      for (Fragment& fragment : item.fragments) {
        fragment.width = textWidth(m_dc, m_layout.m_fonts[fragment.font]->handle, fragment.text);
        item.width += fragment.width;
      }
    }
  }

  void place(const Item& item) {
    switch (item.kind) {
      case Kind::Break:
        measureFont(item.fragments.front().font);
        finishLine();
        startLine(Start::Paragraph);
        return;
      case Kind::Tab: {
        // Stops count from the page's left edge; a hanging indent is one too.
        measureFont(item.fragments.front().font);
        int const at = m_left + m_x;
        int stop = (at / kTabStop + 1) * kTabStop;
        int const indent = pixels(m_format.leftIndent);
        if (m_firstLine && at < indent && indent < stop) stop = indent;
        m_x = stop - m_left;
        m_contentWidth = m_x;
        return;
      }
      case Kind::Space:
        // Spaces where a line was wrapped are dropped; at a line's end they hang.
        if (m_start == Start::Wrapped && m_x == 0) return;
        for (const Fragment& fragment : item.fragments) put(fragment);
        return;
      case Kind::Word:
        if (m_x > 0 && m_x + item.width > m_lineWidth) {
          finishLine();
          startLine(Start::Wrapped);
        }
        if (item.width <= m_lineWidth - m_x) {
          for (const Fragment& fragment : item.fragments) put(fragment);
          m_contentWidth = m_x;
        } else {
          cutWord(item);
        }
        return;
    }
  }

  /// A word wider than the line, placed character by character: each line
  /// takes what fits, and at least one character.
  void cutWord(const Item& item) {
    for (const Fragment& fragment : item.fragments) {
      HFONT const handle = m_layout.m_fonts[fragment.font]->handle;
      Fragment part{{}, fragment.font, fragment.color, 0};
      for (char16_t c : fragment.text) {
        int const width = textWidth(m_dc, handle, std::u16string_view(&c, 1));
        if (m_x + part.width > 0 && m_x + part.width + width > m_lineWidth) {
          put(part);
          m_contentWidth = m_x;
          finishLine();
          startLine(Start::Wrapped);
          part.text.clear();
          part.width = 0;
        }
        part.text.push_back(c);
        part.width += width;
      }
      put(part);
      m_contentWidth = m_x;
    }
  }

  void put(const Fragment& fragment) {
    if (fragment.text.empty()) return;
    measureFont(fragment.font);
    m_pieces.push_back(Piece{m_x, fragment.text, fragment.font, fragment.color});
    m_x += fragment.width;
  }

  void measureFont(std::size_t font) {
    m_ascent = std::max(m_ascent, m_layout.m_fonts[font]->ascent);
    m_descent = std::max(m_descent, m_layout.m_fonts[font]->descent);
  }

  void startLine(Start start) {
    m_start = start;
    m_left = std::max(0, pixels(m_format.leftIndent) + (m_firstLine ? pixels(m_format.firstIndent) : 0));
    m_lineWidth = std::max(1, m_width - m_left - std::max(0, pixels(m_format.rightIndent)));
    m_x = 0;
    m_contentWidth = 0;
    m_ascent = 0;
    m_descent = 0;
    m_pieces.clear();
  }

  void finishLine() {
    if (m_ascent == 0 && m_descent == 0) measureFont(m_markFont);
    int offset = m_left;
    if (m_format.alignment == RtfAlignment::Center) offset += std::max(0, (m_lineWidth - m_contentWidth) / 2);
    if (m_format.alignment == RtfAlignment::Right) offset += std::max(0, m_lineWidth - m_contentWidth);
    for (Piece& piece : m_pieces) piece.x += offset;
    int const height = lineHeight(m_ascent + m_descent);
    m_layout.m_lines.push_back(Line{top(), height, m_ascent, std::move(m_pieces)});
    advance(height);
    m_pieces.clear();
    m_firstLine = false;
  }

  /// A line's height under the paragraph's line spacing; extra space goes
  /// below the text.
  int lineHeight(int single) const {
    int const spacing = m_format.lineSpacing;
    if (spacing == 0) return single;
    if (m_format.lineMultiple) return spacing > 0 ? single * spacing / kSingleSpacing : single;
    return spacing > 0 ? std::max(single, pixels(spacing)) : std::max(1, pixels(-spacing));
  }

  void advance(int pixelsDown) { m_top = std::min(kLowestTop, m_top + std::max(0, pixelsDown)); }

  RtfLayout& m_layout;
  HDC m_dc;
  int m_width;
  std::int64_t m_top = 0;
  RtfParagraphFormat m_format;
  std::size_t m_markFont = 0;
  std::vector<Item> m_items;

  Start m_start = Start::Paragraph;
  bool m_firstLine = true;
  int m_left = 0;          // the line's indent
  int m_lineWidth = 1;     // room between the indents
  int m_x = 0;             // from the line's indent
  int m_contentWidth = 0;  // up to the end of the last word or tab: trailing spaces do not count
  int m_ascent = 0;
  int m_descent = 0;
  std::vector<Piece> m_pieces;
};

RtfLayout::RtfLayout(RtfDocument document, RtfDefaults defaults)
    : m_document(std::move(document)), m_defaults(std::move(defaults)) {}
RtfLayout::~RtfLayout() = default;
RtfLayout::RtfLayout(RtfLayout&&) noexcept = default;
RtfLayout& RtfLayout::operator=(RtfLayout&&) noexcept = default;

std::size_t RtfLayout::fontFor(HDC dc, const RtfCharFormat& format) {
  RtfCharFormat key = format;
  key.color.reset();
  if (key.face.empty()) key.face = m_defaults.face;
  for (std::size_t i = 0; i < m_fonts.size(); ++i)
    if (m_fonts[i]->format == key) return i;

  auto font = std::make_unique<Font>();
  int const pixels = (key.halfPoints * kPixelsPerInch + kHalfPointsPerInch / 2) / kHalfPointsPerInch;
  font->handle = CreateFontW(-pixels, 0, 0, 0, key.bold ? FW_BOLD : FW_NORMAL, key.italic, key.underline, FALSE,
                             key.charSet, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, key.face.c_str());
  HGDIOBJ const old = SelectObject(dc, font->handle);
  TEXTMETRICW metrics{};
  if (GetTextMetricsW(dc, &metrics)) {
    font->ascent = metrics.tmAscent;
    font->descent = metrics.tmDescent;
  } else {
    font->ascent = pixels;  // no face to measure: keep lines apart all the same
  }
  SelectObject(dc, old);
  font->format = std::move(key);
  m_fonts.push_back(std::move(font));
  return m_fonts.size() - 1;
}

int RtfLayout::layout(HDC dc, int width) {
  m_lines.clear();
  Builder builder(*this, dc, width);
  for (const RtfParagraph& paragraph : m_document.paragraphs) builder.paragraph(paragraph);
  m_height = builder.top();
  return m_height;
}

void RtfLayout::draw(HDC dc, const RECT& rect, int scrollY) const {
  if (m_lines.empty()) return;
  HGDIOBJ const oldFont = SelectObject(dc, m_fonts.front()->handle);
  COLORREF const oldColor = GetTextColor(dc);
  int const oldMode = SetBkMode(dc, TRANSPARENT);
  int const top = rect.top - scrollY;
  for (const Line& line : m_lines) {
    if (top + line.top + line.height <= rect.top) continue;
    if (top + line.top >= rect.bottom) break;
    for (const Piece& piece : line.pieces) {
      const Font& font = *m_fonts[piece.font];
      SelectObject(dc, font.handle);
      SetTextColor(dc, piece.color.value_or(m_defaults.color));
      ExtTextOutW(dc, rect.left + piece.x, top + line.top + line.baseline - font.ascent, ETO_CLIPPED, &rect,
                  piece.text.c_str(), static_cast<UINT>(piece.text.size()), nullptr);
    }
  }
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColor);
  SelectObject(dc, oldFont);
}

}  // namespace winsim
