// What the framework's message box takes from the application object.
#pragma once

#include "afxstr.h"

namespace winsim::mfc {

/// The caption of the framework's boxes: the application's title, or the
/// program's file name without extension while no application object has
/// been initialised.
CString messageBoxCaption();

}  // namespace winsim::mfc
