// The auto-close step of the main window's timer: timeouts of the program and
// of a database, the mark and the close at the next free tick, the close-all
// request, the daily expired-records report and the stale clipboard value.

#include <gtest/gtest.h>

#include <cmath>

#include "app/message_box.h"
#include "app/runtime_settings.h"
#include "app/session_auto_close.h"
#include "app/session_expired.h"
#include "app/session_modal.h"
#include "app/session_open.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "tests/app/session_test_support.h"
#include "tests/engine/dbfile_test_support.h"

namespace corvane {
namespace {

using testing::TSessionTest;

class TWindow : public TAutoCloseWindow {
 public:
  bool CloseAllRequested() override { return closeAll; }
  void AcknowledgeCloseAll() override {
    closeAll = false;
    ++acknowledged;
  }
  TPwdBase* SelectedDatabase() override { return selected; }
  std::optional<std::uint32_t> ClipboardValueTick() override { return clipboardTick; }
  void DropClipboardValue() override { clipboardTick.reset(); }
  void RefreshRecordList() override { ++listRefreshes; }

  bool closeAll = false;
  int acknowledged = 0;
  TPwdBase* selected = nullptr;
  std::optional<std::uint32_t> clipboardTick;
  int listRefreshes = 0;
};

class AutoCloseTest : public TSessionTest {
 protected:
  AutoCloseTest() {
    SetAutoCloseSeconds(3);
    CheckExpiredRecords();  // the start-up report: nothing expired yet
  }
  static void SetAutoCloseSeconds(int seconds) {
    TSettingsAccess access(true);
    WriteSetting(setting::AutoClose, true);
    WriteSetting(setting::AutoCloseTimeSec, seconds);
    access.Close();
    ApplySettings();
  }
  TPwdBase& OpenNew(const std::string& fileName, std::uint32_t optionFlags = 0, int seconds = 0) {
    TPwdBase& base = AddDatabase(fileName, fileName, {}, [=](TPwdBase& b) {
      b.OptionFlags = optionFlags;
      b.AutoCloseSeconds = seconds;
    });
    frontEnd.passwords.push_back("pw");
    EXPECT_TRUE(OpenDatabase(base));
    return base;
  }

