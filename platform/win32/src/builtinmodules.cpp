#include "winsim/builtinmodules.h"

#include <map>
#include <mutex>

#include "winsim/text.h"

namespace winsim {

namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::u16string, std::map<std::string, FARPROC, std::less<>>, NoCaseLess> modules;

  Registry() {
    // The Windows Installer library of the setup program; its functions are
    // added by the code that implements them.
    modules[u"msi.dll"];
  }
};

// Built at first use, so that registrations from static objects of any
// translation unit find it ready.
Registry& registry() {
  static Registry instance;
  return instance;
}

}  // namespace

void registerBuiltinModule(std::u16string_view module, const std::vector<BuiltinExport>& exports) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  auto& table = r.modules[std::u16string(module)];
  for (const auto& e : exports) table[e.name] = e.address;
}

bool isBuiltinModule(std::u16string_view module) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return r.modules.find(module) != r.modules.end();
}

FARPROC findBuiltinExport(std::u16string_view module, std::string_view name) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  const auto found = r.modules.find(module);
  if (found == r.modules.end()) return nullptr;
  const auto entry = found->second.find(name);
  return entry == found->second.end() ? nullptr : entry->second;
}

BuiltinModuleRegistration::BuiltinModuleRegistration(std::u16string_view module,
                                                     std::initializer_list<BuiltinExport> exports) {
  registerBuiltinModule(module, std::vector<BuiltinExport>(exports));
}

}  // namespace winsim
