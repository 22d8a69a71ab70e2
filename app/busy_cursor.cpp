#include "app/busy_cursor.h"

#include "app/front_end.h"

namespace corvane {

namespace {
int depth = 0;

// Cursor changes are cosmetic: a missing front end is no reason to fail.
void ShowBusy(bool busy) noexcept {
  try {
    FrontEnd().SetBusyCursor(busy);
  } catch (...) {
  }
}
}  // namespace

void BusyBegin() {
  if (depth++ == 0) ShowBusy(true);
}

void BusyEnd() {
  if (depth == 0) return;
  if (--depth == 0) ShowBusy(false);
}

int BusyDepth() { return depth; }

TArrowCursor::TArrowCursor() {
  if (depth > 0) ShowBusy(false);
}

TArrowCursor::~TArrowCursor() {
  if (depth > 0) ShowBusy(true);
}

}  // namespace corvane
