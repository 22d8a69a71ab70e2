#pragma once
// The commands of corvanesync-host. Each writes "name: value" lines, so that a
// person can read them and a test can pick them out.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace corvane {

struct THostOptions {
  std::string libraryPath;
  std::uint32_t partner = 1;
};

// Runs one command. Returns the exit code: 0 when every call succeeded, 1 when
// the library refused one, 2 for wrong usage. Throws TError when the library
// cannot be loaded or the program does not acknowledge the hand-off.
int RunHostCommand(const std::string& command, const std::vector<std::string>& args, const THostOptions& options,
                   std::ostream& out);

}  // namespace corvane
