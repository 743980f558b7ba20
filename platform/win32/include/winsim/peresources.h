// The resource section of PE files (Windows DLLs and executables).
//
// The reader is a parser of outside input: a resource library comes from a
// package on disk and may be damaged. It checks every offset and size it
// follows (DOS header, e_lfanew, PE signature, optional header, section
// table, the resource directory tree and each data entry mapped through the
// section table) and refuses the whole file with ERROR_BAD_EXE_FORMAT at the
// first fault, so that nothing read later can point outside the file. The
// directory tree has its fixed three levels (type, name, language); a
// directory reached twice (a loop or shared subtree) or a tree of more than
// kMaxResources entries is refused.
//
// The win32 loader (win32/module.h), the decoders of the UI layer and the
// fuzz target use this directly.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "win32/types.h"
#include "winsim/expected.h"

namespace winsim::pe {

/// Type, name or language of a resource: an integer id or a name.
class ResourceKey {
 public:
  ResourceKey() = default;
  static ResourceKey fromId(WORD id);
  static ResourceKey fromName(std::u16string name);
  /// The Win32 form: MAKEINTRESOURCEW(id), "#123", or a name. Null when the
  /// argument names nothing (a null pointer, "#" with no valid number).
  static std::optional<ResourceKey> fromWin32(const char16_t* name);

  bool isId() const { return m_isId; }
  WORD id() const { return m_id; }
  const std::u16string& name() const { return m_name; }
  /// Ids by value, names without case.
  bool matches(const ResourceKey& other) const;

 private:
  bool m_isId = true;
  WORD m_id = 0;
  std::u16string m_name;
};

/// One resource of the file: its place in the file's bytes.
struct Resource {
  ResourceKey type;
  ResourceKey name;
  WORD language = 0;
  std::uint32_t offset = 0;  // into the file
  std::uint32_t size = 0;
  std::uint32_t codePage = 0;
};

enum class MachineType { I386, Amd64 };

/// A PE file held in memory with its checked resource table.
class ResourceImage {
 public:
  /// Files larger than this are refused before they are read.
  static constexpr std::uint64_t kMaxFileSize = 256ull << 20;
  static constexpr std::size_t kMaxResources = 1 << 16;
  /// The language chosen among several when none is asked for.
  static constexpr WORD kMachineLanguage = 0x0409;

  /// Whether the bytes start as a PE file does ("MZ"); a cheap test to pick
  /// the reader before parse() checks everything.
  static bool looksLikePe(std::span<const std::uint8_t> bytes);
  static Expected<ResourceImage> parse(std::vector<std::uint8_t> bytes);

  ResourceImage(ResourceImage&&) = default;
  ResourceImage& operator=(ResourceImage&&) = default;
  ResourceImage(const ResourceImage&) = delete;
  ResourceImage& operator=(const ResourceImage&) = delete;

  MachineType machine() const { return m_machine; }
  bool isDll() const { return m_isDll; }
  bool hasEntryPoint() const { return m_entryPoint != 0; }
  /// False when the file has no resource directory at all.
  bool hasResourceSection() const { return m_hasResourceSection; }
  const std::vector<Resource>& resources() const { return m_resources; }

  /// The resource of a type and name. Without a language: LANG_NEUTRAL,
  /// else kMachineLanguage, else the first in the file.
  const Resource* find(const ResourceKey& type, const ResourceKey& name,
                       std::optional<WORD> language = std::nullopt) const;
  bool hasType(const ResourceKey& type) const;
  bool hasName(const ResourceKey& type, const ResourceKey& name) const;
  /// The bytes of a resource of this image (checked at parse).
  std::span<const std::uint8_t> bytes(const Resource& resource) const;

 private:
  ResourceImage() = default;

  std::vector<std::uint8_t> m_bytes;
  std::vector<Resource> m_resources;
  MachineType m_machine = MachineType::I386;
  bool m_isDll = false;
  std::uint32_t m_entryPoint = 0;
  bool m_hasResourceSection = false;
};

/// String tables are stored in blocks of 16 strings: string `id` is entry
/// id % 16 of the RT_STRING resource id / 16 + 1.
constexpr WORD stringBlockId(WORD id) { return static_cast<WORD>(id / 16 + 1); }
constexpr std::size_t stringBlockIndex(WORD id) { return id % 16u; }

/// Where one string of a block lies: `length` UTF-16 units from byte `offset`.
struct StringSlot {
  std::size_t offset = 0;
  std::size_t length = 0;
};

/// The 16 strings of a block (each a 16-bit length and that many UTF-16
/// units; 0 for a missing string). A block whose lengths run past its end is
/// refused with ERROR_INVALID_DATA.
Expected<std::array<StringSlot, 16>> decodeStringBlock(std::span<const std::uint8_t> block);

/// `length` little-endian UTF-16 units from byte `offset`; the caller has
/// checked the range (decodeStringBlock does).
std::u16string readUtf16(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t length);

}  // namespace winsim::pe
