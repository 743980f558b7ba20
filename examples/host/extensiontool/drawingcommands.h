// The extension tool's drawing commands (MWFRAME, MWINSERT, MWEXTENTS).
#pragma once

#include "OdTypes.h"

/// Adds the drawing commands to the host's command stack in `group`; the
/// group's removal at unload takes them away again.
void registerDrawingCommands(const OdChar* group);
