#include "engine/folder.h"

#include <unordered_set>

#include "engine/base.h"
#include "engine/messages.h"
#include "engine/sort.h"
#include "platform/error.h"

namespace corvane {

TPwdFolder::TPwdFolder(TPwdItemsList* ownerList)
    : TPwdItem(ownerList), Items(std::make_unique<TPwdItemsList>(GetBase(), this, false)) {}

TPwdFolder::~TPwdFolder() = default;

TPwdFieldsList* TPwdFolder::EffectiveStructure() const {
  if (Structure) return Structure.get();
  return TPwdItem::EffectiveStructure();
}

void TPwdFolder::LogItemChange(TChangeKind kind) {
  TPwdItem::LogItemChange(kind);
  TPwdBase* base = GetBase();
  if (!base || base->IsLoading() || !base->LogChanges || State == TItemState::New) return;
  if (kind == TChangeKind::Insert)
    base->LogChange(*this, kind, -1, {}, Name);
  else
    base->LogChange(*this, kind, -1, Name, {});
}

void TPwdFolder::SetName(const std::string& name) {
  if (name == Name) return;
  TPwdBase* base = GetBase();
  if (OwnerList && !(base && base->IsLoading())) {
    BeginModify();
    for (const TPwdItem* sibling : OwnerList->Items())
      if (sibling != this && sibling->IsFolder() &&
          static_cast<const TPwdFolder*>(sibling)->Name == name)
        throw TError(FormatMessage(spwdduplicatefoldername, name));
  }
  if (base) base->LogChange(*this, TChangeKind::Update, -1, Name, name);
  Name = name;
  if (base) base->SetModified(true);
  EnsureStamp();
}

void TPwdFolder::Assign(const TPwdItem& source) {
  TPwdItem::Assign(source);
  const auto* folder = dynamic_cast<const TPwdFolder*>(&source);
  if (!folder) return;
  // Snapshots outside the tree keep the name as it was.
  SetName(ParentFolder() ? MakeUniqueName(folder->Name) : folder->Name);
  if (folder->Structure) {
    Structure = std::make_unique<TPwdFieldsList>(this);
    Structure->AssignStructure(*folder->Structure);
  }
}

void TPwdFolder::FitCopiedStructure(const TPwdItem& source) {
  const TPwdFieldsList* sourceStructure = source.EffectiveStructure();
  const TPwdFieldsList* inherited = TPwdItem::EffectiveStructure();
  if (!Structure) {
    if (sourceStructure && inherited && !sourceStructure->SameStructure(*inherited)) {
      Structure = std::make_unique<TPwdFieldsList>(this);
      Structure->AssignStructure(*sourceStructure);
    }
  } else if (inherited && Structure->SameStructure(*inherited)) {
    Structure.reset();
  }
}

TPwdItem* TPwdFolder::FindItem(const TGuid& id, bool recursive) const {
  if (Guid == id) return const_cast<TPwdFolder*>(this);
  const TPwdBase* base = GetBase();
  if (base && InTree()) {
    // The base indexes the whole tree; keep the hit only if it lies below us.
    TPwdItem* item = base->FindItem(id);
    if (!item) return nullptr;
    if (!recursive) return item->ParentFolder() == this ? item : nullptr;
    for (const TPwdFolder* at = item->ParentFolder(); at; at = at->ParentFolder())
      if (at == this) return item;
    return nullptr;
  }
  for (TPwdItem* child : Items->Items()) {
    if (child->Guid == id) return child;
    if (recursive && child->IsFolder())
      if (TPwdItem* found = static_cast<TPwdFolder*>(child)->FindItem(id, true)) return found;
  }
  return nullptr;
}

std::string TPwdFolder::MakeUniqueName(const std::string& name) const {
  if (!OwnerList) return name;
  std::unordered_set<std::string> taken;
  for (const TPwdItem* sibling : OwnerList->Items())
    if (sibling != this && sibling->IsFolder())
      taken.insert(static_cast<const TPwdFolder*>(sibling)->Name);
  std::string candidate = name;
  for (int n = 2; taken.count(candidate); ++n)
    candidate = FormatMessage(spwduniquenameformat, name, n);
  return candidate;
}

bool TPwdFolder::StoredSortApplies() const { return HasRights("U"); }

std::int32_t TPwdFolder::ActiveSortColumn() const {
  return StoredSortApplies() ? SortColumn : LocalSortColumn;
}

bool TPwdFolder::ActiveSortDescending() const {
  return (StoredSortApplies() ? SortDescending : LocalSortDescending) != 0;
}

void TPwdFolder::SetSortColumn(std::int32_t fieldNumber) {
  if (!StoredSortApplies()) {
    LocalSortColumn = fieldNumber;
    return;
  }
  if (SortColumn == fieldNumber) return;
  SortColumn = fieldNumber;
  TPwdBase* base = GetBase();
  if (base && (base->OptionFlags & TPwdBase::kRememberSortOrder)) base->SetModified(true);
}

void TPwdFolder::SetSortDescending(bool descending) {
  const std::uint8_t value = descending ? 1 : 0;
  if (!StoredSortApplies()) {
    LocalSortDescending = value;
    return;
  }
  if (SortDescending == value) return;
  SortDescending = value;
  TPwdBase* base = GetBase();
  if (base && (base->OptionFlags & TPwdBase::kRememberSortOrder)) base->SetModified(true);
}

void TPwdFolder::SortItems(TPwdItemsList& list) {
  TPwdFieldsList* structure = EffectiveStructure();
  TPwdField* field = nullptr;
  if (structure) {
    field = structure->FieldByNumber(ActiveSortColumn());
    if (!field) field = structure->VisibleColumn(0);
  }
  SortField = field ? field->Index : -1;
  if (field) SortItemsByField(list, *field, ActiveSortDescending());
}

void TPwdFolder::CreateStructure(int mode) {
  auto structure = std::make_unique<TPwdFieldsList>(this);
  if (mode == 1) {
    structure->CreateDefaultFields();
  } else if (mode == 2) {
    if (const TPwdFieldsList* inherited = TPwdItem::EffectiveStructure()) {
      structure->AssignStructure(*inherited);
      for (int i = 0; i < structure->Count(); ++i) {
        TPwdField& field = *(*structure)[i];
        field.Number = -2 - field.Number;
      }
    }
  }
  Structure = std::move(structure);
  if (TPwdBase* base = GetBase()) base->SetModified(true);
}

}  // namespace corvane
