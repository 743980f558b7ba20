// The rich text reader: one pass over the bytes with a stack of group states.
//
// Text bytes (literal or \'hh) are collected and decoded together, because a
// double-byte character of code page 936 arrives as two escapes; the bytes
// are decoded whenever anything else happens (a control word, a group
// boundary, a change of code page), so they always take the format and code
// page they were written in. Every step advances through the input, and the
// document grows by at most one unit per input byte, so no input can make the
// reader loop or allocate beyond its size.
#include "rtfreader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <map>

#include "win32/errors.h"
#include "winsim/codepage.h"

namespace winsim::rtf {

namespace {

constexpr UINT kWesternPage = 1252;
/// Control words are at most 32 letters; longer names match no known word.
constexpr std::size_t kMaxWordLength = 32;
constexpr int kSmallestHalfPoints = 2;
constexpr int kLargestHalfPoints = 3276;  // 1638 points, the control's largest size
constexpr int kLargestLength = 31680;     // 22 inches in twips: no page is wider
constexpr char16_t kTab = u'\t';
constexpr char16_t kLineBreak = u'\v';

enum class Destination { Text, FontTable, ColorTable, Skip };

/// What a group inherits from its parent and gets back when it closes.
struct GroupState {
  Destination destination = Destination::Text;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int halfPoints = 24;
  int colorIndex = -1;  // -1: automatic
  int fontIndex = -1;   // -1: the document's default font
  int unicodeSkip = 1;
  RtfParagraphFormat paragraph;
  /// \upr: its first subgroup is the text for readers without Unicode, which
  /// the \ud subgroup after it replaces.
  bool skipNextGroup = false;
};

struct FontEntry {
  std::u16string face;
  int charSet = -1;  // -1: none given
};

struct ControlWord {
  std::string_view name;
  bool hasParameter = false;
  int parameter = 0;
};

/// Destinations whose content is never shown.
constexpr std::array kSkippedDestinations = {
    "annotation", "atnauthor",    "atnid",
    "atnref",     "atntime",      "atrfend",
    "atrfstart",  "author",       "bkmkend",
    "bkmkstart",  "comment",      "datafield",
    "datastore",  "docvar",       "fldinst",
    "filetbl",    "footer",       "footerf",
    "footerl",    "footerr",      "footnote",
    "generator",  "header",       "headerf",
    "headerl",    "headerr",      "info",
    "keywords",   "latentstyles", "listoverridetable",
    "listtable",  "nonshppict",   "object",
    "objdata",    "operator",     "pgdsctbl",
    "pict",       "private",      "revtbl",
    "rsidtbl",    "rxe",          "shp",
    "shpinst",    "sn",           "sp",
    "stylesheet", "subject",      "sv",
    "tc",         "template",     "themedata",
    "title",      "txe",          "userprops",
    "xe",         "xmlnstbl",     "colorschememapping",
};

/// Control words that stand for one character.
struct SymbolWord {
  const char* name;
  char16_t unit;
};
constexpr SymbolWord kSymbolWords[] = {
    {"tab", kTab},          {"line", kLineBreak},     {"emdash", u'\u2014'},
    {"endash", u'\u2013'},  {"bullet", u'\u2022'},    {"lquote", u'\u2018'},
    {"rquote", u'\u2019'},  {"ldblquote", u'\u201C'}, {"rdblquote", u'\u201D'},
    {"emspace", u'\u2003'}, {"enspace", u'\u2002'},   {"qmspace", u'\u2005'},
    {"zwj", u'\u200D'},     {"zwnj", u'\u200C'},      {"ltrmark", u'\u200E'},
    {"rtlmark", u'\u200F'},
};

bool isUnderlineWord(std::string_view name) {
  return name.size() > 2 && name.starts_with("ul") && name != "ulnone" && name != "ulc";
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

/// The code page a font's character set writes its text in; 0 for none.
UINT pageOfCharSet(int charSet) {
  switch (charSet) {
    case ANSI_CHARSET:
      return kWesternPage;
    case GB2312_CHARSET:
      return 936;
    case CHINESEBIG5_CHARSET:
      return 950;
    case SHIFTJIS_CHARSET:
      return 932;
    default:
      return 0;
  }
}

std::u16string trimmed(std::u16string text) {
  auto const isSpace = [](char16_t c) { return c == u' ' || c == u'\t'; };
  while (!text.empty() && isSpace(text.back())) text.pop_back();
  std::size_t start = 0;
  while (start < text.size() && isSpace(text[start])) ++start;
  return text.substr(start);
}

class Reader {
 public:
  explicit Reader(std::string_view input) : m_input(input) {}

  Expected<RtfDocument> read() {
    while (m_pos < m_input.size() && !m_finished) {
      char const c = m_input[m_pos++];
      switch (c) {
        case '{':
          if (Status status = openGroup(); !status) return status.error();
          break;
        case '}':
          closeGroup();
          break;
        case '\\':
          controlSequence();
          break;
        case '\r':
        case '\n':
          break;
        default:
          textByte(c);
          break;
      }
    }
    flushBytes();
    if (!m_paragraph.runs.empty()) endParagraph();
    return std::move(m_document);
  }

 private:
  GroupState& state() { return m_stack.back(); }
  Destination destination() const { return m_stack.empty() ? Destination::Skip : m_stack.back().destination; }

  Status openGroup() {
    flushBytes();
    m_pendingSkip = 0;
    if (m_stack.size() >= static_cast<std::size_t>(kRtfMaxGroupDepth))
      return makeError(ERROR_INVALID_DATA,
                       "rich text groups are nested deeper than " + std::to_string(kRtfMaxGroupDepth) + " levels");
    GroupState child = m_stack.empty() ? GroupState{} : state();
    if (!m_stack.empty() && state().skipNextGroup) {
      state().skipNextGroup = false;
      child.destination = Destination::Skip;
    }
    child.skipNextGroup = false;
    m_stack.push_back(child);
    m_ignorable = false;
    return {};
  }

  void closeGroup() {
    flushBytes();
    m_pendingSkip = 0;
    m_ignorable = false;
    if (m_stack.empty()) return;
    if (state().destination == Destination::FontTable) finishFont();
    // The last paragraph takes the character and paragraph format of the
    // document's end, before the outermost group gives them up.
    if (m_stack.size() == 1 && !m_paragraph.runs.empty()) endParagraph();
    m_stack.pop_back();
    // Whatever follows the document's outermost group is not part of it.
    if (m_stack.empty()) m_finished = true;
  }

  void textByte(char c) {
    if (m_stack.empty()) return;
    if (m_pendingSkip > 0) {
      --m_pendingSkip;
      return;
    }
    switch (destination()) {
      case Destination::Text:
        if (c == '\t') {
          flushBytes();
          appendUnit(kTab);
        } else if (static_cast<unsigned char>(c) >= 0x20) {
          appendByte(c);
        }
        break;
      case Destination::FontTable:
        if (c == ';')
          finishFont();
        else
          appendByte(c);
        break;
      case Destination::ColorTable:
        if (c == ';') finishColor();
        break;
      case Destination::Skip:
        break;
    }
  }

  void controlSequence() {
    if (m_pos >= m_input.size()) return;
    if (isLetter(m_input[m_pos])) {
      ControlWord const word = readWord();
      if (word.name == "bin") {
        // Binary data may hold any byte, braces included: it is passed over
        // whatever the destination, and never beyond the input.
        std::size_t const length = word.parameter > 0 ? static_cast<std::size_t>(word.parameter) : 0;
        m_pos += std::min(length, m_input.size() - m_pos);
        if (m_pendingSkip > 0) --m_pendingSkip;
        return;
      }
      if (m_pendingSkip > 0) {
        --m_pendingSkip;
        return;
      }
      bool const ignorable = m_ignorable;
      m_ignorable = false;
      if (!m_stack.empty()) controlWord(word, ignorable);
      return;
    }
    char const symbol = m_input[m_pos++];
    if (symbol == '\'') {
      // Two hex digits; an escape cut short drops the digit it has.
      int value = 0, digits = 0;
      while (digits < 2 && m_pos < m_input.size() && hexValue(m_input[m_pos]) >= 0) {
        value = value * 16 + hexValue(m_input[m_pos++]);
        ++digits;
      }
      if (digits == 2) textByte(static_cast<char>(value));
      return;
    }
    if (m_pendingSkip > 0) {
      --m_pendingSkip;
      return;
    }
    switch (symbol) {
      case '\\':
      case '{':
      case '}':
        textByte(symbol);
        break;
      case '*':
        m_ignorable = true;
        break;
      case '~':
        textUnit(u'\u00A0');
        break;
      case '_':
        textUnit(u'\u2011');
        break;
      case '\r':
      case '\n':
        if (destination() == Destination::Text) endParagraphMark();
        break;
      default:  // \- optional hyphen, \| and \: of formulas and indexes
        break;
    }
  }

  ControlWord readWord() {
    std::size_t const start = m_pos;
    while (m_pos < m_input.size() && isLetter(m_input[m_pos])) ++m_pos;
    ControlWord word;
    word.name = m_input.substr(start, std::min(m_pos - start, kMaxWordLength + 1));
    bool negative = false;
    if (m_pos + 1 < m_input.size() && m_input[m_pos] == '-' && isDigit(m_input[m_pos + 1])) {
      negative = true;
      ++m_pos;
    }
    if (m_pos < m_input.size() && isDigit(m_input[m_pos])) {
      std::int64_t value = 0;
      constexpr std::int64_t kLimit = std::numeric_limits<int>::max();
      while (m_pos < m_input.size() && isDigit(m_input[m_pos])) {
        value = std::min(kLimit, value * 10 + (m_input[m_pos] - '0'));
        ++m_pos;
      }
      word.hasParameter = true;
      word.parameter = static_cast<int>(negative ? -value : value);
    }
    if (m_pos < m_input.size() && m_input[m_pos] == ' ') ++m_pos;  // the delimiter belongs to the word
    return word;
  }

  void controlWord(const ControlWord& word, bool ignorable) {
    std::string_view const name = word.name;
    if (destination() == Destination::Skip) return;
    flushBytes();
    bool const on = !word.hasParameter || word.parameter != 0;

    // Destinations.
    if (name == "fonttbl") {
      state().destination = Destination::FontTable;
      return;
    }
    if (name == "colortbl") {
      state().destination = Destination::ColorTable;
      return;
    }
    if (name == "ud") return;  // the Unicode text of \upr: shown as any text
    if (ignorable ||
        std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), name) != kSkippedDestinations.end()) {
      state().destination = Destination::Skip;
      return;
    }
    if (name == "upr") {
      state().skipNextGroup = true;
      return;
    }

    // The document's code page and default font.
    if (name == "ansi") {
      m_documentPage = kWesternPage;
    } else if (name == "ansicpg") {
      if (word.parameter > 0) m_documentPage = static_cast<UINT>(word.parameter);
    } else if (name == "pc") {
      m_documentPage = 437;
    } else if (name == "deff") {
      m_defaultFont = word.parameter;

      // Fonts and their table.
    } else if (name == "f") {
      if (destination() == Destination::FontTable) {
        finishFont();
        m_fontEntry = word.parameter;
        m_fonts[m_fontEntry];
      } else {
        state().fontIndex = word.parameter;
      }
    } else if (name == "fcharset") {
      if (destination() == Destination::FontTable) m_fonts[m_fontEntry].charSet = word.parameter;

      // Colour table entries.
    } else if (name == "red" || name == "green" || name == "blue") {
      if (destination() == Destination::ColorTable) {
        int const value = std::clamp(word.parameter, 0, 255);
        int const shift = name == "red" ? 0 : name == "green" ? 8 : 16;
        m_color = (m_color.value_or(0) & ~(0xFFu << shift)) | (static_cast<COLORREF>(value) << shift);
      }

      // Character format.
    } else if (name == "plain") {
      GroupState& s = state();
      s.bold = s.italic = s.underline = false;
      s.halfPoints = 24;
      s.colorIndex = -1;
      s.fontIndex = -1;
    } else if (name == "b") {
      state().bold = on;
    } else if (name == "i") {
      state().italic = on;
    } else if (name == "ul" || isUnderlineWord(name)) {
      state().underline = on;
    } else if (name == "ulnone") {
      state().underline = false;
    } else if (name == "fs") {
      state().halfPoints =
          word.parameter > 0 ? std::clamp(word.parameter, kSmallestHalfPoints, kLargestHalfPoints) : 24;
    } else if (name == "cf") {
      state().colorIndex = word.parameter;
    } else if (name == "uc") {
      state().unicodeSkip = std::max(0, word.parameter);

      // Paragraphs.
    } else if (name == "pard") {
      state().paragraph = RtfParagraphFormat{};
    } else if (name == "ql") {
      state().paragraph.alignment = RtfAlignment::Left;
    } else if (name == "qc") {
      state().paragraph.alignment = RtfAlignment::Center;
    } else if (name == "qr") {
      state().paragraph.alignment = RtfAlignment::Right;
    } else if (name == "qj") {
      state().paragraph.alignment = RtfAlignment::Justify;
    } else if (name == "li" || name == "lin") {
      state().paragraph.leftIndent = length(word, -kLargestLength);
    } else if (name == "ri" || name == "rin") {
      state().paragraph.rightIndent = length(word, -kLargestLength);
    } else if (name == "fi") {
      state().paragraph.firstIndent = length(word, -kLargestLength);
    } else if (name == "sb") {
      state().paragraph.spaceBefore = length(word, 0);
    } else if (name == "sa") {
      state().paragraph.spaceAfter = length(word, 0);
    } else if (name == "sl") {
      state().paragraph.lineSpacing = length(word, -kLargestLength);
    } else if (name == "slmult") {
      state().paragraph.lineMultiple = on;
    } else if (name == "par") {
      if (destination() == Destination::Text) endParagraphMark();

      // Characters.
    } else if (name == "u") {
      int value = word.parameter;
      if (value < 0) value += 0x10000;  // written as a signed 16-bit number
      textUnit(value >= 0 && value <= 0xFFFF ? static_cast<char16_t>(value) : u'\uFFFD');
      m_pendingSkip = state().unicodeSkip;
    } else {
      for (const SymbolWord& symbol : kSymbolWords) {
        if (name == symbol.name) {
          textUnit(symbol.unit);
          break;
        }
      }
    }
  }

