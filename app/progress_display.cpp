#include "app/progress_display.h"

#include "app/busy_cursor.h"
#include "app/front_end.h"
#include "app/messages.h"
#include "platform/error.h"

namespace corvane {

namespace {

void ThrowIfCanceled(bool goOn) {
  if (!goOn) throw TError(std::string(susercanceled));
}

void EndProgress() noexcept {
  try {
    FrontEnd().ProgressEnd();
    if (BusyDepth() > 0) FrontEnd().SetBusyCursor(true);
  } catch (...) {
  }
}

}  // namespace

TProgressDisplay::TProgressDisplay(std::string_view caption, std::uint32_t maximum) {
  try {
    ThrowIfCanceled(FrontEnd().ProgressStart(std::string(caption), maximum));
  } catch (...) {
    EndProgress();
    throw;
  }
}

TProgressDisplay::~TProgressDisplay() { EndProgress(); }

void TProgressDisplay::Step(std::string_view text, std::uint32_t position) {
  TFrontEnd& frontEnd = FrontEnd();
  frontEnd.SetBusyCursor(false);
  ThrowIfCanceled(frontEnd.ProgressStep(std::string(text), position));
}

TProgressCallback FrontEndProgress() {
  return [](std::uint32_t value, const std::string& caption, TProgressAction action) {
    TFrontEnd& frontEnd = FrontEnd();
    switch (action) {
      case TProgressAction::Show:
        ThrowIfCanceled(frontEnd.ProgressStart(caption, value));
        break;
      case TProgressAction::Position:
        ThrowIfCanceled(frontEnd.ProgressStep({}, value));
        break;
      case TProgressAction::Close:
        EndProgress();
        break;
    }
  };
}

}  // namespace corvane
