// Stand-in for the host's express module (express.krx): a module of the host
// that lives in the host's Express folder beside its message library. It
// registers one command, EXPRESSVER, that says where it was loaded from.
#include "EdCommandStack.h"
#include "RxModule.h"
#include "kxdefs.h"
#include "kxut.h"
#include "win32/module.h"

namespace {

constexpr const OdChar* kGroup = u"EXPRESS";

class ExpressModule : public OdRxExtendModule {
 public:
  explicit ExpressModule(HINSTANCE instance) : m_instance(instance) {}
  void* sysData() override { return m_instance; }
  void deleteModule() override;
  void initApp() override {
    odrxDynamicLinker()->unlockApplication(this);
    odedRegCmds()->addCommand(kGroup, u"EXPRESSVER", u"EXPRESSVER", OdEdCommand::kModal, &showVersion);
  }
  void uninitApp() override { odedRegCmds()->removeGroup(kGroup); }
  OdString moduleName() const override {
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(m_instance, path, MAX_PATH);
    return OdString(path);
  }

 private:
  static void showVersion();
  HINSTANCE m_instance;
};

ExpressModule* g_module = nullptr;

void ExpressModule::deleteModule() {
  g_module = nullptr;
  delete this;
}

void ExpressModule::showVersion() {
  kxutPrintf(u"\nExpress tools stand-in, loaded from %s", g_module ? g_module->moduleName().c_str() : u"?");
}

}  // namespace

extern "C" OdRxModule* odrxCreateModuleObject(HINSTANCE* instance) {
  if (!g_module) g_module = new ExpressModule(instance ? *instance : nullptr);
  return g_module;
}
