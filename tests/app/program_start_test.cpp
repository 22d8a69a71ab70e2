// The start-up decision: the switch, the hand-over to a running instance (a
// listener of this test stands in for it), the synchronisation run without a
// window, and the start that goes on to the window as the running instance.

#include <gtest/gtest.h>

#include "app/app_services.h"
#include "app/known_databases.h"
#include "app/program_start.h"
#include "app/sync_handoff.h"
#include "platform/instance_channel.h"
#include "platform/named_event.h"
#include "platform/registry.h"
#include "tests/app/locations_test_support.h"

namespace corvane {
namespace {

using file_testing::TScopedEnv;
using testing::TLocationsTest;

TEST(ActiveSyncSwitch, EitherSwitchCharacterAndAnyCase) {
  const struct {
    std::vector<std::string> args;
    bool expected;
  } cases[] = {
      {{"/activesync"}, true},
      {{"-ActiveSync"}, true},
      {{"/ACTIVESYNC"}, true},
      {{"first", "-activesync", "last"}, true},
      {{}, false},
      {{"activesync"}, false},
      {{"--activesync"}, false},
      {{"/activesyncs"}, false},
      {{"/active"}, false},
      {{"\\activesync"}, false},
      {{""}, false},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& arg : c.args) shown += "[" + arg + "]";
    EXPECT_EQ(HasActiveSyncSwitch(c.args), c.expected) << shown;
  }
}

class ProgramStartTest : public TLocationsTest {
 protected:
  ProgramStartTest() { StopSettings(); }  // DecideStart starts the services itself
  ~ProgramStartTest() override { StopApplicationServices(); }

  TStartDecision Start(const std::vector<std::string>& args) { return DecideStart(args, program.Path()); }

  static bool SyncKeyExists() { return TRegKey::Open(THive::CurrentUser, kActiveSyncRegistryKey).has_value(); }

  TScopedEnv runtime{"CORVANE_RUNTIME_DIR", files / "run"};
};

TEST_F(ProgramStartTest, SecondStartWithTheSwitchPostsTheHandOffAndTouchesNothing) {
  std::optional<TInstanceServer> running = TInstanceServer::Listen();
  ASSERT_TRUE(running);
  MakeDatabase(Folder("documents/My databases") + "/CVBase1.dat", "Home");

  TStartDecision start = Start({"/activesync"});

  EXPECT_EQ(start.exitCode, kExitSecondInstance);
  EXPECT_FALSE(start.instance);
  EXPECT_EQ(running->Receive(), TInstanceMessage::Post(kActiveSyncMessage, 0, 0));
  EXPECT_FALSE(running->Receive());
  EXPECT_TRUE(KnownDatabases().empty());
  EXPECT_FALSE(SyncKeyExists());
}

TEST_F(ProgramStartTest, SecondStartWithoutTheSwitchBringsTheRunningWindowForward) {
  std::optional<TInstanceServer> running = TInstanceServer::Listen();
  ASSERT_TRUE(running);

  TStartDecision start = Start({});

  EXPECT_EQ(start.exitCode, kExitSecondInstance);
  EXPECT_EQ(running->Receive(), TInstanceMessage::BringToFront());
}

TEST_F(ProgramStartTest, SwitchWithNoRunningInstanceIsASynchronisationRun) {
  const std::string folder = Folder("documents/My databases");
  MakeDatabase(folder + "/CVBase1.dat", "Home");
  TNamedEvent::CreateOrOpen(kActiveSyncErrorEventName).Reset();
  TNamedEvent::CreateOrOpen(kActiveSyncEventName).Reset();

  TStartDecision start = Start({"-ACTIVESYNC"});

  EXPECT_EQ(start.exitCode, 0);
  EXPECT_FALSE(start.instance);
  ASSERT_EQ(KnownDatabases().size(), 1u);
  std::optional<TRegKey> record =
      TRegKey::Open(THive::CurrentUser, std::string(kActiveSyncRegistryKey) + "\\" + KnownDatabases()[0].base->Guid.ToString());
  ASSERT_TRUE(record);
  EXPECT_EQ(record->QueryString("File"), folder + "/CVBase1.dat");
  EXPECT_TRUE(TNamedEvent::OpenExisting(kActiveSyncErrorEventName)->IsSet());
  EXPECT_TRUE(TNamedEvent::OpenExisting(kActiveSyncEventName)->IsSet());
  EXPECT_TRUE(TInstanceServer::Listen()) << "the run leaves no instance behind";
  EXPECT_TRUE(frontEnd.messages.empty());
}

TEST_F(ProgramStartTest, NormalStartBecomesTheRunningInstance) {
  TStartDecision first = Start({"--some-other-argument"});
  ASSERT_FALSE(first.exitCode);
  ASSERT_TRUE(first.instance);
  EXPECT_FALSE(SyncKeyExists());
  EXPECT_EQ(DatabaseFolders().size(), 1u) << "the services are started";

  TStartDecision second = Start({});
  EXPECT_EQ(second.exitCode, kExitSecondInstance);
  EXPECT_EQ(first.instance->Receive(), TInstanceMessage::BringToFront());
}

}  // namespace
}  // namespace corvane
