#include "engine/wrong_password_delay.h"

#include "platform/clock.h"

namespace corvane {

namespace {

constexpr std::uint32_t kStepMs = 1000;
// Attempts closer together than this count as one series.
constexpr std::uint32_t kSeriesGapMs = 3001;

}  // namespace

void WaitAfterWrongPassword(std::uint32_t& tick, std::uint32_t& delay) {
  TClock& clock = Clock();
  bool inSeries = TicksSince(tick, clock.TickCount()) < kSeriesGapMs;
  delay = inSeries ? delay + kStepMs : kStepMs;
  clock.Sleep(delay);
  tick = clock.TickCount();
}

}  // namespace corvane
