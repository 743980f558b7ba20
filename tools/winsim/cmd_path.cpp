// winsim path DIR "WINDOWS PATH": the host path a Windows path resolves to.
#include <iostream>

#include "commands.h"
#include "winsim/text.h"

namespace winsim::cli {
namespace {

int runPath(const Arguments& args) {
  if (args.size() != 2) return fail("path: usage: winsim path DIR \"WINDOWS PATH\"");
  auto machine = openMachine(args[0]);
  if (!machine) return 2;
  auto host = machine->hostPath(fromUtf8(args[1]));
  if (!host) return fail("path: " + host.error().message);
  std::cout << host.value().string() << "\n";
  return 0;
}

const CommandRegistration registration{{"path", "path DIR \"WINDOWS PATH\"", runPath}};

}  // namespace
}  // namespace winsim::cli
