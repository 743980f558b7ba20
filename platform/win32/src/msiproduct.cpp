#include "msiproduct.h"

#include <algorithm>
#include <iterator>

#include "registrylocation.h"
#include "registrystore.h"
#include "win32/errors.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace winsim::msi {

namespace {

constexpr char16_t kUninstallKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char16_t kProductsKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Products\\";
constexpr REGSAM kView = KEY_WOW64_64KEY;

StoredKey recordKey(std::u16string_view productCode) {
  return {HKEY_LOCAL_MACHINE, std::u16string(kProductsKey) + std::u16string(productCode)};
}

StoredKey uninstallKey(std::u16string_view productCode, MsiPlatform platform) {
  return storedKeyFor(MsiRegistryEntry::Root::LocalMachine, std::u16string(kUninstallKey) + std::u16string(productCode),
                      platform);
}

std::vector<BYTE> stringBytes(std::u16string_view text) {
  std::vector<BYTE> bytes((text.size() + 1) * 2, 0);
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<BYTE>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<BYTE>(text[i] >> 8);
  }
  return bytes;
}

std::vector<BYTE> multiStringBytes(const std::vector<std::u16string>& items) {
  std::vector<BYTE> bytes;
  for (const auto& item : items) {
    const auto one = stringBytes(item);
    bytes.insert(bytes.end(), one.begin(), one.end());
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

std::u16string textOf(const SavedValue& value) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < value.data.size(); i += 2)
    text += static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
  return text;
}

std::u16string readString(HKEY key, std::u16string_view name) {
  const auto value = readValue(key, name);
  if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return {};
  std::u16string text = textOf(*value);
  if (const auto nul = text.find(u'\0'); nul != std::u16string::npos) text.resize(nul);
  return text;
}

std::vector<std::u16string> readMultiString(HKEY key, std::u16string_view name) {
  std::vector<std::u16string> items;
  const auto value = readValue(key, name);
  if (!value || value->type != REG_MULTI_SZ) return items;
  const std::u16string text = textOf(*value);
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t nul = std::min(text.find(u'\0', start), text.size());
    if (nul == start) break;
    items.push_back(text.substr(start, nul - start));
    start = nul + 1;
  }
  return items;
}

void setString(HKEY key, std::u16string_view name, std::u16string_view text, LSTATUS& status) {
  const auto bytes = stringBytes(text);
  const LSTATUS result =
      RegSetValueExW(key, std::u16string(name).c_str(), 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size()));
  if (status == ERROR_SUCCESS) status = result;
}

void setDword(HKEY key, std::u16string_view name, DWORD number, LSTATUS& status) {
  const BYTE bytes[4] = {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8), static_cast<BYTE>(number >> 16),
                         static_cast<BYTE>(number >> 24)};
  const LSTATUS result = RegSetValueExW(key, std::u16string(name).c_str(), 0, REG_DWORD, bytes, 4);
  if (status == ERROR_SUCCESS) status = result;
}

void setMultiString(HKEY key, std::u16string_view name, const std::vector<std::u16string>& items, LSTATUS& status) {
  const auto bytes = multiStringBytes(items);
  if (bytes.size() > kMaxRegistryValueBytes) {
    if (status == ERROR_SUCCESS) status = ERROR_INSUFFICIENT_BUFFER;
    return;
  }
  const LSTATUS result = RegSetValueExW(key, std::u16string(name).c_str(), 0, REG_MULTI_SZ, bytes.data(),
                                        static_cast<DWORD>(bytes.size()));
  if (status == ERROR_SUCCESS) status = result;
}

