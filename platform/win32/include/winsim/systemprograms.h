// The machine's system tools (msiexec, regsvr32, ...).
//
// Programs that stand for Windows's own tools are built into a folder
// `system32/` beside the winsim binary (in the build tree:
// build/<preset>/bin/system32/, filled by the tools' CMake targets, one file
// per tool, named as on Windows: msiexec.exe, regsvr32.exe). Every new machine
// gets a copy of each in its system folder (C:\Windows\System32), so that
// "msiexec ..." and "regsvr32 ..." start them through the usual search.
#pragma once

#include <filesystem>

#include "winsim/expected.h"
#include "winsim/machine.h"

namespace winsim {

/// The folder `system32/` beside the running executable.
std::filesystem::path systemProgramsFolder();

/// Copies every file of `from` (default: systemProgramsFolder()) into the
/// machine's system folder, runnable. A missing `from` folder, or a system
/// folder on a drive the machine lacks, installs nothing.
Status installSystemPrograms(const Machine& machine, const std::filesystem::path& from = systemProgramsFolder());

}  // namespace winsim
