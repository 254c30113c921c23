#include "config/editor_values.h"

#include <QLocale>
#include <QStringEncoder>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "link/code_pages.h"
#include "link/section_wire.h"
#include "model/numeric.h"
#include "model/record_text.h"

namespace qdx {

const TenthsFieldRule& RelayOffsetRule() {
  static const TenthsFieldRule rule{-12.5, 12.5,
                                    QStringLiteral("Wrong parameter range ! < -12.5 .. 12.5")};
  return rule;
}

const TenthsFieldRule& RelayWindowRule() {
  static const TenthsFieldRule rule{0.0, 25.5, QStringLiteral("Wrong parameter range ! < 0..25.4")};
  return rule;
}

std::optional<QString> CheckTenthsField(const QString& text, const TenthsFieldRule& rule) {
  switch (CheckNumericRange(text, rule.lower, rule.upper)) {
    case kNumericValid:
      return std::nullopt;
    case kNumericNotNumeric:
      return kNotNumericMessage;
    default:
      return rule.rangeMessage;
  }
}

std::int32_t TenthsFromText(const QString& text) {
  if (CheckNumericRange(text, -std::numeric_limits<double>::max(),
                        std::numeric_limits<double>::max()) != kNumericValid) {
    return 0;
  }
  // The text passed the numeric check, so it is plain ASCII: spaces, sign, digits, point,
  // exponent. from_chars takes no '+' and no leading spaces.
  std::string ascii = text.trimmed().toStdString();
  if (!ascii.empty() && ascii.front() == '+') ascii.erase(0, 1);
  double value = 0.0;
  std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  // The product of a typed decimal and 10 can land a hair below a half (0.35 * 10 is
  // 3.4999...); nudging it by far less than any typed digit rounds it as the decimal reads.
  const double scaled = value * 10.0;
  const double tenths =
      std::round(scaled + std::copysign(1e-9 * std::max(1.0, std::fabs(scaled)), scaled));
  if (tenths >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (tenths <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(tenths);
}

QString TextFromTenths(std::int32_t tenths) {
  const qint64 v = tenths;
  const qint64 magnitude = v < 0 ? -v : v;
  return QStringLiteral("%1%2.%3")
      .arg(v < 0 ? QStringLiteral("-") : QString())
      .arg(magnitude / 10)
      .arg(magnitude % 10);
}

QString NamedRangeMessage(const QString& rangeMessage, const QString& field) {
  static const QString prefix = QStringLiteral("Wrong parameter range ! ");
  QString named = rangeMessage;
  return named.insert(rangeMessage.startsWith(prefix) ? prefix.size() : 0, field + u' ');
}

std::optional<QString> CheckStoredValue(std::int32_t value, std::int32_t lower, std::int32_t upper,
                                        const QString& field) {
  if (value >= lower && value <= upper) return std::nullopt;
  return NamedRangeMessage(QStringLiteral("Wrong parameter range ! < %1..%2").arg(lower).arg(upper),
                           field);
}

std::optional<double> RealFromText(const QString& text, const QString& decimalPoint, int shift) {
  QString t = text.trimmed();
  if (decimalPoint != QStringLiteral(".")) t.replace(decimalPoint, QStringLiteral("."));
  if (CheckNumericRange(t, -std::numeric_limits<double>::max(),
                        std::numeric_limits<double>::max()) != kNumericValid) {
    return std::nullopt;
  }
  std::string ascii = t.toStdString();
  if (ascii.front() == '+') ascii.erase(0, 1);
  double value = 0.0;
  if (t.contains(u'e', Qt::CaseInsensitive)) {  // as a stored value may be shown
    std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    return value * std::pow(10.0, shift);
  }
  // Move the point: "12.25" -> "122.5", "7" -> "70".
  std::size_t point = ascii.find('.');
  if (point == std::string::npos) point = ascii.size();
  else ascii.erase(point, 1);
  for (int i = 0; i < shift; ++i, ++point) {
    if (point >= ascii.size()) ascii.push_back('0');
  }
  if (point < ascii.size()) ascii.insert(point, 1, '.');
  const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (error != std::errc() || end != ascii.data() + ascii.size()) return std::nullopt;
  return value;
}

QString RealText(double stored, int shift, const QString& decimalPoint) {
  QString text = QString::number(stored / std::pow(10.0, shift), 'g', QLocale::FloatingPointShortest);
  return text.replace(u'.', decimalPoint);
}

std::int32_t WholeNumberForField(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<std::int32_t>(
      std::clamp(RoundHalfEven(value), static_cast<double>(std::numeric_limits<std::int32_t>::min()),
                 static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}

bool IsIntegerFieldCharacter(QChar c) {
  return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') ||
         c == QLatin1Char('-');
}

std::int32_t ClampIntegerField(const QString& text, std::int32_t lower, std::int32_t upper) {
  const QString t = text.trimmed();
  qsizetype i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
    negative = t[i] == QLatin1Char('-');
    ++i;
  }
  if (i == t.size()) return std::clamp<std::int32_t>(0, lower, upper);
  qint64 magnitude = 0;
  for (; i < t.size(); ++i) {
    const QChar c = t[i];
    if (c < QLatin1Char('0') || c > QLatin1Char('9'))
      return std::clamp<std::int32_t>(0, lower, upper);
    // Beyond any bound: the sign alone decides which bound it becomes.
    magnitude = std::min<qint64>(magnitude * 10 + (c.unicode() - '0'), qint64(1) << 40);
  }
  const qint64 value = negative ? -magnitude : magnitude;
  return static_cast<std::int32_t>(std::clamp<qint64>(value, lower, upper));
}

std::int32_t ComposeChannelWord(int setValueIndex, int channelIndex, std::int32_t previousWord) {
  const auto previous = static_cast<std::uint32_t>(previousWord);
  const std::uint32_t channel =
      channelIndex >= 0 ? static_cast<std::uint32_t>(channelIndex) & 0xFF : previous & 0xFF;
  const std::uint32_t setValue = setValueIndex >= 0
                                     ? static_cast<std::uint32_t>(setValueIndex) & 0xFF
                                     : (previous >> 8) & 0xFF;
  return static_cast<std::int32_t>(setValue << 8 | channel);
}

bool IsRecordTextCharacter(QChar c, int codePageIndex) {
  if (!c.isPrint()) return false;
  QStringEncoder encoder(codePageIndex == kCodePageCyrillic ? "windows-1251" : "windows-1250",
                         QStringConverter::Flag::Stateless);
  if (!encoder.isValid()) return c.unicode() < 0x80;
  const QByteArray bytes = encoder.encode(QString(c));
  return !encoder.hasError() && bytes.size() == 1;
}

QByteArray NameBytesForStorage(const QString& text, int codePageIndex) {
  return StripPolishDiacritics(EncodeRecordText(text, codePageIndex), codePageIndex);
}

}  // namespace qdx
