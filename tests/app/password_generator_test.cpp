#include "app/password_generator.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/error.h"

namespace corvane {
namespace {

constexpr std::string_view kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kDigits = "0123456789";
constexpr TPasswordClasses kDefaultClasses = kPwdUpperCase | kPwdLowerCase | kPwdDigits;

// Gives the scripted words first, then words of a seeded Mersenne Twister, so
// that a test can force exact draws or repeat a run.
class TTestRandom : public TRandomSource {
 public:
  explicit TTestRandom(std::uint32_t seed = 1) : twister_(seed) {}

  // Scripts one draw that lands on `index` of a set.
  void Pick(std::uint32_t index) { Words(index, 0); }
  void Words(std::uint32_t low, std::uint32_t high) {
    scripted_.push_back(low);
    scripted_.push_back(high);
  }
  std::uint32_t Next32() override {
    ++used;
    if (scripted_.empty()) return static_cast<std::uint32_t>(twister_());
    const std::uint32_t word = scripted_.front();
    scripted_.pop_front();
    return word;
  }
  bool ScriptUsedUp() const { return scripted_.empty(); }
  int used = 0;

 private:
  std::deque<std::uint32_t> scripted_;
  std::mt19937 twister_;
};

std::string Generate(int length, TPasswordClasses classes, std::string_view custom, std::string_view exclude,
                     std::string_view pwdTemplate, TRandomSource& random) {
  return GeneratePassword(length, classes, custom, exclude, pwdTemplate, random).Text();
}

std::string Cat(std::initializer_list<std::string_view> parts) {
  std::string all;
  for (std::string_view part : parts) all += part;
  return all;
}

// Which characters each position may hold, for one set of parameters.
struct TShapeCase {
  const char* scenario;
  int length;
  TPasswordClasses classes;
  std::string_view custom;
  std::string_view exclude;
  std::string_view pwdTemplate;
  std::vector<std::string> allowed;
};

class TPasswordShape : public ::testing::TestWithParam<TShapeCase> {};

TEST_P(TPasswordShape, EveryPositionDrawsFromItsSetWithoutImmediateRepeats) {
  const TShapeCase& c = GetParam();
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    TTestRandom random(seed);
    const std::string password = Generate(c.length, c.classes, c.custom, c.exclude, c.pwdTemplate, random);
    ASSERT_EQ(password.size(), c.allowed.size());
    for (std::size_t i = 0; i < password.size(); ++i) {
      ASSERT_NE(c.allowed[i].find(password[i]), std::string::npos)
          << "position " << i << " of '" << password << "' (seed " << seed << ")";
      if (i > 0 && c.allowed[i].size() >= 3) {
        ASSERT_NE(password[i], password[i - 1]) << password;
      }
    }
  }
}

const std::string kAlnum = Cat({kUpper, kLower, kDigits});

INSTANTIATE_TEST_SUITE_P(
    Generator, TPasswordShape,
    ::testing::Values(
        TShapeCase{"Defaults", 8, kDefaultClasses, "", "", "", std::vector<std::string>(8, kAlnum)},
        TShapeCase{"QuotedPrefixAndCustomPlaceholderWithoutCustomCharacters", 8,
                   kDefaultClasses, "", "", "\"PW\"Aa$C9",
                   {"P", "W", std::string(kUpper), std::string(kLower), std::string(kPwdSpecialChars), kAlnum,
                    std::string(kDigits), kAlnum}},
        TShapeCase{"TemplateLongerThanThePasswordIsCutOff", 3, kDefaultClasses, "", "", "AA9$$",
                   {std::string(kUpper), std::string(kUpper), std::string(kDigits)}},
        TShapeCase{"TemplateEndingInsideQuotesGoesOnFromThePool", 4, kDefaultClasses, "", "", "\"ab",
                   {"a", "b", kAlnum, kAlnum}},
        TShapeCase{"PlaceholderOfAnUncheckedClassStillUsesItsSet", 2, kPwdLowerCase, "", "", "$",
                   {std::string(kPwdSpecialChars), std::string(kLower)}},
        TShapeCase{"ClassEmptiedByExclusionsFallsBackToThePool", 2, kDefaultClasses, "", "0123456789", "9",
                   {Cat({kUpper, kLower}), Cat({kUpper, kLower})}},
        TShapeCase{"ExclusionsApplyToCustomCharacters", 6, 0, "xyz", "y", "", std::vector<std::string>(6, "xz")},
        TShapeCase{"CustomCharactersJoinThePoolOfTheCheckedClasses", 5, kPwdDigits | kPwdSpecial, "#_", "",
                   "CC", {"#_", "#_", Cat({kDigits, kPwdSpecialChars, "#_"}), Cat({kDigits, kPwdSpecialChars, "#_"}),
                          Cat({kDigits, kPwdSpecialChars, "#_"})}}),
    [](const auto& info) { return std::string(info.param.scenario); });

TEST(PasswordGenerator, DrawIndexIsTheLowWordPlusTheHighWordWithoutItsTopBitModuloTheSetSize) {
  TTestRandom random;
  random.Words(5, 0x80000000u);  // the top bit of the high word is ignored
  random.Words(0, 1);            // 2^32 mod 26 = 22
  random.Words(7, 3);            // (3 * 2^32 + 7) mod 10 = 5
  EXPECT_EQ(Generate(3, 0, "", "", "AA9", random), "FW5");
  EXPECT_TRUE(random.ScriptUsedUp());
}

TEST(PasswordGenerator, RepeatOfThePreviousCharacterIsDrawnAgainInSetsOfThreeOrMore) {
  TTestRandom random;
  for (std::uint32_t index : {3, 3, 3, 5}) random.Pick(index);
  EXPECT_EQ(Generate(2, kPwdDigits, "", "", "", random), "35");
  EXPECT_TRUE(random.ScriptUsedUp());

  // A literal counts as the previous character too.
  for (std::uint32_t index : {5, 7}) random.Pick(index);
  EXPECT_EQ(Generate(2, 0, "", "", "\"5\"9", random), "57");
  EXPECT_TRUE(random.ScriptUsedUp());
}

TEST(PasswordGenerator, RepeatIsAcceptedInSetsOfOneOrTwo) {
  TTestRandom random;
  random.Pick(0);
  random.Pick(0);
  EXPECT_EQ(Generate(2, 0, "xyz", "y", "", random), "xx");
  EXPECT_EQ(random.used, 4);
}

TEST(PasswordGenerator, SetHoldingOnlyThePreviousCharacterEndsWithARepeat) {
  TTestRandom random;
  EXPECT_EQ(Generate(3, 0, "aaa", "", "", random), "aaa");
  EXPECT_EQ(Generate(2, 0, "bbb", "", "\"b\"C", random), "bb");
}

TEST(PasswordGenerator, EachExcludedCharacterRemovesOneOccurrenceFromEachSet) {
  TTestRandom random;
  for (int i = 0; i < 4; ++i) random.Pick(0);
  EXPECT_EQ(Generate(4, 0, "", "Aa0~", "Aa9$", random), "Bb1!");

  // Duplicates in the custom characters stay, and weigh more, until excluded.
  std::set<char> seen;
  for (int i = 0; i < 200; ++i) {
    for (char c : Generate(1, 0, "aab", "a", "", random)) seen.insert(c);
  }
  EXPECT_EQ(seen, (std::set<char>{'a', 'b'}));
  EXPECT_EQ(Generate(5, 0, "aab", "aa", "", random), "bbbbb");
}

TEST(PasswordGenerator, NoLengthGivesAnEmptyPasswordWithoutLookingAtAnything) {
  TTestRandom random;
  for (int length : {0, -5}) {
    EXPECT_EQ(Generate(length, 0, "", "", "x", random), "");
  }
  EXPECT_EQ(random.used, 0);
}

struct TFailureCase {
  int length;
  TPasswordClasses classes;
  std::string_view exclude;
  std::string_view pwdTemplate;
  std::string message;  // empty: succeeds
};

TEST(PasswordGenerator, TemplateIsCheckedOnlyAsFarAsThePasswordReachesAndEmptySetsFail) {
  const std::string cannot(serr_cannotgeneratepwd);
  const std::vector<TFailureCase> cases = {
      {2, kDefaultClasses, "", "AAx", ""},
      {3, kDefaultClasses, "", "AAx", "Invalid password template: AAx"},
      {1, kDefaultClasses, "", " A", "Invalid password template:  A"},
      {2, kDefaultClasses, "", "Ab", "Invalid password template: Ab"},
      {2, kDefaultClasses, "", "A#", "Invalid password template: A#"},
      {3, kDefaultClasses, "", "\"x y\"!", ""},
      {4, kDefaultClasses, "", "\"x y\"!", "Invalid password template: \"x y\"!"},
      {1, kPwdDigits, "0123456789", "9", cannot},
      {1, kPwdDigits, "0123456789", "", cannot},
      {1, 0, "", "", cannot},
      {3, 0, "", "\"ab\"", cannot},
      {2, 0, "", "\"ab\"", ""},
  };
  for (const TFailureCase& c : cases) {
    SCOPED_TRACE(std::string(c.pwdTemplate) + " length " + std::to_string(c.length));
    TTestRandom random;
    if (c.message.empty()) {
      EXPECT_EQ(Generate(c.length, c.classes, "", c.exclude, c.pwdTemplate, random).size(),
                static_cast<std::size_t>(c.length));
      continue;
    }
    try {
      Generate(c.length, c.classes, "", c.exclude, c.pwdTemplate, random);
      ADD_FAILURE() << "no error";
    } catch (const TError& error) {
      EXPECT_EQ(error.what(), c.message);
    }
  }
}

TEST(PasswordGenerator, KernelSourceKeepsTheRulesAndVaries) {
  std::set<std::string> passwords;
  for (int i = 0; i < 200; ++i) {
    const TSecretText password = GeneratePassword(20, kDefaultClasses, "", "", "Aa9\"-\"");
    const std::string& text = password.Text();
    ASSERT_EQ(text.size(), 20u);
    EXPECT_NE(kUpper.find(text[0]), std::string::npos) << text;
    EXPECT_NE(kLower.find(text[1]), std::string::npos) << text;
    EXPECT_NE(kDigits.find(text[2]), std::string::npos) << text;
    EXPECT_EQ(text[3], '-');
    for (std::size_t p = 4; p < text.size(); ++p) {
      EXPECT_NE(kAlnum.find(text[p]), std::string::npos) << text;
      EXPECT_NE(text[p], text[p - 1]) << text;
    }
    passwords.insert(text);
  }
  EXPECT_EQ(passwords.size(), 200u);
}

}  // namespace
}  // namespace corvane
