// Code-page conversions for the layers' own use (profile files, the registry
// file, the C runtime's narrow calls): whole strings in, whole strings out.
#pragma once

#include <string>
#include <string_view>

#include "win32/types.h"

namespace winsim {

/// The machine's ANSI code page (1252 when there is no machine).
UINT ansiCodePage();
/// Wide text to a code page; characters the page lacks become '?'.
std::string toCodePage(std::u16string_view text, UINT codePage);
/// Bytes of a code page to wide text; invalid bytes become U+FFFD.
std::u16string fromCodePage(std::string_view bytes, UINT codePage);

inline std::string toAnsi(std::u16string_view text) { return toCodePage(text, ansiCodePage()); }
inline std::u16string fromAnsi(std::string_view bytes) { return fromCodePage(bytes, ansiCodePage()); }

}  // namespace winsim
