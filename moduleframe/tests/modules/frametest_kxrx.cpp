// A module with the frame and a kxrxEntryPoint that records what it gets.
#include <vector>

#include "Arx2DrxModule.h"
#include "moduleframe.h"

namespace {
struct Received {
  int message;
  void* packet;
};
std::vector<Received> g_received;
}  // namespace

// Its answer shows that dispatch hands back what the entry function returns.
KXRX_EXPORT int kxrxEntryPoint(int message, void* packet) {
  g_received.push_back({message, packet});
  return 40 + message;
}

KXRX_EXPORT int frameTestMessageCount() { return static_cast<int>(g_received.size()); }
KXRX_EXPORT int frameTestMessage(int index) { return g_received.at(index).message; }
KXRX_EXPORT void* frameTestPacket(int index) { return g_received.at(index).packet; }
KXRX_EXPORT HINSTANCE frameTestInstance() { return moduleframe::moduleInstance(); }
KXRX_EXPORT BOOL frameTestExtensionInitialised() { return moduleframe::extensionModule().bInitialized; }
KXRX_EXPORT HMODULE frameTestExtensionModule() { return moduleframe::extensionModule().hModule; }
KXRX_EXPORT OdRxModule* frameTestModuleObject() { return moduleframe::moduleObject(); }
KXRX_EXPORT int frameTestDispatch(int message, void* packet) {
  return moduleframe::moduleObject() ? moduleframe::moduleObject()->dispatchMessage(message, packet) : -1;
}
