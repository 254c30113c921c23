#include "link/analog_output_transactions.h"

#include <algorithm>

namespace qdx {

namespace {

constexpr std::uint8_t kCmdAnalogOutputs = 0x12;
// A drop-down with nothing selected stores 65535 in the 16-bit code fields.
constexpr std::int64_t kNoneSelected = 0xFFFF;
constexpr char kFunctionNames[4][3] = {"F1", "F2", "F3", "F4"};

// One analog output entry in the given layout, for a WireWriter or a WireReader.
template <typename Wire, typename Record>
void AnalogOutputEntry(Wire& w, Record a, AnalogOutputLayout layout) {
  using Get = ConstAnalogOutputRecord;
  using Set = AnalogOutputRecord;
  w.Text(a.Name());
  w.Code8(a, &Get::OutputType, &Set::SetOutputType, kNoneSelected, "type");
  w.Code8(a, &Get::Channel, &Set::SetChannel, kNoneSelected, "measurement channel");
  w.Code8(a, &Get::SetValue, &Set::SetSetValue, kNoneSelected, "set value");
  if (layout == AnalogOutputLayout::Current) w.Byte(a, &Get::PidNumber, &Set::SetPidNumber);
  w.U16(a, &Get::ValueAt0V, &Set::SetValueAt0V, "value for 0 V");
  w.U16(a, &Get::ValueAt10V, &Set::SetValueAt10V, "value for 10 V");
  w.U16(a, &Get::StopSetValue, &Set::SetStopSetValue, "Stop");
  w.U16(a, &Get::PauseSetValue, &Set::SetPauseSetValue, "Pause");
  if (layout == AnalogOutputLayout::Legacy) {
    w.ScaledDouble(a, &Get::SamplePeriod, &Set::SetSamplePeriod, 100.0, "sampling period");
    w.ScaledDouble(a, &Get::Gain, &Set::SetGain, 100.0, "gain");
    w.ScaledDouble(a, &Get::IntegralTime, &Set::SetIntegralTime, 100.0, "Ti");
    w.ScaledDouble(a, &Get::DerivativeTime, &Set::SetDerivativeTime, 100.0, "Td");
  }
  for (int k = 1; k <= AnalogOutputRecord::kFunctionCount; ++k) {
    w.U16(
        a, [k](Get r) { return r.FunctionSetValue(k); },
        [k](Set r, std::int32_t v) { r.SetFunctionSetValue(k, v); }, kFunctionNames[k - 1]);
  }
}

// The write's body, with every value it refused.
WireWriter EncodeBody(AnalogOutputLayout layout, ConstAnalogOutputBytes records,
                      int codePageIndex) {
  WireWriter w(QStringLiteral("Analog output"), codePageIndex);
  w.Raw(0x00);
  for (int k = 0; k < kAnalogOutputCount; ++k) {
    w.SetRecord(k + 1);
    AnalogOutputEntry(w, ConstAnalogOutputRecord(records.data() + k * AnalogOutputRecord::kSize),
                      layout);
  }
  return w;
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
  WireReader w(reply, kReplyDataOffset + 1, codePageIndex);
  std::fill(records.begin(), records.end(), std::uint8_t{0});
  for (int k = 0; k < kAnalogOutputCount; ++k) {
    AnalogOutputEntry(w, AnalogOutputRecord(records.data() + k * AnalogOutputRecord::kSize),
                      layout);
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
  return EncodeBody(layout, records, codePageIndex).Finish(kClassWrite, kCmdAnalogOutputs);
}

std::vector<EncodeError> ValidateAnalogOutputs(ConstAnalogOutputBytes records,
                                               AnalogOutputLayout layout) {
  return EncodeBody(layout, records, 0).errors();
}

std::vector<EncodeError> ValidateAnalogOutputs(const ProjectImage& image,
                                               AnalogOutputLayout layout) {
  return ValidateAnalogOutputs(AnalogOutputRegion(image), layout);
}

ReadRequest AnalogOutputsRead(AnalogOutputLayout layout, AnalogOutputBytes records,
                              int codePageIndex) {
  return {AnalogOutputsReadMessage(), kAnalogOutputsReplyLength,
          AnalogOutputsDecoder(layout, records, codePageIndex)};
}

WriteRequest AnalogOutputsWrite(AnalogOutputLayout layout, ConstAnalogOutputBytes records,
                                int codePageIndex) {
  return {AnalogOutputsWriteMessage(layout, records, codePageIndex)};
}

}  // namespace qdx
