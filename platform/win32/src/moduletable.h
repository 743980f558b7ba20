// The process's table of loaded modules, shared by the loader (module.cpp)
// and the resource functions (moduleresources.cpp).
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "moduleelf.h"
#include "win32/types.h"
#include "winsim/peresources.h"

namespace winsim::modules {

enum class ModuleKind { Program, Image, Shared, Builtin };

struct LoadedModule {
  HMODULE handle = nullptr;
  ModuleKind kind = ModuleKind::Image;
  std::u16string windowsPath;              // what GetModuleFileNameW reports
  std::string key;                         // canonical host path, or "builtin:" and the name
  std::u16string builtinName;              // Builtin
  std::optional<pe::ResourceImage> image;  // Image; Program and Shared when they carry resources
  std::optional<SharedObject> object;      // Shared
  int references = 0;
};

/// The handle GetModuleHandleW(nullptr) gives.
HMODULE programModule();
/// The module of a handle (null: the program), or null when none is loaded
/// under it. The record stays valid while the caller holds it.
std::shared_ptr<const LoadedModule> findModule(HMODULE handle);
/// Every module loaded now, the program first.
std::vector<std::shared_ptr<const LoadedModule>> loadedModules();

}  // namespace winsim::modules
