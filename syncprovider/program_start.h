#pragma once
// Starting the program for the hand-off: the program, started with "/activesync",
// saves and closes its databases, refreshes the registry records and
// acknowledges by setting two named events, first the error event, then the
// acknowledgement event.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

inline constexpr char kActiveSyncSwitch[] = "/activesync";
inline constexpr char kActiveSyncEvent[] = "Corvane_ActiveSyncEvent";
inline constexpr char kActiveSyncErrorEvent[] = "Corvane_ActiveSyncErrorEvent";
inline constexpr std::uint32_t kAcknowledgeTimeoutMs = 5000;

// The program file: "Install_Dir" of "Software\Corvane", from the current user's
// hive or else the machine's, followed by "/corvane". nullopt when the value is
// missing or empty, or no such file exists.
std::optional<std::string> FindProgram();

// Starts the program with `args`. With `wait`, creates and resets both events
// first, then waits up to timeoutMs (by Clock()) for the acknowledgement and
// succeeds only when the error event is set too. Without it, succeeds once the
// program was started. The program runs detached: nothing waits for its end.
bool StartProgram(const std::vector<std::string>& args, bool wait, std::uint32_t timeoutMs);

}  // namespace corvane