  static int length(const ControlWord& word, int smallest) {
    return std::clamp(word.parameter, smallest, kLargestLength);
  }

  /// The code page of text written now: the current font's, else the document's.
  UINT currentPage() {
    int const font = destination() == Destination::FontTable ? m_fontEntry
                     : state().fontIndex >= 0                ? state().fontIndex
                                                             : m_defaultFont;
    auto const entry = m_fonts.find(font);
    if (entry != m_fonts.end()) {
      if (UINT const page = pageOfCharSet(entry->second.charSet); page != 0) return page;
    }
    return m_documentPage;
  }

  void appendByte(char c) {
    UINT const page = currentPage();
    if (!m_bytes.empty() && page != m_bytesPage) flushBytes();
    m_bytesPage = page;
    m_bytes.push_back(c);
  }

  void flushBytes() {
    if (m_bytes.empty()) return;
    std::u16string const units = fromCodePage(m_bytes, m_bytesPage);
    m_bytes.clear();
    for (char16_t unit : units) appendUnit(unit);
  }

  /// A character given as a unit (\uN, \emdash ...), where text may go.
  void textUnit(char16_t unit) {
    if (m_stack.empty()) return;
    flushBytes();
    appendUnit(unit);
  }

  void appendUnit(char16_t unit) {
    switch (destination()) {
      case Destination::Text: {
        RtfCharFormat format = currentFormat();
        if (m_paragraph.runs.empty() || !(m_paragraph.runs.back().format == format))
          m_paragraph.runs.push_back(RtfRun{{}, std::move(format)});
        m_paragraph.runs.back().text.push_back(unit);
        break;
      }
      case Destination::FontTable:
        m_fontName.push_back(unit);
        break;
      case Destination::ColorTable:
      case Destination::Skip:
        break;
    }
  }

