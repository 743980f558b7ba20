// Loading and unloading .krx modules: the library, its module object, its
// start and stop messages, and the order in which modules go at the end.
#include <algorithm>

#include "RxModule.h"
#include "hoststate.h"
#include "kxed.h"
#include "kxhost.h"
#include "kxut.h"
#include "win32/errors.h"
#include "win32/module.h"
#include "win32/msgbox.h"
#include "winsim/machine.h"
#include "winsim/text.h"
#include "winsim/transcript.h"

namespace kxhost {

namespace {

using CreateModuleObject = OdRxModule* (*)(HINSTANCE*);
using GetApiVersion = int (*)(OdInt32*, OdInt32*, OdInt32*, OdInt32*);

// The SDK generation the host runs; a module built for another cannot share
// its objects.
constexpr OdInt32 kSdkMajorVersion = 3;
// Module paths are Windows paths; the loader keeps them whole.
constexpr DWORD kPathBufferSize = 32768;

struct ModuleRecord {
  int id = 0;
  OdString path;  // the full Windows path the loader reports
  HMODULE handle = nullptr;
  OdRxModule* object = nullptr;
  int parent = 0;  // the module that loaded it while handling a message, 0 for none
  bool unloading = false;
};

struct Modules {
  std::vector<std::unique_ptr<ModuleRecord>> loaded;  // in the order loaded
  std::vector<int> messageStack;                      // modules handling a message now
  int nextId = 1;
};

Modules& modules() {
  static Modules* const instance = new Modules;
  return *instance;
}

ModuleRecord* findById(int id) {
  for (auto& record : modules().loaded)
    if (record->id == id) return record.get();
  return nullptr;
}

ModuleRecord* findByHandle(HMODULE handle) {
  if (!handle) return nullptr;
  for (auto& record : modules().loaded)
    if (record->handle == handle) return record.get();
  return nullptr;
}

std::u16string_view fileNamePart(std::u16string_view path) {
  const auto at = path.find_last_of(u"\\/");
  return at == std::u16string_view::npos ? path : path.substr(at + 1);
}

std::u16string folderOf(std::u16string_view path) {
  const auto at = path.find_last_of(u"\\/");
  return at == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, at));
}

OdString moduleFileName(HMODULE handle) {
  std::u16string buffer(kPathBufferSize, u'\0');
  const DWORD length = GetModuleFileNameW(handle, buffer.data(), kPathBufferSize);
  buffer.resize(std::min<DWORD>(length, kPathBufferSize - 1));
  return OdString(buffer);
}

/// The message of a module is handled inside this scope: what the module
/// defines or loads meanwhile is its own.
class MessageScope {
 public:
  explicit MessageScope(int id) { modules().messageStack.push_back(id); }
  ~MessageScope() { modules().messageStack.pop_back(); }
  MessageScope(const MessageScope&) = delete;
  MessageScope& operator=(const MessageScope&) = delete;
};

void recordInTranscript(const char* kind, const OdString& path) {
  winsim::TranscriptRecord record(kind);
  record.text("path", path.view());
  (void)winsim::appendTranscript(std::move(record));
}

/// Whether a folder is trusted: the host program's own, or one named in
/// TRUSTEDPATHS (an entry ending in "\..." takes its subfolders too).
bool isTrustedFolder(const std::u16string& folder) {
  if (winsim::equalsNoCase(folder, folderOf(moduleFileName(nullptr).view()))) return true;
  std::u16string_view paths = hostVariables().trustedPaths.view();
  while (!paths.empty()) {
    const auto cut = paths.find(u';');
    std::u16string entry(paths.substr(0, cut));
    paths = cut == std::u16string_view::npos ? std::u16string_view() : paths.substr(cut + 1);
    bool withSubfolders = false;
    if (entry.size() >= 4 && entry.compare(entry.size() - 4, 4, u"\\...") == 0) {
      withSubfolders = true;
      entry.resize(entry.size() - 4);
    }
    while (!entry.empty() && (entry.back() == u'\\' || entry.back() == u'/')) entry.pop_back();
    if (entry.empty()) continue;
    if (winsim::equalsNoCase(folder, entry)) return true;
    if (withSubfolders && folder.size() > entry.size() && folder[entry.size()] == u'\\' &&
        winsim::equalsNoCase(std::u16string_view(folder).substr(0, entry.size()), entry))
      return true;
  }
  return false;
}

