// Free space of the machine's drives, from its profile ([disk] LETTER).
#pragma once

#include <optional>

#include "win32/types.h"

namespace winsim::files {

/// The profile's free bytes of a drive; empty when the drive has no entry.
std::optional<ULONGLONG> freeBytes(char16_t drive);
/// A drive whose profile says 0 bytes are free refuses new data.
inline bool driveIsFull(char16_t drive) { return freeBytes(drive) == ULONGLONG{0}; }

}  // namespace winsim::files
