// Fuzzes the profile-file reader: bytes of an INI file (ANSI or UTF-16 with
// a byte-order mark) through decoding, parsing, the section and key lists,
// value and integer lookups with small buffers, and one write that must keep
// the file readable.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "win32/profile.h"
#include "winsim/machine.h"

namespace {

namespace fs = std::filesystem;

constexpr const char16_t* kFile = u"C:\\fuzz.ini";
constexpr std::size_t kMaxLookups = 64;

fs::path g_iniHost;

/// One machine for the whole run, removed when the fuzzer exits.
struct FuzzMachine {
  fs::path folder;
  FuzzMachine() {
    // Memory-backed when the host has it: every input is written to disk twice.
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "winsim-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) abort();
    folder = pattern;
    auto machine = winsim::Machine::create(folder / "machine");
    if (!machine) abort();
    winsim::setCurrentMachine(machine.value());
    g_iniHost = machine.value()->hostPath(kFile).value();
  }
  ~FuzzMachine() {
    winsim::setCurrentMachine(nullptr);
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
};

/// Splits a double-NUL list as the profile functions return it.
template <class F>
void forEachName(const char16_t* list, DWORD length, F&& f) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < length; ++i) {
    if (list[i] != u'\0') continue;
    f(std::u16string(list + start, i - start));
    start = i + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FuzzMachine machine;
  {
    std::ofstream out(g_iniHost, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // Buffer sizes from the input, so cut lists and values are exercised.
  const DWORD small = size > 0 ? 1 + data[0] % 16 : 1;

  char16_t sections[4096];
  const DWORD sectionChars = GetPrivateProfileStringW(nullptr, nullptr, nullptr, sections, 4096, kFile);
  if (sectionChars >= 4096) abort();
  char16_t tiny[16];
  if (GetPrivateProfileStringW(nullptr, nullptr, nullptr, tiny, small, kFile) >= small && small > 1) abort();

  std::size_t lookups = 0;
  forEachName(sections, sectionChars, [&](const std::u16string& section) {
    char16_t keys[4096];
    const DWORD keyChars = GetPrivateProfileStringW(section.c_str(), nullptr, nullptr, keys, 4096, kFile);
    if (keyChars >= 4096) abort();
    forEachName(keys, keyChars, [&](const std::u16string& key) {
      if (++lookups > kMaxLookups) return;
      char16_t value[260];
      const DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), u"default", value, 260, kFile);
      if (n >= 260 || value[n] != u'\0') abort();
      const DWORD cut = GetPrivateProfileStringW(section.c_str(), key.c_str(), nullptr, tiny, small, kFile);
      if (cut >= small || tiny[cut] != u'\0') abort();
      GetPrivateProfileIntW(section.c_str(), key.c_str(), 7, kFile);
    });
  });

  // A write keeps the file readable and the value retrievable.
  if (!WritePrivateProfileStringW(u"FuzzSection", u"FuzzKey", u"written", kFile)) abort();
  char16_t back[16];
  if (GetPrivateProfileStringW(u"FuzzSection", u"FuzzKey", nullptr, back, 16, kFile) != 7) abort();
  return 0;
}
