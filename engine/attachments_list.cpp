#include "engine/attachments_list.h"

#include <algorithm>

#include "engine/attachments_archive.h"
#include "engine/base.h"
#include "engine/changelog.h"

namespace corvane {

TPwdFilesList::~TPwdFilesList() = default;

TPwdFileAttach* TPwdFilesList::Find(const TGuid& guid) const {
  for (const auto& item : items_)
    if (item->Guid == guid) return item.get();
  return nullptr;
}

int TPwdFilesList::IndexOf(const TPwdFileAttach* attachment) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == attachment) return static_cast<int>(i);
  return -1;
}

TPwdFileAttach* TPwdFilesList::Add(const TGuid& guid) {
  TPwdBase* base = Record ? Record->GetBase() : nullptr;
  const bool loading = base && base->IsLoading();
  if (Record && !loading) Record->RequireRights("L");
  items_.push_back(std::make_unique<TPwdFileAttach>(this, guid));
  if (base && !loading) FilesArchiveOf(*base).Changed = true;
  return items_.back().get();
}

void TPwdFilesList::Delete(int index) {
  TPwdFileAttach& attachment = *(*this)[index];
  TPwdBase* base = Record ? Record->GetBase() : nullptr;
  if (Record) Record->RequireRights("L");
  if (base) {
    base->LogChange(*Record, TChangeKind::Update, kLogAttachment, attachment.FileName, "", attachment.Guid);
    FilesArchiveOf(*base).Changed = true;
    base->SetModified(true);
  }
  items_.erase(items_.begin() + index);
}

TPwdFilesList& FilesOf(TPwdPassword& record) {
  if (!record.Files) record.Files = std::make_shared<TPwdFilesList>(&record);
  return *record.Files;
}

}  // namespace corvane
