#include "engine/icons.h"

#include <algorithm>

#include "engine/crypt_stream.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {
namespace {

constexpr bool kEncrypted = false;
// Blob bytes are read in pieces of this size, so that a damaged length can
// never allocate more than the data that actually arrive.
constexpr std::size_t kBlobPiece = 65536;

void WriteBlob(TCryptStream& stream, const std::string& bitmap) {
  if (bitmap.size() > 0x7FFFFFFBu) throw TError(std::string(serr_streamtoolarge));
  stream.WriteUInt32(static_cast<std::uint32_t>(bitmap.size() + 4), kEncrypted);
  stream.WriteBuffer({reinterpret_cast<const std::uint8_t*>(bitmap.data()), bitmap.size()}, kEncrypted);
}

std::string ReadBlob(TCryptStream& stream) {
  const std::uint32_t length = stream.ReadUInt32(kEncrypted);
  if (length < 4 || length > 0x7FFFFFFFu) throw TError(std::string(sreaderror));
  const std::size_t wanted = length - 4;
  std::string bitmap;
  while (bitmap.size() < wanted) {
    const std::size_t start = bitmap.size();
    bitmap.resize(start + std::min(kBlobPiece, wanted - start));
    stream.ReadBuffer({reinterpret_cast<std::uint8_t*>(bitmap.data()) + start, bitmap.size() - start}, kEncrypted);
  }
  return bitmap;
}

}  // namespace

int TIconList::AddIcon(std::string_view primary, std::string_view alternate, const TGuid& id) {
  icons_.push_back({std::string(primary), std::string(alternate), id.IsNull() ? TGuid::Create() : id});
  return Count() - 1;
}

int TIconList::CopyIcon(const TIconList& other, int index) {
  const TIcon& icon = other.At(index);
  if (IndexOfId(icon.id) >= 0) return -1;
  icons_.push_back(icon);
  return Count() - 1;
}

void TIconList::Assign(const TIconList& other) {
  if (&other == this) return;
  Clear();
  for (int i = 0; i < other.Count(); ++i) CopyIcon(other, i);
}

void TIconList::DeleteIcon(int index) {
  At(index);  // range check
  icons_.erase(icons_.begin() + index);
}

int TIconList::IndexOfId(const TGuid& id) const {
  for (std::size_t i = 0; i < icons_.size(); ++i)
    if (icons_[i].id == id) return static_cast<int>(i);
  return -1;
}

void TIconList::SaveToStream(TCryptStream& stream) const {
  stream.WriteInt32(Count(), kEncrypted);
  if (icons_.empty()) return;
  for (const TIcon& icon : icons_) {
    WriteBlob(stream, icon.primary);
    WriteBlob(stream, icon.alternate);
  }
  for (const TIcon& icon : icons_) stream.WriteGuid(icon.id, kEncrypted);
}

void TIconList::LoadFromStream(TCryptStream& stream) {
  Clear();
  const std::int32_t count = stream.ReadInt32(kEncrypted);
  if (count < 0) throw TError(std::string(sreaderror));
  // Each icon needs at least its two blob lengths, so a damaged count ends
  // in a read error long before it could exhaust memory.
  std::vector<TIcon> icons;
  for (std::int32_t i = 0; i < count; ++i) {
    TIcon icon;
    icon.primary = ReadBlob(stream);
    icon.alternate = ReadBlob(stream);
    icons.push_back(std::move(icon));
  }
  for (TIcon& icon : icons) icon.id = stream.ReadGuid(kEncrypted);
  icons_ = std::move(icons);
}

}  // namespace corvane
