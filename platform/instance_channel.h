#pragma once
// The single-instance rule and the messages a second start of the program hands to
// the running one. The running instance owns a datagram socket "corvane.sock" in the
// runtime folder (folders.h) and a lock on "corvane.lock" beside it; the lock, which
// the system drops when the process ends however it ends, tells a live instance from
// a socket left behind by a crashed one.
//
// Messages have a fixed size on the wire and are checked on receipt: anything else
// that arrives on the socket is dropped.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/unique_fd.h"

namespace corvane {

struct TInstanceMessage {
  enum class TKind : std::uint32_t {
    Posted = 1,        // a window message with its two parameters
    BringToFront = 2,  // show the main window in front of the others
  };

  TKind kind = TKind::Posted;
  std::uint32_t message = 0;
  std::int64_t wParam = 0;
  std::int64_t lParam = 0;

  static TInstanceMessage Post(std::uint32_t message, std::int64_t wParam = 0, std::int64_t lParam = 0) {
    return {TKind::Posted, message, wParam, lParam};
  }
  static TInstanceMessage BringToFront() { return {TKind::BringToFront, 0, 0, 0}; }

  bool operator==(const TInstanceMessage&) const = default;
};

// The listening side, owned by the running instance. Movable, not copyable; used
// from one thread.
class TInstanceServer {
 public:
  // Makes this process the running instance: takes the instance lock and listens,
  // replacing a socket left by an instance that has ended. nullopt when a live
  // instance already listens. Throws TError when the runtime folder or the socket
  // cannot be set up.
  static std::optional<TInstanceServer> Listen();

  TInstanceServer(TInstanceServer&&) noexcept = default;
  TInstanceServer& operator=(TInstanceServer&&) = delete;
  TInstanceServer(const TInstanceServer&) = delete;
  TInstanceServer& operator=(const TInstanceServer&) = delete;
  // Removes the socket, then gives up the instance lock.
  ~TInstanceServer();

  // Readable (poll) while messages wait; for the window's event loop.
  int Descriptor() const { return socket_.Get(); }

  // The next valid message, without blocking; nullopt when none waits. Malformed
  // datagrams on the way are dropped.
  std::optional<TInstanceMessage> Receive();

 private:
  TInstanceServer(TUniqueFd lock, TUniqueFd socket, std::string socketPath)
      : lock_(std::move(lock)), socket_(std::move(socket)), socketPath_(std::move(socketPath)) {}

  TUniqueFd lock_;
  TUniqueFd socket_;
  std::string socketPath_;
};

// Delivers `message` to the running instance. false when no instance runs; throws
// TError when one runs but does not take the message within a second.
bool PostToRunningInstance(const TInstanceMessage& message);

}  // namespace corvane
