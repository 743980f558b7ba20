// The name index of a symbol table (see symbolindex.h).
#include "symbolindex.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "internals.h"
#include "winsim/text.h"

// The packed words put the hash byte and the length where a twelfth
// character would be, which is the top of the third word on this order.
static_assert(std::endian::native == std::endian::little);

namespace {
OdDbStub removedSlot;
OdDbStub* const kRemoved = &removedSlot;

constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;

/// Four characters, folded as names compare: ASCII at once, in the word
/// itself; other characters one by one.
inline std::uint64_t foldWord(std::uint64_t word) {
  if (word & 0xFF80FF80FF80FF80ull) {
    std::uint64_t folded = 0;
    for (int shift = 0; shift < 64; shift += 16)
      folded |= std::uint64_t{winsim::upperCase(static_cast<char16_t>(word >> shift))} << shift;
    return folded;
  }
  // Each 16-bit lane is below 0x80, so the sums stay in their lanes: bit 7
  // of a lane says c >= 'a' in the first sum, c > 'z' in the second.
  std::uint64_t atLeastA = word + 0x001F001F001F001Full;
  std::uint64_t aboveZ = word + 0x0005000500050005ull;
  return word - (((atLeastA & ~aboveZ) & 0x0080008000800080ull) >> 2);
}

inline std::uint64_t mix(std::uint64_t h, std::uint64_t word) {
  h = (h ^ word) * kMul;
  return h ^ (h >> 29);
}

/// Names equal without case, four characters a word.
bool equalFolded(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  std::size_t i = 0;
  for (; i + 4 <= a.size(); i += 4) {
    std::uint64_t x, y;
    std::memcpy(&x, a.data() + i, sizeof x);
    std::memcpy(&y, b.data() + i, sizeof y);
    if (x != y && foldWord(x) != foldWord(y)) return false;
  }
  for (; i < a.size(); ++i)
    if (a[i] != b[i] && winsim::upperCase(a[i]) != winsim::upperCase(b[i])) return false;
  return true;
}

const OdString& recordNameOf(const OdDbStub* stub) {
  return OdDbInternals::recordName(static_cast<const OdDbSymbolTableRecord*>(stub->object));
}
}  // namespace

/// A name folded and hashed once, four characters a word, in registers:
/// the slot's packed words are built the same way, so a short name matches
/// by three comparisons.
struct SymbolIndex::Key {
  explicit Key(std::u16string_view text) : name(text) {
    const std::size_t length = text.size();
    std::uint64_t h = 0x243F6A8885A308D3ull ^ (length * kMul);
    std::size_t i = 0, w = 0;
    for (; i + 4 <= length; i += 4, ++w) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + i, sizeof word);
      word = foldWord(word);
      h = mix(h, word);
      if (w < 3) packed[w] = word;
    }
    if (i < length) {
      // Shifted in one by one: a partial copy through memory would stall the
      // whole-word load that follows it.
      std::uint64_t word = 0;
      for (std::size_t j = i; j < length; ++j) word |= std::uint64_t{text[j]} << (16 * (j - i));
      word = foldWord(word);
      h = mix(h, word);
      if (w < 3) packed[w] = word;
    }
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ull;
    hash = h ^ (h >> 32);
    const std::uint64_t tag = hash >> 56;
    const std::uint64_t shortLength = std::min<std::size_t>(length, 255);
    packed[2] = (packed[2] & 0x0000FFFFFFFFFFFFull) | (tag << 48) | (shortLength << 56);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  /// Whether `slot` (not free, not a tombstone) holds this name: decided in
  /// the slot for a short name, confirmed against the record's name for a
  /// long one (a deleted record confirms nothing).
  bool matches(const Slot& slot) const {
    if (((slot.packed[0] ^ packed[0]) | (slot.packed[1] ^ packed[1]) | (slot.packed[2] ^ packed[2])) != 0) return false;
    if (name.size() <= kInline) return true;
    return slot.stub->object && equalFolded(name, recordNameOf(slot.stub).view());
  }

  std::u16string_view name;  // as given
  std::uint64_t hash = 0;
  std::uint64_t packed[3] = {};
};

