// Whether the program allowed dialogs to host controls of other kinds
// (AfxEnableControlContainer): the HTML dialog's browser view needs it.
#pragma once

#include "afxwin.h"

namespace winsim::mfc {

bool controlContainerEnabled();

}  // namespace winsim::mfc
