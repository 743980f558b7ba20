// The Windows Installer's work: installing a package with rollback, and
// removing an installed product (msi.h describes both).
#pragma once

#include <string_view>

#include "win32/types.h"

namespace winsim::msi {

/// MsiInstallProductW.
UINT installPackage(std::u16string_view packagePath, std::u16string_view commandLine);
/// MsiConfigureProductW with INSTALLSTATE_ABSENT.
UINT removeInstalledProduct(std::u16string_view productCode);

}  // namespace winsim::msi
