#include "app/program_start.h"

#include "app/app_services.h"
#include "app/sync_handoff.h"

namespace corvane {

namespace {

constexpr std::string_view kActiveSyncSwitchName = "activesync";

bool IsSwitch(std::string_view arg, std::string_view name) {
  if (arg.size() != name.size() + 1 || (arg.front() != '/' && arg.front() != '-')) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = arg[i + 1];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != name[i]) return false;
  }
  return true;
}

TStartDecision Ends(int code) { return {code, std::nullopt}; }

}  // namespace

bool HasActiveSyncSwitch(const std::vector<std::string>& args) {
  for (const std::string& arg : args)
    if (IsSwitch(arg, kActiveSyncSwitchName)) return true;
  return false;
}

TStartDecision DecideStart(const std::vector<std::string>& args, const std::string& programFolder) {
  if (HasActiveSyncSwitch(args)) {
    if (PostToRunningInstance(TInstanceMessage::Post(kActiveSyncMessage))) return Ends(kExitSecondInstance);
    // The synchronisation run takes no instance lock: a start of the window
    // meanwhile is a start of its own, not a hand-over to a run without one.
    StartApplicationServices(programFolder);
    HandleActiveSync(nullptr);
    StopApplicationServices();
    return Ends(0);
  }
  // Listening first leaves no moment in which two starts both find no
  // instance and both open the window.
  std::optional<TInstanceServer> instance = TInstanceServer::Listen();
  if (!instance) {
    PostToRunningInstance(TInstanceMessage::BringToFront());
    return Ends(kExitSecondInstance);
  }
  StartApplicationServices(programFolder);
  return {std::nullopt, std::move(instance)};
}

}  // namespace corvane
