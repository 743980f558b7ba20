#include "winsim/peresources.h"

#include <cstdio>
#include <set>

#include "win32/errors.h"
#include "winsim/text.h"

namespace winsim::pe {

namespace {

// Offsets of the fields the reader follows; the layouts are those of the PE
// and COFF format (all little-endian).
constexpr std::size_t kDosHeaderSize = 0x40;
constexpr std::size_t kLfanewOffset = 0x3C;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDirectorySize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kMagicPe32 = 0x010B;
constexpr std::uint16_t kMagicPe32Plus = 0x020B;
constexpr std::uint16_t kFileDll = 0x2000;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kHighBit = 0x80000000u;

/// A bounds-checked little-endian view. Every read is preceded by has().
class Bytes {
 public:
  explicit Bytes(std::span<const std::uint8_t> data) : m_data(data) {}
  std::size_t size() const { return m_data.size(); }
  bool has(std::uint64_t offset, std::uint64_t length) const {
    return offset <= m_data.size() && length <= m_data.size() - offset;
  }
  std::uint16_t u16(std::size_t at) const { return static_cast<std::uint16_t>(m_data[at] | (m_data[at + 1] << 8)); }
  std::uint32_t u32(std::size_t at) const {
    return static_cast<std::uint32_t>(m_data[at]) | (static_cast<std::uint32_t>(m_data[at + 1]) << 8) |
           (static_cast<std::uint32_t>(m_data[at + 2]) << 16) | (static_cast<std::uint32_t>(m_data[at + 3]) << 24);
  }

 private:
  std::span<const std::uint8_t> m_data;
};

std::string hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

Error damaged(const std::string& what) { return makeError(ERROR_BAD_EXE_FORMAT, "damaged PE file: " + what); }

struct Section {
  std::uint32_t virtualAddress = 0;
  std::uint32_t backedSize = 0;  // the part of the section that the file holds
  std::uint32_t rawOffset = 0;
};

/// The file offset of [rva, rva + length) when one section's file data holds
/// all of it.
std::optional<std::uint32_t> mapRva(const std::vector<Section>& sections, std::uint32_t rva, std::uint32_t length) {
  for (const auto& s : sections) {
    const std::uint64_t begin = s.virtualAddress;
    const std::uint64_t end = begin + s.backedSize;
    if (rva >= begin && rva < end && std::uint64_t{rva} + length <= end)
      return static_cast<std::uint32_t>(s.rawOffset + (rva - begin));
  }
  return std::nullopt;
}

/// Walks the three-level resource tree of a resource directory region.
class TreeReader {
 public:
  TreeReader(Bytes region, const std::vector<Section>& sections, std::vector<Resource>& out)
      : m_region(region), m_sections(sections), m_out(out) {}

  Status read() { return readDirectory(0, 1, Resource{}); }

 private:
  Status readDirectory(std::uint32_t offset, int level, Resource partial) {
    if (!m_region.has(offset, kDirectorySize))
      return damaged("resource directory at " + hex(offset) + " out of bounds");
    if (!m_visited.insert(offset).second) return damaged("resource directory at " + hex(offset) + " reached twice");
    const std::uint32_t count = std::uint32_t{m_region.u16(offset + 12)} + m_region.u16(offset + 14);
    if (!m_region.has(std::uint64_t{offset} + kDirectorySize, std::uint64_t{count} * kDirectoryEntrySize))
      return damaged("resource directory at " + hex(offset) + " has " + std::to_string(count) +
                     " entries past the end of the section");
    m_entries += count;
    if (m_entries > ResourceImage::kMaxResources) return damaged("more resource entries than a resource file holds");
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint32_t entry = offset + kDirectorySize + i * kDirectoryEntrySize;
      const std::uint32_t nameField = m_region.u32(entry);
      const std::uint32_t dataField = m_region.u32(entry + 4);
      auto key = readKey(nameField);
      if (!key) return key.error();
      const bool isDirectory = (dataField & kHighBit) != 0;
      const std::uint32_t target = dataField & ~kHighBit;
      if (level < 3) {
        if (!isDirectory)
          return damaged("resource data entry where a directory belongs (level " + std::to_string(level) + ")");
        Resource next = partial;
        (level == 1 ? next.type : next.name) = std::move(key.value());
        if (auto status = readDirectory(target, level + 1, std::move(next)); !status) return status;
      } else {
        if (isDirectory) return damaged("resource directory below the language level");
        if (!key->isId()) return damaged("resource language given by name");
        Resource leaf = partial;
        leaf.language = key->id();
        if (auto status = readData(target, leaf); !status) return status;
        m_out.push_back(std::move(leaf));
      }
    }
    return {};
  }

