#include "platform/clock.h"

#include <time.h>

#include <chrono>
#include <thread>

namespace corvane {

namespace {

class TSystemClock : public TClock {
 public:
  std::uint32_t TickCount() override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                       static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
  }

  void Sleep(std::uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }

  double Now() override {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    time_t seconds = ts.tv_sec;
    tm local{};
    localtime_r(&seconds, &local);
    // Seconds of local time since the Unix epoch; 25569 days separate the epoch
    // from 30 December 1899.
    double localSeconds = static_cast<double>(seconds + local.tm_gmtoff) + ts.tv_nsec / 1e9;
    return 25569.0 + localSeconds / 86400.0;
  }
};

TSystemClock systemClock;
TClock* currentClock = &systemClock;

}  // namespace

TClock& Clock() { return *currentClock; }

TFakeClock::TFakeClock(std::uint32_t startTicks, double startDate)
    : ticks_(startTicks), date_(startDate), previous_(currentClock) {
  currentClock = this;
}

TFakeClock::~TFakeClock() { currentClock = previous_; }

void TFakeClock::Sleep(std::uint32_t milliseconds) {
  slept_ += milliseconds;
  Advance(milliseconds);
}

void TFakeClock::Advance(std::uint32_t milliseconds) {
  ticks_ += milliseconds;
  date_ += milliseconds / 86400000.0;
}

}  // namespace corvane
