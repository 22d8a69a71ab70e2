#pragma once
// Inside the locale services: the ICU objects made once per locale, shared by
// platform/locale.cpp, locale_dates.cpp and locale_numbers.cpp. Not for other callers.

#include <unicode/ucol.h>
#include <unicode/udat.h>

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace corvane {

struct TCollatorCloser {
  void operator()(UCollator* collator) const { ucol_close(collator); }
};
struct TDateFormatCloser {
  void operator()(UDateFormat* format) const { udat_close(format); }
};
using TCollatorPtr = std::unique_ptr<UCollator, TCollatorCloser>;
using TDateFormatPtr = std::unique_ptr<UDateFormat, TDateFormatCloser>;

struct TLocaleData {
  std::string name;             // ICU locale name, e.g. "de_DE"
  std::string formatName;       // the same with Latin digits, for dates and numbers
  TCollatorPtr ignoreCase;      // secondary strength: accents count, case does not
  TCollatorPtr caseSensitive;   // tertiary strength
  bool turkicCase = false;      // dotted and dotless i fold apart
  char decimalSeparator = '.';

  // Date formats keep state while they work, so they are used under `formatMutex`.
  std::mutex formatMutex;
  TDateFormatPtr shortDate;      // shows a date
  TDateFormatPtr shortDateRead;  // reads a date, with short forms of day, month, year
  TDateFormatPtr dateTime;
};

// Fill in the date formats and the decimal separator of `data` (locale_dates.cpp,
// locale_numbers.cpp), from `data.formatName`.
void OpenDateFormats(TLocaleData& data);
char LocaleDecimalSeparator(const std::string& formatName);

// The data of the locale in use, made on first use.
std::shared_ptr<TLocaleData> CurrentLocaleData();

// Text that ICU formatted, as an engine text: spaces of every kind become ' ' and
// invisible format marks are dropped, so that a date or number can be stored in any
// code page; throws TError for what still cannot be stored.
std::string FormattedToAnsi(std::u16string_view text);

// `text` without the spaces and tabs around it.
std::string_view TrimSpaces(std::string_view text);

}  // namespace corvane
