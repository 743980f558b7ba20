// The setup program's application object. Everything runs inside its
// InitInstance: the start-up checks in their order, the configuration, the
// command line and one flow, with modal pages and message boxes only. It then
// answers FALSE, so no message loop runs and the program ends through
// ExitInstance; the exit code carries no result (outcomes are reported only in
// message boxes).
//
// The program defines one global object and links `mfcmain`. The setup
// program is a 32-bit Windows program: the object's construction, the first
// thing the program does, says so to the machine, so that the registry view
// and the special folders are those a 32-bit program sees on 64-bit Windows.
#pragma once

#include "afxwin.h"
#include "commandline.h"
#include "setuppages.h"

class CKoraxInstallerApp : public CWinApp {
 public:
  /// `pages` are the wizard's pages the interactive flows show; they must
  /// outlive the application's run.
  explicit CKoraxInstallerApp(SetupPages& pages);

  /// Runs the start-up checks and, when they pass, the chosen flow. Always
  /// FALSE.
  BOOL InitInstance() override;
  /// Frees msi.dll if a package loaded it, gives the framework back the
  /// resource module it had before start-up, then the base ExitInstance.
  int ExitInstance() override;

 private:
  /// The checks and the flow; InitInstance's steps after the framework's own.
  void run();

  SetupPages& m_pages;
  /// The command line's key=value pairs, filled just before the flow runs.
  CArgumentMap m_arguments;
  HINSTANCE m_savedResourceHandle = nullptr;
};
