// The session a person drives: on this machine the lines a person types at
// the command line come from the UI agent, one "command TEXT" each. A line
// runs as a script line does, and a prompt whose answer is not on the line
// takes the next one, as the person types the answer after the prompt.
#include <optional>
#include <string>
#include <string_view>

#include "hoststate.h"
#include "kxhost.h"
#include "winsim/text.h"
#include "winsim/uiagent.h"

namespace kxhost {

namespace {

constexpr std::string_view kCommandVerb = "command";

bool& sessionRunning() {
  static bool running = false;
  return running;
}

/// The person's next line with its Enter, as command input; nothing when the
/// next UI command is not a command line.
std::optional<std::u16string> nextTypedLine() {
  const std::optional<winsim::UiCommand> line = winsim::takeUiCommand(kCommandVerb);
  if (!line) return std::nullopt;
  return winsim::fromUtf8(line->rest) + u'\n';
}

}  // namespace

bool takeTypedLine(CommandInput& input) {
  if (!sessionRunning()) return false;
  const std::optional<std::u16string> line = nextTypedLine();
  if (!line) return false;
  input.append(*line);
  return true;
}

bool runUiSession() {
  sessionRunning() = true;
  bool ok = true;
  while (const std::optional<std::u16string> line = nextTypedLine()) ok = runCommandInput(*line) && ok;
  sessionRunning() = false;
  return ok;
}

}  // namespace kxhost
