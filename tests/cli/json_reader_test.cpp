// The JSON reader of the commands' input.

#include "cli/json_reader.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "tests/support/error_of.h"

namespace corvane {
namespace {

using testing_support::ErrorOf;

TEST(JsonReader, ReadsValuesWithEscapesInOrder) {
  const TJsonValue value = ParseJson(
      R"( {"b": [1, -2.5e1, true, null], "a": "\"\\\/\n\t\u00e9\ud83d\ude00", "c": {}} )");
  ASSERT_EQ(value.kind, TJsonValue::TKind::Object);
  ASSERT_EQ(value.members.size(), 3u);
  EXPECT_EQ(value.members[0].first, "b");  // the order given
  const TJsonValue& items = *value.Find("b");
  ASSERT_EQ(items.items.size(), 4u);
  EXPECT_EQ(items.items[0].number, 1);
  EXPECT_EQ(items.items[1].number, -25);
  EXPECT_TRUE(items.items[2].boolean);
  EXPECT_EQ(items.items[3].kind, TJsonValue::TKind::Null);
  EXPECT_EQ(value.Find("a")->text, "\"\\/\n\t\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(value.Find("c")->kind, TJsonValue::TKind::Object);
  EXPECT_EQ(value.Find("d"), nullptr);
}

TEST(JsonReader, RefusesWhatIsNotOneJsonValue) {
  struct TCase {
    std::string text;
    std::string message;
  };
  const TCase cases[] = {
      {"", "unexpected end (line 1, column 1)"},
      {"{} {}", "text after the value (line 1, column 4)"},
      {"[1,\n 2,]", "a value expected (line 2, column 4)"},
      {"01", "a value expected"},
      {"1.", "digits expected"},
      {"1e999", "a number out of range"},
      {"\"a\tb\"", "a control character in a string"},
      {R"("\ud83d")", "a lone surrogate"},
      {R"("\x")", "an unknown escape \\x"},
      {R"({"a" 1})", "':' expected"},
      {"tru", "unknown word"},
      {std::string(65, '[') + std::string(65, ']'), "nested too deeply"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ErrorOf([&] { ParseJson(c.text); }).rfind("The JSON input is not valid: " + c.message, 0), 0u)
        << ErrorOf([&] { ParseJson(c.text); });
  }
  EXPECT_EQ(ParseJson(std::string(64, '[') + std::string(64, ']')).kind, TJsonValue::TKind::Array);
}

}  // namespace
}  // namespace corvane
