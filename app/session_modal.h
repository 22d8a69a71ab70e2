#pragma once
// The modal counter: how many modal phases (dialogs, long operations) are
// running now. While it is above 0 the timer work (auto-close, the folder
// refresh, the expired-records check) waits, so nothing is closed or reloaded
// behind the person's back. Process-wide; not thread-safe.

namespace corvane {

void BeginModal();
// Never counts below 0.
void EndModal();
int ModalCount();

// A modal phase for as long as it exists.
class TModalPhase {
 public:
  TModalPhase() { BeginModal(); }
  ~TModalPhase() { EndModal(); }
  TModalPhase(const TModalPhase&) = delete;
  TModalPhase& operator=(const TModalPhase&) = delete;
};

}  // namespace corvane
