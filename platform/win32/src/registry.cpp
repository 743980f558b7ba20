// The registry functions of the Win32 surface, over the machine's registry
// store. Each call resolves its key to a stored location, then does its work
// in one access of the store.
#include "win32/registry.h"

#include <cstring>
#include <iterator>

#include "registrylocation.h"
#include "registrystore.h"
#include "win32/errors.h"
#include "winsim/handles.h"
#include "winsim/text.h"

namespace winsim {
namespace {

// Standard and generic rights that a registry access mask may carry.
constexpr REGSAM kDelete = 0x00010000;
constexpr REGSAM kWriteDac = 0x00040000;
constexpr REGSAM kWriteOwner = 0x00080000;
constexpr REGSAM kMaximumAllowed = 0x02000000;
constexpr REGSAM kGenericAll = 0x10000000;
constexpr REGSAM kGenericExecute = 0x20000000;
constexpr REGSAM kGenericWrite = 0x40000000;
constexpr REGSAM kGenericRead = 0x80000000;
constexpr REGSAM kWriteRights =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | kDelete | kWriteDac | kWriteOwner;

constexpr DWORD kOpenLinkOption = 0x00000008;  // REG_OPTION_OPEN_LINK: accepted and ignored, there are no links

/// An open key: a stored location, not a node of the tree, so that a key
/// deleted by another process is noticed (ERROR_KEY_DELETED).
class RegistryKeyObject final : public KernelObject {
 public:
  RegistryKeyObject(RegistryLocation location, REGSAM access) : m_location(std::move(location)), m_access(access) {}
  const RegistryLocation& location() const { return m_location; }
  REGSAM access() const { return m_access; }

 private:
  RegistryLocation m_location;
  REGSAM m_access;
};

/// The key a handle names, before the view of the call is applied.
struct BaseKey {
  RegistryLocation location;
  REGSAM access = KEY_ALL_ACCESS;
  bool predefined = false;
  // HKEY_CLASSES_ROOT is a path in the call's view, not a stored location.
  bool inView = false;
};

Expected<BaseKey> resolveHandle(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE) return BaseKey{{RegistryRoot::LocalMachine, {}}, KEY_ALL_ACCESS, true, false};
  if (key == HKEY_CURRENT_USER) return BaseKey{{RegistryRoot::CurrentUser, {}}, KEY_ALL_ACCESS, true, false};
  if (key == HKEY_CLASSES_ROOT)
    return BaseKey{{RegistryRoot::LocalMachine, {u"SOFTWARE", u"Classes"}}, KEY_ALL_ACCESS, true, true};
  auto object = lookupHandleAs<RegistryKeyObject>(reinterpret_cast<HANDLE>(key));
  if (!object) return makeError(ERROR_INVALID_HANDLE, "not an open registry key");
  return BaseKey{object->location(), object->access(), false, false};
}

RegistryView programView() { return programBitness() == Bitness::Bits32 ? RegistryView::Bits32 : RegistryView::Bits64; }

Expected<RegistryView> viewOf(REGSAM sam) {
  const bool want32 = (sam & KEY_WOW64_32KEY) != 0;
  const bool want64 = (sam & KEY_WOW64_64KEY) != 0;
  if (want32 && want64) return makeError(ERROR_INVALID_PARAMETER, "both registry views asked for");
  if (want32) return RegistryView::Bits32;
  if (want64) return RegistryView::Bits64;
  return programView();
}

/// The rights a mask asks for, generic rights mapped to the key's rights.
REGSAM grantedRights(REGSAM sam, bool writeDenied) {
  REGSAM rights =
      sam & ~(KEY_WOW64_RES | kMaximumAllowed | kGenericAll | kGenericExecute | kGenericWrite | kGenericRead);
  if (sam & (kGenericRead | kGenericExecute)) rights |= KEY_READ;
  if (sam & kGenericWrite) rights |= KEY_WRITE;
  if (sam & kGenericAll) rights |= KEY_ALL_ACCESS;
  // MAXIMUM_ALLOWED gets what the key allows rather than failing.
  if (sam & kMaximumAllowed) rights |= writeDenied ? KEY_READ : KEY_ALL_ACCESS;
  return rights;
}

bool asksForWrite(REGSAM sam) { return (sam & (kWriteRights | kGenericWrite | kGenericAll)) != 0; }

/// The stored location of `names` below a base key, seen in `view`.
RegistryLocation locate(const BaseKey& base, const std::vector<std::u16string>& names, RegistryView view,
                        bool has32BitView) {
  RegistryLocation location = base.location;
  if (names.empty() && !base.inView) return location;
  location.path.insert(location.path.end(), names.begin(), names.end());
  redirectToView(location, view, has32BitView);
  return location;
}

/// The location a handle's own key is stored at, for calls on the key itself.
RegistryLocation ownLocation(const BaseKey& base, bool has32BitView) {
  return locate(base, {}, programView(), has32BitView);
}

Status checkBaseExists(const RegistryTree& tree, const BaseKey& base) {
  if (!base.predefined && !findKey(tree, base.location)) return makeError(ERROR_KEY_DELETED, "the key was deleted");
  return {};
}

HKEY addKeyHandle(RegistryLocation location, REGSAM access) {
  return reinterpret_cast<HKEY>(addHandle(std::make_shared<RegistryKeyObject>(std::move(location), access)));
}

LSTATUS statusCode(const Status& status) { return status ? ERROR_SUCCESS : static_cast<LSTATUS>(status.error().code); }

std::u16string_view nameOrEmpty(LPCWSTR name) { return name ? std::u16string_view(name) : std::u16string_view(); }

Error accessDenied() { return makeError(ERROR_ACCESS_DENIED, "access denied"); }

/// Copies data into a caller's buffer as RegQueryValueExW and RegEnumValueW
/// do: sizes only without a buffer, ERROR_MORE_DATA with the size when short.
Status deliverData(const RegistryValue& value, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (type) *type = value.type;
  const DWORD needed = static_cast<DWORD>(value.data.size());
  if (data) {
    if (*size < needed) {
      *size = needed;
      return makeError(ERROR_MORE_DATA, "buffer too small");
    }
    if (needed) std::memcpy(data, value.data.data(), needed);
  }
  if (size) *size = needed;
  return {};
}

}  // namespace
}  // namespace winsim

