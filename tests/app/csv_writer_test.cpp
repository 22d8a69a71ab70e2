// CSV rows: quoting by RFC 4180 and CR LF line ends.

#include "app/csv_writer.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace corvane {
namespace {

TEST(CsvWriter, QuotesOnlyWhatMustBeQuoted) {
  struct TCase {
    std::vector<std::string_view> fields;
    std::string row;
  };
  const TCase cases[] = {
      {{"a", "b c", ""}, "a,b c,\r\n"},
      {{"x,y"}, "\"x,y\"\r\n"},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\"\r\n"},
      {{"one\ntwo", "cr\r"}, "\"one\ntwo\",\"cr\r\"\r\n"},
      {{"\""}, "\"\"\"\"\r\n"},
      {{" lead", "trail "}, " lead,trail \r\n"},
      {{}, "\r\n"},
  };
  for (const TCase& c : cases) {
    std::string written;
    TCsvWriter csv([&](std::string_view row) { written += row; });
    csv.WriteRow(c.fields);
    EXPECT_EQ(written, c.row);
  }
}

TEST(CsvWriter, RowsFollowOneAnotherAndSinkErrorsGoOn) {
  std::string written;
  TCsvWriter csv([&](std::string_view row) {
    if (row.starts_with("fail")) throw TError("disk full");
    written += row;
  });
  csv.WriteRow({"h1", "h2"});
  csv.WriteRow({std::string(300, 'x'), "\"" + std::string(200, ',')});
  EXPECT_EQ(written, "h1,h2\r\n" + std::string(300, 'x') + ",\"\"\"" + std::string(200, ',') + "\"\r\n");
  EXPECT_THROW(csv.WriteRow({"fail"}), TError);
}

}  // namespace
}  // namespace corvane
