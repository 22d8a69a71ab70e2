#include "app/field_structure_edit.h"

#include <algorithm>
#include <numeric>
#include <set>

#include "app/field_properties.h"
#include "app/field_structure_messages.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

// A field of the list with its texts in engine text.
struct TPlannedField {
  const TPwdFieldRec* rec;
  std::string name, description, defaultValue, values;
};

// The identifier the editor gives `field` of the structure it shows.
std::int32_t EditorId(const TPwdField& field, bool copied) { return copied ? -2 - field.Number : field.Number; }

// The number the person knows for an identifier of the list.
std::int32_t ShownNumber(std::int32_t identifier) { return identifier < kNewFieldId ? -2 - identifier : identifier; }

const TPwdField* FieldWithId(const TPwdFieldsList& structure, std::int32_t identifier, bool copied) {
  for (int i = 0; i < structure.Count(); ++i)
    if (EditorId(*structure[i], copied) == identifier) return structure[i];
  return nullptr;
}

std::vector<std::string> CheckedSections(const std::vector<std::string>& sections) {
  std::vector<std::string> checked;
  for (const std::string& name : sections) checked.push_back(Utf8ToAnsi(CheckSectionName(name)));
  return checked;
}

// The checks of one field that the editor's controls make impossible.
void CheckChoices(const TPwdFieldRec& rec, const TPwdField* existing) {
  if (existing && IsPredefinedKind(existing->Kind)) {
    if (rec.fieldType != existing->FieldType || rec.subtype != existing->Kind)
      throw TError(FormatMessage(sfieldspredefinedfixed, rec.name));
    return;
  }
  if (!IsOfferedFieldType(rec.fieldType) && !(existing && existing->FieldType == rec.fieldType))
    throw TError(FormatMessage(sfieldstypenotoffered, rec.name, static_cast<int>(rec.fieldType)));
  if (rec.subtype >= kOfferedKindCount && !(existing && existing->Kind == rec.subtype))
    throw TError(FormatMessage(sfieldskindnotoffered, rec.name, static_cast<int>(rec.subtype)));
}

// Checks every field of `edit` against `structure` and returns them in engine
// text; throws before anything has changed.
std::vector<TPlannedField> CheckedFields(TFieldStructureEdit& edit, const TPwdFieldsList& structure, bool copied) {
  std::vector<TPlannedField> planned;
  std::set<std::int32_t> listed;
  for (std::size_t i = 0; i < edit.fields.size(); ++i) {
    TPwdFieldRec& rec = edit.fields[i];
    try {
      const TPwdField* existing = nullptr;
      if (rec.identifier != kNewFieldId) {
        existing = FieldWithId(structure, rec.identifier, copied);
        if (!existing) throw TError(FormatMessage(sfieldsunknownnumber, ShownNumber(rec.identifier)));
        if (!listed.insert(rec.identifier).second)
          throw TError(FormatMessage(sfieldsnumbertwice, ShownNumber(rec.identifier)));
      }
      CheckChoices(rec, existing);
      CheckFieldProperties(rec);
      planned.push_back({&rec, Utf8ToAnsi(rec.name), Utf8ToAnsi(rec.description), Utf8ToAnsi(rec.defaultValue),
                         Utf8ToAnsi(rec.values)});
    } catch (const TError& error) {
      throw TFieldRecError(error.what(), i);
    }
  }
  // The program fills its own fields in; the editor offers no way to delete them.
  for (int i = 0; i < structure.Count(); ++i) {
    const TPwdField& field = *structure[i];
    if (IsPredefinedKind(field.Kind) && !listed.count(EditorId(field, copied)))
      throw TError(FormatMessage(sfieldspredefinedkept, AnsiToUtf8(field.Name)));
  }
  return planned;
}

void ApplySections(TPwdFieldsList& structure, const std::vector<std::string>& sections) {
  const int count = static_cast<int>(sections.size());
  for (int i = 0; i < count; ++i) structure.SetSectionName(i, sections[static_cast<std::size_t>(i)]);
  while (static_cast<int>(structure.Sections.size()) > count) structure.SetSectionName(count, {});
}

void DeleteUnlisted(TPwdFieldsList& structure, const std::vector<TPlannedField>& planned) {
  std::set<std::int32_t> kept;
  for (const TPlannedField& field : planned) kept.insert(field.rec->identifier);
  for (int i = structure.Count() - 1; i >= 0; --i)
    if (!kept.count(structure[i]->Number)) structure.DeleteField(i);
}

