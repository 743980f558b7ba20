// The extension tool's settings commands and LISP functions (MWSET, MWGET,
// MWFORGET, MWSAVE, MWRESTORE, MWMARK, MWLAYERS; mwsetlist, mwsetpoint,
// mwgetlist, mwgettext).
#pragma once

#include "OdTypes.h"

/// Adds the settings commands to the host's command stack in `group` and
/// defines the LISP functions; called while the tool handles message 1. The
/// group's removal at unload takes the commands away, the host forgets the
/// functions with the tool.
void registerSettingsCommands(const OdChar* group);
/// Answers a call of one of the LISP functions (message 5).
void answerSettingsFunction();
