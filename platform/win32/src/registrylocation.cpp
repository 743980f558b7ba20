#include "registrylocation.h"

#include <algorithm>

#include "win32/errors.h"
#include "winsim/text.h"

namespace winsim {

namespace {

constexpr std::u16string_view kSoftware = u"SOFTWARE";
constexpr std::u16string_view kWow64Node = u"WOW6432Node";

struct FixedKey {
  RegistryRoot root;
  std::vector<std::u16string_view> path;
  bool only64;  // exists only on a machine with a 32-bit view
};

const std::vector<FixedKey>& fixedKeys() {
  static const std::vector<FixedKey> keys = {
      {RegistryRoot::LocalMachine, {u"SOFTWARE"}, false},
      {RegistryRoot::LocalMachine, {u"SOFTWARE", u"Classes"}, false},
      {RegistryRoot::LocalMachine, {u"SOFTWARE", u"WOW6432Node"}, true},
      {RegistryRoot::LocalMachine, {u"SOFTWARE", u"WOW6432Node", u"Classes"}, true},
      {RegistryRoot::LocalMachine, {u"SYSTEM"}, false},
      {RegistryRoot::CurrentUser, {u"Software"}, false},
  };
  return keys;
}

bool samePath(const std::vector<std::u16string_view>& a, const std::vector<std::u16string>& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](auto x, auto y) { return equalsNoCase(x, y); });
}

/// "HKLM\SOFTWARE\Foo" of the deny list; false for an unknown root.
bool parseDeniedKey(std::u16string_view text, RegistryLocation& location) {
  std::vector<std::u16string> names;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t slash = std::min(text.find(u'\\', start), text.size());
    std::u16string_view name = text.substr(start, slash - start);
    while (!name.empty() && name.front() == u' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == u' ') name.remove_suffix(1);
    if (!name.empty()) names.emplace_back(name);
    start = slash + 1;
  }
  if (names.empty()) return false;
  const std::u16string root = upperCase(names.front());
  names.erase(names.begin());
  if (root == u"HKLM" || root == u"HKEY_LOCAL_MACHINE") {
    location.root = RegistryRoot::LocalMachine;
  } else if (root == u"HKCU" || root == u"HKEY_CURRENT_USER") {
    location.root = RegistryRoot::CurrentUser;
  } else if (root == u"HKCR" || root == u"HKEY_CLASSES_ROOT") {
    location.root = RegistryRoot::LocalMachine;
    names.insert(names.begin(), {u"SOFTWARE", u"Classes"});
  } else {
    return false;
  }
  location.path = std::move(names);
  return true;
}

}  // namespace

bool machineHas32BitView(const Machine& machine) {
  return !equalsNoCase(machine.profileString(u"system", u"processor", u"x64"), u"x86");
}

Expected<std::vector<std::u16string>> splitSubKeyPath(std::u16string_view path) {
  std::vector<std::u16string> names;
  if (path.empty()) return names;
  if (path.front() == u'\\') return makeError(ERROR_BAD_PATHNAME, "a sub-key path cannot start with \\");
  if (path.back() == u'\\') path.remove_suffix(1);
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = std::min(path.find(u'\\', start), path.size());
    const std::u16string_view name = path.substr(start, slash - start);
    if (name.empty()) return makeError(ERROR_BAD_PATHNAME, "a sub-key path has an empty name");
    if (!isValidRegistryKeyName(name)) return makeError(ERROR_INVALID_PARAMETER, "invalid key name");
    if (names.size() >= kMaxRegistryDepth) return makeError(ERROR_INVALID_PARAMETER, "the key lies too deep");
    names.emplace_back(name);
    if (slash == path.size()) break;
    start = slash + 1;
  }
  return names;
}

void redirectToView(RegistryLocation& location, RegistryView view, bool has32BitView) {
  if (!has32BitView || view != RegistryView::Bits32 || location.root != RegistryRoot::LocalMachine) return;
  auto& path = location.path;
  if (path.empty() || !equalsNoCase(path[0], kSoftware)) return;
  if (path.size() >= 2 && equalsNoCase(path[1], kWow64Node)) return;
  path.insert(path.begin() + 1, std::u16string(kWow64Node));
}

bool isFixedKey(const RegistryLocation& location, bool has32BitView) {
  return std::any_of(fixedKeys().begin(), fixedKeys().end(), [&](const FixedKey& key) {
    return key.root == location.root && (!key.only64 || has32BitView) && samePath(key.path, location.path);
  });
}

void addFixedKeys(RegistryTree& tree, bool has32BitView) {
  for (const auto& fixed : fixedKeys()) {
    if (fixed.only64 && !has32BitView) continue;
    RegistryKey* key = &tree.root(fixed.root);
    for (const auto& name : fixed.path) key = &key->addSubkey(name);
  }
}

bool isWriteDenied(const Machine& machine, const RegistryLocation& location) {
  const std::u16string list = machine.profileString(u"registry", u"deny");
  std::size_t start = 0;
  while (start < list.size()) {
    const std::size_t end = std::min(list.find(u';', start), list.size());
    RegistryLocation denied;
    if (parseDeniedKey(std::u16string_view(list).substr(start, end - start), denied) && denied.root == location.root &&
        denied.path.size() <= location.path.size() &&
        std::equal(denied.path.begin(), denied.path.end(), location.path.begin(),
                   [](const auto& a, const auto& b) { return equalsNoCase(a, b); }))
      return true;
    start = end + 1;
  }
  return false;
}

const RegistryKey* findKey(const RegistryTree& tree, const RegistryLocation& location) {
  const RegistryKey* key = &tree.root(location.root);
  for (const auto& name : location.path) {
    key = key->subkey(name);
    if (!key) return nullptr;
  }
  return key;
}

RegistryKey* findKey(RegistryTree& tree, const RegistryLocation& location) {
  return const_cast<RegistryKey*>(findKey(static_cast<const RegistryTree&>(tree), location));
}

}  // namespace winsim
