// The library loader: finds a module's file as Windows does, reads PE files
// for their resources, loads host shared objects, and counts references.
//
// A program or shared object of this machine is an ELF file, which has no
// resource section of its own; it carries one as a resource-only PE image
// that the build embeds and exports as the symbols winsim_resources and
// winsim_resources_size (CMake's winsim_program_resources). The loader reads
// that image with the same checks as a PE file on disk, so FindResourceW and
// the functions over it work for GetModuleHandleW(nullptr) and for such a
// module's handle as they do for a resource library.
#include "win32/module.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>

#include "moduletable.h"
#include "win32/errors.h"
#include "winsim/builtinmodules.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace winsim::modules {

namespace fs = std::filesystem;

namespace {

// The classic image base of a program; modules get handles above it, never
// reused within the process, so a stale handle never names a newer module.
const HMODULE kProgramHandle = reinterpret_cast<HMODULE>(std::uintptr_t{0x00400000});
constexpr std::uintptr_t kFirstModuleBase = 0x10000000;
constexpr std::uintptr_t kModuleBaseStep = 0x10000;

using DllEntry = BOOL (*)(HINSTANCE, DWORD, LPVOID);

constexpr const char* kResourcesSymbol = "winsim_resources";
constexpr const char* kResourcesSizeSymbol = "winsim_resources_size";

// The table and its lock live until the process ends: modules still loaded
// at exit stay loaded (the host's loader finalises them), rather than being
// closed by a static destructor while other statics are already gone.
struct Table {
  // Held across a whole load or unload, as Windows's loader lock is. It is
  // recursive because a module's static initialisers and DllMain may load
  // other modules or ask for their own file name.
  std::recursive_mutex mutex;
  std::map<HMODULE, std::shared_ptr<LoadedModule>> modules;
  std::uintptr_t nextBase = kFirstModuleBase;
};
Table& table() {
  static Table* const instance = new Table;
  return *instance;
}

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

/// The file-name part of a path (after its last separator or drive colon).
std::u16string_view fileNamePart(std::u16string_view path) {
  const auto at = path.find_last_of(u"\\/:");
  return at == std::u16string_view::npos ? path : path.substr(at + 1);
}

/// Windows adds ".dll" to a module name whose file name has no extension.
std::u16string withDllExtension(std::u16string_view name) {
  std::u16string result(name);
  if (fileNamePart(name).find(u'.') == std::u16string_view::npos) result += u".dll";
  return result;
}

std::u16string joinWindows(std::u16string folder, std::u16string_view name) {
  if (!folder.empty() && !isSeparator(folder.back())) folder += u'\\';
  return folder + std::u16string(name);
}

/// The program's Windows image path: WINSIM_IMAGE, as `winsim run` sets it,
/// else the host executable's place on the machine, else its host path.
std::u16string programWindowsPath() {
  if (const char* image = std::getenv("WINSIM_IMAGE"); image && *image) return fromUtf8(image);
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (Machine* machine = currentMachine()) {
    if (auto windows = machine->windowsPath(self)) return *windows;
  }
  return fromUtf8(self.string());
}

/// The host file of the program, for the first folder of the search order.
std::optional<fs::path> programHostPath() {
  if (const char* image = std::getenv("WINSIM_IMAGE"); image && *image) {
    Machine* machine = currentMachine();
    if (!machine) return std::nullopt;
    auto host = machine->hostPath(fromUtf8(image));
    if (!host) return std::nullopt;
    return host.value();
  }
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return std::nullopt;
  return self;
}

std::u16string windowsPathOf(const fs::path& host) {
  if (Machine* machine = currentMachine()) {
    if (auto windows = machine->windowsPath(host)) return *windows;
  }
  return fromUtf8(host.string());
}

std::string canonicalKey(const fs::path& host) {
  std::error_code ec;
  const fs::path canonical = fs::weakly_canonical(host, ec);
  return ec ? host.lexically_normal().string() : canonical.string();
}

bool isRegularFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

/// A file that a bare module name may stand for.
struct Candidate {
  fs::path host;
  std::u16string windows;
};

/// The search order of a bare name: the program's folder, the system
/// folder, the Windows folder, the current folder.
std::vector<Candidate> searchCandidates(std::u16string_view name) {
  std::vector<Candidate> candidates;
  Machine* machine = currentMachine();
  if (const char* image = std::getenv("WINSIM_IMAGE"); image && *image) {
    const std::u16string program = fromUtf8(image);
    const auto cut = program.find_last_of(u"\\/");
    if (machine && cut != std::u16string::npos) {
      const std::u16string windows = joinWindows(program.substr(0, cut), name);
      if (auto host = machine->hostPath(windows)) candidates.push_back({host.value(), windows});
    }
  } else if (auto self = programHostPath()) {
    const fs::path host = self->parent_path() / toUtf8(name);
    candidates.push_back({host, windowsPathOf(host)});
  }
  if (!machine) return candidates;
  for (const std::u16string& folder :
       {machine->profileString(u"folders", u"system", u"C:\\Windows\\System32"),
        machine->profileString(u"folders", u"windows", u"C:\\Windows"), machine->currentFolder()}) {
    const std::u16string windows = joinWindows(folder, name);
    if (auto host = machine->hostPath(windows)) candidates.push_back({host.value(), windows});
  }
  return candidates;
}

bool bitnessFits(const pe::ResourceImage& image) {
  const bool wants64 = programBitness() == Bitness::Bits64;
  return (image.machine() == pe::MachineType::Amd64) == wants64;
}

Error wrongBitness(const std::u16string& path) {
  return makeError(ERROR_BAD_EXE_FORMAT, toUtf8(path) + " is a PE file of the other bitness than the program");
}

HMODULE nextHandle() {
  const auto handle = reinterpret_cast<HMODULE>(table().nextBase);
  table().nextBase += kModuleBaseStep;
  return handle;
}

/// One more reference to a module found loaded.
Expected<HMODULE> addReference(LoadedModule& module, bool asData) {
  if (module.kind == ModuleKind::Image && !asData && !bitnessFits(*module.image))
    return wrongBitness(module.windowsPath);
  ++module.references;
  return module.handle;
}

std::shared_ptr<LoadedModule> findByKey(const std::string& key) {
  for (auto& [handle, module] : table().modules)
    if (module->references > 0 && module->key == key) return module;
  return nullptr;
}

std::shared_ptr<LoadedModule> findByFileName(std::u16string_view fileName) {
  for (auto& [handle, module] : table().modules)
    if (module->references > 0 && equalsNoCase(fileNamePart(module->windowsPath), fileName)) return module;
  return nullptr;
}

Expected<std::vector<std::uint8_t>> readImageFile(const fs::path& host) {
  std::error_code ec;
  const auto size = fs::file_size(host, ec);
  if (ec) return makeError(ERROR_MOD_NOT_FOUND, "cannot read " + host.string());
  if (size > pe::ResourceImage::kMaxFileSize) return makeError(ERROR_BAD_EXE_FORMAT, host.string() + " is too large");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  std::ifstream in(host, std::ios::binary);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!in || in.gcount() != static_cast<std::streamsize>(bytes.size()))
    return makeError(ERROR_MOD_NOT_FOUND, "cannot read " + host.string());
  return bytes;
}

