#include "link/frame.h"

#include <algorithm>
#include <limits>

namespace qdx {

namespace {

// A result's words: brief for the windows, explained for qdx.
struct ResultWords {
  LinkResult result;
  const char* brief;
  const char* explained;
};

constexpr ResultWords kResultWords[] = {
    {LinkResult::Ok, nullptr, "success"},
    {LinkResult::PortFailed, "the serial port could not be used",
     "the port could not be opened or configured, or broke during the exchange"},
    {LinkResult::ShortWrite, "the port took fewer bytes than were sent",
     "the port took fewer bytes than the request has"},
    {LinkResult::ShortReply, "the reply was cut short", "the reply was shorter than expected"},
    {LinkResult::BadChecksum, "the reply's checksum was wrong", "the reply's checksum is wrong"},
    {LinkResult::BadLength, nullptr, "a reply shorter than 4 bytes was asked for"},
    {LinkResult::UnexpectedReply, "the reply did not answer the request",
     "the reply is not the answer to this request (function, block or page bytes differ)"},
    {LinkResult::NoReply, "no reply",
     "no reply: not a single byte arrived (is the controller on, the address and the speed "
     "right?)"},
    {LinkResult::WrongStation, "the reply came from another station",
     "the reply came from another station"},
    {LinkResult::RequestInvalid, "the request could not be built",
     "the request cannot be expressed; nothing was sent"},
};

const ResultWords* FindWords(LinkResult result) {
  for (const ResultWords& words : kResultWords) {
    if (words.result == result) return &words;
  }
  return nullptr;
}

QString ExplainedText(LinkResult result) {
  const ResultWords* words = FindWords(result);
  return words ? QString::fromUtf8(words->explained) : QStringLiteral("unknown result");
}

QString BriefText(LinkResult result, const QString& portError) {
  const ResultWords* words = FindWords(result);
  QString what = words && words->brief ? QString::fromUtf8(words->brief)
                                       : QStringLiteral("result %1").arg(LinkResultNumber(result));
  if (result == LinkResult::PortFailed && !portError.isEmpty()) {
    what = QStringLiteral("serial port: %1").arg(portError);
  }
  return QStringLiteral("No communication: ") + what;
}

}  // namespace

QString LinkResultText(LinkResult result, const QString& portError, LinkResultWording wording) {
  return wording == LinkResultWording::Brief ? BriefText(result, portError) : ExplainedText(result);
}

std::uint16_t Crc16(const std::uint8_t* bytes, std::uint16_t count) {
  std::uint16_t crc = 0xFFFF;
  for (std::uint16_t i = 0; i < count; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1u) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001u)
                       : static_cast<std::uint16_t>(crc >> 1);
    }
  }
  return crc;
}

std::uint16_t Crc16(const QByteArray& bytes) {
  const auto count = static_cast<std::uint16_t>(
      std::min<qsizetype>(bytes.size(), std::numeric_limits<std::uint16_t>::max()));
  return Crc16(reinterpret_cast<const std::uint8_t*>(bytes.constData()), count);
}

void AppendBe16(QByteArray& out, std::uint16_t value) {
  out.append(static_cast<char>(value >> 8));
  out.append(static_cast<char>(value & 0xFF));
}

void AppendBe32(QByteArray& out, std::uint32_t value) {
  AppendBe16(out, static_cast<std::uint16_t>(value >> 16));
  AppendBe16(out, static_cast<std::uint16_t>(value & 0xFFFF));
}

QByteArray InnerMessage::Encode() const {
  QByteArray out;
  out.reserve(kInnerHeaderSize + body.size());
  out.append(static_cast<char>(classLetter));
  out.append(static_cast<char>(command));
  AppendBe16(out, static_cast<std::uint16_t>(kInnerHeaderSize + body.size()));
  out.append(body);
  return out;
}

QByteArray BuildRequest(int stationAddress, std::uint8_t function, std::uint8_t subFunction,
                        const QByteArray& innerBytes) {
  QByteArray out;
  out.reserve(kFrameHeaderSize + innerBytes.size() + kChecksumSize);
  out.append(static_cast<char>(stationAddress & 0xFF));
  out.append(static_cast<char>(function));
  out.append(static_cast<char>(subFunction));
  out.append(2, '\0');  // total length, filled in below
  out.append(innerBytes);
  const auto total = static_cast<std::uint16_t>(out.size() + kChecksumSize);
  out[3] = static_cast<char>(total >> 8);
  out[4] = static_cast<char>(total & 0xFF);
  const std::uint16_t crc = Crc16(out);
  out.append(static_cast<char>(crc & 0xFF));
  out.append(static_cast<char>(crc >> 8));
  return out;
}

QByteArray BuildRequest(int stationAddress, std::uint8_t function, std::uint8_t subFunction,
                        const InnerMessage& inner) {
  return BuildRequest(stationAddress, function, subFunction, inner.Encode());
}

QByteArray BuildDirectRequest(int stationAddress, const InnerMessage& inner) {
  return BuildRequest(stationAddress, kFunction46, kSubDirect, inner);
}

QByteArray BuildPostRequest(int stationAddress, const InnerMessage& inner) {
  return BuildRequest(stationAddress, kFunction47, kSubModule, inner);
}

QByteArray BuildFetchRequest(int stationAddress) {
  return BuildRequest(stationAddress, kFunction46, kSubModule);
}

QByteArray BuildStatusPollRequest(int stationAddress) {
  return BuildRequest(stationAddress, kFunction46, kSubStatus);
}

bool HasValidChecksum(const QByteArray& frame) {
  if (frame.size() < kChecksumSize) return false;
  const auto body = static_cast<std::uint16_t>(frame.size() - kChecksumSize);
  const std::uint16_t crc = Crc16(reinterpret_cast<const std::uint8_t*>(frame.constData()), body);
  return static_cast<std::uint8_t>(frame[body]) == (crc & 0xFF) &&
         static_cast<std::uint8_t>(frame[body + 1]) == (crc >> 8);
}

}  // namespace qdx
