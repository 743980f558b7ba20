// The UI agent's window commands (winsim/uiscript.h), carried out when the
// thread in front is idle, and the idle bound that keeps every run finite.
#include "winsim/uiscript.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "dialogstate.h"
#include "uiscriptidle.h"
#include "win32/process.h"
#include "windowmanager.h"
#include "winsim/clock.h"
#include "winsim/text.h"
#include "winsim/transcript.h"
#include "winsim/uiagent.h"
#include "winsim/windowing.h"

namespace winsim {

std::chrono::milliseconds uiIdleBound() {
  constexpr long long kDefault = 30000;
  const char* given = std::getenv("WINSIM_UI_TIMEOUT");
  if (!given || !*given) return std::chrono::milliseconds(kDefault);
  char* end = nullptr;
  const long long value = std::strtoll(given, &end, 10);
  return std::chrono::milliseconds(end && *end == 0 && value > 0 ? value : kDefault);
}

}  // namespace winsim

namespace winsim::user {

namespace {

namespace fs = std::filesystem;

constexpr const char* kVerbs[] = {"click",      "double-click", "hover",       "leave",      "type",
                                  "key",        "advance",      "wait-dialog", "screenshot", "screenshot-screen",
                                  "expect-text"};

/// A wait-dialog taken from the script and not yet satisfied.
struct PendingWait {
  UiCommand command;
  WORD templateId = 0;
};
std::mutex g_pendingMutex;
std::optional<PendingWait> g_pending;

struct NamedId {
  const char* name;
  int id;
};
constexpr NamedId kNamedIds[] = {{"IDOK", IDOK},       {"IDCANCEL", IDCANCEL}, {"IDABORT", IDABORT},
                                 {"IDRETRY", IDRETRY}, {"IDIGNORE", IDIGNORE}, {"IDYES", IDYES},
                                 {"IDNO", IDNO},       {"IDCLOSE", IDCLOSE},   {"IDHELP", IDHELP}};

std::optional<long long> number(const std::string& word) {
  if (word.empty()) return std::nullopt;
  char* end = nullptr;
  const long long value = std::strtoll(word.c_str(), &end, 10);
  if (!end || *end != 0) return std::nullopt;
  return value;
}

std::optional<int> controlId(const std::string& word) {
  std::string upper = word;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  for (const auto& named : kNamedIds)
    if (upper == named.name) return named.id;
  const auto value = number(word);
  if (!value || *value < 0 || *value > 0xFFFF) return std::nullopt;
  return static_cast<int>(*value);
}

/// The text after the command's first word (TEXT of `type ID TEXT`).
std::string textAfterFirstWord(const UiCommand& command) {
  const std::string& rest = command.rest;
  std::size_t i = 0;
  while (i < rest.size() && rest[i] != ' ' && rest[i] != '\t') ++i;
  if (i < rest.size()) ++i;  // one blank separates the id from the text
  return rest.substr(i);
}

HWND activeDialog() {
  HWND active = GetActiveWindow();
  if (active) return active;
  HWND front = GetForegroundWindow();
  return front && windowThread(front) == GetCurrentThreadId() ? front : nullptr;
}

HWND findControl(HWND dialog, int id) {
  if (HWND direct = GetDlgItem(dialog, id)) return direct;
  std::vector<HWND> all;
  {
    State& s = state();
    Lock lock(s.mutex);
    all = subtree(s, dialog);
  }
  for (std::size_t i = 1; i < all.size(); ++i)
    if (GetDlgCtrlID(all[i]) == id) return all[i];
  return nullptr;
}

/// The control a command names, or null after reporting why there is none.
HWND commandControl(const UiCommand& command) {
  const auto id = command.words.empty() ? std::nullopt : controlId(command.words[0]);
  if (!id) {
    reportUiScriptError(command, "the command needs a control id");
    return nullptr;
  }
  HWND dialog = activeDialog();
  if (!dialog) {
    reportUiScriptError(command, "no dialog is active");
    return nullptr;
  }
  HWND control = findControl(dialog, *id);
  if (!control) {
    reportUiScriptError(command, "the active dialog has no control " + std::to_string(*id));
    return nullptr;
  }
  if (!IsWindowVisible(control)) {
    reportUiScriptError(command, "control " + std::to_string(*id) + " is hidden");
    return nullptr;
  }
  return control;
}

POINT centreOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

LPARAM clientPoint(HWND hwnd, POINT screen) {
  ScreenToClient(hwnd, &screen);
  return MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y));
}

/// Moves the pointer and tells the window under it, as a mouse move does.
HWND pointTo(POINT screen) {
  HWND target = moveCursor(screen);
  if (target) postInput(target, WM_MOUSEMOVE, 0, clientPoint(target, screen));
  return target;
}

void record(const char* kind, const UiCommand& command, int id = -1) {
  TranscriptRecord r(kind);
  if (id >= 0) r.number("id", id);
  r.number("line", static_cast<long long>(command.line));
  (void)appendTranscript(std::move(r));
}

