// Code-page conversions for the layers' own use (profile files, the registry
// file, the C runtime's narrow calls): whole strings in, whole strings out.
#pragma once

#include <string>
#include <string_view>

#include "win32/types.h"

namespace winsim {

/// The machine's ANSI code page: its profile's system.codepage when that is
/// 1252, 936, 950 or 932, else 1252 (also when there is no machine).
UINT ansiCodePage();
/// Wide text to a code page (CP_ACP and CP_OEMCP included); characters the
/// page lacks become '?'. A page that cannot be converted is taken as 1252.
std::string toCodePage(std::u16string_view text, UINT codePage);
/// Bytes of a code page to wide text; invalid bytes become U+FFFD. A page that
/// cannot be converted is taken as 1252.
std::u16string fromCodePage(std::string_view bytes, UINT codePage);

inline std::string toAnsi(std::u16string_view text) { return toCodePage(text, ansiCodePage()); }
inline std::u16string fromAnsi(std::string_view bytes) { return fromCodePage(bytes, ansiCodePage()); }

}  // namespace winsim
