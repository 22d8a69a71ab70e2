#pragma once
// Exporting the records of a folder and of everything below it as a table,
// which the front ends write as CSV or JSON. Exporting needs the right
// "Print and export" ("P") on the folder and on every record exported; the
// values of password fields are included only when asked for, which needs
// the right "View passwords" ("V") on every record exported. A missing right
// fails with "Access denied." before anything is exported.
//
// Records the user may not see (no permission entry at all) are left out, as
// every list leaves them out. The table's texts are UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/secret_text.h"

namespace corvane {

class TPwdFolder;
class TPwdPassword;

// The user action that an export asks the database's action log for.
inline constexpr std::string_view kActionExport = "Export";

// One column: the fields of that name. Folders with different structures
// share a column for fields of the same name (compared without regard to
// case); a structure that has a name twice has a second column of that name.
// Columns come in the order first seen: the structures of the exported
// folder and its subfolders in tree order, each in the record editor's order.
struct TExportColumn {
  std::string name;       // as first seen
  bool password = false;  // some field of the column is a password field
};

struct TExportValue {
  int column = 0;           // index in TRecordExport::columns
  std::int32_t number = 0;  // the field's number in the record's structure
  // The field's text form; empty for a password field unless passwords are
  // included.
  TSecretText text;
};

struct TExportRow {
  TPwdPassword* record = nullptr;
  TPwdFolder* folder = nullptr;  // the record's folder
  // The record's fields in the record editor's order.
  std::vector<TExportValue> values;
};

struct TRecordExport {
  std::vector<TExportColumn> columns;
  std::vector<TExportRow> rows;  // tree order: each folder's items as it keeps them
};

// The records of `folder` and its subfolders. With `includePasswords` the
// password fields hold their values. Throws "Access denied." for a missing
// right. When the database demands that user actions be logged, the action
// "Export" is put to LogUserAction first; nullopt when that refuses.
std::optional<TRecordExport> ExportRecords(TPwdFolder& folder, bool includePasswords);

}  // namespace corvane
