// winsim reg DIR query|add|delete KEY [options]: the machine's registry with
// the syntax and output of the Windows reg tool.
//
//   reg DIR query  KEY [/v NAME | /ve] [/s] [/reg:32 | /reg:64]
//   reg DIR add    KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f] [/reg:32 | /reg:64]
//   reg DIR delete KEY [/v NAME | /ve | /va] [/f] [/reg:32 | /reg:64]
//
// winsim is a 64-bit program, so a key is seen in the 64-bit view unless
// /reg:32 asks for the 32-bit one (as the 32-bit reg tool would see it).
// Without /f, add and delete ask before they overwrite or delete, reading
// the answer from standard input (no answer is no). Results go to standard
// output, errors to standard error as "ERROR: ..." with exit code 1; every
// argument is checked before anything is written.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "win32/errors.h"
#include "win32/registry.h"
#include "winsim/registryfile.h"
#include "winsim/text.h"

namespace winsim::cli {
namespace {

constexpr const char* kNotFound = "ERROR: The system was unable to find the specified registry key or value.";
constexpr const char* kUsage =
    "reg DIR query|add|delete KEY [/v NAME | /ve | /va] [/s] [/t TYPE] [/d DATA] [/f] [/reg:32|/reg:64]";

int error(const std::string& message) {
  std::cerr << message << "\n";
  return 1;
}

int apiError(LSTATUS status, const Machine& machine) {
  switch (status) {
    case ERROR_FILE_NOT_FOUND:
      return error(kNotFound);
    case ERROR_ACCESS_DENIED:
      return error("ERROR: Access is denied.");
    case ERROR_REGISTRY_CORRUPT: {
      auto tree = readRegistryFile(machine.stateFile("registry.reg"));
      return error("ERROR: The registry is damaged: " + (tree ? std::string("unreadable") : tree.error().message));
    }
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER:
      return error("ERROR: Invalid key or value name.");
    default:
      return error("ERROR: The registry call failed with Windows error " + std::to_string(status) + ".");
  }
}

struct KeyName {
  HKEY root = nullptr;
  std::u16string sub;      // below the root, without a trailing backslash
  std::u16string display;  // as reg shows it: the long root name, then the path as written
};

std::optional<KeyName> parseKeyName(const std::string& text) {
  const std::u16string name = fromUtf8(text);
  const std::size_t slash = name.find(u'\\');
  const std::u16string root = upperCase(name.substr(0, slash));
  KeyName key;
  if (root == u"HKLM" || root == u"HKEY_LOCAL_MACHINE") {
    key.root = HKEY_LOCAL_MACHINE;
    key.display = u"HKEY_LOCAL_MACHINE";
  } else if (root == u"HKCU" || root == u"HKEY_CURRENT_USER") {
    key.root = HKEY_CURRENT_USER;
    key.display = u"HKEY_CURRENT_USER";
  } else if (root == u"HKCR" || root == u"HKEY_CLASSES_ROOT") {
    key.root = HKEY_CLASSES_ROOT;
    key.display = u"HKEY_CLASSES_ROOT";
  } else {
    return std::nullopt;
  }
  if (slash != std::u16string::npos) key.sub = name.substr(slash + 1);
  if (!key.sub.empty() && key.sub.back() == u'\\') key.sub.pop_back();
  if (!key.sub.empty()) key.display += u"\\" + key.sub;
  return key;
}

/// The options after KEY. Names are matched without case, with / or -.
struct Options {
  std::optional<std::u16string> value;   // /v NAME, or "" for /ve
  bool allValues = false;                // /va
  bool recurse = false;                  // /s of query
  std::optional<std::string> type;       // /t
  std::optional<std::string> data;       // /d
  std::optional<std::string> separator;  // /s of add
  bool force = false;                    // /f
  std::optional<Bitness> view;           // /reg:32, /reg:64
};

std::optional<std::string> parseOptions(const std::string& operation, const Arguments& args, std::size_t first,
                                        Options& options) {
  for (std::size_t i = first; i < args.size(); ++i) {
    std::string option = args[i];
    if (option.size() < 2 || (option[0] != '/' && option[0] != '-')) return "unexpected argument '" + option + "'";
    for (char& c : option) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    option = option.substr(1);
    auto takeValue = [&](std::optional<std::string>& into) -> std::optional<std::string> {
      if (into) return "/" + option + " given twice";
      if (i + 1 >= args.size()) return "/" + option + " needs a value";
      into = args[++i];
      return std::nullopt;
    };
    std::optional<std::string> problem;
    if (option == "v") {
      if (options.value) return "/v or /ve given twice";
      if (i + 1 >= args.size()) return "/v needs a value name";
      options.value = fromUtf8(args[++i]);
    } else if (option == "ve") {
      if (options.value) return "/v or /ve given twice";
      options.value = u"";
    } else if (option == "va" && operation == "delete") {
      options.allValues = true;
    } else if (option == "s" && operation == "query") {
      options.recurse = true;
    } else if (option == "s" && operation == "add") {
      problem = takeValue(options.separator);
      if (!problem && options.separator->size() != 1) problem = "/s needs one separator character";
    } else if (option == "t" && operation == "add") {
      problem = takeValue(options.type);
    } else if (option == "d" && operation == "add") {
      problem = takeValue(options.data);
    } else if (option == "f" && operation != "query") {
      options.force = true;
    } else if (option == "reg:32" || option == "reg:64") {
      if (options.view) return "/reg:32 or /reg:64 given twice";
      options.view = option == "reg:32" ? Bitness::Bits32 : Bitness::Bits64;
    } else {
      return "unknown option '" + args[i] + "' for " + operation;
    }
    if (problem) return problem;
  }
  if (options.allValues && options.value) return "/va cannot go with /v or /ve";
  return std::nullopt;
}

/// An open key, closed at the end of the scope.
class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() {
    if (m_key) RegCloseKey(m_key);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY* out() { return &m_key; }
  HKEY get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

// ---- query ----

std::u16string wideUnits(const std::vector<BYTE>& data) {
  std::u16string text(data.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  return text;
}

std::string typeName(DWORD type) {
  switch (type) {
    case REG_NONE:
      return "REG_NONE";
    case REG_SZ:
      return "REG_SZ";
    case REG_EXPAND_SZ:
      return "REG_EXPAND_SZ";
    case REG_BINARY:
      return "REG_BINARY";
    case REG_DWORD:
      return "REG_DWORD";
    case REG_DWORD_BIG_ENDIAN:
      return "REG_DWORD_BIG_ENDIAN";
    case REG_LINK:
      return "REG_LINK";
    case REG_MULTI_SZ:
      return "REG_MULTI_SZ";
    case 8:
      return "REG_RESOURCE_LIST";
    case 9:
      return "REG_FULL_RESOURCE_DESCRIPTOR";
    case 10:
      return "REG_RESOURCE_REQUIREMENTS_LIST";
    case REG_QWORD:
      return "REG_QWORD";
    default: {
      char text[16];
      std::snprintf(text, sizeof text, "0x%x", type);
      return text;
    }
  }
}

/// Data as reg shows it: text up to its NUL, numbers in hex with 0x,
/// multi-strings joined by \0, anything else as upper-case hex bytes.
std::string dataText(DWORD type, const std::vector<BYTE>& data) {
  char number[32];
  if ((type == REG_DWORD || type == REG_DWORD_BIG_ENDIAN) && data.size() == 4) {
    const DWORD v = type == REG_DWORD ? data[0] | (data[1] << 8) | (data[2] << 16) | (DWORD{data[3]} << 24)
                                      : data[3] | (data[2] << 8) | (data[1] << 16) | (DWORD{data[0]} << 24);
    std::snprintf(number, sizeof number, "0x%x", v);
    return number;
  }
  if (type == REG_QWORD && data.size() == 8) {
    unsigned long long v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | data[static_cast<std::size_t>(i)];
    std::snprintf(number, sizeof number, "0x%llx", v);
    return number;
  }
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_LINK) {
    const std::u16string text = wideUnits(data);
    return toUtf8(text.substr(0, text.find(u'\0')));
  }
  if (type == REG_MULTI_SZ) {
    std::u16string text = wideUnits(data);
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    std::string out;
    for (std::size_t start = 0; start <= text.size();) {
      const std::size_t end = std::min(text.find(u'\0', start), text.size());
      if (start > 0) out += "\\0";
      out += toUtf8(text.substr(start, end - start));
      start = end + 1;
    }
    return out;
  }
  std::string out;
  for (BYTE b : data) {
    std::snprintf(number, sizeof number, "%02X", b);
    out += number;
  }
  return out;
}

struct ValueEntry {
  std::u16string name;
  DWORD type = 0;
  std::vector<BYTE> data;
};

LSTATUS readValues(HKEY key, std::vector<ValueEntry>& values) {
  DWORD count = 0, longestName = 0, largestData = 0;
  if (LSTATUS s = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                                   &largestData, nullptr, nullptr);
      s != ERROR_SUCCESS)
    return s;
  std::vector<char16_t> name(longestName + 1);
  std::vector<BYTE> data(largestData);
  for (DWORD i = 0; i < count; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size()), type = 0, size = static_cast<DWORD>(data.size());
    if (LSTATUS s = RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        s != ERROR_SUCCESS)
      return s;
    values.push_back(
        {std::u16string(name.data(), nameLength), type, std::vector<BYTE>(data.begin(), data.begin() + size)});
  }
  return ERROR_SUCCESS;
}

LSTATUS readSubkeys(HKEY key, std::vector<std::u16string>& names) {
  char16_t name[kMaxRegistryKeyName + 1];
  for (DWORD i = 0;; ++i) {
    DWORD length = kMaxRegistryKeyName + 1;
    const LSTATUS s = RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (s == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (s != ERROR_SUCCESS) return s;
    names.emplace_back(name, length);
  }
}

void printValue(const ValueEntry& value) {
  std::cout << "    " << (value.name.empty() ? std::string("(Default)") : toUtf8(value.name)) << "    "
            << typeName(value.type) << "    " << dataText(value.type, value.data) << "\n";
}

/// One key of a query: its name, its values, then its subkeys (their names,
/// or with /s the whole of each).
LSTATUS queryKey(HKEY key, const std::u16string& display, bool recurse) {
  std::vector<ValueEntry> values;
  std::vector<std::u16string> subkeys;
  if (LSTATUS s = readValues(key, values); s != ERROR_SUCCESS) return s;
  if (LSTATUS s = readSubkeys(key, subkeys); s != ERROR_SUCCESS) return s;
  std::cout << toUtf8(display) << "\n";
  for (const auto& value : values) printValue(value);
  if (!values.empty() || recurse) std::cout << "\n";
  for (const auto& name : subkeys) {
    if (!recurse) {
      std::cout << toUtf8(display + u"\\" + name) << "\n";
      continue;
    }
    OpenKey subkey;
    if (LSTATUS s = RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, subkey.out()); s != ERROR_SUCCESS) return s;
    if (LSTATUS s = queryKey(subkey.get(), display + u"\\" + name, true); s != ERROR_SUCCESS) return s;
  }
  if (!subkeys.empty() && !recurse) std::cout << "\n";
  return ERROR_SUCCESS;
}

/// /v with /s: every key of the tree that has the value.
LSTATUS searchValue(HKEY key, const std::u16string& display, const std::u16string& name, int& matches) {
  std::vector<ValueEntry> values;
  std::vector<std::u16string> subkeys;
  if (LSTATUS s = readValues(key, values); s != ERROR_SUCCESS) return s;
  if (LSTATUS s = readSubkeys(key, subkeys); s != ERROR_SUCCESS) return s;
  for (const auto& value : values) {
    if (!equalsNoCase(value.name, name)) continue;
    std::cout << toUtf8(display) << "\n";
    printValue(value);
    std::cout << "\n";
    ++matches;
  }
  for (const auto& subName : subkeys) {
    OpenKey subkey;
    if (LSTATUS s = RegOpenKeyExW(key, subName.c_str(), 0, KEY_READ, subkey.out()); s != ERROR_SUCCESS) return s;
    if (LSTATUS s = searchValue(subkey.get(), display + u"\\" + subName, name, matches); s != ERROR_SUCCESS) return s;
  }
  return ERROR_SUCCESS;
}

int runQuery(const Machine& machine, const KeyName& name, const Options& options) {
  OpenKey key;
  if (LSTATUS s = RegOpenKeyExW(name.root, name.sub.c_str(), 0, KEY_READ, key.out()); s != ERROR_SUCCESS)
    return apiError(s, machine);
  if (options.value && options.recurse) {
    int matches = 0;
    std::cout << "\n";
    if (LSTATUS s = searchValue(key.get(), name.display, *options.value, matches); s != ERROR_SUCCESS)
      return apiError(s, machine);
    std::cout << "End of search: " << matches << " match(es) found.\n";
    return matches ? 0 : 1;
  }
  if (options.value) {
    DWORD type = 0, size = 0;
    std::vector<BYTE> data;
    LSTATUS s = RegQueryValueExW(key.get(), options.value->c_str(), nullptr, &type, nullptr, &size);
    // Another process may change the value between the two calls.
    while (s == ERROR_SUCCESS) {
      data.resize(size);
      s = RegQueryValueExW(key.get(), options.value->c_str(), nullptr, &type, data.data(), &size);
      if (s == ERROR_SUCCESS) {
        data.resize(size);
        break;
      }
      if (s == ERROR_MORE_DATA) s = ERROR_SUCCESS;  // it grew: read again with the new size
    }
    // reg shows a default value that was never set rather than failing.
    const bool unsetDefault = s == ERROR_FILE_NOT_FOUND && options.value->empty();
    if (s != ERROR_SUCCESS && !unsetDefault) return apiError(s, machine);
    std::cout << "\n" << toUtf8(name.display) << "\n";
    if (unsetDefault) {
      std::cout << "    (Default)    REG_SZ    (value not set)\n";
    } else {
      printValue({*options.value, type, data});
    }
    std::cout << "\n";
    return 0;
  }
  std::cout << "\n";
  if (LSTATUS s = queryKey(key.get(), name.display, options.recurse); s != ERROR_SUCCESS) return apiError(s, machine);
  return 0;
}

// ---- add ----

std::vector<BYTE> wideBytes(const std::u16string& text) {
  std::vector<BYTE> data;
  for (char16_t c : text) data.insert(data.end(), {static_cast<BYTE>(c & 0xFF), static_cast<BYTE>(c >> 8)});
  return data;
}

std::optional<unsigned long long> parseNumber(const std::string& text, unsigned long long max) {
  if (text.empty()) return std::nullopt;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  unsigned long long value = 0;
  for (std::size_t i = hex ? 2 : 0; i < text.size(); ++i) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    const int digit = c >= '0' && c <= '9' ? c - '0' : (hex && c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1);
    if (digit < 0) return std::nullopt;
    const unsigned base = hex ? 16 : 10;
    if (value > (max - static_cast<unsigned>(digit)) / base) return std::nullopt;
    value = value * base + static_cast<unsigned>(digit);
  }
  return value;
}

