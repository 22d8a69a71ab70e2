#pragma once
// The lists of the field-structure editor ("Customize fields") and their
// commit into a folder's structure. The editor works on a private copy of the
// fields and sections; nothing touches the database until the commit, which
// checks the whole edit first and changes nothing when a check fails.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/fields.h"
#include "platform/error.h"
#include "platform/guid.h"

namespace corvane {

class TPwdBase;
class TPwdFolder;

// The identifier of a field added while the editor is open. Identifiers below
// it are fields of an inherited structure, -2 minus their number, that the
// commit copies into the folder's own structure and numbers anew.
inline constexpr std::int32_t kNewFieldId = -1;

// One field of the editor's list. Texts are UTF-8.
struct TPwdFieldRec {
  std::string name;
  std::uint8_t fieldType = kFieldString;
  std::uint8_t subtype = kKindRegular;  // the field kind
  std::int32_t identifier = kNewFieldId;
  std::int32_t order = 0;    // sort key within the section
  std::uint8_t section = 0;  // index into the section list
  std::string description;
  std::string defaultValue;  // as the user types it
  std::string values;        // the predefined values, one per line
};

// The editor's lists: fields sorted by section, then order; section names in
// display order.
struct TFieldStructureEdit {
  std::vector<TPwdFieldRec> fields;
  std::vector<std::string> sections;
};

// A failed check of one field of the list; FieldIndex() is its place in the
// list the commit was given.
class TFieldRecError : public TError {
 public:
  TFieldRecError(const std::string& message, std::size_t fieldIndex) : TError(message), fieldIndex_(fieldIndex) {}
  std::size_t FieldIndex() const { return fieldIndex_; }

 private:
  std::size_t fieldIndex_;
};

// The lists the editor starts with for `folder`: the fields of its effective
// structure in the record editor's order, each with its number, or -2 minus
// its number when the folder inherits the structure.
TFieldStructureEdit ReadFieldStructureEdit(const TPwdFolder& folder);

// Sorts the fields by section, then order; equal keys keep their places.
// Returns the new row of the field that was at `follow`.
std::size_t SortFieldRecs(std::vector<TPwdFieldRec>& fields, std::size_t follow = 0);

// Applies `edit` to the structure of the folder with `folderId` (the caller
// holds the database for writing, and has reloaded it when it is shared).
// Throws "Folder was deleted by other user." when the folder is gone and
// "Access denied." without the administrator right on it. Then checks the
// edit: section names (trimmed) must not be empty ("Please enter section
// name."); every identifier other than -1 must name one field of the
// structure, once; a new or retyped field takes one of the five offered types
// and a kind below 240; the program's own fields (kinds 240 and above) stay,
// and only their name and section may change; default values must fit their
// types ("Invalid field value."). A failed field check is a TFieldRecError.
// Only then: a folder that inherits gets its own copy; the sections are set
// in order and the further old ones removed; the fields missing from the list
// are deleted with their values; each field of the list in order is created
// or updated (a retyped field's values converted, a copied field numbered
// anew) and gets its section, description, default value, predefined values
// and, as order, its place in the sorted list.
void CommitFieldStructureEdit(TPwdBase& base, const TGuid& folderId, TFieldStructureEdit edit);

}  // namespace corvane
