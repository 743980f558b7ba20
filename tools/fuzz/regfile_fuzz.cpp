// Fuzzes the reader of MACHINE/registry.reg. Whatever the input, the reader
// either fails with ERROR_REGISTRY_CORRUPT or gives a tree; a tree written
// back and read again is the same tree.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "win32/errors.h"
#include "winsim/registryfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto tree = winsim::parseRegistryFile(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!tree) {
    if (tree.error().code != ERROR_REGISTRY_CORRUPT || tree.error().message.empty()) __builtin_trap();
    return 0;
  }
  const std::string written = winsim::serializeRegistryFile(tree.value());
  auto again = winsim::parseRegistryFile(written);
  if (!again || !(again.value() == tree.value())) __builtin_trap();
  return 0;
}
