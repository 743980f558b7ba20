// Helpers of the DXF tests: temporary files and the ezdxf cross-check.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "dwgsdk.h"
#include "winsim/text.h"

namespace dwgsdk_test {

/// A folder of its own for each test; no machine is current, so paths are host paths.
class TempFolder {
 public:
  TempFolder() {
    m_path = std::filesystem::temp_directory_path() /
             ("dwgsdk-" + std::to_string(::getpid()) + "-" + std::to_string(s_counter++));
    std::filesystem::create_directories(m_path);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
  const std::filesystem::path& path() const { return m_path; }

 private:
  static inline int s_counter = 0;
  std::filesystem::path m_path;
};

inline OdString odPath(const std::filesystem::path& p) { return OdString(winsim::fromUtf8(p.string())); }

inline void writeText(const std::filesystem::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

inline std::string readText(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

/// Whether /usr/bin/python3 with ezdxf is there; the reason when not.
inline bool haveEzdxf(std::string& why) {
  if (!std::filesystem::exists(DWGSDK_PYTHON)) {
    why = std::string(DWGSDK_PYTHON) + " is missing";
    return false;
  }
  if (std::system(DWGSDK_PYTHON " -c \"import ezdxf\" >/dev/null 2>&1") != 0) {
    why = "python3-ezdxf is not installed";
    return false;
  }
  return true;
}

#define REQUIRE_EZDXF()                                      \
  do {                                                       \
    std::string why_;                                        \
    if (!dwgsdk_test::haveEzdxf(why_)) GTEST_SKIP() << why_; \
  } while (0)

/// Runs a python script (with ezdxf) and returns its standard output; the
/// exit status goes to `status`.
inline std::string runPython(const TempFolder& folder, const std::string& script, int& status) {
  auto file = folder / "script.py";
  writeText(file, script);
  auto out = folder / "script.out";
  std::string command = std::string(DWGSDK_PYTHON) + " " + file.string() + " > " + out.string() + " 2>&1";
  status = std::system(command.c_str());
  return readText(out);
}

}  // namespace dwgsdk_test
