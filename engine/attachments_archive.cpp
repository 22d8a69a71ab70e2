#include "engine/attachments_archive.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <tuple>

#include "engine/attachments_list.h"
#include "engine/base.h"
#include "engine/crypt_stream.h"
#include "engine/dbfile.h"
#include "engine/messages.h"
#include "engine/zlib_stream.h"
#include "platform/error.h"
#include "platform/file_system.h"

namespace corvane {
namespace {

constexpr std::uint32_t kEndOfUnits = 0xFFFFFFFFu;
constexpr std::uint64_t kTrailerSize = 14;
constexpr std::uint64_t kLargest = std::numeric_limits<std::int32_t>::max();

[[noreturn]] void ThrowReadError() { throw TError(std::string(sreaderror)); }

std::uint16_t ReadUInt16(TStream& stream) {
  std::array<std::uint8_t, 2> bytes;
  stream.ReadBuffer(bytes);
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

void WriteUInt16(TStream& stream, std::uint16_t value) {
  const std::array<std::uint8_t, 2> bytes = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
  stream.WriteBuffer(bytes);
}

// A value read from the index that must lie in [0, limit].
std::int32_t ReadBounded(TStream& stream, std::uint64_t limit) {
  const std::uint32_t value = stream.ReadUInt32();
  if (value > limit || value > kLargest) ThrowReadError();
  return static_cast<std::int32_t>(value);
}

std::int32_t ToInt32(std::uint64_t value) {
  if (value > kLargest) throw TError(std::string(serr_streamtoolarge));
  return static_cast<std::int32_t>(value);
}

// What identifies the data of an attachment: copies within one database
// (which share a temporary file or an archive block) have the same source.
using TSourceKey = std::tuple<const void*, std::int32_t, std::uint16_t>;

std::optional<TSourceKey> SourceOf(const TPwdFileAttach& attachment) {
  if (attachment.TempFile) return TSourceKey{attachment.TempFile.get(), 0, 0};
  if (attachment.HasData()) return TSourceKey{nullptr, attachment.Unit ? attachment.Unit->Offset : attachment.Offset,
                                              attachment.UnitPosition};
  return std::nullopt;
}

// The unit block of `unit` can be kept when every file it holds is still
// there, unchanged, and stored under the key of the save.
bool UnitStays(const TPwdFilesUnit& unit, const std::vector<TPwdFileAttach*>& leaders, bool sameKey) {
  if (!sameKey || unit.EncodedTotal < TPwdFilesArchive::kUnitTarget) return false;
  if (static_cast<std::int32_t>(unit.Members.size()) != unit.Positions) return false;
  return std::all_of(unit.Members.begin(), unit.Members.end(), [&](const TPwdFileAttach* member) {
    return !member->TempFile && !member->DataChanged && member->HasData() &&
           std::find(leaders.begin(), leaders.end(), member) != leaders.end();
  });
}

}  // namespace

TPwdFilesArchive& FilesArchiveOf(TPwdBase& base) {
  if (!base.FilesArchive) base.FilesArchive = std::make_shared<TPwdFilesArchive>(base);
  return *base.FilesArchive;
}

std::vector<TPwdFileAttach*> TPwdFilesArchive::Attachments() const {
  std::vector<TPwdFileAttach*> all;
  for (TPwdItem* item : base_.AllRecords.Items()) {
    const auto* record = static_cast<TPwdPassword*>(item);
    if (!record->Files) continue;
    for (int i = 0; i < record->Files->Count(); ++i) all.push_back((*record->Files)[i]);
  }
  std::stable_sort(all.begin(), all.end(), [](const TPwdFileAttach* a, const TPwdFileAttach* b) { return a->Guid < b->Guid; });
  return all;
}

// --- Loading ---

void TPwdFilesArchive::LoadIndex(TFile& file, std::span<const std::uint8_t> signature, const TBlockKey& key) {
  TPwdBase::TLoadingScope loading(base_);
  Loaded = false;
  Changed = false;
  Warning.clear();
  const std::vector<TPwdFileAttach*> all = Attachments();
  for (TPwdFileAttach* attachment : all) {
    attachment->Offset = -1;
    attachment->UnitPosition = 0;
    attachment->Unit.reset();
  }
  try {
    const std::uint64_t size = file.Size();
    std::array<std::uint8_t, kTrailerSize> trailer{};
    if (size < kTrailerSize) throw TError(FormatMessage(serr_invalidsignature, base_.FileName));
    const std::uint64_t trailerStart = size - kTrailerSize;
    file.Seek(static_cast<std::int64_t>(trailerStart));
    file.ReadExactly(trailer);
    if (!std::equal(signature.begin(), signature.end(), trailer.begin()))
      throw TError(FormatMessage(serr_invalidsignature, base_.FileName));
    auto word = [&](std::size_t at) {
      return static_cast<std::uint32_t>(trailer[at]) | (static_cast<std::uint32_t>(trailer[at + 1]) << 8) |
             (static_cast<std::uint32_t>(trailer[at + 2]) << 16) | (static_cast<std::uint32_t>(trailer[at + 3]) << 24);
    };
    const std::uint64_t toData = word(6), toIndex = word(10);
    if (toData > trailerStart || toIndex > toData) ThrowReadError();
    const std::uint64_t start = trailerStart - toData;
    const std::uint64_t dataLength = toData - toIndex;

    TFileRangeStream indexBytes(TFile::Open(file.Path(), TFile::TMode::kRead), trailerStart - toIndex, toIndex);
    TDecompressionStream index(indexBytes);
    std::vector<std::shared_ptr<TPwdFilesUnit>> units;
    for (;;) {
      const std::uint32_t first = index.ReadUInt32();
      if (first == kEndOfUnits) break;
      // A unit holds two files at least, so there are fewer units than files.
      if (units.size() * 2 >= all.size() || first > dataLength) ThrowReadError();
      auto unit = std::make_shared<TPwdFilesUnit>();
      unit->Offset = static_cast<std::int32_t>(first);
      unit->StoredSize = ReadBounded(index, dataLength - first);
      unit->HeaderSize = ReadBounded(index, kLargest);
      unit->Positions = unit->HeaderSize / kFileInformationSize;
      if (unit->Positions < 1 || unit->HeaderSize % kFileInformationSize != 0) ThrowReadError();
      units.push_back(std::move(unit));
    }
    for (TPwdFileAttach* attachment : all) {
      const std::uint16_t position = ReadUInt16(index);
      if (position == 0) {
        attachment->Offset = ReadBounded(index, dataLength);
        attachment->StoredSize = ReadBounded(index, dataLength - static_cast<std::uint64_t>(attachment->Offset));
        attachment->HeaderSize = ReadBounded(index, kLargest);
        continue;
      }
      const std::uint32_t number = index.ReadUInt32();
      if (number < 1 || number > units.size()) ThrowReadError();
      const std::shared_ptr<TPwdFilesUnit>& unit = units[number - 1];
      if (position > unit->Positions) ThrowReadError();
      attachment->Unit = unit;
      attachment->UnitPosition = position;
      attachment->Offset = unit->Offset;
      attachment->HeaderSize = unit->HeaderSize;
      // A second attachment at the same position is a copy sharing the data.
      auto& members = unit->Members;
      const bool taken = std::any_of(members.begin(), members.end(),
                                     [&](const TPwdFileAttach* m) { return m->UnitPosition == position; });
      if (!taken) unit->EncodedTotal += attachment->EncodedSize;
      if (!taken)
        members.insert(std::find_if(members.begin(), members.end(),
                                    [&](const TPwdFileAttach* m) { return m->UnitPosition > position; }),
                       attachment);
    }
    StartOffset = ToInt32(start);
  } catch (...) {
    for (TPwdFileAttach* attachment : all) {
      attachment->Offset = -1;
      attachment->UnitPosition = 0;
      attachment->Unit.reset();
    }
    throw;
  }
  SourcePath = file.Path();
  Key = key;
  savedSet_.clear();
  for (const TPwdFileAttach* attachment : all) savedSet_.push_back(attachment->Guid);
  Loaded = true;
}

// --- Saving ---

std::uint32_t TPwdFilesArchive::TotalKiB() const {
  std::uint64_t total = 0;
  for (const TPwdFileAttach* attachment : Attachments()) total += static_cast<std::uint64_t>(std::max(0, attachment->EncodedSize));
  return static_cast<std::uint32_t>(std::min<std::uint64_t>((total + 1023) / 1024, 0xFFFFFFFFu));
}

bool TPwdFilesArchive::CanCopyRegion(const std::vector<TPwdFileAttach*>& all, const TBlockKey& key) const {
  if (!Loaded || Changed || !(Key == key) || SourcePath.empty() || !FileExists(SourcePath)) return false;
  if (all.size() != savedSet_.size()) return false;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i]->Guid != savedSet_[i] || all[i]->TempFile || all[i]->DataChanged) return false;
  }
  return true;
}

