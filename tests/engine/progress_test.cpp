// Progress of long file operations: nothing for short ones, then reports
// at most every 100 ms; a throwing callback cancels.

#include <gtest/gtest.h>

#include <vector>

#include "engine/progress.h"
#include "platform/clock.h"

namespace corvane {
namespace {

struct TReport {
  std::uint32_t value;
  std::string caption;
  TProgressAction action;
  bool operator==(const TReport&) const = default;
};

class Progress : public ::testing::Test {
 protected:
  void SetUp() override {
    progress_.Callback = [this](std::uint32_t value, const std::string& caption, TProgressAction action) {
      reports_.push_back({value, caption, action});
    };
  }
  TFakeClock clock_;
  TProgressReporter progress_;
  std::vector<TReport> reports_;
};

TEST_F(Progress, ShowsOnlyAfterThreeSecondsThenAtMostEveryHundredMilliseconds) {
  progress_.Begin(10, "Saving db...");
  progress_.Advance(1024);
  clock_.Advance(2999);
  progress_.Advance(1024);
  EXPECT_TRUE(reports_.empty());
  clock_.Advance(1);
  progress_.Advance(1024);
  clock_.Advance(99);
  progress_.Advance(1024);
  clock_.Advance(1);
  progress_.Advance(100 * 1024);  // the position stops at the total
  progress_.End();
  EXPECT_EQ(reports_, (std::vector<TReport>{{10, "Saving db...", TProgressAction::Show},
                                            {3, "", TProgressAction::Position},
                                            {10, "", TProgressAction::Position},
                                            {0, "", TProgressAction::Close}}));
}

TEST_F(Progress, WithoutATotalNothingIsReported) {
  progress_.Begin(0, "Saving");
  clock_.Advance(5000);
  progress_.Advance(4096);
  progress_.End();
  EXPECT_EQ(reports_, (std::vector<TReport>{{0, "", TProgressAction::Close}}));
}

TEST_F(Progress, ACallbackThatThrowsEndsTheOperation) {
  progress_.Callback = [this](std::uint32_t, const std::string&, TProgressAction action) {
    reports_.push_back({0, "", action});
    if (action == TProgressAction::Show) throw std::runtime_error("cancelled");
  };
  progress_.Begin(4, "x");
  clock_.Advance(3000);
  EXPECT_THROW(progress_.Advance(1), std::runtime_error);
  EXPECT_FALSE(progress_.Running());
  ASSERT_EQ(reports_.size(), 2u);
  EXPECT_EQ(reports_.back().action, TProgressAction::Close);
}

TEST_F(Progress, AProgressStreamReportsTheBytesItMoves) {
  TMemoryStream inner;
  std::uint64_t moved = 0;
  TProgressStream stream(inner, [&](std::uint64_t bytes) { moved += bytes; });
  const std::uint8_t data[5] = {1, 2, 3, 4, 5};
  stream.WriteBuffer(data);
  stream.Seek(0, TSeekOrigin::Begin);
  std::uint8_t back[5];
  stream.ReadBuffer(back);
  EXPECT_EQ(moved, 10u);
  EXPECT_EQ(back[4], 5);
}

}  // namespace
}  // namespace corvane
