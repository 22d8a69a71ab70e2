#pragma once
// A change notification on one folder (not its subfolders): file names created,
// deleted or renamed, and changes of attributes, size or last-write time of its
// entries. The watch becomes signalled at the first change and stays so until it is
// re-armed; changes after that signal it again, so none is missed between polls.
//
// Movable, not copyable; used from one thread.

#include <string>

#include "platform/unique_fd.h"

namespace corvane {

class TFolderWatch {
 public:
  // Starts watching `folder`. Throws TError naming the folder when it does not
  // exist, is not a folder, or cannot be watched.
  explicit TFolderWatch(const std::string& folder);

  TFolderWatch(TFolderWatch&&) noexcept = default;
  TFolderWatch& operator=(TFolderWatch&&) noexcept = default;
  TFolderWatch(const TFolderWatch&) = delete;
  TFolderWatch& operator=(const TFolderWatch&) = delete;

  // Readable (poll) while changes wait to be taken by IsSignalled; for an event loop.
  int Descriptor() const { return notifications_.Get(); }

  // Whether a change has been seen since the last Rearm; never blocks. Takes the
  // waiting notifications, so the descriptor is quiet again afterwards.
  bool IsSignalled();

  // Clears the signalled state. false when the watch has ended because the folder
  // was deleted or its file system unmounted; a new watch is then needed.
  bool Rearm();

 private:
  TUniqueFd notifications_;
  bool signalled_ = false;
  bool ended_ = false;
};

}  // namespace corvane
