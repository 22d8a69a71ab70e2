#include "app/session_auto_close.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/locations_path.h"
#include "app/runtime_settings.h"
#include "app/session_close.h"
#include "app/session_expired.h"
#include "app/session_modal.h"
#include "platform/clock.h"

namespace corvane {

namespace {

// The databases marked, by the key of their file name: a mark never passes to
// another database that happens to take a dropped one's place in memory.
std::unordered_set<std::string> pending;
bool inTick = false;

class TTickGuard {
 public:
  TTickGuard() { inTick = true; }
  ~TTickGuard() { inTick = false; }
  TTickGuard(const TTickGuard&) = delete;
  TTickGuard& operator=(const TTickGuard&) = delete;
};

void ClosePending(TAutoCloseWindow& window) {
  const bool closeAll = window.CloseAllRequested();
  CloseOpenDatabases([closeAll](const TPwdBase& base) { return closeAll || AutoClosePending(base); });
  if (closeAll) window.AcknowledgeCloseAll();
}

void DropStaleClipboardValue(TAutoCloseWindow& window) {
  const std::optional<std::uint32_t> copied = window.ClipboardValueTick();
  if (copied && TicksSince(*copied, Clock().TickCount()) >= kClipboardValueMs) window.DropClipboardValue();
}

// Marks the databases whose inactivity has reached their timeout; the others
// lose their mark, so the set holds only databases still known.
void MarkIdleDatabases(TAutoCloseWindow& window) {
  pending.clear();
  const std::uint32_t idle = TicksSince(RuntimeSettings().lastActivityTick, Clock().TickCount());
  for (TKnownDatabase& known : KnownDatabases()) {
    TPwdBase& base = *known.base;
    if (!IsDatabaseOpen(base)) continue;
    const std::uint32_t timeout = AutoCloseTimeoutMs(base);
    if (timeout == 0 || idle < timeout) continue;
    if (&base == window.SelectedDatabase()) {
      if (TFrontEnd* frontEnd = InstalledFrontEnd()) frontEnd->CloseModalDialogs();
    }
    pending.insert(FileNameKey(base.FileName));
  }
}

}  // namespace

std::uint32_t AutoCloseTimeoutMs(const TPwdBase& base) {
  if (!(base.OptionFlags & kOverrideAutoClose)) return RuntimeSettings().autoCloseIntervalMs;
  if (!(base.OptionFlags & kCloseWhenInactive)) return 0;
  const std::int64_t ms = std::int64_t{base.AutoCloseSeconds} * 1000;
  // Tick differences are compared within 32 bits: a longer time cannot be told.
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(ms, kMinAutoCloseIntervalMs, INT32_MAX));
}

bool AutoClosePending(const TPwdBase& base) { return pending.count(FileNameKey(base.FileName)) != 0; }

void AutoCloseTick(TAutoCloseWindow& window) {
  if (inTick) return;
  TTickGuard guard;
  if (ModalCount() == 0) {
    ClosePending(window);
    if (ExpiryCheckDue()) {
      CheckExpiredRecords();
      window.RefreshRecordList();
    }
  }
  DropStaleClipboardValue(window);
  MarkIdleDatabases(window);
}

}  // namespace corvane
