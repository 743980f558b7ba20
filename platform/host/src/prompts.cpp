// Prompts: a running command reads its input from the document's command
// input, and the exchange is echoed on the command line as a user would see it.
#include "hoststate.h"
#include "kxed.h"
#include "winsim/text.h"

namespace kxhost {

int readInput(std::u16string_view prompt, InputUnit unit, std::u16string& answer) {
  writeCommandLine(prompt);
  KxApDocument* document = currentDocument();
  std::optional<InputWord> word = document ? document->state().input.next(unit) : std::nullopt;
  // In a person's session the answer may come on the lines typed after the command.
  while (!word && document && takeTypedLine(document->state().input)) word = document->state().input.next(unit);
  if (!word || word->cancelled) {
    writeCommandLine(u"*Cancel*");
    markCommandFailed();
    return RTCAN;
  }
  writeCommandLine(word->text);
  answer = std::move(word->text);
  return RTNORM;
}

}  // namespace kxhost

using namespace kxhost;

namespace {

std::u16string_view promptText(const OdChar* prompt) { return prompt ? std::u16string_view(prompt) : u""; }

int invalidInput(std::u16string_view what) {
  writeCommandLine(u"\nInvalid input: ");
  writeCommandLine(what);
  markCommandFailed();
  return RTERROR;
}

}  // namespace

int kxedGetString(int allowSpaces, const OdChar* prompt, OdChar* result, std::size_t resultSize) {
  if (!result || resultSize == 0) return RTERROR;
  result[0] = 0;
  std::u16string answer;
  const int status = readInput(promptText(prompt), allowSpaces ? InputUnit::RestOfLine : InputUnit::Word, answer);
  if (status != RTNORM) return status;
  winsim::copyTruncated(answer, result, resultSize);
  return RTNORM;
}

int kxedGetReal(const OdChar* prompt, double* result) {
  if (!result) return RTERROR;
  std::u16string answer;
  if (const int status = readInput(promptText(prompt), InputUnit::Word, answer); status != RTNORM) return status;
  double value = 0;
  if (!parseReal(answer, value)) return invalidInput(answer);
  *result = value;
  return RTNORM;
}

int kxedGetInt(const OdChar* prompt, int* result) {
  if (!result) return RTERROR;
  std::u16string answer;
  if (const int status = readInput(promptText(prompt), InputUnit::Word, answer); status != RTNORM) return status;
  long long value = 0;
  if (!parseInt(answer, value) || value < -32768 || value > 32767) return invalidInput(answer);
  *result = static_cast<int>(value);
  return RTNORM;
}

int kxedGetPoint(const ads_point, const OdChar* prompt, ads_point result) {
  if (!result) return RTERROR;
  std::u16string answer;
  if (const int status = readInput(promptText(prompt), InputUnit::Word, answer); status != RTNORM) return status;
  OdGePoint3d point;
  bool hasZ = false;
  if (!parsePoint(answer, point, hasZ)) return invalidInput(answer);
  result[0] = point.x;
  result[1] = point.y;
  result[2] = point.z;
  return RTNORM;
}
