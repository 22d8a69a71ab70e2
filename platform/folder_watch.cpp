#include "platform/folder_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix_file.h"

namespace corvane {

namespace {

// Names created, deleted or moved; attributes (mode, times, owner); content written.
// The folder's own deletion or move is a change too. Inotify never reports what
// happens inside subfolders.
constexpr std::uint32_t kChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_MODIFY |
                                   IN_DELETE_SELF | IN_MOVE_SELF;

}  // namespace

TFolderWatch::TFolderWatch(const std::string& folder)
    : notifications_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
  if (!notifications_.IsValid() ||
      ::inotify_add_watch(notifications_.Get(), folder.c_str(), kChanges | IN_ONLYDIR | IN_EXCL_UNLINK) < 0)
    posix::ThrowSystemError("Cannot watch folder", folder, errno);
}

bool TFolderWatch::IsSignalled() {
  alignas(inotify_event) char buffer[4096];
  for (;;) {
    ssize_t n = ::read(notifications_.Get(), buffer, sizeof(buffer));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // EAGAIN: nothing more waits
    signalled_ = true;  // every notification, an overflow included, is a change
    // Events are whole in one read; `len` is the kernel's, bounded by what was read.
    for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->mask & IN_IGNORED) ended_ = true;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  return signalled_;
}

bool TFolderWatch::Rearm() {
  signalled_ = false;
  return !ended_;
}

}  // namespace corvane
