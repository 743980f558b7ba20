// The framework's start-up calls for the controls a program's dialogs hold.
#include "controlcontainer.h"

#include <atomic>

namespace {

std::atomic<bool> g_containerEnabled{false};

}  // namespace

BOOL AfxInitRichEdit2() { return TRUE; }

void AfxEnableControlContainer() { g_containerEnabled = true; }

namespace winsim::mfc {

bool controlContainerEnabled() { return g_containerEnabled; }

}  // namespace winsim::mfc
