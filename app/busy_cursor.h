#pragma once
// The busy cursor. Begin and end nest: the arrow comes back only when every
// BusyBegin has had its BusyEnd. A message box or the progress display shows
// the arrow for as long as it is up.

namespace corvane {

void BusyBegin();
// Never counts below 0.
void BusyEnd();
// How many BusyBegin calls are still open.
int BusyDepth();

// Shows the busy cursor for as long as it exists.
class TBusyCursor {
 public:
  TBusyCursor() { BusyBegin(); }
  ~TBusyCursor() { BusyEnd(); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// While it exists the arrow is shown even inside a busy phase; the busy
// cursor returns afterwards if the phase is still running.
class TArrowCursor {
 public:
  TArrowCursor();
  ~TArrowCursor();
  TArrowCursor(const TArrowCursor&) = delete;
  TArrowCursor& operator=(const TArrowCursor&) = delete;
};

}  // namespace corvane
