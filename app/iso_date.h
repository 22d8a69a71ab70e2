#pragma once
// Date serials (days since 30 December 1899, the fraction being the time of
// day) in the ISO 8601 calendar forms "yyyy-mm-dd" and "yyyy-mm-ddThh:mm:ss",
// for output that programs read back and for dates typed on a command line.
// Serials are wall-clock values: no time zone is applied.

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// "yyyy-mm-dd" followed by `separator` and "hh:mm:ss", to the nearest second.
// Throws TError "Invalid date value." for a serial outside the years 1 to 9999.
std::string FormatIsoDateTime(double serial, char separator = 'T');

// Exactly "yyyy-mm-dd" (four-digit year, two-digit month and day) naming a
// real day of the years 1 to 9999, as a whole-day serial; nullopt otherwise.
std::optional<double> ParseIsoDate(std::string_view text);

// A number that orders serials by the moment they mean. A serial below zero
// keeps its day in the whole part and its time in the absolute fraction
// (-1.25 is 29 December 1899, 6:00, later than -1, its midnight), so serials
// are not ordered by their plain value.
double MomentOfSerial(double serial);

}  // namespace corvane
