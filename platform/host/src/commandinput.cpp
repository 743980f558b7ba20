#include "commandinput.h"

namespace kxhost {

namespace {

constexpr char16_t kEscape = 0x1B;

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r'; }
bool isSeparator(char16_t c) { return isBlank(c) || c == u'\n'; }

}  // namespace

void CommandInput::append(std::u16string_view text) {
  compact();
  m_text.append(text);
}

void CommandInput::insertNext(std::u16string_view text) {
  compact();
  m_text.insert(m_position, text);
}

void CommandInput::clear() {
  m_text.clear();
  m_position = 0;
}

// Read text stays in front of the position until the next change, so a word
// being read never moves under the reader.
void CommandInput::compact() {
  m_text.erase(0, m_position);
  m_position = 0;
}

std::optional<InputWord> CommandInput::next(InputUnit unit) {
  const std::size_t size = m_text.size();
  InputWord word;

  if (unit == InputUnit::RestOfLine) {
    if (m_position >= size) return std::nullopt;
    while (m_position < size && m_text[m_position] != u'\n') {
      const char16_t c = m_text[m_position++];
      if (c == kEscape) {
        word.text.clear();
        word.cancelled = true;
        return word;
      }
      if (c != u'\r') word.text += c;
    }
    if (m_position < size) ++m_position;  // the line end
    return word;
  }

  for (;;) {
    while (m_position < size && isSeparator(m_text[m_position])) ++m_position;
    if (m_position >= size) return std::nullopt;
    if (unit == InputUnit::Command && m_text[m_position] == u';') {
      while (m_position < size && m_text[m_position] != u'\n') ++m_position;
      continue;
    }
    break;
  }

  const char16_t first = m_text[m_position];
  if (first == u'"') {
    ++m_position;
    while (m_position < size && m_text[m_position] != u'"' && m_text[m_position] != u'\n') {
      const char16_t c = m_text[m_position++];
      if (c == kEscape) {
        word.text.clear();
        word.cancelled = true;
        return word;
      }
      if (c != u'\r') word.text += c;
    }
    if (m_position < size && m_text[m_position] == u'"') ++m_position;
  } else if (unit == InputUnit::Command && first == u'(') {
    // A LISP call is one piece up to its matching parenthesis, whatever
    // blanks, line ends and quoted texts it holds.
    int depth = 0;
    bool quoted = false;
    bool escaped = false;  // a backslash in a LISP text takes the next character as it is
    while (m_position < size) {
      const char16_t c = m_text[m_position++];
      if (c == kEscape) {
        word.text.clear();
        word.cancelled = true;
        return word;
      }
      word.text += c;
      if (quoted) {
        if (escaped) {
          escaped = false;
        } else if (c == u'\\') {
          escaped = true;
        } else if (c == u'"') {
          quoted = false;
        }
      } else if (c == u'"') {
        quoted = true;
      } else if (c == u'(') {
        ++depth;
      } else if (c == u')' && --depth == 0) {
        break;
      }
    }
  } else {
    while (m_position < size && !isSeparator(m_text[m_position])) {
      const char16_t c = m_text[m_position++];
      if (c == kEscape) {
        word.text.clear();
        word.cancelled = true;
        return word;
      }
      word.text += c;
    }
  }
  // The blank or line end that ended the word belongs to it.
  if (m_position < size && isSeparator(m_text[m_position])) ++m_position;
  return word;
}

}  // namespace kxhost
