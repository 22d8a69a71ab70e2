// The watch on the database folders: a refresh is due only after a quiet
// second, never while a modal dialog is open, and never for the program's own
// writes. Changes come from another process, as they do in use.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "app/folder_watch_poll.h"
#include "app/session_modal.h"
#include "platform/clock.h"
#include "tests/platform/file_test_support.h"

namespace corvane {
namespace {

// Writes `path` from a child process and waits for it to finish.
void WriteFromAnotherProcess(const std::string& path) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "changed";
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

class LocationsWatch : public ::testing::Test {
 protected:
  LocationsWatch() { poll.Watch({first.Path(), second.Path(), first.Path() + "/missing"}); }

  file_testing::TTempFolder first, second;
  TFakeClock clock{5000};
  TFolderChangePoll poll;
};

TEST_F(LocationsWatch, RefreshIsDueAfterAQuietSecond) {
  EXPECT_EQ(poll.WatchCount(), 2u);  // a missing folder gets no watch
  EXPECT_FALSE(poll.Poll(false));
  WriteFromAnotherProcess(second / "CVBase1.dat");
  EXPECT_FALSE(poll.Poll(false));
  EXPECT_EQ(poll.PendingChange(), 5000u);

  // A second change restarts the quiet period.
  clock.Advance(800);
  WriteFromAnotherProcess(first / "CVBase2.dat");
  EXPECT_FALSE(poll.Poll(false));
  clock.Advance(1000);
  EXPECT_FALSE(poll.Poll(false)) << "exactly one second is not yet quiet enough";
  clock.Advance(1);
  EXPECT_TRUE(poll.Poll(false));
  // Once refreshed, nothing is due until the next change.
  clock.Advance(5000);
  EXPECT_FALSE(poll.Poll(false));
}

TEST_F(LocationsWatch, AModalPhaseHoldsTheProcessWideRefreshBack) {
  FolderChanges().Watch({first.Path()});
  WriteFromAnotherProcess(first / "CVBase1.dat");
  {
    const TModalPhase dialog;
    EXPECT_FALSE(PollFolderChanges());
    clock.Advance(3000);
    EXPECT_FALSE(PollFolderChanges());
  }
  EXPECT_TRUE(PollFolderChanges());
  FolderChanges().Watch({});
}

TEST_F(LocationsWatch, OwnWritesDoNotCountButOthersBeforeThemDo) {
  {
    TFolderChangePoll::TOwnWrites own(poll);
    file_testing::WriteText(first / "CVBase1.dat", "saved by us");
    file_testing::WriteText(first / "CVBase1.dat", "and again");
  }
  EXPECT_FALSE(poll.PendingChange());
  clock.Advance(2000);
  EXPECT_FALSE(poll.Poll(false));

  WriteFromAnotherProcess(second / "CVBase1.dat");
  EXPECT_FALSE(poll.Poll(false));
  const std::optional<std::uint32_t> otherChange = poll.PendingChange();
  ASSERT_TRUE(otherChange);
  clock.Advance(500);
  {
    TFolderChangePoll::TOwnWrites own(poll);
    file_testing::WriteText(first / "CVBase1.dat", "saved by us");
  }
  // The other program's change is still pending, from its own time.
  EXPECT_EQ(poll.PendingChange(), otherChange);
  clock.Advance(1000 - TicksSince(*otherChange, clock.TickCount()));
  EXPECT_FALSE(poll.Poll(false));
  clock.Advance(1);
  EXPECT_TRUE(poll.Poll(false));
}

}  // namespace
}  // namespace corvane
