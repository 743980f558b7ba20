// The registry's tree and its file, MACHINE/registry.reg.
//
// The file is a registry export file as regedit writes it:
/*
   Windows Registry Editor Version 5.00

   [HKEY_LOCAL_MACHINE\SOFTWARE\Halvorn]
   @="default value"
   "path"="C:\\Program Files\\Halvorn"
   "NUM"=dword:00000001
   "blob"=hex:01,02,03,\
     04,05
   "list"=hex(7):61,00,00,00,00,00
*/
// Written as UTF-16LE with a byte-order mark and CR LF; read from UTF-16LE with
// a BOM or from UTF-8. Every key has its own section, so empty keys survive.
// Data is kept byte for byte: a REG_SZ is written as a quoted string only when
// it is one NUL-terminated line of text, a REG_DWORD as dword: only when it has
// four bytes; everything else as hex(TYPE):, so any value reads back exactly.
// Reading also understands what regedit imports: ";" comments, "=-" (delete a
// value), [-KEY] (delete a key) and HKEY_CLASSES_ROOT sections.
//
// The file is outside input: the reader checks every size against the limits
// below, and a damaged file gives ERROR_REGISTRY_CORRUPT with its line number.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "win32/types.h"
#include "winsim/expected.h"
#include "winsim/text.h"

namespace winsim {

/// Limits of names and sizes, as Windows has them where it has them.
constexpr std::size_t kMaxRegistryKeyName = 255;
constexpr std::size_t kMaxRegistryValueName = 16383;
constexpr std::size_t kMaxRegistryDepth = 512;
/// One value's data; the limit of the standard hive format.
constexpr std::size_t kMaxRegistryValueBytes = std::size_t{1} << 20;
/// The whole file: a registry larger than this is refused (written and read).
constexpr std::size_t kMaxRegistryFileBytes = std::size_t{64} << 20;

/// A name the file can keep: not too long, no control characters. Key names
/// may not be empty nor hold "\"; the empty value name is the default value.
bool isValidRegistryKeyName(std::u16string_view name);
bool isValidRegistryValueName(std::u16string_view name);

struct RegistryValue {
  std::u16string name;
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const RegistryValue&) const = default;
};

class RegistryKey {
 public:
  /// Subkeys ordered by name without case; each keeps the spelling it was
  /// created with.
  using Subkeys = std::map<std::u16string, std::unique_ptr<RegistryKey>, NoCaseLess>;

  RegistryKey() = default;
  RegistryKey(RegistryKey&&) = default;
  RegistryKey& operator=(RegistryKey&&) = default;

  RegistryKey* subkey(std::u16string_view name);
  const RegistryKey* subkey(std::u16string_view name) const;
  /// The subkey of that name, created when missing (`created` tells which).
  RegistryKey& addSubkey(std::u16string_view name, bool* created = nullptr);
  bool removeSubkey(std::u16string_view name);
  const Subkeys& subkeys() const { return m_subkeys; }

  /// Values in the order they were first set.
  const std::vector<RegistryValue>& values() const { return m_values; }
  const RegistryValue* value(std::u16string_view name) const;
  /// Replaces the data of an existing value (keeping its place and spelling)
  /// or appends a new one.
  void setValue(std::u16string_view name, DWORD type, std::vector<BYTE> data);
  bool removeValue(std::u16string_view name);

  /// Same names (spelled alike), values in the same order, same subkeys.
  bool operator==(const RegistryKey& other) const;

 private:
  Subkeys m_subkeys;
  std::vector<RegistryValue> m_values;
  std::map<std::u16string, std::size_t, NoCaseLess> m_valueIndex;  // name -> position in m_values
};

/// The two stored roots; HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
enum class RegistryRoot { LocalMachine, CurrentUser };

struct RegistryTree {
  RegistryKey localMachine;
  RegistryKey currentUser;

  RegistryKey& root(RegistryRoot which) { return which == RegistryRoot::LocalMachine ? localMachine : currentUser; }
  const RegistryKey& root(RegistryRoot which) const {
    return which == RegistryRoot::LocalMachine ? localMachine : currentUser;
  }
  bool operator==(const RegistryTree& other) const {
    return localMachine == other.localMachine && currentUser == other.currentUser;
  }
};

/// Parses the bytes of a registry file. Errors (ERROR_REGISTRY_CORRUPT) say
/// "line N: what is wrong".
Expected<RegistryTree> parseRegistryFile(std::string_view bytes);
/// The bytes of the file of a tree: UTF-16LE with BOM, CR LF line ends.
std::string serializeRegistryFile(const RegistryTree& tree);
/// Reads and parses a registry file; a file that does not exist is an empty
/// registry. Errors name the file and the line.
Expected<RegistryTree> readRegistryFile(const std::filesystem::path& path);

}  // namespace winsim
