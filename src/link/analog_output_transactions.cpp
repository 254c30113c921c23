#include "link/analog_output_transactions.h"

#include <algorithm>

#include "model/bytes.h"

namespace qdx {

namespace {

constexpr std::uint8_t kCmdAnalogOutputs = 0x12;
// A drop-down with nothing selected stores 65535 in the 16-bit code fields.
constexpr std::int64_t kNoneSelected = 0xFFFF;
constexpr char kFunctionNames[4][3] = {"F1", "F2", "F3", "F4"};

void AppendEntry(WireWriter& w, ConstAnalogOutputRecord a, AnalogOutputLayout layout) {
  w.Text(a.Name().Bytes());
  w.Code8(a.OutputType(), kNoneSelected, "type");
  w.Code8(a.Channel(), kNoneSelected, "measurement channel");
  w.Code8(a.SetValue(), kNoneSelected, "set value");
  if (layout == AnalogOutputLayout::Current) w.Raw(a.PidNumber());
  w.U16(a.ValueAt0V(), "value for 0 V");
  w.U16(a.ValueAt10V(), "value for 10 V");
  w.U16(a.StopSetValue(), "Stop");
  w.U16(a.PauseSetValue(), "Pause");
  if (layout == AnalogOutputLayout::Legacy) {
    w.ScaledDouble(a.SamplePeriod(), 100.0, "sampling period");
    w.ScaledDouble(a.Gain(), 100.0, "gain");
    w.ScaledDouble(a.IntegralTime(), 100.0, "Ti");
    w.ScaledDouble(a.DerivativeTime(), 100.0, "Td");
  }
  for (int k = 1; k <= AnalogOutputRecord::kFunctionCount; ++k) {
    w.U16(a.FunctionSetValue(k), kFunctionNames[k - 1]);
  }
}

double FromHundredths(const std::uint8_t* p) {
  return static_cast<std::int32_t>(ReadBe32(p)) / 100.0;
}

void StoreEntry(const std::uint8_t* e, AnalogOutputRecord a, AnalogOutputLayout layout,
                int codePageIndex) {
  a.Name().SetBytes(ReadWireText(e, codePageIndex, AnalogOutputRecord::kNameCapacity));
  a.SetOutputType(e[14]);
  a.SetChannel(e[15]);
  a.SetSetValue(e[16]);
  const std::uint8_t* p = e + 17;
  if (layout == AnalogOutputLayout::Current) a.SetPidNumber(*p++);
  a.SetValueAt0V(ReadBe16(p));
  a.SetValueAt10V(ReadBe16(p + 2));
  a.SetStopSetValue(ReadBe16(p + 4));
  a.SetPauseSetValue(ReadBe16(p + 6));
  p += 8;
  if (layout == AnalogOutputLayout::Legacy) {
    a.SetSamplePeriod(FromHundredths(p));
    a.SetGain(FromHundredths(p + 4));
    a.SetIntegralTime(FromHundredths(p + 8));
    a.SetDerivativeTime(FromHundredths(p + 12));
    p += 16;
  }
  for (int k = 1; k <= AnalogOutputRecord::kFunctionCount; ++k) {
    a.SetFunctionSetValue(k, ReadBe16(p + 2 * (k - 1)));
  }
}

EncodedMessage Encode(AnalogOutputLayout layout, ConstAnalogOutputBytes records,
                      int codePageIndex) {
  WireWriter w(QStringLiteral("Analog output"), codePageIndex);
  w.Raw(0x00);
  for (int k = 0; k < kAnalogOutputCount; ++k) {
    w.SetRecord(k + 1);
    AppendEntry(w, ConstAnalogOutputRecord(records.data() + k * AnalogOutputRecord::kSize), layout);
  }
  return w.Finish(kClassWrite, kCmdAnalogOutputs);
}

}  // namespace

AnalogOutputBytes AnalogOutputRegion(ProjectImage& image) {
  return AnalogOutputBytes(image.data() + image::kAnalogOutputsOffset, AnalogOutputBytes::extent);
}

ConstAnalogOutputBytes AnalogOutputRegion(const ProjectImage& image) {
  return ConstAnalogOutputBytes(image.data() + image::kAnalogOutputsOffset,
                                ConstAnalogOutputBytes::extent);
}

AnalogOutputLayout AnalogOutputLayoutForVersion(std::int16_t programVersion) {
  return programVersion >= kAnalogOutputCurrentLayoutVersion ? AnalogOutputLayout::Current
                                                             : AnalogOutputLayout::Legacy;
}

int AnalogOutputEntrySize(AnalogOutputLayout layout) {
  return layout == AnalogOutputLayout::Current ? kAnalogOutputEntrySize
                                               : kAnalogOutputLegacyEntrySize;
}

InnerMessage AnalogOutputsReadMessage() {
  return {kClassRead, kCmdAnalogOutputs, QByteArray(1, '\0')};
}

LinkResult DecodeAnalogOutputs(const QByteArray& reply, AnalogOutputLayout layout,
                               AnalogOutputBytes records, int codePageIndex) {
  if (reply.size() < kAnalogOutputsReplyLength) return kLinkShortReply;
  const std::uint8_t* entries = ReplyBytes(reply) + kReplyDataOffset + 1;
  std::fill(records.begin(), records.end(), std::uint8_t{0});
  const int size = AnalogOutputEntrySize(layout);
  for (int k = 0; k < kAnalogOutputCount; ++k) {
    StoreEntry(entries + k * size,
               AnalogOutputRecord(records.data() + k * AnalogOutputRecord::kSize), layout,
               codePageIndex);
  }
  return kLinkOk;
}

ReplyDecoder AnalogOutputsDecoder(AnalogOutputLayout layout, AnalogOutputBytes records,
                                  int codePageIndex) {
  return [=](const QByteArray& reply) {
    return DecodeAnalogOutputs(reply, layout, records, codePageIndex);
  };
}

EncodedMessage AnalogOutputsWriteMessage(AnalogOutputLayout layout, ConstAnalogOutputBytes records,
                                         int codePageIndex) {
  return Encode(layout, records, codePageIndex);
}

std::optional<EncodeError> ValidateAnalogOutputs(ConstAnalogOutputBytes records,
                                                 AnalogOutputLayout layout) {
  return Encode(layout, records, 0).error;
}

std::optional<EncodeError> ValidateAnalogOutputs(const ProjectImage& image,
                                                 AnalogOutputLayout layout) {
  return ValidateAnalogOutputs(AnalogOutputRegion(image), layout);
}

LinkResult ReadAnalogOutputs(LinkOperations& ops, AnalogOutputBytes records) {
  return ops.RunDirect(
      AnalogOutputsReadMessage(), kAnalogOutputsReplyLength,
      AnalogOutputsDecoder(AnalogOutputLayout::Current, records, ops.context().codePageIndex));
}

LinkResult ReadAnalogOutputsLegacy(LinkOperations& ops, AnalogOutputBytes records) {
  return ops.RunDirect(
      AnalogOutputsReadMessage(), kAnalogOutputsReplyLength,
      AnalogOutputsDecoder(AnalogOutputLayout::Legacy, records, ops.context().codePageIndex));
}

LinkResult PostReadAnalogOutputs(LinkOperations& ops) {
  return ops.RunPost(AnalogOutputsReadMessage(), PostAck::Acknowledged);
}

LinkResult FetchAnalogOutputs(LinkOperations& ops, AnalogOutputBytes records) {
  return ops.RunFetch(
      kAnalogOutputsReplyLength,
      AnalogOutputsDecoder(AnalogOutputLayout::Current, records, ops.context().codePageIndex));
}

LinkResult FetchAnalogOutputsLegacy(LinkOperations& ops, AnalogOutputBytes records) {
  return ops.RunFetch(
      kAnalogOutputsReplyLength,
      AnalogOutputsDecoder(AnalogOutputLayout::Legacy, records, ops.context().codePageIndex));
}

LinkResult WriteAnalogOutputs(LinkOperations& ops, ConstAnalogOutputBytes records,
                              EncodeError* refusal) {
  return SendSectionWrite(
      ops, Encode(AnalogOutputLayout::Current, records, ops.context().codePageIndex), refusal);
}

LinkResult WriteAnalogOutputsLegacy(LinkOperations& ops, ConstAnalogOutputBytes records,
                                    EncodeError* refusal) {
  return SendSectionWrite(
      ops, Encode(AnalogOutputLayout::Legacy, records, ops.context().codePageIndex), refusal);
}

LinkResult PostWriteAnalogOutputs(LinkOperations& ops, ConstAnalogOutputBytes records,
                                  EncodeError* refusal) {
  return PostSectionWrite(
      ops, Encode(AnalogOutputLayout::Current, records, ops.context().codePageIndex), refusal);
}

LinkResult PostWriteAnalogOutputsLegacy(LinkOperations& ops, ConstAnalogOutputBytes records,
                                        EncodeError* refusal) {
  return PostSectionWrite(
      ops, Encode(AnalogOutputLayout::Legacy, records, ops.context().codePageIndex), refusal);
}

}  // namespace qdx
