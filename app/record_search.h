#pragma once
// Finding records by a piece of text in their fields, as a person reads the
// fields: case-insensitive and by the rules of the user's locale.

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class TPwdBase;
class TPwdField;
class TPwdPassword;

constexpr std::string_view ssearch_emptytext = "The text to search for is empty.";
constexpr std::string_view ssearch_unknownfield = "No record of the database has a field '%s'.";

// A record that holds the text, and the fields of its structure that do, in
// the record editor's order.
struct TRecordMatch {
  TPwdPassword* record = nullptr;
  std::vector<const TPwdField*> fields;
};

// The records of `base` the user may see whose fields hold `text` (engine
// text), in tree order: each folder's items as stored, a subfolder's records
// where the subfolder stands. Only the fields named `fieldName` are searched
// when it is not empty (names compare without case). Fields are searched in
// their text form as the engine shows it; a password field only where the
// user holds the right to view passwords ("V") on the record.
// Throws TError ssearch_emptytext for an empty `text`, ssearch_unknownfield
// when no structure in use has a field named `fieldName`.
std::vector<TRecordMatch> SearchRecords(TPwdBase& base, std::string_view text, std::string_view fieldName = {});

}  // namespace corvane
