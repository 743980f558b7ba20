// libFuzzer target: any bytes as a .lin file, every linetype of it loaded.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "dwgsdk.h"
#include "winsim/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/dwgsdk-fuzz-" + std::to_string(::getpid()) + ".lin";
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  } else {
    return 0;
  }
  OdDbDatabase db;
  db.loadLineTypeFile(u"*", OdString(winsim::fromUtf8(path)));
  db.loadLineTypeFile(u"DASH", OdString(winsim::fromUtf8(path)), OdDb::kDltReplace);
  return 0;
}
