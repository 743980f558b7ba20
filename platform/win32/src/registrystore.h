// The registry of the current machine as this process sees it.
//
// The store keeps the last tree it read from MACHINE/registry.reg and the
// file's identity (device, inode, size, times). Each access takes the
// machine's registry lock (flock on MACHINE/state/registry.lock: shared to
// read, exclusive to change), reads the file again only when its identity
// changed, and a change is written to a temporary file beside it, flushed and
// renamed over it before the lock is released. All threads of the process
// share the store; its accesses are serialised.
#pragma once

#include <functional>

#include "win32/types.h"
#include "winsim/expected.h"
#include "winsim/machine.h"
#include "winsim/registryfile.h"

namespace winsim {

/// What an access knows besides the tree.
struct RegistryContext {
  const Machine& machine;
  bool has32BitView;   // machineHas32BitView(machine)
  FILETIME lastWrite;  // when the registry file was last written
};

enum class RegistryChange { None, Made };

/// Runs `work` on the registry under the shared lock. Fails without running
/// it when there is no machine or its registry file is damaged.
Status readRegistry(const std::function<Status(const RegistryTree&, const RegistryContext&)>& work);

/// Runs `work` under the exclusive lock; when it reports a change, the
/// registry is written before the lock is released. A failed `work` or a
/// failed write leaves the file as it was (the store reads it again).
Status changeRegistry(const std::function<Expected<RegistryChange>(RegistryTree&, const RegistryContext&)>& work);

}  // namespace winsim
