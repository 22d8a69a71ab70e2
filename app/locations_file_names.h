#pragma once
// Names of new database files, chosen from the file-name template, and the
// renaming of every database file after the template changed.

#include <string>

namespace corvane {

// A free name for a new database in `folder`: the template with the smallest
// number (from 1) in place of its "*" for which neither a file exists nor a
// known database has that name (compared without regard to case). Without a
// folder: the first folder of the folder list that exists, else the last one.
std::string NewDatabaseFileName(const std::string& folder = {});

// Renames every known database file, in list order, to a new name in its own
// folder by the current template. Open databases are closed first, modified
// ones saved with their backup (a failure is shown, and that database keeps
// its open file and its name). A file that cannot be renamed keeps its name,
// without a message.
void RenameAllDatabases();

}  // namespace corvane
