// What MWLoadLibrary does when the host starts and stops it: it loads the
// UI component pack from the product's Bin folder and has the host load the
// extension modules from its own folder, then unloads them in the same
// order and releases the pack handles it took.
#pragma once

#include <vector>

#include "afxstr.h"
#include "win32/types.h"

namespace mwloadlibrary {

/// The folder of the module with this instance handle: its file name cut
/// before the last "\\"; empty when the name cannot be had.
CString moduleFolder(HINSTANCE instance);
/// The folder above a folder (cut before its last "\\"); empty when it has none.
CString installationFolder(const CString& moduleFolder);

/// The load sequence (message 1): empties the handle list; loads the pack
/// from installation folder\Bin unless a module of its name is loaded
/// already (then it is used and not recorded); has the host load
/// MWCommonModule.krx and then MWExtensionTool.krx from this module's folder.
void loadSequence(HINSTANCE instance);
/// The unload sequence (message 2): has the host unload the two modules in
/// the same order, then releases every recorded handle in list order.
void unloadSequence(HINSTANCE instance);

/// The handles of the libraries this module loaded itself.
const std::vector<HINSTANCE>& libraryHandles();

}  // namespace mwloadlibrary
