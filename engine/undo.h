#pragma once
// The undo history of an open database: detached snapshots of items taken as
// they are inserted, edited and deleted, grouped by operation stamp so that
// one Undo takes back one whole operation. It is not stored.

#include "engine/item.h"

namespace corvane {

class TPwdBase;

// Owns its snapshots. Every change of the list runs with the database's
// loading counter raised, so that making or freeing a copy neither checks
// rights nor logs nor takes snapshots of its own.
class TPwdUndoList : public TPwdItemsList {
 public:
  explicit TPwdUndoList(TPwdBase* base);

  void Clear() override;
  void Delete(int index) override;

  // Appends a copy of `item` (of its own class) recording what happened to it
  // (`kind`), its parent folder and the operation `stamp`.
  void AddSnapshot(TSnapshotKind kind, TPwdItem& item, const TGuid& stamp);
  // The newest snapshot, or nullptr.
  TPwdItem* Last() const;

  // Takes back the newest operation: every snapshot at the end of the list
  // sharing the stamp of the last one is restored (an inserted item deleted,
  // a modified one given its old data, a deleted one recreated with its id in
  // its former folder) and removed, and the operation's change-log entries
  // go. A snapshot whose item or folder no longer exists is skipped. Returns
  // the item to show afterwards (the first item touched, or the first folder
  // touched when that item is not one), or nullptr; marks the database
  // modified.
  TPwdItem* Undo();

 private:
  // Applies one snapshot to the tree; returns the item it touched (for an
  // undone insertion, the parent), or nullptr when nothing was there to restore.
  TPwdItem* Restore(const TPwdItem& snapshot);
};

}  // namespace corvane
