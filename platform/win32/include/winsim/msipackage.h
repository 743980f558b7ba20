// The reader of the machine's Windows Installer packages (the text format in
// msi.h) and the formatter of their "[PROPERTY]" references. A package comes
// from outside, so the reader checks every line and size, and the formatter
// bounds what it makes.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win32/types.h"
#include "winsim/expected.h"

namespace winsim {

constexpr std::size_t kMaxMsiPackageBytes = std::size_t{1} << 20;
constexpr std::size_t kMaxMsiEntries = 1024;  // of each of files, values, searches and properties
/// A formatted text (a path, a value) longer than this is refused.
constexpr std::size_t kMaxMsiFormattedChars = 32767;

enum class MsiPlatform { X86, X64 };

struct MsiFileEntry {
  enum class Source { PackageFile, Text };
  std::u16string target;  // a template: "[TARGETDIR]korax.exe"
  Source source = Source::Text;
  std::u16string sourceName;  // PackageFile: a relative path below the package's folder
  std::string text;           // Text: the bytes to write (UTF-8, escapes resolved)
};

struct MsiRegistryEntry {
  enum class Root { LocalMachine, CurrentUser, ClassesRoot };
  Root root = Root::LocalMachine;
  std::u16string key;  // templates, formatted at installation
  std::u16string name;
  DWORD type = 0;  // REG_SZ, REG_EXPAND_SZ or REG_DWORD
  std::u16string data;
};

/// A property taken from the registry when the value is there.
struct MsiSearchEntry {
  std::u16string property;
  MsiRegistryEntry::Root root = MsiRegistryEntry::Root::LocalMachine;
  std::u16string key;
  std::u16string name;
};

struct MsiFault {
  UINT result = 0;
  std::u16string message;  // empty: the installation ends without a message
  UINT messageType = 0;    // INSTALLMESSAGE kind | message-box style
};

struct MsiPackage {
  std::u16string productCode;  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case
  std::u16string productName;
  std::u16string productVersion;
  std::u16string manufacturer;
  MsiPlatform platform = MsiPlatform::X86;
  WORD language = 1033;
  UINT codepage = 1252;
  std::vector<std::pair<std::u16string, std::u16string>> properties;  // in file order
  std::vector<MsiFileEntry> files;
  std::vector<MsiRegistryEntry> registry;
  std::vector<MsiSearchEntry> searches;
  std::optional<MsiFault> fault;
};

/// Reads a package. A malformed one fails with ERROR_INSTALL_PACKAGE_INVALID
/// and a message naming the line.
Expected<MsiPackage> parseMsiPackage(std::string_view bytes);

/// Whether `text` is a product code: a GUID in braces (any letter case).
bool isMsiProductCode(std::u16string_view text);

/// Properties of an installation; names match with case, as the installer's do.
class MsiProperties {
 public:
  void set(std::u16string_view name, std::u16string value);
  /// Empty for a property that is not set.
  std::u16string get(std::u16string_view name) const;
  bool has(std::u16string_view name) const;

  /// Replaces each "[NAME]" by the property's value and each "[\c]" by c;
  /// other brackets stay as written. Fails (ERROR_INSTALL_PACKAGE_INVALID)
  /// when the result would pass kMaxMsiFormattedChars.
  Expected<std::u16string> format(std::u16string_view text) const;

 private:
  std::map<std::u16string, std::u16string, std::less<>> m_values;
};

/// Reads a command line of properties ("A=1 B=\"x y\"", "" inside quotes is a
/// quote). Fails with ERROR_INVALID_COMMAND_LINE for a word without "=", an
/// empty or malformed name, or an open quote.
Expected<std::vector<std::pair<std::u16string, std::u16string>>> parseMsiCommandLine(std::u16string_view line);

}  // namespace winsim
