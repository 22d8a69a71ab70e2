#pragma once
// Ordering of a folder's items by one field of their structure.

namespace corvane {

class TPwdField;
class TPwdItemsList;

// Stable sort of `list` by the value of `field`, read from each record by
// the field's type: dates and floats as doubles, integers as signed 32-bit
// numbers, everything else as text, case-insensitively in the user's locale.
// Values the user may not see sort as they are shown (hidden). Folders in
// the list come first, by name.
void SortItemsByField(TPwdItemsList& list, TPwdField& field, bool descending);

}  // namespace corvane
