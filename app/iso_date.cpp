#include "app/iso_date.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "platform/error.h"

namespace corvane {

namespace {

constexpr char kInvalidDateValue[] = "Invalid date value.";
constexpr double kFirstSerial = -693593.0;  // 1 January 0001
constexpr double kLastSerial = 2958465.0;   // 31 December 9999
constexpr std::int64_t kMillisecondsPerDay = 86400000;

std::chrono::sys_days DayZero() {
  using namespace std::chrono;
  return sys_days{year{1899} / December / 30};
}

}  // namespace

double MomentOfSerial(double serial) {
  const double day = std::trunc(serial);
  return day + std::fabs(serial - day);
}

std::string FormatIsoDateTime(double serial, char separator) {
  using namespace std::chrono;
  const double moment = MomentOfSerial(serial);
  if (!std::isfinite(moment) || moment < kFirstSerial || moment >= kLastSerial + 1)
    throw TError(kInvalidDateValue);
  // Rounded to whole seconds first, so that 14:05:09 is not shown as 14:05:08.
  const std::int64_t seconds = std::llround(moment * (kMillisecondsPerDay / 1000));
  const std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
  // The last second of 9999 may round into the year 10000.
  if (days > static_cast<std::int64_t>(kLastSerial)) throw TError(kInvalidDateValue);
  const std::int64_t secondOfDay = seconds - days * 86400;
  const year_month_day date{DayZero() + std::chrono::days{days}};
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u%c%02d:%02d:%02d", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), separator,
                static_cast<int>(secondOfDay / 3600), static_cast<int>(secondOfDay / 60 % 60),
                static_cast<int>(secondOfDay % 60));
  return text;
}

std::optional<double> ParseIsoDate(std::string_view text) {
  using namespace std::chrono;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  int parts[3] = {0, 0, 0};
  const std::size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
  for (int p = 0; p < 3; ++p)
    for (std::size_t i = starts[p]; i < starts[p] + lengths[p]; ++i) {
      if (text[i] < '0' || text[i] > '9') return std::nullopt;
      parts[p] = parts[p] * 10 + (text[i] - '0');
    }
  const year_month_day date{year{parts[0]}, month{static_cast<unsigned>(parts[1])},
                            day{static_cast<unsigned>(parts[2])}};
  if (parts[0] < 1 || !date.ok()) return std::nullopt;
  return static_cast<double>((sys_days{date} - DayZero()).count());
}

}  // namespace corvane
