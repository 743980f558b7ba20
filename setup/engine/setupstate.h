// The setup program's one state record, shared by the start-up checks, the
// flows, the pages and the install and uninstall procedures by field.
//
// The main thread writes it; the install thread only reads it while the
// copy-files page is modal, and nothing writes it then, so it has no lock.
#pragma once

#include "afx.h"

/// What a maintenance run does.
enum SetupMode {
  ModeInstall = 0,    // no installation is recorded: a fresh installation
  ModeReinstall = 2,  // install again over the recorded installation
  ModeRemove = 3,     // remove the product (the value at program start)
};

struct CSetupState {
  CString productName;  // caption of message boxes, display name, shortcut and menu names
  CString companyName;  // maker's folder under the common Programs menu
  CString version;      // passed to the registration tool
  CString installDir;   // target folder, normally without a trailing backslash
  CString lcid;         // decimal locale identifier as text ("2052", "1033", ...)
  CString languageKey;  // RES LANGUAGE in lower case
  CString language;     // RES LANGUAGE as written in Setup.ini
  int package64 = 0;    // SETUP WOW64: 1 for the 64-bit product (any non-zero value counts as 64-bit later)
  bool os64 = false;    // the native processor is x64 or Itanium
  bool installedFound = false;
  bool installed64 = false;
  int netTest = 0;
  int num = 1;
  SetupMode mode = ModeRemove;
  bool launchAfterFinish = true;
  bool licenseAccepted = false;
  int classicWorkspace = 0;  // 0 passes WorkspaceName=1 to the registration tool
};

/// The process's one record, holding the defaults above until the program
/// writes a field.
CSetupState& SetupState();
