// Host-side text helpers of the platform layers: UTF-16 <-> UTF-8 for host
// file names and JSON, and the case folding that Windows uses for names
// (registry keys, file names, profile sections). Code-page conversions of the
// system's own text live in win32/codepage.h.
#pragma once

#include <string>
#include <string_view>

namespace winsim {

/// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);
/// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::u16string fromUtf8(std::string_view text);

/// Upper-case form of one UTF-16 unit, as Windows compares names
/// (ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic).
char16_t upperCase(char16_t c);
char16_t lowerCase(char16_t c);
std::u16string upperCase(std::u16string_view text);
bool equalsNoCase(std::u16string_view a, std::u16string_view b);
/// Ordering without case, for sorted name maps.
int compareNoCase(std::u16string_view a, std::u16string_view b);

/// Length of a NUL-terminated wide string (null counts as empty).
std::size_t wideLength(const char16_t* text);

/// Copies `text` into a buffer of `capacity` units, NUL-terminated, cutting
/// what does not fit. Returns the number of units copied (without the NUL).
std::size_t copyTruncated(std::u16string_view text, char16_t* buffer, std::size_t capacity);

/// Case-insensitive key for std::map of names.
struct NoCaseLess {
  bool operator()(std::u16string_view a, std::u16string_view b) const { return compareNoCase(a, b) < 0; }
  using is_transparent = void;
};

}  // namespace winsim