/// Deletes every value of a key, then the key if nothing else is left in it.
void deleteKeyWithValues(const StoredKey& key) {
  HKEY handle = nullptr;
  if (openStoredKey(key, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS) return;
  while (true) {
    char16_t name[kMaxRegistryValueName + 1];
    DWORD length = static_cast<DWORD>(std::size(name));
    if (RegEnumValueW(handle, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (RegDeleteValueW(handle, name) != ERROR_SUCCESS) break;
  }
  RegCloseKey(handle);
  deleteStoredKeyIfEmpty(key);
}

}  // namespace

std::u16string storedKeyText(const StoredKey& key) {
  return (key.root == HKEY_CURRENT_USER ? u"HKCU\\" : u"HKLM\\") + key.path;
}

std::optional<StoredKey> parseStoredKeyText(std::u16string_view text) {
  if (text.size() < 6 || text[4] != u'\\') return std::nullopt;
  const std::u16string_view root = text.substr(0, 4);
  StoredKey key;
  if (equalsNoCase(root, u"HKLM")) {
    key.root = HKEY_LOCAL_MACHINE;
  } else if (equalsNoCase(root, u"HKCU")) {
    key.root = HKEY_CURRENT_USER;
  } else {
    return std::nullopt;
  }
  key.path = text.substr(5);
  return key;
}

bool machineIs64Bit() {
  const Machine* machine = currentMachine();
  return machine && machineHas32BitView(*machine);
}

StoredKey storedKeyFor(MsiRegistryEntry::Root root, std::u16string_view key, MsiPlatform platform) {
  StoredKey stored;
  stored.root = root == MsiRegistryEntry::Root::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  stored.path =
      root == MsiRegistryEntry::Root::ClassesRoot ? u"SOFTWARE\\Classes\\" + std::u16string(key) : std::u16string(key);
  // HKLM\SOFTWARE of a 32-bit package is the 32-bit view's, as the layer's
  // registry redirects it (win32/registry.h).
  constexpr std::u16string_view kSoftware = u"SOFTWARE\\";
  constexpr std::u16string_view kWowNode = u"WOW6432Node";
  const std::u16string_view path = stored.path;
  if (stored.root == HKEY_LOCAL_MACHINE && platform == MsiPlatform::X86 && machineIs64Bit() &&
      path.size() > kSoftware.size() && equalsNoCase(path.substr(0, kSoftware.size()), kSoftware)) {
    const std::u16string_view below = path.substr(kSoftware.size());
    const bool already = below.size() >= kWowNode.size() && equalsNoCase(below.substr(0, kWowNode.size()), kWowNode) &&
                         (below.size() == kWowNode.size() || below[kWowNode.size()] == u'\\');
    if (!already)
      stored.path = std::u16string(path.substr(0, kSoftware.size())) + u"WOW6432Node\\" + std::u16string(below);
  }
  return stored;
}

LSTATUS openStoredKey(const StoredKey& key, REGSAM access, HKEY* opened) {
  return RegOpenKeyExW(key.root, key.path.c_str(), 0, access | kView, opened);
}

LSTATUS createStoredKey(const StoredKey& key, std::vector<StoredKey>* created, HKEY* opened) {
  // One level at a time, so that the keys this call makes are known and a
  // rollback or a removal deletes exactly those.
  std::size_t end = 0;
  while (true) {
    end = key.path.find(u'\\', end);
    const bool last = end == std::u16string::npos;
    const std::u16string prefix = last ? key.path : key.path.substr(0, end);
    HKEY handle = nullptr;
    DWORD disposition = 0;
    const LSTATUS status = RegCreateKeyExW(key.root, prefix.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_ALL_ACCESS | kView, nullptr, &handle, &disposition);
    if (status != ERROR_SUCCESS) return status;
    if (disposition == REG_CREATED_NEW_KEY && created) created->push_back({key.root, prefix});
    if (last) {
      *opened = handle;
      return ERROR_SUCCESS;
    }
    RegCloseKey(handle);
    ++end;
  }
}

bool deleteStoredKeyIfEmpty(const StoredKey& key) {
  // RegDeleteKeyW works in the calling program's view; the installer's keys
  // are stored paths, so the store is asked directly.
  auto names = splitSubKeyPath(key.path);
  if (!names || names->empty()) return false;
  RegistryLocation location{key.root == HKEY_CURRENT_USER ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine,
                            std::move(names.value())};
  bool deleted = false;
  const Status status =
      changeRegistry([&](RegistryTree& tree, const RegistryContext& context) -> Expected<RegistryChange> {
        const RegistryKey* found = findKey(tree, location);
        if (!found || !found->subkeys().empty() || !found->values().empty() ||
            isFixedKey(location, context.has32BitView) || isWriteDenied(context.machine, location))
          return RegistryChange::None;
        RegistryLocation parent = location;
        const std::u16string name = std::move(parent.path.back());
        parent.path.pop_back();
        findKey(tree, parent)->removeSubkey(name);
        deleted = true;
        return RegistryChange::Made;
      });
  return status.ok() && deleted;
}

std::optional<SavedValue> readValue(HKEY key, std::u16string_view name) {
  const std::u16string valueName(name);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  if (size > kMaxRegistryValueBytes) return std::nullopt;
  SavedValue value;
  value.type = type;
  value.data.resize(size);
  if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, value.data.data(), &size) != ERROR_SUCCESS)
    return std::nullopt;
  value.data.resize(size);
  value.type = type;
  return value;
}

