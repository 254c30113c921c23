#include "model/numeric.h"

#include <charconv>
#include <cmath>
#include <string>

namespace qdx {

namespace {

bool IsDigit(QChar c) {
  return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Roughly the power of ten of an accepted number (its first significant digit's place plus
// the exponent); only its sign matters, to tell overflow from underflow.
long long DecimalMagnitude(const std::string& ascii) {
  long long place = 0;
  bool significant = false;
  bool fraction = false;
  std::size_t i = 0;
  for (; i < ascii.size() && ascii[i] != 'e'; ++i) {
    const char c = ascii[i];
    if (c == '.') {
      fraction = true;
    } else if (c >= '0' && c <= '9') {
      if (!significant && c != '0') {
        significant = true;
        if (fraction) ++place;  // 0.5 counts as place 0
      }
      if (!fraction && significant) ++place;
      if (fraction && !significant) --place;
    }
  }
  long long exponent = 0;
  if (i < ascii.size()) {
    bool negative = false;
    for (++i; i < ascii.size(); ++i) {
      if (ascii[i] == '-') {
        negative = true;
      } else if (ascii[i] >= '0' && ascii[i] <= '9' && exponent < 1'000'000'000) {
        exponent = exponent * 10 + (ascii[i] - '0');
      }
    }
    if (negative) exponent = -exponent;
  }
  return place + exponent;
}

// Checks the grammar and hands the accepted ASCII text to from_chars, which reads it the same
// way everywhere (no locale).
bool ParseNumber(const QString& text, double& value) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && text[i] == QLatin1Char(' ')) ++i;
  std::string ascii;
  if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
    if (text[i] == QLatin1Char('-')) ascii += '-';
    ++i;
  }
  int mantissaDigits = 0;
  while (i < n && IsDigit(text[i])) {
    ascii += static_cast<char>(text[i++].unicode());
    ++mantissaDigits;
  }
  if (i < n && text[i] == QLatin1Char('.')) {
    ascii += '.';
    ++i;
    while (i < n && IsDigit(text[i])) {
      ascii += static_cast<char>(text[i++].unicode());
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) return false;
  if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
    ascii += 'e';
    ++i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
      ascii += static_cast<char>(text[i++].unicode());
    }
    int exponentDigits = 0;
    while (i < n && IsDigit(text[i])) {
      ascii += static_cast<char>(text[i++].unicode());
      ++exponentDigits;
    }
    if (exponentDigits == 0) return false;
  }
  if (i != n) return false;
  const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (end != ascii.data() + ascii.size()) return false;
  // Out of a double's range: a value too large is no usable number, one too small is zero.
  if (ec == std::errc::result_out_of_range) {
    if (DecimalMagnitude(ascii) > 0) return false;
    value = 0.0;
    return true;
  }
  return ec == std::errc() && std::isfinite(value);
}

}  // namespace

int CheckNumericRange(const QString& text, double lower, double upper) {
  double value = 0.0;
  if (!ParseNumber(text, value)) return kNumericNotNumeric;
  if (value < lower || value > upper) return kNumericOutOfRange;
  return kNumericValid;
}

}  // namespace qdx
