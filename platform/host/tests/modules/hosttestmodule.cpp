// A module for the host's tests, written straight on the SDK's module base
// (no module frame: that is the product's). Variants are built with:
//   HOSTTEST_STAYS_LOCKED   never unlocks itself
//   HOSTTEST_API_MAJOR=n    reports SDK version n.5
//   HOSTTEST_NO_MODULE_OBJECT  exports no odrxCreateModuleObject
// While it starts it loads the module named by HOSTTEST_CHILD (if set), and
// while it stops it unloads it again when HOSTTEST_UNLOAD_CHILD is set.
#include <cstdlib>
#include <string>
#include <vector>

#include "RxModule.h"
#include "kxed.h"
#include "win32/module.h"
#include "winsim/text.h"

#ifndef HOSTTEST_API_MAJOR
#define HOSTTEST_API_MAJOR 3
#endif

namespace {

std::vector<int> g_messages;
int g_deleted = 0;

enum FunctionCode : short { kEcho = 7, kList = 8, kNothing = 9, kCode = 10 };

std::u16string childPath() {
  const char* child = std::getenv("HOSTTEST_CHILD");
  return child ? winsim::fromUtf8(child) : std::u16string();
}

int entry(int message, void* packet);

class TestModule : public OdRxExtendModule {
 public:
  explicit TestModule(HINSTANCE instance) : m_instance(instance) {}
  void* sysData() override { return m_instance; }
  void deleteModule() override;
  void initApp() override { entry(KxRx::kInitAppMsg, this); }
  void uninitApp() override { entry(KxRx::kUnloadAppMsg, this); }
  OdString moduleName() const override {
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(m_instance, path, MAX_PATH);
    return OdString(path);
  }

 private:
  HINSTANCE m_instance;
};

TestModule* g_module = nullptr;

void TestModule::deleteModule() {
  ++g_deleted;
  g_module = nullptr;
  delete this;
}

void answerCall() {
  switch (kxedGetFunCode()) {
    case kEcho: {
      const resbuf* args = kxedGetArgs();
      kxedRetStr(args && args->restype == RTSTR ? args->resval.rstring : u"no text");
      break;
    }
    case kList: {
      // The arguments, as a list.
      resbuf begin{}, end{};
      begin.restype = RTLB;
      end.restype = RTLE;
      begin.rbnext = kxedGetArgs();
      resbuf* last = &begin;
      while (last->rbnext) last = last->rbnext;
      last->rbnext = &end;
      kxedRetList(&begin);
      last->rbnext = nullptr;
      break;
    }
    case kCode: {
      resbuf code{};
      code.restype = RTSHORT;
      code.resval.rint = static_cast<short>(kxedGetFunCode());
      kxedRetList(&code);
      break;
    }
    default:
      break;  // kNothing: the caller gets nil
  }
}

int entry(int message, void* packet) {
  g_messages.push_back(message);
  switch (message) {
    case KxRx::kInitAppMsg:
#ifndef HOSTTEST_STAYS_LOCKED
      odrxDynamicLinker()->unlockApplication(packet);
#endif
      kxedDefun(u"hosttest-echo", kEcho);
      kxedDefun(u"hosttest-list", kList);
      kxedDefun(u"hosttest-nothing", kNothing);
      kxedDefun(u"hosttest-code", kCode);
      // Every variant reads the same setting; the child itself loads nothing.
      if (!childPath().empty() && !winsim::equalsNoCase(childPath(), g_module->moduleName().view()))
        kxedArxLoad(childPath().c_str());
      break;
    case KxRx::kUnloadAppMsg:
      if (!childPath().empty() && std::getenv("HOSTTEST_UNLOAD_CHILD") &&
          !winsim::equalsNoCase(childPath(), g_module->moduleName().view()))
        kxedArxUnload(childPath().c_str());
      break;
    case KxRx::kInvkSubrMsg:
      answerCall();
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace

extern "C" {

int kxrxEntryPoint(int message, void* packet) { return entry(message, packet); }

#ifndef HOSTTEST_NO_MODULE_OBJECT
OdRxModule* odrxCreateModuleObject(HINSTANCE* instance) {
  if (!g_module) g_module = new TestModule(instance ? *instance : nullptr);
  return g_module;
}
#endif

int odrxGetAPIVersion(OdInt32* major, OdInt32* minor, OdInt32* build, OdInt32* revision) {
  *major = HOSTTEST_API_MAJOR;
  *minor = 5;
  *build = 0;
  *revision = 0;
  return 0;
}

int hostTestMessageCount() { return static_cast<int>(g_messages.size()); }
int hostTestMessage(int index) { return g_messages.at(index); }
int hostTestDeleted() { return g_deleted; }
}
