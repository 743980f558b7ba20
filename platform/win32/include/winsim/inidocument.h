// A profile (INI) file as Windows reads and writes it.
//
// The document keeps every line of the file, so that writing one value keeps
// the rest of the file (comments, order, odd lines) as it was. Sections and
// keys match without case; the first of duplicate sections or keys wins, as
// with GetPrivateProfileStringW.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace winsim {

class IniDocument {
 public:
  /// Parses text already decoded to UTF-16. Never fails: lines that are
  /// neither a section header nor a key line are kept and ignored.
  static IniDocument parse(std::u16string_view text);

  /// The value of `key` in `section`: white space around it and one pair of
  /// matching surrounding quotes dropped. Empty optional when absent.
  std::optional<std::u16string> value(std::u16string_view section, std::u16string_view key) const;
  bool hasSection(std::u16string_view section) const;
  /// Section names in file order, first spelling of each.
  std::vector<std::u16string> sections() const;
  /// Key names of the first matching section, in file order.
  std::vector<std::u16string> keys(std::u16string_view section) const;

  /// Replaces the key's line, or appends it to the section, creating the
  /// section at the end of the file when missing.
  void setValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  void removeKey(std::u16string_view section, std::u16string_view key);
  void removeSection(std::u16string_view section);

  /// The file's text, lines joined by CR LF.
  std::u16string serialize() const;

 private:
  enum class LineKind { Other, Section, Key };
  struct Line {
    LineKind kind = LineKind::Other;
    std::u16string text;  // the whole line as written
    std::u16string name;  // section or key name, trimmed
    std::u16string value; // key value, trimmed and unquoted
  };

  static Line classify(std::u16string_view text);
  /// Index of the first header line of `section`, or npos.
  std::size_t findSection(std::u16string_view section) const;
  /// Index past the last line that belongs to the section starting at `header`.
  std::size_t sectionEnd(std::size_t header) const;
  std::size_t findKey(std::size_t header, std::u16string_view key) const;

  std::vector<Line> m_lines;
};

}  // namespace winsim
