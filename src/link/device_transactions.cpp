#include "link/device_transactions.h"

#include "model/bytes.h"

namespace qdx {

namespace {

constexpr std::uint8_t kCmdDeviceInfo = 0x20;
constexpr std::uint8_t kCmdPanelTextKind6 = 0x21;
constexpr std::uint8_t kCmdPanelTextOther = 0x22;
constexpr std::uint8_t kCmdPanelCharsets = 0x23;
constexpr std::uint8_t kCmdPanelTextWrite = 0x24;
constexpr std::uint8_t kCmdReset = 0xE6;
constexpr std::uint8_t kCmdSetClock = 0x06;

QByteArray OffsetBytes(std::uint16_t offset) {
  QByteArray out;
  AppendBe16(out, offset);
  return out;
}

ReplyDecoder DeviceInfoDecoder(DeviceInfo& info) {
  return [&info](const QByteArray& reply) {
    info = DecodeDeviceInfo(reply);
    return kLinkOk;
  };
}

ReplyDecoder PanelTextDecoder(QByteArray& block) {
  return [&block](const QByteArray& reply) {
    block = DecodePanelTextBlock(reply);
    return kLinkOk;
  };
}

}  // namespace

InnerMessage DeviceInfoMessage() {
  return {kClassDevice, kCmdDeviceInfo, {}};
}

DeviceInfo DecodeDeviceInfo(const QByteArray& reply) {
  DeviceInfo info;
  if (reply.size() < kReplyDataOffset + 6) return info;
  const auto* r = reinterpret_cast<const std::uint8_t*>(reply.constData());
  info.size = ReadBe16(r + 9);
  for (int i = 0; i < 4; ++i) info.codePages[i] = r[11 + i];
  return info;
}

std::uint8_t PanelTextReadCommand(int kind) {
  return kind == 6 ? kCmdPanelTextKind6 : kCmdPanelTextOther;
}

InnerMessage PanelTextReadMessage(std::uint16_t offset, int kind) {
  return {kClassDevice, PanelTextReadCommand(kind), OffsetBytes(offset)};
}

QByteArray DecodePanelTextBlock(const QByteArray& reply) {
  return reply.mid(kReplyPanelTextDataOffset, kPanelTextBlockSize);
}

InnerMessage PanelTextWriteMessage(std::uint16_t offset, const QByteArray& data) {
  QByteArray body = OffsetBytes(offset);
  QByteArray block = data.left(kPanelTextBlockSize);
  block.append(kPanelTextBlockSize - block.size(), ' ');
  body.append(block);
  return {kClassDevice, kCmdPanelTextWrite, body};
}

InnerMessage PanelCharsetsMessage(const std::array<std::uint8_t, kPanelCharsetsSize>& codes) {
  QByteArray body;
  for (const std::uint8_t c : codes) body.append(static_cast<char>(c));
  return {kClassDevice, kCmdPanelCharsets, body};
}

InnerMessage ResetMessage() {
  return {kClassWrite, kCmdReset, {}};
}

InnerMessage PostResetMessage() {
  return {kClassWrite, kCmdReset, QByteArray(2, '\0')};
}

InnerMessage SetClockMessage(const QDateTime& when) {
  const QDate d = when.date();
  const QTime t = when.time();
  // Two-digit year; a year before 2000 keeps its last two digits as well.
  const int year = ((d.year() % 100) + 100) % 100;
  QByteArray body;
  for (const int v : {year, d.month(), d.day(), t.hour(), t.minute(), t.second()}) {
    body.append(static_cast<char>(v));
  }
  return {kClassWrite, kCmdSetClock, body};
}

ReadRequest DeviceInfoRead(DeviceInfo& info) {
  return {DeviceInfoMessage(), kDeviceInfoReplyLength, DeviceInfoDecoder(info)};
}

ReadRequest PanelTextRead(qint64 offset, int kind, QByteArray& block) {
  return {PanelTextReadMessage(static_cast<std::uint16_t>(offset), kind), kPanelTextReplyLength,
          PanelTextDecoder(block), FitsBlockOffset(offset)};
}

WriteRequest PanelTextWrite(qint64 offset, const QByteArray& data) {
  return {{PanelTextWriteMessage(static_cast<std::uint16_t>(offset), data)},
          kPanelTextWriteReplyLength,
          FitsBlockOffset(offset)};
}

WriteRequest PanelCharsetsWrite(const std::array<std::uint8_t, kPanelCharsetsSize>& codes) {
  return {{PanelCharsetsMessage(codes)}, kShortWriteReplyLength};
}

LinkResult ResetController(LinkOperations& ops) {
  return ops.RunSingleAttempt(BuildDirectRequest(ops.context().stationAddress, ResetMessage()),
                              kShortWriteReplyLength);
}

LinkResult PostResetController(LinkOperations& ops) {
  return ops.RunSingleAttempt(BuildPostRequest(ops.context().stationAddress, PostResetMessage()),
                              kPostReplyLength);
}

LinkResult PostSetClock(LinkOperations& ops, const QDateTime& when) {
  return ops.RunPost(SetClockMessage(when), PostAck::AnyReply);
}

}  // namespace qdx
