#pragma once
// The start-up decision of the program, before any window exists. A second
// start hands over to the running instance and ends: with the switch
// "activesync" it posts the hand-off message, without it asks the running
// instance to come to the front. A start with the switch and no running
// instance is a synchronisation run: the hand-off without a window, then the
// end. Any other start goes on to the main window, as the running instance.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folders.h"
#include "platform/instance_channel.h"

namespace corvane {

// The exit code of a start that handed over to a running instance.
inline constexpr int kExitSecondInstance = 10;

// Whether the command line (without the program name) holds the switch
// "activesync" after "/" or "-", in any case.
bool HasActiveSyncSwitch(const std::vector<std::string>& args);

struct TStartDecision {
  // Set: the process ends now with this code (kExitSecondInstance after a
  // hand-over, 0 after a synchronisation run).
  std::optional<int> exitCode;
  // Unset exit code: this process is the running instance and the
  // application services are started. The window keeps the server for as
  // long as it runs, and stops the services after its message loop.
  std::optional<TInstanceServer> instance;
};

// Makes the decision and carries out the hand-over or the synchronisation
// run. Throws TError when the single-instance channel cannot be used (the
// runtime folder is unusable, or the running instance does not take the
// message).
TStartDecision DecideStart(const std::vector<std::string>& args,
                           const std::string& programFolder = ProgramFolder());

}  // namespace corvane
