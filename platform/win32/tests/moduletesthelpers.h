// Helpers of the loader's tests: built libraries copied into a machine, the
// program's image path and bitness set for one test.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "testing/tempmachine.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace moduletest {

namespace fs = std::filesystem;

/// A library built beside the tests (bin/).
inline fs::path built(const std::string& name) { return winsim::testing::testProgramFolder() / name; }

/// Copies a built library to a Windows path of the machine.
inline void install(const winsim::testing::TempMachine& machine, const std::string& name,
                    std::u16string_view windowsPath) {
  const fs::path target = machine.host(windowsPath);
  fs::create_directories(target.parent_path());
  fs::copy_file(built(name), target, fs::copy_options::overwrite_existing);
}

/// Writes bytes to a Windows path of the machine.
inline void writeFile(const winsim::testing::TempMachine& machine, std::u16string_view windowsPath,
                      const std::vector<std::uint8_t>& bytes) {
  const fs::path target = machine.host(windowsPath);
  fs::create_directories(target.parent_path());
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// WINSIM_IMAGE for one test, as `winsim run` sets it for a program.
class ProgramImage {
 public:
  explicit ProgramImage(const char* windowsPath) { ::setenv("WINSIM_IMAGE", windowsPath, 1); }
  ~ProgramImage() { ::unsetenv("WINSIM_IMAGE"); }
  ProgramImage(const ProgramImage&) = delete;
  ProgramImage& operator=(const ProgramImage&) = delete;
};

/// The program's bitness for one test.
class ProgramBitness {
 public:
  explicit ProgramBitness(winsim::Bitness bitness) : m_saved(winsim::programBitness()) {
    winsim::setProgramBitness(bitness);
  }
  ~ProgramBitness() { winsim::setProgramBitness(m_saved); }
  ProgramBitness(const ProgramBitness&) = delete;
  ProgramBitness& operator=(const ProgramBitness&) = delete;

 private:
  winsim::Bitness m_saved;
};

}  // namespace moduletest
