#include "platform/locale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <random>

#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {
namespace {

// Locale and code page are process-wide: every test leaves the defaults behind.
class Locale : public ::testing::Test {
 protected:
  void TearDown() override {
    SetLocaleForTesting("");
    SetCodePage(kDefaultCodePage);
  }
  // Engine text (in the current code page) from UTF-8 source text.
  static std::string A(const char* utf8) { return Utf8ToAnsi(utf8); }
};

int Sign(int value) { return (value > 0) - (value < 0); }

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const TError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST_F(Locale, ComparisonFollowsTheLocaleAndIgnoresCaseOnlyWhenAsked) {
  struct Case {
    const char* locale;
    int codePage;
    const char* a;
    const char* b;
    int ignoringCase;  // sign of CompareTextIgnoreCase(a, b)
    int withCase;      // sign of CompareText(a, b)
  };
  const Case cases[] = {
      {"en_US", 1252, "", "", 0, 0},
      {"en_US", 1252, "", "a", -1, -1},
      {"en_US", 1252, "abc", "ABC", 0, -1},
      {"en_US", 1252, "Work", "work", 0, 1},
      {"en_US", 1252, "apple", "Banana", -1, -1},  // letters before case, unlike byte order
      {"en_US", 1252, "file10", "file9", -1, -1},
      {"de_DE", 1252, "Äpfel", "apfel", 1, 1},  // accents count, after the plain letter
      {"de_DE", 1252, "Äpfel", "Birne", -1, -1},  // in German, Ä sorts with A
      {"sv_SE", 1252, "Äpple", "Zebra", 1, 1},    // in Swedish, after Z
      {"ru_RU", 1251, "жук", "ЖУК", 0, -1},
      {"ru_RU", 1251, "ёж", "жук", -1, -1},
      {"tr_TR", 1254, "ılık", "ILIK", 0, -1},  // dotless ı is the lower case of I
      {"tr_TR", 1254, "ilik", "ILIK", 1, 1},   // dotted i is not
      {"en_US", 1252, "a\x01", "a", 0, 1},     // an ignorable control still orders exactly
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.locale) + " " + c.a + " / " + c.b);
    SetLocaleForTesting(c.locale);
    SetCodePage(c.codePage);
    std::string a = A(c.a), b = A(c.b);
    EXPECT_EQ(Sign(CompareTextIgnoreCase(a, b)), c.ignoringCase);
    EXPECT_EQ(Sign(CompareTextIgnoreCase(b, a)), -c.ignoringCase);
    EXPECT_EQ(Sign(CompareText(a, b)), c.withCase);
    EXPECT_EQ(Sign(CompareText(b, a)), -c.withCase);
  }
}

TEST_F(Locale, ComparisonNeverRaisesForBytesThatDoNotDecode) {
  SetCodePage(932);
  EXPECT_NE(CompareTextIgnoreCase("ab\x81", "ab"), 0);
  EXPECT_EQ(CompareTextIgnoreCase("\x81", "\x81"), 0);
}

TEST_F(Locale, ContainsIgnoresCaseButNotAccents) {
  SetLocaleForTesting("de_DE");
  EXPECT_TRUE(ContainsTextIgnoreCase(A("Mein Konto bei der Bank"), A("KONTO")));
  EXPECT_TRUE(ContainsTextIgnoreCase(A("Hauptstraße 5"), A("STRASSE")));
  EXPECT_TRUE(ContainsTextIgnoreCase(A("anything"), ""));
  EXPECT_TRUE(ContainsTextIgnoreCase("", ""));
  EXPECT_FALSE(ContainsTextIgnoreCase("", "a"));
  EXPECT_FALSE(ContainsTextIgnoreCase(A("Café"), A("CAFE")));
  EXPECT_FALSE(ContainsTextIgnoreCase(A("abc"), A("abcd")));

  SetLocaleForTesting("tr_TR");
  SetCodePage(1254);
  EXPECT_TRUE(ContainsTextIgnoreCase(A("İstanbul"), A("istanbul")));
  EXPECT_FALSE(ContainsTextIgnoreCase(A("Istanbul"), A("istanbul")));
}

