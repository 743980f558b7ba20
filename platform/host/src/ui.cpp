// The host's user-interface library: its resources (koraxkwlres), made
// ready once for the process by the first module that asks.
#include "kxui.h"
#include "win32/module.h"

namespace {

struct UiLibrary {
  bool ready = false;
  HINSTANCE resources = nullptr;
};

UiLibrary& uiLibrary() {
  static UiLibrary instance;
  return instance;
}

}  // namespace

BOOL InitKxUiDLL() {
  UiLibrary& ui = uiLibrary();
  if (!ui.ready) {
    ui.ready = true;
    // Found beside the host program, as Windows finds a DLL by its bare name;
    // kept for the process, as the host's own resources are.
    ui.resources = LoadLibraryW(u"koraxkwlres");
  }
  return ui.resources != nullptr;
}

HINSTANCE kxuiResourceHandle() { return uiLibrary().resources; }
