#pragma once
// Saving an open database from the program.

#include "engine/base.h"

namespace corvane {

// Saves the database to its file (atomically): first the automatic backup
// copy of the file as it was (when `makeBackup` and backups are on), then its
// folder is created if missing, the record list's selection is kept in it,
// and it is written. The program's own write does not count as a change of
// the watched folders. Throws TError, and the file stays as it was, when the
// write fails or when the database is open read only (its file belongs to
// another writer, whose work a save would overwrite).
void SaveDatabase(TPwdBase& base, bool makeBackup);

}  // namespace corvane