void TPwdFilesArchive::CopyRegion(TStream& out) {
  TFile file = TFile::Open(SourcePath, TFile::TMode::kRead);
  const std::uint64_t size = file.Size();
  const auto start = static_cast<std::uint64_t>(StartOffset);
  if (start > size) ThrowReadError();
  TFileRangeStream region(std::move(file), start, size - start);
  CopyBytes(region, out, size - start);
}

void TPwdFilesArchive::SaveArchive(TStream& out, std::span<const std::uint8_t> signature, const TBlockKey& key) {
  const std::vector<TPwdFileAttach*> all = Attachments();
  newStart_ = out.Position();
  pendingKey_ = key;
  copiedRegion_ = CanCopyRegion(all, key);
  if (copiedRegion_) {
    CopyRegion(out);
    return;
  }
  WriteBlocks(out, all, key);
  const std::uint64_t indexStart = out.Position();
  WriteIndex(out, all);
  const std::uint64_t trailerStart = out.Position();
  out.WriteBuffer(signature);
  out.WriteUInt32(static_cast<std::uint32_t>(ToInt32(trailerStart - newStart_)));
  out.WriteUInt32(static_cast<std::uint32_t>(ToInt32(trailerStart - indexStart)));
}

void TPwdFilesArchive::WriteBlocks(TStream& out, const std::vector<TPwdFileAttach*>& all, const TBlockKey& key) {
  const bool sameKey = Key == key;
  // Copies sharing data follow the first attachment with that source.
  std::map<TSourceKey, TPwdFileAttach*> leaderOf;
  std::vector<TPwdFileAttach*> leaders;
  std::vector<std::pair<TPwdFileAttach*, TPwdFileAttach*>> followers;
  for (TPwdFileAttach* attachment : all) {
    attachment->NewUnit.reset();
    if (attachment->Unit) attachment->Unit->Rewritten = false;
    const std::optional<TSourceKey> source = SourceOf(*attachment);
    if (source) {
      auto [at, isNew] = leaderOf.emplace(*source, attachment);
      if (!isNew) {
        followers.emplace_back(attachment, at->second);
        continue;
      }
    }
    leaders.push_back(attachment);
  }

  // Pack small files into units: whole old units that stay, then new units
  // gathered in Guid order until they reach the target size.
  std::vector<std::shared_ptr<TPwdFilesUnit>> groups;
  std::shared_ptr<TPwdFilesUnit> open;
  for (TPwdFileAttach* attachment : leaders) {
    if (attachment->Unit && UnitStays(*attachment->Unit, leaders, sameKey)) {
      attachment->NewUnit = attachment->Unit;
      continue;
    }
    if (attachment->EncodedSize >= kUnitTarget) continue;
    if (!open) {
      open = std::make_shared<TPwdFilesUnit>();
      groups.push_back(open);
    }
    open->Members.push_back(attachment);
    open->EncodedTotal += attachment->EncodedSize;
    attachment->NewUnit = open;
    if (open->EncodedTotal >= kUnitTarget) open.reset();
  }
  for (const auto& group : groups) {
    if (group->Members.size() == 1) group->Members.front()->NewUnit.reset();
  }

  auto position = [&] { return ToInt32(out.Position() - newStart_); };
  auto copyOld = [&](std::int32_t offset, std::int32_t length) {
    TFileRangeStream block(TFile::Open(SourcePath, TFile::TMode::kRead),
                           static_cast<std::uint64_t>(StartOffset) + static_cast<std::uint64_t>(offset),
                           static_cast<std::uint64_t>(length));
    CopyBytes(block, out, static_cast<std::uint64_t>(length));
  };
  auto memberOf = [](TPwdFileAttach* attachment) {
    TBlockMember member;
    member.Size = static_cast<std::uint32_t>(attachment->Size);
    member.Information = {attachment->GetAttributes(), attachment->GetCreationTime(), attachment->GetLastWriteTime()};
    member.WriteContent = [attachment](TStream& block) {
      TOpenBlock data = attachment->OpenContent();
      CopyBytes(*data.Stream, block, data.Size);
    };
    return member;
  };

  for (TPwdFileAttach* attachment : leaders) {
    TPwdFilesUnit* unit = attachment->NewUnit.get();
    if (unit && unit->Rewritten) continue;  // written with its first member
    const std::int32_t at = position();
    if (unit && unit == attachment->Unit.get()) {
      copyOld(unit->Offset, unit->StoredSize);
      unit->NewOffset = at;
      unit->NewStoredSize = unit->StoredSize;
      unit->Rewritten = true;
      for (TPwdFileAttach* member : unit->Members) {
        member->NewOffset = at;
        member->NewHeaderSize = unit->HeaderSize;
        member->NewUnitPosition = member->UnitPosition;
      }
      continue;
    }
    if (unit) {
      std::vector<TBlockMember> members;
      for (TPwdFileAttach* member : unit->Members) members.push_back(memberOf(member));
      unit->NewOffset = at;
      unit->NewStoredSize = ToInt32(WriteBlock(out, key, members));
      unit->Positions = static_cast<std::int32_t>(unit->Members.size());
      unit->HeaderSize = unit->Positions * kFileInformationSize;
      unit->Rewritten = true;
      std::uint16_t next = 1;
      for (TPwdFileAttach* member : unit->Members) {
        member->NewOffset = at;
        member->NewHeaderSize = unit->HeaderSize;
        member->NewUnitPosition = next++;
      }
      continue;
    }
    attachment->NewOffset = at;
    attachment->NewHeaderSize = kFileInformationSize;
    attachment->NewUnitPosition = 0;
    if (!attachment->TempFile && !attachment->DataChanged && !attachment->Unit && attachment->HasData() && sameKey) {
      copyOld(attachment->Offset, attachment->StoredSize);
      attachment->NewStoredSize = attachment->StoredSize;
    } else if (attachment->TempFile && attachment->TempFile->Key() == key) {
      const std::uint64_t length = attachment->TempFile->BlockSize();
      CopyBytes(*attachment->TempFile->OpenBlock(), out, length);
      attachment->NewStoredSize = ToInt32(length);
    } else {
      attachment->NewStoredSize = ToInt32(WriteBlock(out, key, {memberOf(attachment)}));
    }
  }
  for (auto& [follower, leader] : followers) {
    follower->NewOffset = leader->NewOffset;
    follower->NewHeaderSize = leader->NewHeaderSize;
    follower->NewUnitPosition = leader->NewUnitPosition;
    follower->NewStoredSize = leader->NewStoredSize;
    follower->NewUnit = leader->NewUnit;
  }
}

