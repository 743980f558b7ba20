// The host application itself, for the host program and for tests: open
// and save drawings, run command input and scripts, and end the session.
// Modules use the kx* API (kxed.h, kxdb.h, kxut.h, kxap.h, kxui.h) instead.
//
// Command input: one word a command, then the words its prompts read. The
// host's own commands (names without case):
//   SAVEAS path              saves the current drawing as DXF
//   LOAD path / UNLOAD path  kxedArxLoad / kxedArxUnload
//   SETVAR name value        kxedSetVar; a point as x,y[,z], a real or an
//                            integer as written, a text as one word
//   UCS W                    the UCS becomes the WCS
//   UCS O x,y,z              moves the UCS origin (in the current UCS)
//   UCS Z angle              turns the UCS about its Z axis (degrees)
//   UCS 3 origin xpoint ypoint  a UCS through three points (current UCS)
//   MSPACE / PSPACE          with TILEMODE 0: makes the first paper-space
//                            viewport entity current / paper space itself
// then the commands modules registered in the command stack (odedRegCmds).
// "(NAME arg ...)" calls a LISP function a module defined; its value is
// printed. A line whose first character is ";" is a comment.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "OdResult.h"
#include "OdString.h"
#include "kxap.h"

namespace kxhost {

/// A new document with a default drawing, made current.
KxApDocument* newDocument();
/// A document for a DXF drawing (a Windows path of the machine), made
/// current; null with the SDK's status when the drawing cannot be read.
KxApDocument* openDocument(const OdString& path, OdResult& status);
/// Saves a document's drawing as DXF under a new name, which becomes its file.
OdResult saveDocumentAs(KxApDocument* document, const OdString& path);
/// Closes a document; eInvalidInput while it is locked or not open. The next
/// open document becomes current.
OdResult closeDocument(KxApDocument* document);
OdResult activateDocument(KxApDocument* document);

/// Appends text to the current document's command input and runs it to the
/// end. False when any command failed or was unknown, a command left a lock
/// behind, or there is no document.
bool runCommandInput(std::u16string_view text);
/// Runs a script file (UTF-8, a Windows path of the machine) line by line as
/// command input. False as for runCommandInput, or when the file cannot be
/// read.
bool runScript(const OdString& path);

/// The session a person drives at the command line: takes the UI agent's
/// command lines (the verb "command", winsim/uiagent.h) one at a time and
/// runs each as command input, as a script line is run (a prompt whose
/// answer is not on the line reads the next line, as in a script), until the
/// next UI command has another verb or the UI script ends, as the person
/// closes the viewer then. False when any line failed as for
/// runCommandInput; a failed line does not end the session.
bool runUiSession();

/// Loads a module the user named (SECURELOAD does not apply); RTNORM or RTERROR.
int loadModuleByUser(const OdString& path);
/// The full paths of the loaded modules, in the order they were loaded.
std::vector<OdString> loadedModules();
/// Unloads every module, latest first. A module loaded by another module
/// while that one handled a message is left to it while it is loaded. True
/// when every unload succeeded.
bool unloadAllModules();

/// Everything written on the command line so far (the host's text window).
const std::u16string& commandLineText();
void clearCommandLineText();
/// Whether command-line text also goes to standard output (it does by default).
void setCommandLineToStdout(bool enabled);

/// Ends the session: unloads every module, closes every document and brings
/// the host variables back to their defaults. True when the modules unloaded
/// cleanly.
bool endSession();

}  // namespace kxhost
