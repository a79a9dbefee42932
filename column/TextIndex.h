// The import's index of distinct texts: byte strings to the non-negative numbers they were
// inserted with. Contract: Find answers what Insert put in (or -1), BytesOf gives a number's bytes
// back; nothing is ever removed. Header-only, since the writer probes it once or twice per cell.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/SjisText.h"

namespace tabulon {

// An open-addressing hash index from byte strings to non-negative numbers. Texts of up to 8
// bytes, most cells of a keyed column, are held in a table of their own as one word and their
// length, 16 bytes a slot: a probe then reads one slot and neither hashes nor compares bytes
// elsewhere in memory, and a table of thousands of short texts stays small enough for the cache.
class TextIndex {
 public:
  TextIndex() {
    slots_.resize(64);
    short_.resize(64);
  }

  // The number stored for bytes, or -1. Short texts are looked up inline: the import asks once
  // or twice per cell.
  [[gnu::always_inline]] int32_t Find(std::string_view bytes) const {
    if (bytes.size() > 8) return FindLong(bytes);
    const uint64_t word = WordOf(bytes);
    const uint32_t length = static_cast<uint32_t>(bytes.size());
    const size_t mask = short_.size() - 1;
    for (size_t i = ShortHash(word, length) & mask;; i = (i + 1) & mask) {
      const ShortSlot& s = short_[i];
      if (s.value < 0) return -1;
      if (s.word == word && s.length == length) return s.value;
    }
  }

  // REQUIRES: bytes not present.
  void Insert(std::string_view bytes, int32_t value) {
    if (static_cast<size_t>(value) >= spans_.size()) spans_.resize(static_cast<size_t>(value) + 1);
    spans_[static_cast<size_t>(value)] = {arena_.size(), bytes.size()};
    if (bytes.size() <= 8) {
      Put(short_, &shortSize_, ShortSlot{WordOf(bytes), static_cast<uint32_t>(bytes.size()), value},
          [](const ShortSlot& s) { return ShortHash(s.word, s.length); });
    } else {
      Put(slots_, &size_, Slot{HashBytes(bytes), arena_.size(), bytes.size(), value},
          [](const Slot& s) { return static_cast<size_t>(s.hash); });
    }
    arena_.append(bytes);
  }

  // The bytes stored for a number. REQUIRES: value was inserted.
  std::string_view BytesOf(int32_t value) const {
    const auto& span = spans_[static_cast<size_t>(value)];
    return std::string_view(arena_.data() + span.first, span.second);
  }

 private:
  // Find for texts of more than 8 bytes.
  [[gnu::noinline]] int32_t FindLong(std::string_view bytes) const {
    const uint64_t hash = HashBytes(bytes);
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (s.value < 0) return -1;
      if (s.hash == hash && s.length == bytes.size() &&
          std::memcmp(arena_.data() + s.offset, bytes.data(), bytes.size()) == 0)
        return s.value;
    }
  }

  struct Slot {
    uint64_t hash = 0;
    size_t offset = 0;  // of the bytes in arena_
    size_t length = 0;
    int32_t value = -1;  // -1 marks an empty slot
  };
  struct ShortSlot {
    uint64_t word = 0;  // the bytes, the first in the lowest byte, zero after the last
    uint32_t length = 0;
    int32_t value = -1;  // -1 marks an empty slot
  };

  // Up to 8 bytes as one word, in at most three loads that may overlap.
  static uint64_t WordOf(std::string_view bytes) {
    const char* p = bytes.data();
    const size_t n = bytes.size();
    if (n >= 4) {
      uint32_t head, tail;
      std::memcpy(&head, p, 4);
      std::memcpy(&tail, p + n - 4, 4);
      return head | (static_cast<uint64_t>(tail) << ((n - 4) * 8));
    }
    if (n == 0) return 0;
    const auto at = [p](size_t i) {
      return static_cast<uint64_t>(static_cast<unsigned char>(p[i]));
    };
    return at(0) | (at(n >> 1) << ((n >> 1) * 8)) | (at(n - 1) << ((n - 1) * 8));
  }
  static size_t ShortHash(uint64_t word, uint32_t length) {
    // One wide multiplication folds every byte into the low bits the table's mask keeps.
    return static_cast<size_t>(
        hash_detail::Mix(word ^ 0xa0761d6478bd642full, length ^ 0xe7037ed1a0b428dbull));
  }

  // s into the first free slot from its hash on; the table doubled first when it would be more
  // than half full.
  template <typename SlotType, typename HashOf>
  static void Put(std::vector<SlotType>& table, size_t* used, const SlotType& s, HashOf hashOf) {
    if ((*used + 1) * 2 > table.size()) {
      std::vector<SlotType> old(table.size() * 2);
      old.swap(table);
      for (const SlotType& o : old)
        if (o.value >= 0) PutInto(table, o, hashOf(o));
    }
    PutInto(table, s, hashOf(s));
    ++*used;
  }
  template <typename SlotType>
  static void PutInto(std::vector<SlotType>& table, const SlotType& s, size_t hash) {
    const size_t mask = table.size() - 1;
    size_t i = hash & mask;
    while (table[i].value >= 0) i = (i + 1) & mask;
    table[i] = s;
  }

  std::vector<Slot> slots_;                       // power-of-two table of the longer texts
  std::vector<ShortSlot> short_;                  // power-of-two table of texts up to 8 bytes
  std::string arena_;                             // the bytes of every key, back to back
  std::vector<std::pair<size_t, size_t>> spans_;  // offset and length in arena_ by number
  size_t size_ = 0;                               // longer keys stored
  size_t shortSize_ = 0;                          // short keys stored
};

}  // namespace tabulon
