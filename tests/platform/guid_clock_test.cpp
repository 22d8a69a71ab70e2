#include <gtest/gtest.h>

#include <unordered_set>

#include "platform/clock.h"
#include "platform/guid.h"

namespace corvane {

TEST(Guid, TextFormReadsFirstPartsLittleEndian) {
  TGuid g;
  for (int i = 0; i < 16; ++i) g.bytes[i] = static_cast<std::uint8_t>(i + 1);
  EXPECT_EQ(g.ToString(), "{04030201-0605-0807-090A-0B0C0D0E0F10}");
  auto back = TGuid::Parse("{04030201-0605-0807-090a-0b0c0d0e0f10}");
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, g);
}

TEST(Guid, MalformedTextIsRefused) {
  for (const char* text : {"", "{04030201-0605-0807-090A-0B0C0D0E0F1}", "04030201-0605-0807-090A-0B0C0D0E0F1000",
                           "{04030201-0605-0807-090A+0B0C0D0E0F10}", "{04030201-0605-0807-090A-0B0C0D0E0FG0}",
                           "{..\\..\\\\Software\\Corvane\\ActiveSyn}"}) {
    EXPECT_FALSE(TGuid::Parse(text).has_value()) << text;
  }
}

TEST(Guid, CreatedIdsAreDistinctAndNotNull) {
  std::unordered_set<TGuid> seen;
  for (int i = 0; i < 1000; ++i) {
    TGuid g = TGuid::Create();
    EXPECT_FALSE(g.IsNull());
    EXPECT_TRUE(seen.insert(g).second);
  }
  EXPECT_TRUE(TGuid{}.IsNull());
}

TEST(Clock, FakeClockReplacesAndRestoresTheSystemClock) {
  TClock* before = &Clock();
  {
    TFakeClock fake(0xFFFFFF00u);
    EXPECT_EQ(&Clock(), &fake);
    std::uint32_t start = Clock().TickCount();
    Clock().Sleep(0x200);
    EXPECT_EQ(TicksSince(start, Clock().TickCount()), 0x200u);
    EXPECT_EQ(fake.SleptMilliseconds(), 0x200u);
  }
  EXPECT_EQ(&Clock(), before);
}

TEST(Clock, SystemDateIsPlausible) {
  double now = Clock().Now();
  EXPECT_GT(now, 45000.0);  // after 2023
  EXPECT_LT(now, 80000.0);
}

}  // namespace corvane
