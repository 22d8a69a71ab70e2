#pragma once
// The operations of the field-structure editor's two pages on its lists: the
// field list (kept sorted by section, then order) and the section list. Rows
// and indices are 0-based; each operation returns the row or index to select.
// The questions before a deletion are the window's; FieldDeleteAsks tells
// when one is due.

#include <cstddef>
#include <optional>

#include "app/field_structure_edit.h"

namespace corvane {

// Whether the Delete action is offered: not for the program's own fields.
bool FieldDeletable(const TPwdFieldRec& rec);
// Whether deleting asks first: for a field that exists in the structure.
bool FieldDeleteAsks(const TPwdFieldRec& rec);

// OK of the field-properties dialog: `dialog` holds what it shows. With `row`
// the record there is edited, else a new record (identifier -1) is appended.
// The name and section are taken; a record that changes section, and every
// new one, goes after the last record of its new section. For fields other
// than the program's own, type, kind, description, default value and values
// are taken too. Returns the record's row after the list is sorted again.
std::size_t ApplyFieldProperties(TFieldStructureEdit& edit, const TPwdFieldRec& dialog,
                                 std::optional<std::size_t> row = std::nullopt);

// Removes the record at `row`; returns the same row, or the new last row.
std::size_t DeleteFieldRow(TFieldStructureEdit& edit, std::size_t row);

// Up / Down: the record at `row` and its neighbour exchange their order
// values and places, and the record takes the neighbour's section. Returns
// the record's new row; at the edge nothing moves.
std::size_t MoveFieldRow(TFieldStructureEdit& edit, std::size_t row, bool up);

// Removes the section at `index` and returns the index to select (the same,
// or the new last). The fields after it move one section up, so the fields
// of the deleted section pass to the one that takes its place, or to the
// previous one when the last was deleted; with no section left they stay.
std::size_t DeleteSection(TFieldStructureEdit& edit, std::size_t index);

// Up / Down: the section at `index` and its neighbour exchange names and
// fields. Returns the section's new index; at the edge nothing moves.
std::size_t MoveSection(TFieldStructureEdit& edit, std::size_t index, bool up);

}  // namespace corvane
