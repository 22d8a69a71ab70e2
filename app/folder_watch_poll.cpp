#include "app/folder_watch_poll.h"

#include "app/session_modal.h"
#include "platform/clock.h"
#include "platform/error.h"

namespace corvane {

namespace {

// A folder written to without pause keeps its watch signalled; a poll takes
// at most this many rounds of one watch, so the timer tick always ends.
constexpr int kMaxRoundsPerWatch = 16;
constexpr int kOwnWritePolls = 3;

}  // namespace

void TFolderChangePoll::Watch(const std::vector<std::string>& folders) {
  watches_.clear();
  for (const std::string& folder : folders) {
    try {
      watches_.emplace_back(folder);
    } catch (const TError&) {
      // Nothing to watch there; a later refresh tries again.
    }
  }
}

bool TFolderChangePoll::TakeChanges(bool& anySeen) {
  for (TFolderWatch& watch : watches_) {
    for (int round = 0; round < kMaxRoundsPerWatch && watch.IsSignalled(); ++round) {
      lastChange_ = Clock().TickCount();
      anySeen = true;
      if (!watch.Rearm()) return false;
    }
  }
  return true;
}

bool TFolderChangePoll::Poll(bool modalOpen) {
  bool anySeen = false;
  if (!TakeChanges(anySeen)) return false;
  if (modalOpen || !lastChange_) return false;
  if (TicksSince(*lastChange_, Clock().TickCount()) <= kFolderQuietPeriodMs) return false;
  lastChange_.reset();
  return true;
}

TFolderChangePoll::TOwnWrites::~TOwnWrites() {
  for (int poll = 0; poll < kOwnWritePolls; ++poll) {
    if (poll > 0) Clock().Sleep(1);
    bool anySeen = false;
    if (!poll_.TakeChanges(anySeen) || !anySeen) break;
  }
  poll_.lastChange_ = before_;
}

TFolderChangePoll& FolderChanges() {
  static TFolderChangePoll poll;
  return poll;
}

bool PollFolderChanges() { return FolderChanges().Poll(ModalCount() > 0); }

}  // namespace corvane
