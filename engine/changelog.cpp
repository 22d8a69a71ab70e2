#include "engine/changelog.h"

#include "engine/base.h"
#include "engine/messages.h"
#include "engine/secure_buffer.h"
#include "platform/clock.h"

namespace corvane {

std::string_view ChangeKindName(TChangeKind kind) {
  switch (kind) {
    case TChangeKind::Insert: return spwdchangeinsert;
    case TChangeKind::Update: return spwdchangeupdate;
    case TChangeKind::Delete: return spwdchangedelete;
  }
  return {};
}

TPwdBaseChangeRec::~TPwdBaseChangeRec() {
  WipeString(OldText);
  WipeString(NewText);
}

TPwdBaseChangeRec& TPwdBaseChangesLog::Add() {
  items_.push_back(std::make_unique<TPwdBaseChangeRec>());
  return *items_.back();
}

void TPwdBaseChangesLog::Delete(int index) { items_.erase(items_.begin() + index); }

void TPwdBaseChangesLog::Clear() { items_.clear(); }

void TPwdBaseChangesLog::DeleteOperation(const TGuid& stamp) {
  std::erase_if(items_, [&](const auto& rec) { return rec->OperationStamp == stamp; });
}

void TEngineDeleter::operator()(TPwdBaseChangesLog* log) const noexcept { delete log; }

void TPwdBase::LogChange(TPwdItem& item, TChangeKind kind, std::int32_t fieldNumber, std::string_view oldText,
                         std::string_view newText, const TGuid& extra) {
  // The stamp ties the operation's entries and its undo snapshot together,
  // so it is set even when nothing is written.
  if (item.OperationStamp.IsNull()) item.OperationStamp = TGuid::Create();
  if (LoadingCount > 0 || !LogChanges || !ChangesLog || item.State == TItemState::New) return;
  TPwdBaseChangeRec& rec = ChangesLog->Add();
  rec.OperationStamp = item.OperationStamp;
  rec.Timestamp = Clock().Now();
  rec.UserGuid = CurrentIdentities.empty() ? TGuid{} : CurrentIdentities.front();
  rec.UserName = CurrentUserName;
  rec.ChangeKind = kind;
  rec.ItemGuid = item.Guid;
  if (const TPwdFolder* parent = item.ParentFolder()) rec.ParentGuid = parent->Guid;
  rec.FieldNumber = fieldNumber;
  rec.OldText = oldText;
  rec.NewText = newText;
  rec.ExtraGuid = extra;
}

int TPwdBaseChangesLog::DeleteLastOperation(const TGuid& stamp) {
  auto matches = [&](std::size_t i) { return items_[i - 1]->OperationStamp == stamp; };
  std::size_t end = items_.size();
  while (end > 0 && !matches(end)) --end;
  std::size_t begin = end;
  while (begin > 0 && matches(begin)) --begin;
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(begin), items_.begin() + static_cast<std::ptrdiff_t>(end));
  return static_cast<int>(end - begin);
}

}  // namespace corvane
