// The name index of a symbol table: folded name -> record stub, kept flat so
// that a lookup in a table of a hundred thousand records still touches about
// one cache line of the index.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

struct OdDbStub;

/// Open addressing over a power-of-two array of 32-byte slots, probed
/// linearly. A slot holds the stub and, packed in three words, the first
/// eleven folded characters of the name, its length and a byte of its hash:
/// a name that fits is compared in the slot itself, three words at once; a
/// longer one is confirmed against the record's own name, which the caller
/// is about to open anyway. Removed names leave tombstones that the next
/// rebuild drops.
///
/// The index keeps a stub under one name at most; the record's name must be
/// the name it was put under for as long as it stays (tables rename by
/// removing and putting again).
class SymbolIndex {
 public:
  /// The stub under `name` (compared without case), or null.
  OdDbStub* find(std::u16string_view name) const;
  /// Puts `stub` under `name`, replacing whatever stub the name had.
  void assign(std::u16string_view name, OdDbStub* stub);
  /// Puts `stub` under `name` unless the name has a stub already.
  void assignIfAbsent(std::u16string_view name, OdDbStub* stub);
  /// Takes `name` out when it is `stub`'s.
  void remove(std::u16string_view name, const OdDbStub* stub);
  std::size_t size() const { return m_count; }

 private:
  static constexpr std::size_t kInline = 11;
  struct alignas(32) Slot {
    OdDbStub* stub = nullptr;      // null: never used; kRemoved: a tombstone
    std::uint64_t packed[3] = {};  // characters 0-3, 4-7, 8-10 + hash byte + length
  };
  static_assert(sizeof(Slot) == 32, "two slots per cache line");
  struct Key;

  /// The slot holding `key`, or the free slot where it would go.
  std::size_t probe(const Key& key, bool& found) const;
  void put(const Key& key, OdDbStub* stub, bool replace);
  void rebuild(std::size_t slots);

  std::vector<Slot> m_slots;
  std::size_t m_count = 0;  // names held
  std::size_t m_used = 0;   // slots not free: names and tombstones
};