  TWindow window;
};

TEST_F(AutoCloseTest, TimeoutsOfTheProgramAndOfTheDatabase) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Home");
  struct TCase {
    std::uint32_t flags;
    int seconds;
    std::uint32_t timeout;
  };
  for (const TCase& c : {TCase{0, 0, 3000}, TCase{kOverrideAutoClose | kCloseWhenInactive, 10, 10000},
                         TCase{kOverrideAutoClose | kCloseWhenInactive, 1, 3000},
                         TCase{kOverrideAutoClose | kCloseWhenInactive, -5, 3000},
                         TCase{kOverrideAutoClose, 10, 0}, TCase{kCloseWhenInactive, 10, 3000}}) {
    base.OptionFlags = c.flags;
    base.AutoCloseSeconds = c.seconds;
    EXPECT_EQ(AutoCloseTimeoutMs(base), c.timeout) << c.flags << " " << c.seconds;
  }
}

TEST_F(AutoCloseTest, ModifiedDatabaseIsSavedWithBackupAndClosedAtTheTickAfterItsTime) {
  TPwdBase& base = OpenNew("CVBase1.dat");
  base.SetName("Changed");
  window.selected = &base;
  clock.Advance(2999);
  AutoCloseTick(window);
  EXPECT_FALSE(AutoClosePending(base));
  clock.Advance(1);
  AutoCloseTick(window);
  EXPECT_TRUE(AutoClosePending(base));
  EXPECT_TRUE(IsDatabaseOpen(base));
  EXPECT_EQ(frontEnd.hooks.back(), "CloseModalDialogs") << "the selected database's dialogs go first";

  clock.Advance(500);
  AutoCloseTick(window);
  EXPECT_FALSE(IsDatabaseOpen(base));
  EXPECT_EQ(BackupFiles().size(), 1u);
  TPwdBase reader;
  reader.FileName = base.FileName;
  reader.Open("pw");
  EXPECT_EQ(reader.Name, "Changed");
  EXPECT_TRUE(frontEnd.messages.empty()) << "no save question";
}

TEST_F(AutoCloseTest, NothingClosesWhileAModalPhaseRuns) {
  TPwdBase& base = OpenNew("CVBase1.dat");
  clock.Advance(3000);
  AutoCloseTick(window);
  BeginModal();
  clock.Advance(500);
  AutoCloseTick(window);
  EXPECT_TRUE(IsDatabaseOpen(base));
  EndModal();
  AutoCloseTick(window);
  EXPECT_FALSE(IsDatabaseOpen(base));
}

TEST_F(AutoCloseTest, ActivityRestartsTheTime) {
  TPwdBase& base = OpenNew("CVBase1.dat");
  for (int i = 0; i < 10; ++i) {
    clock.Advance(2500);
    NoteUserActivity();
    AutoCloseTick(window);
  }
  EXPECT_TRUE(IsDatabaseOpen(base));
}

TEST_F(AutoCloseTest, DatabaseWithCloseWhenInactiveOffNeverCloses) {
  TPwdBase& kept = OpenNew("CVBase1.dat", kOverrideAutoClose, 3);
  TPwdBase& closed = OpenNew("CVBase2.dat", kOverrideAutoClose | kCloseWhenInactive, 5);
  for (int i = 0; i < 20; ++i) {
    clock.Advance(500);
    AutoCloseTick(window);
  }
  EXPECT_FALSE(IsDatabaseOpen(closed));
  clock.Advance(24 * 3600 * 1000u);
  AutoCloseTick(window);
  AutoCloseTick(window);
  EXPECT_TRUE(IsDatabaseOpen(kept));
}

TEST_F(AutoCloseTest, CloseAllRequestClosesEveryOpenDatabaseAndIsAcknowledged) {
  SetAutoCloseSeconds(0);  // auto-close off
  TPwdBase& first = OpenNew("CVBase1.dat");
  TPwdBase& second = OpenNew("CVBase2.dat", kOverrideAutoClose);
  second.SetName("Changed");
  window.closeAll = true;
  AutoCloseTick(window);
  EXPECT_FALSE(IsDatabaseOpen(first));
  EXPECT_FALSE(IsDatabaseOpen(second));
  EXPECT_EQ(window.acknowledged, 1);
  AutoCloseTick(window);
  EXPECT_EQ(window.acknowledged, 1);
}

TEST_F(AutoCloseTest, ClipboardValueIsDroppedAfterAMinute) {
  window.clipboardTick = clock.TickCount();
  clock.Advance(59999);
  AutoCloseTick(window);
  EXPECT_TRUE(window.clipboardTick.has_value());
  clock.Advance(1);
  AutoCloseTick(window);
  EXPECT_FALSE(window.clipboardTick.has_value());
}

TEST_F(AutoCloseTest, ExpiryReportComesOnceADay) {
  AddDatabase("CVBase1.dat", "Home", {}, [](TPwdBase& b) {
    testing::AddRecord(b, "Old", std::floor(Clock().Now()) + 0.5);  // expires later today
  });
  for (int i = 0; i < 3; ++i) AutoCloseTick(window);
  EXPECT_TRUE(frontEnd.messages.empty());
  EXPECT_EQ(window.listRefreshes, 0);

  clock.Advance(24 * 3600 * 1000u);
  for (int i = 0; i < 3; ++i) AutoCloseTick(window);
  EXPECT_EQ(frontEnd.MessageTexts(),
            std::vector<std::string>{"The following databases contain expired records:\n\nHome (expired records: 1)."});
  EXPECT_EQ(window.listRefreshes, 1);
}

TEST_F(AutoCloseTest, ReportCountsOpenAndClosedDatabasesWithDatesBeforeToday) {
  const double today = std::floor(Clock().Now());
  auto records = [today](TPwdBase& b) {
    testing::AddRecord(b, "Yesterday", today - 1);
    testing::AddRecord(b, "Last year", today - 365);
    testing::AddRecord(b, "Today", today);
    testing::AddRecord(b, "Never", 0);
  };
  TPwdBase& open = AddDatabase("CVBase1.dat", "Open", {}, records);
  AddDatabase("CVBase2.dat", "Clean");
  AddDatabase("CVBase3.dat", "Closed", {}, records);
  frontEnd.passwords.push_back("pw");
  ASSERT_TRUE(OpenDatabase(open));
  EXPECT_EQ(CountExpiredRecords(open, today), 2);
  CheckExpiredRecords();
  ASSERT_EQ(frontEnd.messages.size(), 1u);
  EXPECT_EQ(frontEnd.messages[0].text,
            "The following databases contain expired records:\n\n"
            "Open (expired records: 2),\nClosed (expired records: 2).");
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Warning);
  EXPECT_EQ(LastExpiryCheck(), today);
}

}  // namespace
}  // namespace corvane
