#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/named_event.h"
#include "syncprovider/program_start.h"
#include "tests/syncprovider/sync_test_support.h"

namespace corvane {

using namespace sync_testing;

TEST(StartProgram, AcknowledgedHandOffSucceeds) {
  TSyncTestBed bed;
  bed.InstallProgram(TProgramAnswer::kAcknowledges);
  EXPECT_TRUE(StartProgram({kActiveSyncSwitch}, true, kAcknowledgeTimeoutMs));
  EXPECT_EQ(bed.WaitForStarts(1), std::vector<std::string>{"/activesync"});
}

TEST(StartProgram, InstallDirOfTheMachineServesWhenTheUserHasNone) {
  TSyncTestBed bed;
  bed.InstallProgram(TProgramAnswer::kAcknowledges, THive::LocalMachine);
  EXPECT_TRUE(FindProgram().has_value());
  EXPECT_TRUE(StartProgram({kActiveSyncSwitch}, true, kAcknowledgeTimeoutMs));
  bed.WaitForStarts(1);
}

TEST(StartProgram, AcknowledgementWithoutTheErrorEventIsAFailure) {
  TSyncTestBed bed;
  bed.InstallProgram(TProgramAnswer::kRefuses);
  EXPECT_FALSE(StartProgram({kActiveSyncSwitch}, true, kAcknowledgeTimeoutMs));
  EXPECT_EQ(bed.WaitForStarts(1).size(), 1u);
}

TEST(StartProgram, SilentProgramTimesOutAfterFiveSeconds) {
  TSyncTestBed bed;
  bed.InstallProgram(TProgramAnswer::kSilent);
  // Events left set by an earlier session must not count: they are reset first.
  TNamedEvent::CreateOrOpen(kActiveSyncErrorEvent).Set();
  TNamedEvent::CreateOrOpen(kActiveSyncEvent).Set();
  TFakeClock clock;
  EXPECT_FALSE(StartProgram({kActiveSyncSwitch}, true, kAcknowledgeTimeoutMs));
  EXPECT_GE(clock.TickCount(), 5000u);
  EXPECT_LT(clock.TickCount(), 6000u);
  EXPECT_EQ(bed.WaitForStarts(1), std::vector<std::string>{"/activesync"});
}

TEST(StartProgram, FailsWithoutAProgram) {
  TSyncTestBed bed;
  EXPECT_FALSE(FindProgram());
  EXPECT_FALSE(StartProgram({kActiveSyncSwitch}, true, kAcknowledgeTimeoutMs));
  // An Install_Dir that holds no program.
  TRegKey::Create(THive::CurrentUser, "Software\\Corvane").SetString("Install_Dir", bed.Databases());
  EXPECT_FALSE(StartProgram({kActiveSyncSwitch}, false, 0));
}

TEST(StartProgram, WithoutWaitingOnlyStarts) {
  TSyncTestBed bed;
  bed.InstallProgram(TProgramAnswer::kSilent);
  EXPECT_TRUE(StartProgram({kActiveSyncSwitch}, false, 0));
  EXPECT_EQ(bed.WaitForStarts(1), std::vector<std::string>{"/activesync"});
}

}  // namespace corvane
