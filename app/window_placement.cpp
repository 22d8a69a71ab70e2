#include "app/window_placement.h"

#include "app/settings.h"

namespace corvane {

namespace {
constexpr std::string_view kLeft = "Left";
constexpr std::string_view kTop = "Top";
constexpr std::string_view kWidth = "Width";
constexpr std::string_view kHeight = "Height";
constexpr std::string_view kWindowState = "WindowState";
}  // namespace

void SaveWindowPlacement(std::string_view section, const TWindowPlacement& placement) {
  TSettingsAccess access(true);
  if (!access) return;
  TSettingsStore& store = Settings();
  if (placement.state == TWindowState::Normal) {
    store.WriteInteger(section, kLeft, placement.left);
    store.WriteInteger(section, kTop, placement.top);
    store.WriteInteger(section, kWidth, placement.width);
    store.WriteInteger(section, kHeight, placement.height);
  }
  if (placement.state != TWindowState::Minimized) {
    store.WriteInteger(section, kWindowState, static_cast<std::int32_t>(placement.state));
  }
  access.Close();
}

TWindowPlacement LoadWindowPlacement(std::string_view section, const TWindowPlacement& defaults) {
  TWindowPlacement placement = defaults;
  TSettingsAccess access(false);
  if (!access) return placement;
  TSettingsStore& store = Settings();
  placement.left = store.ReadInteger(section, kLeft, defaults.left);
  placement.top = store.ReadInteger(section, kTop, defaults.top);
  placement.width = store.ReadInteger(section, kWidth, defaults.width);
  placement.height = store.ReadInteger(section, kHeight, defaults.height);
  const std::int32_t state = store.ReadInteger(section, kWindowState, static_cast<std::int32_t>(defaults.state));
  placement.state = state == static_cast<std::int32_t>(TWindowState::Maximized) ? TWindowState::Maximized
                                                                                  : TWindowState::Normal;
  access.Close();
  return placement;
}

}  // namespace corvane
