// res: locations: reading one from its resource library, and resolving a
// page's references against the page's location.
#include <optional>

#include "win32/errors.h"
#include "win32/module.h"
#include "winsim/htmlview.h"
#include "winsim/text.h"

namespace winsim {

namespace {

constexpr std::u16string_view kScheme = u"res://";

bool hasResourceScheme(std::u16string_view location) {
  return location.size() >= kScheme.size() && equalsNoCase(location.substr(0, kScheme.size()), kScheme);
}

/// "http:", "res:", "file:" ...: a scheme of two or more characters (a drive
/// letter is not one).
bool hasScheme(std::u16string_view reference) {
  std::size_t const colon = reference.find(u':');
  if (colon == std::u16string_view::npos || colon < 2) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    char16_t const c = reference[i];
    bool const letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    bool const other = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
    if (!letter && !(i > 0 && other)) return false;
  }
  return true;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

/// %XX escapes are bytes of UTF-8.
std::u16string percentDecoded(std::u16string_view part) {
  std::string const bytes = toUtf8(part);
  std::string decoded;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '%' && i + 2 < bytes.size() && hexValue(bytes[i + 1]) >= 0 && hexValue(bytes[i + 2]) >= 0) {
      decoded.push_back(static_cast<char>(hexValue(bytes[i + 1]) * 16 + hexValue(bytes[i + 2])));
      i += 2;
    } else {
      decoded.push_back(bytes[i]);
    }
  }
  return fromUtf8(decoded);
}

struct ResourceLocation {
  std::u16string module;
  std::optional<WORD> typeId;  // a numbered type; else typeName
  std::u16string typeName;
  std::u16string name;
};

Expected<ResourceLocation> parseLocation(std::u16string_view location) {
  auto const invalid = [&] {
    return makeError(ERROR_INVALID_PARAMETER, "not a resource location: " + toUtf8(location));
  };
  if (!hasResourceScheme(location)) return invalid();
  std::u16string_view rest = location.substr(kScheme.size());
  std::size_t const moduleEnd = rest.find(u'/');
  if (moduleEnd == 0 || moduleEnd == std::u16string_view::npos) return invalid();
  ResourceLocation parsed;
  parsed.module = percentDecoded(rest.substr(0, moduleEnd));
  rest = rest.substr(moduleEnd + 1);
  std::size_t const typeEnd = rest.find(u'/');
  std::u16string_view type = u"23";  // RT_HTML
  if (typeEnd != std::u16string_view::npos) {
    type = rest.substr(0, typeEnd);
    rest = rest.substr(typeEnd + 1);
  }
  if (rest.empty() || type.empty() || rest.find(u'/') != std::u16string_view::npos) return invalid();
  parsed.name = percentDecoded(rest);

  std::u16string const typeText = percentDecoded(type);
  std::u16string_view digits = typeText;
  if (digits.starts_with(u'#')) digits.remove_prefix(1);
  bool numbered = !digits.empty() && digits.size() <= 5;
  unsigned value = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') numbered = false;
    value = value * 10 + (c - u'0');
  }
  if (numbered && value > 0 && value <= 0xFFFF)
    parsed.typeId = static_cast<WORD>(value);
  else
    parsed.typeName = typeText;
  return parsed;
}

/// A loaded module, freed again at the end of a fetch.
class LoadedModule {
 public:
  explicit LoadedModule(HMODULE module) : m_module(module) {}
  ~LoadedModule() {
    if (m_module != nullptr) FreeLibrary(m_module);
  }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;
  HMODULE get() const { return m_module; }

 private:
  HMODULE m_module;
};

}  // namespace

Expected<std::string> fetchResource(std::u16string_view location) {
  auto parsed = parseLocation(location);
  if (!parsed) return parsed.error();
  auto const failure = [&](const char* what) {
    DWORD const code = GetLastError();
    return makeError(code != 0 ? code : ERROR_RESOURCE_DATA_NOT_FOUND, std::string(what) + " " + toUtf8(location));
  };
  LoadedModule module(LoadLibraryExW(parsed->module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (module.get() == nullptr) return failure("no module for");
  LPCWSTR const type = parsed->typeId ? MAKEINTRESOURCEW(*parsed->typeId) : parsed->typeName.c_str();
  HRSRC const info = FindResourceW(module.get(), parsed->name.c_str(), type);
  if (info == nullptr) return failure("no resource for");
  HGLOBAL const data = LoadResource(module.get(), info);
  const void* bytes = data != nullptr ? LockResource(data) : nullptr;
  if (bytes == nullptr) return failure("cannot load the resource of");
  return std::string(static_cast<const char*>(bytes), SizeofResource(module.get(), info));
}

std::u16string resolveLocation(std::u16string_view base, std::u16string_view reference) {
  if (reference.empty()) return std::u16string(base);
  if (hasScheme(reference) || !hasResourceScheme(base)) return std::u16string(reference);
  while (reference.starts_with(u"./")) reference.remove_prefix(2);
  std::size_t const moduleEnd = base.find(u'/', kScheme.size());
  if (moduleEnd == std::u16string_view::npos) return std::u16string(base) + u"/" + std::u16string(reference);
  if (reference.starts_with(u'/')) return std::u16string(base.substr(0, moduleEnd)) + std::u16string(reference);
  return std::u16string(base.substr(0, base.rfind(u'/') + 1)) + std::u16string(reference);
}

}  // namespace winsim
