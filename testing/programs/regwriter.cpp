// winsim-regwriter: writes registry values in a loop, for the tests of the
// registry across processes.
//
//   winsim-regwriter [--32] HKLM|HKCU\KEY PREFIX FIRST COUNT [PROGRESS]
//
// Writes the REG_DWORD values PREFIX<i> = i for i = FIRST, FIRST + 1, ...
// (COUNT of them; COUNT 0 goes on until the program is killed) into KEY,
// creating it. After each write has returned, its number is appended to the
// host file PROGRESS, so a test that kills the writer knows which writes must
// have survived. --32 runs it as a 32-bit program. Exit code 0, or 1 with a
// message when a call fails.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "win32/errors.h"
#include "win32/registry.h"
#include "winsim/machine.h"
#include "winsim/text.h"

int main(int argc, char** argv) {
  int arg = 1;
  if (arg < argc && std::string(argv[arg]) == "--32") {
    winsim::setProgramBitness(winsim::Bitness::Bits32);
    ++arg;
  }
  if (argc - arg < 4) {
    std::fprintf(stderr, "usage: winsim-regwriter [--32] HKLM|HKCU\\KEY PREFIX FIRST COUNT [PROGRESS]\n");
    return 2;
  }
  const std::u16string path = winsim::fromUtf8(argv[arg]);
  const std::u16string prefix = winsim::fromUtf8(argv[arg + 1]);
  const unsigned long first = std::strtoul(argv[arg + 2], nullptr, 10);
  const unsigned long count = std::strtoul(argv[arg + 3], nullptr, 10);
  const char* progressPath = argc - arg > 4 ? argv[arg + 4] : nullptr;

  const std::size_t slash = path.find(u'\\');
  const std::u16string root = path.substr(0, slash);
  const HKEY rootKey = winsim::equalsNoCase(root, u"HKCU") ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  const std::u16string subKey = slash == std::u16string::npos ? u"" : path.substr(slash + 1);

  HKEY key = nullptr;
  if (LSTATUS status = RegCreateKeyExW(rootKey, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                       &key, nullptr);
      status != ERROR_SUCCESS) {
    std::fprintf(stderr, "winsim-regwriter: RegCreateKeyExW failed with %d\n", static_cast<int>(status));
    return 1;
  }
  const int progress = progressPath ? ::open(progressPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
  for (unsigned long i = first; count == 0 || i < first + count; ++i) {
    const std::u16string name = prefix + winsim::fromUtf8(std::to_string(i));
    const DWORD data = static_cast<DWORD>(i);
    if (LSTATUS status =
            RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
        status != ERROR_SUCCESS) {
      std::fprintf(stderr, "winsim-regwriter: RegSetValueExW failed with %d\n", static_cast<int>(status));
      return 1;
    }
    if (progress >= 0) {
      const std::string line = std::to_string(i) + "\n";
      if (::write(progress, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return 1;
    }
  }
  RegCloseKey(key);
  return 0;
}