void TPwdFilesArchive::WriteIndex(TStream& out, const std::vector<TPwdFileAttach*>& all) {
  // Units are numbered in the order in which their first member appears.
  std::vector<TPwdFilesUnit*> units;
  for (const TPwdFileAttach* attachment : all) {
    TPwdFilesUnit* unit = attachment->NewUnit.get();
    if (unit && std::find(units.begin(), units.end(), unit) == units.end()) {
      units.push_back(unit);
      unit->Number = static_cast<std::int32_t>(units.size());
    }
  }
  TCompressionStream index(out);
  for (const TPwdFilesUnit* unit : units) {
    index.WriteUInt32(static_cast<std::uint32_t>(unit->NewOffset));
    index.WriteUInt32(static_cast<std::uint32_t>(unit->NewStoredSize));
    index.WriteUInt32(static_cast<std::uint32_t>(unit->HeaderSize));
  }
  index.WriteUInt32(kEndOfUnits);
  for (const TPwdFileAttach* attachment : all) {
    const TPwdFilesUnit* unit = attachment->NewUnit.get();
    WriteUInt16(index, unit ? attachment->NewUnitPosition : 0);
    if (unit) {
      index.WriteUInt32(static_cast<std::uint32_t>(unit->Number));
    } else {
      index.WriteUInt32(static_cast<std::uint32_t>(attachment->NewOffset));
      index.WriteUInt32(static_cast<std::uint32_t>(attachment->NewStoredSize));
      index.WriteUInt32(static_cast<std::uint32_t>(attachment->NewHeaderSize));
    }
  }
  index.Finish();
}

