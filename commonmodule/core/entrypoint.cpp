// MWCommonModule's entry function: the module answers the host's load and
// unload protocol and registers nothing of its own.
#include "EdCommandStack.h"
#include "RxModule.h"
#include "kxed.h"
#include "moduleframe.h"

namespace {
// The command group the module's commands would belong to.
constexpr const OdChar* kCommandGroup = u"MWCommonModule";
}  // namespace

KXRX_EXPORT int kxrxEntryPoint(int message, void* packet) {
  switch (message) {
    case KxRx::kInitAppMsg:
      odrxDynamicLinker()->unlockApplication(packet);
      odrxDynamicLinker()->registerAppMDIAware(packet);
      break;
    case KxRx::kUnloadAppMsg: {
      OdEdCommandStackPtr commands = odedRegCmds();
      commands->removeGroup(kCommandGroup);
      commands.release();
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
