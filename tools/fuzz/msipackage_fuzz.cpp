// Fuzzes the reader of the machine's Windows Installer packages and the
// formatter of their property references: whatever the bytes, the reader
// either refuses them with ERROR_INSTALL_PACKAGE_INVALID and a message, or
// gives a package whose product code is a GUID and whose entries stay within
// their limits; every template of the package then formats within its limit,
// as the installer formats them. The same bytes are read as a command line of
// properties too.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "win32/errors.h"
#include "winsim/msipackage.h"
#include "winsim/text.h"

namespace {

void checkFormatted(const winsim::MsiProperties& properties, std::u16string_view text) {
  auto formatted = properties.format(text);
  if (formatted) {
    if (formatted->size() > winsim::kMaxMsiFormattedChars) __builtin_trap();
  } else if (formatted.error().code != ERROR_INSTALL_PACKAGE_INVALID) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  auto pairs = winsim::parseMsiCommandLine(winsim::fromUtf8(bytes));
  if (!pairs && pairs.error().code != ERROR_INVALID_COMMAND_LINE) __builtin_trap();

  auto package = winsim::parseMsiPackage(bytes);
  if (!package) {
    if (package.error().code != ERROR_INSTALL_PACKAGE_INVALID || package.error().message.empty()) __builtin_trap();
    return 0;
  }
  if (!winsim::isMsiProductCode(package->productCode)) __builtin_trap();
  if (package->files.size() > winsim::kMaxMsiEntries || package->registry.size() > winsim::kMaxMsiEntries ||
      package->properties.size() > winsim::kMaxMsiEntries || package->searches.size() > winsim::kMaxMsiEntries)
    __builtin_trap();

  winsim::MsiProperties properties;
  properties.set(u"ProgramFilesFolder", u"C:\\Program Files (x86)\\");
  properties.set(u"ProductName", package->productName);
  for (const auto& [name, value] : package->properties) {
    auto formatted = properties.format(value);
    if (formatted) properties.set(name, std::move(formatted.value()));
  }
  for (const auto& file : package->files) {
    checkFormatted(properties, file.target);
    if (file.source == winsim::MsiFileEntry::Source::PackageFile) {
      // A source never leaves the package's folder.
      const std::u16string& name = file.sourceName;
      if (name.empty() || name[0] == u'\\' || name[0] == u'/' || name.find(u':') != std::u16string::npos)
        __builtin_trap();
      for (std::size_t start = 0; start <= name.size();) {
        std::size_t end = name.find_first_of(u"\\/", start);
        if (end == std::u16string::npos) end = name.size();
        const std::u16string_view part = std::u16string_view(name).substr(start, end - start);
        if (part == u".." || part == u"." || part.empty()) __builtin_trap();
        start = end + 1;
      }
    }
  }
  for (const auto& value : package->registry) {
    checkFormatted(properties, value.key);
    checkFormatted(properties, value.name);
    checkFormatted(properties, value.data);
  }
  return 0;
}
