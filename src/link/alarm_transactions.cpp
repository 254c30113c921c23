#include "link/alarm_transactions.h"

#include <algorithm>

namespace qdx {

namespace {

constexpr std::uint8_t kCmdAlarmBlock = 0x0F;
constexpr std::uint8_t kCmdAlarm = 0x17;
// Alarm status and relay logic are list positions; the editors store -1 for "none selected".
constexpr std::int64_t kNoneSelected = -1;

bool ValidBlock(int block) {
  return block >= 0 && block < kAlarmBlocks;
}
bool ValidIndex(int index) {
  return index >= 0 && index < kAlarmCount;
}

// One alarm entry, 22 bytes, for a WireWriter or a WireReader.
template <typename Wire, typename Record>
void AlarmEntry(Wire& w, Record a) {
  using Get = ConstAlarmRecord;
  using Set = AlarmRecord;
  w.SetRecord(a.Number());
  w.Text(a.Message());
  w.U16(a, &Get::DelayTime, &Set::SetDelayTime, "delay time");
  w.Code8(a, &Get::AlarmStatus, &Set::SetAlarmStatus, kNoneSelected, "alarm status");
  w.Code8(a, &Get::RelayLogic, &Set::SetRelayLogic, kNoneSelected, "relay logic");
  w.Outputs(a.Outputs());
}

}  // namespace

AlarmBlockBuffer BuildAlarmWriteBlock(const ProjectImage& image, int block) {
  AlarmBlockBuffer out{};
  for (int k = 0; k < kAlarmsPerBlock; ++k) {
    const int n = kAlarmsPerBlock * block + k + 1;
    const ConstAlarmRecord src = Alarm(image, n >= 1 && n <= kAlarmCount ? n : 1);
    std::copy_n(src.data(), AlarmRecord::kSize, out.begin() + k * AlarmRecord::kSize);
  }
  return out;
}

InnerMessage AlarmBlockReadMessage(int block) {
  return {kClassRead, kCmdAlarmBlock, QByteArray(1, static_cast<char>(block))};
}

LinkResult DecodeAlarmBlock(const QByteArray& reply, int block, AlarmBlockBytes records,
                            int codePageIndex) {
  if (reply.size() < kAlarmBlockReplyLength) return kLinkShortReply;
  WireReader w(reply, kReplyDataOffset, codePageIndex);
  if (w.Raw() != static_cast<std::uint8_t>(block)) return kLinkUnexpectedReply;
  std::fill(records.begin(), records.end(), std::uint8_t{0});
  for (int k = 0; k < kAlarmsPerBlock; ++k) {
    const AlarmRecord a(records.data() + k * AlarmRecord::kSize);
    a.SetNumber(kAlarmsPerBlock * block + k + 1);
    AlarmEntry(w, a);
  }
  return kLinkOk;
}

ReplyDecoder AlarmBlockDecoder(int block, AlarmBlockBytes records, int codePageIndex) {
  return [=](const QByteArray& reply) {
    return DecodeAlarmBlock(reply, block, records, codePageIndex);
  };
}

EncodedMessage AlarmBlockWriteMessage(int block, ConstAlarmBlockBytes records, int codePageIndex) {
  WireWriter w(QStringLiteral("Alarm"), codePageIndex);
  w.Raw(static_cast<std::uint8_t>(block));
  for (int k = 0; k < kAlarmsPerBlock; ++k) {
    AlarmEntry(w, ConstAlarmRecord(records.data() + k * AlarmRecord::kSize));
  }
  return w.Finish(kClassWrite, kCmdAlarmBlock);
}

EncodedMessage AlarmWriteMessage(int index, ConstAlarmRecord alarm, int codePageIndex) {
  WireWriter w(QStringLiteral("Alarm"), codePageIndex);
  w.Raw(static_cast<std::uint8_t>(index));
  AlarmEntry(w, alarm);
  return w.Finish(kClassWrite, kCmdAlarm);
}

std::vector<EncodeError> ValidateAlarm(ConstAlarmRecord alarm) {
  WireWriter w(QStringLiteral("Alarm"), 0);
  AlarmEntry(w, alarm);
  return w.errors();
}

std::vector<EncodeError> ValidateAlarms(const ProjectImage& image) {
  return RefusedInSlots(kAlarmCount, [&](int n) { return ValidateAlarm(Alarm(image, n)); });
}

ReadRequest AlarmBlockRead(int block, AlarmBlockBytes records, int codePageIndex) {
  return {AlarmBlockReadMessage(block), kAlarmBlockReplyLength,
          AlarmBlockDecoder(block, records, codePageIndex), ValidBlock(block)};
}

WriteRequest AlarmBlockWrite(int block, ConstAlarmBlockBytes records, int codePageIndex) {
  return {AlarmBlockWriteMessage(block, records, codePageIndex), kSectionWriteReplyLength,
          ValidBlock(block)};
}

WriteRequest AlarmWrite(int index, ConstAlarmRecord alarm, int codePageIndex) {
  return {AlarmWriteMessage(index, alarm, codePageIndex), kSectionWriteReplyLength,
          ValidIndex(index)};
}

}  // namespace qdx
