// The external user-interface handler that the setup program gives Windows
// Installer for each package (RunMsiPackage): it shows the installer's fatal,
// error and warning messages in message boxes with no owner, keeps the
// installation language from the common-data records for the error boxes,
// and acknowledges everything else.
//
// Its state lives for the process: a first-call flag (set at program start)
// and the language id of error boxes (0 at program start). On its first call
// the handler sets the installer's internal UI to INSTALLUILEVEL_BASIC.
#pragma once

#include "msi.h"

/// The handler, as MsiSetExternalUIW takes it. The context is not used.
int MsiInstallErrorHandler(LPVOID context, UINT messageType, LPCWSTR message);

/// The handler's language id for error boxes (0 until a common-data record
/// gives one).
WORD GetMsiHandlerLanguage();
