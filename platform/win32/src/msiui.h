// The Windows Installer's user interface: the process's internal UI level and
// owner window, the external UI handler with its filter, and the delivery of
// one message to them (msi.h says who gets what).
#pragma once

#include <string>

#include "msi.h"

namespace winsim::msi {

INSTALLUILEVEL setInternalUi(INSTALLUILEVEL level, HWND* owner);
INSTALLUI_HANDLERW setExternalUi(INSTALLUI_HANDLERW handler, DWORD filter, LPVOID context);

/// Delivers a message (kind | style; null text for INITIALIZE and TERMINATE)
/// and returns the answer: the external handler's, else the internal UI's
/// button, else 0 when nobody took it.
int deliverMessage(UINT type, const std::u16string* text);

}  // namespace winsim::msi
