#pragma once
// Time services: the millisecond tick count (wrapping at 32 bits), sleep, and the
// current local date. Code asks Clock() for them, so a test can put a fake clock
// in its place and run timing rules instantly.

#include <cstdint>

namespace corvane {

class TClock {
 public:
  virtual ~TClock() = default;
  // Milliseconds since an arbitrary start; wraps around at 2^32.
  virtual std::uint32_t TickCount() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // Local date and time as a date serial (days since 30 December 1899).
  virtual double Now() = 0;
};

// The process's clock: the system clock unless a test has set another.
TClock& Clock();

// Milliseconds from `start` to `now`, correct across one wrap-around.
inline std::uint32_t TicksSince(std::uint32_t start, std::uint32_t now) { return now - start; }

// A clock whose time moves only when told to, or when someone sleeps on it.
// While it exists it is the process's clock; the previous one returns afterwards.
class TFakeClock : public TClock {
 public:
  explicit TFakeClock(std::uint32_t startTicks = 0, double startDate = 46000.5);
  ~TFakeClock() override;
  TFakeClock(const TFakeClock&) = delete;
  TFakeClock& operator=(const TFakeClock&) = delete;

  std::uint32_t TickCount() override { return ticks_; }
  void Sleep(std::uint32_t milliseconds) override;
  double Now() override { return date_; }

  // Moves both the tick count and the date forward.
  void Advance(std::uint32_t milliseconds);
  void SetDate(double date) { date_ = date; }
  // Total of all Sleep calls since construction.
  std::uint64_t SleptMilliseconds() const { return slept_; }

 private:
  std::uint32_t ticks_;
  double date_;
  std::uint64_t slept_ = 0;
  TClock* previous_;
};

}  // namespace corvane
