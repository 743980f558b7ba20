// The UI agent: the person in front of the simulated machine.
//
// What a person would do (answer a message box, click, type, advance the
// clock, take a screenshot) comes from the UI script named by WINSIM_UI: one
// command a line, a verb and its words, e.g.
//
//   # the licence page
//   answer IDYES
//
// Blank lines and lines starting with # are skipped. The script is one queue
// for every layer and every process of the machine: a layer takes the next
// command only when it is its own (a message box takes "answer", never a
// "click" meant for the page behind it), and the position in the script is
// kept in the machine folder (state/uiagent.json, under a lock), so a program
// started by another goes on where its parent left off. A script written anew
// (other content, size or modification time) starts again from its first line. A
// relative WINSIM_UI is taken from each process's host working folder; give an
// absolute path when programs start others.
//
// A line whose verb no layer knows is a script error: it is reported (the
// transcript and standard error) and skipped, so that a typing mistake does
// not hold up the commands behind it. Without a script, or at its end, there
// is nothing to take and each layer does what no person would change (a
// message box gets its default button); nothing ever waits for a person.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace winsim {

struct UiCommand {
  std::string verb;                ///< lower case: "answer", ...
  std::vector<std::string> words;  ///< the words after the verb, as written
  std::string rest;                ///< everything after the verb, trimmed (a text to type)
  std::string text;                ///< the whole line, trimmed, for reports
  std::size_t line = 0;            ///< 1-based line number in the script
};

/// Takes the script's next command if its verb is `verb`; otherwise takes
/// nothing and the command stays for the layer it is meant for.
std::optional<UiCommand> takeUiCommand(std::string_view verb);

/// Reports a command its layer cannot carry out (an answer the box does not
/// offer, a control that does not exist): a "ScriptError" transcript record and
/// one line on standard error.
void reportUiScriptError(const UiCommand& command, std::string_view problem);

}  // namespace winsim
