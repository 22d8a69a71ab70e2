// Date serials in ISO form, and reading ISO dates.

#include "app/iso_date.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace corvane {
namespace {

TEST(IsoDate, FormatsSerialsAsWallClockTimes) {
  const std::pair<double, std::string> cases[] = {
      {0.0, "1899-12-30T00:00:00"},
      {46000.5, "2025-12-09T12:00:00"},
      {45351.0, "2024-02-29T00:00:00"},
      {-1.25, "1899-12-29T06:00:00"},
      {1.0 - 0.4 / 86400, "1899-12-31T00:00:00"},  // rounds to the next day
      {-693593.0, "0001-01-01T00:00:00"},
      {2958465.99999, "9999-12-31T23:59:59"},
  };
  for (const auto& [serial, text] : cases) EXPECT_EQ(FormatIsoDateTime(serial), text) << serial;
  EXPECT_EQ(FormatIsoDateTime(46000.75, ' '), "2025-12-09 18:00:00");
  EXPECT_THROW(FormatIsoDateTime(2958466.0), TError);
  EXPECT_THROW(FormatIsoDateTime(2958465.9999999), TError);
  EXPECT_THROW(FormatIsoDateTime(-693594.0), TError);
}

TEST(IsoDate, ReadsExactlyRealDays) {
  EXPECT_EQ(ParseIsoDate("2025-12-09"), 46000.0);
  EXPECT_EQ(ParseIsoDate("2024-02-29"), 45351.0);
  EXPECT_EQ(ParseIsoDate("1899-12-29"), -1.0);
  EXPECT_EQ(ParseIsoDate("0001-01-01"), -693593.0);
  for (const char* bad : {"2023-02-29", "2025-13-01", "2025-00-10", "0000-01-01", "2025-1-09", "2025-12-09 ",
                          "25-12-09", "2025/12/09", "", "2025-12-0x"})
    EXPECT_FALSE(ParseIsoDate(bad).has_value()) << bad;
}

TEST(IsoDate, MomentsOrderSerialsBelowZeroByTheirTime) {
  EXPECT_LT(MomentOfSerial(-1.0), MomentOfSerial(-1.25));
  EXPECT_LT(MomentOfSerial(-1.75), MomentOfSerial(0.0));
  EXPECT_EQ(MomentOfSerial(46000.5), 46000.5);
}

}  // namespace
}  // namespace corvane