/// The resource image a program or shared object carries, if any. A damaged
/// one is refused as a damaged file would be: the module then has no
/// resources.
std::optional<pe::ResourceImage> embeddedResources(const SharedObject& object) {
  const auto* bytes = static_cast<const std::uint8_t*>(object.symbol(kResourcesSymbol));
  const auto* size = static_cast<const std::size_t*>(object.symbol(kResourcesSizeSymbol));
  if (!bytes || !size || *size > pe::ResourceImage::kMaxFileSize) return std::nullopt;
  auto image = pe::ResourceImage::parse(std::vector<std::uint8_t>(bytes, bytes + *size));
  if (!image) return std::nullopt;
  return std::move(image.value());
}

Expected<HMODULE> loadShared(const fs::path& host, const std::u16string& windows, const std::string& key) {
  auto object = SharedObject::open(host);
  if (!object) return object.error();
  // The same object under another name (a hard link): one module.
  for (auto& [handle, module] : table().modules)
    if (module->references > 0 && module->object && module->object->sameObject(*object))
      return addReference(*module, false);

  auto module = std::make_shared<LoadedModule>();
  module->handle = nextHandle();
  module->kind = ModuleKind::Shared;
  module->windowsPath = windows;
  module->key = key;
  module->object = std::move(object.value());
  // Before DllMain, which may load the module's own resources.
  module->image = embeddedResources(*module->object);
  module->references = 1;
  table().modules[module->handle] = module;
  if (auto entry = reinterpret_cast<DllEntry>(module->object->symbol("DllMain"))) {
    if (!entry(module->handle, DLL_PROCESS_ATTACH, nullptr)) {
      // As on Windows, a refused attach is followed by the detach.
      entry(module->handle, DLL_PROCESS_DETACH, nullptr);
      table().modules.erase(module->handle);
      module->references = 0;
      return makeError(ERROR_DLL_INIT_FAILED, toUtf8(windows) + ": DllMain refused to attach");
    }
  }
  return module->handle;
}

