#include "platform/file_time.h"

#include <cmath>

namespace corvane {

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr double kSecondsPerDay = 86400.0;
// Days from 30 December 1899 to the Unix epoch.
constexpr double kUnixEpochDate = 25569.0;

}  // namespace

std::uint64_t FileTimeFromUnix(const timespec& moment) {
  constexpr std::int64_t kEpochSeconds = static_cast<std::int64_t>(kFileTimeUnixEpoch / kTicksPerSecond);
  std::int64_t seconds = static_cast<std::int64_t>(moment.tv_sec) + kEpochSeconds;
  if (seconds < 0) return 0;
  return static_cast<std::uint64_t>(seconds) * kTicksPerSecond + static_cast<std::uint64_t>(moment.tv_nsec) / 100u;
}

timespec UnixFromFileTime(std::uint64_t fileTime) {
  // Split before subtracting the epoch so that times before 1970 stay exact.
  std::int64_t seconds = static_cast<std::int64_t>(fileTime / kTicksPerSecond) -
                         static_cast<std::int64_t>(kFileTimeUnixEpoch / kTicksPerSecond);
  timespec moment{};
  moment.tv_sec = static_cast<time_t>(seconds);
  moment.tv_nsec = static_cast<long>(fileTime % kTicksPerSecond) * 100;
  return moment;
}

double DateFromUnix(const timespec& moment) {
  time_t seconds = moment.tv_sec;
  tm local{};
  localtime_r(&seconds, &local);
  double localSeconds = static_cast<double>(seconds + local.tm_gmtoff) + moment.tv_nsec / 1e9;
  return kUnixEpochDate + localSeconds / kSecondsPerDay;
}

timespec UnixFromDate(double date) {
  // Local wall-clock time as milliseconds since the epoch, rounded so that a
  // serial that came from a whole second goes back to that second.
  double wallMs = std::round((date - kUnixEpochDate) * kSecondsPerDay * 1000.0);
  auto wallSeconds = static_cast<time_t>(std::floor(wallMs / 1000.0));
  long millis = static_cast<long>(wallMs - static_cast<double>(wallSeconds) * 1000.0);

  tm fields{};
  gmtime_r(&wallSeconds, &fields);
  fields.tm_isdst = -1;
  timespec moment{};
  moment.tv_sec = mktime(&fields);
  moment.tv_nsec = millis * 1000000;
  return moment;
}

}  // namespace corvane