  Expected<ResourceKey> readKey(std::uint32_t field) const {
    if ((field & kHighBit) == 0) {
      if (field > 0xFFFF) return damaged("resource id " + hex(field) + " wider than 16 bits");
      return ResourceKey::fromId(static_cast<WORD>(field));
    }
    const std::uint32_t at = field & ~kHighBit;
    if (!m_region.has(at, 2)) return damaged("resource name at " + hex(at) + " out of bounds");
    const std::uint16_t length = m_region.u16(at);
    if (!m_region.has(std::uint64_t{at} + 2, std::uint64_t{length} * 2))
      return damaged("resource name at " + hex(at) + " runs past the section");
    std::u16string name(length, u'\0');
    for (std::size_t i = 0; i < length; ++i) name[i] = m_region.u16(at + 2 + i * 2);
    return ResourceKey::fromName(std::move(name));
  }

  Status readData(std::uint32_t offset, Resource& leaf) const {
    if (!m_region.has(offset, kDataEntrySize))
      return damaged("resource data entry at " + hex(offset) + " out of bounds");
    const std::uint32_t rva = m_region.u32(offset);
    leaf.size = m_region.u32(offset + 4);
    leaf.codePage = m_region.u32(offset + 8);
    const auto fileOffset = mapRva(m_sections, rva, leaf.size);
    if (!fileOffset)
      return damaged("resource data at RVA " + hex(rva) + " (" + std::to_string(leaf.size) +
                     " bytes) lies outside the file's sections");
    leaf.offset = *fileOffset;
    return {};
  }

  Bytes m_region;
  const std::vector<Section>& m_sections;
  std::vector<Resource>& m_out;
  std::set<std::uint32_t> m_visited;
  std::size_t m_entries = 0;
};

}  // namespace

ResourceKey ResourceKey::fromId(WORD id) {
  ResourceKey key;
  key.m_id = id;
  return key;
}

ResourceKey ResourceKey::fromName(std::u16string name) {
  ResourceKey key;
  key.m_isId = false;
  key.m_name = std::move(name);
  return key;
}

std::optional<ResourceKey> ResourceKey::fromWin32(const char16_t* name) {
  const auto value = reinterpret_cast<std::uintptr_t>(name);
  if (value == 0) return std::nullopt;
  if ((value >> 16) == 0) return fromId(static_cast<WORD>(value));
  if (name[0] != u'#') return fromName(name);
  // "#123" names the integer id 123, as the resource compiler writes it.
  std::uint32_t id = 0;
  std::size_t i = 1;
  for (; name[i] >= u'0' && name[i] <= u'9'; ++i) {
    id = id * 10 + (name[i] - u'0');
    if (id > 0xFFFF) return std::nullopt;
  }
  if (i == 1 || name[i] != 0) return std::nullopt;
  return fromId(static_cast<WORD>(id));
}

bool ResourceKey::matches(const ResourceKey& other) const {
  if (m_isId != other.m_isId) return false;
  return m_isId ? m_id == other.m_id : equalsNoCase(m_name, other.m_name);
}

bool ResourceImage::looksLikePe(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z';
}

