#include "filespath.h"

#include <cerrno>

#include "winsim/machine.h"
#include "winsim/text.h"

namespace winsim::files {

namespace {

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool isWildcard(char16_t c) { return c == u'*' || c == u'?'; }

/// Characters Windows refuses inside a file or folder name.
bool isRefusedInName(char16_t c) {
  return c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || isWildcard(c);
}

}  // namespace

std::u16string_view ResolvedPath::name() const {
  if (isRoot()) return {};
  return std::u16string_view(full).substr(full.rfind(u'\\') + 1);
}

std::u16string ResolvedPath::parent() const {
  if (isRoot()) return full;
  const auto cut = full.rfind(u'\\');
  return cut <= 2 ? full.substr(0, 3) : full.substr(0, cut);
}

Expected<ResolvedPath> resolvePath(std::u16string_view path, AllowWildcards wildcards) {
  if (path.empty()) return makeError(ERROR_PATH_NOT_FOUND, "empty path");
  Machine* machine = currentMachine();
  if (!machine) return makeError(ERROR_PATH_NOT_FOUND, "no machine");
  auto full = machine->fullWindowsPath(path);
  if (!full) return full.error();
  // Names are checked on the full form, after the drive's "X:".
  const std::u16string& text = full.value();
  const std::size_t lastStart = text.rfind(u'\\') + 1;
  for (std::size_t i = 2; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (isSeparator(c)) continue;
    if (wildcards == AllowWildcards::InLastComponent && i >= lastStart && isWildcard(c)) continue;
    if (isRefusedInName(c)) return makeError(ERROR_INVALID_NAME, "invalid character in a name");
  }
  auto host = machine->hostPath(text);
  if (!host) return host.error();
  return ResolvedPath{std::move(full.value()), std::move(host.value())};
}

Expected<ResolvedPath> resolvePath(LPCWSTR path) {
  if (!path) return makeError(ERROR_PATH_NOT_FOUND, "null path");
  return resolvePath(std::u16string_view(path));
}

HostEntry statHost(const std::filesystem::path& host) {
  HostEntry entry;
  if (::stat(host.c_str(), &entry.st) != 0) return entry;
  entry.kind = S_ISDIR(entry.st.st_mode) ? Kind::Folder : Kind::File;
  return entry;
}

DWORD missingError(const ResolvedPath& path) {
  if (path.isRoot()) return ERROR_PATH_NOT_FOUND;
  auto parent = resolvePath(path.parent());
  if (parent && statHost(parent->host).kind == Kind::Folder) return ERROR_FILE_NOT_FOUND;
  return ERROR_PATH_NOT_FOUND;
}

DWORD errorFromErrno(int error) {
  switch (error) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case EXDEV:
      return ERROR_NOT_SAME_DEVICE;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case EBUSY:
      return ERROR_SHARING_VIOLATION;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENOTSUP:
      return ERROR_NOT_SUPPORTED;
    default:
      return ERROR_GEN_FAILURE;
  }
}

}  // namespace winsim::files
