// The words of a Windows command line as the system tools read them: blanks
// separate words, a double quote starts or ends a quoted run (the quotes are
// dropped, a backslash is an ordinary character, so "C:\Folder\" stays a
// folder), and the program's own name comes first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace systemtools {

inline std::vector<std::u16string> splitCommandLine(std::u16string_view line) {
  std::vector<std::u16string> words;
  std::u16string word;
  bool inWord = false;
  bool quoted = false;
  for (char16_t c : line) {
    if (c == u'"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == u' ' || c == u'\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

/// "/x", "-X" and the like: the option's letters in lower case, without the
/// switch character; empty for a word that is not an option.
inline std::u16string optionName(std::u16string_view word) {
  if (word.size() < 2 || (word[0] != u'/' && word[0] != u'-')) return {};
  std::u16string name(word.substr(1));
  for (auto& c : name)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return name;
}

}  // namespace systemtools
