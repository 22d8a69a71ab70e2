#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/error.h"

namespace corvane {
namespace {

// The code page is process-wide: every test leaves the default behind.
class CodePage : public ::testing::Test {
 protected:
  void TearDown() override { SetCodePage(kDefaultCodePage); }
};

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const TError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST_F(CodePage, TextsRoundTripThroughEachCodePage) {
  struct Case {
    int codePage;
    std::string utf8;
    std::string bytes;
  };
  const Case cases[] = {
      {1252, "Zürich €5", "Z\xFCrich \x80" "5"},
      {1251, "Жёлтый", "\xC6\xB8\xEB\xF2\xFB\xE9"},
      {1250, "Łódź", "\xA3\xF3\x64\x9F"},
      {1253, "Ελλάδα", "\xC5\xEB\xEB\xDC\xE4\xE1"},
      {932, "日本ｶﾅ", "\x93\xFA\x96\x7B\xB6\xC5"},
      {936, "中文", "\xD6\xD0\xCE\xC4"},
      {949, "한국", "\xC7\xD1\xB1\xB9"},
      {950, "繁體", "\xC1\x63\xC5\xE9"},
      {54936, "中😀", "\xD6\xD0\x94\x39\xFC\x36"},
      {65001, "Ж日😀", "\xD0\x96\xE6\x97\xA5\xF0\x9F\x98\x80"},
      {1252, std::string("nul\0inside", 10), std::string("nul\0inside", 10)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codePage);
    SetCodePage(c.codePage);
    EXPECT_EQ(CurrentCodePage(), c.codePage);
    EXPECT_EQ(Utf8ToAnsi(c.utf8), c.bytes);
    EXPECT_EQ(AnsiToUtf8(c.bytes), c.utf8);
    EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(c.bytes)), c.bytes);
  }
}

TEST_F(CodePage, EveryByteOfASingleByteCodePageRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  for (int codePage : {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 874, 437, 850, 866, 20127, 20866, 28591,
                       28605}) {
    SCOPED_TRACE(codePage);
    SetCodePage(codePage);
    std::u16string wide = AnsiToUtf16(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(Utf16ToAnsi(wide), all);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
    for (char16_t c = 0; c < 0x80; ++c) ASSERT_EQ(wide[c], c) << "ASCII byte " << int(c);
  }
}

TEST_F(CodePage, UndefinedBytesReadAsControlOrPrivateUseCharacters) {
  EXPECT_EQ(AnsiToUtf16("\x81\x8D"), u"\u0081\u008D");  // holes of 1252 are C1 controls
  SetCodePage(1253);
  EXPECT_EQ(AnsiToUtf16("\xD2\xFF"), u"\uF7D2\uF7FF");  // holes outside 0x80-0x9F
  EXPECT_EQ(Utf16ToAnsi(u"\uF7D2"), "\xD2");
  SetCodePage(1252);
  // A private-use character stands only for a byte that is undefined.
  EXPECT_FALSE(TryUtf16ToAnsi(u"\uF781").has_value());
}

TEST_F(CodePage, CharacterOutsideTheCodePageIsRefusedByName) {
  EXPECT_EQ(MessageOf([] { Utf8ToAnsi("abcЖ"); }), "The character 'Ж' (U+0416) cannot be stored in code page 1252.");
  EXPECT_EQ(MessageOf([] { Utf8ToAnsi("x😀"); }), "The character '😀' (U+1F600) cannot be stored in code page 1252.");
  EXPECT_EQ(MessageOf([] { Utf16ToAnsi(u"a\xD800"); }), "The character U+D800 cannot be stored in code page 1252.");
  EXPECT_FALSE(TryUtf16ToAnsi(u"Ж").has_value());
  EXPECT_EQ(TryUtf16ToAnsi(u"é"), "\xE9");

  SetCodePage(932);
  EXPECT_EQ(MessageOf([] { Utf8ToAnsi("日本Łx"); }), "The character 'Ł' (U+0141) cannot be stored in code page 932.");
  SetCodePage(65001);
  EXPECT_EQ(MessageOf([] { Utf16ToAnsi(u"\xDC00"); }), "The character U+DC00 cannot be stored in code page 65001.");
}

TEST_F(CodePage, MalformedInputIsRefused) {
  EXPECT_EQ(MessageOf([] { Utf8ToAnsi("ab\xC3"); }), "The text is not valid UTF-8.");
  EXPECT_EQ(MessageOf([] { Utf8ToAnsi("\xED\xA0\x80"); }), "The text is not valid UTF-8.");  // encoded surrogate
  SetCodePage(65001);
  EXPECT_EQ(MessageOf([] { AnsiToUtf8("\xFF"); }), "The text is not valid UTF-8.");
  EXPECT_EQ(AnsiToUtf16ForComparison("a\xFF"), u"a\uFFFD");
  SetCodePage(932);
  EXPECT_EQ(MessageOf([] { AnsiToUtf16("ab\x81"); }), "The text is not valid in code page 932.");
  EXPECT_EQ(AnsiToUtf16ForComparison("ab").size(), 2u);
  EXPECT_NO_THROW(AnsiToUtf16ForComparison("ab\x81"));
}

TEST_F(CodePage, MessagesOfEitherKindBecomeUtf8) {
  const struct {
    std::string message;
    std::string utf8;
  } cases[] = {
      {"Duplicate folder name 'Caf\xE9'.", "Duplicate folder name 'Caf\xC3\xA9'."},  // engine text
      {"The folder 'Caf\xC3\xA9' does not exist.", "The folder 'Caf\xC3\xA9' does not exist."},  // UTF-8
      {"plain", "plain"},
      {"cut \xC3", "cut \xC3\x83"},  // a UTF-8 sequence cut short is not UTF-8
  };
  for (const auto& c : cases) EXPECT_EQ(MessageToUtf8(c.message), c.utf8) << c.message;
}

TEST_F(CodePage, UnusableCodePagesAreRefusedAndKeepTheCurrentOne) {
  SetCodePage(1251);
  // Unknown numbers, UTF-16 (not 8-bit) and EBCDIC (not ASCII-based).
  for (int codePage : {0, -1, 12345, 1200, 37}) {
    EXPECT_EQ(MessageOf([&] { SetCodePage(codePage); }),
              "Code page " + std::to_string(codePage) + " is not supported.");
  }
  EXPECT_EQ(CurrentCodePage(), 1251);
}

}  // namespace
}  // namespace corvane
