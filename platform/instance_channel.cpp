#include "platform/instance_channel.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "platform/folders.h"
#include "platform/posix_file.h"

namespace corvane {

namespace {

// Wire form, little-endian: magic "CVIM", kind u32, message u32, reserved u32 (0),
// wParam i64, lParam i64.
constexpr std::size_t kWireSize = 32;
constexpr std::array<std::uint8_t, 4> kMagic = {'C', 'V', 'I', 'M'};
using TWire = std::array<std::uint8_t, kWireSize>;

void PutLittleEndian(TWire& wire, std::size_t offset, std::uint64_t value, std::size_t bytes) {
  for (std::size_t i = 0; i < bytes; ++i) wire[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t GetLittleEndian(const TWire& wire, std::size_t offset, std::size_t bytes) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(wire[offset + i]) << (8 * i);
  return value;
}

TWire Encode(const TInstanceMessage& m) {
  TWire wire{};
  std::copy(kMagic.begin(), kMagic.end(), wire.begin());
  PutLittleEndian(wire, 4, static_cast<std::uint32_t>(m.kind), 4);
  PutLittleEndian(wire, 8, m.message, 4);
  PutLittleEndian(wire, 16, static_cast<std::uint64_t>(m.wParam), 8);
  PutLittleEndian(wire, 24, static_cast<std::uint64_t>(m.lParam), 8);
  return wire;
}

std::optional<TInstanceMessage> Decode(const TWire& wire) {
  if (!std::equal(kMagic.begin(), kMagic.end(), wire.begin()) || GetLittleEndian(wire, 12, 4) != 0)
    return std::nullopt;
  auto kind = static_cast<TInstanceMessage::TKind>(GetLittleEndian(wire, 4, 4));
  if (kind != TInstanceMessage::TKind::Posted && kind != TInstanceMessage::TKind::BringToFront)
    return std::nullopt;
  return TInstanceMessage{kind, static_cast<std::uint32_t>(GetLittleEndian(wire, 8, 4)),
                          static_cast<std::int64_t>(GetLittleEndian(wire, 16, 8)),
                          static_cast<std::int64_t>(GetLittleEndian(wire, 24, 8))};
}

sockaddr_un SocketAddress(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path))
    posix::ThrowFileError("Cannot create instance socket", path, "The path is too long.");
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

constexpr std::string_view kCannotPost = "Cannot post to running instance";

std::string SocketPath(const std::string& folder) { return folder + "/corvane.sock"; }

}  // namespace

std::optional<TInstanceServer> TInstanceServer::Listen() {
  std::string folder = RuntimeFolder();
  std::string lockPath = folder + "/corvane.lock";
  TUniqueFd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!lock.IsValid()) posix::ThrowSystemError("Cannot open instance lock", lockPath, errno);
  if (!posix::TryLock(lock.Get(), F_WRLCK)) {
    if (posix::IsLockConflict(errno)) return std::nullopt;  // a live instance holds it
    posix::ThrowSystemError("Cannot take instance lock", lockPath, errno);
  }

  // Holding the lock, any socket present was left by an instance that has ended.
  std::string path = SocketPath(folder);
  sockaddr_un address = SocketAddress(path);
  if (::unlink(path.c_str()) != 0 && errno != ENOENT)
    posix::ThrowSystemError("Cannot replace instance socket", path, errno);
  TUniqueFd socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!socket.IsValid() || ::bind(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
    posix::ThrowSystemError("Cannot create instance socket", path, errno);
  return TInstanceServer(std::move(lock), std::move(socket), std::move(path));
}

TInstanceServer::~TInstanceServer() {
  if (socket_.IsValid()) ::unlink(socketPath_.c_str());
}

std::optional<TInstanceMessage> TInstanceServer::Receive() {
  for (;;) {
    TWire wire{};
    // MSG_TRUNC reports a datagram's true length, so a longer one is not taken for a
    // valid message cut to size.
    ssize_t n = ::recv(socket_.Get(), wire.data(), wire.size(), MSG_DONTWAIT | MSG_TRUNC);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return std::nullopt;
      posix::ThrowSystemError("Cannot read instance socket", socketPath_, errno);
    }
    if (static_cast<std::size_t>(n) != kWireSize) continue;
    if (auto message = Decode(wire)) return message;
  }
}

bool PostToRunningInstance(const TInstanceMessage& message) {
  std::string path = SocketPath(RuntimeFolder());
  sockaddr_un address = SocketAddress(path);
  TUniqueFd socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (!socket.IsValid()) posix::ThrowSystemError(kCannotPost, path, errno);
  // A running instance whose queue stays full for this long is not answering.
  timeval patience{1, 0};
  ::setsockopt(socket.Get(), SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof(patience));

  TWire wire = Encode(message);
  for (;;) {
    ssize_t n = ::sendto(socket.Get(), wire.data(), wire.size(), 0, reinterpret_cast<const sockaddr*>(&address),
                         sizeof(address));
    if (n >= 0) return true;  // a datagram goes whole or not at all
    if (errno == EINTR) continue;
    // No socket, or one nobody listens on any more: no instance runs.
    if (errno == ENOENT || errno == ECONNREFUSED) return false;
    if (errno == EAGAIN || errno == EWOULDBLOCK)
      posix::ThrowFileError(kCannotPost, path, "The running instance does not respond.");
    posix::ThrowSystemError(kCannotPost, path, errno);
  }
}

}  // namespace corvane
