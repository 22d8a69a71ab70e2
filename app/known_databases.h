#pragma once
// The known databases: one TPwdBase per database file found in the database
// folders, open or closed, in the order the folders were scanned. The scan
// keeps the list in step with the disk: new files are added (closed, their
// plain part read so that their names are known), files that are gone are
// dropped unless their database is open, and databases whose file changed
// are read again. Process-wide; not thread-safe.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/base.h"

namespace corvane {

// How a database came out of the last scan.
enum class TScanMark {
  NotSeen = 0,    // its file was not found
  Changed = 1,    // new or read again: its tree must be redrawn
  Unchanged = 2,  // found and as before
};

struct TKnownDatabase {
  std::unique_ptr<TPwdBase> base;
  TScanMark mark = TScanMark::NotSeen;
};

// The list, in order.
std::vector<TKnownDatabase>& KnownDatabases();

// Whether the database is decrypted in memory (opened with its password).
bool IsDatabaseOpen(const TPwdBase& base);

// The known database whose file is `fileName` (compared without regard to
// ASCII case); nullptr when there is none.
TPwdBase* FindKnownDatabase(std::string_view fileName);

// Brings the list in step with the folders. Without `rescan` the list is
// built anew: every closed database is freed (open ones stay, with their
// session and unsaved changes). With it, databases not found are dropped (unless
// open), and databases whose file time differs from the one read (every one
// when `checkChanges` is false) are read again: open ones that are not
// modified (or concurrently written, when checking changes) and closed ones.
// A concurrently written database not seen is kept when its lock can be
// taken within 3 seconds and its file exists. Ends by watching the folders
// again (folder_watch_poll.h). Returns whether anything changed: a database
// added, dropped or read again. Never throws for one folder or one file.
bool RefreshDatabases(bool rescan, bool checkChanges);

// The name stored in the database's file, in UTF-8 (bytes the code page
// cannot decode are kept as they are).
std::string DatabaseName(const TPwdBase& base);

// The caption of a database as the tree shows it: its name, followed by
// " - " and the number of its folder in the folder list when another known
// database has the same name. UTF-8.
std::string DisplayName(const TPwdBase& base);
// The same for every known database, in list order, in one pass.
std::vector<std::string> DisplayNames();

}  // namespace corvane
