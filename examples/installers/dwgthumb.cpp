// The stand-in of the product's thumbnail shell extension, dwgthumb.dll: a
// library of this machine (ELF) with the two entry points regsvr32 calls.
// DllRegisterServer registers the handler as a COM in-process server and as
// the thumbnail provider of .dwg files, in the view of the program that loads
// it:
//
//   HKCR\CLSID\{9A4C3A2E-6B1D-4F7A-8C55-3D2E1B0A7F61}                    "DWG Merrowin Thumbnail Provider"
//   HKCR\CLSID\{9A4C3A2E-6B1D-4F7A-8C55-3D2E1B0A7F61}\InprocServer32     the library's path, ThreadingModel Apartment
//   HKCR\.dwg\ShellEx\{E357FCCD-A995-4576-B01F-234630154E96}             the class id (IThumbnailProvider)
//
// DllUnregisterServer deletes those keys again.
#include <string>

#include "win32/errors.h"
#include "win32/module.h"
#include "win32/registry.h"

namespace {

constexpr HRESULT kOk = 0;
constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);
constexpr HRESULT kAccessDenied = static_cast<HRESULT>(0x80070005);
constexpr char16_t kClassKey[] = u"CLSID\\{9A4C3A2E-6B1D-4F7A-8C55-3D2E1B0A7F61}";
constexpr char16_t kServerKey[] = u"CLSID\\{9A4C3A2E-6B1D-4F7A-8C55-3D2E1B0A7F61}\\InprocServer32";
constexpr char16_t kHandlerKey[] = u".dwg\\ShellEx\\{E357FCCD-A995-4576-B01F-234630154E96}";
constexpr char16_t kClassId[] = u"{9A4C3A2E-6B1D-4F7A-8C55-3D2E1B0A7F61}";

HINSTANCE g_self = nullptr;

bool setString(const char16_t* path, const char16_t* name, const std::u16string& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const LSTATUS status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                        static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

}  // namespace

extern "C" BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_self = instance;
  return TRUE;
}

extern "C" HRESULT DllRegisterServer() {
  WCHAR path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(g_self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return kFail;
  const bool ok = setString(kClassKey, nullptr, u"DWG Merrowin Thumbnail Provider") &&
                  setString(kServerKey, nullptr, std::u16string(path, length)) &&
                  setString(kServerKey, u"ThreadingModel", u"Apartment") && setString(kHandlerKey, nullptr, kClassId);
  return ok ? kOk : kAccessDenied;
}

extern "C" HRESULT DllUnregisterServer() {
  // Children first: a key with subkeys cannot be deleted.
  for (const char16_t* key : {kHandlerKey, kServerKey, kClassKey}) RegDeleteKeyW(HKEY_CLASSES_ROOT, key);
  return kOk;
}
