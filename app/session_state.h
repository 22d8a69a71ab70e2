#pragma once
// The access state of an open database: written by this program (its file
// held with other writers shut out), or read only. And the caption its tree
// node shows for that state.

#include <string>

#include "engine/base.h"

namespace corvane {

// Whether the current user holds a right to change anything (Insert, Update
// or Delete on the database or on any folder), whatever the read-only flag.
bool UserMayModify(TPwdBase& base);

// Lets go of the database's file, so that other writers may take it.
void ReleaseFileStream(TPwdBase& base);

// With `recheck`, decides the access of an open database again: read only
// (silently) for a user who may not modify it; otherwise its file is taken for
// writing (three tries, 100 ms apart), and read only when another writer has
// it, which `showMessage` tells the person. A concurrently written database
// lets go of the file again at once. Then the front end redraws the node.
void UpdateDatabaseState(TPwdBase& base, bool showMessage, bool recheck);

// Tells the person that another writer holds the database's file.
void ShowOpenedReadOnly(const TPwdBase& base);

// The tree caption: the display name, marked "[Read only]" for an open
// database that may not be written. UTF-8.
std::string DatabaseCaption(const TPwdBase& base);

}  // namespace corvane
