#include "winsim/msipackage.h"

#include <algorithm>
#include <charconv>

#include "msi.h"
#include "win32/msgbox.h"
#include "win32/registry.h"
#include "winsim/text.h"

namespace winsim {

namespace {

enum class Section { None, Package, Properties, Search, Files, Registry, Fault };

Error invalid(std::size_t line, const std::string& problem) {
  return makeError(ERROR_INSTALL_PACKAGE_INVALID, "package line " + std::to_string(line) + ": " + problem);
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view trim(std::u16string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool isPropertyNameStart(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; }
bool isPropertyNameChar(char16_t c) { return isPropertyNameStart(c) || (c >= u'0' && c <= u'9') || c == u'.'; }

bool isPropertyName(std::u16string_view name) {
  return !name.empty() && isPropertyNameStart(name.front()) &&
         std::all_of(name.begin() + 1, name.end(), isPropertyNameChar);
}

/// A decimal number, or a hexadecimal one after "0x".
std::optional<unsigned long long> parseNumber(std::u16string_view text) {
  const std::string ascii = toUtf8(text);
  int base = 10;
  std::string_view digits = ascii;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  unsigned long long value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

/// "\n", "\t" and "\\" of a text= or message= value; any other backslash stays.
std::u16string unescape(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\\' && i + 1 < text.size()) {
      const char16_t next = text[i + 1];
      if (next == u'n' || next == u't' || next == u'\\') {
        out += next == u'n' ? u'\n' : next == u't' ? u'\t' : u'\\';
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

/// A source below the package's folder: relative, no "." or ".." component.
bool isContainedRelativePath(std::u16string_view path) {
  if (path.empty() || path.front() == u'\\' || path.front() == u'/' || path.find(u':') != std::u16string_view::npos)
    return false;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = path.size();
    const std::u16string_view part = path.substr(start, end - start);
    if (part.empty() || part == u"." || part == u"..") return false;
    start = end + 1;
  }
  return true;
}

/// Splits at the first `count` bars; the last part keeps any further bars.
std::vector<std::u16string_view> splitBars(std::u16string_view text, std::size_t count) {
  std::vector<std::u16string_view> parts;
  while (parts.size() < count) {
    const std::size_t bar = text.find(u'|');
    if (bar == std::u16string_view::npos) break;
    parts.push_back(trim(text.substr(0, bar)));
    text.remove_prefix(bar + 1);
  }
  parts.push_back(trim(text));
  return parts;
}

class PackageReader {
 public:
  Expected<MsiPackage> read(std::string_view bytes) {
    if (bytes.size() > kMaxMsiPackageBytes) return invalid(0, "the package is larger than 1 MiB");
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    const std::u16string text = fromUtf8(bytes);
    std::size_t start = 0;
    std::size_t number = 0;
    while (start < text.size()) {
      std::size_t end = text.find(u'\n', start);
      if (end == std::u16string::npos) end = text.size();
      std::u16string_view line(text.data() + start, end - start);
      if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
      if (auto done = readLine(++number, trim(line)); !done) return done.error();
      start = end + 1;
    }
    if (m_package.productCode.empty()) return invalid(number, "the package has no ProductCode");
    return std::move(m_package);
  }

 private:
  Status readLine(std::size_t number, std::u16string_view line) {
    if (line.empty() || line.front() == u';' || line.front() == u'#') return {};
    if (line.front() == u'[') {
      if (line.back() != u']') return invalid(number, "a section name needs its closing ']'");
      const std::u16string_view name = trim(line.substr(1, line.size() - 2));
      static const std::pair<std::u16string_view, Section> kSections[] = {
          {u"Package", Section::Package}, {u"Properties", Section::Properties}, {u"Search", Section::Search},
          {u"Files", Section::Files},     {u"Registry", Section::Registry},     {u"Fault", Section::Fault}};
      for (const auto& [known, section] : kSections) {
        if (equalsNoCase(name, known)) {
          m_section = section;
          if (section == Section::Fault && !m_package.fault)
            m_package.fault = MsiFault{ERROR_INSTALL_FAILURE, {}, INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR};
          return {};
        }
      }
      return invalid(number, "unknown section [" + toUtf8(name) + "]");
    }
    const std::size_t eq = line.find(u'=');
    if (eq == std::u16string_view::npos) return invalid(number, "a line needs 'key = value'");
    const std::u16string_view key = trim(line.substr(0, eq));
    const std::u16string_view value = trim(line.substr(eq + 1));
    if (key.empty()) return invalid(number, "a line needs a key before '='");
    switch (m_section) {
      case Section::None:
        return invalid(number, "a value outside any section");
      case Section::Package:
        return readPackageValue(number, key, value);
      case Section::Properties:
        if (!isPropertyName(key)) return invalid(number, "'" + toUtf8(key) + "' is not a property name");
        if (m_package.properties.size() >= kMaxMsiEntries) return invalid(number, "too many properties");
        m_package.properties.emplace_back(key, value);
        return {};
      case Section::Search:
        return readSearch(number, key, value);
      case Section::Files:
        return readFile(number, key, value);
      case Section::Registry:
        return readRegistryValue(number, key, value);
      case Section::Fault:
        return readFault(number, key, value);
    }
    return {};
  }

  Status readPackageValue(std::size_t number, std::u16string_view key, std::u16string_view value) {
    if (equalsNoCase(key, u"ProductCode")) {
      if (!isMsiProductCode(value)) return invalid(number, "ProductCode must be a GUID in braces");
      m_package.productCode = upperCase(value);
    } else if (equalsNoCase(key, u"ProductName")) {
      m_package.productName = value;
    } else if (equalsNoCase(key, u"ProductVersion")) {
      m_package.productVersion = value;
    } else if (equalsNoCase(key, u"Manufacturer")) {
      m_package.manufacturer = value;
    } else if (equalsNoCase(key, u"Platform")) {
      if (equalsNoCase(value, u"x86") || equalsNoCase(value, u"Intel")) {
        m_package.platform = MsiPlatform::X86;
      } else if (equalsNoCase(value, u"x64") || equalsNoCase(value, u"AMD64")) {
        m_package.platform = MsiPlatform::X64;
      } else {
        return invalid(number, "Platform must be x86 or x64");
      }
    } else if (equalsNoCase(key, u"Language")) {
      const auto id = parseNumber(value);
      if (!id || *id > 0xFFFF) return invalid(number, "Language must be a language id (0 to 65535)");
      m_package.language = static_cast<WORD>(*id);
    } else if (equalsNoCase(key, u"Codepage")) {
      const auto page = parseNumber(value);
      if (!page || *page > 65535) return invalid(number, "Codepage must be a code page number");
      m_package.codepage = static_cast<UINT>(*page);
    } else {
      return invalid(number, "unknown [Package] key '" + toUtf8(key) + "'");
    }
    return {};
  }

  Status readFile(std::size_t number, std::u16string_view key, std::u16string_view value) {
    if (!equalsNoCase(key, u"file"))
      return invalid(number, "[Files] lines are 'file = TARGET | source=NAME' or '| text=TEXT'");
    if (m_package.files.size() >= kMaxMsiEntries) return invalid(number, "too many files");
    const auto parts = splitBars(value, 1);
    if (parts.size() != 2 || parts[0].empty())
      return invalid(number, "a file needs 'TARGET | source=NAME' or '| text=TEXT'");
    MsiFileEntry file;
    file.target = parts[0];
    const std::u16string_view from = parts[1];
    const std::size_t eq = from.find(u'=');
    const std::u16string_view kind = eq == std::u16string_view::npos ? from : trim(from.substr(0, eq));
    const std::u16string_view what = eq == std::u16string_view::npos ? std::u16string_view() : from.substr(eq + 1);
    if (eq != std::u16string_view::npos && equalsNoCase(kind, u"source")) {
      const std::u16string_view name = trim(what);
      if (!isContainedRelativePath(name)) return invalid(number, "a source must be a path below the package's folder");
      file.source = MsiFileEntry::Source::PackageFile;
      file.sourceName = name;
    } else if (eq != std::u16string_view::npos && equalsNoCase(kind, u"text")) {
      file.source = MsiFileEntry::Source::Text;
      file.text = toUtf8(unescape(what));
    } else {
      return invalid(number, "a file's bytes come from 'source=NAME' or 'text=TEXT'");
    }
    m_package.files.push_back(std::move(file));
    return {};
  }

  Status readRegistryValue(std::size_t number, std::u16string_view key, std::u16string_view value) {
    if (!equalsNoCase(key, u"value"))
      return invalid(number, "[Registry] lines are 'value = ROOT\\KEY | NAME | TYPE | DATA'");
    if (m_package.registry.size() >= kMaxMsiEntries) return invalid(number, "too many registry values");
    const auto parts = splitBars(value, 3);
    if (parts.size() != 4) return invalid(number, "a registry value needs 'ROOT\\KEY | NAME | TYPE | DATA'");
    MsiRegistryEntry entry;
    auto path = readRegistryKey(number, parts[0], entry.root);
    if (!path) return path.error();
    entry.key = std::move(path.value());
    entry.name = parts[1];
    const std::u16string_view type = parts[2];
    if (equalsNoCase(type, u"REG_SZ")) {
      entry.type = REG_SZ;
    } else if (equalsNoCase(type, u"REG_EXPAND_SZ")) {
      entry.type = REG_EXPAND_SZ;
    } else if (equalsNoCase(type, u"REG_DWORD")) {
      entry.type = REG_DWORD;
      // A number written out is checked now; one made of properties when it is formatted.
      if (parts[3].find(u'[') == std::u16string_view::npos) {
        const auto number32 = parseNumber(parts[3]);
        if (!number32 || *number32 > 0xFFFFFFFFull) return invalid(number, "REG_DWORD data must be a 32-bit number");
      }
    } else {
      return invalid(number, "a registry type is REG_SZ, REG_EXPAND_SZ or REG_DWORD");
    }
    entry.data = parts[3];
    m_package.registry.push_back(std::move(entry));
    return {};
  }

  static Expected<std::u16string> readRegistryKey(std::size_t number, std::u16string_view path,
                                                  MsiRegistryEntry::Root& root) {
    const std::size_t slash = path.find(u'\\');
    const std::u16string_view rootName = path.substr(0, slash);
    if (equalsNoCase(rootName, u"HKLM") || equalsNoCase(rootName, u"HKEY_LOCAL_MACHINE")) {
      root = MsiRegistryEntry::Root::LocalMachine;
    } else if (equalsNoCase(rootName, u"HKCU") || equalsNoCase(rootName, u"HKEY_CURRENT_USER")) {
      root = MsiRegistryEntry::Root::CurrentUser;
    } else if (equalsNoCase(rootName, u"HKCR") || equalsNoCase(rootName, u"HKEY_CLASSES_ROOT")) {
      root = MsiRegistryEntry::Root::ClassesRoot;
    } else {
      return invalid(number, "a registry root is HKLM, HKCU or HKCR");
    }
    if (slash == std::u16string_view::npos || slash + 1 >= path.size())
      return invalid(number, "a registry key is needed below its root");
    return std::u16string(path.substr(slash + 1));
  }

  Status readSearch(std::size_t number, std::u16string_view key, std::u16string_view value) {
    if (!isPropertyName(key)) return invalid(number, "'" + toUtf8(key) + "' is not a property name");
    if (m_package.searches.size() >= kMaxMsiEntries) return invalid(number, "too many searches");
    const auto parts = splitBars(value, 1);
    if (parts.size() != 2) return invalid(number, "a search is 'PROPERTY = ROOT\\KEY | VALUE NAME'");
    MsiSearchEntry search;
    search.property = key;
    auto path = readRegistryKey(number, parts[0], search.root);
    if (!path) return path.error();
    search.key = std::move(path.value());
    search.name = parts[1];
    m_package.searches.push_back(std::move(search));
    return {};
  }

  Status readFault(std::size_t number, std::u16string_view key, std::u16string_view value) {
    MsiFault& fault = *m_package.fault;
    if (equalsNoCase(key, u"result")) {
      const auto result = parseNumber(value);
      if (!result || *result > 0xFFFFFFFFull) return invalid(number, "result must be a number");
      fault.result = static_cast<UINT>(*result);
    } else if (equalsNoCase(key, u"message")) {
      fault.message = unescape(value);
    } else if (equalsNoCase(key, u"kind")) {
      static const std::pair<std::u16string_view, UINT> kKinds[] = {{u"error", INSTALLMESSAGE_ERROR},
                                                                    {u"warning", INSTALLMESSAGE_WARNING},
                                                                    {u"fatal", INSTALLMESSAGE_FATALEXIT},
                                                                    {u"user", INSTALLMESSAGE_USER},
                                                                    {u"info", INSTALLMESSAGE_INFO}};
      const auto found = std::find_if(std::begin(kKinds), std::end(kKinds),
                                      [&](const auto& k) { return equalsNoCase(value, k.first); });
      if (found == std::end(kKinds)) return invalid(number, "kind is error, warning, fatal, user or info");
      fault.messageType = found->second | (fault.messageType & 0x00FFFFFF);
    } else if (equalsNoCase(key, u"style")) {
      const auto style = parseNumber(value);
      if (!style || *style > 0x00FFFFFF) return invalid(number, "style must be a message-box style (24 bits)");
      fault.messageType = (fault.messageType & 0xFF000000) | static_cast<UINT>(*style);
    } else {
      return invalid(number, "unknown [Fault] key '" + toUtf8(key) + "'");
    }
    return {};
  }

  MsiPackage m_package;
  Section m_section = Section::None;
};

}  // namespace

Expected<MsiPackage> parseMsiPackage(std::string_view bytes) { return PackageReader().read(bytes); }

bool isMsiProductCode(std::u16string_view text) {
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
  if (text.size() != 38 || text.front() != u'{' || text.back() != u'}') return false;
  for (std::size_t i = 1; i < 37; ++i) {
    const char16_t c = text[i];
    const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    if (dash ? c != u'-' : !hex) return false;
  }
  return true;
}

void MsiProperties::set(std::u16string_view name, std::u16string value) {
  m_values.insert_or_assign(std::u16string(name), std::move(value));
}

std::u16string MsiProperties::get(std::u16string_view name) const {
  const auto found = m_values.find(name);
  return found == m_values.end() ? std::u16string() : found->second;
}

bool MsiProperties::has(std::u16string_view name) const { return m_values.find(name) != m_values.end(); }

Expected<std::u16string> MsiProperties::format(std::u16string_view text) const {
  std::u16string out;
  auto append = [&](std::u16string_view piece) -> bool {
    if (out.size() + piece.size() > kMaxMsiFormattedChars) return false;
    out += piece;
    return true;
  };
  std::size_t i = 0;
  while (i < text.size()) {
    bool ok = true;
    // "[\c]" first, so that "[\]]" is a closing bracket.
    if (text[i] == u'[' && i + 3 < text.size() && text[i + 1] == u'\\' && text[i + 3] == u']') {
      if (!append(text.substr(i + 2, 1)))
        return makeError(ERROR_INSTALL_PACKAGE_INVALID, "a formatted text is longer than 32767 characters");
      i += 4;
      continue;
    }
    // A reference is "[" NAME "]"; a name holds no "[", so each character is
    // looked at once however the brackets fall.
    std::size_t close = i + 1;
    if (text[i] == u'[')
      while (close < text.size() && isPropertyNameChar(text[close])) ++close;
    if (text[i] == u'[' && close < text.size() && text[close] == u']' &&
        isPropertyName(text.substr(i + 1, close - i - 1))) {
      const auto found = m_values.find(text.substr(i + 1, close - i - 1));
      if (found != m_values.end()) ok = append(found->second);
      i = close + 1;
    } else {
      ok = append(text.substr(i, 1));
      ++i;
    }
    if (!ok) return makeError(ERROR_INSTALL_PACKAGE_INVALID, "a formatted text is longer than 32767 characters");
  }
  return out;
}

Expected<std::vector<std::pair<std::u16string, std::u16string>>> parseMsiCommandLine(std::u16string_view line) {
  std::vector<std::pair<std::u16string, std::u16string>> pairs;
  std::size_t i = 0;
  auto bad = [](const char* why) { return makeError(ERROR_INVALID_COMMAND_LINE, why); };
  while (true) {
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i >= line.size()) break;
    const std::size_t nameStart = i;
    while (i < line.size() && line[i] != u'=' && !isBlank(line[i])) ++i;
    const std::u16string_view name = line.substr(nameStart, i - nameStart);
    if (i >= line.size() || line[i] != u'=') return bad("a property needs NAME=VALUE");
    if (!isPropertyName(name)) return bad("a property name is letters, digits, '_' and '.'");
    ++i;
    std::u16string value;
    if (i < line.size() && line[i] == u'"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        if (line[i] == u'"') {
          if (i + 1 < line.size() && line[i + 1] == u'"') {
            value += u'"';
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        value += line[i++];
      }
      if (!closed) return bad("a quoted value needs its closing quote");
      if (i < line.size() && !isBlank(line[i])) return bad("a blank must follow a quoted value");
    } else {
      const std::size_t valueStart = i;
      while (i < line.size() && !isBlank(line[i])) ++i;
      value = line.substr(valueStart, i - valueStart);
    }
    pairs.emplace_back(name, std::move(value));
  }
  return pairs;
}

}  // namespace winsim
