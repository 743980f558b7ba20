// The commands of winsim. Each command lives in its own file and registers
// itself here, so main() only dispatches.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "winsim/machine.h"

namespace winsim::cli {

using Arguments = std::vector<std::string>;

struct Command {
  const char* name;
  const char* usage;  // one line, after "winsim "
  int (*run)(const Arguments& args);  // args after the command name
};

std::vector<Command>& commands();

struct CommandRegistration {
  explicit CommandRegistration(Command command) { commands().push_back(command); }
};

/// Prints one error line on standard error; returns the exit code for bad
/// input (2) so a command can `return fail(...)`.
int fail(const std::string& message);

/// Opens the machine named by a command's first argument and makes it the
/// process's current machine; prints the error and returns null on failure.
std::shared_ptr<Machine> openMachine(const std::string& folder);

}  // namespace winsim::cli
