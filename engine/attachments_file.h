#pragma once
// TPwdFileAttach: one file attached to a record. Its description (name,
// sizes, id, comment) is stored with the record; its data lie in a data
// block (attachments_block.h) in the database file's archive region, or in
// a temporary file until the next save, or in both during a save.
//
// Rights: changing the data, the name or the attachment list needs "L"
// (Modify files) on the record, reading the data needs "S" (Extract files);
// a refusal raises "Access denied." before anything changes.
// Not thread-safe: an attachment is used with its database, from one thread.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/attachments_block.h"
#include "engine/attachments_temp_file.h"
#include "platform/guid.h"

namespace corvane {

class TPwdBase;
class TPwdFilesList;
class TPwdPassword;
struct TPwdFilesUnit;

// Files of 2 GiB or more cannot be attached (sizes are stored in 32 bits).
inline constexpr std::string_view serr_filetoobig = "File '%s' is too big.";

class TPwdFileAttach {
 public:
  // A new attachment without data in `owner` (which keeps it), with `guid`
  // (a new one when null).
  TPwdFileAttach(TPwdFilesList* owner, const TGuid& guid = {});
  // Frees without checks: leaves its unit and lets go of its temporary file.
  // The rights-checked, logged removal is TPwdFilesList::Delete.
  ~TPwdFileAttach();
  TPwdFileAttach(const TPwdFileAttach&) = delete;
  TPwdFileAttach& operator=(const TPwdFileAttach&) = delete;

  // Attaches the file at `path`: its attributes, times and content (streamed
  // into a new data block) and its name without folder. Logged as an
  // attachment change. Throws "File '%s' is too big." for 2 GiB or more,
  // the file system's errors, "Access denied." without "L".
  void LoadFromFile(const std::string& path);
  // Replaces the data by `length` bytes read from `source` and the file
  // information held in Attributes and the two times. The block goes into
  // this attachment's own temporary file; the next save writes it.
  void SetData(TStream& source, std::uint64_t length);
  // The content, `Size` bytes, as a stream. Needs "S". Throws sreaderror
  // when the data cannot be found or do not match the description, and the
  // stream's errors for damaged data; reads from the stream may raise them too.
  std::unique_ptr<TStream> OpenData();
  // Writes the content into a new file at `path` (replacing a file there),
  // then gives it the stored last-write time (when not zero) and attributes.
  // A file that could not be written whole is deleted again.
  void SaveToFile(const std::string& path);

  // The stored file information, read from the data block when needed.
  std::uint64_t GetCreationTime();
  std::uint64_t GetLastWriteTime();
  std::uint32_t GetAttributes();

  // Renames; needs "L", logged, marks the database modified. The data stay.
  void SetFileName(const std::string& name);
  // Marks the database modified when the attachment belongs to a record.
  void SetComment(const std::string& text);
  // Copies `other` (of this or another database) into this attachment: name,
  // sizes, comment, file information and data. Within one database both then
  // share the data; across databases the block is copied as it is when both
  // use the same password and ciphers, else re-encoded. Logged when the name
  // changes or `forceLog` is set. Needs "L" here.
  void Assign(TPwdFileAttach& other, bool forceLog = false);

  // The database the attachment belongs to; nullptr for a free one.
  TPwdBase* Database() const;
  TPwdPassword* Record() const;
  // True when the data can be read: a temporary file, or a block whose
  // place the archive index gave.
  bool HasData() const;
  // The content opened without a rights check (for saving and copying).
  TOpenBlock OpenContent() const;

  // --- Members ---
  std::int32_t Size = 0;
  std::int32_t StoredSize = 0;   // length of its stand-alone block in the archive
  std::int32_t EncodedSize = 0;  // length of a block holding it alone
  std::string Comment;
  std::string FileName;
  TTempFilePtr TempFile;
  TGuid Guid;
  TPwdFilesList* Owner = nullptr;
  std::int32_t Offset = -1;  // block position from the archive start; -1 unknown
  std::int32_t HeaderSize = 0;
  std::uint16_t UnitPosition = 0;
  std::int32_t NewOffset = -1, NewHeaderSize = 0;
  std::uint16_t NewUnitPosition = 0;
  std::int32_t NewStoredSize = 0;
  std::shared_ptr<TPwdFilesUnit> Unit;  // the unit whose block holds its data
  std::shared_ptr<TPwdFilesUnit> NewUnit;
  bool InfoLoaded = false;
  bool DataChanged = false;
  std::uint32_t Attributes = 0;
  std::uint64_t CreationTime = 0;
  std::uint64_t LastWriteTime = 0;

 private:
  void RequireRecordRights(std::string_view letters) const;
  void LogRename(const std::string& oldName, const std::string& newName);
  void MarkDataChanged();
  void LoadInfo();
  void CopyBlockFrom(const TPwdFileAttach& other);
};

}  // namespace corvane
