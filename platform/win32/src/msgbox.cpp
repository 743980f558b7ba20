#include "win32/msgbox.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <span>
#include <string>

#include "win32/errors.h"
#include "winsim/text.h"
#include "winsim/transcript.h"
#include "winsim/uiagent.h"

namespace {

struct Answer {
  int id;
  const char* name;
};
constexpr Answer kAnswers[] = {
    {IDOK, "IDOK"},
    {IDCANCEL, "IDCANCEL"},
    {IDABORT, "IDABORT"},
    {IDRETRY, "IDRETRY"},
    {IDIGNORE, "IDIGNORE"},
    {IDYES, "IDYES"},
    {IDNO, "IDNO"},
    {IDCLOSE, "IDCLOSE"},
    {IDHELP, "IDHELP"},
    {IDTRYAGAIN, "IDTRYAGAIN"},
    {IDCONTINUE, "IDCONTINUE"},
};

const char* answerName(int id) {
  for (const auto& answer : kAnswers)
    if (answer.id == id) return answer.name;
  return "?";
}

/// The id named by a script word (IDYES, idyes), or 0.
int answerId(std::string word) {
  std::transform(word.begin(), word.end(), word.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  for (const auto& answer : kAnswers)
    if (word == answer.name) return answer.id;
  return 0;
}

/// The buttons of each button set, in the order the box shows them.
constexpr int kOk[] = {IDOK};
constexpr int kOkCancel[] = {IDOK, IDCANCEL};
constexpr int kAbortRetryIgnore[] = {IDABORT, IDRETRY, IDIGNORE};
constexpr int kYesNoCancel[] = {IDYES, IDNO, IDCANCEL};
constexpr int kYesNo[] = {IDYES, IDNO};
constexpr int kRetryCancel[] = {IDRETRY, IDCANCEL};
constexpr int kCancelTryContinue[] = {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
constexpr std::span<const int> kButtonSets[] = {kOk,    kOkCancel,    kAbortRetryIgnore, kYesNoCancel,
                                                kYesNo, kRetryCancel, kCancelTryContinue};

std::string hex(UINT value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

std::string offered(std::span<const int> buttons) {
  std::string text;
  for (const int id : buttons) text += (text.empty() ? "" : ", ") + std::string(answerName(id));
  return text;
}

}  // namespace

int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
  return MessageBoxExW(hWnd, lpText, lpCaption, uType, 0);
}

int MessageBoxExW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType, WORD wLanguageId) {
  const UINT set = uType & MB_TYPEMASK;
  if (set >= std::size(kButtonSets)) {
    SetLastError(ERROR_INVALID_MSGBOX_STYLE);
    return 0;
  }
  const std::span<const int> buttons = kButtonSets[set];
  // A default button beyond the box's buttons falls back to the first, as on Windows.
  const std::size_t defaultIndex = (uType & MB_DEFMASK) >> 8;
  const int defaultAnswer = defaultIndex < buttons.size() ? buttons[defaultIndex] : buttons[0];

  int answer = defaultAnswer;
  const char* by = "default";
  if (auto command = winsim::takeUiCommand("answer")) {
    const int scripted = command->words.size() == 1 ? answerId(command->words[0]) : 0;
    if (scripted == 0) {
      winsim::reportUiScriptError(*command,
                                  "an answer is one of IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, "
                                  "IDNO, IDTRYAGAIN, IDCONTINUE");
    } else if (std::find(buttons.begin(), buttons.end(), scripted) == buttons.end()) {
      winsim::reportUiScriptError(*command, "the message box offers " + offered(buttons) + " only");
    } else {
      answer = scripted;
      by = "script";
    }
  }

  winsim::TranscriptRecord record("MessageBox");
  record.text("caption", lpCaption ? std::u16string_view(lpCaption) : u"Error")
      .text("text", lpText ? std::u16string_view(lpText) : u"")
      .utf8("style", hex(uType))
      .utf8("answer", answerName(answer))
      .utf8("by", by);
  (void)winsim::appendTranscript(std::move(record));  // a box without a machine still answers
  return answer;
}

BOOL MessageBeep(UINT uType) {
  winsim::TranscriptRecord record("Beep");
  record.utf8("type", hex(uType));
  (void)winsim::appendTranscript(std::move(record));
  return TRUE;
}
