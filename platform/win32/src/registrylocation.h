// Where a registry key is stored: sub-key paths, the 32-bit view's redirection
// under WOW6432Node, the fixed keys, and the keys a machine's profile denies
// write access to. The rules are described in win32/registry.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "winsim/expected.h"
#include "winsim/machine.h"
#include "winsim/registryfile.h"

namespace winsim {

/// A key by its stored path: a root and the names below it.
struct RegistryLocation {
  RegistryRoot root = RegistryRoot::LocalMachine;
  std::vector<std::u16string> path;
};

enum class RegistryView { Bits32, Bits64 };

/// A machine with a 32-bit view beside its own: processor x64 or ia64.
bool machineHas32BitView(const Machine& machine);

/// The names of a sub-key path ("A\B", one trailing "\" allowed). A leading
/// "\" or an empty name is ERROR_BAD_PATHNAME; a name the registry cannot
/// keep, or a path deeper than a key can lie, is ERROR_INVALID_PARAMETER.
Expected<std::vector<std::u16string>> splitSubKeyPath(std::u16string_view path);

/// Turns a path as seen in `view` into its stored path: on a machine with a
/// 32-bit view, HKLM\SOFTWARE\X of the 32-bit view is HKLM\SOFTWARE\WOW6432Node\X.
void redirectToView(RegistryLocation& location, RegistryView view, bool has32BitView);

/// The keys that always exist and cannot be deleted.
bool isFixedKey(const RegistryLocation& location, bool has32BitView);
void addFixedKeys(RegistryTree& tree, bool has32BitView);

/// Whether the machine's profile ([registry] deny=...) refuses write access
/// to this key.
bool isWriteDenied(const Machine& machine, const RegistryLocation& location);

/// The key at a location, or null.
const RegistryKey* findKey(const RegistryTree& tree, const RegistryLocation& location);
RegistryKey* findKey(RegistryTree& tree, const RegistryLocation& location);

}  // namespace winsim
