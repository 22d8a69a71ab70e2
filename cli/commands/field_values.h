#pragma once
// Field values given on the command line for one record: --field NAME=VALUE
// for ordinary fields, --ask-field NAME (read like a password) for any field.
// Passwords are never taken from the command line, where others could read
// them in the process list.

#include <string_view>
#include <vector>

#include "cli/terminal.h"

namespace corvane {

class TArguments;
class TCliContext;
class TPwdField;
class TPwdFieldsList;

// One value to store, in engine text.
struct TFieldValue {
  TPwdField* field;
  TSecret text;
};

// The values of --field and --ask-field for fields of `structure`, in that
// order; the asked ones are read from the context's secrets. Throws
// TUsageError (naming `command`) for a --field without "=", TError for an
// unknown field, a field filled in automatically, a password given with
// --field, and "Invalid field value." for a date or number that does not
// read as one.
std::vector<TFieldValue> GivenFieldValues(TCliContext& context, const TArguments& args,
                                          TPwdFieldsList& structure, std::string_view command);

// Throws "Please enter value for %s." when the values would leave empty the
// field that names the record (the record editor's first text field).
void RequireRecordName(const TPwdFieldsList& structure, const std::vector<TFieldValue>& values);

}  // namespace corvane
