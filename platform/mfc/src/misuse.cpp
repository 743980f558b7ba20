#include "misuse.h"

#include <cstdio>
#include <cstdlib>

namespace winsim::mfc {

void reportMisuse(const std::string& what) {
  std::fprintf(stderr, "class library misuse: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

}  // namespace winsim::mfc
