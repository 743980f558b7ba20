// What the host's source files share: the documents' state, the view and
// its coordinate systems, the host variables, the command line and the
// running command. Everything here runs on the host's application thread.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "DbDatabase.h"
#include "Ge.h"
#include "commandinput.h"
#include "kxap.h"

namespace kxhost {

/// A document's view, kept in the WCS; the default is a plan view of the WCS.
struct ViewState {
  OdGePoint2d center;  // in the DCS
  double height = 10;  // VIEWSIZE
  OdGeVector3d direction = OdGeVector3d::kZAxis;
  OdGePoint3d target;
  double lensLength = 50;
  double twist = 0;  // radians
  double frontZ = 0;
  double backZ = 0;
  OdInt16 mode = 0;  // VIEWMODE bits
};

struct DocumentState {
  std::unique_ptr<OdDbDatabase> database;
  OdString fileName;
  ViewState view;
  std::vector<KxAp::DocLockMode> locks;  // oldest first
  CommandInput input;
  std::u16string deferredInput;     // sent with sendStringToExecute; read before the next command
  OdDbObjectId modelSpaceViewport;  // with TILEMODE 0: the viewport MSPACE made current
};

// Documents (documents.cpp).
KxApDocument* currentDocument();
bool isOpenDocument(const KxApDocument* document);
void closeAllDocuments();

// The coordinate systems (view.cpp).
/// The current document's UCS-to-WCS matrix; the identity without a document.
OdGeMatrix3d currentUcsToWcs();
/// The DCS-to-WCS matrix of a view (see kxed.h for the DCS).
OdGeMatrix3d dcsToWcs(const ViewState& view);

// Host variables (sysvars.cpp): the ones that belong to no document.
struct HostVariables {
  OdInt16 secureLoad = 1;
  OdString trustedPaths;
  double screenWidth = 1000;
  double screenHeight = 500;
  OdInt16 angleUnits = 0;
  OdInt16 anglePrecision = 0;
};
HostVariables& hostVariables();
void resetHostVariables();

// The command line (commandline.cpp).
void writeCommandLine(std::u16string_view text);
/// The host's title: the application's, else its resource library's, else "DWG Merrowin".
std::u16string hostTitle();

// Prompts of the running command (prompts.cpp).
/// Echoes the prompt, reads the next input of the current document and
/// echoes it: RTNORM with the answer, RTCAN when cancelled or none is left.
int readInput(std::u16string_view prompt, InputUnit unit, std::u16string& answer);

// The person's session (session.cpp).
/// While runUiSession runs, a prompt that finds the input used up waits for
/// the person's next line: appends it (the next UI "command") to `input` and
/// answers true. False outside a session, or when the person's next UI
/// command is not a command line.
bool takeTypedLine(CommandInput& input);

// The running command (commands.cpp).
bool commandActive();
/// Marks the running command (if any) as failed: a prompt got no usable input.
void markCommandFailed();

// Modules (modules.cpp).
enum class LoadRequest { ByUser, ByModule };
int loadModule(const OdString& path, LoadRequest request);
/// The id of the module whose message is being handled now, 0 for none.
int messageModule();
/// Sends message 5 to a module's entry function, its module object as the packet.
int sendFunctionMessage(int moduleId);

// LISP (lisp.cpp).
/// Runs a "(NAME arg ...)" call and prints its value; false when it failed.
bool callLispFunction(std::u16string_view expression);
void forgetFunctionsOf(int moduleId);
void forgetAllFunctions();

// Numbers in command input (parsing.cpp).
bool parseReal(std::u16string_view text, double& value);
bool parseInt(std::u16string_view text, long long& value);
/// "x,y" or "x,y,z".
bool parsePoint(std::u16string_view text, OdGePoint3d& point, bool& hasZ);

}  // namespace kxhost
