#pragma once
// A folder of the database tree: a name, its children and, optionally, an own
// field structure that its records and inheriting subfolders use.

#include <cstdint>
#include <memory>
#include <string>

#include "engine/fields.h"
#include "engine/item.h"

namespace corvane {

class TPwdFolder : public TPwdItem {
 public:
  explicit TPwdFolder(TPwdItemsList* ownerList);
  ~TPwdFolder() override;

  void LogItemChange(TChangeKind kind) override;
  void Assign(const TPwdItem& source) override;
  // Renames the folder. In the tree (and not loading) it is a checked edit:
  // a sibling folder of exactly this name throws "Duplicate folder name '%s'.".
  virtual void SetName(const std::string& name);

  // This folder when its Guid matches, else a depth-first search of the
  // children (into subfolders only when `recursive`). nullptr when absent.
  TPwdItem* FindItem(const TGuid& id, bool recursive) const;
  // `name`, or "name (n)" with the smallest n >= 2 no sibling folder has.
  std::string MakeUniqueName(const std::string& name) const;
  // Sorts `list` (normally Items) by the active sort column and direction.
  void SortItems(TPwdItemsList& list);
  // The active sort settings: the stored ones for a user holding "U" on the
  // folder, else the local ones.
  std::int32_t ActiveSortColumn() const;
  bool ActiveSortDescending() const;
  // Change the active sort settings; a change of the stored ones marks the
  // database modified only when it remembers sort orders.
  void SetSortColumn(std::int32_t fieldNumber);
  void SetSortDescending(bool descending);

  bool HasOwnStructure() const { return Structure != nullptr; }
  TPwdFieldsList* EffectiveStructure() const override;
  // 0: own empty structure; 1: own default structure; 2: own copy of the
  // inherited one, with numbers n turned into -2 - n (to be renumbered).
  void CreateStructure(int mode);

  std::string Name;
  std::unique_ptr<TPwdItemsList> Items;
  std::unique_ptr<TPwdFieldsList> Structure;
  std::int32_t SortColumn = -1;       // stored: a field number
  std::int32_t LocalSortColumn = -1;  // not stored
  std::int32_t SortField = -1;        // derived: index in the effective structure
  std::uint8_t SortDescending = 0;
  std::uint8_t LocalSortDescending = 0;

 protected:
  bool StoredSortApplies() const;

 private:
  friend class TPwdItem;
  // After a folder is copied from `source`: own structure only where the
  // inherited one would differ from the source's effective structure.
  void FitCopiedStructure(const TPwdItem& source);
};

}  // namespace corvane
