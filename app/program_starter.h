#pragma once
// Starting another program, detached from Corvane: it runs on after Corvane
// ends, in its own session, with standard input from /dev/null, and inherits
// no open file of Corvane's (a database file among them). Never through a
// shell: every argument reaches the program exactly as given.

#include <functional>
#include <string>
#include <vector>

namespace corvane {

// Starts argv[0] (a path, or a name looked up on PATH) with the other
// arguments. Returns 0 once the program runs, or the system's error number
// when it could not be started. Does not wait for the program to end.
int StartDetachedProgram(const std::vector<std::string>& argv);

// Something that starts programs as StartDetachedProgram does.
using TProgramStarter = std::function<int(const std::vector<std::string>& argv)>;

// The starter that OpenLink uses: StartDetachedProgram unless a test has set
// another. An empty starter puts StartDetachedProgram back.
TProgramStarter& ProgramStarter();
void SetProgramStarterForTesting(TProgramStarter starter);

}  // namespace corvane
