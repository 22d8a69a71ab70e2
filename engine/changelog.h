#pragma once
// The change log of a database: what was changed, by whom and when. The merge
// of two copies of a database replays it; undo removes an operation's entries.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/item.h"
#include "platform/guid.h"

namespace corvane {

class TPwdBase;

// "Insert", "Update" or "Delete"; empty for an unknown kind.
std::string_view ChangeKindName(TChangeKind kind);

// Field numbers below 0 name what an entry is about when it is not a value.
enum : std::int32_t {
  kLogFolderName = -1,  // the folder itself: old and new name
  kLogIcon = -2,        // the item's image; ExtraGuid is the custom icon's id
  kLogAttachment = -3,  // an attachment: old and new file name; ExtraGuid its id
  kLogFieldDef = -4,    // a field definition; ExtraGuid is the field's Guid
  kLogSection = -5,     // a section of the structure: old and new name
};

// One logged change. Its texts may hold passwords in clear; they are wiped
// when the record is freed.
struct TPwdBaseChangeRec {
  TPwdBaseChangeRec() = default;
  ~TPwdBaseChangeRec();
  TPwdBaseChangeRec(const TPwdBaseChangeRec&) = delete;
  TPwdBaseChangeRec& operator=(const TPwdBaseChangeRec&) = delete;

  std::int32_t FieldNumber = 0;
  std::string UserName;
  std::string OldText;
  std::string NewText;
  double Timestamp = 0;
  TGuid ParentGuid;
  TGuid UserGuid;
  TGuid ItemGuid;
  TChangeKind ChangeKind = TChangeKind::Insert;
  TGuid OperationStamp;
  std::string ExtraText1;
  std::string ExtraText2;
  TGuid ExtraGuid;
};

// The ordered change log; owns its records. It has no size limit.
class TPwdBaseChangesLog {
 public:
  explicit TPwdBaseChangesLog(TPwdBase* database) : database_(database) {}
  TPwdBaseChangesLog(const TPwdBaseChangesLog&) = delete;
  TPwdBaseChangesLog& operator=(const TPwdBaseChangesLog&) = delete;

  TPwdBase* Database() const { return database_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TPwdBaseChangeRec& operator[](int index) const { return *items_[static_cast<std::size_t>(index)]; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  // Appends an empty record and returns it; the log keeps ownership.
  TPwdBaseChangeRec& Add();
  void Delete(int index);
  void Clear();

  // Removes the newest run of entries carrying `stamp`: walking back from the
  // end it skips entries of other operations up to the first match, then
  // deletes while entries match. Returns how many were deleted.
  int DeleteLastOperation(const TGuid& stamp);
  // Removes every entry carrying `stamp`, wherever it is.
  void DeleteOperation(const TGuid& stamp);

 private:
  TPwdBase* database_;
  std::vector<std::unique_ptr<TPwdBaseChangeRec>> items_;
};

}  // namespace corvane
