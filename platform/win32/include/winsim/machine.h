// The simulated Windows machine: a folder on the host.
//
//   MACHINE/machine.ini     the profile (OS version, user, disks, folders, ...)
//   MACHINE/registry.reg    the registry, in the format of registry export files
//   MACHINE/drives/c/...    drive C: (other drives beside it, or host folders
//                           named in the profile's [drives] section)
//   MACHINE/transcript.jsonl everything the machine showed to a person
//   MACHINE/state/          process table, named mutexes, locks
//
// Every program finds its machine through WINSIM_MACHINE; a test opens one in
// a temporary folder and makes it current in-process. All members are safe to
// call from several threads.
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "winsim/expected.h"
#include "winsim/inidocument.h"

namespace winsim {

/// Whether the running program is a 32-bit or a 64-bit Windows program. It
/// decides the registry view and the folders a program is shown.
enum class Bitness { Bits32, Bits64 };
Bitness programBitness();
void setProgramBitness(Bitness bitness);

/// One `--set SECTION.KEY=VALUE` of a new machine's profile.
struct ProfileSetting {
  std::string section;
  std::string key;
  std::string value;
};

/// One `--drive LETTER=HOSTFOLDER`: a drive that is a host folder.
struct DriveMapping {
  char letter = 'D';
  std::filesystem::path hostFolder;
};

class Machine {
 public:
  /// Opens an existing machine folder (it must hold machine.ini).
  static Expected<std::shared_ptr<Machine>> open(const std::filesystem::path& folder);
  /// Makes a new machine folder with the usual folders of a 64-bit Windows 7
  /// machine; refuses a folder that already holds a machine.
  static Expected<std::shared_ptr<Machine>> create(const std::filesystem::path& folder,
                                                   const std::vector<ProfileSetting>& settings = {},
                                                   const std::vector<DriveMapping>& drives = {});

  const std::filesystem::path& folder() const { return m_folder; }
  /// A file or folder of the machine's own state (registry, transcript, ...).
  std::filesystem::path stateFile(std::string_view name) const { return m_folder / name; }

  /// Profile values; the profile is read again when machine.ini changes, so a
  /// test or a second process can change it while a program runs.
  std::u16string profileString(std::u16string_view section, std::u16string_view key,
                               std::u16string_view fallback = {}) const;
  long long profileInt(std::u16string_view section, std::u16string_view key, long long fallback) const;
  Status setProfileValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);

  /// The host folder of a drive letter, or an empty path when the machine has
  /// no such drive.
  std::filesystem::path driveFolder(char16_t letter) const;

  /// The host path of a Windows path. Absolute paths (C:\x, C:/x) and paths
  /// relative to the process's current folder are accepted; each existing
  /// component is matched without case, as Windows does, and the rest is kept
  /// as written. UNC paths and unknown drives fail with ERROR_PATH_NOT_FOUND
  /// or ERROR_BAD_NETPATH.
  Expected<std::filesystem::path> hostPath(std::u16string_view windowsPath) const;
  /// The full Windows form of a path (C:\A\B), "." and ".." folded, without
  /// touching the disk.
  Expected<std::u16string> fullWindowsPath(std::u16string_view windowsPath) const;
  /// The Windows path of a host path inside one of the machine's drives.
  std::optional<std::u16string> windowsPath(const std::filesystem::path& hostPath) const;

  /// The process's current folder as a Windows path (C:\ when the host's
  /// working folder lies outside the machine's drives).
  std::u16string currentFolder() const;
  /// Changes the current folder (and the host working folder with it).
  Status setCurrentFolder(std::u16string_view windowsPath);

 private:
  explicit Machine(std::filesystem::path folder);
  const IniDocument& profile() const;  // m_mutex held

  std::filesystem::path m_folder;
  mutable std::mutex m_mutex;
  mutable IniDocument m_profile;
  mutable std::filesystem::file_time_type m_profileTime{};
  mutable std::uintmax_t m_profileSize = 0;
};

/// The machine of this process: the one set by setCurrentMachine, else the one
/// named by WINSIM_MACHINE (opened on first use). Null when there is none.
Machine* currentMachine();
void setCurrentMachine(std::shared_ptr<Machine> machine);

}  // namespace winsim
