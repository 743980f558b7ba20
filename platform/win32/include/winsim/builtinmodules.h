// Built-in modules: libraries of the layer itself, such as "msi.dll", whose
// functions are the layer's own. LoadLibraryW finds one by its bare name
// before looking for a file, as Windows does for its known DLLs, and
// GetProcAddress looks up its table of exported names. The layer registers
// msi.dll with no exports yet; the code that implements a module's functions
// adds them, at static initialisation or later:
//
//   static winsim::BuiltinModuleRegistration g_msi(u"msi.dll", {
//       {"MsiInstallProductW", reinterpret_cast<FARPROC>(&MsiInstallProductW)},
//   });
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "win32/module.h"

namespace winsim {

struct BuiltinExport {
  std::string name;  // matched with case, as GetProcAddress does
  FARPROC address = nullptr;
};

/// Adds a module (names match without case), or more exports to one already
/// registered; an export registered again takes the new address.
void registerBuiltinModule(std::u16string_view module, const std::vector<BuiltinExport>& exports = {});
bool isBuiltinModule(std::u16string_view module);
/// The address of an export, or null when the module or the name is unknown.
FARPROC findBuiltinExport(std::u16string_view module, std::string_view name);

/// Registers exports when constructed, for a static object beside the code.
class BuiltinModuleRegistration {
 public:
  BuiltinModuleRegistration(std::u16string_view module, std::initializer_list<BuiltinExport> exports);
};

}  // namespace winsim
