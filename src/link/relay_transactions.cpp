#include "link/relay_transactions.h"

#include <algorithm>

#include "model/bytes.h"

namespace qdx {

namespace {

constexpr std::uint8_t kCmdRelayBlock = 0x0C;

bool ValidBlock(int block) {
  return block >= 0 && block < kRelayBlocks;
}

void AppendRelayEntry(WireWriter& w, ConstRelayRecord r) {
  w.SetRecord(r.Number());
  w.Text(r.Name().Bytes());
  w.U16(r.TimeType(), "time type");
  w.U16(r.TimeTa(), "Ta");
  w.U16(r.TimeTb(), "Tb");
  w.U16(r.RegulatorType(), "regulator type");
  w.Raw(r.ChannelIndex());
  w.Raw(r.SetValueIndex());
  w.Tenths100(r.RegulatorOffset(), "offset");
  w.Tenths100(r.RegulatorWindow(), "regulator window");
  w.Tenths100(r.LowerHysteresis(), "lower hysteresis");
  w.Tenths100(r.UpperHysteresis(), "upper hysteresis");
}

// Wire value x 100 back to tenths, halves to the even neighbour.
std::int32_t FromHundredths(const std::uint8_t* p) {
  return static_cast<std::int32_t>(
      DivideRoundHalfEven(static_cast<std::int32_t>(ReadBe32(p)), 100));
}

void StoreRelayEntry(const std::uint8_t* e, RelayRecord r, int codePageIndex) {
  r.Name().SetBytes(ReadWireText(e, codePageIndex, RelayRecord::kNameCapacity));
  r.SetTimeType(ReadBe16(e + 14));
  r.SetTimeTa(ReadBe16(e + 16));
  r.SetTimeTb(ReadBe16(e + 18));
  r.SetRegulatorType(ReadBe16(e + 20));
  r.SetChannelIndex(e[22]);
  r.SetSetValueIndex(e[23]);
  r.SetRegulatorOffset(FromHundredths(e + 24));
  r.SetRegulatorWindow(FromHundredths(e + 28));
  r.SetLowerHysteresis(FromHundredths(e + 32));
  r.SetUpperHysteresis(FromHundredths(e + 36));
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
  const std::uint8_t* data = ReplyBytes(reply) + kReplyDataOffset;
  if (data[0] != static_cast<std::uint8_t>(block)) return kLinkUnexpectedReply;
  std::fill(records.begin(), records.end(), std::uint8_t{0});
  for (int k = 0; k < kRelaysPerBlock; ++k) {
    const RelayRecord r(records.data() + k * RelayRecord::kSize);
    r.SetNumber(kRelaysPerBlock * block + k + 1);
    StoreRelayEntry(data + 1 + k * kRelayEntrySize, r, codePageIndex);
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
    AppendRelayEntry(w, ConstRelayRecord(records.data() + k * RelayRecord::kSize));
  }
  return w.Finish(kClassWrite, kCmdRelayBlock);
}

std::optional<EncodeError> ValidateRelay(ConstRelayRecord relay) {
  WireWriter w(QStringLiteral("Relay"), 0);
  AppendRelayEntry(w, relay);
  return w.error();
}

std::optional<EncodeError> ValidateRelays(const ProjectImage& image) {
  for (int n = 1; n <= kRelayCount; ++n) {
    if (auto error = ValidateRelay(Relay(image, n))) {
      error->record = n;
      return error;
    }
  }
  return std::nullopt;
}

LinkResult ReadRelayBlock(LinkOperations& ops, int block, RelayBlockBytes records) {
  if (!ValidBlock(block)) return kLinkRequestInvalid;
  return ops.RunDirect(RelayBlockReadMessage(block), kRelayBlockReplyLength,
                       RelayBlockDecoder(block, records, ops.context().codePageIndex));
}

LinkResult PostReadRelayBlock(LinkOperations& ops, int block) {
  if (!ValidBlock(block)) return kLinkRequestInvalid;
  return ops.RunPost(RelayBlockReadMessage(block), PostAck::Acknowledged);
}

LinkResult FetchRelayBlock(LinkOperations& ops, int block, RelayBlockBytes records) {
  if (!ValidBlock(block)) return kLinkRequestInvalid;
  return ops.RunFetch(kRelayBlockReplyLength,
                      RelayBlockDecoder(block, records, ops.context().codePageIndex));
}

LinkResult WriteRelayBlock(LinkOperations& ops, int block, ConstRelayBlockBytes records,
                           EncodeError* refusal) {
  if (!ValidBlock(block)) return kLinkRequestInvalid;
  return SendSectionWrite(ops, RelayBlockWriteMessage(block, records, ops.context().codePageIndex),
                          refusal);
}

LinkResult PostWriteRelayBlock(LinkOperations& ops, int block, ConstRelayBlockBytes records,
                               EncodeError* refusal) {
  if (!ValidBlock(block)) return kLinkRequestInvalid;
  return PostSectionWrite(ops, RelayBlockWriteMessage(block, records, ops.context().codePageIndex),
                          refusal);
}

}  // namespace qdx