inline std::size_t SymbolIndex::probe(const Key& key, bool& found) const {
  const std::size_t mask = m_slots.size() - 1;
  for (std::size_t i = key.hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = m_slots[i];
    if (!slot.stub) {
      found = false;
      return i;
    }
    if (slot.stub != kRemoved && key.matches(slot)) {
      found = true;
      return i;
    }
  }
}

OdDbStub* SymbolIndex::find(std::u16string_view name) const {
  if (m_count == 0) return nullptr;
  Key key(name);
  bool found = false;
  std::size_t i = probe(key, found);
  return found ? m_slots[i].stub : nullptr;
}

void SymbolIndex::assign(std::u16string_view name, OdDbStub* stub) { put(Key(name), stub, true); }

void SymbolIndex::assignIfAbsent(std::u16string_view name, OdDbStub* stub) { put(Key(name), stub, false); }

void SymbolIndex::put(const Key& key, OdDbStub* stub, bool replace) {
  // A quarter of the slots stays free so that probes stay short and always
  // end. Tombstones alone call for a rebuild at the same size; names past
  // 3/8 of the slots for twice the slots.
  if ((m_used + 1) * 4 > m_slots.size() * 3) {
    std::size_t slots = m_slots.size();
    if ((m_count + 1) * 8 > slots * 3) slots *= 2;
    rebuild(std::max<std::size_t>(16, slots));
  }
  bool found = false;
  std::size_t i = probe(key, found);
  if (found) {
    if (replace) m_slots[i].stub = stub;
    return;
  }
  // A tombstone earlier in the run takes the name rather than the free slot.
  const std::size_t mask = m_slots.size() - 1;
  for (std::size_t j = key.hash & mask; j != i; j = (j + 1) & mask) {
    if (m_slots[j].stub == kRemoved) {
      i = j;
      --m_used;
      break;
    }
  }
  Slot& slot = m_slots[i];
  slot.stub = stub;
  std::copy(std::begin(key.packed), std::end(key.packed), slot.packed);
  ++m_count;
  ++m_used;
}

void SymbolIndex::remove(std::u16string_view name, const OdDbStub* stub) {
  if (m_count == 0) return;
  Key key(name);
  // By the stub rather than by the name: the record may carry its new name
  // already, and a stub is under one name at most.
  const std::size_t mask = m_slots.size() - 1;
  for (std::size_t i = key.hash & mask; m_slots[i].stub; i = (i + 1) & mask) {
    Slot& slot = m_slots[i];
    if (slot.stub == stub && slot.packed[2] == key.packed[2]) {
      slot.stub = kRemoved;
      --m_count;
      return;
    }
  }
}

void SymbolIndex::rebuild(std::size_t slots) {
  std::vector<Slot> old(slots);
  old.swap(m_slots);
  m_count = 0;
  m_used = 0;
  const std::size_t mask = m_slots.size() - 1;
  for (const Slot& slot : old) {
    // A record deleted while in the table can never be found again: drop it.
    if (!slot.stub || slot.stub == kRemoved || !slot.stub->object) continue;
    const std::size_t length = slot.packed[2] >> 56;
    std::uint64_t hash;
    if (length <= kInline) {
      char16_t text[kInline];
      std::memcpy(text, slot.packed, sizeof text);
      hash = Key(std::u16string_view(text, length)).hash;
    } else {
      hash = Key(recordNameOf(slot.stub).view()).hash;
    }
    std::size_t i = hash & mask;
    while (m_slots[i].stub) i = (i + 1) & mask;
    m_slots[i] = slot;
    ++m_count;
    ++m_used;
  }
}
