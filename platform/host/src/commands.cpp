// The command loop: reads the current document's command input, runs the
// host's own commands and those modules registered, calls LISP functions,
// and checks after each command that it left no document lock behind.
#include <cmath>
#include <fstream>
#include <iterator>

#include "DbSymbolTable.h"
#include "DbViewport.h"
#include "EdCommandStack.h"
#include "OdAlloc.h"
#include "hoststate.h"
#include "kxed.h"
#include "kxhost.h"
#include "kxut.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace kxhost {

namespace {

constexpr double kPi = 3.14159265358979323846;
// A script is a page of commands; a file much larger is no script.
constexpr std::uintmax_t kMaxScriptSize = 16 << 20;

struct RunningCommand {
  bool active = false;
  bool failed = false;
};

RunningCommand& running() {
  static RunningCommand state;
  return state;
}

/// What the host hands a registered command when it runs it.
class HostCommandContext : public OdEdCommandContext {
 public:
  explicit HostCommandContext(KxApDocument* document) : m_document(document) {}
  KxApDocument* document() const { return m_document; }

 private:
  KxApDocument* m_document;
};

bool readWord(std::u16string_view prompt, std::u16string& answer) {
  return readInput(prompt, InputUnit::Word, answer) == RTNORM;
}

bool readPoint(std::u16string_view prompt, OdGePoint3d& point) {
  std::u16string answer;
  if (!readWord(prompt, answer)) return false;
  bool hasZ = false;
  if (parsePoint(answer, point, hasZ)) return true;
  kxutPrintf(u"\nInvalid point: %s", answer.c_str());
  return false;
}

bool saveAsCommand(KxApDocument* document) {
  std::u16string path;
  if (!readWord(u"\nSave drawing as: ", path)) return false;
  if (const OdResult status = saveDocumentAs(document, OdString(path)); status != eOk) {
    kxutPrintf(u"\nCannot save %s: %s", path.c_str(), koraxErrorStatusText(status));
    return false;
  }
  return true;
}

bool loadCommand(KxApDocument*) {
  std::u16string path;
  return readWord(u"\nModule to load: ", path) && kxedArxLoad(path.c_str()) == RTNORM;
}

bool unloadCommand(KxApDocument*) {
  std::u16string path;
  return readWord(u"\nModule to unload: ", path) && kxedArxUnload(path.c_str()) == RTNORM;
}

/// A value for a variable, read as the kind of its current value.
bool setVarCommand(KxApDocument*) {
  std::u16string name;
  std::u16string text;
  if (!readWord(u"\nVariable name: ", name)) return false;
  resbuf current{};
  if (kxedGetVar(name.c_str(), &current) != RTNORM) {
    kxutPrintf(u"\nUnknown variable name: %s", name.c_str());
    return false;
  }
  if (current.restype == RTSTR) odrxFree(current.resval.rstring);
  if (!readWord(u"\nNew value: ", text)) return false;

  resbuf value{};
  value.restype = current.restype;
  std::u16string textValue;
  bool parsed = false;
  switch (current.restype) {
    case RTSHORT: {
      long long v = 0;
      parsed = parseInt(text, v) && v >= -32768 && v <= 32767;
      value.resval.rint = static_cast<short>(v);
      break;
    }
    case RTREAL:
      parsed = parseReal(text, value.resval.rreal);
      break;
    case RTPOINT:
    case RT3DPOINT: {
      OdGePoint3d p;
      bool hasZ = false;
      parsed = parsePoint(text, p, hasZ);
      value.restype = hasZ ? RT3DPOINT : RTPOINT;
      value.resval.rpoint[0] = p.x;
      value.resval.rpoint[1] = p.y;
      value.resval.rpoint[2] = p.z;
      break;
    }
    case RTSTR:
      textValue = text;
      value.resval.rstring = textValue.data();
      parsed = true;
      break;
    default:
      break;
  }
  if (!parsed || kxedSetVar(name.c_str(), &value) != RTNORM) {
    kxutPrintf(u"\nInvalid value for %s: %s", name.c_str(), text.c_str());
    return false;
  }
  return true;
}

bool ucsCommand(KxApDocument* document) {
  OdDbDatabase* database = document->database();
  std::u16string option;
  if (!readWord(u"\nUCS option [World/Origin/Z/3point]: ", option)) return false;
  const OdGeMatrix3d ucs = currentUcsToWcs();
  OdGePoint3d origin = database->ucsorg();
  OdGeVector3d xAxis = database->ucsxdir();
  OdGeVector3d yAxis = database->ucsydir();
  const std::u16string upper = winsim::upperCase(option);
  if (upper == u"W" || upper == u"WORLD") {
    origin = OdGePoint3d::kOrigin;
    xAxis = OdGeVector3d::kXAxis;
    yAxis = OdGeVector3d::kYAxis;
  } else if (upper == u"O" || upper == u"ORIGIN") {
    OdGePoint3d point;
    if (!readPoint(u"\nNew origin: ", point)) return false;
    origin = ucs * point;
  } else if (upper == u"Z") {
    std::u16string text;
    double degrees = 0;
    if (!readWord(u"\nRotation angle about Z axis: ", text)) return false;
    if (!parseReal(text, degrees)) {
      kxutPrintf(u"\nInvalid angle: %s", text.c_str());
      return false;
    }
    const double a = degrees * kPi / 180;
    const OdGeVector3d x = xAxis * std::cos(a) + yAxis * std::sin(a);
    const OdGeVector3d y = yAxis * std::cos(a) - xAxis * std::sin(a);
    xAxis = x;
    yAxis = y;
  } else if (upper == u"3" || upper == u"3POINT") {
    OdGePoint3d o, px, py;
    if (!readPoint(u"\nNew origin: ", o) || !readPoint(u"\nPoint on the positive X axis: ", px) ||
        !readPoint(u"\nPoint in the XY plane, positive Y side: ", py))
      return false;
    origin = ucs * o;
    xAxis = (ucs * px) - origin;
    const OdGeVector3d z = xAxis.crossProduct((ucs * py) - origin);
    yAxis = z.crossProduct(xAxis);
  } else {
    kxutPrintf(u"\nUnknown UCS option: %s", option.c_str());
    return false;
  }
  if (database->setUcs(origin, xAxis, yAxis) != eOk) {
    kxutPrintf(u"\nThe UCS axes must be perpendicular and not zero.");
    return false;
  }
  return true;
}

/// The first viewport entity of paper space other than the overall one.
OdDbObjectId firstModelViewport(OdDbDatabase* database) {
  OdDbBlockTable* blocks = nullptr;
  if (database->getBlockTable(blocks, OdDb::kForRead) != eOk) return OdDbObjectId::kNull;
  OdDbBlockTableRecord* paper = nullptr;
  const OdResult opened = blocks->getAt(u"*Paper_Space", paper, OdDb::kForRead);
  blocks->close();
  if (opened != eOk) return OdDbObjectId::kNull;
  OdDbObjectId found;
  OdDbBlockTableRecordIterator* iterator = nullptr;
  if (paper->newIterator(iterator) == eOk) {
    for (; !iterator->done() && found.isNull(); iterator->step()) {
      OdDbEntity* entity = nullptr;
      if (iterator->getEntity(entity) != eOk) continue;
      if (OdDbViewport::cast(entity) && entity->objectId() != database->paperSpaceVportId()) found = entity->objectId();
      entity->close();
    }
    delete iterator;
  }
  paper->close();
  return found;
}

bool modelSpaceCommand(KxApDocument* document) {
  if (document->database()->tilemode()) {
    kxutPrintf(u"\n** Command not allowed in the Model tab **");
    return false;
  }
  const OdDbObjectId viewport = firstModelViewport(document->database());
  if (viewport.isNull()) {
    kxutPrintf(u"\nThere is no viewport to make current.");
    return false;
  }
  document->state().modelSpaceViewport = viewport;
  return true;
}

bool paperSpaceCommand(KxApDocument* document) {
  if (document->database()->tilemode()) {
    kxutPrintf(u"\n** Command not allowed in the Model tab **");
    return false;
  }
  document->state().modelSpaceViewport = OdDbObjectId::kNull;
  return true;
}

struct HostCommand {
  const char16_t* name;
  bool (*run)(KxApDocument*);
};

const HostCommand kHostCommands[] = {
    {u"SAVEAS", saveAsCommand},     {u"LOAD", loadCommand}, {u"UNLOAD", unloadCommand},
    {u"SETVAR", setVarCommand},     {u"UCS", ucsCommand},   {u"MSPACE", modelSpaceCommand},
    {u"PSPACE", paperSpaceCommand},
};

/// Runs one command or LISP call of a document's input.
bool runOne(KxApDocument* document, const std::u16string& word) {
  kxutPrintf(u"\nCommand: %s", word.c_str());
  const int locksBefore = document->lockCount();
  RunningCommand& command = running();
  command = RunningCommand{true, false};
  bool ok = false;
  if (word.front() == u'(') {
    ok = callLispFunction(word);
  } else {
    const HostCommand* host = nullptr;
    for (const HostCommand& c : kHostCommands)
      if (winsim::equalsNoCase(c.name, word)) host = &c;
    if (host) {
      ok = host->run(document);
    } else if (OdEdCommandPtr registered = odedRegCmds()->lookupCmd(OdString(word))) {
      HostCommandContext context(document);
      registered->execute(&context);
      ok = true;
    } else {
      kxutPrintf(u"\nUnknown command \"%s\".", word.c_str());
    }
  }
  ok = ok && !command.failed;
  command = RunningCommand{};
  if (isOpenDocument(document) && document->lockCount() > locksBefore) {
    kxutPrintf(u"\n*Warning* %s left %d document lock(s) behind.", word.c_str(), document->lockCount() - locksBefore);
    ok = false;
  }
  return ok;
}

bool runInput() {
  bool ok = true;
  for (;;) {
    KxApDocument* document = currentDocument();
    if (!document) break;
    DocumentState& state = document->state();
    if (!state.deferredInput.empty()) {
      state.input.insertNext(state.deferredInput);
      state.deferredInput.clear();
    }
    std::optional<InputWord> word = state.input.next(InputUnit::Command);
    if (!word) break;
    if (word->cancelled) {
      kxutPrintf(u"\n*Cancel*");
      continue;
    }
    if (word->text.empty()) continue;
    ok = runOne(document, word->text) && ok;
  }
  return ok;
}

}  // namespace

