#pragma once
// Names of new database files, chosen from the file-name template, and the
// renaming of every database file after the template changed.

#include <functional>
#include <string>

#include "engine/base.h"

namespace corvane {

// A free name for a new database in `folder`: the template with the smallest
// number (from 1) in place of its "*" for which neither a file exists nor a
// known database has that name (compared without regard to case). Without a
// folder: the first folder of the folder list that exists, else the last one.
std::string NewDatabaseFileName(const std::string& folder = {});

// Closes one open database before its file is renamed; the default saves a
// modified one (with its automatic backup) and then closes it.
using TCloseDatabase = std::function<void(TPwdBase& base)>;

// Renames every known database file, in list order, to a new name in its own
// folder by the current template. Open databases are closed first. A file
// that cannot be renamed keeps its name, without a message.
void RenameAllDatabases(const TCloseDatabase& closeDatabase = {});

}  // namespace corvane
