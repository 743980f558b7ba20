// korax: the CAD host program, the viewer's stand-in on this machine.
//
//   korax [--open DRAWING] [--load MODULE.krx]... [--script FILE] [--saveas DRAWING]
//
// Opens the drawing (DXF), or a new default drawing, as the current
// document; loads the modules in order; runs the script's command input, or
// without a script the session a person drives; saves the drawing under the
// new name; unloads every module, latest first; and exits 0 only when all of
// it worked (1 otherwise, 2 for a bad command line).
//
// The person's session is what the viewer is when its launcher (kxStart.exe)
// starts it: the person types command lines, which come from the UI agent as
// the verb `command TEXT`, one line each, run exactly as a script line is;
// the session ends, as the person closes the viewer, when the next UI command
// is not a `command` or the UI script is used up. So a UI script of
//
//   command MWFRAME 0,0 200 120 "Merrowin sample sheet"
//   command SAVEAS C:\Users\Public\Documents\sheet.dxf
//
// draws with the extension tool and saves the drawing as DXF.
//
// Paths are Windows paths of the machine. The command line goes to standard
// output and to the machine's transcript, with a ModuleLoad and a
// ModuleUnload record for every module.
//
// The program is an application of the class library, as the viewer is, so
// modules find its application object and its title ("DWG Merrowin").
#include <cstdio>
#include <optional>

#include "afxwin.h"
#include "arguments.h"
#include "kxed.h"
#include "kxhost.h"
#include "kxui.h"
#include "kxut.h"
#include "winsim/text.h"

namespace {

constexpr const WCHAR* kTitle = u"DWG Merrowin";
constexpr int kFailed = 1;
constexpr int kUsage = 2;

struct Options {
  std::optional<std::u16string> open;
  std::vector<std::u16string> modules;
  std::optional<std::u16string> script;
  std::optional<std::u16string> saveAs;
};

bool parseOptions(const std::vector<std::u16string>& arguments, Options& options, std::string& problem) {
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::u16string& option = arguments[i];
    if (i + 1 >= arguments.size()) {
      problem = winsim::toUtf8(option) + " needs a value";
      return false;
    }
    const std::u16string& value = arguments[++i];
    if (option == u"--open" && !options.open) {
      options.open = value;
    } else if (option == u"--load") {
      options.modules.push_back(value);
    } else if (option == u"--script" && !options.script) {
      options.script = value;
    } else if (option == u"--saveas" && !options.saveAs) {
      options.saveAs = value;
    } else {
      problem = "unknown or repeated option " + winsim::toUtf8(option);
      return false;
    }
  }
  return true;
}

int runHost(const Options& options) {
  InitKxUiDLL();
  if (options.open) {
    OdResult status = eOk;
    if (!kxhost::openDocument(OdString(*options.open), status)) {
      kxutPrintf(u"\nCannot open %s: %s\n", options.open->c_str(), koraxErrorStatusText(status));
      return kFailed;
    }
  } else {
    kxhost::newDocument();
  }

  bool ok = true;
  for (const std::u16string& module : options.modules) ok = kxhost::loadModuleByUser(OdString(module)) == RTNORM && ok;
  // Modules may have sent command input while they started.
  ok = kxhost::runCommandInput(u"") && ok;
  if (options.script) {
    ok = kxhost::runScript(OdString(*options.script)) && ok;
  } else {
    ok = kxhost::runUiSession() && ok;
  }
  if (options.saveAs) {
    const OdResult status = kxhost::saveDocumentAs(kxDocManagerPtr()->curDocument(), OdString(*options.saveAs));
    if (status != eOk) {
      kxutPrintf(u"\nCannot save %s: %s", options.saveAs->c_str(), koraxErrorStatusText(status));
      ok = false;
    }
  }
  ok = kxhost::endSession() && ok;
  kxutPrintf(u"\n");
  return ok ? 0 : kFailed;
}

class CKoraxApp : public CWinApp {
 public:
  CKoraxApp() : CWinApp(kTitle) {}

  BOOL InitInstance() override {
    Options options;
    std::string problem;
    if (!parseOptions(korax::splitCommandLine(GetCommandLineW()), options, problem)) {
      std::fprintf(stderr,
                   "korax: %s\nusage: korax [--open DRAWING] [--load MODULE.krx]... [--script FILE] "
                   "[--saveas DRAWING]\n",
                   problem.c_str());
      m_exitCode = kUsage;
    } else {
      m_exitCode = runHost(options);
    }
    // Everything ran: there is no message loop to go on to.
    return FALSE;
  }

  int ExitInstance() override { return m_exitCode; }

 private:
  int m_exitCode = kFailed;
};

CKoraxApp theApp;

}  // namespace