using namespace winsim;

LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  if (ulOptions != 0 && ulOptions != kOpenLinkOption) return ERROR_INVALID_PARAMETER;
  auto base = resolveHandle(hKey);
  if (!base) return statusCode(base.error());
  auto view = viewOf(samDesired);
  if (!view) return statusCode(view.error());
  auto names = splitSubKeyPath(nameOrEmpty(lpSubKey));
  if (!names) return statusCode(names.error());

  RegistryLocation target;
  REGSAM granted = 0;
  const Status status = readRegistry([&](const RegistryTree& tree, const RegistryContext& context) -> Status {
    if (auto exists = checkBaseExists(tree, *base); !exists) return exists;
    target = locate(*base, *names, *view, context.has32BitView);
    if (!findKey(tree, target)) return makeError(ERROR_FILE_NOT_FOUND, "no such key");
    const bool denied = isWriteDenied(context.machine, target);
    if (denied && asksForWrite(samDesired & ~kMaximumAllowed)) return accessDenied();
    granted = grantedRights(samDesired, denied);
    return {};
  });
  if (!status) return statusCode(status);
  *phkResult = addKeyHandle(std::move(target), granted);
  return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions, REGSAM samDesired,
                        const LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult, LPDWORD lpdwDisposition) {
  if (!phkResult || !lpSubKey) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  // Volatile keys, links and backup semantics are not kept by this registry.
  if (Reserved != 0 || dwOptions != REG_OPTION_NON_VOLATILE) return ERROR_INVALID_PARAMETER;
  auto base = resolveHandle(hKey);
  if (!base) return statusCode(base.error());
  auto view = viewOf(samDesired);
  if (!view) return statusCode(view.error());
  auto names = splitSubKeyPath(lpSubKey);
  if (!names) return statusCode(names.error());

  RegistryLocation target;
  REGSAM granted = 0;
  DWORD disposition = REG_OPENED_EXISTING_KEY;
  const Status status =
      changeRegistry([&](RegistryTree& tree, const RegistryContext& context) -> Expected<RegistryChange> {
        if (auto exists = checkBaseExists(tree, *base); !exists) return exists.error();
        target = locate(*base, *names, *view, context.has32BitView);
        const bool denied = isWriteDenied(context.machine, target);
        granted = grantedRights(samDesired, denied);
        if (findKey(tree, target)) {
          if (denied && asksForWrite(samDesired & ~kMaximumAllowed)) return accessDenied();
          disposition = REG_OPENED_EXISTING_KEY;
          return RegistryChange::None;
        }
        if (denied || !(base->access & KEY_CREATE_SUB_KEY)) return accessDenied();
        if (target.path.size() > kMaxRegistryDepth) return makeError(ERROR_INVALID_PARAMETER, "the key lies too deep");
        // HKEY_LOCAL_MACHINE holds only its fixed keys.
        RegistryKey* key = &tree.root(target.root);
        if (target.root == RegistryRoot::LocalMachine && !key->subkey(target.path.front())) return accessDenied();
        for (const auto& name : target.path) key = &key->addSubkey(name);
        disposition = REG_CREATED_NEW_KEY;
        return RegistryChange::Made;
      });
  if (!status) return statusCode(status);
  if (lpdwDisposition) *lpdwDisposition = disposition;
  *phkResult = addKeyHandle(std::move(target), granted);
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY hKey) {
  if (hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CURRENT_USER || hKey == HKEY_CLASSES_ROOT) return ERROR_SUCCESS;
  const HANDLE handle = reinterpret_cast<HANDLE>(hKey);
  if (!lookupHandleAs<RegistryKeyObject>(handle) || !removeHandle(handle)) return ERROR_INVALID_HANDLE;
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                         LPDWORD lpcbData) {
  if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
  auto base = resolveHandle(hKey);
  if (!base) return statusCode(base.error());
  if (!(base->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  const std::u16string_view name = nameOrEmpty(lpValueName);
  return statusCode(readRegistry([&](const RegistryTree& tree, const RegistryContext& context) -> Status {
    const RegistryKey* key = findKey(tree, ownLocation(*base, context.has32BitView));
    if (!key) return makeError(ERROR_KEY_DELETED, "the key was deleted");
    const RegistryValue* value = key->value(name);
    if (!value) return makeError(ERROR_FILE_NOT_FOUND, "no such value");
    return deliverData(*value, lpType, lpData, lpcbData);
  }));
}

LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData) {
  const std::u16string_view name = nameOrEmpty(lpValueName);
  if (Reserved != 0 || !isValidRegistryValueName(name) || (!lpData && cbData != 0) || cbData > kMaxRegistryValueBytes)
    return ERROR_INVALID_PARAMETER;
  auto base = resolveHandle(hKey);
  if (!base) return statusCode(base.error());
  if (!(base->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  std::vector<BYTE> data(lpData, lpData + cbData);
  return statusCode(changeRegistry([&](RegistryTree& tree, const RegistryContext& context) -> Expected<RegistryChange> {
    const RegistryLocation location = ownLocation(*base, context.has32BitView);
    RegistryKey* key = findKey(tree, location);
    if (!key) return makeError(ERROR_KEY_DELETED, "the key was deleted");
    if (location.root == RegistryRoot::LocalMachine && location.path.empty()) return accessDenied();
    if (const RegistryValue* old = key->value(name); old && old->type == dwType && old->data == data)
      return RegistryChange::None;
    key->setValue(name, dwType, std::move(data));
    return RegistryChange::Made;
  }));
}

LSTATUS RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
  auto base = resolveHandle(hKey);
  if (!base) return statusCode(base.error());
  if (!(base->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  const std::u16string_view name = nameOrEmpty(lpValueName);
  return statusCode(changeRegistry([&](RegistryTree& tree, const RegistryContext& context) -> Expected<RegistryChange> {
    RegistryKey* key = findKey(tree, ownLocation(*base, context.has32BitView));
    if (!key) return makeError(ERROR_KEY_DELETED, "the key was deleted");
    if (!key->removeValue(name)) return makeError(ERROR_FILE_NOT_FOUND, "no such value");
    return RegistryChange::Made;
  }));
}

LSTATUS RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
  if (!lpSubKey) return ERROR_INVALID_PARAMETER;
  auto base = resolveHandle(hKey);
  if (!base) return statusCode(base.error());
  auto names = splitSubKeyPath(lpSubKey);
  if (!names) return statusCode(names.error());
  return statusCode(changeRegistry([&](RegistryTree& tree, const RegistryContext& context) -> Expected<RegistryChange> {
    if (auto exists = checkBaseExists(tree, *base); !exists) return exists.error();
    RegistryLocation target = locate(*base, *names, programView(), context.has32BitView);
    if (target.path.empty()) return accessDenied();
    const RegistryKey* key = findKey(tree, target);
    if (!key) return makeError(ERROR_FILE_NOT_FOUND, "no such key");
    if (!key->subkeys().empty() || isFixedKey(target, context.has32BitView) || isWriteDenied(context.machine, target))
      return accessDenied();
    const std::u16string name = std::move(target.path.back());
    target.path.pop_back();
    findKey(tree, target)->removeSubkey(name);
    return RegistryChange::Made;
  }));
}

LSTATUS RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved, LPWSTR lpClass,
                      LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  if (!lpName || !lpcchName || lpReserved) return ERROR_INVALID_PARAMETER;
  auto base = resolveHandle(hKey);
  if (!base) return statusCode(base.error());
  if (!(base->access & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
  return statusCode(readRegistry([&](const RegistryTree& tree, const RegistryContext& context) -> Status {
    const RegistryKey* key = findKey(tree, ownLocation(*base, context.has32BitView));
    if (!key) return makeError(ERROR_KEY_DELETED, "the key was deleted");
    if (dwIndex >= key->subkeys().size()) return makeError(ERROR_NO_MORE_ITEMS, "no more subkeys");
    const std::u16string& name = std::next(key->subkeys().begin(), dwIndex)->first;
    if (name.size() >= *lpcchName) return makeError(ERROR_MORE_DATA, "name buffer too small");
    *lpcchName = static_cast<DWORD>(copyTruncated(name, lpName, *lpcchName));
    if (lpcchClass) {
      if (lpClass && *lpcchClass > 0) lpClass[0] = u'\0';
      *lpcchClass = 0;
    }
    if (lpftLastWriteTime) *lpftLastWriteTime = context.lastWrite;
    return {};
  }));
}

LSTATUS RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                      LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
  auto base = resolveHandle(hKey);
  if (!base) return statusCode(base.error());
  if (!(base->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  return statusCode(readRegistry([&](const RegistryTree& tree, const RegistryContext& context) -> Status {
    const RegistryKey* key = findKey(tree, ownLocation(*base, context.has32BitView));
    if (!key) return makeError(ERROR_KEY_DELETED, "the key was deleted");
    if (dwIndex >= key->values().size()) return makeError(ERROR_NO_MORE_ITEMS, "no more values");
    const RegistryValue& value = key->values()[dwIndex];
    if (value.name.size() >= *lpcchValueName) return makeError(ERROR_MORE_DATA, "name buffer too small");
    *lpcchValueName = static_cast<DWORD>(copyTruncated(value.name, lpValueName, *lpcchValueName));
    return deliverData(value, lpType, lpData, lpcbData);
  }));
}

LSTATUS RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved, LPDWORD lpcSubKeys,
                         LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                         LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                         PFILETIME lpftLastWriteTime) {
  if (lpReserved) return ERROR_INVALID_PARAMETER;
  auto base = resolveHandle(hKey);
  if (!base) return statusCode(base.error());
  if (!(base->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  return statusCode(readRegistry([&](const RegistryTree& tree, const RegistryContext& context) -> Status {
    const RegistryKey* key = findKey(tree, ownLocation(*base, context.has32BitView));
    if (!key) return makeError(ERROR_KEY_DELETED, "the key was deleted");
    // Lengths are in characters without the NUL, sizes of data in bytes.
    std::size_t longestSubkey = 0, longestName = 0, largestData = 0;
    for (const auto& [name, subkey] : key->subkeys()) longestSubkey = std::max(longestSubkey, name.size());
    for (const auto& value : key->values()) {
      longestName = std::max(longestName, value.name.size());
      largestData = std::max(largestData, value.data.size());
    }
    if (lpcchClass) {
      if (lpClass && *lpcchClass > 0) lpClass[0] = u'\0';
      *lpcchClass = 0;
    }
    if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(key->subkeys().size());
    if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = static_cast<DWORD>(longestSubkey);
    if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
    if (lpcValues) *lpcValues = static_cast<DWORD>(key->values().size());
    if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = static_cast<DWORD>(longestName);
    if (lpcbMaxValueLen) *lpcbMaxValueLen = static_cast<DWORD>(largestData);
    if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
    if (lpftLastWriteTime) *lpftLastWriteTime = context.lastWrite;
    return {};
  }));
}