void TPwdFilesArchive::CommitSave(const std::string& path) {
  const std::vector<TPwdFileAttach*> all = Attachments();
  if (!copiedRegion_) {
    for (TPwdFileAttach* attachment : all) {
      if (attachment->Unit && attachment->Unit != attachment->NewUnit) {
        auto& members = attachment->Unit->Members;
        members.erase(std::remove(members.begin(), members.end(), attachment), members.end());
      }
      attachment->Offset = attachment->NewOffset;
      attachment->HeaderSize = attachment->NewHeaderSize;
      attachment->UnitPosition = attachment->NewUnitPosition;
      attachment->Unit = std::move(attachment->NewUnit);
      if (!attachment->Unit) {
        attachment->StoredSize = attachment->NewStoredSize;
      } else if (attachment->Unit->Rewritten) {
        TPwdFilesUnit& unit = *attachment->Unit;
        unit.Offset = unit.NewOffset;
        unit.StoredSize = unit.NewStoredSize;
        unit.Rewritten = false;
      }
      attachment->TempFile.reset();
      attachment->DataChanged = false;
    }
  }
  StartOffset = ToInt32(newStart_);
  SourcePath = path;
  Key = pendingKey_;
  savedSet_.clear();
  for (const TPwdFileAttach* attachment : all) savedSet_.push_back(attachment->Guid);
  Loaded = true;
  Changed = false;
}

}  // namespace corvane