Expected<ProductRecord> readProductRecord(std::u16string_view productCode) {
  const std::u16string code = upperCase(productCode);
  HKEY key = nullptr;
  if (!isMsiProductCode(code) || openStoredKey(recordKey(code), KEY_READ, &key) != ERROR_SUCCESS)
    return makeError(ERROR_UNKNOWN_PRODUCT, "the product is not installed");
  ProductRecord record;
  record.productCode = code;
  record.productName = readString(key, u"ProductName");
  record.productVersion = readString(key, u"ProductVersion");
  record.manufacturer = readString(key, u"Manufacturer");
  record.packagePath = readString(key, u"PackagePath");
  record.targetDir = readString(key, u"TargetDir");
  record.platform = readString(key, u"Platform") == u"x64" ? MsiPlatform::X64 : MsiPlatform::X86;
  if (const auto language = readValue(key, u"Language"); language && language->data.size() == 4)
    record.language = static_cast<WORD>(language->data[0] | (language->data[1] << 8));
  record.files = readMultiString(key, u"Files");
  record.folders = readMultiString(key, u"Folders");
  record.registryValues = readMultiString(key, u"RegistryValues");
  record.registryKeys = readMultiString(key, u"RegistryKeys");
  RegCloseKey(key);
  return record;
}

LSTATUS writeProductRecord(const ProductRecord& record, std::vector<StoredKey>* created) {
  HKEY key = nullptr;
  LSTATUS status = createStoredKey(recordKey(record.productCode), created, &key);
  if (status != ERROR_SUCCESS) return status;
  setString(key, u"ProductName", record.productName, status);
  setString(key, u"ProductVersion", record.productVersion, status);
  setString(key, u"Manufacturer", record.manufacturer, status);
  setString(key, u"PackagePath", record.packagePath, status);
  setString(key, u"TargetDir", record.targetDir, status);
  setString(key, u"Platform", record.platform == MsiPlatform::X64 ? u"x64" : u"x86", status);
  setDword(key, u"Language", record.language, status);
  setMultiString(key, u"Files", record.files, status);
  setMultiString(key, u"Folders", record.folders, status);
  setMultiString(key, u"RegistryValues", record.registryValues, status);
  setMultiString(key, u"RegistryKeys", record.registryKeys, status);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return status;

  HKEY entry = nullptr;
  status = createStoredKey(uninstallKey(record.productCode, record.platform), created, &entry);
  if (status != ERROR_SUCCESS) return status;
  const std::size_t slash = record.packagePath.find_last_of(u'\\');
  const std::u16string source =
      slash == std::u16string::npos ? std::u16string() : record.packagePath.substr(0, slash + 1);
  setString(entry, u"DisplayName", record.productName, status);
  setString(entry, u"DisplayVersion", record.productVersion, status);
  setString(entry, u"Publisher", record.manufacturer, status);
  setString(entry, u"InstallLocation", record.targetDir, status);
  setString(entry, u"InstallSource", source, status);
  setString(entry, u"UninstallString", u"MsiExec.exe /X" + record.productCode, status);
  setDword(entry, u"WindowsInstaller", 1, status);
  setDword(entry, u"Language", record.language, status);
  RegCloseKey(entry);
  return status;
}

void deleteProductRecord(const ProductRecord& record) {
  deleteKeyWithValues(uninstallKey(record.productCode, record.platform));
  deleteKeyWithValues(recordKey(record.productCode));
}

void mergeNames(std::vector<std::u16string>& list, const std::vector<std::u16string>& more) {
  for (const auto& item : more) {
    const bool present =
        std::any_of(list.begin(), list.end(), [&](const std::u16string& have) { return equalsNoCase(have, item); });
    if (!present) list.push_back(item);
  }
}

}  // namespace winsim::msi
