// A module with the frame and only the older entry function name.
#include "Arx2DrxModule.h"
#include "moduleframe.h"

namespace {
int g_lastMessage = -1;
}

KXRX_EXPORT int acrxEntryPoint(int message, void*) {
  g_lastMessage = message;
  return 7;
}

KXRX_EXPORT int frameTestLastMessage() { return g_lastMessage; }
KXRX_EXPORT int frameTestDispatch(int message, void* packet) {
  return moduleframe::moduleObject() ? moduleframe::moduleObject()->dispatchMessage(message, packet) : -1;
}
