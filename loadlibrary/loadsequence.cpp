#include "loadsequence.h"

#include "afxwin.h"
#include "kxed.h"
#include "win32/module.h"

namespace mwloadlibrary {

namespace {

constexpr const WCHAR* kPackName = u"BCGCBPRO2510u100.dll";
// Installation folder, a suffix (none), pack name: the pack lies in Bin.
constexpr const WCHAR* kPackPathFormat = u"%s\\Bin%s\\%s";
constexpr const WCHAR* kPackSuffix = u"";
constexpr const WCHAR* kModuleNames[] = {u"MWCommonModule", u"MWExtensionTool"};
constexpr const WCHAR* kModulePathFormat = u"%s\\%s.%s";
constexpr const WCHAR* kModuleExtension = u"krx";

std::vector<HINSTANCE> g_libraries;

CString cutBeforeLastBackslash(const CString& path) {
  const int cut = path.ReverseFind(u'\\');
  return cut < 0 ? CString() : path.Left(cut);
}

CString modulePath(const CString& folder, const WCHAR* name) {
  CString path;
  path.Format(kModulePathFormat, folder, name, kModuleExtension);
  return path;
}

}  // namespace

CString moduleFolder(HINSTANCE instance) {
  WCHAR name[MAX_PATH] = {};
  if (GetModuleFileNameW(instance, name, MAX_PATH) == 0) return CString();
  return cutBeforeLastBackslash(CString(name));
}

CString installationFolder(const CString& moduleFolder) { return cutBeforeLastBackslash(moduleFolder); }

void loadSequence(HINSTANCE instance) {
  const CString folder = moduleFolder(instance);
  const CString installation = installationFolder(folder);
  g_libraries.clear();

  CString packPath;
  packPath.Format(kPackPathFormat, installation, kPackSuffix, kPackName);
  // A pack the host loaded itself is the host's to release.
  if (!GetModuleHandleW(kPackName)) {
    if (HINSTANCE pack = AfxLoadLibrary(packPath)) g_libraries.push_back(pack);
  }

  // A module that does not load does not stop the next one.
  for (const WCHAR* name : kModuleNames) kxedArxLoad(modulePath(folder, name));
}

void unloadSequence(HINSTANCE instance) {
  const CString folder = moduleFolder(instance);
  for (const WCHAR* name : kModuleNames) kxedArxUnload(modulePath(folder, name));
  for (HINSTANCE library : g_libraries) AfxFreeLibrary(library);
  // Released handles are nothing to hold on to.
  g_libraries.clear();
}

const std::vector<HINSTANCE>& libraryHandles() { return g_libraries; }

}  // namespace mwloadlibrary