Expected<HMODULE> loadFile(const fs::path& host, const std::u16string& windows, bool asData) {
  const std::string key = canonicalKey(host);
  if (auto self = programHostPath(); self && canonicalKey(*self) == key) return kProgramHandle;
  if (auto module = findByKey(key)) return addReference(*module, asData);

  std::uint8_t head[4] = {};
  {
    std::ifstream in(host, std::ios::binary);
    if (!in) return makeError(ERROR_MOD_NOT_FOUND, "cannot open " + host.string());
    in.read(reinterpret_cast<char*>(head), sizeof head);
  }
  if (looksLikeElf(head)) {
    if (asData) return makeError(ERROR_BAD_EXE_FORMAT, toUtf8(windows) + " is no PE file to read as data");
    return loadShared(host, windows, key);
  }
  if (!pe::ResourceImage::looksLikePe(head))
    return makeError(ERROR_BAD_EXE_FORMAT, toUtf8(windows) + " is neither a PE file nor a shared object");
  auto bytes = readImageFile(host);
  if (!bytes) return bytes.error();
  auto image = pe::ResourceImage::parse(std::move(bytes.value()));
  if (!image) return makeError(image.error().code, toUtf8(windows) + ": " + image.error().message);
  if (!asData && !bitnessFits(*image)) return wrongBitness(windows);

  auto module = std::make_shared<LoadedModule>();
  module->handle = nextHandle();
  module->kind = ModuleKind::Image;
  module->windowsPath = windows;
  module->key = key;
  module->image.emplace(std::move(image.value()));
  module->references = 1;
  table().modules[module->handle] = module;
  return module->handle;
}

Expected<HMODULE> loadBuiltin(const std::u16string& fileName) {
  const std::string key = "builtin:" + toUtf8(upperCase(fileName));
  if (auto module = findByKey(key)) return addReference(*module, false);
  auto module = std::make_shared<LoadedModule>();
  module->handle = nextHandle();
  module->kind = ModuleKind::Builtin;
  module->builtinName = fileName;
  const std::u16string system = currentMachine()
                                    ? currentMachine()->profileString(u"folders", u"system", u"C:\\Windows\\System32")
                                    : std::u16string(u"C:\\Windows\\System32");
  module->windowsPath = joinWindows(system, fileName);
  module->key = key;
  module->references = 1;
  table().modules[module->handle] = module;
  return module->handle;
}

Expected<HMODULE> loadModule(std::u16string_view name, bool asData) {
  const std::u16string fileName = withDllExtension(name);
  std::lock_guard lock(table().mutex);
  const bool bare = name.find_first_of(u"\\/:") == std::u16string_view::npos;
  if (bare) {
    // A module of that name in memory is used before any file, as Windows
    // does; then the layer's own modules; then the search order.
    if (equalsNoCase(fileNamePart(programWindowsPath()), fileName)) return kProgramHandle;
    if (auto module = findByFileName(fileName)) return addReference(*module, asData);
    if (isBuiltinModule(fileName)) return loadBuiltin(fileName);
    for (const auto& candidate : searchCandidates(fileName))
      if (isRegularFile(candidate.host)) return loadFile(candidate.host, candidate.windows, asData);
    return makeError(ERROR_MOD_NOT_FOUND, toUtf8(fileName) + " not found in the search order");
  }
  Machine* machine = currentMachine();
  if (!machine) return makeError(ERROR_MOD_NOT_FOUND, "no machine to find " + toUtf8(fileName) + " on");
  auto host = machine->hostPath(fileName);
  auto windows = machine->fullWindowsPath(fileName);
  if (!host || !windows || !isRegularFile(host.value()))
    return makeError(ERROR_MOD_NOT_FOUND, toUtf8(fileName) + " does not exist");
  return loadFile(host.value(), windows.value(), asData);
}

const LoadedModule& programRecord() {
  static const LoadedModule record = [] {
    LoadedModule m;
    m.handle = kProgramHandle;
    m.kind = ModuleKind::Program;
    m.references = 1;
    m.image = embeddedResources(SharedObject::program());
    return m;
  }();
  return record;
}

}  // namespace

