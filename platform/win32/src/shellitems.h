// The shell's item id lists on this machine: one item for the drive ("C:\")
// and one for each folder below it, each carrying its name as UTF-16, the
// kind byte after the size as the shell marks a drive and a file-system
// folder; the list ends with an item of size 0.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shlobj.h"

namespace winsim::shell {

/// The list of a full path (C:\ or C:\A\B), in the COM task allocator's
/// memory (CoTaskMemFree); null when there is no memory.
PIDLIST_ABSOLUTE allocateItemList(std::u16string_view fullPath);

/// The path a list names; nothing for a damaged list or one that is no path.
std::optional<std::u16string> pathOfItemList(PCIDLIST_ABSOLUTE list);

}  // namespace winsim::shell
