#pragma once
// What a change in the file system means for synchronisation.

#include "syncprovider/provider.h"
#include "syncprovider/repl_folder.h"

namespace corvane {

// Answers a notification whose size and type the caller has checked. With the
// clear-change flag, records the file's current time as synchronised with this
// partner and returns false. Otherwise, for a file notification, reports in
// `notify` how many of its one object changed or went away and returns true;
// false when the notification concerns no registered database.
bool HandleNotify(TCvReplFolder& folder, TObjNotify& notify);

}  // namespace corvane
