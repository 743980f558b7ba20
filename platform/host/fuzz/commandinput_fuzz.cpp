// Command input is outside input (scripts, text sent by modules): the host
// reads it as words, prompts, LISP calls with their arguments, numbers and
// points. The fuzz input runs as command input of a drawing on a machine of
// its own, with a command that asks for every kind of input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "EdCommandStack.h"
#include "kxed.h"
#include "kxhost.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace {

void askEverything() {
  OdChar text[16];
  double real = 0;
  int integer = 0;
  ads_point point = {0, 0, 0};
  kxedGetString(0, u"\nWord: ", text, 16);
  kxedGetString(1, u"\nLine: ", text, 16);
  kxedGetReal(u"\nReal: ", &real);
  kxedGetInt(u"\nInteger: ", &integer);
  kxedGetPoint(nullptr, u"\nPoint: ", point);
}

bool setUp() {
  char pattern[] = "/tmp/fuzz-commandinput-XXXXXX";
  if (!mkdtemp(pattern)) std::abort();
  auto machine = winsim::Machine::create(std::filesystem::path(pattern) / "machine");
  if (!machine) std::abort();
  winsim::setCurrentMachine(machine.value());
  kxhost::setCommandLineToStdout(false);
  kxhost::newDocument();
  odedRegCmds()->addCommand(u"FUZZ", u"ASK", u"ASK", OdEdCommand::kModal, askEverything);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = setUp();
  (void)ready;
  const std::u16string text = winsim::fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  kxhost::runCommandInput(text);
  kxhost::clearCommandLineText();
  // The transcript would grow without end over a fuzzing run.
  std::filesystem::remove(winsim::currentMachine()->stateFile("transcript.jsonl"));
  return 0;
}