void click(const UiCommand& command, bool twice) {
  HWND control = commandControl(command);
  if (!control) return;
  const POINT at = centreOf(control);
  HWND target = pointTo(at);
  if (!target) return;
  const LPARAM where = clientPoint(target, at);
  postInput(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
  postInput(target, WM_LBUTTONUP, 0, where);
  if (twice) {
    bool doubleClicks = false;
    {
      State& s = state();
      Lock lock(s.mutex);
      if (Window* w = findWindow(s, target)) doubleClicks = (w->windowClass->style & CS_DBLCLKS) != 0;
    }
    postInput(target, doubleClicks ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, where);
    postInput(target, WM_LBUTTONUP, 0, where);
  }
  record(twice ? "DoubleClick" : "Click", command, GetDlgCtrlID(control));
}

void hover(const UiCommand& command) {
  HWND control = commandControl(command);
  if (!control) return;
  pointTo(centreOf(control));
  record("Hover", command, GetDlgCtrlID(control));
}

void leave(const UiCommand& command) {
  HWND control = commandControl(command);
  if (!control) return;
  // The pointer goes to a part of the screen no window covers.
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  POINT away{-1, -1};
  for (const POINT corner : {POINT{w - 1, h - 1}, POINT{0, h - 1}, POINT{w - 1, 0}, POINT{0, 0}}) {
    if (windowForMouse(corner) == GetDesktopWindow()) {
      away = corner;
      break;
    }
  }
  pointTo(away);
  record("Leave", command, GetDlgCtrlID(control));
}

void type(const UiCommand& command) {
  HWND control = commandControl(command);
  if (!control) return;
  const std::u16string text = fromUtf8(textAfterFirstWord(command));
  SetFocus(control);
  for (const char16_t c : text) postInput(control, WM_CHAR, c, 1);
  TranscriptRecord r("Type");
  r.number("id", GetDlgCtrlID(control)).text("text", text).number("line", static_cast<long long>(command.line));
  (void)appendTranscript(std::move(r));
}

void key(const UiCommand& command) {
  std::string name = command.words.empty() ? std::string() : command.words[0];
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  const int vk = name == "ESCAPE" ? VK_ESCAPE : name == "ENTER" ? VK_RETURN : name == "TAB" ? VK_TAB : 0;
  if (!vk) {
    reportUiScriptError(command, "a key is one of ESCAPE, ENTER, TAB");
    return;
  }
  HWND target = GetFocus();
  if (!target) target = activeDialog();
  if (!target) {
    reportUiScriptError(command, "no dialog is active");
    return;
  }
  postInput(target, WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
  postInput(target, WM_KEYUP, static_cast<WPARAM>(vk), static_cast<LPARAM>(0xC0000001u));
  TranscriptRecord r("Key");
  r.utf8("key", name).number("line", static_cast<long long>(command.line));
  (void)appendTranscript(std::move(r));
}

void advance(const UiCommand& command) {
  const auto ms = command.words.size() == 1 ? number(command.words[0]) : std::nullopt;
  if (!ms || *ms < 0) {
    reportUiScriptError(command, "advance takes a number of milliseconds");
    return;
  }
  advanceClock(static_cast<std::uint64_t>(*ms));
  TranscriptRecord r("Advance");
  r.number("ms", *ms)
      .number("clock", static_cast<long long>(clockMs()))
      .number("line", static_cast<long long>(command.line));
  (void)appendTranscript(std::move(r));
}

fs::path scriptRelative(const std::string& file) {
  fs::path path(file);
  if (path.is_absolute()) return path;
  const char* script = std::getenv("WINSIM_UI");
  std::error_code ec;
  const fs::path base = script && *script ? fs::absolute(script, ec).parent_path() : fs::current_path(ec);
  return base / path;
}

void screenshot(const UiCommand& command, bool screen) {
  if (command.words.empty()) {
    reportUiScriptError(command, "a screenshot needs a file name");
    return;
  }
  const fs::path file = scriptRelative(command.rest);
  std::error_code ec;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);
  HWND dialog = screen ? nullptr : activeDialog();
  if (!screen && !dialog) {
    reportUiScriptError(command, "no dialog is active");
    return;
  }
  const Status written = screen ? writeScreenPng(file) : writeWindowPng(dialog, file);
  if (!written) {
    reportUiScriptError(command, "cannot write " + file.string() + ": " + written.error().message);
    return;
  }
  TranscriptRecord r("Screenshot");
  r.utf8("file", file.string());
  if (dialog) {
    if (const WORD id = dialogTemplateId(dialog)) r.number("template", id);
    r.text("title", windowText(dialog));
  } else {
    r.flag("screen", true);
  }
  r.number("line", static_cast<long long>(command.line));
  (void)appendTranscript(std::move(r));
}

void expectText(const UiCommand& command) {
  HWND control = commandControl(command);
  if (!control) return;
  const std::u16string expected = fromUtf8(textAfterFirstWord(command));
  const int length = GetWindowTextLengthW(control);
  std::u16string actual(static_cast<std::size_t>(length) + 1, u'\0');
  actual.resize(static_cast<std::size_t>(GetWindowTextW(control, actual.data(), length + 1)));
  const bool same = actual == expected;
  TranscriptRecord r("ExpectText");
  r.number("id", GetDlgCtrlID(control))
      .text("text", expected)
      .flag("ok", same)
      .number("line", static_cast<long long>(command.line));
  (void)appendTranscript(std::move(r));
  if (!same)
    reportUiScriptError(command, "control " + std::to_string(GetDlgCtrlID(control)) + " shows \"" + toUtf8(actual) +
                                     "\", not \"" + toUtf8(expected) + "\"");
}

/// Whether the active dialog is one made from the template.
bool dialogIsUp(WORD templateId) {
  HWND dialog = activeDialog();
  return dialog && IsWindowVisible(dialog) && dialogTemplateId(dialog) == templateId;
}

void satisfied(const PendingWait& wait) {
  TranscriptRecord r("WaitDialog");
  r.number("template", wait.templateId)
      .text("title", windowText(activeDialog()))
      .number("line", static_cast<long long>(wait.command.line));
  (void)appendTranscript(std::move(r));
}

void waitDialog(const UiCommand& command) {
  const auto id = command.words.size() == 1 ? number(command.words[0]) : std::nullopt;
  if (!id || *id <= 0 || *id > 0xFFFF) {
    reportUiScriptError(command, "wait-dialog takes a dialog template id");
    return;
  }
  PendingWait wait{command, static_cast<WORD>(*id)};
  if (dialogIsUp(wait.templateId)) {
    satisfied(wait);
    return;
  }
  std::lock_guard lock(g_pendingMutex);
  g_pending = std::move(wait);
}

void perform(const UiCommand& command) {
  const std::string& verb = command.verb;
  if (verb == "click") return click(command, false);
  if (verb == "double-click") return click(command, true);
  if (verb == "hover") return hover(command);
  if (verb == "leave") return leave(command);
  if (verb == "type") return type(command);
  if (verb == "key") return key(command);
  if (verb == "advance") return advance(command);
  if (verb == "wait-dialog") return waitDialog(command);
  if (verb == "screenshot") return screenshot(command, false);
  if (verb == "screenshot-screen") return screenshot(command, true);
  if (verb == "expect-text") return expectText(command);
}

std::string describe(HWND dialog) {
  if (!dialog) return "no dialog";
  std::string text = "the dialog \"" + toUtf8(windowText(dialog)) + "\"";
  if (const WORD id = dialogTemplateId(dialog)) text += " (template " + std::to_string(id) + ")";
  return text;
}

[[noreturn]] void giveUp(const std::string& problem) {
  std::fprintf(stderr, "UI agent: %s\n", problem.c_str());
  TranscriptRecord r("ScriptError");
  r.utf8("text", problem);
  (void)appendTranscript(std::move(r));
  std::fflush(nullptr);
  // Other threads may be anywhere: the process ends without running its
  // static destructors under them.
  ::_exit(kUiIdleExitCode);
}

}  // namespace

