#include "engine/base.h"

#include "engine/attachments_list.h"
#include "engine/messages.h"

namespace corvane {

TPwdBase::TPwdBase()
    : TPwdFolder(nullptr), AllRecords(this, nullptr, true), VisibleRecords(this, nullptr, true) {
  {
    TLoadingScope loading(*this);
    Items->Base = this;
    ItemType = kItemTypeFolder;
    CurrentIdentities = {TGuid{}};
    Guid = TGuid::Create();
    CreateUsersAndLog();
    Structure = std::make_unique<TPwdFieldsList>(this);
    Structure->CreateDefaultFields();
  }
  CreateDefaultUser();
}

TPwdBase::~TPwdBase() {
  // Freeing the tree neither checks, logs nor snapshots anything.
  ++LoadingCount;
  index_.Clear();
  AllRecords.RemoveAll();
  VisibleRecords.RemoveAll();
}

TPwdBase* TPwdBase::GetBase() const { return const_cast<TPwdBase*>(this); }

void TPwdBase::SetName(const std::string& name) {
  if (name == Name) return;
  RequireRights(this, "A");
  TPwdFolder::SetName(name);
}

void TPwdBase::SetModified(bool flag) {
  if (LoadingCount == 0) Modified = flag ? 1 : 0;
}

bool TPwdBase::CanModify() const {
  if (ReadOnly) return false;
  if (HasRights(this, "IUD", false)) return true;
  // Depth-first, for an item with its own permissions that allow a change.
  std::vector<const TPwdItem*> pending(Items->Items().rbegin(), Items->Items().rend());
  while (!pending.empty()) {
    const TPwdItem* item = pending.back();
    pending.pop_back();
    if (item->Permissions && HasRights(item, "IUD", false)) return true;
    if (item->IsFolder()) {
      const auto& children = static_cast<const TPwdFolder*>(item)->Items->Items();
      pending.insert(pending.end(), children.rbegin(), children.rend());
    }
  }
  return false;
}

void TPwdBase::FilterRecords(TRecordFilter filter) {
  RecordFilter = std::move(filter);
  VisibleRecords.RemoveAll();
  VisibleRecordsHaveFiles = false;
  const bool seesAll = HasRights(this, "A");
  for (TPwdItem* item : AllRecords.Items()) {
    const auto& record = static_cast<const TPwdPassword&>(*item);
    if (!seesAll && !HasRights(&record, "")) continue;
    if (RecordFilter && !RecordFilter(record)) continue;
    VisibleRecords.Append(item);
    if (record.Files && record.Files->Count() > 0) VisibleRecordsHaveFiles = true;
  }
}

TPwdItem* TPwdBase::FindItem(const TGuid& id) const {
  if (id == Guid) return const_cast<TPwdBase*>(this);
  return index_.Find(id);
}

void TPwdBase::IndexItem(TPwdItem* item) { index_.Insert(item->Guid, item); }

void TPwdBase::UnindexItem(const TPwdItem* item) { index_.Erase(item->Guid, item); }

}  // namespace corvane
