#include "link/section_wire.h"

#include <cmath>
#include <limits>

#include "model/bytes.h"
#include "link/code_pages.h"

namespace qdx {

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

QString Number(std::int64_t v) {
  return QString::number(v);
}

// Tenths with one decimal place, as the editors show them: -125 -> "-12.5".
QString TenthsText(std::int64_t tenths) {
  const bool negative = tenths < 0;
  const std::uint64_t magnitude =
      negative ? static_cast<std::uint64_t>(-(tenths + 1)) + 1 : static_cast<std::uint64_t>(tenths);
  return QStringLiteral("%1%2.%3")
      .arg(negative ? QStringLiteral("-") : QString())
      .arg(magnitude / 10)
      .arg(magnitude % 10);
}

QString DoubleText(double v) {
  return QString::number(v, 'g', 12);
}

// Whether a write may go out; keeps the refused value in refusal when it may not.
bool Sendable(const WriteRequest& request, EncodeError* refusal) {
  if (!request.valid) return false;
  if (request.encoded.ok()) return true;
  if (refusal) *refusal = *request.encoded.error;
  return false;
}

}  // namespace

QString EncodeError::Message() const {
  QString where = section;
  if (record > 0) where += QLatin1Char(' ') + QString::number(record);
  if (step > 0) where += QStringLiteral(", step %1").arg(step);
  return QStringLiteral("%1, %2: %3 is outside %4").arg(where, field, value, range);
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double floor = std::floor(value);
  const double diff = value - floor;
  if (diff < 0.5) return floor;
  if (diff > 0.5) return floor + 1.0;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::int64_t DivideRoundHalfEven(std::int64_t numerator, std::int64_t denominator) {
  std::int64_t q = numerator / denominator;
  std::int64_t r = numerator % denominator;
  // Make the remainder non-negative so that q is the floor.
  if (r < 0) {
    r += denominator;
    --q;
  }
  const std::int64_t twice = 2 * r;
  if (twice > denominator || (twice == denominator && (q % 2) != 0)) ++q;
  return q;
}

void AppendOutputBits(QByteArray& out, ConstRelayOutputStates outputs) {
  for (int j = 0; j < kWireOutputBytes; ++j) {
    std::uint8_t bits = 0;
    for (int bit = 0; bit < 8; ++bit) {
      if (outputs.IsOn(8 * j + bit + 1)) bits |= static_cast<std::uint8_t>(1u << bit);
    }
    out.append(static_cast<char>(bits));
  }
}

void StoreOutputBits(const std::uint8_t* wire, RelayOutputStates outputs) {
  for (int j = 0; j < kWireOutputBytes; ++j) {
    for (int bit = 0; bit < 8; ++bit) outputs.SetOn(8 * j + bit + 1, (wire[j] >> bit) & 1u);
  }
}

void WireWriter::Refuse(const char* field, const QString& value, const QString& range) {
  errors_.push_back(EncodeError{section_, record_, step_, QString::fromUtf8(field), value, range});
}

std::optional<EncodeError> WireWriter::error() const {
  if (errors_.empty()) return std::nullopt;
  return errors_.front();
}

void WireWriter::U8(std::int64_t value, const char* field) {
  if (value < 0 || value > 0xFF) Refuse(field, Number(value), QStringLiteral("0..255"));
  Raw(static_cast<std::uint8_t>(value));
}

void WireWriter::U8Tenths(std::int64_t value, const char* field) {
  if (value < 0 || value > 0xFF) Refuse(field, TenthsText(value), QStringLiteral("0.0..25.5"));
  Raw(static_cast<std::uint8_t>(value));
}

void WireWriter::Code8(std::int64_t value, std::int64_t noneValue, const char* field) {
  if ((value < 0 || value > 0xFF) && value != noneValue) {
    Refuse(field, Number(value), QStringLiteral("0..255"));
  }
  Raw(static_cast<std::uint8_t>(value));
}

void WireWriter::U16(std::int64_t value, const char* field) {
  if (value < 0 || value > 0xFFFF) Refuse(field, Number(value), QStringLiteral("0..65535"));
  AppendBe16(out_, static_cast<std::uint16_t>(value));
}

void WireWriter::S16(std::int64_t value, const char* field) {
  if (value < -32768 || value > 32767)
    Refuse(field, Number(value), QStringLiteral("-32768..32767"));
  AppendBe16(out_, static_cast<std::uint16_t>(value));
}

void WireWriter::Tenths100(std::int32_t tenths, const char* field) {
  const std::int64_t wire = static_cast<std::int64_t>(tenths) * 100;
  if (wire < kInt32Min || wire > kInt32Max) {
    Refuse(field, TenthsText(tenths),
           TenthsText(-(kInt32Max / 100)) + QStringLiteral("..") + TenthsText(kInt32Max / 100));
  }
  AppendBe32(out_, static_cast<std::uint32_t>(wire));
}

void WireWriter::ScaledDouble(double value, double factor, const char* field) {
  const double scaled = RoundHalfEven(value * factor);
  std::int64_t wire = 0;
  if (!std::isfinite(scaled) || scaled < static_cast<double>(kInt32Min) ||
      scaled > static_cast<double>(kInt32Max)) {
    Refuse(field, DoubleText(value),
           DoubleText(static_cast<double>(kInt32Min) / factor) + QStringLiteral("..") +
               DoubleText(static_cast<double>(kInt32Max) / factor));
  } else {
    wire = static_cast<std::int64_t>(scaled);
  }
  AppendBe32(out_, static_cast<std::uint32_t>(wire));
}

void WireWriter::Text(const QByteArray& text) {
  out_.append(EncodeTextField(text, codePageIndex_, kWireTextWidth));
}

void WireWriter::RawText(ConstTextField text, int width) {
  QByteArray bytes = text.Bytes().left(width);
  bytes.append(width - bytes.size(), '\0');
  out_.append(bytes);
}

EncodedMessage WireWriter::Finish(std::uint8_t classLetter, std::uint8_t command) const {
  EncodedMessage result;
  result.error = error();
  if (!result.error) result.message = InnerMessage{classLetter, command, out_};
  return result;
}

LinkResult Read(LinkOperations& ops, const ReadRequest& request) {
  if (!request.valid) return kLinkRequestInvalid;
  return ops.RunDirect(request.message, request.replyLength, request.decode, request.prepare);
}

LinkResult PostRead(LinkOperations& ops, const ReadRequest& request) {
  if (!request.valid) return kLinkRequestInvalid;
  return ops.RunPost(request.message, PostAck::Acknowledged);
}

LinkResult Fetch(LinkOperations& ops, const ReadRequest& request) {
  if (!request.valid) return kLinkRequestInvalid;
  return ops.RunFetch(request.replyLength, request.decode, request.prepare);
}

LinkResult Write(LinkOperations& ops, const WriteRequest& request, EncodeError* refusal) {
  if (!Sendable(request, refusal)) return kLinkRequestInvalid;
  return ops.RunDirect(request.encoded.message, request.replyLength);
}

LinkResult PostWrite(LinkOperations& ops, const WriteRequest& request, EncodeError* refusal) {
  if (!Sendable(request, refusal)) return kLinkRequestInvalid;
  return ops.RunPost(request.encoded.message, PostAck::AnyReply);
}

std::uint8_t WireReader::Raw() {
  const int at = pos_++;
  return at >= 0 && at < bytes_.size() ? static_cast<std::uint8_t>(bytes_[at]) : 0;
}

std::uint16_t WireReader::Be16() {
  const std::uint16_t high = Raw();
  return static_cast<std::uint16_t>((high << 8) | Raw());
}

std::int32_t WireReader::S32() {
  const std::uint32_t high = Be16();
  return static_cast<std::int32_t>((high << 16) | Be16());
}

QByteArray WireReader::Take(int count) {
  QByteArray out(count, '\0');
  for (char& c : out) c = static_cast<char>(Raw());
  return out;
}

void WireReader::Text(TextField text, TextFieldSkip skip) {
  text.SetBytes(DecodeTextField(Take(kWireTextWidth), codePageIndex_,
                                static_cast<int>(text.Capacity()), skip));
}

void WireReader::Outputs(RelayOutputStates outputs) {
  const QByteArray wire = Take(kWireOutputBytes);
  StoreOutputBits(reinterpret_cast<const std::uint8_t*>(wire.constData()), outputs);
}

}  // namespace qdx
