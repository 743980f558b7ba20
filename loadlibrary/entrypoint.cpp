// MWLoadLibrary's entry function and plug-in number. Its frame is the common
// module frame; its work is the load and unload sequences.
#include "EdCommandStack.h"
#include "RxModule.h"
#include "kxed.h"
#include "loadsequence.h"
#include "moduleframe.h"

namespace {

constexpr const OdChar* kCommandGroup = u"MWLoadLibrary";
constexpr const OdChar* kSecureLoad = u"SECURELOAD";
constexpr OdInt32 kPluginId = 51;

/// The extension modules lie outside the host's trusted folders.
void relaxSecureLoad() {
  resbuf value{};
  value.restype = RTSHORT;
  value.resval.rint = 0;
  kxedSetVar(kSecureLoad, &value);
}

}  // namespace

KXRX_EXPORT int kxrxEntryPoint(int message, void* packet) {
  switch (message) {
    case KxRx::kInitAppMsg:
      odrxDynamicLinker()->unlockApplication(packet);
      odrxDynamicLinker()->registerAppMDIAware(packet);
      relaxSecureLoad();
      mwloadlibrary::loadSequence(moduleframe::moduleInstance());
      break;
    case KxRx::kUnloadAppMsg: {
      OdEdCommandStackPtr commands = odedRegCmds();
      commands->removeGroup(kCommandGroup);
      commands.release();
      mwloadlibrary::unloadSequence(moduleframe::moduleInstance());
      break;
    }
    case KxRx::kInvkSubrMsg:
      // The module defines no functions: there is nothing to call.
      kxedRetVoid();
      kxedGetFunCode();
      break;
    default:
      break;
  }
  return 0;
}

/// The plug-in number of the loader, 51. False (and nothing written) for a
/// null pointer.
KXRX_EXPORT bool GetPluginId(OdInt32* id) {
  if (!id) return false;
  *id = kPluginId;
  return true;
}