Expected<ResourceImage> ResourceImage::parse(std::vector<std::uint8_t> bytes) {
  if (bytes.size() > kMaxFileSize) return damaged("file larger than " + std::to_string(kMaxFileSize) + " bytes");
  const Bytes file(bytes);
  if (!file.has(0, kDosHeaderSize) || !looksLikePe(bytes)) return damaged("no DOS header");
  const std::uint32_t peOffset = file.u32(kLfanewOffset);
  if (!file.has(peOffset, 4 + kFileHeaderSize))
    return damaged("e_lfanew " + hex(peOffset) + " past the end of the file");
  if (file.u32(peOffset) != 0x00004550) return damaged("no PE signature at " + hex(peOffset));

  ResourceImage image;
  const std::size_t header = peOffset + 4;
  const std::uint16_t machine = file.u16(header);
  const std::uint16_t sectionCount = file.u16(header + 2);
  const std::uint16_t optionalSize = file.u16(header + 16);
  image.m_isDll = (file.u16(header + 18) & kFileDll) != 0;
  if (machine == kMachineI386) {
    image.m_machine = MachineType::I386;
  } else if (machine == kMachineAmd64) {
    image.m_machine = MachineType::Amd64;
  } else {
    return damaged("machine " + hex(machine) + " is neither i386 nor AMD64");
  }

  const std::size_t optional = header + kFileHeaderSize;
  if (!file.has(optional, optionalSize)) return damaged("optional header past the end of the file");
  if (optionalSize < 2) return damaged("no optional header");
  const std::uint16_t magic = file.u16(optional);
  const bool plus = magic == kMagicPe32Plus;
  if (magic != (image.m_machine == MachineType::Amd64 ? kMagicPe32Plus : kMagicPe32))
    return damaged("optional header magic " + hex(magic) + " does not fit the machine");
  const std::size_t countField = plus ? 108 : 92;
  const std::size_t directories = countField + 4;
  if (optionalSize < directories) return damaged("optional header too short");
  image.m_entryPoint = file.u32(optional + 16);
  const std::uint32_t directoryCount = file.u32(optional + countField);
  if (std::uint64_t{directoryCount} * 8 > optionalSize - directories)
    return damaged(std::to_string(directoryCount) + " data directories do not fit the optional header");
  std::uint32_t resourceRva = 0;
  std::uint32_t resourceSize = 0;
  if (directoryCount > kResourceDirectoryIndex) {
    resourceRva = file.u32(optional + directories + kResourceDirectoryIndex * 8);
    resourceSize = file.u32(optional + directories + kResourceDirectoryIndex * 8 + 4);
  }

  const std::size_t sectionTable = optional + optionalSize;
  if (!file.has(sectionTable, std::uint64_t{sectionCount} * kSectionHeaderSize))
    return damaged("section table past the end of the file");
  std::vector<Section> sections;
  for (std::size_t i = 0; i < sectionCount; ++i) {
    const std::size_t at = sectionTable + i * kSectionHeaderSize;
    const std::uint32_t virtualSize = file.u32(at + 8);
    const std::uint32_t rawSize = file.u32(at + 16);
    Section s;
    s.virtualAddress = file.u32(at + 12);
    s.rawOffset = file.u32(at + 20);
    if (rawSize != 0 && !file.has(s.rawOffset, rawSize))
      return damaged("section " + std::to_string(i) + " data past the end of the file");
    // The file holds the raw data; a virtual size below it marks padding.
    s.backedSize = (virtualSize != 0 && virtualSize < rawSize) ? virtualSize : rawSize;
    if (std::uint64_t{s.virtualAddress} + s.backedSize > 0xFFFFFFFFull)
      return damaged("section " + std::to_string(i) + " beyond the 4 GB address space");
    sections.push_back(s);
  }

  if (resourceRva != 0 && resourceSize != 0) {
    image.m_hasResourceSection = true;
    // The tree may use the whole section that holds the directory.
    std::optional<std::uint32_t> regionOffset;
    std::uint32_t regionSize = 0;
    for (const auto& s : sections) {
      if (resourceRva >= s.virtualAddress && resourceRva - s.virtualAddress < s.backedSize) {
        regionOffset = s.rawOffset + (resourceRva - s.virtualAddress);
        regionSize = s.backedSize - (resourceRva - s.virtualAddress);
        break;
      }
    }
    if (!regionOffset) return damaged("resource directory RVA " + hex(resourceRva) + " outside every section");
    const Bytes region(std::span<const std::uint8_t>(bytes).subspan(*regionOffset, regionSize));
    TreeReader reader(region, sections, image.m_resources);
    if (auto status = reader.read(); !status) return status.error();
  }
  image.m_bytes = std::move(bytes);
  return image;
}

const Resource* ResourceImage::find(const ResourceKey& type, const ResourceKey& name,
                                    std::optional<WORD> language) const {
  const Resource* first = nullptr;
  const Resource* machineLanguage = nullptr;
  for (const auto& r : m_resources) {
    if (!r.type.matches(type) || !r.name.matches(name)) continue;
    if (language) {
      if (r.language == *language) return &r;
      continue;
    }
    if (r.language == 0) return &r;
    if (r.language == kMachineLanguage && !machineLanguage) machineLanguage = &r;
    if (!first) first = &r;
  }
  return machineLanguage ? machineLanguage : first;
}

bool ResourceImage::hasType(const ResourceKey& type) const {
  for (const auto& r : m_resources)
    if (r.type.matches(type)) return true;
  return false;
}

bool ResourceImage::hasName(const ResourceKey& type, const ResourceKey& name) const {
  for (const auto& r : m_resources)
    if (r.type.matches(type) && r.name.matches(name)) return true;
  return false;
}

std::span<const std::uint8_t> ResourceImage::bytes(const Resource& resource) const {
  return std::span<const std::uint8_t>(m_bytes).subspan(resource.offset, resource.size);
}

Expected<std::array<StringSlot, 16>> decodeStringBlock(std::span<const std::uint8_t> block) {
  const Bytes bytes(block);
  std::array<StringSlot, 16> slots{};
  std::size_t at = 0;
  for (auto& slot : slots) {
    if (!bytes.has(at, 2)) return makeError(ERROR_INVALID_DATA, "string table block ends early");
    const std::size_t length = bytes.u16(at);
    at += 2;
    if (!bytes.has(at, length * 2)) return makeError(ERROR_INVALID_DATA, "string runs past its table block");
    slot = {at, length};
    at += length * 2;
  }
  return slots;
}

std::u16string readUtf16(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t length) {
  std::u16string text(length, u'\0');
  for (std::size_t i = 0; i < length; ++i)
    text[i] = static_cast<char16_t>(bytes[offset + 2 * i] | (bytes[offset + 2 * i + 1] << 8));
  return text;
}

}  // namespace winsim::pe
