// The command input of a document: text as it would be typed, read word by
// word by the command loop and by the prompts of a running command.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kxhost {

struct InputWord {
  std::u16string text;
  bool cancelled = false;  // an escape character ended the word
};

/// How the next piece of input is read.
enum class InputUnit {
  Command,     // a command name or a "(...)" LISP call; ";" starts a comment to the line end
  Word,        // a word ended by a blank or a line end; "..." quotes blanks
  RestOfLine,  // everything up to the line end, blanks included
};

class CommandInput {
 public:
  /// Adds text after everything still unread.
  void append(std::u16string_view text);
  /// Adds text before everything still unread: it is read next.
  void insertNext(std::u16string_view text);
  bool atEnd() const { return m_position >= m_text.size(); }
  void clear();

  /// The next piece, or nothing when the input is used up (only blanks and
  /// line ends are left). The end of the input ends a word as a blank does.
  std::optional<InputWord> next(InputUnit unit);

 private:
  void compact();

  std::u16string m_text;
  std::size_t m_position = 0;
};

}  // namespace kxhost
