// Host system variables as the view functions read them. The host's status
// is not examined: a variable the host cannot give reads as zero.
#pragma once

#include "Ge.h"
#include "OdTypes.h"

namespace mwcommon {

/// A point variable (VIEWCTR, TARGET, VIEWDIR; SCREENSIZE, a 2D point, with
/// z 0).
OdGePoint3d pointVariable(const OdChar* name);
/// A real variable (VIEWSIZE, LENSLENGTH, VIEWTWIST, FRONTZ, BACKZ).
double realVariable(const OdChar* name);
/// A 16-bit integer variable (VIEWMODE, CMDACTIVE).
OdInt16 shortVariable(const OdChar* name);

}  // namespace mwcommon
