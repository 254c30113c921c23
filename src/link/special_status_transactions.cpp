#include "link/special_status_transactions.h"

#include <algorithm>

#include "model/bytes.h"

namespace qdx {

namespace {

constexpr std::uint8_t kCmdSpecialStatuses = 0x0E;
constexpr std::uint8_t kCmdSpecialStatus = 0x16;
constexpr std::int64_t kNoneSelected = -1;  // relay logic "none selected" in the editor

void AppendSpecialStatusEntry(WireWriter& w, ConstSpecialStatusRecord s) {
  w.SetRecord(s.Number());
  w.S16(s.SwitchOffTime(), "switch-off time");
  w.Code8(s.RelayLogic(), kNoneSelected, "relay logic");
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
  const std::uint8_t* data = ReplyBytes(reply) + kReplyDataOffset;
  std::fill(records.begin(), records.end(), std::uint8_t{0});
  for (int k = 0; k < kSpecialStatusCount; ++k) {
    const SpecialStatusRecord s(records.data() + k * SpecialStatusRecord::kSize);
    const std::uint8_t* e = data + k * kSpecialStatusEntrySize;
    s.SetNumber(k + 1);
    s.SetSwitchOffTime(static_cast<std::int16_t>(ReadBe16(e)));
    s.SetRelayLogic(e[2]);
    StoreOutputBits(e + 3, s.Outputs());
  }
  return kLinkOk;
}

ReplyDecoder SpecialStatusesDecoder(SpecialStatusBytes records) {
  return [=](const QByteArray& reply) { return DecodeSpecialStatuses(reply, records); };
}

EncodedMessage SpecialStatusesWriteMessage(ConstSpecialStatusBytes records) {
  WireWriter w = SpecialStatusWriter();
  for (int k = 0; k < kSpecialStatusCount; ++k) {
    AppendSpecialStatusEntry(
        w, ConstSpecialStatusRecord(records.data() + k * SpecialStatusRecord::kSize));
  }
  return w.Finish(kClassWrite, kCmdSpecialStatuses);
}

EncodedMessage SpecialStatusWriteMessage(int index, ConstSpecialStatusRecord status) {
  WireWriter w = SpecialStatusWriter();
  w.Raw(static_cast<std::uint8_t>(index));
  AppendSpecialStatusEntry(w, status);
  return w.Finish(kClassWrite, kCmdSpecialStatus);
}

std::optional<EncodeError> ValidateSpecialStatus(ConstSpecialStatusRecord status) {
  WireWriter w = SpecialStatusWriter();
  AppendSpecialStatusEntry(w, status);
  return w.error();
}

std::optional<EncodeError> ValidateSpecialStatuses(const ProjectImage& image) {
  for (int n = 1; n <= kSpecialStatusCount; ++n) {
    if (auto error = ValidateSpecialStatus(SpecialStatus(image, n))) {
      error->record = n;
      return error;
    }
  }
  return std::nullopt;
}

LinkResult ReadSpecialStatuses(LinkOperations& ops, SpecialStatusBytes records) {
  return ops.RunDirect(SpecialStatusesReadMessage(), kSpecialStatusesReplyLength,
                       SpecialStatusesDecoder(records));
}

LinkResult PostReadSpecialStatuses(LinkOperations& ops) {
  return ops.RunPost(SpecialStatusesReadMessage(), PostAck::Acknowledged);
}

LinkResult FetchSpecialStatuses(LinkOperations& ops, SpecialStatusBytes records) {
  return ops.RunFetch(kSpecialStatusesReplyLength, SpecialStatusesDecoder(records));
}

LinkResult WriteSpecialStatuses(LinkOperations& ops, ConstSpecialStatusBytes records,
                                EncodeError* refusal) {
  return SendSectionWrite(ops, SpecialStatusesWriteMessage(records), refusal);
}

LinkResult PostWriteSpecialStatuses(LinkOperations& ops, ConstSpecialStatusBytes records,
                                    EncodeError* refusal) {
  return PostSectionWrite(ops, SpecialStatusesWriteMessage(records), refusal);
}

LinkResult WriteSpecialStatus(LinkOperations& ops, int index, ConstSpecialStatusRecord status,
                              EncodeError* refusal) {
  if (index < 0 || index >= kSpecialStatusCount) return kLinkRequestInvalid;
  return SendSectionWrite(ops, SpecialStatusWriteMessage(index, status), refusal);
}

LinkResult PostWriteSpecialStatus(LinkOperations& ops, int index, ConstSpecialStatusRecord status,
                                  EncodeError* refusal) {
  if (index < 0 || index >= kSpecialStatusCount) return kLinkRequestInvalid;
  return PostSectionWrite(ops, SpecialStatusWriteMessage(index, status), refusal);
}

}  // namespace qdx
