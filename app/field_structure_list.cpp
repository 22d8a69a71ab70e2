#include "app/field_structure_list.h"

#include <algorithm>

#include "app/field_properties.h"

namespace corvane {

namespace {

// The row to select after a removal from a list of `count` left.
std::size_t RowAfterRemoval(std::size_t row, std::size_t count) { return count == 0 ? 0 : std::min(row, count - 1); }

// One more than the order of the last record of `section`, searched from the
// end of the list; 0 for an empty section. `except` is not counted.
std::int32_t OrderAtEnd(const std::vector<TPwdFieldRec>& fields, std::uint8_t section, const TPwdFieldRec* except) {
  for (auto it = fields.rbegin(); it != fields.rend(); ++it)
    if (it->section == section && &*it != except) return it->order + 1;
  return 0;
}

}  // namespace

bool FieldDeletable(const TPwdFieldRec& rec) { return !IsPredefinedKind(rec.subtype); }

bool FieldDeleteAsks(const TPwdFieldRec& rec) { return rec.identifier != kNewFieldId; }

std::size_t ApplyFieldProperties(TFieldStructureEdit& edit, const TPwdFieldRec& dialog,
                                 std::optional<std::size_t> row) {
  TPwdFieldRec added;
  TPwdFieldRec& rec = row ? edit.fields.at(*row) : added;
  rec.name = dialog.name;
  if (!row || dialog.section != rec.section) rec.order = OrderAtEnd(edit.fields, dialog.section, &rec);
  rec.section = dialog.section;
  if (!IsPredefinedKind(rec.subtype)) {
    rec.fieldType = dialog.fieldType;
    // Only a String field has options.
    if (dialog.fieldType == kFieldString) rec.subtype = dialog.subtype;
    rec.description = dialog.description;
    rec.defaultValue = dialog.defaultValue;
    rec.values = dialog.values;
  }
  if (row) return SortFieldRecs(edit.fields, *row);
  added.identifier = kNewFieldId;
  edit.fields.push_back(std::move(added));
  return SortFieldRecs(edit.fields, edit.fields.size() - 1);
}

std::size_t DeleteFieldRow(TFieldStructureEdit& edit, std::size_t row) {
  edit.fields.erase(edit.fields.begin() + static_cast<std::ptrdiff_t>(row));
  return RowAfterRemoval(row, edit.fields.size());
}

std::size_t MoveFieldRow(TFieldStructureEdit& edit, std::size_t row, bool up) {
  if (up ? row == 0 : row + 1 >= edit.fields.size()) return row;
  const std::size_t other = up ? row - 1 : row + 1;
  TPwdFieldRec& moved = edit.fields[row];
  TPwdFieldRec& neighbour = edit.fields[other];
  std::swap(moved.order, neighbour.order);
  moved.section = neighbour.section;
  std::swap(moved, neighbour);
  return other;
}

std::size_t DeleteSection(TFieldStructureEdit& edit, std::size_t index) {
  edit.sections.erase(edit.sections.begin() + static_cast<std::ptrdiff_t>(index));
  const std::size_t selected = RowAfterRemoval(index, edit.sections.size());
  if (edit.sections.empty()) return selected;
  for (TPwdFieldRec& rec : edit.fields)
    if (rec.section > selected) --rec.section;
  SortFieldRecs(edit.fields);
  return selected;
}

std::size_t MoveSection(TFieldStructureEdit& edit, std::size_t index, bool up) {
  if (up ? index == 0 : index + 1 >= edit.sections.size()) return index;
  const std::size_t other = up ? index - 1 : index + 1;
  std::swap(edit.sections[index], edit.sections[other]);
  for (TPwdFieldRec& rec : edit.fields) {
    if (rec.section == index) rec.section = static_cast<std::uint8_t>(other);
    else if (rec.section == other) rec.section = static_cast<std::uint8_t>(index);
  }
  SortFieldRecs(edit.fields);
  return other;
}

}  // namespace corvane
