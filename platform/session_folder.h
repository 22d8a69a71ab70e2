#pragma once
// The folder where the processes of one user's session meet: named events and the
// instance socket live there. It is $CORVANE_RUNTIME_DIR when set, else
// $XDG_RUNTIME_DIR/corvane.

#include <string>

namespace corvane {

// The folder's path, created (mode 0700) when missing. Throws TError when neither
// variable is set, when the folder cannot be created, or when it is not a folder
// owned by this user and closed to everyone else (other users must not be able to
// set our events or post to our instance).
std::string SessionFolder();

}  // namespace corvane
