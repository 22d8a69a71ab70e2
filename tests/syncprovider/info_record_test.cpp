#include <gtest/gtest.h>

#include <cstring>

#include "syncprovider/info_record.h"

namespace corvane {

namespace {

TInfoRecordBytes RawRecord(const std::string& key, const std::string& name = "Mail", std::uint8_t enabled = 1) {
  TInfoRecordBytes bytes{};
  std::memcpy(bytes.data(), key.data(), std::min<std::size_t>(key.size(), 39));
  std::memcpy(bytes.data() + 39, name.data(), std::min<std::size_t>(name.size(), 101));
  bytes[140] = enabled;
  return bytes;
}

}  // namespace

TEST(InfoRecord, TravelsThereAndBack) {
  TInfoRecord record{"{04030201-0605-0807-090A-0B0C0D0E0F10}", "Private", true};
  TInfoRecordBytes bytes = record.Encode();
  EXPECT_EQ(bytes[38], 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 39)), "Private");
  auto back = TInfoRecord::Decode(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->key, record.key);
  EXPECT_EQ(back->name, "Private");
  EXPECT_TRUE(back->enabled);
}

TEST(InfoRecord, OnlyBitZeroOfTheLastByteEnables) {
  const std::string key = "{04030201-0605-0807-090A-0B0C0D0E0F10}";
  EXPECT_FALSE(TInfoRecord::Decode(RawRecord(key, "x", 0xFE))->enabled);
  EXPECT_TRUE(TInfoRecord::Decode(RawRecord(key, "x", 0x03))->enabled);
}

TEST(InfoRecord, LowerCaseKeyIsTakenInRegistryForm) {
  auto record = TInfoRecord::Decode(RawRecord("{04030201-0605-0807-090a-0b0c0d0e0f10}"));
  ASSERT_TRUE(record);
  EXPECT_EQ(record->key, "{04030201-0605-0807-090A-0B0C0D0E0F10}");
}

TEST(InfoRecord, KeysThatAreNotBracedIdentifiersAreRefused) {
  for (const char* key : {"", "..\\..\\Policies", "{04030201-0605-0807-090A-0B0C0D0E0F10}\\x",
                          "{04030201-0605-0807-090A-0B0C0D0E0F1}", "04030201-0605-0807-090A-0B0C0D0E0F1000",
                          "{04030201\\0605-0807-090A-0B0C0D0E0F10}", "{..\\..\\\\Software\\Corvane\\ActiveSyn}"}) {
    EXPECT_FALSE(TInfoRecord::Decode(RawRecord(key))) << key;
  }
}

TEST(InfoRecord, FieldsWithoutTerminatorOrWrongSizeAreRefused) {
  const std::string key = "{04030201-0605-0807-090A-0B0C0D0E0F10}";
  TInfoRecordBytes noKeyEnd = RawRecord(key);
  noKeyEnd[38] = 'X';
  EXPECT_FALSE(TInfoRecord::Decode(noKeyEnd));
  EXPECT_FALSE(TInfoRecord::Decode(RawRecord(key, std::string(101, 'n'))));
  TInfoRecordBytes good = RawRecord(key);
  EXPECT_FALSE(TInfoRecord::Decode(std::span(good).first(140)));
  std::vector<std::uint8_t> longer(good.begin(), good.end());
  longer.push_back(0);
  EXPECT_FALSE(TInfoRecord::Decode(longer));
}

TEST(InfoRecord, LongNameIsCutAtACharacterBoundary) {
  // 99 ASCII bytes and a two-byte character: the character does not fit whole.
  std::string name = std::string(99, 'a') + "\xC3\xA9";
  TInfoRecordBytes bytes = TInfoRecord{"k", name, false}.Encode();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 39)), std::string(99, 'a'));
  EXPECT_EQ(bytes[140], 0);
}

}  // namespace corvane