HMODULE programModule() { return kProgramHandle; }

std::shared_ptr<const LoadedModule> findModule(HMODULE handle) {
  if (!handle || handle == kProgramHandle)
    return std::shared_ptr<const LoadedModule>(std::shared_ptr<const LoadedModule>{}, &programRecord());
  std::lock_guard lock(table().mutex);
  const auto found = table().modules.find(handle);
  if (found == table().modules.end()) return nullptr;
  return found->second;
}

std::vector<std::shared_ptr<const LoadedModule>> loadedModules() {
  std::vector<std::shared_ptr<const LoadedModule>> all{findModule(nullptr)};
  std::lock_guard lock(table().mutex);
  for (const auto& [handle, module] : table().modules) all.push_back(module);
  return all;
}

}  // namespace winsim::modules

using namespace winsim::modules;

HMODULE LoadLibraryW(LPCWSTR lpLibFileName) { return LoadLibraryExW(lpLibFileName, nullptr, 0); }

HMODULE LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
  if (!lpLibFileName || !*lpLibFileName || hFile || (dwFlags & ~LOAD_LIBRARY_AS_DATAFILE)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto loaded = loadModule(lpLibFileName, (dwFlags & LOAD_LIBRARY_AS_DATAFILE) != 0);
  if (!loaded) {
    SetLastError(loaded.error().code);
    return nullptr;
  }
  return loaded.value();
}

BOOL FreeLibrary(HMODULE hLibModule) {
  if (hLibModule == kProgramHandle) return TRUE;
  std::lock_guard lock(table().mutex);
  const auto found = table().modules.find(hLibModule);
  if (found == table().modules.end() || found->second->references <= 0) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  const std::shared_ptr<LoadedModule> module = found->second;
  if (--module->references > 0) return TRUE;
  // Detach while the module is still in the table, so that DllMain can ask
  // for its own name; then the record and the object go.
  if (module->object) {
    if (auto entry = reinterpret_cast<DllEntry>(module->object->symbol("DllMain")))
      entry(module->handle, DLL_PROCESS_DETACH, nullptr);
  }
  table().modules.erase(module->handle);
  return TRUE;
}

HMODULE GetModuleHandleW(LPCWSTR lpModuleName) {
  if (!lpModuleName) return kProgramHandle;
  const std::u16string_view name(lpModuleName);
  const std::u16string fileName = withDllExtension(name);
  const bool bare = name.find_first_of(u"\\/:") == std::u16string_view::npos;
  std::u16string fullPath;
  if (!bare) {
    winsim::Machine* machine = winsim::currentMachine();
    auto full = machine ? machine->fullWindowsPath(fileName) : winsim::Expected<std::u16string>(fileName);
    fullPath = full ? full.value() : fileName;
  }
  const std::u16string program = programWindowsPath();
  if (bare ? winsim::equalsNoCase(fileNamePart(program), fileName) : winsim::equalsNoCase(program, fullPath))
    return kProgramHandle;
  std::lock_guard lock(table().mutex);
  for (const auto& [handle, module] : table().modules) {
    if (module->references <= 0) continue;
    if (bare ? winsim::equalsNoCase(fileNamePart(module->windowsPath), fileName)
             : winsim::equalsNoCase(module->windowsPath, fullPath))
      return handle;
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
  const auto module = findModule(hModule);
  if (!module) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  const std::u16string path = module->kind == ModuleKind::Program ? programWindowsPath() : module->windowsPath;
  if (nSize == 0 || !lpFilename) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  const std::size_t copied = winsim::copyTruncated(path, lpFilename, nSize);
  if (copied < path.size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  return static_cast<DWORD>(copied);
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  const auto module = findModule(hModule);
  if (!module) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  FARPROC address = nullptr;
  if (lpProcName && !IS_INTRESOURCE(lpProcName)) {
    switch (module->kind) {
      case ModuleKind::Program:
        address = reinterpret_cast<FARPROC>(SharedObject::program().symbol(lpProcName));
        break;
      case ModuleKind::Shared:
        address = reinterpret_cast<FARPROC>(module->object->symbol(lpProcName));
        break;
      case ModuleKind::Builtin:
        address = winsim::findBuiltinExport(module->builtinName, lpProcName);
        break;
      case ModuleKind::Image:
        break;  // its code cannot run here
    }
  }
  if (!address) SetLastError(ERROR_PROC_NOT_FOUND);
  return address;
}
