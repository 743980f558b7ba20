// Starting a program of the machine: finding its image from a Windows command
// line, and running it as a host process. CreateProcessW, ShellExecuteW and
// `winsim run` all start programs through here.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "processobject.h"
#include "winsim/expected.h"
#include "winsim/machine.h"

namespace winsim {

/// A program's image: its full Windows path and the host file behind it.
struct ProgramImage {
  std::u16string windowsPath;
  std::filesystem::path hostPath;
};

/// The image named by an application name (relative to the current folder,
/// used as written) or, without one, by the start of the command line, as
/// Windows reads it. Fails with ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND,
/// ERROR_ACCESS_DENIED (a folder) or ERROR_BAD_EXE_FORMAT (not runnable).
Expected<ProgramImage> findProgramImage(const Machine& machine, std::optional<std::u16string_view> applicationName,
                                        std::u16string_view commandLine);

/// Runs an image with its Windows command line, in `currentFolder` (a Windows
/// path; the caller's current folder when absent), and enters it in the
/// machine's process table.
Expected<std::shared_ptr<ProcessObject>> startProgram(const Machine& machine, const ProgramImage& image,
                                                      std::u16string_view commandLine,
                                                      std::optional<std::u16string_view> currentFolder);

}  // namespace winsim
