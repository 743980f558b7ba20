// The C runtime's path splitting and joining.
#include <string>
#include <string_view>

#include "win32/crt.h"
#include "winsim/text.h"

namespace {

struct Part {
  WCHAR* buffer;
  std::size_t size;
  std::u16string_view text;
};

bool validPart(const WCHAR* buffer, std::size_t size) { return (buffer == nullptr) == (size == 0); }

bool isSeparator(WCHAR c) { return c == u'\\' || c == u'/'; }

}  // namespace

errno_t _wsplitpath_s(const WCHAR* path, WCHAR* drive, std::size_t driveNumberOfElements, WCHAR* dir,
                      std::size_t dirNumberOfElements, WCHAR* fname, std::size_t nameNumberOfElements, WCHAR* ext,
                      std::size_t extNumberOfElements) {
  Part parts[] = {{drive, driveNumberOfElements, {}},
                  {dir, dirNumberOfElements, {}},
                  {fname, nameNumberOfElements, {}},
                  {ext, extNumberOfElements, {}}};
  auto clearAll = [&] {
    for (auto& part : parts)
      if (part.buffer && part.size) part.buffer[0] = 0;
  };
  bool valid = path != nullptr;
  for (const auto& part : parts) valid = valid && validPart(part.buffer, part.size);
  if (!valid) {
    clearAll();
    return errno = EINVAL;
  }

  std::u16string_view rest(path);
  if (rest.size() >= 2 && rest[1] == u':') {
    parts[0].text = rest.substr(0, 2);
    rest.remove_prefix(2);
  }
  std::size_t lastSeparator = std::u16string_view::npos;
  for (std::size_t i = 0; i < rest.size(); ++i)
    if (isSeparator(rest[i])) lastSeparator = i;
  if (lastSeparator != std::u16string_view::npos) {
    parts[1].text = rest.substr(0, lastSeparator + 1);
    rest.remove_prefix(lastSeparator + 1);
  }
  const std::size_t dot = rest.rfind(u'.');
  parts[2].text = rest.substr(0, dot);
  if (dot != std::u16string_view::npos) parts[3].text = rest.substr(dot);

  for (const auto& part : parts) {
    if (part.buffer && part.text.size() >= part.size) {
      clearAll();
      return errno = ERANGE;
    }
  }
  for (auto& part : parts)
    if (part.buffer) winsim::copyTruncated(part.text, part.buffer, part.size);
  return 0;
}

errno_t _wmakepath_s(WCHAR* path, std::size_t sizeInWords, const WCHAR* drive, const WCHAR* dir, const WCHAR* fname,
                     const WCHAR* ext) {
  if (!path || sizeInWords == 0) return errno = EINVAL;
  std::u16string joined;
  if (drive && drive[0]) {
    joined += drive[0];
    joined += u':';
  }
  if (dir && dir[0]) {
    joined += dir;
    if (!isSeparator(joined.back())) joined += u'\\';
  }
  if (fname) joined += fname;
  if (ext && ext[0]) {
    if (ext[0] != u'.') joined += u'.';
    joined += ext;
  }
  if (joined.size() >= sizeInWords) {
    path[0] = 0;
    return errno = ERANGE;
  }
  winsim::copyTruncated(joined, path, sizeInWords);
  return 0;
}
