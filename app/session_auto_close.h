#pragma once
// Closing databases after inactivity, one step per tick of the main window's
// timer. A database whose time is up is marked at one tick and closed (saved
// first, with backup, when modified) at the next tick with no modal phase, so
// that the dialogs closed for it have ended. The same step closes every open
// database on the window's close-all request, runs the daily expired-records
// check and drops a stale value from the clipboard. Process-wide; runs on the
// thread of the user interface.

#include <cstdint>
#include <optional>

#include "engine/base.h"

namespace corvane {

// OptionFlags bits of a database's own auto-close setting.
inline constexpr std::uint32_t kOverrideAutoClose = 1u << 3;
inline constexpr std::uint32_t kCloseWhenInactive = 1u << 4;
// How long a copied value may wait on the clipboard to be pasted.
inline constexpr std::uint32_t kClipboardValueMs = 60000;

// What the auto-close step needs of the main window.
class TAutoCloseWindow {
 public:
  virtual ~TAutoCloseWindow() = default;
  // Every open database is to be closed (desktop synchronisation asks for it);
  // acknowledged once they were.
  virtual bool CloseAllRequested() = 0;
  virtual void AcknowledgeCloseAll() = 0;
  // The database of the selected tree node, or nullptr.
  virtual TPwdBase* SelectedDatabase() = 0;
  // The tick count at which a value waiting to be pasted was copied, if any;
  // and dropping it.
  virtual std::optional<std::uint32_t> ClipboardValueTick() = 0;
  virtual void DropClipboardValue() = 0;
  // The record list shows what changed (after the expired-records check).
  virtual void RefreshRecordList() = 0;
};

// The inactivity after which the database is closed, in ms; 0 never: the
// program's interval, unless the database overrides it with its own seconds
// (never under 3000 ms) or with "close when inactive" off.
std::uint32_t AutoCloseTimeoutMs(const TPwdBase& base);

// Whether the database is marked to be closed at the next free tick.
bool AutoClosePending(const TPwdBase& base);

// One step; a call from inside a step (a message box's own loop) does nothing.
void AutoCloseTick(TAutoCloseWindow& window);

}  // namespace corvane
