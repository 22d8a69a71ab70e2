#pragma once
// The watch on the database folders. Changes in any watched folder are
// collected at each tick of the main window's timer; a refresh of the window
// is due once the folders have been quiet for more than a second (a save of
// another program touches a file several times) and no modal dialog is open.
// The program's own writes are taken back out with TOwnWrites, so that a save
// does not make the window refresh itself.
//
// Timing comes from Clock(). Not thread-safe: the timer runs on the thread of
// the user interface.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/folder_watch.h"

namespace corvane {

// How long the folders must be quiet before a refresh, in milliseconds.
inline constexpr std::uint32_t kFolderQuietPeriodMs = 1000;

class TFolderChangePoll {
 public:
  // Replaces every watch by one per folder of `folders` (full paths). A folder
  // that cannot be watched (missing, not a folder) gets none.
  void Watch(const std::vector<std::string>& folders);
  std::size_t WatchCount() const { return watches_.size(); }

  // Takes the changes seen since the last poll. True when a refresh is due: a
  // change is pending, more than kFolderQuietPeriodMs have passed since the
  // last one, and `modalOpen` is false. The pending change is then cleared,
  // so the caller refreshes once.
  bool Poll(bool modalOpen);

  // The tick count of the last change not yet refreshed for.
  std::optional<std::uint32_t> PendingChange() const { return lastChange_; }

  // Brackets a write of the program's own into a watched folder: when it
  // ends, the changes it caused are taken (three polls, 1 ms apart) and the
  // pending change is put back to what it was before the write.
  class TOwnWrites {
   public:
    explicit TOwnWrites(TFolderChangePoll& poll) : poll_(poll), before_(poll.lastChange_) {}
    ~TOwnWrites();
    TOwnWrites(const TOwnWrites&) = delete;
    TOwnWrites& operator=(const TOwnWrites&) = delete;

   private:
    TFolderChangePoll& poll_;
    std::optional<std::uint32_t> before_;
  };

 private:
  // Notes the changes of every watch as happening now. False when a watch
  // could not be re-armed: the rest of this tick is skipped.
  bool TakeChanges(bool& anySeen);

  std::vector<TFolderWatch> watches_;
  std::optional<std::uint32_t> lastChange_;
};

// The process's watch on the folder list.
TFolderChangePoll& FolderChanges();

// One tick of the main window's timer on the process's watch, held back
// while a modal phase runs (session_modal.h): true when the window should run
// its full refresh (rescan with change check) now, as a modal phase of its
// own so that the timer does not start it twice.
bool PollFolderChanges();

}  // namespace corvane
