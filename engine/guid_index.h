#pragma once
// A map from identifiers to objects, kept in one flat table (open addressing
// with linear probing), so that a lookup in a large database costs a single
// memory access far more often than a node-based map would.

#include <cstddef>
#include <vector>

#include "platform/guid.h"

namespace corvane {

template <class T>
class TGuidIndex {
 public:
  // The object stored for `id`; nullptr when there is none.
  T* Find(const TGuid& id) const {
    if (slots_.empty()) return nullptr;
    for (std::size_t i = Home(id);; i = Next(i)) {
      const TSlot& slot = slots_[i];
      if (slot.value == nullptr) return nullptr;
      if (slot.value != Tombstone() && slot.id == id) return slot.value;
    }
  }

  // Stores `value` for `id` unless the id has an entry already (the first one stays).
  void Insert(const TGuid& id, T* value) {
    if ((used_ + 1) * 2 > slots_.size()) Rehash();
    TSlot* reuse = nullptr;
    std::size_t i = Home(id);
    for (;; i = Next(i)) {
      TSlot& slot = slots_[i];
      if (slot.value == nullptr) break;
      if (slot.value == Tombstone()) {
        if (!reuse) reuse = &slot;
      } else if (slot.id == id) {
        return;
      }
    }
    if (!reuse) {
      reuse = &slots_[i];
      ++used_;
    }
    *reuse = {id, value};
    ++live_;
  }

  // Removes the entry for `id` when it names `value`.
  void Erase(const TGuid& id, const T* value) {
    if (slots_.empty()) return;
    for (std::size_t i = Home(id);; i = Next(i)) {
      TSlot& slot = slots_[i];
      if (slot.value == nullptr) return;
      if (slot.value != Tombstone() && slot.id == id) {
        if (slot.value == value) {
          slot.value = Tombstone();
          --live_;
        }
        return;
      }
    }
  }

  void Clear() {
    slots_.clear();
    used_ = live_ = 0;
  }

  std::size_t Size() const { return live_; }

 private:
  struct TSlot {
    TGuid id;
    T* value = nullptr;  // nullptr: never used; Tombstone(): erased
  };

  static T* Tombstone() {
    static char mark;
    return reinterpret_cast<T*>(&mark);
  }
  std::size_t Home(const TGuid& id) const { return TGuidHash()(id) & (slots_.size() - 1); }
  std::size_t Next(std::size_t i) const { return (i + 1) & (slots_.size() - 1); }

  // Grows (or only clears the tombstones) so that at most a quarter of the
  // slots are used; rehashing when half are.
  void Rehash() {
    std::size_t size = slots_.empty() ? 64 : slots_.size();
    while ((live_ + 1) * 4 > size) size *= 2;
    std::vector<TSlot> old(size);
    old.swap(slots_);
    used_ = live_ = 0;
    for (const TSlot& slot : old)
      if (slot.value != nullptr && slot.value != Tombstone()) Insert(slot.id, slot.value);
  }

  std::vector<TSlot> slots_;
  std::size_t used_ = 0;  // live entries and tombstones
  std::size_t live_ = 0;
};

}  // namespace corvane