  RtfCharFormat currentFormat() {
    const GroupState& s = state();
    RtfCharFormat format;
    format.bold = s.bold;
    format.italic = s.italic;
    format.underline = s.underline;
    format.halfPoints = s.halfPoints;
    if (s.colorIndex >= 0 && static_cast<std::size_t>(s.colorIndex) < m_colors.size())
      format.color = m_colors[static_cast<std::size_t>(s.colorIndex)];
    auto const font = m_fonts.find(s.fontIndex >= 0 ? s.fontIndex : m_defaultFont);
    if (font != m_fonts.end()) {
      format.face = font->second.face;
      if (font->second.charSet >= 0 && font->second.charSet <= 0xFF)
        format.charSet = static_cast<BYTE>(font->second.charSet);
    }
    return format;
  }

  void endParagraphMark() {
    flushBytes();
    endParagraph();
  }

  void endParagraph() {
    if (!m_stack.empty()) {
      m_paragraph.format = state().paragraph;
      m_paragraph.markFormat = currentFormat();
    }
    m_document.paragraphs.push_back(std::move(m_paragraph));
    m_paragraph = RtfParagraph{};
  }

  void finishFont() {
    flushBytes();
    if (!m_fontName.empty()) {
      m_fonts[m_fontEntry].face = trimmed(std::move(m_fontName));
      m_fontName.clear();
    }
  }

  void finishColor() {
    m_colors.push_back(m_color);
    m_color.reset();
  }

  std::string_view m_input;
  std::size_t m_pos = 0;
  bool m_finished = false;
  std::vector<GroupState> m_stack;
  bool m_ignorable = false;  // \* seen: the next control word names an optional destination
  int m_pendingSkip = 0;     // characters still to pass over after \uN

  UINT m_documentPage = kWesternPage;
  int m_defaultFont = -1;
  std::map<int, FontEntry> m_fonts;
  int m_fontEntry = -1;
  std::u16string m_fontName;
  std::vector<std::optional<COLORREF>> m_colors;
  std::optional<COLORREF> m_color;

  std::string m_bytes;  // text bytes not decoded yet
  UINT m_bytesPage = kWesternPage;
  RtfParagraph m_paragraph;
  RtfDocument m_document;
};

}  // namespace

Expected<RtfDocument> readRichText(std::string_view bytes) { return Reader(bytes).read(); }

}  // namespace winsim::rtf
