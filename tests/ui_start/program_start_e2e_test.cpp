// The corvane executable's start-up paths, run as a real process: the
// synchronisation run, the hand-over to a running instance (a listener of
// this test stands in for it), the start that needs the window, and the
// provider library's own harness driving the program through its hand-off.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/sync_handoff.h"
#include "engine/base.h"
#include "engine/cipher_registry.h"
#include "engine/dbfile.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/instance_channel.h"
#include "platform/named_event.h"
#include "platform/registry.h"
#include "tests/platform/file_test_support.h"

namespace corvane {
namespace {

using file_testing::TScopedEnv;
using file_testing::TTempFolder;

struct TRun {
  int exitCode = -1;
  std::string output;  // standard output and error
};

// Runs a program with arguments (no spaces in them) in the test's environment.
TRun RunProcess(const std::string& commandLine) {
  TRun run;
  FILE* pipe = ::popen((commandLine + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[512];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class ProgramProcessTest : public ::testing::Test {
 protected:
  ProgramProcessTest() { CreateFolder(databases); }

  // A database file in the default database folder; returns its identifier.
  TGuid MakeDatabase(const std::string& fileName, const std::string& name) {
    std::unique_ptr<TPwdBase> base =
        CreateDatabaseFile(databases + "/" + fileName, name, "", "pw", std::string(1, AllAlgorithms()[0]));
    const TGuid id = base->Guid;
    base->Close();
    return id;
  }
  static std::optional<TRegKey> Record(const TGuid& id) {
    return TRegKey::Open(THive::CurrentUser, std::string(kActiveSyncRegistryKey) + "\\" + id.ToString());
  }
  static bool IsSet(std::string_view name) {
    std::optional<TNamedEvent> event = TNamedEvent::OpenExisting(name);
    return event && event->IsSet();
  }

  TTempFolder root;
  TScopedEnv userHive{"CORVANE_USER_REGISTRY", root / "user.sqlite"};
  TScopedEnv machineHive{"CORVANE_MACHINE_REGISTRY", root / "machine.sqlite"};
  TScopedEnv runtime{"CORVANE_RUNTIME_DIR", root / "run"};
  TScopedEnv documents{"XDG_DOCUMENTS_DIR", root / "documents"};
  std::string databases = root / "documents/My databases";
  const std::string program = CORVANE_PROGRAM;
};

TEST_F(ProgramProcessTest, SynchronisationRunWritesTheRecordsAndAcknowledges) {
  const TGuid id = MakeDatabase("CVBase1.dat", "Home");
  TNamedEvent::CreateOrOpen(kActiveSyncErrorEventName).Reset();
  TNamedEvent::CreateOrOpen(kActiveSyncEventName).Reset();

  const TRun run = RunProcess(program + " /activesync");

  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, "");
  std::optional<TRegKey> record = Record(id);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->QueryString("File"), databases + "/CVBase1.dat");
  EXPECT_EQ(record->QueryString("Name"), "Home");
  EXPECT_EQ(record->QueryDWord("OID"), GetFileInfo(databases + "/CVBase1.dat").objectId);
  EXPECT_EQ(TRegKey::Open(THive::CurrentUser, kActiveSyncRegistryKey)->QueryString("NewDbFileName"),
            databases + "/CVBase%d.dat");
  EXPECT_TRUE(IsSet(kActiveSyncErrorEventName));
  EXPECT_TRUE(IsSet(kActiveSyncEventName));
}

TEST_F(ProgramProcessTest, SecondStartHandsOverAndEndsWithTen) {
  std::optional<TInstanceServer> running = TInstanceServer::Listen();
  ASSERT_TRUE(running);
  MakeDatabase("CVBase1.dat", "Home");

  const TRun withSwitch = RunProcess(program + " -ActiveSync");
  EXPECT_EQ(withSwitch.exitCode, 10) << withSwitch.output;
  EXPECT_EQ(running->Receive(), TInstanceMessage::Post(kActiveSyncMessage, 0, 0));
  EXPECT_FALSE(TRegKey::Open(THive::CurrentUser, kActiveSyncRegistryKey)) << "a second start touches nothing";

  const TRun plain = RunProcess(program);
  EXPECT_EQ(plain.exitCode, 10) << plain.output;
  EXPECT_EQ(running->Receive(), TInstanceMessage::BringToFront());
  EXPECT_FALSE(running->Receive());
}

TEST_F(ProgramProcessTest, StartWithoutTheSwitchNeedsTheWindow) {
  const TRun run = RunProcess(program);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("The window is not available in this build."), std::string::npos) << run.output;
  EXPECT_TRUE(TInstanceServer::Listen()) << "the ended start holds no instance";
}

#ifdef CORVANESYNC_HOST
TEST_F(ProgramProcessTest, ProviderLibraryHandOffReachesTheProgram) {
  const TGuid id = MakeDatabase("CVBase1.dat", "Home");
  // The program where the library looks for it: Install_Dir of Software\Corvane.
  const std::string install = root / "install";
  CreateFolder(install);
  ASSERT_EQ(::symlink(program.c_str(), (install + "/corvane").c_str()), 0);
  TRegKey::Create(THive::CurrentUser, "Software\\Corvane").SetString("Install_Dir", install);

  // The library starts the program, waits for the error event and then the
  // acknowledgement, and reads the records the program wrote.
  const TRun run = RunProcess(std::string(CORVANESYNC_HOST) + " --library " + CORVANESYNC_LIBRARY + " list");

  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string oid = std::to_string(GetFileInfo(databases + "/CVBase1.dat").objectId);
  EXPECT_NE(run.output.find("changed: " + oid + "\n"), std::string::npos) << run.output;
  EXPECT_TRUE(Record(id));
}
#endif

}  // namespace
}  // namespace corvane
