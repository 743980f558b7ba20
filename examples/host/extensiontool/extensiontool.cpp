// Stand-in for the product's extension tool, MWExtensionTool.krx: a module
// built on the module frame that links MWCommonModule and registers its
// commands with the host. It is built the way an extension-tool developer
// builds one, against the installed MWCommonModule package (CMakeLists.txt).
//
//   MWHELLO name   greets on the command line and says which MWCommonModule
//                  the tool runs with and which drawing it works on
//
// and the commands of the files beside this one, each registered below with
// one line: the drawing commands (drawingcommands.cpp) and the settings
// commands and LISP functions (settingscommands.cpp).
#include "MWCommonModule.h"
#include "drawingcommands.h"
#include "kxed.h"
#include "kxut.h"
#include "moduleframe.h"
#include "settingscommands.h"

namespace {

constexpr const OdChar* kCommandGroup = u"MWExtensionTool";
constexpr std::size_t kNameSize = 132;

void helloCommand() {
  OdChar name[kNameSize] = {};
  if (kxedGetString(0, u"\nName: ", name, kNameSize) != RTNORM) return;
  WCHAR common[MAX_PATH] = {};
  GetModuleFileNameW(GetModuleHandleW(u"MWCommonModule.krx"), common, MAX_PATH);
  const OdDbDatabase* drawing = oddbHostApplicationServices()->workingDatabase();
  kxutPrintf(u"\nHello, %s, from MWExtensionTool with %s; the drawing has %d objects.", name,
             *common ? common : u"no MWCommonModule", drawing ? static_cast<int>(drawing->approxNumObjects()) : 0);
}

}  // namespace

KXRX_EXPORT int kxrxEntryPoint(int message, void* packet) {
  switch (message) {
    case KxRx::kInitAppMsg:
      odrxDynamicLinker()->unlockApplication(packet);
      odrxDynamicLinker()->registerAppMDIAware(packet);
      odedRegCmds()->addCommand(kCommandGroup, u"MWHELLO", u"MWHELLO", OdEdCommand::kModal, helloCommand);
      registerDrawingCommands(kCommandGroup);
      registerSettingsCommands(kCommandGroup);
      break;
    case KxRx::kUnloadAppMsg:
      odedRegCmds()->removeGroup(kCommandGroup);
      break;
    case KxRx::kInvkSubrMsg:
      answerSettingsFunction();
      break;
    default:
      break;
  }
  return 0;
}
