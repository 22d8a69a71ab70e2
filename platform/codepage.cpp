#include "platform/codepage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <array>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/error.h"

namespace corvane {
namespace {

constexpr char kUnsupportedCodePage[] = "Code page %d is not supported.";
constexpr char kCannotStoreCharacter[] = "The character %s cannot be stored in code page %d.";
constexpr char kInvalidInCodePage[] = "The text is not valid in code page %d.";
constexpr char kInvalidUtf8[] = "The text is not valid UTF-8.";

// Undefined bytes of a single-byte code page read as U+F700 + byte.
constexpr char16_t kUndefinedByteBase = 0xF700;

template <typename... Args>
std::string Format(const char* pattern, Args... args) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, pattern, args...);
  return buffer;
}

struct TConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using TConverterPtr = std::unique_ptr<UConverter, TConverterCloser>;

TConverterPtr OpenStrictConverter(const char* name) {
  UErrorCode status = U_ZERO_ERROR;
  TConverterPtr converter(ucnv_open(name, &status));
  if (U_FAILURE(status)) return nullptr;
  ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFallback(converter.get(), false);
  return U_SUCCESS(status) ? std::move(converter) : nullptr;
}

// Puts U+FFFD where a byte sequence does not decode, as for malformed UTF-8 (ICU's own
// substitute in some tables is U+001A, a control that collation ignores).
void WriteReplacementCharacter(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                               UConverterCallbackReason reason, UErrorCode* status) {
  if (reason > UCNV_IRREGULAR) return;
  static const UChar kReplacement = 0xFFFD;
  *status = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &kReplacement, 1, 0, status);
}

enum class TKind { SingleByte, MultiByte, Utf8 };

// One loaded code page. Single-byte code pages are held as two tables, so converting
// (which the engine does for every comparison) needs no ICU call; the tables are each
// other's inverse, which is what makes every byte round-trip.
struct TCodePage {
  int number = 0;
  TKind kind = TKind::Utf8;
  std::string icuName;
  std::array<char16_t, 256> toUnicode{};
  std::vector<std::int16_t> fromUnicode;  // 65536 entries, -1 where no byte holds it
};

std::string CharacterName(char32_t codePoint) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(codePoint));
  bool printable = codePoint <= 0x10FFFF && !U_IS_SURROGATE(codePoint) && u_isprint(static_cast<UChar32>(codePoint));
  if (!printable) return hex;
  char utf8[8];
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  UChar units[2];
  int32_t unitCount = 0;
  U16_APPEND_UNSAFE(units, unitCount, codePoint);
  u_strToUTF8(utf8, sizeof utf8, &length, units, unitCount, &status);
  return "'" + std::string(utf8, length) + "' (" + hex + ")";
}

[[noreturn]] void ThrowCannotStore(char32_t codePoint, int codePage) {
  throw TError(Format(kCannotStoreCharacter, CharacterName(codePoint).c_str(), codePage));
}

std::vector<std::string> IcuNamesFor(int number) {
  switch (number) {
    case 20127: return {"US-ASCII"};
    case 20866: return {"KOI8-R"};
    case 21866: return {"KOI8-U"};
    case 54936: return {"gb18030"};
    case 28603: return {"ISO-8859-13"};
    case 28605: return {"ISO-8859-15"};
    default: break;
  }
  if (number >= 28591 && number <= 28599) return {"ISO-8859-" + std::to_string(number - 28590)};
  std::string digits = std::to_string(number);
  return {"windows-" + digits, "cp" + digits, "ibm-" + digits};
}