TEST_F(Locale, CaseChangesFollowTheLocaleAndKeepWhatTheCodePageCannotHold) {
  SetLocaleForTesting("en_US");
  EXPECT_EQ(UpperCaseText(A("straße ÿ")), A("STRASSE Ÿ"));
  EXPECT_EQ(LowerCaseText(A("ÀÉÎ Mail")), A("àéî mail"));
  EXPECT_EQ(UpperCaseText(A("5µm")), A("5µM"));  // the capital of µ is Greek, not in 1252
  EXPECT_EQ(UpperCaseText(""), "");

  SetLocaleForTesting("tr_TR");
  SetCodePage(1254);
  EXPECT_EQ(UpperCaseText(A("istanbul")), A("İSTANBUL"));
  EXPECT_EQ(LowerCaseText(A("ISPARTA")), A("ısparta"));
}

TEST_F(Locale, ShortDatesShowTheLocaleFormatWithAFourDigitYear) {
  struct Case {
    const char* locale;
    double serial;
    const char* text;
  };
  const Case cases[] = {
      {"en_US", 46366, "12/10/2026"},  {"de_DE", 46366, "10.12.2026"},
      {"en_US", 46366.75, "12/10/2026"},  // only the date part
      {"de_DE", 18429, "15.06.1950"},  {"de_DE", 2, "01.01.1900"},
      {"en_US", -1.25, "12/29/1899"},  // below zero the fraction is still the time of day
      {"en_US", -145752, "12/10/1500"},  // Gregorian also before 1582
      {"de_DE", -693593, "01.01.0001"}, {"de_DE", 2958465, "31.12.9999"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.locale) + " " + c.text);
    SetLocaleForTesting(c.locale);
    EXPECT_EQ(FormatShortDate(c.serial), c.text);
    EXPECT_EQ(ParseShortDate(c.text), std::trunc(c.serial));
  }
  for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), -693594.0, 2958466.0, 1e300}) {
    EXPECT_EQ(MessageOf([&] { FormatShortDate(bad); }), "Invalid date value.") << bad;
    EXPECT_EQ(MessageOf([&] { FormatDateTime(bad); }), "Invalid date value.") << bad;
  }
}

TEST_F(Locale, ShortDatesAreReadAsTypedAndOnlyWhenValid) {
  struct Case {
    const char* locale;
    const char* text;
    std::optional<double> serial;
  };
  const Case cases[] = {
      {"de_DE", "10.12.26", 46366},   {"de_DE", "1.2.26", 46054},   {"de_DE", " 01.02.2026 ", 46054},
      {"de_DE", "15.06.50", 18429},   {"en_US", "2/1/2026", 46054}, {"en_US", "12/10/26", 46366},
      {"de_DE", "31.02.2026", {}},    {"de_DE", "10.12.2026x", {}}, {"de_DE", "12/10/2026", {}},
      {"de_DE", "", {}},              {"de_DE", "  ", {}},          {"de_DE", "heute", {}},
      {"en_US", "13/1/2026", {}},     {"en_US", "1/1/10000", {}},   {"en_US", "10.12.2026", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.locale) + " '" + c.text + "'");
    SetLocaleForTesting(c.locale);
    EXPECT_EQ(ParseShortDate(c.text), c.serial);
  }
}

TEST_F(Locale, TwoDigitYearsAreReadAroundTheClocksToday) {
  SetLocaleForTesting("de_DE");
  TFakeClock clock(0, 46366.5);  // 10 December 2026: from 10 December 1946 on
  EXPECT_EQ(ParseShortDate("15.06.50"), 18429);
  EXPECT_EQ(ParseShortDate("15.12.46"), ParseShortDate("15.12.1946"));
  EXPECT_EQ(ParseShortDate("05.12.46"), ParseShortDate("05.12.2046"));
  clock.SetDate(*ParseShortDate("01.01.2040"));  // from 1 January 1960 on
  EXPECT_EQ(ParseShortDate("15.06.50"), ParseShortDate("15.06.2050"));
}

TEST_F(Locale, DateAndTimeTextCanBeStoredInTheCodePage) {
  SetLocaleForTesting("en_US");  // ICU puts a narrow no-break space before "PM"
  EXPECT_EQ(FormatDateTime(46366.65625), "12/10/2026, 3:45:00 PM");
  SetLocaleForTesting("de_DE");
  EXPECT_EQ(FormatDateTime(46366.65625), "10.12.2026, 15:45:00");
  EXPECT_EQ(FormatDateTime(-1.25), "29.12.1899, 06:00:00");
}

