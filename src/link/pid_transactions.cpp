#include "link/pid_transactions.h"

#include <algorithm>

namespace qdx {

namespace {

constexpr std::uint8_t kCmdPidRegulators = 0x38;
constexpr std::int64_t kNoneSelected = 0xFFFF;  // a 16-bit drop-down code with no selection

// One PID regulator entry, 23 bytes, for a WireWriter or a WireReader.
template <typename Wire, typename Record>
void PidEntry(Wire& w, Record p) {
  using Get = ConstPidRecord;
  using Set = PidRecord;
  w.Code8(p, &Get::RegulatorType, &Set::SetRegulatorType, kNoneSelected, "type");
  w.Code8(p, &Get::Channel, &Set::SetChannel, kNoneSelected, "measurement channel");
  w.Code8(p, &Get::SetValue, &Set::SetSetValue, kNoneSelected, "set value");
  w.ScaledDouble(p, &Get::SamplePeriod, &Set::SetSamplePeriod, 1.0, "Tp");
  w.ScaledDouble(p, &Get::ProportionalBand, &Set::SetProportionalBand, 10.0, "Xp");
  w.ScaledDouble(p, &Get::IntegralTime, &Set::SetIntegralTime, 1.0, "Ti");
  w.ScaledDouble(p, &Get::DerivativeTime, &Set::SetDerivativeTime, 1.0, "Td");
  w.ScaledDouble(p, &Get::PulsePeriod, &Set::SetPulsePeriod, 1.0, "To");
}

// The write's body, with every value it refused.
WireWriter EncodeBody(ConstPidBytes records) {
  WireWriter w(QStringLiteral("PID"), 0);
  w.Raw(0x00);
  for (int k = 0; k < kPidCount; ++k) {
    w.SetRecord(k + 1);
    PidEntry(w, ConstPidRecord(records.data() + k * PidRecord::kSize));
  }
  return w;
}

}  // namespace

InnerMessage PidRegulatorsReadMessage() {
  return {kClassRead, kCmdPidRegulators, QByteArray(1, '\0')};
}

LinkResult DecodePidRegulators(const QByteArray& reply, PidBytes records) {
  if (reply.size() < kPidRegulatorsReplyLength) return kLinkShortReply;
  WireReader w(reply, kReplyDataOffset + 1, 0);
  std::fill(records.begin(), records.end(), std::uint8_t{0});
  for (int k = 0; k < kPidCount; ++k) PidEntry(w, PidRecord(records.data() + k * PidRecord::kSize));
  return kLinkOk;
}

ReplyDecoder PidRegulatorsDecoder(PidBytes records) {
  return [=](const QByteArray& reply) { return DecodePidRegulators(reply, records); };
}

EncodedMessage PidRegulatorsWriteMessage(ConstPidBytes records) {
  return EncodeBody(records).Finish(kClassWrite, kCmdPidRegulators);
}

std::vector<EncodeError> ValidatePidRegulators(ConstPidBytes records) {
  return EncodeBody(records).errors();
}

ReadRequest PidRegulatorsRead(PidBytes records) {
  return {PidRegulatorsReadMessage(), kPidRegulatorsReplyLength, PidRegulatorsDecoder(records)};
}

WriteRequest PidRegulatorsWrite(ConstPidBytes records) {
  return {PidRegulatorsWriteMessage(records)};
}

}  // namespace qdx
