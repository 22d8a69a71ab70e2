#include "platform/locale.h"

#include <unicode/uchar.h>
#include <unicode/uloc.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <cstdio>
#include <cstdlib>

#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/locale_data.h"

namespace corvane {
namespace {

// "de_DE.UTF-8@euro" -> "de_DE"; "C" and "POSIX" mean no particular locale, shown as
// American English, the locale whose formats most programs fall back to.
std::string IcuLocaleName(std::string_view posixName) {
  std::string name(posixName.substr(0, posixName.find_first_of(".@")));
  for (char& c : name) {
    if (c == '-') c = '_';
  }
  if (name.empty() || name == "C" || name == "POSIX") return "en_US";
  char canonical[ULOC_FULLNAME_CAPACITY];
  UErrorCode status = U_ZERO_ERROR;
  uloc_canonicalize(name.c_str(), canonical, sizeof canonical, &status);
  return U_SUCCESS(status) && status != U_STRING_NOT_TERMINATED_WARNING ? std::string(canonical) : name;
}

std::string UserLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return IcuLocaleName(value);
  }
  return "en_US";
}

TCollatorPtr OpenCollator(const std::string& name, UCollationStrength strength) {
  UErrorCode status = U_ZERO_ERROR;
  TCollatorPtr collator(ucol_open(name.c_str(), &status));
  if (U_FAILURE(status)) throw TError("The collation of locale " + name + " cannot be loaded.");
  ucol_setStrength(collator.get(), strength);
  return collator;
}

std::shared_ptr<TLocaleData> MakeLocaleData(const std::string& name) {
  auto data = std::make_shared<TLocaleData>();
  data->name = name;
  char formatName[ULOC_FULLNAME_CAPACITY];
  std::snprintf(formatName, sizeof formatName, "%s", name.c_str());
  UErrorCode status = U_ZERO_ERROR;
  uloc_setKeywordValue("numbers", "latn", formatName, sizeof formatName, &status);
  data->formatName = U_SUCCESS(status) ? formatName : name;
  data->ignoreCase = OpenCollator(name, UCOL_SECONDARY);
  data->caseSensitive = OpenCollator(name, UCOL_TERTIARY);
  char language[ULOC_LANG_CAPACITY] = "";
  status = U_ZERO_ERROR;
  uloc_getLanguage(name.c_str(), language, sizeof language, &status);
  data->turkicCase = std::string_view(language) == "tr" || std::string_view(language) == "az";
  data->decimalSeparator = LocaleDecimalSeparator(data->formatName);
  OpenDateFormats(*data);
  return data;
}

std::mutex gMutex;
std::string gOverride;
std::shared_ptr<TLocaleData> gData;

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

int Collate(const UCollator* collator, std::string_view a, std::string_view b) {
  UErrorCode status = U_ZERO_ERROR;
  UCollationResult result;
  if (IsAscii(a) && IsAscii(b)) {
    // ASCII is the same in every code page and is valid UTF-8: no conversion needed.
    result = ucol_strcollUTF8(collator, a.data(), static_cast<int32_t>(a.size()), b.data(),
                              static_cast<int32_t>(b.size()), &status);
  } else {
    std::u16string wideA = AnsiToUtf16ForComparison(a);
    std::u16string wideB = AnsiToUtf16ForComparison(b);
    result = ucol_strcoll(collator, wideA.data(), static_cast<int32_t>(wideA.size()), wideB.data(),
                          static_cast<int32_t>(wideB.size()));
  }
  return static_cast<int>(result);
}

std::u16string FoldCase(std::u16string_view text, bool turkic) {
  std::u16string out(text.size() + 8, u'\0');
  uint32_t options = turkic ? U_FOLD_CASE_EXCLUDE_SPECIAL_I : U_FOLD_CASE_DEFAULT;
  for (;;) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = u_strFoldCase(out.data(), static_cast<int32_t>(out.size()), text.data(),
                                   static_cast<int32_t>(text.size()), options, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      out.resize(length);
      continue;
    }
    out.resize(U_SUCCESS(status) ? length : 0);
    return out;
  }
}

using TCaseMapping = int32_t (*)(UChar*, int32_t, const UChar*, int32_t, const char*, UErrorCode*);

std::u16string MapCase(TCaseMapping mapping, std::u16string_view text, const std::string& locale) {
  std::u16string out(text.size() + 8, u'\0');
  for (;;) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = mapping(out.data(), static_cast<int32_t>(out.size()), text.data(),
                             static_cast<int32_t>(text.size()), locale.c_str(), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      out.resize(length);
      continue;
    }
    if (U_FAILURE(status)) return std::u16string(text);
    out.resize(length);
    return out;
  }
}

// Maps the whole text at once, which keeps context rules (a final sigma); when the
// result cannot be stored, maps character by character and keeps every character whose
// other case the code page lacks (upper-case of 'µ' is a Greek letter that 1252 has not).
std::string ChangeCase(TCaseMapping mapping, std::string_view text) {
  std::u16string wide = AnsiToUtf16(text);
  std::string locale = CurrentLocaleData()->name;
  if (auto whole = TryUtf16ToAnsi(MapCase(mapping, wide, locale))) return *whole;
  std::string out;
  for (std::size_t i = 0; i < wide.size();) {
    std::size_t start = i;
    UChar32 c;
    U16_NEXT(wide.data(), i, wide.size(), c);
    std::u16string_view original = std::u16string_view(wide).substr(start, i - start);
    auto mapped = TryUtf16ToAnsi(MapCase(mapping, original, locale));
    out += mapped ? *mapped : Utf16ToAnsi(original);
  }
  return out;
}

}  // namespace

std::shared_ptr<TLocaleData> CurrentLocaleData() {
  std::lock_guard lock(gMutex);
  if (!gData) gData = MakeLocaleData(gOverride.empty() ? UserLocaleName() : IcuLocaleName(gOverride));
  return gData;
}

void SetLocaleForTesting(std::string_view name) {
  std::lock_guard lock(gMutex);
  gOverride = std::string(name);
  gData.reset();
}

std::string LocaleName() { return CurrentLocaleData()->name; }

int CompareTextIgnoreCase(std::string_view a, std::string_view b) {
  return Collate(CurrentLocaleData()->ignoreCase.get(), a, b);
}

int CompareText(std::string_view a, std::string_view b) {
  int result = Collate(CurrentLocaleData()->caseSensitive.get(), a, b);
  if (result != 0) return result;
  // Texts the collation cannot tell apart (ignorable characters) still get one order.
  int bytes = a.compare(b);
  return (bytes > 0) - (bytes < 0);
}

bool ContainsTextIgnoreCase(std::string_view text, std::string_view part) {
  if (part.empty()) return true;
  bool turkic = CurrentLocaleData()->turkicCase;
  std::u16string foldedText = FoldCase(AnsiToUtf16ForComparison(text), turkic);
  std::u16string foldedPart = FoldCase(AnsiToUtf16ForComparison(part), turkic);
  return foldedText.find(foldedPart) != std::u16string::npos;
}

std::string UpperCaseText(std::string_view text) { return ChangeCase(u_strToUpper, text); }

std::string LowerCaseText(std::string_view text) { return ChangeCase(u_strToLower, text); }

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string FormattedToAnsi(std::u16string_view text) {
  std::u16string plain;
  plain.reserve(text.size());
  for (char16_t unit : text) {
    int8_t type = u_charType(unit);
    if (type == U_FORMAT_CHAR) continue;
    plain.push_back(type == U_SPACE_SEPARATOR ? u' ' : unit);
  }
  return Utf16ToAnsi(plain);
}

}  // namespace corvane
