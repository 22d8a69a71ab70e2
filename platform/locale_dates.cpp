// Dates of the locale services: short date and date-and-time texts of date serials.

#include <unicode/uchar.h>
#include <unicode/ucal.h>
#include <unicode/udat.h>
#include <unicode/ustring.h>

#include <cmath>

#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/locale.h"
#include "platform/locale_data.h"

namespace corvane {
namespace {

constexpr char kInvalidDateValue[] = "Invalid date value.";

constexpr double kMillisecondsPerDay = 86400000.0;
constexpr double kUnixEpochSerial = 25569.0;    // 1 January 1970
constexpr double kFirstSerial = -693593.0;      // 1 January 0001
constexpr double kLastSerial = 2958465.0;       // 31 December 9999

bool IsDateSerial(double serial) { return std::isfinite(serial) && serial > kFirstSerial - 1 && serial < kLastSerial + 1; }

// A serial's whole part is the day and its fraction the time of that day, also below
// zero (-1.25 is 29 December 1899, 6:00). Formats run in UTC, so the result is the
// wall-clock value the serial holds.
UDate ToUDate(double serial, bool withTime) {
  double day = std::trunc(serial);
  double time = withTime ? std::round(std::fabs(serial - day) * kMillisecondsPerDay) : 0.0;
  return (day - kUnixEpochSerial) * kMillisecondsPerDay + time;
}

enum class TPatternUse { Show, Read };

// Year fields become four digits for showing, so that every year reads back as itself,
// and a free-length field for reading, which takes two-digit years within the usual
// century window; two-digit days and months are also read from one digit. Invisible
// direction marks go and every kind of space becomes ' ', as a person types it.
std::u16string AdaptPattern(std::u16string_view pattern, TPatternUse use) {
  std::u16string out;
  bool quoted = false;
  for (std::size_t i = 0; i < pattern.size();) {
    char16_t c = pattern[i];
    int8_t type = u_charType(c);
    if (type == U_FORMAT_CHAR || type == U_SPACE_SEPARATOR) {
      if (type == U_SPACE_SEPARATOR) out += u' ';
      ++i;
      continue;
    }
    if (c == u'\'') quoted = !quoted;
    std::size_t run = 1;
    if (!quoted && c != u'\'') {
      while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    }
    if (!quoted && c == u'y') {
      out += use == TPatternUse::Show ? u"yyyy" : u"y";
    } else if (!quoted && use == TPatternUse::Read && run == 2 && (c == u'd' || c == u'M')) {
      out += c;
    } else {
      out.append(pattern.substr(i, run));
    }
    i += run;
  }
  return out;
}

TDateFormatPtr OpenDateFormat(const std::string& locale, UDateFormatStyle timeStyle, TPatternUse use) {
  UErrorCode status = U_ZERO_ERROR;
  TDateFormatPtr format(udat_open(timeStyle, UDAT_SHORT, locale.c_str(), u"UTC", -1, nullptr, -1, &status));
  if (U_FAILURE(status)) throw TError("The date format of locale " + locale + " cannot be loaded.");
  UChar pattern[128];
  int32_t length = udat_toPattern(format.get(), false, pattern, 128, &status);
  if (U_SUCCESS(status) && length < 128) {
    std::u16string adapted = AdaptPattern(std::u16string_view(pattern, length), use);
    udat_applyPattern(format.get(), false, adapted.data(), static_cast<int32_t>(adapted.size()));
  }
  udat_setLenient(format.get(), false);
  // Serials count days of the Gregorian calendar also before its introduction in 1582.
  UCalendar* calendar = ucal_clone(udat_getCalendar(format.get()), &status);
  if (U_SUCCESS(status)) {
    ucal_setGregorianChange(calendar, U_DATE_MIN, &status);
    udat_setCalendar(format.get(), calendar);
    ucal_close(calendar);
  }
  return format;
}

// Two-digit years are read within the hundred years from 80 years ago, counted from
// the clock's today rather than ICU's, so that a test can choose the day.
void SetTwoDigitYearWindow(UDateFormat* format) {
  UErrorCode status = U_ZERO_ERROR;
  UCalendar* calendar = ucal_clone(udat_getCalendar(format), &status);
  if (U_FAILURE(status)) return;
  ucal_setMillis(calendar, ToUDate(Clock().Now(), false), &status);
  ucal_add(calendar, UCAL_YEAR, -80, &status);
  UDate start = ucal_getMillis(calendar, &status);
  ucal_close(calendar);
  if (U_SUCCESS(status)) udat_set2DigitYearStart(format, start, &status);
}

std::string FormatWith(UDateFormat* format, UDate date) {
  UChar text[128];
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = udat_format(format, date, text, 128, nullptr, &status);
  if (U_FAILURE(status) || length >= 128) throw TError(kInvalidDateValue);
  return FormattedToAnsi(std::u16string_view(text, length));
}

}  // namespace

void OpenDateFormats(TLocaleData& data) {
  data.shortDate = OpenDateFormat(data.formatName, UDAT_NONE, TPatternUse::Show);
  data.shortDateRead = OpenDateFormat(data.formatName, UDAT_NONE, TPatternUse::Read);
  data.dateTime = OpenDateFormat(data.formatName, UDAT_MEDIUM, TPatternUse::Show);
}

std::string FormatShortDate(double serial) {
  if (!IsDateSerial(serial)) throw TError(kInvalidDateValue);
  auto data = CurrentLocaleData();
  std::lock_guard lock(data->formatMutex);
  return FormatWith(data->shortDate.get(), ToUDate(serial, false));
}

std::string FormatDateTime(double serial) {
  if (!IsDateSerial(serial)) throw TError(kInvalidDateValue);
  auto data = CurrentLocaleData();
  std::lock_guard lock(data->formatMutex);
  return FormatWith(data->dateTime.get(), ToUDate(serial, true));
}

std::optional<double> ParseShortDate(std::string_view text) {
  std::u16string wide = AnsiToUtf16ForComparison(TrimSpaces(text));
  if (wide.empty()) return std::nullopt;
  auto data = CurrentLocaleData();
  std::lock_guard lock(data->formatMutex);
  UErrorCode status = U_ZERO_ERROR;
  int32_t position = 0;
  SetTwoDigitYearWindow(data->shortDateRead.get());
  UDate date = udat_parse(data->shortDateRead.get(), wide.data(), static_cast<int32_t>(wide.size()), &position, &status);
  if (U_FAILURE(status) || position != static_cast<int32_t>(wide.size())) return std::nullopt;
  double serial = std::floor(date / kMillisecondsPerDay) + kUnixEpochSerial;
  if (!IsDateSerial(serial)) return std::nullopt;
  return serial;
}

}  // namespace corvane
