// A module with the frame and no entry function at all.
#include "Arx2DrxModule.h"
#include "moduleframe.h"

KXRX_EXPORT int frameTestDispatch(int message, void* packet) {
  return moduleframe::moduleObject() ? moduleframe::moduleObject()->dispatchMessage(message, packet) : -1;
}
