#pragma once
// The change log of a database as a person may see it: its entries in order,
// each with the item it is about (when that still exists) and the name of the
// field it changed. The log keeps password values in clear; here they are
// masked unless asked for, which needs the right "View passwords" ("V").

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/secret_text.h"

namespace corvane {

class TPwdBase;
class TPwdItem;
struct TPwdBaseChangeRec;

struct TChangeLogQuery {
  // Only the entries of this moment and later (a date serial); all when unset.
  std::optional<double> since;
  // Password values in clear: needs "V" on the database.
  bool showPasswords = false;
};

struct TChangeLogLine {
  const TPwdBaseChangeRec* entry = nullptr;
  // The item the entry is about; nullptr when it no longer exists.
  TPwdItem* item = nullptr;
  // For a field value (number 0 or more): the field's name in UTF-8; empty
  // when no structure of the database has that number any more.
  std::string fieldName;
  // The entry's old and new text in UTF-8. A password value shows "******"
  // (empty stays empty) unless passwords are shown and the user holds "V" on
  // the item. A value of a field that no longer exists is masked the same
  // way, as nothing tells whether it was a password.
  TSecretText oldText;
  TSecretText newText;
  bool masked = false;
};

// The entries of `base`'s change log that the query selects, oldest first.
// Entries about a record the user may not see (no permission entry at all)
// are left out. Throws "Access denied." when passwords are asked for without "V".
std::vector<TChangeLogLine> ViewChangeLog(TPwdBase& base, const TChangeLogQuery& query);

}  // namespace corvane
