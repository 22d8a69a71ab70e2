// Numbers of the locale services: the general float format and strict number reading.

#include <unicode/unum.h>

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "platform/locale.h"
#include "platform/locale_data.h"

namespace corvane {
namespace {

// Positional notation from 1E-4 up to below 1E15, as the general format with 15 digits.
constexpr int kLowestPositionalExponent = -4;
constexpr int kFirstExponentialExponent = 15;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

char LocaleDecimalSeparator(const std::string& formatName) {
  UErrorCode status = U_ZERO_ERROR;
  UNumberFormat* format = unum_open(UNUM_DECIMAL, nullptr, 0, formatName.c_str(), nullptr, &status);
  UChar symbol[8];
  int32_t length = U_SUCCESS(status) ? unum_getSymbol(format, UNUM_DECIMAL_SEPARATOR_SYMBOL, symbol, 8, &status) : 0;
  unum_close(format);
  bool usable = U_SUCCESS(status) && length == 1 && symbol[0] > 0x20 && symbol[0] < 0x7F && !IsDigit(symbol[0]);
  return usable ? static_cast<char>(symbol[0]) : '.';
}

char DecimalSeparator() { return CurrentLocaleData()->decimalSeparator; }

std::string FormatFloat(double value, char separator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  // The shortest digits that read back as `value`, as "d.ddde±xx".
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  std::string_view scientific(buffer, end - buffer);
  bool negative = scientific.front() == '-';
  if (negative) scientific.remove_prefix(1);
  std::size_t e = scientific.find('e');
  std::string digits;
  for (char c : scientific.substr(0, e)) {
    if (c != '.') digits += c;
  }
  int exponent = std::atoi(std::string(scientific.substr(e + 1)).c_str());

  std::string out = negative ? "-" : "";
  if (exponent >= kLowestPositionalExponent && exponent < kFirstExponentialExponent) {
    if (exponent < 0) {
      out += '0';
      out += separator;
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out += digits;
    } else {
      std::size_t whole = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() < whole) digits.append(whole - digits.size(), '0');
      out += digits.substr(0, whole);
      if (digits.size() > whole) out += separator + digits.substr(whole);
    }
  } else {
    out += digits[0];
    if (digits.size() > 1) out += separator + digits.substr(1);
    out += 'E' + std::to_string(exponent);
  }
  return out;
}

std::optional<double> ParseFloat(std::string_view text, char separator) {
  text = TrimSpaces(text);
  // Check the grammar here and hand from_chars a text with '.' and no '+'; it accepts
  // more (infinity, not-a-number) than a number a person writes.
  std::string plain;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') plain += '-';
    ++i;
  }
  int mantissaDigits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) plain += text[i];
  if (i < text.size() && text[i] == separator) {
    plain += '.';
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) plain += text[i];
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    plain += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    int exponentDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits) plain += text[i];
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  double value = 0;
  auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<std::int32_t> ParseInteger(std::string_view text) {
  text = TrimSpaces(text);
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  // One past the largest magnitude, so that the loop never overflows.
  constexpr std::int64_t kLimit = std::int64_t{1} << 31;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kLimit) return std::nullopt;
  }
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace corvane
