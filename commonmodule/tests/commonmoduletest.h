// What the common module's tests share: a fresh machine with a drive B:
// that is the build's bin folder, so the host loads the very module file the
// test program links.
#pragma once

#include <filesystem>
#include <string>

#include "testing/tempmachine.h"

namespace mwcommon::testing {

inline const std::filesystem::path kBuildBin = KX_BUILD_BIN;

inline std::vector<winsim::DriveMapping> buildBinDrive() { return {{'B', kBuildBin}}; }

/// Copies a file of the build's bin folder into the machine.
inline void copyFromBuild(winsim::testing::TempMachine& machine, const std::string& name,
                          std::u16string_view windowsFolder) {
  const std::filesystem::path folder = machine.host(windowsFolder);
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(kBuildBin / name, folder / name, std::filesystem::copy_options::overwrite_existing);
}

}  // namespace mwcommon::testing
