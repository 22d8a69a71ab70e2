#pragma once
// A folder or a record named on the command line, for the commands that
// take either (rm, mv, cp, icon).

#include <string_view>

namespace corvane {

class TPwdBase;
class TPwdItem;

// The folder named by `utf8Path` if there is one, else the record (see
// cli/paths.h for both forms). Throws TError as ResolveRecord does when
// neither exists, and when the path names both a folder and a record.
TPwdItem& ResolveItem(TPwdBase& base, std::string_view utf8Path);

}  // namespace corvane
