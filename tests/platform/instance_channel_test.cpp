#include "platform/instance_channel.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/named_event.h"
#include "tests/platform/ipc_test_support.h"

namespace corvane {

namespace {

bool ReadableWithin(int fd, int milliseconds) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, milliseconds) == 1 && (p.revents & POLLIN);
}

// The documented wire form of a posted message, built by hand.
std::vector<std::uint8_t> Wire(std::uint32_t kind, std::uint32_t message, std::uint32_t reserved = 0) {
  std::vector<std::uint8_t> wire = {'C', 'V', 'I', 'M'};
  for (std::uint64_t value : {std::uint64_t{kind}, std::uint64_t{message}, std::uint64_t{reserved}})
    for (int i = 0; i < 4; ++i) wire.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  wire.resize(32, 0);
  return wire;
}

}  // namespace

class InstanceChannel : public ::testing::Test {
 protected:
  std::string SocketPath() const { return runtime_.Path() + "/corvane.sock"; }

  testing::TTempRuntimeFolder runtime_;
};

TEST_F(InstanceChannel, OneInstanceListensAtATime) {
  EXPECT_FALSE(PostToRunningInstance(TInstanceMessage::BringToFront())) << "no instance yet";
  {
    auto first = TInstanceServer::Listen();
    ASSERT_TRUE(first.has_value());
    EXPECT_FALSE(TInstanceServer::Listen().has_value());
    TInstanceServer moved = std::move(*first);
    first.reset();  // the moved-from shell gives up nothing
    EXPECT_FALSE(TInstanceServer::Listen().has_value());
    EXPECT_TRUE(PostToRunningInstance(TInstanceMessage::BringToFront()));
    EXPECT_EQ(moved.Receive(), TInstanceMessage::BringToFront());
  }
  EXPECT_FALSE(PostToRunningInstance(TInstanceMessage::BringToFront())) << "the instance has ended";
  EXPECT_TRUE(TInstanceServer::Listen().has_value());
}

TEST_F(InstanceChannel, MessagesPostedByAnotherProcessArriveInOrder) {
  auto server = TInstanceServer::Listen();
  ASSERT_TRUE(server.has_value());
  EXPECT_FALSE(server->Receive().has_value());

  const TInstanceMessage sent[] = {TInstanceMessage::Post(0x7f6), TInstanceMessage::BringToFront(),
                                   TInstanceMessage::Post(0xFFFFFFFFu, INT64_MIN, INT64_MAX)};
  testing::TChildProcess child([&] {
    for (const auto& m : sent)
      if (!PostToRunningInstance(m)) return 1;
    return 0;
  });
  EXPECT_EQ(child.ExitCode(), 0);
  ASSERT_TRUE(ReadableWithin(server->Descriptor(), 10000));
  for (const auto& m : sent) EXPECT_EQ(server->Receive(), m);
  EXPECT_FALSE(server->Receive().has_value());
  EXPECT_FALSE(ReadableWithin(server->Descriptor(), 0));
}

TEST_F(InstanceChannel, MalformedDatagramsAreDropped) {
  auto server = TInstanceServer::Listen();
  ASSERT_TRUE(server.has_value());

  std::vector<std::vector<std::uint8_t>> garbage = {
      {},                               // empty
      {'C', 'V', 'I', 'M', 1},          // short
      Wire(1, 0x7f6),                   // made too long below
      Wire(3, 0x7f6),                   // unknown kind
      Wire(0, 0x7f6),                   // unknown kind
      Wire(1, 0x7f6, 1),                // reserved field in use
  };
  garbage[2].push_back(0);
  garbage.push_back(Wire(1, 0x7f6));
  garbage.back()[0] = 'X';  // wrong magic
  garbage.push_back(Wire(2, 0));  // the one valid message, last

  TUniqueFd peer(::socket(AF_UNIX, SOCK_DGRAM, 0));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, SocketPath().c_str());
  for (const auto& datagram : garbage)
    ASSERT_EQ(::sendto(peer.Get(), datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&address),
                       sizeof(address)),
              static_cast<ssize_t>(datagram.size()));

  EXPECT_EQ(server->Receive(), TInstanceMessage::BringToFront());
  EXPECT_FALSE(server->Receive().has_value());
}

TEST_F(InstanceChannel, SocketOfAKilledInstanceIsReplaced) {
  TNamedEvent ready = TNamedEvent::CreateOrOpen("Ready");
  ready.Reset();
  testing::TChildProcess crashing([] {
    auto server = TInstanceServer::Listen();
    if (!server) return 1;
    TNamedEvent::CreateOrOpen("Ready").Set();
    for (;;) ::pause();
  });
  ASSERT_TRUE(ready.Wait(10000));
  EXPECT_FALSE(TInstanceServer::Listen().has_value()) << "the child is a live instance";
  EXPECT_TRUE(PostToRunningInstance(TInstanceMessage::Post(1)));

  crashing.Kill();
  EXPECT_EQ(crashing.ExitCode(), -1);
  ASSERT_TRUE(std::filesystem::exists(SocketPath())) << "a killed instance leaves its socket";
  EXPECT_FALSE(PostToRunningInstance(TInstanceMessage::Post(2)));

  auto server = TInstanceServer::Listen();
  ASSERT_TRUE(server.has_value());
  EXPECT_TRUE(PostToRunningInstance(TInstanceMessage::Post(3)));
  EXPECT_EQ(server->Receive(), TInstanceMessage::Post(3));
}

}  // namespace corvane
