#include "core/modulestate.h"

#include "afxstr.h"
#include "kxut.h"
#include "win32/module.h"

namespace mwcommon {

namespace {

constexpr const WCHAR* kExpressModule = u"express.krx";
constexpr const WCHAR* kExpressResources = u"\\expressres.dll";
constexpr const WCHAR* kHostResources = u"koraxkwlres";

ModuleState g_state;

// Made with the module's other statics, before the loader attaches the
// module, as a module that links the host's resource library has it loaded.
const struct HostResourcesLoad {
  HostResourcesLoad() { g_state.hostResources = LoadLibraryW(kHostResources); }
} g_hostResourcesLoad;

}  // namespace

ModuleState& moduleState() { return g_state; }

}  // namespace mwcommon

int LoadExpressRes() {
  HINSTANCE& resources = mwcommon::moduleState().expressResources;
  if (resources) return 1;
  // Without the express module the loader names the host program instead,
  // so the library is looked for beside the host.
  WCHAR path[MAX_PATH] = {};
  GetModuleFileNameW(GetModuleHandleW(mwcommon::kExpressModule), path, MAX_PATH);
  CString folder(path);
  folder = folder.Left(folder.ReverseFind(u'\\'));
  resources = LoadLibraryW(folder + mwcommon::kExpressResources);
  if (!resources) kxutPrintf(u"Error: Cannot load expressres.dll!\n");
  return 1;
}
