// Numbers and points as the command input writes them.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

#include "hoststate.h"

namespace kxhost {

namespace {

/// The text as ASCII, or false when it holds anything else (digits of other
/// scripts are no numbers to the host).
bool toAscii(std::u16string_view text, std::string& out) {
  out.clear();
  for (char16_t c : text) {
    if (c == 0 || c > 0x7E) return false;
    out += static_cast<char>(c);
  }
  return !out.empty();
}

}  // namespace

bool parseReal(std::u16string_view text, double& value) {
  std::string ascii;
  if (!toAscii(text, ascii)) return false;
  errno = 0;
  char* end = nullptr;
  const double parsed = std::strtod(ascii.c_str(), &end);
  if (end != ascii.c_str() + ascii.size() || errno == ERANGE || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool parseInt(std::u16string_view text, long long& value) {
  std::string ascii;
  if (!toAscii(text, ascii)) return false;
  errno = 0;
  char* end = nullptr;
  const long long parsed = std::strtoll(ascii.c_str(), &end, 10);
  if (end != ascii.c_str() + ascii.size() || errno == ERANGE) return false;
  value = parsed;
  return true;
}

bool parsePoint(std::u16string_view text, OdGePoint3d& point, bool& hasZ) {
  double coordinates[3] = {0, 0, 0};
  int count = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(u',', start);
    const std::u16string_view part = text.substr(start, comma == std::u16string_view::npos ? comma : comma - start);
    if (count == 3 || !parseReal(part, coordinates[count])) return false;
    ++count;
    if (comma == std::u16string_view::npos) break;
    start = comma + 1;
  }
  if (count < 2) return false;
  point.set(coordinates[0], coordinates[1], coordinates[2]);
  hasZ = count == 3;
  return true;
}

}  // namespace kxhost
