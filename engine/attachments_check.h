#pragma once
// The check-and-repair pass over a database's attachments: every
// attachment's data are read through; one that cannot be read is removed
// from its record (a logged removal, needing "L") and named in the result.

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class TPwdBase;

inline constexpr std::string_view scheckingfiles = "Checking files";
inline constexpr std::string_view snotcorrupted = "The database is not corrupted.";
inline constexpr std::string_view scanceled = "User canceled.";

// Reads the data of every attachment of `base`, record by record, with
// progress (caption "Checking files", total of the sizes in KiB) through the
// database's reporter. An error "User canceled." (from the progress
// callback or a read) stops the pass: what was removed so far stays removed.
// Returns the file names of the removed attachments, in the order found.
std::vector<std::string> CheckAttachments(TPwdBase& base);

}  // namespace corvane
