#pragma once
// System-call plumbing shared by the file services (file, file_system,
// atomic_writer, folders). Not for use outside platform/.

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_info.h"

namespace corvane::posix {

// Throws TError "<action>: <path>\r<system text of error>".
[[noreturn]] void ThrowSystemError(std::string_view action, const std::string& path, int error);
// Throws TError "<action>: <path>\r<reason>".
[[noreturn]] void ThrowFileError(std::string_view action, const std::string& path, std::string_view reason);

// The reason given when another open file holds the writer lock.
inline constexpr std::string_view kInUseByWriter = "The file is in use by another writer.";

// Takes a whole-file open-file-description lock (F_RDLCK or F_WRLCK) without
// waiting. False with errno EAGAIN when another open file holds a conflicting
// lock (in this process or any other), false with errno set on other failures.
bool TryLock(int fd, short type);
bool IsLockConflict(int error);

// True when `path` still names the file open as `fd` (it was not deleted or
// replaced between opening and locking).
bool StillNamedBy(int fd, const std::string& path);

// Closes fd, keeping errno of the caller.
void CloseQuietly(int fd);

// Information on the file `path` relative to dirFd (AT_FDCWD, or a folder), or
// on dirFd itself when path is empty. Symbolic links are followed. nullopt with
// errno set when it cannot be read.
std::optional<TFileInfo> StatInfo(int dirFd, const char* path, std::string name);

// The folder part of a path ("." for a bare name) and the name part.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

}  // namespace corvane::posix