/// The type and bytes of /t and /d, or the reason they are wrong.
std::optional<std::string> valueData(const Options& options, DWORD& type, std::vector<BYTE>& data) {
  std::string typeText = options.type.value_or("REG_SZ");
  for (char& c : typeText) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::string text = options.data.value_or("");
  struct Named {
    const char* name;
    DWORD type;
  } const kTypes[] = {{"REG_SZ", REG_SZ},
                      {"REG_EXPAND_SZ", REG_EXPAND_SZ},
                      {"REG_MULTI_SZ", REG_MULTI_SZ},
                      {"REG_DWORD", REG_DWORD},
                      {"REG_DWORD_LITTLE_ENDIAN", REG_DWORD},
                      {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN},
                      {"REG_QWORD", REG_QWORD},
                      {"REG_BINARY", REG_BINARY},
                      {"REG_NONE", REG_NONE}};
  const auto* named =
      std::find_if(std::begin(kTypes), std::end(kTypes), [&](const Named& n) { return typeText == n.name; });
  if (named == std::end(kTypes))
    return "Invalid type '" + options.type.value_or("") +
           "' (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, REG_DWORD_BIG_ENDIAN, REG_QWORD, REG_BINARY or "
           "REG_NONE).";
  type = named->type;
  if (options.separator && type != REG_MULTI_SZ) return "/s is for REG_MULTI_SZ data only.";
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      data = wideBytes(fromUtf8(text) + u'\0');
      return std::nullopt;
    case REG_MULTI_SZ: {
      // reg separates the strings with \0 unless /s names a character.
      const std::string separator = options.separator.value_or("\\0");
      std::u16string joined;
      for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        // An empty string would end the list early.
        if (end == start) return "Invalid REG_MULTI_SZ data: an empty string between separators.";
        joined += fromUtf8(text.substr(start, end - start)) + u'\0';
        start = end + separator.size();
      }
      data = wideBytes(joined + u'\0');
      return std::nullopt;
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: {
      auto v = parseNumber(text.empty() ? "0" : text, 0xFFFFFFFFULL);
      if (!v) return "Invalid " + typeText + " data '" + text + "' (a number from 0 to 4294967295, or 0x and hex).";
      const auto n = static_cast<DWORD>(*v);
      data = {static_cast<BYTE>(n), static_cast<BYTE>(n >> 8), static_cast<BYTE>(n >> 16), static_cast<BYTE>(n >> 24)};
      if (type == REG_DWORD_BIG_ENDIAN) std::reverse(data.begin(), data.end());
      return std::nullopt;
    }
    case REG_QWORD: {
      auto v = parseNumber(text.empty() ? "0" : text, ~0ULL);
      if (!v) return "Invalid REG_QWORD data '" + text + "' (a number, or 0x and hex).";
      data.clear();
      for (int i = 0; i < 8; ++i) data.push_back(static_cast<BYTE>(*v >> (8 * i)));
      return std::nullopt;
    }
    default: {
      if (text.size() % 2 != 0) return "Invalid " + typeText + " data '" + text + "' (pairs of hex digits).";
      data.clear();
      for (std::size_t i = 0; i < text.size(); i += 2) {
        auto byte = parseNumber("0x" + text.substr(i, 2), 0xFF);
        if (!byte) return "Invalid " + typeText + " data '" + text + "' (pairs of hex digits).";
        data.push_back(static_cast<BYTE>(*byte));
      }
      return std::nullopt;
    }
  }
}

