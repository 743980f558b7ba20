#include "winsim/registryfile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>

#include "win32/errors.h"

namespace winsim {

namespace {

constexpr std::u16string_view kHeader = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kLocalMachineName = u"HKEY_LOCAL_MACHINE";
constexpr std::u16string_view kCurrentUserName = u"HKEY_CURRENT_USER";
constexpr std::u16string_view kClassesRootName = u"HKEY_CLASSES_ROOT";
// regedit breaks hex data so that lines stay within 80 columns.
constexpr std::size_t kHexLineWidth = 76;

bool hasControlCharacter(std::u16string_view name) {
  return std::any_of(name.begin(), name.end(), [](char16_t c) { return c < 0x20; });
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view trim(std::u16string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (isBlank(text.back()) || text.back() == u'\r')) text.remove_suffix(1);
  return text;
}

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

/// A number of 1 to 8 hex digits, the whole of `text`.
std::optional<DWORD> parseHex32(std::u16string_view text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  DWORD value = 0;
  for (char16_t c : text) {
    const int digit = hexDigit(c);
    if (digit < 0) return std::nullopt;
    value = (value << 4) | static_cast<DWORD>(digit);
  }
  return value;
}

Error corrupt(std::size_t line, const std::string& what) {
  return makeError(ERROR_REGISTRY_CORRUPT, "line " + std::to_string(line) + ": " + what);
}

Expected<std::u16string> decodeFile(std::string_view bytes) {
  if (bytes.size() > kMaxRegistryFileBytes)
    return makeError(ERROR_REGISTRY_CORRUPT, "larger than " + std::to_string(kMaxRegistryFileBytes) + " bytes");
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    if (bytes.size() % 2 != 0) return makeError(ERROR_REGISTRY_CORRUPT, "UTF-16 text with an odd number of bytes");
    std::u16string text((bytes.size() - 2) / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
      text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                      (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    return text;
  }
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF')
    return makeError(ERROR_REGISTRY_CORRUPT, "UTF-16 big-endian text is not a registry file");
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.remove_prefix(3);
  return fromUtf8(bytes);
}

/// Reads a quoted string at the start of `text` (which starts with '"'),
/// undoing the \\ and \" escapes; `text` is left after the closing quote.
std::optional<std::u16string> takeQuoted(std::u16string_view& text, std::string& why) {
  std::u16string out;
  std::size_t i = 1;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'"') break;
    if (c == u'\\') {
      if (i + 1 >= text.size() || (text[i + 1] != u'\\' && text[i + 1] != u'"')) {
        why = "a backslash in a quoted string must be followed by \\ or \"";
        return std::nullopt;
      }
      out.push_back(text[++i]);
      continue;
    }
    out.push_back(c);
  }
  if (i >= text.size()) {
    why = "a quoted string has no closing quote";
    return std::nullopt;
  }
  text.remove_prefix(i + 1);
  return out;
}

/// Comma-separated bytes of hex data, continuation backslashes already gone.
std::optional<std::vector<BYTE>> parseHexBytes(std::u16string_view text, std::string& why) {
  std::vector<BYTE> bytes;
  text = trim(text);
  if (text.empty()) return bytes;
  while (true) {
    const std::size_t comma = text.find(u',');
    const std::u16string_view item = trim(text.substr(0, comma));
    if (item.empty() || item.size() > 2 || hexDigit(item[0]) < 0 || (item.size() == 2 && hexDigit(item[1]) < 0)) {
      why = "hex data must be bytes of one or two hex digits separated by commas";
      return std::nullopt;
    }
    if (bytes.size() >= kMaxRegistryValueBytes) {
      why = "value data larger than " + std::to_string(kMaxRegistryValueBytes) + " bytes";
      return std::nullopt;
    }
    bytes.push_back(
        static_cast<BYTE>(item.size() == 1 ? hexDigit(item[0]) : hexDigit(item[0]) * 16 + hexDigit(item[1])));
    if (comma == std::u16string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return bytes;
}

std::vector<BYTE> stringData(std::u16string_view text) {
  std::vector<BYTE> data;
  data.reserve((text.size() + 1) * 2);
  for (char16_t c : text) {
    data.push_back(static_cast<BYTE>(c & 0xFF));
    data.push_back(static_cast<BYTE>(c >> 8));
  }
  data.push_back(0);
  data.push_back(0);
  return data;
}

class Parser {
 public:
  explicit Parser(std::u16string_view text) : m_text(text) {}

  Expected<RegistryTree> run() {
    std::u16string_view line;
    if (!nextLine(line) || trim(line) != kHeader)
      return corrupt(1, "the file does not start with \"Windows Registry Editor Version 5.00\"");
    while (nextLine(line)) {
      line = trim(line);
      if (line.empty() || line.front() == u';') continue;
      const std::size_t lineNumber = m_line;
      Status status;
      if (line.front() == u'[') {
        status = section(line);
      } else if (line.front() == u'"' || line.front() == u'@') {
        status = value(line);
      } else {
        status = Error{0, "expected a [KEY] section or a \"name\"=value line"};
      }
      if (!status) return corrupt(lineNumber, status.error().message);
    }
    return std::move(m_tree);
  }

 private:
  bool nextLine(std::u16string_view& line) {
    // A line feed ends a line; it does not start an empty last one.
    if (m_position > m_text.size() || (m_position == m_text.size() && m_line > 0)) return false;
    const std::size_t end = std::min(m_text.find(u'\n', m_position), m_text.size());
    line = m_text.substr(m_position, end - m_position);
    m_position = end + 1;
    ++m_line;
    return true;
  }

  Status section(std::u16string_view line) {
    if (line.size() < 2 || line.back() != u']') return Error{0, "a section line must end with ]"};
    std::u16string_view path = line.substr(1, line.size() - 2);
    const bool remove = !path.empty() && path.front() == u'-';
    if (remove) path.remove_prefix(1);

    std::vector<std::u16string_view> names;
    std::size_t start = 0;
    while (true) {
      const std::size_t slash = path.find(u'\\', start);
      names.push_back(path.substr(start, slash == std::u16string_view::npos ? slash : slash - start));
      if (slash == std::u16string_view::npos) break;
      if (names.size() > kMaxRegistryDepth + 2) return Error{0, "the key lies too deep"};
      start = slash + 1;
    }
    RegistryKey* key = nullptr;
    std::vector<std::u16string_view> below;
    if (equalsNoCase(names[0], kLocalMachineName)) {
      key = &m_tree.localMachine;
    } else if (equalsNoCase(names[0], kCurrentUserName)) {
      key = &m_tree.currentUser;
    } else if (equalsNoCase(names[0], kClassesRootName)) {
      key = &m_tree.localMachine;
      below = {u"SOFTWARE", u"Classes"};
    } else {
      return Error{0, "unknown root key \"" + toUtf8(names[0]) + "\""};
    }
    below.insert(below.end(), names.begin() + 1, names.end());
    if (below.size() > kMaxRegistryDepth) return Error{0, "the key lies too deep"};
    for (const auto& name : below)
      if (!isValidRegistryKeyName(name)) return Error{0, "invalid key name \"" + toUtf8(name) + "\""};

    m_key = nullptr;
    if (remove) {
      if (below.empty()) return Error{0, "a root key cannot be deleted"};
      for (std::size_t i = 0; key && i + 1 < below.size(); ++i) key = key->subkey(below[i]);
      if (key) key->removeSubkey(below.back());
      return {};
    }
    for (const auto& name : below) key = &key->addSubkey(name);
    m_key = key;
    return {};
  }

  Status value(std::u16string_view line) {
    if (!m_key) return Error{0, "a value line outside a key section"};
    std::u16string name;
    if (line.front() == u'@') {
      line.remove_prefix(1);
    } else {
      std::string why;
      auto quoted = takeQuoted(line, why);
      if (!quoted) return Error{0, why};
      if (quoted->empty()) return Error{0, "the default value is written @, not \"\""};
      name = std::move(*quoted);
    }
    if (!isValidRegistryValueName(name)) return Error{0, "invalid value name"};
    line = trim(line);
    if (line.empty() || line.front() != u'=') return Error{0, "expected = after the value name"};
    line = trim(line.substr(1));

    if (line == u"-") {
      m_key->removeValue(name);
      return {};
    }
    if (!line.empty() && line.front() == u'"') {
      std::string why;
      auto text = takeQuoted(line, why);
      if (!text) return Error{0, why};
      if (!trim(line).empty()) return Error{0, "text after the closing quote"};
      if (text->size() + 1 > kMaxRegistryValueBytes / 2) return Error{0, "value data too large"};
      m_key->setValue(name, 1 /* REG_SZ */, stringData(*text));
      return {};
    }
    constexpr std::u16string_view kDword = u"dword:";
    if (line.substr(0, kDword.size()) == kDword) {
      auto number = parseHex32(line.substr(kDword.size()));
      if (!number) return Error{0, "dword: needs one to eight hex digits"};
      const DWORD v = *number;
      m_key->setValue(
          name, 4 /* REG_DWORD */,
          {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 24)});
      return {};
    }
    constexpr std::u16string_view kHex = u"hex";
    if (line.substr(0, kHex.size()) != kHex) return Error{0, "unknown value data (expected \"...\", dword: or hex:)"};
    line.remove_prefix(kHex.size());
    DWORD type = 3;  // REG_BINARY
    if (!line.empty() && line.front() == u'(') {
      const std::size_t close = line.find(u')');
      auto number = close == std::u16string_view::npos ? std::nullopt : parseHex32(line.substr(1, close - 1));
      if (!number) return Error{0, "hex(TYPE) needs a type of one to eight hex digits"};
      type = *number;
      line.remove_prefix(close + 1);
    }
    if (line.empty() || line.front() != u':') return Error{0, "expected : after hex"};
    line.remove_prefix(1);

    // Long data goes on over lines that end with a backslash.
    std::u16string joined;
    while (!line.empty() && line.back() == u'\\') {
      joined.append(line.substr(0, line.size() - 1));
      if (joined.size() > kMaxRegistryValueBytes * 3 + 16) return Error{0, "value data too large"};
      std::u16string_view next;
      if (!nextLine(next)) return Error{0, "hex data continued past the end of the file"};
      line = trim(next);
    }
    joined.append(line);
    std::string why;
    auto bytes = parseHexBytes(joined, why);
    if (!bytes) return Error{0, why};
    m_key->setValue(name, type, std::move(*bytes));
    return {};
  }

  std::u16string_view m_text;
  std::size_t m_position = 0;
  std::size_t m_line = 0;
  RegistryTree m_tree;
  RegistryKey* m_key = nullptr;  // the key of the current section; null before the first one or after [-KEY]
};

// ---- writing ----

void appendQuoted(std::u16string& out, std::u16string_view text) {
  out.push_back(u'"');
  for (char16_t c : text) {
    if (c == u'\\' || c == u'"') out.push_back(u'\\');
    out.push_back(c);
  }
  out.push_back(u'"');
}

/// The text of a REG_SZ value when it is one NUL-terminated line of text.
std::optional<std::u16string> asPlainString(const std::vector<BYTE>& data) {
  if (data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
  std::u16string text(data.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  if (text.back() != u'\0') return std::nullopt;
  text.pop_back();
  if (std::any_of(text.begin(), text.end(), [](char16_t c) { return c == u'\0' || c == u'\r' || c == u'\n'; }))
    return std::nullopt;
  return text;
}

void appendHex(std::u16string& out, std::size_t column, const std::vector<BYTE>& data) {
  static constexpr char kDigits[] = "0123456789abcdef";
  for (std::size_t i = 0; i < data.size(); ++i) {
    out.push_back(static_cast<char16_t>(kDigits[data[i] >> 4]));
    out.push_back(static_cast<char16_t>(kDigits[data[i] & 0xF]));
    column += 2;
    if (i + 1 == data.size()) break;
    out.push_back(u',');
    ++column;
    if (column >= kHexLineWidth) {
      out += u"\\\r\n  ";
      column = 2;
    }
  }
}

void appendValue(std::u16string& out, const RegistryValue& value) {
  const std::size_t lineStart = out.size();
  if (value.name.empty()) {
    out.push_back(u'@');
  } else {
    appendQuoted(out, value.name);
  }
  out.push_back(u'=');
  if (value.type == 1 /* REG_SZ */) {
    if (auto text = asPlainString(value.data)) {
      appendQuoted(out, *text);
      out += u"\r\n";
      return;
    }
  }
  if (value.type == 4 /* REG_DWORD */ && value.data.size() == 4) {
    const DWORD v = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) | (DWORD{value.data[3]} << 24);
    char digits[16];
    std::snprintf(digits, sizeof digits, "dword:%08x", v);
    out += fromUtf8(digits);
    out += u"\r\n";
    return;
  }
  if (value.type == 3 /* REG_BINARY */) {
    out += u"hex:";
  } else {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    out += fromUtf8(prefix);
  }
  appendHex(out, out.size() - lineStart, value.data);
  out += u"\r\n";
}

void appendKey(std::u16string& out, std::u16string& path, const RegistryKey& key, bool isRoot) {
  // A root's section is implied by its subkeys; it is written only for its values.
  if (!isRoot || !key.values().empty()) {
    out += u"[" + path + u"]\r\n";
    for (const auto& value : key.values()) appendValue(out, value);
    out += u"\r\n";
  }
  for (const auto& [name, subkey] : key.subkeys()) {
    const std::size_t length = path.size();
    path += u"\\" + name;
    appendKey(out, path, *subkey, false);
    path.resize(length);
  }
}

}  // namespace

bool isValidRegistryKeyName(std::u16string_view name) {
  return !name.empty() && name.size() <= kMaxRegistryKeyName && name.find(u'\\') == std::u16string_view::npos &&
         !hasControlCharacter(name);
}

bool isValidRegistryValueName(std::u16string_view name) {
  return name.size() <= kMaxRegistryValueName && !hasControlCharacter(name);
}

RegistryKey* RegistryKey::subkey(std::u16string_view name) {
  auto it = m_subkeys.find(name);
  return it == m_subkeys.end() ? nullptr : it->second.get();
}

const RegistryKey* RegistryKey::subkey(std::u16string_view name) const {
  auto it = m_subkeys.find(name);
  return it == m_subkeys.end() ? nullptr : it->second.get();
}

RegistryKey& RegistryKey::addSubkey(std::u16string_view name, bool* created) {
  auto it = m_subkeys.find(name);
  if (created) *created = it == m_subkeys.end();
  if (it == m_subkeys.end()) it = m_subkeys.emplace(std::u16string(name), std::make_unique<RegistryKey>()).first;
  return *it->second;
}

bool RegistryKey::removeSubkey(std::u16string_view name) {
  auto it = m_subkeys.find(name);
  if (it == m_subkeys.end()) return false;
  m_subkeys.erase(it);
  return true;
}

const RegistryValue* RegistryKey::value(std::u16string_view name) const {
  auto it = m_valueIndex.find(name);
  return it == m_valueIndex.end() ? nullptr : &m_values[it->second];
}

void RegistryKey::setValue(std::u16string_view name, DWORD type, std::vector<BYTE> data) {
  auto it = m_valueIndex.find(name);
  if (it != m_valueIndex.end()) {
    m_values[it->second].type = type;
    m_values[it->second].data = std::move(data);
    return;
  }
  m_valueIndex.emplace(std::u16string(name), m_values.size());
  m_values.push_back(RegistryValue{std::u16string(name), type, std::move(data)});
}

bool RegistryKey::removeValue(std::u16string_view name) {
  auto it = m_valueIndex.find(name);
  if (it == m_valueIndex.end()) return false;
  const std::size_t position = it->second;
  m_valueIndex.erase(it);
  m_values.erase(m_values.begin() + static_cast<std::ptrdiff_t>(position));
  for (auto& entry : m_valueIndex)
    if (entry.second > position) --entry.second;
  return true;
}

bool RegistryKey::operator==(const RegistryKey& other) const {
  if (m_values != other.m_values || m_subkeys.size() != other.m_subkeys.size()) return false;
  auto a = m_subkeys.begin();
  for (auto b = other.m_subkeys.begin(); b != other.m_subkeys.end(); ++a, ++b)
    if (a->first != b->first || !(*a->second == *b->second)) return false;
  return true;
}

Expected<RegistryTree> parseRegistryFile(std::string_view bytes) {
  auto text = decodeFile(bytes);
  if (!text) return text.error();
  return Parser(text.value()).run();
}

std::string serializeRegistryFile(const RegistryTree& tree) {
  std::u16string text(kHeader);
  text += u"\r\n\r\n";
  std::u16string path(kLocalMachineName);
  appendKey(text, path, tree.localMachine, true);
  path = kCurrentUserName;
  appendKey(text, path, tree.currentUser, true);

  std::string bytes("\xFF\xFE", 2);
  bytes.reserve(2 + text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

Expected<RegistryTree> readRegistryFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::status(path, ec).type() == std::filesystem::file_type::not_found) return RegistryTree{};
  std::ifstream in(path, std::ios::binary);
  in.seekg(0, std::ios::end);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
  if (size < 0) return makeError(ERROR_CANTREAD, path.string() + ": cannot read");
  if (static_cast<std::uintmax_t>(size) > kMaxRegistryFileBytes)
    return makeError(ERROR_REGISTRY_CORRUPT,
                     path.string() + ": larger than " + std::to_string(kMaxRegistryFileBytes) + " bytes");
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), size)) return makeError(ERROR_CANTREAD, path.string() + ": cannot read");
  auto tree = parseRegistryFile(bytes);
  if (!tree) return makeError(tree.error().code, path.string() + ": " + tree.error().message);
  return tree;
}

}  // namespace winsim
