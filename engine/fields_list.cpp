// The field structure: fields, sections, column maps and the editor's order.

#include <algorithm>
#include <set>

#include "engine/base.h"
#include "engine/field_descs.h"
#include "engine/fields.h"
#include "engine/messages.h"
#include "platform/locale.h"

namespace corvane {

TPwdFieldsList::TPwdFieldsList(TPwdFolder* ownerFolder) : OwnerFolder(ownerFolder) {}

TPwdFieldsList::~TPwdFieldsList() { Bind(nullptr); }

TPwdBase* TPwdFieldsList::Base() const { return OwnerFolder ? OwnerFolder->GetBase() : nullptr; }

void TPwdFieldsList::Bind(TPwdPassword* record) {
  if (CurrentRecord == record) return;
  if (CurrentRecord) CurrentRecord->boundTo_ = nullptr;
  if (record) {
    if (record->boundTo_) record->boundTo_->CurrentRecord = nullptr;
    record->boundTo_ = this;
  }
  CurrentRecord = record;
}

void TPwdFieldsList::SetDefaultSections() {
  Sections = {std::string(spwdsectiongeneral), std::string(spwdsectionadvanced)};
  InvalidateCaches();
}

void TPwdFieldsList::CreateDefaultFields() {
  SetDefaultSections();
  for (const TDbFieldDescRec& desc : kBuiltinFields) {
    TPwdField* field = AddField(std::string(desc.DisplayName), desc.FieldType, desc.Kind, desc.Number);
    field->ColumnWidth = desc.Width;
    field->SetSystemDescription();
    field->Position = desc.Position;
    field->Category = desc.Category;
  }
  InvalidateCaches();
}

std::int32_t TPwdFieldsList::NextFieldNumber(std::int32_t requested) {
  TPwdBase* base = Base();
  std::int32_t last = 0;
  if (base) {
    last = base->LastFieldNumber;
  } else {
    // A free structure numbers on from its own fields.
    for (const auto& field : fields_) last = std::max(last, field->Number);
  }
  const std::int32_t number = requested == -1 ? last + 1 : requested;
  if (base) base->LastFieldNumber = std::max(base->LastFieldNumber, number);
  return number;
}

TPwdField* TPwdFieldsList::AddField(const std::string& name, std::uint8_t fieldType,
                                    std::uint8_t kind, std::int32_t number) {
  if (OwnerFolder) OwnerFolder->RequireRights("A");
  auto field = std::make_unique<TPwdField>(this);
  field->Number = NextFieldNumber(number);
  field->Index = Count();
  const TPwdBase* base = Base();
  if (!(base && base->IsLoading())) field->Guid = TGuid::Create();
  TPwdField* added = field.get();
  fields_.push_back(std::move(field));
  added->LogDefinitionChange({}, name);
  added->Position = added->Index;
  added->ColumnPosition = added->Index;
  added->Name = name;
  added->FieldType = fieldType;
  added->Kind = kind;
  added->SetSystemDescription();
  RebuildColumnMaps();
  if (TPwdBase* owner = Base()) owner->SetModified(true);
  return added;
}

void TPwdFieldsList::DeleteField(int index) {
  if (OwnerFolder) OwnerFolder->RequireRights("A");
  TPwdField& doomed = *fields_.at(static_cast<std::size_t>(index));
  const auto slot = static_cast<std::size_t>(index);
  ForEachRecord([&](TPwdPassword& record) {
    record.Bind();
    std::vector<std::int32_t>& offsets = record.ValueOffsets;
    const auto begin = static_cast<std::size_t>(offsets[slot]);
    const std::size_t end =
        slot + 1 < offsets.size() ? static_cast<std::size_t>(offsets[slot + 1]) : record.ValueArea.size();
    record.ValueArea.erase(begin, end - begin);
    offsets.erase(offsets.begin() + index);
    for (std::size_t i = slot; i < offsets.size(); ++i)
      offsets[i] -= static_cast<std::int32_t>(end - begin);
  });
  for (const auto& field : fields_) {
    if (field.get() == &doomed) continue;
    if (field->Index > doomed.Index) --field->Index;
    if (field->ColumnPosition > doomed.ColumnPosition) --field->ColumnPosition;
    if (field->Position > doomed.Position) --field->Position;
  }
  doomed.LogDefinitionChange(doomed.Name, {});
  fields_.erase(fields_.begin() + index);
  RebuildColumnMaps();
  if (TPwdBase* base = Base()) base->SetModified(true);
}

void TPwdFieldsList::Clear() {
  fields_.clear();
  Sections.clear();
  RebuildColumnMaps();
}

void TPwdFieldsList::AssignStructure(const TPwdFieldsList& other) {
  if (&other == this) return;
  fields_.clear();
  Sections = other.Sections;
  for (const auto& source : other.fields_) {
    auto field = std::make_unique<TPwdField>(this);
    field->Index = Count();
    field->FieldType = source->FieldType;
    field->Kind = source->Kind;
    field->Name = source->Name;
    field->Number = source->Number;
    field->ColumnPosition = source->ColumnPosition;
    field->ColumnVisible = source->ColumnVisible;
    field->ColumnWidth = source->ColumnWidth;
    field->Category = other.Sections.empty()
                          ? source->Category
                          : std::min<std::uint8_t>(source->Category,
                                                   static_cast<std::uint8_t>(other.Sections.size() - 1));
    field->Description = source->Description;
    field->Position = source->Position;
    field->DefaultValue = source->DefaultValue;
    field->PredefinedValues = source->PredefinedValues;
    field->Guid = source->Guid;
    fields_.push_back(std::move(field));
  }
  RebuildColumnMaps();
  if (TPwdBase* base = Base()) {
    // Copied numbers (from another database, say) must not be handed out again.
    for (const auto& field : fields_) base->LastFieldNumber = std::max(base->LastFieldNumber, field->Number);
    base->SetModified(true);
  }
}

bool TPwdFieldsList::SameStructure(const TPwdFieldsList& other) const {
  if (Count() != other.Count() || Sections != other.Sections) return false;
  for (int i = 0; i < Count(); ++i) {
    const TPwdField& a = *fields_[static_cast<std::size_t>(i)];
    const TPwdField& b = *other.fields_[static_cast<std::size_t>(i)];
    if (a.FieldType != b.FieldType || a.Kind != b.Kind || a.Position != b.Position || a.Name != b.Name)
      return false;
  }
  return true;
}

// --- Lookups ---

TPwdField* TPwdFieldsList::FieldByNumber(std::int32_t number) const {
  for (const auto& field : fields_)
    if (field->Number == number) return field.get();
  return nullptr;
}

TPwdField* TPwdFieldsList::FieldByName(std::string_view name) const {
  for (const auto& field : fields_)
    if (CompareTextIgnoreCase(field->Name, name) == 0) return field.get();
  return nullptr;
}

TPwdField* TPwdFieldsList::FieldByKind(std::uint8_t kind) const {
  for (const auto& field : fields_)
    if (field->Kind == kind) return field.get();
  return nullptr;
}

TPwdField* TPwdFieldsList::FieldByGuid(const TGuid& id) const {
  for (const auto& field : fields_)
    if (field->Guid == id) return field.get();
  return nullptr;
}

TPwdField* TPwdFieldsList::FieldByColumn(int position) const {
  if (position < 0 || position >= static_cast<int>(ColumnMap.size())) return nullptr;
  const std::int32_t index = ColumnMap[static_cast<std::size_t>(position)];
  return index < 0 ? nullptr : fields_[static_cast<std::size_t>(index)].get();
}

TPwdField* TPwdFieldsList::VisibleColumn(int i) const {
  if (i < 0 || i >= static_cast<int>(VisibleColumns.size())) return nullptr;
  const std::int32_t index = VisibleColumns[static_cast<std::size_t>(i)];
  return index < 0 ? nullptr : fields_[static_cast<std::size_t>(index)].get();
}

TPwdField* TPwdFieldsList::DisplayField(int i) const {
  if (!displayOrderValid_) {
    displayOrder_.clear();
    for (const auto& field : fields_) displayOrder_.push_back(field.get());
    const std::size_t sections = Sections.size();
    auto category = [sections](const TPwdField* field) {
      return sections > 0 ? std::min<std::size_t>(field->Category, sections - 1) : field->Category;
    };
    std::stable_sort(displayOrder_.begin(), displayOrder_.end(),
                     [&](const TPwdField* a, const TPwdField* b) {
                       if (category(a) != category(b)) return category(a) < category(b);
                       return a->Position < b->Position;
                     });
    displayOrderValid_ = true;
  }
  if (i < 0 || i >= static_cast<int>(displayOrder_.size())) return nullptr;
  return displayOrder_[static_cast<std::size_t>(i)];
}

TPwdField* TPwdFieldsList::TitleField() const {
  if (titleFieldValid_) return titleField_;
  TPwdField* secret = nullptr;
  TPwdField* other = nullptr;
  titleField_ = nullptr;
  for (int i = 0; i < Count() && !titleField_; ++i) {
    TPwdField* field = DisplayField(i);
    if (field->FieldType != kFieldString) {
      if (!other) other = field;
    } else if (field->Kind == kKindPassword || field->Kind == kKindUrl) {
      if (!secret) secret = field;
    } else {
      titleField_ = field;
    }
  }
  if (!titleField_) titleField_ = secret ? secret : other;
  titleFieldValid_ = true;
  return titleField_;
}

// --- Sections ---

void TPwdFieldsList::SetSectionName(int index, const std::string& text) {
  if (index < 0) return;
  TPwdBase* base = Base();
  auto log = [&](const std::string& oldText) {
    if (base && OwnerFolder) base->LogChange(*OwnerFolder, TChangeKind::Update, -5, oldText, text);
    if (base) base->SetModified(true);
  };
  const auto slot = static_cast<std::size_t>(index);
  if (slot < Sections.size()) {
    if (Sections[slot] == text) return;
    const std::string oldText = Sections[slot];
    if (text.empty())
      Sections.erase(Sections.begin() + index);
    else
      Sections[slot] = text;
    log(oldText);
  } else {
    while (Sections.size() <= slot) {
      Sections.push_back(text);
      log({});
    }
  }
  InvalidateCaches();
}

// --- Column maps ---

void TPwdFieldsList::RebuildColumnMaps() {
  const std::size_t count = fields_.size();
  for (;;) {
    ColumnMap.assign(count, -1);
    VisibleColumns.assign(count, -1);
    bool clash = false;
    for (const auto& field : fields_) {
      const std::int32_t position = field->ColumnPosition;
      // A position past the columns counts as a clash too: it has no slot.
      if (position < 0 || static_cast<std::size_t>(position) >= count ||
          ColumnMap[static_cast<std::size_t>(position)] != -1) {
        clash = true;
        break;
      }
      ColumnMap[static_cast<std::size_t>(position)] = field->Index;
      VisibleColumns[static_cast<std::size_t>(position)] = field->ColumnVisible ? field->Index : -1;
    }
    if (!clash) break;
    // Repair: a field sharing its position (or without a valid one) moves
    // to the smallest position that no field uses.
    for (const auto& field : fields_) {
      std::set<std::int32_t> others;
      bool shared = false;
      for (const auto& other : fields_) {
        if (other == field) continue;
        others.insert(other->ColumnPosition);
        shared = shared || other->ColumnPosition == field->ColumnPosition;
      }
      const bool valid = field->ColumnPosition >= 0 && static_cast<std::size_t>(field->ColumnPosition) < count;
      if (!shared && valid) continue;
      std::int32_t free = 0;
      while (others.count(free)) ++free;
      field->ColumnPosition = free;
    }
  }
  std::erase(VisibleColumns, -1);
  VisibleColumns.resize(count, -1);
  InvalidateCaches();
}

void TPwdFieldsList::InvalidateCaches() {
  displayOrderValid_ = false;
  titleFieldValid_ = false;
  titleField_ = nullptr;
}

void TPwdFieldsList::CollectRecords(const TPwdFolder& folder, std::vector<TPwdPassword*>& out) const {
  for (TPwdItem* item : folder.Items->Items()) {
    if (!item->IsFolder())
      out.push_back(static_cast<TPwdPassword*>(item));
    else if (!static_cast<TPwdFolder*>(item)->Structure)
      CollectRecords(*static_cast<TPwdFolder*>(item), out);
  }
}

}  // namespace corvane
