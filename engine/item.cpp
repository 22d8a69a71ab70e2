#include "engine/item.h"

#include <algorithm>
#include <memory>

#include "engine/base.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {
namespace {

bool IsLoading(const TPwdBase* base) { return base && base->IsLoading(); }

}  // namespace

// --- TPwdItem ---

TPwdItem::TPwdItem(TPwdItemsList* ownerList) : OwnerList(ownerList) {}

TPwdItem::~TPwdItem() = default;

TPwdBase* TPwdItem::GetBase() const { return OwnerList ? OwnerList->Base : nullptr; }

TPwdFolder* TPwdItem::ParentFolder() const { return OwnerList ? OwnerList->OwnerFolder : nullptr; }

bool TPwdItem::InTree() const {
  const TPwdBase* base = GetBase();
  for (const TPwdItem* item = this; item; item = item->ParentFolder())
    if (item == base) return true;
  return false;
}

TPwdFieldsList* TPwdItem::EffectiveStructure() const {
  TPwdFolder* parent = ParentFolder();
  return parent ? parent->EffectiveStructure() : nullptr;
}

bool TPwdItem::HasRights(std::string_view letters, bool requireAll) const {
  const TPwdBase* base = GetBase();
  return !base || base->HasRights(this, letters, requireAll);
}

void TPwdItem::RequireRights(std::string_view letters) const {
  if (const TPwdBase* base = GetBase()) base->RequireRights(this, letters);
}

void TPwdItem::EnsureStamp() {
  if (OperationStamp.IsNull()) OperationStamp = TGuid::Create();
}

void TPwdItem::LogItemChange(TChangeKind) { EnsureStamp(); }

void TPwdItem::Assign(const TPwdItem& source) {
  BeginModify();
  Tag = source.Tag;
  IconIndex = TranslatedIcon(source);
}

std::int32_t TPwdItem::TranslatedIcon(const TPwdItem& source) const {
  if (source.IconIndex < kBuiltinImages) return source.IconIndex;
  const TPwdBase* from = source.GetBase();
  TPwdBase* to = GetBase();
  if (!from || !to || from == to) return source.IconIndex;
  // A custom icon is found by its id in this database's icons, or added to
  // them by an administrator; otherwise the item falls back to image 0.
  const int index = source.IconIndex - kBuiltinImages;
  if (index >= from->Icons.Count()) return 0;
  int own = to->Icons.IndexOfId(from->Icons.Id(index));
  if (own < 0 && to->HasRights(to, "A")) own = to->Icons.CopyIcon(from->Icons, index);
  return own < 0 ? 0 : own + kBuiltinImages;
}

void TPwdItem::CheckEditMode() const {
  if (IsLoading(GetBase())) return;
  if (State == TItemState::Stored || State == TItemState::Discarded)
    throw TError(std::string(spwdnotineditmode));
}

void TPwdItem::BeginModify() {
  CheckEditMode();
  RequireRights(State == TItemState::Editing ? "U" : "I");
}

void TPwdItem::Edit() {
  if (State != TItemState::Stored) return;
  RequireRights("U");
  State = TItemState::Editing;
  OperationStamp = {};
  TPwdBase* base = GetBase();
  if (base && !base->IsLoading()) base->AddSnapshot(TSnapshotKind::Modified, *this, {});
}

void TPwdItem::Post() {
  // Posting a stored item would otherwise drop an unrelated undo snapshot.
  if (State != TItemState::New && State != TItemState::Editing) return;
  const bool wasNew = State == TItemState::New;
  if (!OperationStamp.IsNull() || wasNew) BeforePost();
  State = TItemState::Stored;
  if (wasNew) LogItemChange(TChangeKind::Insert);
  TPwdBase* base = GetBase();
  if (base && !base->IsLoading()) {
    if (!OperationStamp.IsNull()) {
      if (wasNew)
        base->AddSnapshot(TSnapshotKind::Inserted, *this, OperationStamp);
      else
        base->StampLastSnapshot(OperationStamp);
      OperationStamp = {};
    } else if (!wasNew) {
      base->DropLastSnapshot();
    }
  }
  AfterPost();
}

void TPwdItem::Cancel() {
  if (State == TItemState::New) {
    State = TItemState::Discarded;
    const bool owned = OwnerList && !OwnerList->ReferenceOnly;
    UnindexTree();
    if (OwnerList) OwnerList->Remove(this);
    OwnerList = nullptr;
    if (owned) delete this;
    return;
  }
  if (State != TItemState::Editing) return;
  State = TItemState::Stored;
  TPwdBase* base = GetBase();
  if (base && !base->IsLoading()) {
    // The stamp still names the cancelled changes, whose log entries go too.
    base->RevertLastSnapshot(*this);
    OperationStamp = {};
  }
}

