#pragma once
// A named, manual-reset event shared by the processes of one user's session. It is
// a small file in the runtime folder (folders.h) whose first byte holds the state,
// so it outlives the processes that use it: whoever waits on it resets it first.
//
// An object is used from one thread; several processes may use the same event.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace corvane {

class TNamedEvent {
 public:
  // Opens the event called `name`, creating it (not set) when it does not exist.
  // The name is a plain name: not empty, no '/' or NUL, not "." or "..".
  // Throws TError for an invalid name or when the event file cannot be opened.
  static TNamedEvent CreateOrOpen(std::string_view name);

  // Opens the event called `name` only when some process has created it;
  // nullopt otherwise. Throws TError like CreateOrOpen.
  static std::optional<TNamedEvent> OpenExisting(std::string_view name);

  TNamedEvent(TNamedEvent&&) noexcept = default;
  TNamedEvent& operator=(TNamedEvent&&) noexcept = default;
  TNamedEvent(const TNamedEvent&) = delete;
  TNamedEvent& operator=(const TNamedEvent&) = delete;

  // Set and Reset change the state for every process; they throw TError when the
  // event file cannot be written.
  void Set();
  void Reset();
  bool IsSet() const;

  // Waits until the event is set, at most `timeoutMs` milliseconds by Clock();
  // true when it was set in time. It stays set (manual reset). A time-out of 0
  // only looks.
  bool Wait(std::uint32_t timeoutMs);

 private:
  TNamedEvent(TUniqueFd file, std::string path) : file_(std::move(file)), path_(std::move(path)) {}
  void WriteState(char state);

  TUniqueFd file_;
  std::string path_;  // for messages
};

}  // namespace corvane
