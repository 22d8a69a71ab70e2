#pragma once
// What mv and cp share: the items named before the last argument go into the
// folder named by it, by the paste rules of app/paste_items.h.

#include <string_view>

namespace corvane {

class TArguments;
class TCliContext;

// The name of the argument that holds the items and, last, the target folder.
inline constexpr std::string_view kPastePaths = "PATH...";

// Runs mv (`cut`) or cp. With --into OTHER_DB (cp only) the folder is one of
// that database, opened after the first one with its own master password
// (and, with --user, the same user's password in it). Prints the id of each
// pasted item, one a line. Returns the exit code.
int RunPasteCommand(TCliContext& context, const TArguments& args, bool cut);

}  // namespace corvane
