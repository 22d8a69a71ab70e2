#include "engine/undo.h"

#include "engine/base.h"
#include "engine/changelog.h"

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
}

TPwdItem* TPwdUndoList::Undo() {
  if (Count() == 0) return nullptr;
  TPwdBase& base = *Base;
  TGuid stamp = Last()->OperationStamp;
  // What to show afterwards, by id: an item restored early may be freed by a
  // later step of the same operation (an inserted folder after its children).
  TGuid shown, lastTarget;
  bool haveShown = false, shownIsFolder = false;
  {
    TPwdBase::TLoadingScope loading(base);
    while (Count() > 0 && Last()->OperationStamp == stamp) {
      TPwdItem& snapshot = *Last();
      TPwdItem* target = nullptr;
      if (snapshot.SnapshotKind == TSnapshotKind::Deleted) {
        TPwdItem* parent = snapshot.SnapshotParent.IsNull() ? nullptr : base.FindItem(snapshot.SnapshotParent);
        // An id already back in the tree is never given to a second item.
        if (parent && parent->IsFolder() && !base.FindItem(snapshot.Guid)) {
          target = static_cast<TPwdFolder*>(parent)->Items->AddItem(snapshot.ItemType, false, snapshot.Guid);
        }
      } else {
        target = base.FindItem(snapshot.Guid);
      }
      if (target && snapshot.SnapshotKind == TSnapshotKind::Inserted) {
        TPwdFolder* parent = target->ParentFolder();
        target->Delete();
        target = parent;
      } else if (target) {
        target->Edit();
        target->Assign(snapshot);
        target->Post();
        target->OperationStamp = {};
      }
      if (target) {
        if (!haveShown || (target->IsFolder() && !shownIsFolder)) {
          shown = target->Guid;
          shownIsFolder = target->IsFolder();
          haveShown = true;
        }
        lastTarget = target->Guid;
      }
      Delete(Count() - 1);
    }
    if (!stamp.IsNull() && base.ChangesLog) base.ChangesLog->DeleteLastOperation(stamp);
  }
  base.SetModified(true);
  if (!haveShown) return nullptr;
  if (TPwdItem* item = base.FindItem(shown)) return item;
  return base.FindItem(lastTarget);
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
