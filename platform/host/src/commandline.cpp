// The command line: what the host and its modules tell the user. It goes to
// the host's text window (commandLineText), to standard output, and to the
// machine's transcript, so an outside script can follow a session.
#include <cstdio>

#include "OdResult.h"
#include "afxwin.h"
#include "hoststate.h"
#include "koraxkwlres.h"
#include "kxed.h"
#include "kxhost.h"
#include "kxui.h"
#include "kxut.h"
#include "win32/module.h"
#include "win32/msgbox.h"
#include "winsim/text.h"
#include "winsim/transcript.h"

namespace kxhost {

namespace {

// The text window keeps the most recent text only, as a console's history does.
constexpr std::size_t kTextWindowLimit = 1 << 20;
constexpr const char16_t* kDefaultTitle = u"DWG Merrowin";

struct CommandLine {
  std::u16string text;
  bool toStdout = true;
};

CommandLine& commandLine() {
  static CommandLine* const instance = new CommandLine;
  return *instance;
}

}  // namespace

void writeCommandLine(std::u16string_view text) {
  if (text.empty()) return;
  CommandLine& line = commandLine();
  line.text.append(text);
  if (line.text.size() > kTextWindowLimit) line.text.erase(0, line.text.size() - kTextWindowLimit);
  if (line.toStdout) {
    const std::string utf8 = winsim::toUtf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
  }
  // Without a machine there is no transcript; the text window and standard
  // output still have the line.
  winsim::TranscriptRecord record("CommandLine");
  record.text("text", text);
  (void)winsim::appendTranscript(std::move(record));
}

std::u16string hostTitle() {
  // The host program's application object carries the title; without one
  // (the host API used by a test), the host's resources do.
  if (LPCWSTR name = AfxGetAppName(); name && *name) return name;
  if (HINSTANCE resources = kxuiResourceHandle()) {
    WCHAR title[128] = {};
    if (LoadStringW(resources, IDS_KX_TITLE, title, 128) > 0) return title;
  }
  return kDefaultTitle;
}

const std::u16string& commandLineText() { return commandLine().text; }
void clearCommandLineText() { commandLine().text.clear(); }
void setCommandLineToStdout(bool enabled) { commandLine().toStdout = enabled; }

}  // namespace kxhost

int kxutPrintfList(const OdChar* format, std::span<const winsim::FormatArg> args) {
  if (!format) return 0;
  std::u16string text;
  winsim::appendFormatted(text, format, args);
  kxhost::writeCommandLine(text);
  return static_cast<int>(text.size());
}

int kxedAlert(const OdChar* text) {
  const std::u16string title = kxhost::hostTitle();
  MessageBoxW(nullptr, text ? text : u"", title.c_str(), MB_OK | MB_ICONWARNING);
  return RTNORM;
}

const OdChar* koraxErrorStatusText(OdResult status) { return odResultText(status); }
