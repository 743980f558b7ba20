// winsim: make, inspect and run programs in a simulated Windows machine.
#include <cstdio>
#include <iostream>

#include "commands.h"

namespace winsim::cli {

std::vector<Command>& commands() {
  static std::vector<Command> all;
  return all;
}

int fail(const std::string& message) {
  std::cerr << "winsim: " << message << "\n";
  return 2;
}

std::shared_ptr<Machine> openMachine(const std::string& folder) {
  auto machine = Machine::open(folder);
  if (!machine) {
    fail(machine.error().message);
    return nullptr;
  }
  setCurrentMachine(machine.value());
  return machine.value();
}

}  // namespace winsim::cli

namespace {

void usage(std::ostream& out) {
  out << "usage:\n";
  for (const auto& command : winsim::cli::commands()) out << "  winsim " << command.usage << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "help") {
    usage(argc < 2 ? std::cerr : std::cout);
    return argc < 2 ? 2 : 0;
  }
  const std::string name = argv[1];
  for (const auto& command : winsim::cli::commands())
    if (name == command.name) return command.run(winsim::cli::Arguments(argv + 2, argv + argc));
  winsim::cli::fail("unknown command '" + name + "' (winsim --help lists them)");
  return 2;
}
