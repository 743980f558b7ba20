#include "shellitems.h"

#include <cstring>
#include <vector>

#include "objbase.h"

namespace winsim::shell {

namespace {

constexpr BYTE kDriveItem = 0x2F;
constexpr BYTE kFolderItem = 0x31;
constexpr std::size_t kItemHeader = sizeof(USHORT) + 1;  // cb and the kind

void appendItem(std::vector<BYTE>& list, BYTE kind, std::u16string_view name) {
  const std::size_t size = kItemHeader + name.size() * 2;
  list.push_back(static_cast<BYTE>(size & 0xFF));
  list.push_back(static_cast<BYTE>(size >> 8));
  list.push_back(kind);
  for (char16_t c : name) {
    list.push_back(static_cast<BYTE>(c & 0xFF));
    list.push_back(static_cast<BYTE>(c >> 8));
  }
}

}  // namespace

PIDLIST_ABSOLUTE allocateItemList(std::u16string_view path) {
  std::vector<BYTE> list;
  appendItem(list, kDriveItem, path.substr(0, 3));
  std::size_t start = 3;
  while (start < path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    appendItem(list, kFolderItem, path.substr(start, end - start));
    start = end + 1;
  }
  list.push_back(0);
  list.push_back(0);
  void* block = CoTaskMemAlloc(list.size());
  if (!block) return nullptr;
  std::memcpy(block, list.data(), list.size());
  return static_cast<PIDLIST_ABSOLUTE>(block);
}

std::optional<std::u16string> pathOfItemList(PCIDLIST_ABSOLUTE list) {
  if (!list) return std::nullopt;
  std::u16string path;
  const BYTE* item = reinterpret_cast<const BYTE*>(list);
  for (;;) {
    const std::size_t size = item[0] | (item[1] << 8);
    if (size == 0) break;
    if (size < kItemHeader || (size - kItemHeader) % 2 != 0) return std::nullopt;
    std::u16string name((size - kItemHeader) / 2, u'\0');
    for (std::size_t i = 0; i < name.size(); ++i)
      name[i] = static_cast<char16_t>(item[kItemHeader + 2 * i] | (item[kItemHeader + 2 * i + 1] << 8));
    if (item[2] == kDriveItem && path.empty()) {
      path = name;
    } else if (item[2] == kFolderItem && !path.empty()) {
      if (path.back() != u'\\') path += u'\\';
      path += name;
    } else {
      return std::nullopt;
    }
    item += size;
  }
  if (path.empty()) return std::nullopt;
  return path;
}

}  // namespace winsim::shell
