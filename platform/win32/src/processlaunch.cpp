#include "processlaunch.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "processtable.h"
#include "win32/errors.h"
#include "winsim/text.h"

extern char** environ;

namespace winsim {

namespace fs = std::filesystem;

namespace {

// The variables through which a program learns its machine, its image and
// its command line. Stand-in programs written by anyone rely on these names.
constexpr const char* kMachineVariable = "WINSIM_MACHINE";
constexpr const char* kImageVariable = "WINSIM_IMAGE";
constexpr const char* kCommandLineVariable = "WINSIM_CMDLINE";

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool hasFolder(std::u16string_view name) {
  if (name.size() >= 2 && name[1] == u':') return true;
  for (char16_t c : name)
    if (isSeparator(c)) return true;
  return false;
}

/// Windows adds ".exe" to a file name without extension; a name ending in a
/// period has an empty extension and keeps none (file names never end in one).
std::u16string withDefaultExtension(std::u16string_view name) {
  std::size_t fileStart = 0;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (isSeparator(name[i]) || name[i] == u':') fileStart = i + 1;
  const std::u16string_view file = name.substr(fileStart);
  if (!file.empty() && file.back() == u'.') return std::u16string(name.substr(0, name.size() - 1));
  if (file.find(u'.') == std::u16string_view::npos) return std::u16string(name) + u".exe";
  return std::u16string(name);
}

std::u16string joinWindowsPath(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(folder);
  if (!path.empty() && !isSeparator(path.back())) path += u'\\';
  return path + std::u16string(name);
}

std::u16string parentFolder(std::u16string_view path) {
  const auto at = path.find_last_of(u"\\/");
  if (at == std::u16string_view::npos) return {};
  return std::u16string(path.substr(0, at == 2 ? 3 : at));  // keep the root's backslash
}

enum class Found { File, Folder, Missing, MissingFolder };

Found probe(const Machine& machine, std::u16string_view windowsPath, fs::path* host) {
  auto path = machine.hostPath(windowsPath);
  if (!path) return Found::MissingFolder;
  *host = path.value();
  std::error_code ec;
  const auto status = fs::status(*host, ec);
  if (fs::is_regular_file(status)) return Found::File;
  if (fs::is_directory(status)) return Found::Folder;
  return fs::is_directory(host->parent_path(), ec) ? Found::Missing : Found::MissingFolder;
}

Error notFound(std::u16string_view name, Found found) {
  if (found == Found::Folder) return makeError(ERROR_ACCESS_DENIED, toUtf8(name) + " is a folder, not a program");
  if (found == Found::MissingFolder)
    return makeError(ERROR_PATH_NOT_FOUND, "the folder of " + toUtf8(name) + " does not exist");
  return makeError(ERROR_FILE_NOT_FOUND, toUtf8(name) + " was not found");
}

/// The folders a bare program name is searched in, in Windows's order: the
/// calling program's folder, the current folder, the system folder, the
/// Windows folder.
std::vector<std::u16string> searchFolders(const Machine& machine) {
  std::vector<std::u16string> folders;
  if (const char* image = std::getenv(kImageVariable); image && *image) {
    const std::u16string own = parentFolder(fromUtf8(image));
    if (!own.empty()) folders.push_back(own);
  }
  folders.push_back(machine.currentFolder());
  folders.push_back(machine.profileString(u"folders", u"system", u"C:\\Windows\\System32"));
  folders.push_back(machine.profileString(u"folders", u"windows", u"C:\\Windows"));
  return folders;
}

/// A host executable: an ELF binary or a "#!" script, with a run bit.
Status checkRunnable(const ProgramImage& image) {
  struct stat info {};
  if (::stat(image.hostPath.c_str(), &info) != 0)
    return makeError(ERROR_FILE_NOT_FOUND, toUtf8(image.windowsPath) + " was not found");
  const int fd = ::open(image.hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return makeError(ERROR_ACCESS_DENIED, "cannot read " + toUtf8(image.windowsPath));
  char head[4] = {};
  const ssize_t got = ::read(fd, head, sizeof head);
  ::close(fd);
  const bool elf = got == 4 && std::memcmp(head,
                                           "\x7F"
                                           "ELF",
                                           4) == 0;
  const bool script = got >= 2 && head[0] == '#' && head[1] == '!';
  if (!elf && !script) return makeError(ERROR_BAD_EXE_FORMAT, toUtf8(image.windowsPath) + " is not a program");
  if ((info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) == 0)
    return makeError(ERROR_BAD_EXE_FORMAT, toUtf8(image.windowsPath) + " is not runnable (no run bit)");
  return {};
}

/// Finds a program by the name written in a command line.
Expected<ProgramImage> locate(const Machine& machine, std::u16string_view written) {
  const std::u16string name = withDefaultExtension(written);
  fs::path host;
  if (hasFolder(name)) {
    auto full = machine.fullWindowsPath(name);
    if (!full) return full.error();
    const Found found = probe(machine, full.value(), &host);
    if (found != Found::File) return notFound(full.value(), found);
    return ProgramImage{full.value(), host};
  }
  for (const auto& folder : searchFolders(machine)) {
    const std::u16string candidate = joinWindowsPath(folder, name);
    if (probe(machine, candidate, &host) == Found::File) return ProgramImage{candidate, host};
  }
  return makeError(ERROR_FILE_NOT_FOUND, toUtf8(name) + " was not found in the program's folder, the current folder, " +
                                             "the system folder or the Windows folder");
}

Expected<ProgramImage> locateInCommandLine(const Machine& machine, std::u16string_view commandLine) {
  std::size_t start = 0;
  while (start < commandLine.size() && isBlank(commandLine[start])) ++start;
  const std::u16string_view line = commandLine.substr(start);
  if (line.empty()) return makeError(ERROR_INVALID_PARAMETER, "the command line names no program");
  if (line[0] == u'"') {
    const auto close = line.find(u'"', 1);
    return locate(machine, line.substr(1, close == std::u16string_view::npos ? std::u16string_view::npos : close - 1));
  }
  // An unquoted name may hold blanks ("C:\Program Files\x.exe -q"): Windows
  // tries every blank-delimited prefix, shortest first, and takes the first
  // that names a file. The first attempt's error is the one reported.
  std::optional<Error> firstError;
  for (std::size_t i = 1; i <= line.size(); ++i) {
    const bool boundary = i == line.size() ? !isBlank(line[i - 1]) : isBlank(line[i]) && !isBlank(line[i - 1]);
    if (!boundary) continue;
    auto image = locate(machine, line.substr(0, i));
    if (image) return image;
    if (!firstError) firstError = image.error();
  }
  return *firstError;
}

/// The application name is taken as written: no search, no extension.
Expected<ProgramImage> locateAsWritten(const Machine& machine, std::u16string_view applicationName) {
  auto full = machine.fullWindowsPath(applicationName);
  if (!full) return full.error();
  fs::path host;
  const Found found = probe(machine, full.value(), &host);
  if (found != Found::File) return notFound(full.value(), found);
  return ProgramImage{full.value(), host};
}

std::string environmentEntry(const char* name, const std::string& value) { return std::string(name) + "=" + value; }

Error spawnError(int error, const ProgramImage& image) {
  const std::string what = toUtf8(image.windowsPath) + ": " + std::strerror(error);
  switch (error) {
    case ENOEXEC:
    case ENOENT:  // the script's interpreter is missing
    case ELIBBAD:
      return makeError(ERROR_BAD_EXE_FORMAT, "cannot run " + what);
    case EACCES:
    case EPERM:
      return makeError(ERROR_ACCESS_DENIED, "cannot run " + what);
    case ENOMEM:
    case EAGAIN:
      return makeError(ERROR_NOT_ENOUGH_MEMORY, "cannot start " + what);
    default:
      return makeError(ERROR_GEN_FAILURE, "cannot start " + what);
  }
}

/// posix_spawn's attributes and file actions, released on every path.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawnattr_init(&m_attributes);
    posix_spawn_file_actions_init(&m_actions);
  }
  ~SpawnSetup() {
    posix_spawnattr_destroy(&m_attributes);
    posix_spawn_file_actions_destroy(&m_actions);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
  posix_spawnattr_t* attributes() { return &m_attributes; }
  posix_spawn_file_actions_t* actions() { return &m_actions; }

 private:
  posix_spawnattr_t m_attributes;
  posix_spawn_file_actions_t m_actions;
};

}  // namespace

Expected<ProgramImage> findProgramImage(const Machine& machine, std::optional<std::u16string_view> applicationName,
                                        std::u16string_view commandLine) {
  auto image = applicationName ? locateAsWritten(machine, *applicationName) : locateInCommandLine(machine, commandLine);
  if (!image) return image;
  if (auto runnable = checkRunnable(image.value()); !runnable) return runnable.error();
  return image;
}

Expected<std::shared_ptr<ProcessObject>> startProgram(const Machine& machine, const ProgramImage& image,
                                                      std::u16string_view commandLine,
                                                      std::optional<std::u16string_view> currentFolder) {
  const std::u16string folder = currentFolder ? std::u16string(*currentFolder) : machine.currentFolder();
  auto workingFolder = machine.hostPath(folder);
  std::error_code ec;
  if (!workingFolder || !fs::is_directory(workingFolder.value(), ec))
    return makeError(ERROR_DIRECTORY, "the current folder " + toUtf8(folder) + " is not a folder of the machine");

  std::vector<std::string> environment;
  for (char** entry = environ; entry && *entry; ++entry) {
    const std::string_view text(*entry);
    const std::string_view name = text.substr(0, text.find('='));
    if (name != kMachineVariable && name != kImageVariable && name != kCommandLineVariable)
      environment.emplace_back(text);
  }
  environment.push_back(environmentEntry(kMachineVariable, machine.folder().string()));
  environment.push_back(environmentEntry(kImageVariable, toUtf8(image.windowsPath)));
  environment.push_back(environmentEntry(kCommandLineVariable, toUtf8(commandLine)));
  std::vector<char*> envp;
  for (auto& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::string program = image.hostPath.string();
  char* argv[] = {program.data(), nullptr};

  SpawnSetup setup;
  // The program starts with the host's default signal handling, whatever this
  // process ignores or blocks.
  sigset_t none;
  sigemptyset(&none);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int signal = 1; signal < NSIG; ++signal)
    if (signal != SIGKILL && signal != SIGSTOP) sigaddset(&defaults, signal);
  posix_spawnattr_setsigmask(setup.attributes(), &none);
  posix_spawnattr_setsigdefault(setup.attributes(), &defaults);
  posix_spawnattr_setflags(setup.attributes(), POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawn_file_actions_addchdir_np(setup.actions(), workingFolder.value().c_str());

  pid_t pid = 0;
  const int error = ::posix_spawn(&pid, program.c_str(), setup.actions(), setup.attributes(), argv, envp.data());
  if (error != 0) return spawnError(error, image);

  // The child cannot be collected by anyone else, so its pid stays its own
  // until we wait for it: the table entry and the descriptor name this child.
  const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  const auto info = readHostProcess(pid);
  const unsigned long long startTime = info ? info->startTime : 0;
  auto process = std::make_shared<ProcessObject>(pid, pidfd, startTime, machine.folder());
  // A program missing from the table only misses from snapshots; it runs.
  (void)ProcessTable(machine.folder()).add({pid, startTime, image.windowsPath});
  return process;
}

}  // namespace winsim
