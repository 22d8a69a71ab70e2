#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "syncprovider/db_header.h"
#include "tests/syncprovider/sync_test_support.h"

namespace corvane {

using namespace sync_testing;

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

}  // namespace

TEST(DbHeader, ReadsVersionBuildAndIdentifier) {
  std::string bytes = DatabaseBytes(IdOf(7), 231);
  bytes[8] = 5;   // sub-version
  auto header = ParseDbHeader(Bytes(bytes));
  ASSERT_TRUE(header);
  EXPECT_EQ(header->formatVersion, 231);
  EXPECT_EQ(header->formatBuild, 23105u);
  EXPECT_EQ(header->id, IdOf(7));
}

TEST(DbHeader, RefusesWhatIsNotADatabaseOfFormat230OrLater) {
  std::string wrongMagic = DatabaseBytes(IdOf(1));
  wrongMagic[5] = 0x76;
  struct {
    const char* what;
    std::string bytes;
    bool accepted;
  } cases[] = {
      {"2.30", DatabaseBytes(IdOf(1), 230), true},
      {"2.40, newer", DatabaseBytes(IdOf(1), 240), true},
      {"2.29, older", DatabaseBytes(IdOf(1), 229), false},
      {"wrong signature", wrongMagic, false},
      {"cut in the identifier", DatabaseBytes(IdOf(1)).substr(0, 25), false},
      {"empty", "", false},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDbHeader(Bytes(c.bytes)).has_value(), c.accepted) << c.what;
}

TEST(DbHeader, ReadFromFileCarriesItsLastWriteTime) {
  TSyncTestBed bed;
  std::string path = bed.WriteDatabase("a.dat", IdOf(3));
  auto header = ReadDbHeader(path);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->id, IdOf(3));
  EXPECT_EQ(header->lastWrite, GetFileInfo(path).lastWriteTime);
  EXPECT_NE(header->lastWrite, 0u);
  EXPECT_FALSE(ReadDbHeader(bed.DbPath("missing.dat")));
  EXPECT_FALSE(ReadDbHeader(bed.Databases()));
}

}  // namespace corvane
