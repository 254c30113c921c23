#include "link/pid_transactions.h"

#include <algorithm>

#include "model/bytes.h"

namespace qdx {

namespace {

constexpr std::uint8_t kCmdPidRegulators = 0x38;
constexpr std::int64_t kNoneSelected = 0xFFFF;  // a 16-bit drop-down code with no selection

void AppendEntry(WireWriter& w, ConstPidRecord p) {
  w.Code8(p.RegulatorType(), kNoneSelected, "type");
  w.Code8(p.Channel(), kNoneSelected, "measurement channel");
  w.Code8(p.SetValue(), kNoneSelected, "set value");
  w.ScaledDouble(p.SamplePeriod(), 1.0, "Tp");
  w.ScaledDouble(p.ProportionalBand(), 10.0, "Xp");
  w.ScaledDouble(p.IntegralTime(), 1.0, "Ti");
  w.ScaledDouble(p.DerivativeTime(), 1.0, "Td");
  w.ScaledDouble(p.PulsePeriod(), 1.0, "To");
}

double Signed32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(ReadBe32(p));
}

}  // namespace

InnerMessage PidRegulatorsReadMessage() {
  return {kClassRead, kCmdPidRegulators, QByteArray(1, '\0')};
}

LinkResult DecodePidRegulators(const QByteArray& reply, PidBytes records) {
  if (reply.size() < kPidRegulatorsReplyLength) return kLinkShortReply;
  const std::uint8_t* entries = ReplyBytes(reply) + kReplyDataOffset + 1;
  std::fill(records.begin(), records.end(), std::uint8_t{0});
  for (int k = 0; k < kPidCount; ++k) {
    const PidRecord p(records.data() + k * PidRecord::kSize);
    const std::uint8_t* e = entries + k * kPidEntrySize;
    p.SetRegulatorType(e[0]);
    p.SetChannel(e[1]);
    p.SetSetValue(e[2]);
    p.SetSamplePeriod(Signed32(e + 3));
    p.SetProportionalBand(Signed32(e + 7) / 10.0);
    p.SetIntegralTime(Signed32(e + 11));
    p.SetDerivativeTime(Signed32(e + 15));
    p.SetPulsePeriod(Signed32(e + 19));
  }
  return kLinkOk;
}

ReplyDecoder PidRegulatorsDecoder(PidBytes records) {
  return [=](const QByteArray& reply) { return DecodePidRegulators(reply, records); };
}

EncodedMessage PidRegulatorsWriteMessage(ConstPidBytes records) {
  WireWriter w(QStringLiteral("PID"), 0);
  w.Raw(0x00);
  for (int k = 0; k < kPidCount; ++k) {
    w.SetRecord(k + 1);
    AppendEntry(w, ConstPidRecord(records.data() + k * PidRecord::kSize));
  }
  return w.Finish(kClassWrite, kCmdPidRegulators);
}

std::optional<EncodeError> ValidatePidRegulators(ConstPidBytes records) {
  return PidRegulatorsWriteMessage(records).error;
}

LinkResult ReadPidRegulators(LinkOperations& ops, PidBytes records) {
  return ops.RunDirect(PidRegulatorsReadMessage(), kPidRegulatorsReplyLength,
                       PidRegulatorsDecoder(records));
}

LinkResult PostReadPidRegulators(LinkOperations& ops) {
  return ops.RunPost(PidRegulatorsReadMessage(), PostAck::Acknowledged);
}

LinkResult FetchPidRegulators(LinkOperations& ops, PidBytes records) {
  return ops.RunFetch(kPidRegulatorsReplyLength, PidRegulatorsDecoder(records));
}

LinkResult WritePidRegulators(LinkOperations& ops, ConstPidBytes records, EncodeError* refusal) {
  return SendSectionWrite(ops, PidRegulatorsWriteMessage(records), refusal);
}

LinkResult PostWritePidRegulators(LinkOperations& ops, ConstPidBytes records,
                                  EncodeError* refusal) {
  return PostSectionWrite(ops, PidRegulatorsWriteMessage(records), refusal);
}

}  // namespace qdx
