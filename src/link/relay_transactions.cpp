#include "link/relay_transactions.h"

#include <algorithm>

namespace qdx {

namespace {

constexpr std::uint8_t kCmdRelayBlock = 0x0C;

bool ValidBlock(int block) {
  return block >= 0 && block < kRelayBlocks;
}

// One relay entry, 40 bytes: written by a WireWriter from a ConstRelayRecord, read by a
// WireReader into a RelayRecord.
template <typename Wire, typename Record>
void RelayEntry(Wire& w, Record r) {
  using Get = ConstRelayRecord;
  using Set = RelayRecord;
  w.SetRecord(r.Number());
  w.Text(r.Name());
  w.U16(r, &Get::TimeType, &Set::SetTimeType, "time type");
  w.U16(r, &Get::TimeTa, &Set::SetTimeTa, "Ta");
  w.U16(r, &Get::TimeTb, &Set::SetTimeTb, "Tb");
  w.U16(r, &Get::RegulatorType, &Set::SetRegulatorType, "regulator type");
  w.Byte(r, &Get::ChannelIndex, &Set::SetChannelIndex);
  w.Byte(r, &Get::SetValueIndex, &Set::SetSetValueIndex);
  w.Tenths100(r, &Get::RegulatorOffset, &Set::SetRegulatorOffset, "offset");
  w.Tenths100(r, &Get::RegulatorWindow, &Set::SetRegulatorWindow, "regulator window");
  w.Tenths100(r, &Get::LowerHysteresis, &Set::SetLowerHysteresis, "lower hysteresis");
  w.Tenths100(r, &Get::UpperHysteresis, &Set::SetUpperHysteresis, "upper hysteresis");
}

}  // namespace

RelayBlockBuffer BuildRelayWriteBlock(const ProjectImage& image, int block) {
  RelayBlockBuffer out{};
  for (int k = 0; k < kRelaysPerBlock; ++k) {
    const int n = kRelaysPerBlock * block + k + 1;
    const ConstRelayRecord src = Relay(image, n >= 1 && n <= kRelayCount ? n : 1);
    std::copy_n(src.data(), RelayRecord::kSize, out.begin() + k * RelayRecord::kSize);
  }
  return out;
}

InnerMessage RelayBlockReadMessage(int block) {
  return {kClassRead, kCmdRelayBlock, QByteArray(1, static_cast<char>(block))};
}

LinkResult DecodeRelayBlock(const QByteArray& reply, int block, RelayBlockBytes records,
                            int codePageIndex) {
  if (reply.size() < kRelayBlockReplyLength) return kLinkShortReply;
  WireReader w(reply, kReplyDataOffset, codePageIndex);
  if (w.Raw() != static_cast<std::uint8_t>(block)) return kLinkUnexpectedReply;
  std::fill(records.begin(), records.end(), std::uint8_t{0});
  for (int k = 0; k < kRelaysPerBlock; ++k) {
    const RelayRecord r(records.data() + k * RelayRecord::kSize);
    r.SetNumber(kRelaysPerBlock * block + k + 1);
    RelayEntry(w, r);
  }
  return kLinkOk;
}

ReplyDecoder RelayBlockDecoder(int block, RelayBlockBytes records, int codePageIndex) {
  return [=](const QByteArray& reply) {
    return DecodeRelayBlock(reply, block, records, codePageIndex);
  };
}

EncodedMessage RelayBlockWriteMessage(int block, ConstRelayBlockBytes records, int codePageIndex) {
  WireWriter w(QStringLiteral("Relay"), codePageIndex);
  w.Raw(static_cast<std::uint8_t>(block));
  for (int k = 0; k < kRelaysPerBlock; ++k) {
    RelayEntry(w, ConstRelayRecord(records.data() + k * RelayRecord::kSize));
  }
  return w.Finish(kClassWrite, kCmdRelayBlock);
}

std::vector<EncodeError> ValidateRelay(ConstRelayRecord relay) {
  WireWriter w(QStringLiteral("Relay"), 0);
  RelayEntry(w, relay);
  return w.errors();
}

std::vector<EncodeError> ValidateRelays(const ProjectImage& image) {
  return RefusedInSlots(kRelayCount, [&](int n) { return ValidateRelay(Relay(image, n)); });
}

ReadRequest RelayBlockRead(int block, RelayBlockBytes records, int codePageIndex) {
  return {RelayBlockReadMessage(block), kRelayBlockReplyLength,
          RelayBlockDecoder(block, records, codePageIndex), ValidBlock(block)};
}

WriteRequest RelayBlockWrite(int block, ConstRelayBlockBytes records, int codePageIndex) {
  return {RelayBlockWriteMessage(block, records, codePageIndex), kSectionWriteReplyLength,
          ValidBlock(block)};
}

}  // namespace qdx
