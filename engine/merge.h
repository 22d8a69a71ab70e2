#pragma once
// Merging two copies of one database. Both copies log their changes; a merge
// replays on the target every operation of the source's change log that the
// target has not seen, under the target user's rights, and lets the target's
// own later change of the same thing win a conflict. Only logged changes
// travel: what was changed while logging was off stays where it was made.

#include <string>
#include <string_view>

namespace corvane {

class TPwdBase;

// The report of a merge; "%d" stands for a number (each follows a tab).
constexpr std::string_view ssyncresult =
    "Items inserted: %d\r\nItems updated: %d\r\nItems deleted: %d\r\nAccess denied: %d\r\n";
// A merge of databases with different identifiers.
constexpr std::string_view smergenotacopy =
    "The databases cannot be merged: they are not copies of the same database.";

// What one merge did to the target.
struct TMergeCounts {
  int Inserted = 0;
  int Updated = 0;
  int Deleted = 0;
  int Denied = 0;  // item changes left out for want of rights
  bool operator==(const TMergeCounts&) const = default;
};

// Brings the source's logged changes into the target, as the header says.
// Both databases are open; the target is changed in memory and marked
// modified as its items change (saving it is the caller's business); the
// source is not changed. Refused rights are counted, never raised. Throws
// smergenotacopy, before anything changes, when the databases have different
// identifiers. Any other error (for example a duplicate folder name) ends the
// merge with the changes applied so far kept and the target's log complete
// for them.
TMergeCounts MergeChanges(TPwdBase& target, const TPwdBase& source);

// MergeChanges, returning its report (ssyncresult with a tab before each number).
std::string Merge(TPwdBase& target, const TPwdBase& source);

// The report text of `counts`.
std::string MergeReportText(const TMergeCounts& counts);

}  // namespace corvane
