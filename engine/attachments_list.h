#pragma once
// The attachment list of a record (TPwdFilesList) and the units that pack
// small attachments into one shared data block (TPwdFilesUnit).

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/attachments_file.h"

namespace corvane {

class TPwdPassword;

class TPwdFilesList {
 public:
  explicit TPwdFilesList(TPwdPassword* record) : Record(record) {}
  // Frees the attachments without checks.
  ~TPwdFilesList();
  TPwdFilesList(const TPwdFilesList&) = delete;
  TPwdFilesList& operator=(const TPwdFilesList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  TPwdFileAttach* operator[](int index) const { return items_[static_cast<std::size_t>(index)].get(); }
  // The attachment with `guid`, or nullptr.
  TPwdFileAttach* Find(const TGuid& guid) const;
  int IndexOf(const TPwdFileAttach* attachment) const;

  // A new attachment without data at the end of the list; needs "L" on the
  // record unless the database is loading.
  TPwdFileAttach* Add(const TGuid& guid = {});
  // Removes and frees the attachment at `index`: needs "L", logs the removal
  // and marks the database modified. Throws before anything changes.
  void Delete(int index);
  // Frees everything without checks (loading).
  void Clear() { items_.clear(); }

  TPwdPassword* Record;

 private:
  std::vector<std::unique_ptr<TPwdFileAttach>> items_;
};

// The attachment list of `record`, created on first use.
TPwdFilesList& FilesOf(TPwdPassword& record);

// Small attachments saved in one block. Members are borrowed; an attachment
// leaves its unit when it is freed. Attachments sharing a member's data (copies
// in other records) refer to the unit without being members.
struct TPwdFilesUnit {
  std::vector<TPwdFileAttach*> Members;  // in unit order
  std::int32_t Positions = 0;            // files in the block as saved
  std::int32_t StoredSize = 0;
  std::int32_t EncodedTotal = 0;
  std::int32_t Number = 0;  // 1-based number in the index, while saving
  std::int32_t Offset = 0;
  std::int32_t HeaderSize = 0;
  std::int32_t NewOffset = 0, NewStoredSize = 0;  // while saving
  bool Rewritten = false;                         // written by the save in progress
};

}  // namespace corvane
