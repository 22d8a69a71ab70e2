#pragma once
// A map from identifiers to objects in one compact open-addressing table, so
// that finding an item by id costs about the same in a database of a hundred
// thousand records as in a small one.
//
// Each slot holds the full id and the object; a parallel array holds one
// control byte per slot: empty, erased, or 7 bits of the id's hash. A lookup
// reads the control bytes of eight slots at once and compares whole ids only
// where the hash bits match, so it almost always touches one slot without a
// probe loop whose length the processor could not predict. The table is kept
// at most 7/8 full. Not safe for use from several threads at once.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "platform/guid.h"

namespace corvane {

template <class T>
class TGuidIndex {
 public:
  // The object stored for `id`; nullptr when there is none.
  T* Find(const TGuid& id) const {
    if (slots_.empty()) return nullptr;
    const std::uint64_t hash = Hash(id);
    for (std::size_t at = Home(hash);; at = (at + kGroup) & Mask()) {
      const std::uint64_t window = Window(at);
      for (std::uint64_t m = MatchFragment(window, hash); m != 0; m &= m - 1) {
        const TSlot& slot = slots_[SlotOf(at, m)];
        if (SameId(slot.id, id)) return slot.value;
      }
      if (MatchEmpty(window) != 0) return nullptr;
    }
  }

  // Stores `value` for `id` unless the id has an entry already (the first one stays).
  void Insert(const TGuid& id, T* value) {
    if (slots_.empty() || used_ + 1 > MaxUsed()) Rehash();
    const std::uint64_t hash = Hash(id);
    std::size_t target = kNone;
    for (std::size_t at = Home(hash);; at = (at + kGroup) & Mask()) {
      const std::uint64_t window = Window(at);
      for (std::uint64_t m = MatchFragment(window, hash); m != 0; m &= m - 1) {
        if (SameId(slots_[SlotOf(at, m)].id, id)) return;
      }
      if (target == kNone && (window & kHighBits) != 0) target = SlotOf(at, window & kHighBits);
      if (MatchEmpty(window) != 0) break;
    }
    if (control_[target] == kEmpty) ++used_;
    SetControl(target, Fragment(hash));
    slots_[target] = {id, value};
    ++live_;
  }

  // Removes the entry for `id` when it names `value`.
  void Erase(const TGuid& id, const T* value) {
    if (slots_.empty()) return;
    const std::uint64_t hash = Hash(id);
    for (std::size_t at = Home(hash);; at = (at + kGroup) & Mask()) {
      const std::uint64_t window = Window(at);
      for (std::uint64_t m = MatchFragment(window, hash); m != 0; m &= m - 1) {
        const std::size_t i = SlotOf(at, m);
        if (!SameId(slots_[i].id, id)) continue;
        if (slots_[i].value == value) {
          // Erased, not empty: later entries of the same probe run stay reachable.
          SetControl(i, kErased);
          slots_[i] = {};
          --live_;
        }
        return;
      }
      if (MatchEmpty(window) != 0) return;
    }
  }

  void Clear() {
    slots_.clear();
    control_.clear();
    mask_ = used_ = live_ = 0;
  }

  std::size_t Size() const { return live_; }

 private:
  struct TSlot {
    TGuid id;
    T* value = nullptr;
  };

  // Control bytes: a full slot holds 7 hash bits (top bit clear).
  static constexpr std::uint8_t kEmpty = 0x80;
  static constexpr std::uint8_t kErased = 0xFE;
  static constexpr std::size_t kGroup = 8;  // control bytes read at once
  static constexpr std::size_t kMinCapacity = 64;
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  static constexpr std::uint64_t kLowBits = 0x0101010101010101ull;
  static constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

  // Ids are random, but a damaged or hostile file could hold ids chosen to
  // collide; a per-process seed keeps such a set from being prepared.
  struct TWords {  // the seed, or the two halves of an id
    std::uint64_t low, high;
  };
  static TWords ProcessSeed() {
    static const TWords seed = [] {
      std::random_device device;
      auto word = [&] { return (static_cast<std::uint64_t>(device()) << 32) ^ device(); };
      return TWords{word(), word()};
    }();
    return seed;
  }