bool confirmed(const std::string& question) {
  std::cout << question << " " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) {
    std::cout << "\n";
    return false;
  }
  for (char& c : answer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return answer == "y" || answer == "yes";
}

int cancelled() {
  std::cout << "The operation was canceled by the user.\n";
  return 1;
}

int runAdd(const Machine& machine, const KeyName& name, Options options) {
  DWORD type = REG_SZ;
  std::vector<BYTE> data;
  if (!options.value && (options.type || options.data)) options.value = u"";  // data without /v is the default value
  if (options.value) {
    if (auto problem = valueData(options, type, data)) return error("ERROR: " + *problem);
  } else if (options.separator) {
    return error("ERROR: /s needs /t REG_MULTI_SZ.");
  }

  if (options.value && !options.force) {
    OpenKey existing;
    DWORD size = 0;
    if (RegOpenKeyExW(name.root, name.sub.c_str(), 0, KEY_QUERY_VALUE, existing.out()) == ERROR_SUCCESS &&
        RegQueryValueExW(existing.get(), options.value->c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS &&
        !confirmed("Value " + (options.value->empty() ? std::string("(Default)") : toUtf8(*options.value)) +
                   " exists, overwrite(Yes/No)?"))
      return cancelled();
  }
  OpenKey key;
  if (LSTATUS s = RegCreateKeyExW(name.root, name.sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_READ | KEY_WRITE, nullptr, key.out(), nullptr);
      s != ERROR_SUCCESS)
    return apiError(s, machine);
  if (options.value) {
    if (LSTATUS s =
            RegSetValueExW(key.get(), options.value->c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
        s != ERROR_SUCCESS)
      return apiError(s, machine);
  }
  std::cout << "The operation completed successfully.\n";
  return 0;
}

// ---- delete ----

/// Deletes a key with everything below it, leaves first.
LSTATUS deleteTree(HKEY root, const std::u16string& path) {
  std::vector<std::u16string> subkeys;
  {
    OpenKey key;
    if (LSTATUS s = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.out()); s != ERROR_SUCCESS) return s;
    if (LSTATUS s = readSubkeys(key.get(), subkeys); s != ERROR_SUCCESS) return s;
  }
  for (const auto& name : subkeys)
    if (LSTATUS s = deleteTree(root, path + u"\\" + name); s != ERROR_SUCCESS) return s;
  return RegDeleteKeyW(root, path.c_str());
}

int runDelete(const Machine& machine, const KeyName& name, const Options& options) {
  OpenKey key;
  if (LSTATUS s = RegOpenKeyExW(name.root, name.sub.c_str(), 0, KEY_ALL_ACCESS, key.out()); s != ERROR_SUCCESS)
    return apiError(s, machine);
  if (options.value) {
    DWORD size = 0;
    if (LSTATUS s = RegQueryValueExW(key.get(), options.value->c_str(), nullptr, nullptr, nullptr, &size);
        s != ERROR_SUCCESS)
      return apiError(s, machine);
    if (!options.force &&
        !confirmed("Delete the registry value " +
                   (options.value->empty() ? std::string("(Default)") : toUtf8(*options.value)) + " (Yes/No)?"))
      return cancelled();
    if (LSTATUS s = RegDeleteValueW(key.get(), options.value->c_str()); s != ERROR_SUCCESS) return apiError(s, machine);
  } else if (options.allValues) {
    if (!options.force && !confirmed("Delete all values under the registry key " + toUtf8(name.display) + " (Yes/No)?"))
      return cancelled();
    std::vector<ValueEntry> values;
    if (LSTATUS s = readValues(key.get(), values); s != ERROR_SUCCESS) return apiError(s, machine);
    for (const auto& value : values)
      if (LSTATUS s = RegDeleteValueW(key.get(), value.name.c_str()); s != ERROR_SUCCESS) return apiError(s, machine);
  } else {
    if (name.sub.empty()) return error("ERROR: A root key cannot be deleted.");
    if (!options.force && !confirmed("Permanently delete the registry key " + toUtf8(name.display) + " (Yes/No)?"))
      return cancelled();
    if (LSTATUS s = deleteTree(name.root, name.sub); s != ERROR_SUCCESS) return apiError(s, machine);
  }
  std::cout << "The operation completed successfully.\n";
  return 0;
}

int runReg(const Arguments& args) {
  if (args.size() < 3) return fail(std::string("reg: usage: winsim ") + kUsage);
  std::string operation = args[1];
  for (char& c : operation) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (operation != "query" && operation != "add" && operation != "delete")
    return fail("reg: unknown operation '" + args[1] + "' (query, add or delete)");
  auto name = parseKeyName(args[2]);
  if (!name) return error("ERROR: Invalid key name '" + args[2] + "' (it starts with HKLM, HKCU or HKCR).");
  Options options;
  if (auto problem = parseOptions(operation, args, 3, options))
    return error("ERROR: Invalid syntax: " + *problem + ".");

  auto machine = openMachine(args[0]);
  if (!machine) return 2;
  // A damaged registry is named with its line before anything is tried.
  if (auto tree = readRegistryFile(machine->stateFile("registry.reg")); !tree)
    return error("ERROR: The registry is damaged: " + tree.error().message);
  setProgramBitness(options.view.value_or(Bitness::Bits64));

  if (operation == "query") return runQuery(*machine, *name, options);
  if (operation == "add") return runAdd(*machine, *name, options);
  return runDelete(*machine, *name, options);
}

const CommandRegistration registration{{"reg", kUsage, runReg}};

}  // namespace
}  // namespace winsim::cli
