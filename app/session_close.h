#pragma once
// Closing open databases: the save question, the close of one database, and
// the close of all of them.

#include <functional>

#include "engine/base.h"

namespace corvane {

// Whether a database may be closed now. An open, modified database brings the
// main window forward and asks whether to save: Yes saves (with backup; a
// failed save throws TError and nothing is closed), No closes without saving,
// Cancel refuses.
bool QueryCloseDatabase(TPwdBase& base);

// Closes the database after the save question (the record list's selection
// is kept in it first, unless it is written concurrently): its contents are
// dropped and its file and locks let go; the front end redraws its node.
// False when the person cancelled; the database then stays as it was. A
// closed database whose file is gone is for the window to drop with a rescan.
bool CloseDatabase(TPwdBase& base);

// Closes one open database without asking: saved first (with backup) when
// modified. Throws TError when the save fails; the database stays open.
void SaveAndCloseDatabase(TPwdBase& base);

// SaveAndCloseDatabase for each open known database that `which` accepts, in
// list order. A failure is shown with the error icon and the next database
// follows.
void CloseOpenDatabases(const std::function<bool(const TPwdBase&)>& which);
// The same for every open known database.
void CloseAllDatabases();

}  // namespace corvane
