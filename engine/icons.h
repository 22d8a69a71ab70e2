#pragma once
// The custom icons of one database: folders and records whose IconIndex is 23
// or more show icon IconIndex - 23 of this list instead of a built-in image.
// Each icon is two bitmaps (the main window draws one set or the other by its
// display mode) and a 16-byte id that stays with the icon when it is copied
// into another database, so that it is never duplicated there.
// Not thread-safe: a database is used from one thread.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/guid.h"

namespace corvane {

class TCryptStream;

// Items show custom icon IconIndex - kBuiltinImageCount.
inline constexpr std::int32_t kBuiltinImageCount = 23;

class TIconList {
 public:
  TIconList() = default;
  TIconList(const TIconList&) = delete;
  TIconList& operator=(const TIconList&) = delete;

  int Count() const { return static_cast<int>(icons_.size()); }

  // Appends an icon made of two bitmaps (the bytes of a BMP file each) and
  // `id`, or a new id when `id` is zero. Returns the new index.
  int AddIcon(std::string_view primary, std::string_view alternate, const TGuid& id = {});
  // Appends a copy of icon `index` of `other` unless this list already has an
  // icon with its id; returns the new index, or -1 when nothing was added.
  int CopyIcon(const TIconList& other, int index);
  // Becomes a copy of `other`.
  void Assign(const TIconList& other);
  // Removes icon `index`; the icons after it move down by one. Items keep
  // their IconIndex: the caller renumbers them if it must.
  void DeleteIcon(int index);
  // The first icon with `id`, or -1.
  int IndexOfId(const TGuid& id) const;
  void Clear() { icons_.clear(); }

  // The bitmaps (BMP file bytes) and the id of icon `index`.
  const std::string& PrimaryImage(int index) const { return At(index).primary; }
  const std::string& AlternateImage(int index) const { return At(index).alternate; }
  const TGuid& Id(int index) const { return At(index).id; }

  // Stored in the encrypted part of a database body: the count, then for
  // each icon its two bitmaps as blobs (a 32-bit length that counts itself,
  // then the bytes), then the ids. Loading replaces the list; a damaged blob
  // length raises sreaderror and leaves the list empty.
  void SaveToStream(TCryptStream& stream) const;
  void LoadFromStream(TCryptStream& stream);

 private:
  struct TIcon {
    std::string primary;
    std::string alternate;
    TGuid id;
  };
  const TIcon& At(int index) const { return icons_.at(static_cast<std::size_t>(index)); }

  std::vector<TIcon> icons_;
};

}  // namespace corvane