void TPwdItem::SetIcon(std::int32_t index) {
  if (index == IconIndex) return;
  BeginModify();
  TPwdBase* base = GetBase();
  if (base) {
    // A custom icon is logged by its id; a built-in image has none.
    const int custom = index - kBuiltinImages;
    const TGuid id = custom >= 0 && custom < base->Icons.Count() ? base->Icons.Id(custom) : TGuid{};
    base->LogChange(*this, TChangeKind::Update, -2, {}, {}, id);
  }
  IconIndex = index;
  if (base) base->SetModified(true);
  EnsureStamp();
}

void TPwdItem::RequireDeleteRights() const {
  RequireRights("D");
  if (const auto* folder = dynamic_cast<const TPwdFolder*>(this))
    for (const TPwdItem* child : folder->Items->Items()) child->RequireDeleteRights();
}

void TPwdItem::Delete() {
  if (!OwnerList) return;  // the root is freed by its owner, never deleted
  TPwdBase* base = GetBase();
  if (State != TItemState::Discarded) {
    RequireDeleteRights();
    // One stamp for the whole deletion, so that undo restores it as one.
    if (!IsLoading(base)) EnsureStamp();
  }
  PrepareDelete();
  const bool owned = !OwnerList->ReferenceOnly;
  Unlink();
  if (owned) delete this;
}

void TPwdItem::PrepareDelete() {
  TPwdBase* base = GetBase();
  const bool loading = IsLoading(base);
  if (auto* folder = dynamic_cast<TPwdFolder*>(this)) {
    // Children go first, each logging its own deletion under the folder's stamp.
    const std::vector<TPwdItem*> children = folder->Items->Items();
    for (TPwdItem* child : children) {
      if (!loading) child->OperationStamp = OperationStamp;
      child->PrepareDelete();
      child->Unlink();
      delete child;
    }
  }
  if (State == TItemState::Discarded || !OwnerList) return;
  if (!loading && base) {
    LogItemChange(TChangeKind::Delete);
    base->AddSnapshot(TSnapshotKind::Deleted, *this, OperationStamp);
  }
  if (base) base->SetModified(true);
}

void TPwdItem::Unindex() {
  TPwdBase* base = GetBase();
  if (!base || !InTree()) return;
  if (ItemType == kItemTypeRecord) {
    base->AllRecords.Remove(this);
    base->VisibleRecords.Remove(this);
  }
  base->UnindexItem(this);
}

void TPwdItem::UnindexTree() {
  if (auto* folder = dynamic_cast<TPwdFolder*>(this))
    for (TPwdItem* child : folder->Items->Items()) child->UnindexTree();
  Unindex();
}

void TPwdItem::Unlink() {
  if (!OwnerList) return;
  Unindex();
  OwnerList->Remove(this);
  OwnerList = nullptr;
}

TPwdItem* TPwdItem::CopyTo(TPwdFolder& target) {
  return CopyItemTree(*this, target, TGuid::Create(), false, true);
}

TPwdItem* TPwdItem::MoveTo(TPwdFolder& target) {
  for (const TPwdItem* at = &target; at; at = at->ParentFolder())
    if (at == this) throw TError(std::string(spwdmoveintoitself));
  return CopyItemTree(*this, target, TGuid::Create(), true, true);
}

TPwdItem* TPwdItem::CopyItemTree(TPwdItem& source, TPwdFolder& target, const TGuid& stamp,
                                 bool move, bool top) {
  if (move) source.RequireRights("D");
  target.RequireRights("I");
  // Taken before the copy exists, so that copying a folder into itself ends.
  std::vector<TPwdItem*> children;
  if (auto* folder = dynamic_cast<TPwdFolder*>(&source)) children = folder->Items->Items();

  TPwdItem* copy = target.Items->AddItem(source.ItemType, false);
  copy->OperationStamp = stamp;
  try {
    copy->Assign(source);
  } catch (...) {
    copy->Cancel();
    throw;
  }
  copy->Post();

  if (top && copy->IsFolder()) static_cast<TPwdFolder*>(copy)->FitCopiedStructure(source);
  if (auto* copyFolder = dynamic_cast<TPwdFolder*>(copy))
    for (TPwdItem* child : children) CopyItemTree(*child, *copyFolder, stamp, move, false);

  if (move) {
    source.OperationStamp = stamp;
    source.Delete();
  }
  return copy;
}

// --- TPwdItemsList ---

