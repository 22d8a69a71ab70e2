#include "engine/merge_apply.h"

#include <algorithm>

#include "engine/attachments_list.h"
#include "engine/base.h"
#include "engine/secure_buffer.h"

namespace corvane {
namespace {

// The records of a merge are read and written through their structures,
// which must be bound to the record at hand first.
TPwdField* FieldByNumber(TPwdPassword& record, std::int32_t number) {
  TPwdFieldsList* fields = record.Bind();
  return fields ? fields->FieldByNumber(number) : nullptr;
}

TPwdField* FieldByKind(TPwdPassword& record, std::uint8_t kind) {
  TPwdFieldsList* fields = record.Bind();
  return fields ? fields->FieldByKind(kind) : nullptr;
}

// Reading a source record binds it to its structure; its values do not change.
TPwdPassword& Readable(const TPwdPassword& record) { return const_cast<TPwdPassword&>(record); }

void ApplyValue(const TPwdBaseChangeRec& entry, TPwdPassword& record, const TPwdPassword* source,
                std::string& oldText) {
  TPwdField* field = FieldByNumber(record, entry.FieldNumber);
  if (!field && source) {
    // The copies numbered the field differently: it is the one of the same name.
    if (const TPwdField* sourceField = FieldByNumber(Readable(*source), entry.FieldNumber)) {
      const std::string name = sourceField->Name;
      record.Bind();
      field = record.EffectiveStructure()->FieldByName(name);
    }
  }
  if (!field) return;
  record.Bind();
  std::string current = field->RevealedText();
  if (current != entry.NewText) {
    WipeString(oldText);
    oldText = current;
    field->SetAsString(entry.NewText);
  }
  WipeString(current);
}

// An attachment entry names the attachment by id: the record gets the
// source's attachment of that id (name and content), or loses its own when
// the entry removed it. An attachment the source no longer has is not made
// up in the target, where it would have no content.
void ApplyAttachment(const TPwdBaseChangeRec& entry, TPwdPassword& record, const TPwdPassword& source) {
  TPwdFilesList& files = FilesOf(record);
  TPwdFileAttach* attachment = files.Find(entry.ExtraGuid);
  if (entry.NewText.empty()) {
    if (attachment) files.Delete(files.IndexOf(attachment));
    return;
  }
  TPwdFileAttach* from = source.Files ? source.Files->Find(entry.ExtraGuid) : nullptr;
  if (!from) return;
  if (!attachment) attachment = files.Add(entry.ExtraGuid);
  attachment->Assign(*from);
}

// A structure change is made on an own structure of the folder, which starts
// as the source folder's structure when the target folder has none.
TPwdFieldsList& OwnStructure(TPwdFolder& folder, const TPwdFolder& source) {
  if (!folder.HasOwnStructure()) {
    folder.CreateStructure(0);
    if (const TPwdFieldsList* from = source.EffectiveStructure()) folder.Structure->AssignStructure(*from);
  }
  return *folder.Structure;
}

void ApplySection(const TPwdBaseChangeRec& entry, TPwdFolder& folder, const TPwdFolder& source) {
  TPwdFieldsList& structure = OwnStructure(folder, source);
  std::vector<std::string>& sections = structure.Sections;
  if (entry.OldText.empty()) {
    if (!entry.NewText.empty()) structure.SetSectionName(static_cast<int>(sections.size()), entry.NewText);
  } else {
    const auto found = std::find(sections.begin(), sections.end(), entry.OldText);
    if (found != sections.end()) structure.SetSectionName(static_cast<int>(found - sections.begin()), entry.NewText);
  }
  if (TPwdBase* base = folder.GetBase()) base->SetModified(true);
}

void CopyDefinition(const TPwdField& from, TPwdField& to) {
  to.SetName(from.Name);
  to.SetFieldType(from.FieldType);
  to.SetKind(from.Kind);
  to.SetCategory(from.Category);
  to.SetDescription(from.Description);
  to.SetPredefinedValues(from.PredefinedValues);
  to.SetPosition(from.Position);
  if (to.DefaultValue != from.DefaultValue) to.SetDefaultValue(from.DefaultValue);
  to.SetColumnPosition(from.ColumnPosition);
  to.SetColumnVisible(from.ColumnVisible);
  to.SetColumnWidth(from.ColumnWidth);
  to.SetColumnExtra(from.ColumnExtra);
}

void ApplyFieldDefinition(const TPwdBaseChangeRec& entry, TPwdFolder& folder, const TPwdFolder& source,
                          bool laterChange) {
  TPwdFieldsList& structure = OwnStructure(folder, source);
  const TPwdFieldsList* sourceStructure = source.EffectiveStructure();
  const TPwdField* from = sourceStructure ? sourceStructure->FieldByGuid(entry.ExtraGuid) : nullptr;
  if (!from && !entry.NewText.empty()) return;
  TPwdField* to = structure.FieldByGuid(entry.ExtraGuid);
  if (!to && entry.OldText.empty() && from) {
    // Values travel by field number, so the new field keeps the source's
    // number unless the target already gave that number to another field.
    const std::int32_t number = structure.FieldByNumber(from->Number) ? -1 : from->Number;
    to = structure.AddField(from->Name, from->FieldType, from->Kind, number);
    to->Guid = from->Guid;
  }
  if (!to) return;
  if (entry.NewText.empty()) {
    structure.DeleteField(to->Index);
  } else if (laterChange) {
    to->SetPosition(from->Position);
    to->SetColumnPosition(from->ColumnPosition);
    to->SetCategory(from->Category);
  } else {
    CopyDefinition(*from, *to);
  }
}

void ApplyFolderName(const TPwdBaseChangeRec& entry, TPwdFolder& folder, std::string& oldText) {
  if (folder.Name == entry.NewText) return;
  oldText = folder.Name;
  folder.SetName(entry.NewText);
}

}  // namespace

void ApplyMergeEntry(const TPwdBaseChangeRec& entry, TPwdItem& item, const TPwdItem* source,
                     bool laterChange, std::string& oldText) {
  if (entry.FieldNumber == kLogIcon) {
    if (source) item.SetIcon(MergedIconIndex(*item.GetBase(), *source->GetBase(), source->IconIndex));
    return;
  }
  if (auto* record = dynamic_cast<TPwdPassword*>(&item)) {
    const auto* sourceRecord = dynamic_cast<const TPwdPassword*>(source);
    if (entry.FieldNumber == kLogAttachment) {
      if (sourceRecord) ApplyAttachment(entry, *record, *sourceRecord);
    } else if (entry.FieldNumber >= 0) {
      ApplyValue(entry, *record, sourceRecord, oldText);
    }
    return;
  }
  auto& folder = static_cast<TPwdFolder&>(item);
  const auto* sourceFolder = dynamic_cast<const TPwdFolder*>(source);
  switch (entry.FieldNumber) {
    case kLogSection:
      if (sourceFolder) ApplySection(entry, folder, *sourceFolder);
      break;
    case kLogFieldDef:
      if (sourceFolder) ApplyFieldDefinition(entry, folder, *sourceFolder, laterChange);
      break;
    case kLogFolderName:
      ApplyFolderName(entry, folder, oldText);
      break;
    default:
      break;
  }
}

std::int32_t MergedIconIndex(TPwdBase& target, const TPwdBase& source, std::int32_t index) {
  if (index < kBuiltinImageCount) return index;
  const int icon = index - kBuiltinImageCount;
  if (icon >= source.Icons.Count()) return 0;
  int at = target.Icons.IndexOfId(source.Icons.Id(icon));
  if (at < 0) {
    if (!target.HasRights(nullptr, "A")) return 0;
    at = target.Icons.CopyIcon(source.Icons, icon);
    if (at < 0) return 0;
    target.SetModified(true);
  }
  return at + kBuiltinImageCount;
}

void KeepSourceModification(TPwdPassword& record, const TPwdPassword& source) {
  TPwdPassword& from = Readable(source);
  const TPwdField* modified = FieldByKind(from, kKindModified);
  const double date = modified ? modified->AsDate() : 0;
  const TPwdField* by = FieldByKind(from, kKindModifiedBy);
  std::string author = by ? by->RevealedText() : std::string();
  TPwdBase* base = record.GetBase();
  // The record is stored by now: the two system fields are set as the file
  // reader sets them, without a new edit, log entry or undo step.
  TPwdBase::TLoadingScope loading(*base);
  if (TPwdField* field = FieldByKind(record, kKindModified)) field->SetAsDate(date);
  if (TPwdField* field = FieldByKind(record, kKindModifiedBy)) field->SetAsString(author);
}

}  // namespace corvane
