#pragma once
// Locale services for engine texts (8-bit, in the code page of platform/codepage.h):
// comparison and case, dates and numbers as a person reads and types them.
//
// The locale is the user's: the first of LC_ALL, LC_COLLATE and LANG that is set
// ("de_DE.UTF-8" and the like; "C" and "POSIX" count as en_US). Collators and formats
// are made once per locale and reused. Safe to call from several threads.
//
// Dates are serials: days since 30 December 1899, the fraction being the time of day.
// They are shown and read as wall-clock values, untouched by time zones, with a
// four-digit year so that every date from year 1 to 9999 survives being shown and
// typed back.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// Uses `name` (an ICU or POSIX locale name such as "de_DE") instead of the user's
// locale; an empty name goes back to the user's.
void SetLocaleForTesting(std::string_view name);

// The ICU name of the locale in use, e.g. "de_DE".
std::string LocaleName();

// Order of two texts in the locale's collation: <0, 0 or >0. The first ignores case
// (but not accents): "abc" and "ABC" compare equal. The second also orders by case and
// gives 0 only for identical texts. Bytes that do not decode never raise here.
int CompareTextIgnoreCase(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);

// Whether `text` contains `part`, ignoring case; an empty part is contained in any text.
bool ContainsTextIgnoreCase(std::string_view text, std::string_view part);

// The text in upper or lower case by the locale's rules. A character whose other case
// the code page cannot hold stays as it is. Throws TError only for a text that does not
// decode in a multi-byte code page.
std::string UpperCaseText(std::string_view text);
std::string LowerCaseText(std::string_view text);

// The date part of `serial` in the locale's short date format ("12/10/2026" in en_US,
// "10.12.2026" in de_DE). Throws TError "Invalid date value." for a serial that is not a
// date of the years 1 to 9999.
std::string FormatShortDate(double serial);

// A text in the locale's short date format (one- or two-digit days and months, two- or
// four-digit years; spaces around it are ignored) as a whole-day serial; nullopt when it
// is not a valid date of the years 1 to 9999. A two-digit year is taken within the
// hundred years that start 80 years before Clock()'s today.
std::optional<double> ParseShortDate(std::string_view text);

// Date and time of `serial` in the locale's short date and medium time format
// ("12/10/2026, 3:45:07 PM"). Throws TError like FormatShortDate.
std::string FormatDateTime(double serial);

// The locale's decimal separator as one byte ('.' where the locale's own is not ASCII).
char DecimalSeparator();

// `value` in the general format: the shortest text that reads back as the same double,
// positional for magnitudes from 0.0001 to below 1E15 ("1234.5", "0.001"), else with
// an exponent ("1E20", "1.5E-7"), written with `separator` (by default the locale's).
// Not-a-number and infinities give "NAN", "INF" and "-INF".
std::string FormatFloat(double value, char separator = DecimalSeparator());

// A number written with `separator` (optional sign, digits, separator, digits, optional
// exponent "E" or "e"; spaces around it are ignored). nullopt for any other text and for
// numbers beyond the range of a double.
std::optional<double> ParseFloat(std::string_view text, char separator = DecimalSeparator());

// A decimal integer (optional sign, digits; spaces around it are ignored); nullopt for
// any other text and for values outside the signed 32-bit range.
std::optional<std::int32_t> ParseInteger(std::string_view text);

}  // namespace corvane
