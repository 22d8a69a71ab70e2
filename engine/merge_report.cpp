#include <string>

#include "engine/merge.h"
#include "engine/messages.h"

namespace corvane {

std::string MergeReportText(const TMergeCounts& counts) {
  // The numbers line up in a column: each is preceded by a tab instead of a blank.
  std::string pattern(ssyncresult);
  for (std::size_t at = pattern.find(" %d"); at != std::string::npos; at = pattern.find(" %d", at + 3))
    pattern.replace(at, 3, "\t%d");
  return FormatMessage(pattern, counts.Inserted, counts.Updated, counts.Deleted, counts.Denied);
}

std::string Merge(TPwdBase& target, const TPwdBase& source) {
  return MergeReportText(MergeChanges(target, source));
}

}  // namespace corvane
