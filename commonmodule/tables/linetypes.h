// Finding the linetype a layer is given: the drawing's own, else one loaded
// from the metric linetype file, else CONTINUOUS.
#pragma once

#include "DbObjectId.h"
#include "OdString.h"

namespace mwcommon {

/// The metric linetype file a missing linetype is loaded from (it ships
/// beside the drawing layer, where the SDK's file lookup finds it).
inline constexpr const OdChar* kLinetypeFile = u"acadiso.lin";
/// The linetype taken when the requested one can be neither found nor loaded.
inline constexpr const OdChar* kContinuous = u"CONTINUOUS";

/// The id of linetype `name` of the drawing, loading it from kLinetypeFile
/// when the drawing lacks it; the id of CONTINUOUS when that fails; the null
/// id when even CONTINUOUS is missing or the table cannot be opened.
OdDbObjectId resolveLinetype(OdDbDatabase* database, const OdString& name);

}  // namespace mwcommon
