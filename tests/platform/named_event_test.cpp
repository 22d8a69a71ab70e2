#include "platform/named_event.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "platform/error.h"
#include "tests/platform/ipc_test_support.h"

namespace corvane {

class NamedEvent : public ::testing::Test {
 protected:
  testing::TTempRuntimeFolder runtime_;
};

TEST_F(NamedEvent, NamesThatAreNotPlainNamesAreRefused) {
  for (std::string name : {std::string(""), std::string("."), std::string(".."), std::string("a/b"),
                           std::string("/abs"), std::string("nul\0inside", 10)}) {
    EXPECT_THROW(TNamedEvent::CreateOrOpen(name), TError) << name;
    EXPECT_THROW(TNamedEvent::OpenExisting(name), TError) << name;
  }
  for (const char* name : {"Corvane_ActiveSyncEvent", "with.dots", "..."})
    EXPECT_NO_THROW(TNamedEvent::CreateOrOpen(name)) << name;
}

TEST_F(NamedEvent, ExistsOnceCreatedAndSharesItsStateBetweenHandles) {
  EXPECT_FALSE(TNamedEvent::OpenExisting("Corvane_ActiveSyncEvent").has_value());
  TNamedEvent created = TNamedEvent::CreateOrOpen("Corvane_ActiveSyncEvent");
  EXPECT_FALSE(created.IsSet());

  auto opened = TNamedEvent::OpenExisting("Corvane_ActiveSyncEvent");
  ASSERT_TRUE(opened.has_value());
  opened->Set();
  EXPECT_TRUE(created.IsSet());
  EXPECT_TRUE(created.Wait(0));
  EXPECT_TRUE(created.IsSet()) << "a wait does not reset the event";
  created.Reset();
  EXPECT_FALSE(opened->IsSet());
  // Names are case-sensitive: this is another event.
  EXPECT_FALSE(TNamedEvent::OpenExisting("corvane_activesyncevent").has_value());
}

TEST_F(NamedEvent, AnotherProcessSetsBothEventsInOrder) {
  TNamedEvent done = TNamedEvent::CreateOrOpen("Corvane_ActiveSyncEvent");
  TNamedEvent error = TNamedEvent::CreateOrOpen("Corvane_ActiveSyncErrorEvent");
  done.Reset();
  error.Reset();
  TNamedEvent go = TNamedEvent::CreateOrOpen("Go");
  go.Reset();

  testing::TChildProcess child([] {
    // The child waits for the parent's signal, then acknowledges like the program does.
    if (!TNamedEvent::CreateOrOpen("Go").Wait(10000)) return 1;
    TNamedEvent::OpenExisting("Corvane_ActiveSyncErrorEvent")->Set();
    TNamedEvent::OpenExisting("Corvane_ActiveSyncEvent")->Set();
    return 0;
  });
  EXPECT_FALSE(done.IsSet());
  go.Set();
  EXPECT_TRUE(done.Wait(10000));
  EXPECT_TRUE(error.IsSet());
  EXPECT_EQ(child.ExitCode(), 0);
}

TEST_F(NamedEvent, WaitRunsOutAfterTheTimeOutByTheClock) {
  TFakeClock clock(0xFFFFF000u);  // the wait spans a wrap-around of the tick count
  TNamedEvent event = TNamedEvent::CreateOrOpen("Corvane_ActiveSyncEvent");
  EXPECT_FALSE(event.Wait(0));
  EXPECT_EQ(clock.SleptMilliseconds(), 0u);
  EXPECT_FALSE(event.Wait(5000));
  EXPECT_EQ(clock.SleptMilliseconds(), 5000u);
  event.Set();
  EXPECT_TRUE(event.Wait(5000));
  EXPECT_EQ(clock.SleptMilliseconds(), 5000u) << "a set event is seen without sleeping";
}

}  // namespace corvane