bool commandActive() { return running().active; }

void markCommandFailed() {
  if (running().active) running().failed = true;
}

bool runCommandInput(std::u16string_view text) {
  KxApDocument* document = currentDocument();
  if (!document) {
    kxutPrintf(u"\nNo drawing is open.");
    return false;
  }
  document->state().input.append(text);
  return runInput();
}

bool runScript(const OdString& path) {
  std::filesystem::path host = winsim::toUtf8(path.view());
  if (winsim::Machine* machine = winsim::currentMachine()) {
    auto resolved = machine->hostPath(path.view());
    if (!resolved) {
      kxutPrintf(u"\nCannot read the script %s.", path.c_str());
      return false;
    }
    host = resolved.value();
  }
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(host, error);
  std::ifstream in(host, std::ios::binary);
  if (error || size > kMaxScriptSize || !in) {
    kxutPrintf(u"\nCannot read the script %s.", path.c_str());
    return false;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  std::u16string text = winsim::fromUtf8(bytes);
  if (!text.empty() && text.back() != u'\n') text += u'\n';
  return runCommandInput(text);
}

bool endSession() {
  const bool ok = unloadAllModules();
  closeAllDocuments();
  forgetAllFunctions();
  resetHostVariables();
  running() = RunningCommand{};
  return ok;
}

}  // namespace kxhost