void ApplyField(TPwdFieldsList& structure, const TPlannedField& planned, std::int32_t order) {
  const TPwdFieldRec& rec = *planned.rec;
  TPwdField* field;
  if (rec.identifier == kNewFieldId) {
    field = structure.AddField(planned.name, rec.fieldType, rec.subtype);
  } else {
    // The copy of an inherited structure holds the editor's identifiers as numbers.
    field = structure.FieldByNumber(rec.identifier);
    field->SetName(planned.name);
    field->SetFieldType(rec.fieldType);
    field->SetKind(rec.subtype);
    if (field->Number < kNewFieldId) field->AssignNewNumber();
  }
  field->SetCategory(rec.section);
  if (!IsPredefinedKind(field->Kind)) {
    field->SetDescription(planned.description);
    field->SetDefaultValue(planned.defaultValue);
    field->SetPredefinedValues(planned.values);
  }
  field->SetPosition(order);
}

// The editor's order: by section, then order.
bool ListedBefore(const TPwdFieldRec& a, const TPwdFieldRec& b) {
  return a.section != b.section ? a.section < b.section : a.order < b.order;
}

// One commit is one operation: the structure's change-log entries share a
// fresh stamp, so that each field is logged once per commit.
class TOperationScope {
 public:
  explicit TOperationScope(TPwdFolder& folder) : folder_(folder) { folder_.OperationStamp = TGuid::Create(); }
  ~TOperationScope() { folder_.OperationStamp = {}; }
  TOperationScope(const TOperationScope&) = delete;
  TOperationScope& operator=(const TOperationScope&) = delete;

 private:
  TPwdFolder& folder_;
};

}  // namespace

TFieldStructureEdit ReadFieldStructureEdit(const TPwdFolder& folder) {
  TFieldStructureEdit edit;
  const TPwdFieldsList* structure = folder.EffectiveStructure();
  if (!structure) return edit;
  const bool copied = !folder.HasOwnStructure();
  for (const std::string& section : structure->Sections) edit.sections.push_back(AnsiToUtf8(section));
  const std::size_t sections = structure->Sections.size();
  for (int i = 0; i < structure->Count(); ++i) {
    const TPwdField& field = *structure->DisplayField(i);
    TPwdFieldRec rec;
    rec.name = AnsiToUtf8(field.Name);
    rec.fieldType = field.FieldType;
    rec.subtype = field.Kind;
    rec.identifier = EditorId(field, copied);
    rec.order = field.Position;
    rec.section = sections > 0 ? std::min<std::uint8_t>(field.Category, static_cast<std::uint8_t>(sections - 1))
                               : field.Category;
    rec.description = AnsiToUtf8(field.Description);
    // An empty default stays empty (a Float's would show as "0").
    rec.defaultValue = field.DefaultValue.empty() ? std::string() : AnsiToUtf8(field.DefaultValueText());
    rec.values = AnsiToUtf8(field.PredefinedValues);
    edit.fields.push_back(std::move(rec));
  }
  return edit;
}

std::size_t SortFieldRecs(std::vector<TPwdFieldRec>& fields, std::size_t follow) {
  std::vector<std::size_t> rows(fields.size());
  std::iota(rows.begin(), rows.end(), std::size_t{0});
  std::stable_sort(rows.begin(), rows.end(),
                   [&](std::size_t a, std::size_t b) { return ListedBefore(fields[a], fields[b]); });
  std::vector<TPwdFieldRec> sorted;
  sorted.reserve(fields.size());
  std::size_t followed = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i] == follow) followed = i;
    sorted.push_back(std::move(fields[rows[i]]));
  }
  fields = std::move(sorted);
  return followed;
}

void CommitFieldStructureEdit(TPwdBase& base, const TGuid& folderId, TFieldStructureEdit edit) {
  TPwdItem* item = base.FindItem(folderId);
  if (!item || !item->IsFolder()) throw TError(std::string(sfieldsfolderdeleted));
  auto& folder = static_cast<TPwdFolder&>(*item);
  folder.RequireRights("A");
  const TPwdFieldsList& current = *folder.EffectiveStructure();
  const bool copied = !folder.HasOwnStructure();

  const std::vector<std::string> sections = CheckedSections(edit.sections);
  std::vector<TPlannedField> planned = CheckedFields(edit, current, copied);
  std::stable_sort(planned.begin(), planned.end(),
                   [](const TPlannedField& a, const TPlannedField& b) { return ListedBefore(*a.rec, *b.rec); });

  TOperationScope operation(folder);
  if (copied) folder.CreateStructure(2);
  TPwdFieldsList& structure = *folder.Structure;
  ApplySections(structure, sections);
  DeleteUnlisted(structure, planned);
  for (std::size_t i = 0; i < planned.size(); ++i) ApplyField(structure, planned[i], static_cast<std::int32_t>(i));
}

}  // namespace corvane
