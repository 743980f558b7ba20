#include "threadstate.h"

#include "afxgdi.h"

namespace winsim::mfc {

namespace {

thread_local bool t_mapsGone = false;

struct OwnedMaps {
  ThreadMaps maps;
  ~OwnedMaps() { t_mapsGone = true; }
};

}  // namespace

ThreadMaps* threadMaps() {
  if (t_mapsGone) return nullptr;
  thread_local OwnedMaps owned;
  return t_mapsGone ? nullptr : &owned.maps;
}

ThreadState& threadState() {
  thread_local ThreadState state;
  return state;
}

void deleteTemporaryObjects(int depth) {
  if (ThreadMaps* maps = threadMaps()) {
    maps->windows.deleteTemporariesAbove(depth);
    maps->menus.deleteTemporariesAbove(depth);
  }
  if (depth > 0) return;
  CDC::DeleteTempMap();
  CGdiObject::DeleteTempMap();
}

}  // namespace winsim::mfc
