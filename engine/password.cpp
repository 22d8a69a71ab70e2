#include "engine/password.h"

#include <algorithm>
#include <cstring>

#include "engine/attachments_list.h"
#include "engine/base.h"
#include "engine/changelog.h"
#include "engine/secure_buffer.h"
#include "platform/clock.h"

namespace corvane {
namespace {

std::int32_t ReadInt32(const std::string& area, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(area[at + i]);
  return static_cast<std::int32_t>(value);
}

void WriteInt32(std::string& area, std::size_t at, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) area[at + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

// Whether the current user may see password values of `record`.
bool MaySeePasswords(const TPwdItem& record) { return record.HasRights("VM"); }

// Whether `target` lets the user see passwords in a way `source` does not:
// in the editor ("V") or in lists ("M").
bool WidensView(const TPwdItem& source, const TPwdItem& target) {
  for (const char* letter : {"V", "M"})
    if (target.HasRights(letter) && !source.HasRights(letter)) return true;
  return false;
}

}  // namespace

TPwdPassword::TPwdPassword(TPwdItemsList* ownerList) : TPwdItem(ownerList) { IconIndex = 1; }

TPwdPassword::~TPwdPassword() {
  if (boundTo_) boundTo_->CurrentRecord = nullptr;
  WipeString(ValueArea);
}

TPwdFieldsList* TPwdPassword::Bind() {
  TPwdFieldsList* structure = EffectiveStructure();
  if (!structure) return nullptr;
  if (ValueOffsets.size() != static_cast<std::size_t>(structure->Count()))
    LayoutValues();
  else
    structure->Bind(this);
  return structure;
}

void TPwdPassword::LayoutValues() {
  TPwdFieldsList* structure = EffectiveStructure();
  if (!structure) return;
  ValueOffsets.assign(static_cast<std::size_t>(structure->Count()), 0);
  std::size_t position = 0;
  for (int i = 0; i < structure->Count(); ++i) {
    ValueOffsets[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(position);
    const std::int32_t size = (*structure)[i]->ValueSize();
    if (size > 0) {
      position += static_cast<std::size_t>(size);
      continue;
    }
    std::int32_t length = 0;
    if (position + 4 <= ValueArea.size()) {
      length = ReadInt32(ValueArea, position);
      // A damaged length may not reach past the area: it is cut to what is
      // there, so that it can never make us allocate what it claims.
      const auto remaining = static_cast<std::int64_t>(ValueArea.size() - position - 4);
      const std::int32_t fitted =
          static_cast<std::int32_t>(std::clamp<std::int64_t>(length, 0, remaining));
      if (fitted != length) WriteInt32(ValueArea, position, fitted);
      length = fitted;
    }
    position += 4 + static_cast<std::size_t>(length);
  }
  if (ValueArea.size() < position) ValueArea.resize(position, '\0');
  structure->Bind(this);
}

std::string TPwdPassword::FieldText(std::int32_t number) {
  TPwdFieldsList* structure = Bind();
  TPwdField* field = structure ? structure->FieldByNumber(number) : nullptr;
  return field ? field->AsString() : std::string();
}

std::string TPwdPassword::Title() {
  TPwdFieldsList* structure = Bind();
  TPwdField* field = structure ? structure->TitleField() : nullptr;
  return field ? field->AsString() : std::string();
}

void TPwdPassword::LogItemChange(TChangeKind kind) {
  TPwdItem::LogItemChange(kind);
  TPwdBase* base = GetBase();
  if (!base || base->IsLoading() || !base->LogChanges || State == TItemState::New) return;
  TPwdFieldsList* structure = Bind();
  if (!structure) return;
  for (int i = 0; i < structure->Count(); ++i) {
    TPwdField& field = *(*structure)[i];
    if (IsUnloggedKind(field.Kind)) continue;
    std::string text = field.RevealedText();
    if (text.empty()) continue;
    if (kind == TChangeKind::Insert)
      base->LogChange(*this, kind, field.Number, {}, text);
    else
      base->LogChange(*this, kind, field.Number, text, {});
    WipeString(text);
  }
  if (!Files) return;
  for (int i = 0; i < Files->Count(); ++i) {
    const TPwdFileAttach& file = *(*Files)[i];
    if (kind == TChangeKind::Insert)
      base->LogChange(*this, kind, kLogAttachment, {}, file.FileName, file.Guid);
    else
      base->LogChange(*this, kind, kLogAttachment, file.FileName, {}, file.Guid);
  }
}

void TPwdPassword::BeforePost() {
  const TPwdBase* base = GetBase();
  if (base && base->IsLoading()) return;
  TPwdFieldsList* structure = Bind();
  if (!structure) return;
  const double now = Clock().Now();
  // A copy keeps the creation date of its source.
  if (TPwdField* created = structure->FieldByKind(kKindCreated))
    if (created->AsDate() == 0) created->SetAsDate(now);
  if (TPwdField* modified = structure->FieldByKind(kKindModified)) modified->SetAsDate(now);
  if (TPwdField* by = structure->FieldByKind(kKindModifiedBy))
    if (base) by->SetAsString(base->CurrentUserName);
}

void TPwdPassword::Assign(const TPwdItem& source) {
  TPwdItem::Assign(source);
  if (const auto* record = dynamic_cast<const TPwdPassword*>(&source)) {
    AssignValues(*record);
    AutoFill.Assign(record->AutoFill);
    AssignFiles(*record);
  }
}

void TPwdPassword::AssignValues(const TPwdPassword& constSource) {
  // Reading the source binds it to its structure; its values do not change.
  auto& source = const_cast<TPwdPassword&>(constSource);
  TPwdFieldsList* from = source.InTree() ? source.Bind() : nullptr;
  TPwdFieldsList* to = InTree() ? Bind() : nullptr;
  const bool sourceHidden = !MaySeePasswords(source);

  if (!from || !to || from == to || from->SameStructure(*to)) {
    ValueArea = source.ValueArea;
    ValueOffsets.clear();
    if (TPwdBase* base = GetBase()) base->SetModified(true);
    if (!to) return;
    LayoutValues();
    const bool otherBase = source.GetBase() != GetBase();
    if (sourceHidden && (otherBase || WidensView(source, *this)))
      for (int i = 0; i < to->Count(); ++i)
        if ((*to)[i]->Kind == kKindPassword) (*to)[i]->SetAsString({});
    return;
  }
  PairFields(*from, *to, sourceHidden);
}

void TPwdPassword::AssignFiles(const TPwdPassword& source) {
  const bool visible = source.Files && source.Files->Count() > 0 && source.HasRights("");
  // Extracting files needs "S": a copy may not hand them to a place where
  // the user could extract them when the source does not let him.
  const bool locked = !source.HasRights("S") && (source.GetBase() != GetBase() || HasRights("S"));
  Files.reset();
  if (!visible || locked) return;
  // Snapshots and their restorations keep the attachments' ids.
  const bool sameIds = !InTree() || !source.InTree();
  TPwdFilesList& files = FilesOf(*this);
  for (int i = 0; i < source.Files->Count(); ++i) {
    TPwdFileAttach& file = *(*source.Files)[i];
    files.Add(sameIds ? file.Guid : TGuid{})->Assign(file);
  }
}

void TPwdPassword::PairFields(TPwdFieldsList& from, TPwdFieldsList& to,
                              bool hidePasswords) {
  std::vector<bool> sourcePaired(static_cast<std::size_t>(from.Count()), false);
  std::vector<bool> targetPaired(static_cast<std::size_t>(to.Count()), false);
  auto isFree = [&](const TPwdField* field) {
    return field && !targetPaired[static_cast<std::size_t>(field->Index)];
  };
  auto firstFreeOfKind = [&](std::uint8_t kind) -> TPwdField* {
    if (kind == 0) return nullptr;
    for (int i = 0; i < to.Count(); ++i)
      if (isFree(to[i]) && to[i]->Kind == kind) return to[i];
    return nullptr;
  };
  auto firstFreeIn = [&](const std::vector<std::int32_t>& order) -> TPwdField* {
    for (std::int32_t index : order)
      if (index >= 0 && isFree(to[index])) return to[index];
    return nullptr;
  };
  auto copy = [&](TPwdField& sourceField, TPwdField& targetField) {
    sourcePaired[static_cast<std::size_t>(sourceField.Index)] = true;
    targetPaired[static_cast<std::size_t>(targetField.Index)] = true;
    if (sourceField.Kind == kKindPassword && hidePasswords) {
      targetField.SetAsString({});
    } else if (sourceField.FieldType == targetField.FieldType) {
      // Same type: the bytes give the same text and keep a date's time of day.
      std::string bytes = sourceField.StoredBytes();
      targetField.SetRawValue(bytes);
      WipeString(bytes);
    } else {
      std::string text = sourceField.RevealedText();
      targetField.SetAsString(text);
      WipeString(text);
    }
  };

  // Pass 1: by name (system fields by kind), else by kind.
  for (int column = 0; column < from.Count(); ++column) {
    TPwdField* field = from.FieldByColumn(column);
    if (!field) continue;
    TPwdField* target = field->Kind >= kKindCreated ? to.FieldByKind(field->Kind)
                                                     : to.FieldByName(field->Name);
    if (!isFree(target)) target = firstFreeOfKind(field->Kind);
    if (target) copy(*field, *target);
  }
  // Pass 2: the rest by kind, else by visible column, else by column.
  for (int column = 0; column < from.Count(); ++column) {
    TPwdField* field = from.FieldByColumn(column);
    if (!field || sourcePaired[static_cast<std::size_t>(field->Index)]) continue;
    TPwdField* target = firstFreeOfKind(field->Kind);
    if (!target && field->ColumnVisible) target = firstFreeIn(to.VisibleColumns);
    if (!target) target = firstFreeIn(to.ColumnMap);
    if (target) copy(*field, *target);
  }
}

}  // namespace corvane
