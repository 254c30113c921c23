#include "link/special_status_transactions.h"

#include <algorithm>

namespace qdx {

namespace {

constexpr std::uint8_t kCmdSpecialStatuses = 0x0E;
constexpr std::uint8_t kCmdSpecialStatus = 0x16;
constexpr std::int64_t kNoneSelected = -1;  // relay logic "none selected" in the editor

// One special-status entry, 7 bytes, for a WireWriter or a WireReader.
template <typename Wire, typename Record>
void SpecialStatusEntry(Wire& w, Record s) {
  using Get = ConstSpecialStatusRecord;
  using Set = SpecialStatusRecord;
  w.SetRecord(s.Number());
  w.S16(s, &Get::SwitchOffTime, &Set::SetSwitchOffTime, "switch-off time");
  w.Code8(s, &Get::RelayLogic, &Set::SetRelayLogic, kNoneSelected, "relay logic");
  w.Outputs(s.Outputs());
}

// Names do not travel: every message is built without a code page.
WireWriter SpecialStatusWriter() {
  return WireWriter(QStringLiteral("Special status"), 0);
}

}  // namespace

SpecialStatusBytes SpecialStatusRegion(ProjectImage& image) {
  return SpecialStatusBytes(image.data() + image::kSpecialStatusesOffset,
                            SpecialStatusBytes::extent);
}

ConstSpecialStatusBytes SpecialStatusRegion(const ProjectImage& image) {
  return ConstSpecialStatusBytes(image.data() + image::kSpecialStatusesOffset,
                                 ConstSpecialStatusBytes::extent);
}

InnerMessage SpecialStatusesReadMessage() {
  return {kClassRead, kCmdSpecialStatuses, {}};
}

LinkResult DecodeSpecialStatuses(const QByteArray& reply, SpecialStatusBytes records) {
  if (reply.size() < kSpecialStatusesReplyLength) return kLinkShortReply;
  WireReader w(reply, kReplyDataOffset, 0);
  std::fill(records.begin(), records.end(), std::uint8_t{0});
  for (int k = 0; k < kSpecialStatusCount; ++k) {
    const SpecialStatusRecord s(records.data() + k * SpecialStatusRecord::kSize);
    s.SetNumber(k + 1);
    SpecialStatusEntry(w, s);
  }
  return kLinkOk;
}

ReplyDecoder SpecialStatusesDecoder(SpecialStatusBytes records) {
  return [=](const QByteArray& reply) { return DecodeSpecialStatuses(reply, records); };
}

EncodedMessage SpecialStatusesWriteMessage(ConstSpecialStatusBytes records) {
  WireWriter w = SpecialStatusWriter();
  for (int k = 0; k < kSpecialStatusCount; ++k) {
    SpecialStatusEntry(
        w, ConstSpecialStatusRecord(records.data() + k * SpecialStatusRecord::kSize));
  }
  return w.Finish(kClassWrite, kCmdSpecialStatuses);
}

EncodedMessage SpecialStatusWriteMessage(int index, ConstSpecialStatusRecord status) {
  WireWriter w = SpecialStatusWriter();
  w.Raw(static_cast<std::uint8_t>(index));
  SpecialStatusEntry(w, status);
  return w.Finish(kClassWrite, kCmdSpecialStatus);
}

std::vector<EncodeError> ValidateSpecialStatus(ConstSpecialStatusRecord status) {
  WireWriter w = SpecialStatusWriter();
  SpecialStatusEntry(w, status);
  return w.errors();
}

std::vector<EncodeError> ValidateSpecialStatuses(const ProjectImage& image) {
  return RefusedInSlots(kSpecialStatusCount,
                        [&](int n) { return ValidateSpecialStatus(SpecialStatus(image, n)); });
}

ReadRequest SpecialStatusesRead(SpecialStatusBytes records) {
  return {SpecialStatusesReadMessage(), kSpecialStatusesReplyLength,
          SpecialStatusesDecoder(records)};
}

WriteRequest SpecialStatusesWrite(ConstSpecialStatusBytes records) {
  return {SpecialStatusesWriteMessage(records)};
}

WriteRequest SpecialStatusWrite(int index, ConstSpecialStatusRecord status) {
  return {SpecialStatusWriteMessage(index, status), kSectionWriteReplyLength,
          index >= 0 && index < kSpecialStatusCount};
}

}  // namespace qdx