  static TWords Halves(const TGuid& id) {
    TWords halves;
    std::memcpy(&halves.low, id.bytes.data(), sizeof halves.low);
    std::memcpy(&halves.high, id.bytes.data() + sizeof halves.low, sizeof halves.high);
    return halves;
  }
  // Two word compares instead of a byte-wise one.
  static bool SameId(const TGuid& a, const TGuid& b) {
    const TWords x = Halves(a), y = Halves(b);
    return ((x.low ^ y.low) | (x.high ^ y.high)) == 0;
  }
  // The 128-bit product of the seeded halves, folded to 64 bits.
  std::uint64_t Hash(const TGuid& id) const {
    const TWords halves = Halves(id);
    const unsigned __int128 product = static_cast<unsigned __int128>(halves.low ^ seed_.low) *
                                      static_cast<unsigned __int128>(halves.high ^ seed_.high);
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
  }
  static std::uint8_t Fragment(std::uint64_t hash) { return static_cast<std::uint8_t>(hash & 0x7F); }
  std::size_t Home(std::uint64_t hash) const { return static_cast<std::size_t>(hash >> 7) & Mask(); }
  std::size_t Mask() const { return mask_; }
  std::size_t MaxUsed() const { return (mask_ + 1) - (mask_ + 1) / 8; }

  // The control bytes of slots at .. at + 7, the first in the lowest byte.
  // The bytes past the end repeat the first kGroup, so a window never wraps.
  std::uint64_t Window(std::size_t at) const {
    std::uint64_t window;
    std::memcpy(&window, control_.data() + at, sizeof window);
    if constexpr (std::endian::native == std::endian::big) window = __builtin_bswap64(window);
    return window;
  }
  // The slot named by the lowest byte flagged in `mask` of the window at `at`.
  std::size_t SlotOf(std::size_t at, std::uint64_t mask) const {
    return (at + static_cast<std::size_t>(std::countr_zero(mask) / 8)) & Mask();
  }
  // Top bit of every byte that equals the hash's fragment (exact, no carries
  // between bytes, so empty and erased bytes never match).
  static std::uint64_t MatchFragment(std::uint64_t window, std::uint64_t hash) {
    const std::uint64_t x = window ^ (kLowBits * Fragment(hash));
    return ~(((x & ~kHighBits) + ~kHighBits) | x | ~kHighBits);
  }
  // Top bit of every empty byte (erased bytes have bit 1 set, full ones bit 7 clear).
  static std::uint64_t MatchEmpty(std::uint64_t window) { return window & ~(window << 6) & kHighBits; }

  void SetControl(std::size_t i, std::uint8_t value) {
    control_[i] = value;
    if (i < kGroup) control_[mask_ + 1 + i] = value;
  }

  // Doubles the table while the live entries fill more than half of what it
  // may hold, else only clears the erased slots, and enters everything anew.
  void Rehash() {
    std::size_t capacity = slots_.empty() ? kMinCapacity : slots_.size();
    while (live_ * 16 > capacity * 7) capacity *= 2;
    std::vector<TSlot> old(capacity);
    old.swap(slots_);
    std::vector<std::uint8_t> oldControl(capacity + kGroup, kEmpty);
    oldControl.swap(control_);
    mask_ = capacity - 1;
    used_ = live_ = 0;
    for (std::size_t i = 0; i < old.size(); ++i)
      if ((oldControl[i] & 0x80) == 0) Insert(old[i].id, old[i].value);
  }

  std::vector<TSlot> slots_;
  std::vector<std::uint8_t> control_;  // slots_.size() + kGroup bytes
  std::size_t mask_ = 0;               // slots_.size() - 1
  std::size_t used_ = 0;               // live entries and erased slots
  std::size_t live_ = 0;
  TWords seed_ = ProcessSeed();
};

}  // namespace corvane
