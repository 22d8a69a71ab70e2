#include "app/session_expired.h"

#include <cmath>
#include <string>
#include <vector>

#include "app/known_databases.h"
#include "app/message_box.h"
#include "app/session_messages.h"
#include "engine/dbfile.h"
#include "engine/fields.h"
#include "engine/messages.h"
#include "engine/password.h"
#include "platform/clock.h"

namespace corvane {

namespace {

double lastCheck = 0;

double Today() { return std::floor(Clock().Now()); }

double ExpiryDate(TPwdItem* item) {
  TPwdFieldsList* fields = static_cast<TPwdPassword*>(item)->Bind();
  const TPwdField* expires = fields ? fields->FieldByKind(kKindExpires) : nullptr;
  return expires ? expires->AsDate() : 0;
}

// The count of a closed database, from a listing of its file that is dropped
// afterwards; 0 when the file cannot be read.
int CountExpiredInFile(const std::string& fileName, double today) {
  TPwdBase listing;
  listing.FileName = fileName;
  try {
    listing.LoadFromFile();
  } catch (const std::exception&) {
    return 0;
  }
  return listing.Loading ? 0 : CountExpiredRecords(listing, today);
}

}  // namespace

int CountExpiredRecords(const TPwdBase& base, double today) {
  int count = 0;
  for (TPwdItem* item : base.AllRecords.Items()) {
    const double expires = ExpiryDate(item);
    if (expires != 0 && expires < today) ++count;
  }
  return count;
}

void CheckExpiredRecords() {
  const double today = Today();
  lastCheck = today;
  const std::vector<std::string> names = DisplayNames();
  std::string list;
  for (std::size_t i = 0; i < KnownDatabases().size() && i < names.size(); ++i) {
    const TPwdBase& base = *KnownDatabases()[i].base;
    const int count = IsDatabaseOpen(base) ? CountExpiredRecords(base, today) : CountExpiredInFile(base.FileName, today);
    if (count == 0) continue;
    if (!list.empty()) list += ",\r";
    list += FormatMessage(sexpiredrecordsline, names[i], count);
  }
  if (list.empty()) return;
  MsgBox(std::string(sexpiredrecordsreport) + "\r\r" + list + ".", kMbIconWarning);
}

double LastExpiryCheck() { return lastCheck; }

bool ExpiryCheckDue() { return Today() > lastCheck; }

}  // namespace corvane
