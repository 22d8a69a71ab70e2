#include "engine/undo.h"

#include "engine/base.h"
#include "engine/changelog.h"
#include "engine/permissions.h"

namespace corvane {

TPwdUndoList::TPwdUndoList(TPwdBase* base) : TPwdItemsList(base, nullptr, false) {}

void TPwdUndoList::Clear() {
  TPwdBase::TLoadingScope loading(*Base);
  TPwdItemsList::Clear();
}

void TPwdUndoList::Delete(int index) {
  TPwdBase::TLoadingScope loading(*Base);
  TPwdItemsList::Delete(index);
}

TPwdItem* TPwdUndoList::Last() const { return Count() > 0 ? (*this)[Count() - 1] : nullptr; }

void TPwdUndoList::AddSnapshot(TSnapshotKind kind, TPwdItem& item, const TGuid& stamp) {
  TPwdBase::TLoadingScope loading(*Base);
  TPwdItem* snapshot = AddItem(item.ItemType, false, item.Guid);
  try {
    snapshot->Assign(item);
  } catch (...) {
    Delete(Count() - 1);
    throw;
  }
  snapshot->State = TItemState::Stored;
  snapshot->SnapshotKind = kind;
  const TPwdFolder* parent = item.ParentFolder();
  snapshot->SnapshotParent = parent ? parent->Guid : TGuid{};
  snapshot->OperationStamp = stamp;
  // Assign leaves permissions alone (a copy takes those of its new place);
  // a deleted item must come back with its own list.
  if (item.Permissions) {
    snapshot->Permissions.reset(new TPwdPermissionsList(Base));
    snapshot->Permissions->CopyFrom(*item.Permissions);
  }
}

TPwdItem* TPwdUndoList::Restore(const TPwdItem& snapshot) {
  TPwdBase& base = *Base;
  if (snapshot.SnapshotKind == TSnapshotKind::Inserted) {
    TPwdItem* item = base.FindItem(snapshot.Guid);
    if (!item) return nullptr;
    TPwdFolder* parent = item->ParentFolder();
    item->Delete();
    return parent;
  }
  TPwdItem* target = nullptr;
  if (snapshot.SnapshotKind == TSnapshotKind::Deleted) {
    TPwdItem* parent = snapshot.SnapshotParent.IsNull() ? nullptr : base.FindItem(snapshot.SnapshotParent);
    // An id already back in the tree is never given to a second item.
    if (parent && parent->IsFolder() && !base.FindItem(snapshot.Guid)) {
      target = static_cast<TPwdFolder*>(parent)->Items->AddItem(snapshot.ItemType, false, snapshot.Guid);
      if (snapshot.Permissions) {
        target->Permissions.reset(new TPwdPermissionsList(&base));
        target->Permissions->CopyFrom(*snapshot.Permissions);
      }
    }
  } else {
    target = base.FindItem(snapshot.Guid);
  }
  if (!target) return nullptr;
  target->Edit();
  target->Assign(snapshot);
  target->Post();
  target->OperationStamp = {};
  return target;
}

TPwdItem* TPwdUndoList::Undo() {
  if (Count() == 0) return nullptr;
  TPwdBase& base = *Base;
  const std::vector<TPwdItem*> snapshots = Items();
  const TGuid stamp = snapshots.back()->OperationStamp;
  std::size_t first = snapshots.size();
  while (first > 0 && snapshots[first - 1]->OperationStamp == stamp) --first;

  // The item each snapshot touched, by id: one restored early may be freed by
  // a later step (an inserted folder after its children).
  std::vector<TGuid> targets(snapshots.size());
  {
    TPwdBase::TLoadingScope loading(base);
    // Newest first, as the changes are taken back. Undoing insertions only
    // removes items, and no other snapshot of the operation needs them, so
    // they run last: the tree first only grows and then only shrinks, which
    // keeps the lists' removals to one pass each.
    auto apply = [&](bool insertions) {
      for (std::size_t i = snapshots.size(); i-- > first;) {
        if ((snapshots[i]->SnapshotKind == TSnapshotKind::Inserted) != insertions) continue;
        if (TPwdItem* target = Restore(*snapshots[i])) targets[i] = target->Guid;
      }
    };
    // Applied or not, the operation's snapshots go together.
    auto freeSnapshots = [&] {
      for (std::size_t i = first; i < snapshots.size(); ++i) snapshots[i]->Delete();
    };
    try {
      apply(false);
      apply(true);
    } catch (...) {
      freeSnapshots();
      throw;
    }
    freeSnapshots();
    if (!stamp.IsNull() && base.ChangesLog) base.ChangesLog->DeleteLastOperation(stamp);
  }
  base.SetModified(true);

  // Shown afterwards: the first item touched, or the first folder if the
  // first item is not one; failing that, the last one that still exists.
  TPwdItem* shown = nullptr;
  TPwdItem* fallback = nullptr;
  for (std::size_t i = snapshots.size(); i-- > first;) {
    if (targets[i].IsNull()) continue;
    TPwdItem* item = base.FindItem(targets[i]);
    if (!item) continue;
    fallback = item;
    if (!shown || (item->IsFolder() && !shown->IsFolder())) shown = item;
  }
  return shown ? shown : fallback;
}

// --- The database's side of the edit cycle ---

void TPwdBase::AddSnapshot(TSnapshotKind kind, TPwdItem& item, const TGuid& stamp) {
  if (LoadingCount > 0 || !UndoList) return;
  UndoList->AddSnapshot(kind, item, stamp);
}

void TPwdBase::StampLastSnapshot(const TGuid& stamp) {
  if (TPwdItem* last = UndoList ? UndoList->Last() : nullptr) last->OperationStamp = stamp;
}

void TPwdBase::DropLastSnapshot() {
  if (UndoList && UndoList->Count() > 0) UndoList->Delete(UndoList->Count() - 1);
}

void TPwdBase::RevertLastSnapshot(TPwdItem& item) {
  TPwdItem* last = UndoList ? UndoList->Last() : nullptr;
  if (!last || last->Guid != item.Guid || last->SnapshotKind != TSnapshotKind::Modified) return;
  TLoadingScope loading(*this);
  // The cancelled changes did not happen: their log entries go with them.
  if (!item.OperationStamp.IsNull() && ChangesLog) ChangesLog->DeleteOperation(item.OperationStamp);
  item.Assign(*last);
  UndoList->Delete(UndoList->Count() - 1);
}

void TEngineDeleter::operator()(TPwdUndoList* list) const noexcept { delete list; }

}  // namespace corvane