// Reads one byte sequence strictly; nullopt when the converter does not define it.
std::optional<std::u16string> DecodeStrict(UConverter* converter, std::string_view bytes) {
  std::u16string out(bytes.size() * 2 + 2, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = ucnv_toUChars(converter, out.data(), static_cast<int32_t>(out.size()), bytes.data(),
                                 static_cast<int32_t>(bytes.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.resize(length);
    status = U_ZERO_ERROR;
    length = ucnv_toUChars(converter, out.data(), length, bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  }
  if (U_FAILURE(status)) return std::nullopt;
  out.resize(length);
  return out;
}

// A code page is usable when it is stateless and its printable bytes 0x20-0x7E are
// ASCII: the engine reads digits, signs and separators out of its texts as ASCII bytes.
bool IsAsciiBased(UConverter* converter) {
  switch (ucnv_getType(converter)) {
    case UCNV_SBCS:
    case UCNV_DBCS:
    case UCNV_MBCS:
    case UCNV_LATIN_1:
    case UCNV_US_ASCII:
      break;
    default:
      return false;
  }
  for (int byte = 0x20; byte < 0x7F; ++byte) {
    char c = static_cast<char>(byte);
    auto decoded = DecodeStrict(converter, std::string_view(&c, 1));
    if (!decoded || decoded->size() != 1 || (*decoded)[0] != byte) return false;
  }
  return true;
}

// Bytes 0x00-0x7F are ASCII, controls included: some of ICU's tables of IBM origin
// (437, 850) exchange 0x1A, 0x1C and 0x7F, which Windows code pages do not.
void BuildSingleByteTables(TCodePage& page, UConverter* converter) {
  page.fromUnicode.assign(0x10000, -1);
  std::array<bool, 256> defined{};
  for (int byte = 0; byte < 0x80; ++byte) {
    page.toUnicode[byte] = static_cast<char16_t>(byte);
    page.fromUnicode[byte] = static_cast<std::int16_t>(byte);
    defined[byte] = true;
  }
  for (int byte = 0x80; byte < 256; ++byte) {
    char c = static_cast<char>(byte);
    auto decoded = DecodeStrict(converter, std::string_view(&c, 1));
    if (!decoded || decoded->size() != 1 || U16_IS_SURROGATE((*decoded)[0])) continue;
    char16_t unit = (*decoded)[0];
    if (page.fromUnicode[unit] >= 0) continue;  // a second byte for the same character
    page.toUnicode[byte] = unit;
    page.fromUnicode[unit] = static_cast<std::int16_t>(byte);
    defined[byte] = true;
  }
  for (int byte = 0; byte < 256; ++byte) {
    if (defined[byte]) continue;
    char16_t unit = static_cast<char16_t>(kUndefinedByteBase + byte);
    page.toUnicode[byte] = unit;
    page.fromUnicode[unit] = static_cast<std::int16_t>(byte);
  }
}

std::shared_ptr<const TCodePage> LoadCodePage(int number) {
  auto page = std::make_shared<TCodePage>();
  page->number = number;
  if (number == kUtf8CodePage) {
    page->kind = TKind::Utf8;
    return page;
  }
  if (number <= 0) return nullptr;
  for (const std::string& name : IcuNamesFor(number)) {
    TConverterPtr converter = OpenStrictConverter(name.c_str());
    if (!converter || !IsAsciiBased(converter.get())) continue;
    page->icuName = name;
    if (ucnv_getMaxCharSize(converter.get()) == 1) {
      page->kind = TKind::SingleByte;
      BuildSingleByteTables(*page, converter.get());
    } else {
      page->kind = TKind::MultiByte;
    }
    return page;
  }
  return nullptr;
}

std::mutex gMutex;
std::shared_ptr<const TCodePage> gCurrent;

std::shared_ptr<const TCodePage> Current() {
  std::lock_guard lock(gMutex);
  if (!gCurrent) gCurrent = LoadCodePage(kDefaultCodePage);
  return gCurrent;
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view text) {
  std::u16string out(text.size() + 1, u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8(out.data(), static_cast<int32_t>(out.size()), &length, text.data(), static_cast<int32_t>(text.size()),
                &status);
  if (U_FAILURE(status)) return std::nullopt;
  out.resize(length);
  return out;
}

std::u16string Utf8ToUtf16Lenient(std::string_view text) {
  std::u16string out(text.size() + 1, u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, text.data(),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) return {};
  out.resize(length);
  return out;
}

// The first code point of `text` that is an unpaired surrogate, if any.
std::optional<char32_t> UnpairedSurrogate(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    UChar32 c;
    U16_NEXT(text.data(), i, text.size(), c);
    if (U_IS_SURROGATE(c)) return static_cast<char32_t>(c);
  }
  return std::nullopt;
}

std::string Utf16ToUtf8(std::u16string_view text, int codePage) {
  std::string out(text.size() * 3 + 1, '\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &length, text.data(), static_cast<int32_t>(text.size()),
              &status);
  if (U_FAILURE(status)) ThrowCannotStore(UnpairedSurrogate(text).value_or(0xFFFD), codePage);
  out.resize(length);
  return out;
}

std::u16string DecodeSingleByte(const TCodePage& page, std::string_view text) {
  std::u16string out(text.size(), u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = page.toUnicode[static_cast<std::uint8_t>(text[i])];
  return out;
}

// Encodes into `out`; on failure returns the first character that cannot be stored.
std::optional<char32_t> EncodeSingleByte(const TCodePage& page, std::u16string_view text, std::string& out) {
  out.assign(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    if (U16_IS_SURROGATE(unit)) {
      UChar32 c;
      U16_NEXT(text.data(), i, text.size(), c);
      return static_cast<char32_t>(c);
    }
    std::int16_t byte = page.fromUnicode[unit];
    if (byte < 0) return unit;
    out[i] = static_cast<char>(byte);
  }
  return std::nullopt;
}

bool EncodeWithIcu(UConverter* converter, std::u16string_view text, std::string& out) {
  out.assign(text.size() * static_cast<std::size_t>(ucnv_getMaxCharSize(converter)) + 1, '\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = ucnv_fromUChars(converter, out.data(), static_cast<int32_t>(out.size()), text.data(),
                                   static_cast<int32_t>(text.size()), &status);
  if (U_FAILURE(status)) return false;
  out.resize(length);
  return true;
}

std::optional<char32_t> EncodeMultiByte(const TCodePage& page, std::u16string_view text, std::string& out) {
  TConverterPtr converter = OpenStrictConverter(page.icuName.c_str());
  if (!converter) throw TError(Format(kUnsupportedCodePage, page.number));
  if (EncodeWithIcu(converter.get(), text, out)) return std::nullopt;
  // Find the character to name: the first one that does not convert on its own.
  std::string piece;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t start = i;
    UChar32 c;
    U16_NEXT(text.data(), i, text.size(), c);
    if (!EncodeWithIcu(converter.get(), text.substr(start, i - start), piece)) return static_cast<char32_t>(c);
  }
  return 0xFFFD;
}

std::optional<char32_t> Encode(const TCodePage& page, std::u16string_view text, std::string& out) {
  switch (page.kind) {
    case TKind::SingleByte:
      return EncodeSingleByte(page, text, out);
    case TKind::MultiByte:
      return EncodeMultiByte(page, text, out);
    case TKind::Utf8:
      if (auto bad = UnpairedSurrogate(text)) return bad;
      out = Utf16ToUtf8(text, page.number);
      return std::nullopt;
  }
  return 0xFFFD;
}

std::u16string Decode(const TCodePage& page, std::string_view text) {
  switch (page.kind) {
    case TKind::SingleByte:
      return DecodeSingleByte(page, text);
    case TKind::MultiByte: {
      TConverterPtr converter = OpenStrictConverter(page.icuName.c_str());
      std::optional<std::u16string> decoded;
      if (converter) decoded = DecodeStrict(converter.get(), text);
      if (!decoded) throw TError(Format(kInvalidInCodePage, page.number));
      return *decoded;
    }
    case TKind::Utf8: {
      auto decoded = Utf8ToUtf16(text);
      if (!decoded) throw TError(kInvalidUtf8);
      return *decoded;
    }
  }
  return {};
}

std::string EncodeOrThrow(const TCodePage& page, std::u16string_view text) {
  std::string out;
  if (auto bad = Encode(page, text, out)) ThrowCannotStore(*bad, page.number);
  return out;
}

}  // namespace

void SetCodePage(int codePage) {
  auto page = LoadCodePage(codePage);
  if (!page) throw TError(Format(kUnsupportedCodePage, codePage));
  std::lock_guard lock(gMutex);
  gCurrent = std::move(page);
}

int CurrentCodePage() { return Current()->number; }

std::u16string AnsiToUtf16(std::string_view text) { return Decode(*Current(), text); }

std::u16string AnsiToUtf16ForComparison(std::string_view text) {
  auto page = Current();
  switch (page->kind) {
    case TKind::SingleByte:
      return DecodeSingleByte(*page, text);
    case TKind::MultiByte: {
      UErrorCode status = U_ZERO_ERROR;
      TConverterPtr converter(ucnv_open(page->icuName.c_str(), &status));
      if (U_SUCCESS(status)) {
        ucnv_setToUCallBack(converter.get(), WriteReplacementCharacter, nullptr, nullptr, nullptr, &status);
      }
      if (U_FAILURE(status)) return {};
      std::u16string out(text.size() * 2 + 2, u'\0');
      int32_t length = ucnv_toUChars(converter.get(), out.data(), static_cast<int32_t>(out.size()), text.data(),
                                     static_cast<int32_t>(text.size()), &status);
      if (U_FAILURE(status)) return {};
      out.resize(length);
      return out;
    }
    case TKind::Utf8:
      return Utf8ToUtf16Lenient(text);
  }
  return {};
}

std::string AnsiToUtf8(std::string_view text) {
  auto page = Current();
  std::u16string wide = Decode(*page, text);  // also checks UTF-8 under 65001
  if (page->kind == TKind::Utf8) return std::string(text);
  return Utf16ToUtf8(wide, kUtf8CodePage);
}

namespace {

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

}  // namespace

std::string MessageToUtf8(std::string_view text) {
  if (IsUtf8(text)) return std::string(text);
  try {
    return AnsiToUtf8(text);
  } catch (const TError&) {
    return std::string(text);
  }
}

std::optional<std::string> TryUtf16ToAnsi(std::u16string_view text) {
  std::string out;
  if (Encode(*Current(), text, out)) return std::nullopt;
  return out;
}

std::string Utf16ToAnsi(std::u16string_view text) { return EncodeOrThrow(*Current(), text); }

std::string Utf8ToAnsi(std::string_view text) {
  auto page = Current();
  auto wide = Utf8ToUtf16(text);
  if (!wide) throw TError(kInvalidUtf8);
  if (page->kind == TKind::Utf8) return std::string(text);
  return EncodeOrThrow(*page, *wide);
}

}  // namespace corvane
