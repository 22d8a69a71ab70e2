#pragma once
// How a merge applies one incoming change-log entry to an item of the
// target database. Internal to the merge.

#include <cstdint>
#include <string>

#include "engine/changelog.h"

namespace corvane {

class TPwdBase;
class TPwdItem;
class TPwdPassword;

// Applies `entry` to `item` (new or in edit state). `source` is the source
// database's item of the same id, or nullptr when the source no longer has
// it (then only what the entry itself carries can be applied).
// `laterChange`: the target changed the same field definition later, so
// only its place (position, column, section) is taken over. When a value or
// name is replaced, `oldText` becomes the text it had, so that the copied
// entry describes the change made here.
void ApplyMergeEntry(const TPwdBaseChangeRec& entry, TPwdItem& item, const TPwdItem* source,
                     bool laterChange, std::string& oldText);

// The image number in `target` for image `index` of an item of `source`: a
// built-in image keeps its number; a custom icon is found in the target's
// icons by its id, or copied there when the user administers the target
// (otherwise it becomes image 0).
std::int32_t MergedIconIndex(TPwdBase& target, const TPwdBase& source, std::int32_t index);

// Gives `record` the modification date and author of `source`, which the
// record's save path replaced by the merge's own when it was posted.
void KeepSourceModification(TPwdPassword& record, const TPwdPassword& source);

}  // namespace corvane
