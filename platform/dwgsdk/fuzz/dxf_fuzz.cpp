// libFuzzer target: any bytes as a DXF file. Reading must end with a status,
// never a crash or a hang; what reads must write again.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "dwgsdk.h"
#include "winsim/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/dwgsdk-fuzz-" + std::to_string(::getpid()) + ".dxf";
  static const std::string out = path + ".out.dxf";
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  } else {
    return 0;
  }
  OdDbDatabase db(false);
  if (db.readFile(OdString(winsim::fromUtf8(path))) == eOk) {
    if (db.writeFile(OdString(winsim::fromUtf8(out))) != eOk) __builtin_trap();
    OdDbDatabase again(false);
    if (again.readFile(OdString(winsim::fromUtf8(out))) != eOk) __builtin_trap();
  }
  return 0;
}
