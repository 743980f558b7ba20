#include "arguments.h"

namespace korax {

namespace {
bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }
}  // namespace

std::vector<std::u16string> splitCommandLine(std::u16string_view line) {
  std::vector<std::u16string> arguments;
  std::size_t i = 0;
  const std::size_t size = line.size();

  std::u16string program;
  if (i < size && line[i] == u'"') {
    ++i;
    while (i < size && line[i] != u'"') program += line[i++];
    if (i < size) ++i;
  } else {
    while (i < size && !isBlank(line[i])) program += line[i++];
  }
  arguments.push_back(std::move(program));

  for (;;) {
    while (i < size && isBlank(line[i])) ++i;
    if (i >= size) break;
    std::u16string argument;
    bool quoted = false;
    while (i < size && (quoted || !isBlank(line[i]))) {
      if (line[i] == u'\\') {
        std::size_t slashes = 0;
        while (i < size && line[i] == u'\\') {
          ++slashes;
          ++i;
        }
        if (i < size && line[i] == u'"') {
          argument.append(slashes / 2, u'\\');
          if (slashes % 2 == 1) {
            argument += u'"';
            ++i;
          }
        } else {
          argument.append(slashes, u'\\');
        }
        continue;
      }
      if (line[i] == u'"') {
        quoted = !quoted;
        ++i;
        continue;
      }
      argument += line[i++];
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

}  // namespace korax