TPwdItemsList::TPwdItemsList(TPwdBase* base, TPwdFolder* ownerFolder, bool referenceOnly)
    : Base(base), OwnerFolder(ownerFolder), ReferenceOnly(referenceOnly) {}

TPwdItemsList::~TPwdItemsList() {
  // A reference list may outlive its items: it does not touch them.
  if (ReferenceOnly) return;
  for (TPwdItem* item : items_) {
    if (!item) continue;
    item->OwnerList = nullptr;
    delete item;
  }
}

TPwdItem* TPwdItemsList::AddItem(std::uint8_t type, bool loading, const TGuid& id) {
  if (OwnerFolder) OwnerFolder->RequireRights("I");
  std::unique_ptr<TPwdItem> item;
  if (type == kItemTypeFolder)
    item = std::make_unique<TPwdFolder>(this);
  else if (type == kItemTypeRecord)
    item = std::make_unique<TPwdPassword>(this);
  else
    throw TError(std::string(spwdunknownitemtype));
  item->ItemType = type;
  if (loading) {
    item->Guid = id;
  } else {
    item->Guid = id.IsNull() ? TGuid::Create() : id;
    item->State = TItemState::New;
  }
  TPwdItem* added = item.release();
  Append(added);
  if (Base && added->InTree()) {
    if (type == kItemTypeRecord) {
      Base->AllRecords.Append(added);
      Base->VisibleRecords.Append(added);
    }
    Base->IndexItem(added);
  }
  return added;
}

void TPwdItemsList::Clear() {
  const std::vector<TPwdItem*> items = Items();
  const bool loading = IsLoading(Base);
  for (TPwdItem* item : items) {
    if (!loading && OwnerFolder) item->OperationStamp = OwnerFolder->OperationStamp;
    if (ReferenceOnly)
      Remove(item);
    else
      item->Delete();
  }
}

void TPwdItemsList::Delete(int index) {
  if (OwnerFolder) OwnerFolder->RequireRights("D");
  TPwdItem* item = (*this)[index];
  if (ReferenceOnly)
    Remove(item);
  else
    item->Delete();
}

int TPwdItemsList::Count() const {
  Compact();
  return static_cast<int>(items_.size());
}

TPwdItem* TPwdItemsList::operator[](int index) const {
  Compact();
  return items_.at(static_cast<std::size_t>(index));
}

const std::vector<TPwdItem*>& TPwdItemsList::Items() const {
  Compact();
  return items_;
}

int TPwdItemsList::IndexOf(const TPwdItem* item) const {
  Compact();
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i] == item) return static_cast<int>(i);
  return -1;
}

int TPwdItemsList::IndexOfGuid(const TGuid& id) const {
  Compact();
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->Guid == id) return static_cast<int>(i);
  return -1;
}

void TPwdItemsList::Append(TPwdItem* item) {
  item->SetSlot(this, items_.size());
  items_.push_back(item);
}

void TPwdItemsList::Remove(const TPwdItem* item) {
  std::size_t index;
  if (!item->TakeSlot(this, index) || index >= items_.size() || items_[index] != item) {
    // Not tracked (an item in more lists than it records): search for it.
    const auto found = std::find(items_.begin(), items_.end(), item);
    if (found == items_.end()) return;
    index = static_cast<std::size_t>(found - items_.begin());
  }
  items_[index] = nullptr;
  ++holes_;
}

void TPwdItemsList::RemoveAll() {
  std::size_t index;
  for (TPwdItem* item : items_)
    if (item) item->TakeSlot(this, index);
  items_.clear();
  holes_ = 0;
}

void TPwdItemsList::Reorder(std::vector<TPwdItem*> items) {
  Compact();
  items_ = std::move(items);
  for (std::size_t i = 0; i < items_.size(); ++i) items_[i]->SetSlot(this, i);
}

void TPwdItemsList::Compact() const {
  if (holes_ == 0) return;
  std::erase(items_, nullptr);
  for (std::size_t i = 0; i < items_.size(); ++i) items_[i]->SetSlot(this, i);
  holes_ = 0;
}

void TPwdItem::SetSlot(const TPwdItemsList* list, std::size_t index) const {
  TListSlot* free = nullptr;
  for (TListSlot& slot : slots_) {
    if (slot.list == list) {
      slot.index = index;
      return;
    }
    if (!slot.list && !free) free = &slot;
  }
  if (free) *free = {list, index};
}

bool TPwdItem::TakeSlot(const TPwdItemsList* list, std::size_t& index) const {
  for (TListSlot& slot : slots_) {
    if (slot.list == list) {
      index = slot.index;
      slot = {};
      return true;
    }
  }
  return false;
}

}  // namespace corvane
