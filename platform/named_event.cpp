#include "platform/named_event.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/clock.h"
#include "platform/folders.h"
#include "platform/posix_file.h"

namespace corvane {

namespace {

constexpr char kSet = '1';
constexpr char kNotSet = '0';
// How often a waiter looks at the state.
constexpr std::uint32_t kPollStepMs = 10;

void CheckName(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || name.find_first_of(std::string_view("/\0", 2)) != name.npos)
    posix::ThrowFileError("Cannot open event", std::string(name), "The name is not a plain name.");
}

std::string EventPath(std::string_view name) {
  CheckName(name);
  return RuntimeFolder() + "/" + std::string(name) + ".event";
}

// Opens the event file with `flags` added; an invalid descriptor when it does not
// exist and O_CREAT was not asked for.
TUniqueFd OpenEventFile(const std::string& path, int flags) {
  TUniqueFd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | flags, 0600));
  if (!fd.IsValid() && !(errno == ENOENT && !(flags & O_CREAT)))
    posix::ThrowSystemError("Cannot open event", path, errno);
  return fd;
}

}  // namespace

TNamedEvent TNamedEvent::CreateOrOpen(std::string_view name) {
  std::string path = EventPath(name);
  TUniqueFd fd = OpenEventFile(path, O_CREAT);
  return TNamedEvent(std::move(fd), std::move(path));
}

std::optional<TNamedEvent> TNamedEvent::OpenExisting(std::string_view name) {
  std::string path = EventPath(name);
  TUniqueFd fd = OpenEventFile(path, 0);
  if (!fd.IsValid()) return std::nullopt;
  return TNamedEvent(std::move(fd), std::move(path));
}

void TNamedEvent::WriteState(char state) {
  // One byte at a fixed place: other processes see the old or the new state, never a mix.
  if (::pwrite(file_.Get(), &state, 1, 0) != 1)
    posix::ThrowSystemError("Cannot change event", path_, errno);
}

void TNamedEvent::Set() { WriteState(kSet); }

void TNamedEvent::Reset() { WriteState(kNotSet); }

bool TNamedEvent::IsSet() const {
  char state = kNotSet;
  ssize_t n = ::pread(file_.Get(), &state, 1, 0);
  if (n < 0) posix::ThrowSystemError("Cannot read event", path_, errno);
  return n == 1 && state == kSet;
}

bool TNamedEvent::Wait(std::uint32_t timeoutMs) {
  std::uint32_t start = Clock().TickCount();
  for (;;) {
    if (IsSet()) return true;
    std::uint32_t waited = TicksSince(start, Clock().TickCount());
    if (waited >= timeoutMs) return false;
    Clock().Sleep(std::min(kPollStepMs, timeoutMs - waited));
  }
}

}  // namespace corvane
