#pragma once
// Where a secondary window (the description editor) was on the screen, kept in
// its own section of the settings store: "Left", "Top", "Width", "Height" and
// "WindowState" (0 normal, 2 maximised).

#include <cstdint>
#include <string_view>

namespace corvane {

enum class TWindowState { Normal = 0, Minimized = 1, Maximized = 2 };

struct TWindowPlacement {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  TWindowState state = TWindowState::Normal;
};

// Called when the window closes. The position and size are written only for a
// window in its normal state (a maximised one keeps its last normal place);
// the state is written unless the window is minimised. Skipped without a
// message when the store cannot be written.
void SaveWindowPlacement(std::string_view section, const TWindowPlacement& placement);

// The stored placement; each value missing in the store is taken from
// `defaults`. A stored state other than maximised reads as normal.
TWindowPlacement LoadWindowPlacement(std::string_view section, const TWindowPlacement& defaults);

}  // namespace corvane