bool uiAgentIdle(IdleWatch& idle) {
  // Only the thread whose window is in front acts for the person.
  HWND front = GetForegroundWindow();
  if (front && windowThread(front) != GetCurrentThreadId()) return false;
  {
    std::optional<PendingWait> pending;
    {
      std::lock_guard lock(g_pendingMutex);
      pending = g_pending;
    }
    if (pending) {
      if (dialogIsUp(pending->templateId)) {
        satisfied(*pending);
        std::lock_guard lock(g_pendingMutex);
        g_pending.reset();
        return true;
      }
      const auto waited = idle.idleFor();
      if (waited >= uiIdleBound())
        giveUp("wait-dialog " + std::to_string(pending->templateId) + " (line " +
               std::to_string(pending->command.line) + "): no dialog made from template " +
               std::to_string(pending->templateId) + " became active within " + std::to_string(waited.count()) +
               " ms; in front: " + describe(activeDialog()));
      return false;
    }
  }
  for (const char* verb : kVerbs) {
    if (auto command = takeUiCommand(verb)) {
      perform(*command);
      return true;
    }
  }
  const auto waited = idle.idleFor();
  if (waited >= uiIdleBound()) {
    const char* script = std::getenv("WINSIM_UI");
    if (script && *script)
      giveUp(describe(activeDialog()) + " had nothing to do for " + std::to_string(waited.count()) +
             " ms: the UI script " + script + " is used up or its next command is not for this dialog");
    giveUp(describe(activeDialog()) + " waited " + std::to_string(waited.count()) +
           " ms for a person, and no UI script (WINSIM_UI) gives one");
  }
  return false;
}

}  // namespace winsim::user
