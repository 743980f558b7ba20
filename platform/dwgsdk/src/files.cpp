// The database's files: reading and writing DXF, loading linetypes from .lin
// files, and finding files on the simulated machine.
#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "dxfwriter.h"
#include "linetypefile.h"
#include "standard.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace {

/// The host path of a Windows path of the machine (a host path when there is no machine).
bool hostPathOf(const OdString& path, std::filesystem::path& host) {
  if (path.isEmpty()) return false;
  if (winsim::Machine* machine = winsim::currentMachine()) {
    auto resolved = machine->hostPath(path.view());
    if (!resolved) return false;
    host = resolved.value();
    return true;
  }
  host = std::filesystem::path(winsim::toUtf8(path.view()));
  return true;
}

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

OdResult OdDbDatabase::readFile(const OdString& path, int, bool, const OdChar*) {
  // A database that already holds a drawing would leave its callers' ids
  // pointing into the drawing it replaced.
  if (m_impl->stubs.count() > 0) return eNotApplicable;
  std::filesystem::path host;
  if (!hostPathOf(path, host)) return eFileNotFound;
  std::error_code ec;
  if (!std::filesystem::exists(host, ec)) return eFileNotFound;
  if (std::filesystem::is_directory(host, ec)) return eCantOpenFile;
  File file(std::fopen(host.c_str(), "rb"));
  if (!file) return eCantOpenFile;
  OdDbDatabase fresh(false);
  OdResult result = readDxf(*fresh.impl(), file.get());
  if (result != eOk) return result;
  swapContents(fresh);
  return eOk;
}

OdResult OdDbDatabase::writeFile(const OdString& path) {
  std::filesystem::path host;
  if (!hostPathOf(path, host)) return eFileNotFound;
  std::error_code ec;
  if (std::filesystem::is_directory(host, ec)) return eCantOpenFile;
  if (!host.has_parent_path() || !std::filesystem::is_directory(host.parent_path(), ec)) return eFileNotFound;
  // Written beside the target and moved over it, so a failed write never
  // leaves a half drawing where the old one was.
  std::filesystem::path temporary = host;
  temporary += ".dxf-writing";
  OdResult result;
  {
    File file(std::fopen(temporary.c_str(), "wb"));
    if (!file) return eCantOpenFile;
    result = writeDxf(*m_impl, file.get());
    if (std::fclose(file.release()) != 0 && result == eOk) result = eFileWriteError;
  }
  if (result == eOk) {
    std::filesystem::rename(temporary, host, ec);
    if (ec) result = eFileWriteError;
  }
  if (result != eOk) std::filesystem::remove(temporary, ec);
  return result;
}

/// The folder of this library on the host: files that ship with the layer lie there.
static std::filesystem::path layerFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&layerFolder), &info) && info.dli_fname)
    return std::filesystem::path(info.dli_fname).parent_path();
  return {};
}

OdString OdDbHostAppServices::findFile(const OdString& fileName, OdDbDatabase*) {
  std::error_code ec;
  std::filesystem::path host;
  if (hostPathOf(fileName, host) && std::filesystem::is_regular_file(host, ec)) return fileName;
  std::filesystem::path name = std::filesystem::path(winsim::toUtf8(fileName.view())).filename();
  std::u16string wide = fileName.str();
  if (auto cut = wide.find_last_of(u"\\/"); cut != std::u16string::npos) name = winsim::toUtf8(wide.substr(cut + 1));
  std::filesystem::path beside = layerFolder() / name;
  if (!name.empty() && std::filesystem::is_regular_file(beside, ec)) {
    // A host path outside the machine's drives is still a path this process can open.
    if (winsim::Machine* machine = winsim::currentMachine())
      if (auto windows = machine->windowsPath(beside)) return OdString(*windows);
    return OdString(winsim::fromUtf8(beside.string()));
  }
  return OdString();
}

OdResult OdDbDatabase::loadLineTypeFile(const OdString& name, const OdString& fileName,
                                        OdDb::DuplicateLinetypeLoading duplicates) {
  if (name.isEmpty()) return eInvalidInput;
  OdString found = oddbHostApplicationServices()->findFile(fileName, this);
  if (found.isEmpty()) return eFileNotFound;
  std::filesystem::path host;
  std::error_code ec;
  // The file shipped beside the layer may lie outside the machine's drives:
  // findFile then gives its host path, which is opened as it is.
  if (!hostPathOf(found, host) || !std::filesystem::is_regular_file(host, ec))
    host = std::filesystem::path(winsim::toUtf8(found.view()));
  std::string bytes;
  {
    std::ifstream in(host, std::ios::binary);
    if (!in) return eCantOpenFile;
    in.seekg(0, std::ios::end);
    auto size = static_cast<long long>(in.tellg());
    if (size < 0 || size > kMaxLinetypeFileSize) return eBadLinetypeFile;
    bytes.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    in.read(bytes.data(), size);
    if (!in) return eFileAccessErr;
  }
  std::vector<LinetypeDefinition> definitions;
  if (OdResult r = parseLinetypeFile(bytes, definitions); r != eOk) return r;
  return addLinetypes(*m_impl, definitions, name, duplicates);
}
