// Wrong passwords: every damaged decompression of the encrypted part reads as
// "The password is incorrect.", answered after a delay that grows while the
// attempts follow each other closely.

#include <gtest/gtest.h>

#include "engine/cipher_registry.h"
#include "engine/messages.h"
#include "engine/wrong_password_delay.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "tests/engine/crypt_test_support.h"

namespace corvane {
namespace {

using testing::Bytes;
using testing::TContainerOptions;
using namespace std::string_literals;

Bytes SampleContainer(const std::string& algorithms, bool twoPart = true) {
  TContainerOptions options{.algorithms = algorithms, .twoPart = twoPart};
  return testing::WriteContainer(options, [](TCryptStream& s) {
    s.WriteString("name", true);
    s.WriteString("a secret value that is long enough to be compressed", false);
  });
}

struct TCells {
  std::uint32_t tick = 0, delay = 0;
};

// Opens `data` with `password`, as the database does, and returns the error.
std::string OpenError(const Bytes& data, const std::string& password, TCells* cells, bool twoPart = true) {
  TMemoryStream in(data);
  TCryptStream s(in, password, "", twoPart);
  if (cells) s.SetWrongPasswordCells(cells->tick, cells->delay);
  try {
    s.ReadString(true);
    s.ReadString(false);
  } catch (const TError& e) {
    return e.what();
  }
  return "(opened)";
}

TEST(CryptPassword, RepeatedAttemptsWaitOneSecondLongerEachTime) {
  TFakeClock clock(50000);
  Bytes data = SampleContainer(AllAlgorithms());
  TCells cells;
  struct TStep {
    std::uint32_t pauseBefore, expectedWait;
  } steps[] = {{0, 1000}, {200, 2000}, {3000, 3000}, {3001, 1000}, {0, 2000}};
  for (const auto& step : steps) {
    clock.Advance(step.pauseBefore);
    std::uint64_t before = clock.SleptMilliseconds();
    EXPECT_EQ(OpenError(data, "wrong", &cells), serr_invalidpassword);
    EXPECT_EQ(clock.SleptMilliseconds() - before, step.expectedWait) << "after a pause of " << step.pauseBefore;
    EXPECT_EQ(cells.tick, clock.TickCount());
  }
  // The right password opens without waiting.
  std::uint64_t before = clock.SleptMilliseconds();
  EXPECT_EQ(OpenError(data, "secret", &cells), "(opened)");
  EXPECT_EQ(clock.SleptMilliseconds(), before);
}

TEST(CryptPassword, DelayRuleAcrossTheTickCounterWrapAround) {
  struct TCase {
    std::uint32_t tick, delay, now, expected;
  } cases[] = {
      {1000, 0, 2000, 1000},             // the first attempt
      {1000, 4000, 4000, 5000},          // 3000 ms later: same series
      {1000, 4000, 4001, 1000},          // 3001 ms later: a new series
      {0xFFFFFC00u, 2000, 0x100, 3000},  // 1280 ms later, across the wrap
  };
  for (const auto& c : cases) {
    TFakeClock clock(c.now);
    std::uint32_t tick = c.tick, delay = c.delay;
    WaitAfterWrongPassword(tick, delay);
    EXPECT_EQ(delay, c.expected) << c.tick << " " << c.now;
    EXPECT_EQ(clock.SleptMilliseconds(), c.expected);
    EXPECT_EQ(tick, c.now + c.expected);
  }
}

TEST(CryptPassword, EveryWrongPasswordAndChainReportsIncorrectPassword) {
  TFakeClock clock;
  std::vector<std::string> chains{AllAlgorithms()};
  for (char id : AllAlgorithms()) chains.push_back(std::string(1, id));
  const std::string wrong[] = {"Secret", "secret ", "secre", "secret\0"s, "x", "\xff\xfe", "a much longer password"};
  for (const auto& chain : chains) {
    Bytes data = SampleContainer(chain);
    for (const auto& password : wrong) {
      EXPECT_EQ(OpenError(data, password, nullptr), serr_invalidpassword) << int(chain[0]) << " " << password;
    }
  }
  // Without the database's cells there is no delay.
  EXPECT_EQ(clock.SleptMilliseconds(), 0u);
}

TEST(CryptPassword, StreamedDataReportIncorrectPasswordWithoutDelay) {
  TFakeClock clock;
  Bytes data = SampleContainer(AllAlgorithms(), /*twoPart=*/false);
  TCells cells;
  EXPECT_EQ(OpenError(data, "wrong", &cells, false), serr_invalidpassword);
  EXPECT_EQ(clock.SleptMilliseconds(), 0u);
  EXPECT_EQ(OpenError(data, "secret", &cells, false), "(opened)");
}

}  // namespace
}  // namespace corvane