/// SECURELOAD: whether a module a module asked for may be loaded.
bool secureLoadAllows(const OdString& path) {
  const OdInt16 mode = hostVariables().secureLoad;
  if (mode == 0) return true;
  std::u16string full = path.str();
  if (winsim::Machine* machine = winsim::currentMachine()) {
    if (auto resolved = machine->fullWindowsPath(path.view())) full = resolved.value();
  }
  if (isTrustedFolder(folderOf(full))) return true;
  if (mode == 1) {
    const std::u16string question =
        u"The module " + full + u" is not in a trusted folder.\n\nLoading it may harm this computer. Load it?";
    const std::u16string title = hostTitle();
    if (MessageBoxW(nullptr, question.c_str(), title.c_str(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES)
      return true;
  }
  kxutPrintf(u"\n%s was not loaded: it is not in a trusted folder (SECURELOAD %d).", full.c_str(),
             static_cast<int>(mode));
  return false;
}

int unloadRecord(ModuleRecord& record, bool force) {
  if (record.unloading) return RTERROR;
  if (!force) {
    if (odrxDynamicLinker()->isApplicationLocked(record.object)) {
      kxutPrintf(u"\n%s is locked and cannot be unloaded.", record.path.c_str());
      return RTERROR;
    }
    if (const OdRxExtendModule* extension = OdRxExtendModule::cast(record.object);
        extension && extension->loadReference() > 0) {
      kxutPrintf(u"\n%s is needed by other modules and cannot be unloaded.", record.path.c_str());
      return RTERROR;
    }
  }
  record.unloading = true;
  // The record stays in the list, marked, while the module stops: modules it
  // unloads meanwhile change the list, not this record.
  const int id = record.id;
  const OdString path = record.path;
  const HMODULE handle = record.handle;
  OdRxModule* const object = record.object;
  {
    MessageScope scope(id);
    object->uninitApp();
  }
  object->deleteModule();
  odrxDynamicLinker()->forgetApplication(object);
  forgetFunctionsOf(id);
  auto& loaded = modules().loaded;
  for (auto& other : loaded)
    if (other->parent == id) other->parent = 0;
  loaded.erase(std::find_if(loaded.begin(), loaded.end(), [&](const auto& r) { return r->id == id; }));
  FreeLibrary(handle);
  recordInTranscript("ModuleUnload", path);
  return RTNORM;
}

ModuleRecord* findByName(const OdChar* name) {
  if (ModuleRecord* record = findByHandle(GetModuleHandleW(name))) return record;
  const std::u16string_view wanted(name);
  const bool bare = wanted.find_first_of(u"\\/:") == std::u16string_view::npos;
  for (auto& record : modules().loaded) {
    const std::u16string_view path = record->path.view();
    if (bare ? winsim::equalsNoCase(fileNamePart(path), wanted) : winsim::equalsNoCase(path, wanted))
      return record.get();
  }
  return nullptr;
}

}  // namespace

int loadModule(const OdString& path, LoadRequest request) {
  if (path.isEmpty()) return RTERROR;
  if (ModuleRecord* record = findByHandle(GetModuleHandleW(path.c_str()))) {
    kxutPrintf(u"\n%s is already loaded.", record->path.c_str());
    return RTERROR;
  }
  if (request == LoadRequest::ByModule && !secureLoadAllows(path)) return RTERROR;

  const HMODULE handle = LoadLibraryW(path.c_str());
  if (!handle) {
    kxutPrintf(u"\nCannot load %s (Windows error %u).", path.c_str(), static_cast<unsigned>(GetLastError()));
    return RTERROR;
  }
  const OdString fullPath = moduleFileName(handle);
  // The same file under another name is the same module.
  if (ModuleRecord* record = findByHandle(handle)) {
    FreeLibrary(handle);
    kxutPrintf(u"\n%s is already loaded.", record->path.c_str());
    return RTERROR;
  }
  const auto create = reinterpret_cast<CreateModuleObject>(GetProcAddress(handle, "odrxCreateModuleObject"));
  if (!create) {
    FreeLibrary(handle);
    kxutPrintf(u"\n%s is no module: it does not export odrxCreateModuleObject.", fullPath.c_str());
    return RTERROR;
  }
  if (const auto version = reinterpret_cast<GetApiVersion>(GetProcAddress(handle, "odrxGetAPIVersion"))) {
    OdInt32 major = 0, minor = 0, build = 0, revision = 0;
    version(&major, &minor, &build, &revision);
    if (major != kSdkMajorVersion) {
      FreeLibrary(handle);
      kxutPrintf(u"\n%s was built for SDK version %d.%d, not for this host's %d.x.", fullPath.c_str(),
                 static_cast<int>(major), static_cast<int>(minor), static_cast<int>(kSdkMajorVersion));
      return RTERROR;
    }
  }
  HINSTANCE instance = handle;
  OdRxModule* const object = create(&instance);
  if (!object) {
    FreeLibrary(handle);
    kxutPrintf(u"\n%s could not create its module object.", fullPath.c_str());
    return RTERROR;
  }

  auto record = std::make_unique<ModuleRecord>();
  record->id = modules().nextId++;
  record->path = fullPath;
  record->handle = handle;
  record->object = object;
  record->parent = messageModule();
  const int id = record->id;
  modules().loaded.push_back(std::move(record));
  recordInTranscript("ModuleLoad", fullPath);
  {
    MessageScope scope(id);
    object->initApp();
  }
  return RTNORM;
}

int messageModule() { return modules().messageStack.empty() ? 0 : modules().messageStack.back(); }

int sendFunctionMessage(int moduleId) {
  ModuleRecord* record = findById(moduleId);
  if (!record) return KxRx::kRetError;
  auto entry = reinterpret_cast<KxrxEntryFunction>(GetProcAddress(record->handle, "kxrxEntryPoint"));
  if (!entry) entry = reinterpret_cast<KxrxEntryFunction>(GetProcAddress(record->handle, "acrxEntryPoint"));
  if (!entry) return KxRx::kRetError;
  MessageScope scope(moduleId);
  return entry(KxRx::kInvkSubrMsg, record->object);
}

int loadModuleByUser(const OdString& path) { return loadModule(path, LoadRequest::ByUser); }

std::vector<OdString> loadedModules() {
  std::vector<OdString> paths;
  for (const auto& record : modules().loaded) paths.push_back(record->path);
  return paths;
}

bool unloadAllModules() {
  bool ok = true;
  for (;;) {
    auto& loaded = modules().loaded;
    // The latest module that no loaded module is responsible for.
    ModuleRecord* next = nullptr;
    for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) {
      if (!(*it)->unloading && ((*it)->parent == 0 || !findById((*it)->parent))) {
        next = it->get();
        break;
      }
    }
    if (!next) break;
    ok = unloadRecord(*next, true) == RTNORM && ok;
  }
  return ok;
}

}  // namespace kxhost

using namespace kxhost;

int kxedArxLoad(const OdChar* path) {
  if (!path) return RTERROR;
  return loadModule(OdString(path), LoadRequest::ByModule);
}

int kxedArxUnload(const OdChar* path) {
  if (!path || !*path) return RTERROR;
  ModuleRecord* record = findByName(path);
  if (!record) {
    kxutPrintf(u"\n%s is not loaded.", path);
    return RTERROR;
  }
  return unloadRecord(*record, false);
}
