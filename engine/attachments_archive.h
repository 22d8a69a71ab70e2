#pragma once
// TPwdFilesArchive: the archive region at the end of a database file, which
// holds the data blocks of every attachment of the database.
//
// Region layout (integers little-endian):
//   data blocks, back to back;
//   the index, one zlib stream:
//     unit table: per unit Offset, StoredSize, HeaderSize (4 bytes each),
//     ended by 0xFFFFFFFF;
//     per attachment in ascending Guid order (16 unsigned bytes):
//     UnitPosition (2); when 0: Offset, StoredSize, HeaderSize (4 each);
//     else the 1-based unit number (4);
//   trailer: the database signature (6), bytes from the region's start to
//   the trailer (4), bytes from the index's start to the trailer (4).
// Offsets count from the start of the region, so an unchanged region can be
// copied as it is. Small blocks (below kUnitTarget encoded bytes) are packed
// into units of at least that size.
// One archive per database; used from the database's thread.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/attachments_block.h"
#include "platform/file.h"
#include "platform/guid.h"

namespace corvane {

class TPwdBase;
class TPwdFileAttach;
class TStream;

class TPwdFilesArchive {
 public:
  static constexpr std::int32_t kUnitTarget = 8192;

  explicit TPwdFilesArchive(TPwdBase& base) : base_(base) {}

  // Every attachment of the database, in ascending Guid order.
  std::vector<TPwdFileAttach*> Attachments() const;

  // Reads the index of the database file `file` (its whole size counts),
  // whose body has been loaded, and gives the attachments their blocks. The
  // blocks are read later with the password and ciphers of `key`. Throws
  // "Invalid database signature.\r%s" for a wrong trailer and sreaderror or
  // a zlib message for a damaged index; attachments then have no data.
  void LoadIndex(TFile& file, std::span<const std::uint8_t> signature, const TBlockKey& key);

  // The total of the attachments' encoded sizes in KiB, rounded up: the
  // progress total of SaveArchive.
  std::uint32_t TotalKiB() const;
  // Appends the region for a save under `key` to `out`: copies the old
  // region when nothing changed, else writes every block (copying the ones
  // that stay), the index and the trailer. The attachments' new places are
  // held apart until CommitSave.
  void SaveArchive(TStream& out, std::span<const std::uint8_t> signature, const TBlockKey& key);
  // The save went into `path`: the new places become the attachments' own
  // and temporary files go.
  void CommitSave(const std::string& path);

  // The warning of the last load when the index could not be read, else empty.
  std::string Warning;
  // Where the region's blocks are read from, and with which key.
  std::string SourcePath;
  TBlockKey Key;
  std::int32_t StartOffset = 0;
  bool Loaded = false;
  bool Changed = false;  // set by every change of data or of the attachment set

 private:
  bool CanCopyRegion(const std::vector<TPwdFileAttach*>& all, const TBlockKey& key) const;
  void CopyRegion(TStream& out);
  void WriteBlocks(TStream& out, const std::vector<TPwdFileAttach*>& all, const TBlockKey& key);
  void WriteIndex(TStream& out, const std::vector<TPwdFileAttach*>& all);

  TPwdBase& base_;
  std::vector<TGuid> savedSet_;  // the attachments the region on disk describes
  std::uint64_t newStart_ = 0;
  TBlockKey pendingKey_;
  bool copiedRegion_ = false;
};

// The archive of `base`, created on first use.
TPwdFilesArchive& FilesArchiveOf(TPwdBase& base);

}  // namespace corvane