TEST_F(Locale, FloatsUseTheLocaleSeparatorAndTheShortestExactText) {
  struct Case {
    double value;
    const char* enText;
    const char* deText;
  };
  const Case cases[] = {
      {1234.5, "1234.5", "1234,5"},
      {100, "100", "100"},
      {0, "0", "0"},
      {-0.0, "0", "0"},
      {0.1, "0.1", "0,1"},
      {0.1 + 0.2, "0.30000000000000004", "0,30000000000000004"},
      {1.0 / 3, "0.3333333333333333", "0,3333333333333333"},
      {1e14 + 0.5, "100000000000000.5", "100000000000000,5"},
      {1e15, "1E15", "1E15"},
      {-1.5e20, "-1.5E20", "-1,5E20"},
      {0.0001, "0.0001", "0,0001"},
      {-2.5e-7, "-2.5E-7", "-2,5E-7"},
      {5e-324, "5E-324", "5E-324"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.enText);
    SetLocaleForTesting("en_US");
    EXPECT_EQ(DecimalSeparator(), '.');
    EXPECT_EQ(FormatFloat(c.value), c.enText);
    EXPECT_EQ(ParseFloat(c.enText), c.value);
    SetLocaleForTesting("de_DE");
    EXPECT_EQ(DecimalSeparator(), ',');
    EXPECT_EQ(FormatFloat(c.value), c.deText);
    EXPECT_EQ(ParseFloat(c.deText), c.value);
    EXPECT_EQ(FormatFloat(c.value, '.'), c.enText);  // the form stored in default values
  }
  EXPECT_EQ(FormatFloat(std::nan("")), "NAN");
  EXPECT_EQ(FormatFloat(-std::numeric_limits<double>::infinity()), "-INF");

  std::mt19937_64 random(7);
  for (int i = 0; i < 2000; ++i) {
    double value = std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random), int(random() % 200) - 100);
    ASSERT_EQ(ParseFloat(FormatFloat(value)), value) << FormatFloat(value);
  }
}

TEST_F(Locale, FloatsAreReadOnlyInTheLocaleFormat) {
  SetLocaleForTesting("de_DE");
  EXPECT_EQ(ParseFloat(" -1,5e3 "), -1500);
  EXPECT_EQ(ParseFloat("+2"), 2);
  EXPECT_EQ(ParseFloat(",5"), 0.5);
  EXPECT_EQ(ParseFloat("1.5", '.'), 1.5);
  for (const char* bad : {"1.5", "", " ", "-", ",", "1e", "1e+", "e5", "inf", "nan", "INF", "0x10", "1 000", "1,5,0",
                          "1e999", "--1", "1,5€"}) {
    EXPECT_EQ(ParseFloat(bad), std::nullopt) << bad;
  }
  SetLocaleForTesting("en_US");
  EXPECT_EQ(ParseFloat("1,5"), std::nullopt);
}

TEST_F(Locale, IntegersAreReadStrictlyWithinThirtyTwoBits) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {"0", 0},          {" 42 ", 42},
      {"+7", 7},         {"-0012", -12},
      {"2147483647", 2147483647},        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {"2147483648", {}},                {"-2147483649", {}},
      {"99999999999999999999999", {}},   {"", {}},
      {"-", {}},         {"12a", {}},
      {"1 2", {}},       {"1,5", {}},
      {"0x10", {}},      {"+-1", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << "'" << c.text << "'";
}

TEST_F(Locale, TheUserLocaleComesFromTheEnvironment) {
  struct Saved {
    const char* name;
    std::optional<std::string> value;
  };
  std::vector<Saved> saved;
  for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    const char* value = std::getenv(name);
    saved.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
    unsetenv(name);
  }
  struct Case {
    const char* lcAll;
    const char* lcCollate;
    const char* lang;
    const char* locale;
  };
  const Case cases[] = {
      {"de_DE.UTF-8", "fr_FR.UTF-8", "en_GB.UTF-8", "de_DE"},
      {"", "fr_FR.utf8@euro", "en_GB.UTF-8", "fr_FR"},
      {"", "", "sv_SE", "sv_SE"},
      {"", "", "C", "en_US"},
      {"", "", "", "en_US"},
  };
  for (const Case& c : cases) {
    setenv("LC_ALL", c.lcAll, 1);
    setenv("LC_COLLATE", c.lcCollate, 1);
    setenv("LANG", c.lang, 1);
    SetLocaleForTesting("");
    EXPECT_EQ(LocaleName(), c.locale);
  }
  for (const Saved& s : saved) {
    if (s.value) setenv(s.name, s.value->c_str(), 1);
    else unsetenv(s.name);
  }
  SetLocaleForTesting("de_DE.UTF-8");
  EXPECT_EQ(LocaleName(), "de_DE");
}

}  // namespace
}  // namespace corvane
