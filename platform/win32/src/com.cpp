// COM initialisation per thread, object creation and programmatic ids.
#include "win32/com.h"

#include <cstring>
#include <string>

#include "comclasses.h"
#include "shobjidl.h"
#include "win32/errors.h"
#include "win32/registry.h"

namespace {

/// A thread's initialisation: how often it was initialised and in which model.
struct ThreadApartment {
  unsigned count = 0;
  DWORD model = COINIT_MULTITHREADED;
};
thread_local ThreadApartment t_apartment;

constexpr DWORD kKnownCoInitFlags =
    COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE | COINIT_SPEED_OVER_MEMORY | COINIT_MULTITHREADED;

int hexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

/// Reads `digits` hex digits at text[at]; false when one is not a hex digit.
bool readHex(std::u16string_view text, std::size_t at, int digits, std::uint64_t& value) {
  value = 0;
  for (int i = 0; i < digits; ++i) {
    const int digit = hexValue(text[at + i]);
    if (digit < 0) return false;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return true;
}

/// A class id in registry form, "{00021401-0000-0000-C000-000000000046}".
bool parseGuid(std::u16string_view text, GUID& guid) {
  constexpr std::size_t kLength = 38;
  if (text.size() != kLength || text.front() != u'{' || text.back() != u'}') return false;
  for (std::size_t dash : {9u, 14u, 19u, 24u})
    if (text[dash] != u'-') return false;
  std::uint64_t value = 0;
  if (!readHex(text, 1, 8, value)) return false;
  guid.Data1 = static_cast<DWORD>(value);
  if (!readHex(text, 10, 4, value)) return false;
  guid.Data2 = static_cast<WORD>(value);
  if (!readHex(text, 15, 4, value)) return false;
  guid.Data3 = static_cast<WORD>(value);
  // Data4: two bytes before the last dash, six after it.
  constexpr std::size_t kData4[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!readHex(text, kData4[i], 2, value)) return false;
    guid.Data4[i] = static_cast<BYTE>(value);
  }
  return true;
}

}  // namespace

HRESULT CoInitialize(LPVOID pvReserved) { return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED); }

HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) {
  if (pvReserved || (dwCoInit & ~kKnownCoInitFlags) != 0) return E_INVALIDARG;
  const DWORD model = dwCoInit & COINIT_APARTMENTTHREADED;
  ThreadApartment& apartment = t_apartment;
  if (apartment.count > 0) {
    if (apartment.model != model) return RPC_E_CHANGED_MODE;
    ++apartment.count;
    return S_FALSE;
  }
  apartment.model = model;
  apartment.count = 1;
  return S_OK;
}

void CoUninitialize() {
  if (t_apartment.count > 0) --t_apartment.count;
}

HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (t_apartment.count == 0) return CO_E_NOTINITIALIZED;
  if (pUnkOuter) return CLASS_E_NOAGGREGATION;
  if ((dwClsContext & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
  if (IsEqualGUID(rclsid, CLSID_ShellLink)) return winsim::com::createShellLink(riid, ppv);
  return REGDB_E_CLASSNOTREG;
}

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
  if (!lpszProgID || !lpclsid) return E_INVALIDARG;
  std::memset(lpclsid, 0, sizeof *lpclsid);
  const std::u16string keyName = std::u16string(lpszProgID) + u"\\CLSID";
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return CO_E_CLASSSTRING;
  WCHAR text[64] = {};
  DWORD type = 0;
  DWORD size = sizeof text - sizeof(WCHAR);  // room for a terminator the data may lack
  const LSTATUS status = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return CO_E_CLASSSTRING;
  std::u16string_view value(text, size / sizeof(WCHAR));
  while (!value.empty() && value.back() == u'\0') value.remove_suffix(1);
  GUID guid{};
  if (!parseGuid(value, guid)) return CO_E_CLASSSTRING;
  *lpclsid = guid;
  return S_OK;
}
