#include <gtest/gtest.h>

#include "app/file_size.h"
#include "platform/locale.h"

namespace corvane {
namespace {

class FileSize : public ::testing::Test {
 protected:
  ~FileSize() override { SetLocaleForTesting(""); }
};

TEST_F(FileSize, UnitsAndDecimalsFollowTheSizeAndTheLocale) {
  struct TCase {
    std::int64_t bytes;
    std::string english, german;
  } const cases[] = {
      {0, "0 bytes", "0 bytes"},
      {1023, "1023 bytes", "1023 bytes"},
      {1024, "1.00 KB", "1,00 KB"},
      {1536, "1.50 KB", "1,50 KB"},
      {1048575, "1024.00 KB", "1024,00 KB"},  // just below 1024 KB, shown rounded
      {1048576, "1.00 MB", "1,00 MB"},
      {5LL * 1024 * 1024 * 1024, "5120.00 MB", "5120,00 MB"},
  };
  for (const TCase& c : cases) {
    SetLocaleForTesting("en_US");
    EXPECT_EQ(FormatSize(c.bytes), c.english);
    SetLocaleForTesting("de_DE");
    EXPECT_EQ(FormatSize(c.bytes), c.german);
  }
}

}  // namespace
}  // namespace corvane
