#include "link/process_transactions.h"

#include <algorithm>

#include "model/bytes.h"

namespace qdx {

namespace {

constexpr std::uint8_t kCmdBodyNormal = 0x0D;
constexpr std::uint8_t kCmdBodyWashing = 0x10;
constexpr std::uint8_t kCmdProcessNormal = 0x15;
constexpr std::uint8_t kCmdProcessWashing = 0x18;
constexpr std::uint8_t kCmdPresetTable = 0x13;
constexpr std::uint8_t kCmdPresets = 0x1A;
constexpr std::int64_t kNoneSelected = -1;  // end condition "none selected" in the editor

bool ValidBlock(int block) {
  return block >= 0 && block < kProcessBlocks;
}
bool ValidIndex(int index) {
  return index >= 0 && index < kProcessCount;
}

std::uint8_t BodyCommand(ProcessSet set) {
  return set == ProcessSet::Washing ? kCmdBodyWashing : kCmdBodyNormal;
}

QString SectionName(ProcessSet set) {
  return set == ProcessSet::Washing ? QStringLiteral("Washing process") : QStringLiteral("Process");
}

void AppendBodyEntry(WireWriter& w, ConstProcessRecord p) {
  w.SetRecord(p.Number());
  w.Text(p.Name().Bytes());
  w.Code8(p.StepEndCondition(), kNoneSelected, "step end condition");
  w.Outputs(p.Outputs());
}

void AppendPresetsEntry(QByteArray& out, ConstProcessRecord p) {
  for (int k = 1; k <= ProcessRecord::kPresetCount; ++k) {
    AppendBe16(out, static_cast<std::uint16_t>(p.Preset(k)));
  }
}

}  // namespace

ProcessSetBytes ProcessSetRegion(ProjectImage& image, ProcessSet set) {
  return ProcessSetBytes(image.data() + ProcessSetOffset(set), ProcessSetBytes::extent);
}

ConstProcessSetBytes ProcessSetRegion(const ProjectImage& image, ProcessSet set) {
  return ConstProcessSetBytes(image.data() + ProcessSetOffset(set), ConstProcessSetBytes::extent);
}

ProcessBlockBuffer BuildProcessWriteBlock(const ProjectImage& image, ProcessSet set, int block) {
  ProcessBlockBuffer out{};
  for (int k = 0; k < kProcessesPerBlock; ++k) {
    const int n = kProcessesPerBlock * block + k + 1;
    const ConstProcessRecord src = Process(image, set, n >= 1 && n <= kProcessCount ? n : 1);
    std::copy_n(src.data(), ProcessRecord::kSize, out.begin() + k * ProcessRecord::kSize);
  }
  return out;
}

std::uint8_t ProcessSetSelector(ProcessSet set) {
  return set == ProcessSet::Washing ? 1 : 0;
}

InnerMessage ProcessBlockReadMessage(ProcessSet set, int block) {
  return {kClassRead, BodyCommand(set), QByteArray(1, static_cast<char>(block))};
}

LinkResult DecodeProcessBlock(const QByteArray& reply, int block, ProcessBlockBytes records,
                              int codePageIndex) {
  if (reply.size() < kProcessBlockReplyLength) return kLinkShortReply;
  const std::uint8_t* data = ReplyBytes(reply) + kReplyDataOffset;
  if (data[0] != static_cast<std::uint8_t>(block)) return kLinkUnexpectedReply;
  std::fill(records.begin(), records.end(), std::uint8_t{0});
  for (int k = 0; k < kProcessesPerBlock; ++k) {
    const ProcessRecord p(records.data() + k * ProcessRecord::kSize);
    const std::uint8_t* e = data + 1 + k * kProcessBodyEntrySize;
    p.SetNumber(kProcessesPerBlock * block + k + 1);
    p.Name().SetBytes(ReadWireText(e, codePageIndex, ProcessRecord::kNameCapacity));
    p.SetStepEndCondition(e[14]);
    StoreOutputBits(e + 15, p.Outputs());
  }
  return kLinkOk;
}

ReplyDecoder ProcessBlockDecoder(int block, ProcessBlockBytes records, int codePageIndex) {
  return [=](const QByteArray& reply) {
    return DecodeProcessBlock(reply, block, records, codePageIndex);
  };
}

EncodedMessage ProcessBlockWriteMessage(ProcessSet set, int block, ConstProcessBlockBytes records,
                                        int codePageIndex) {
  WireWriter w(SectionName(set), codePageIndex);
  w.Raw(static_cast<std::uint8_t>(block));
  for (int k = 0; k < kProcessesPerBlock; ++k) {
    AppendBodyEntry(w, ConstProcessRecord(records.data() + k * ProcessRecord::kSize));
  }
  return w.Finish(kClassWrite, BodyCommand(set));
}

EncodedMessage ProcessWriteMessage(ProcessSet set, int index, ConstProcessRecord process,
                                   int codePageIndex) {
  WireWriter w(SectionName(set), codePageIndex);
  w.Raw(static_cast<std::uint8_t>(index));
  AppendBodyEntry(w, process);
  return w.Finish(kClassWrite, set == ProcessSet::Washing ? kCmdProcessWashing : kCmdProcessNormal);
}

InnerMessage ProcessPresetTableReadMessage(ProcessSet set) {
  return {kClassRead, kCmdPresetTable, QByteArray(1, static_cast<char>(ProcessSetSelector(set)))};
}

LinkResult DecodeProcessPresetTable(const QByteArray& reply, ProcessSetBytes records) {
  if (reply.size() < kProcessPresetTableReplyLength) return kLinkShortReply;
  // Data byte 0 echoes the selector; it is not examined.
  const std::uint8_t* entries = ReplyBytes(reply) + kReplyDataOffset + 1;
  for (int k = 0; k < kProcessCount; ++k) {
    const ProcessRecord p(records.data() + k * ProcessRecord::kSize);
    const std::uint8_t* e = entries + k * kProcessPresetsEntrySize;
    for (int sp = 1; sp <= ProcessRecord::kPresetCount; ++sp) {
      p.SetPreset(sp, static_cast<std::int16_t>(ReadBe16(e + 2 * (sp - 1))));
    }
  }
  return kLinkOk;
}

ReplyDecoder ProcessPresetTableDecoder(ProcessSetBytes records) {
  return [=](const QByteArray& reply) { return DecodeProcessPresetTable(reply, records); };
}

InnerMessage ProcessPresetTableWriteMessage(ProcessSet set, ConstProcessSetBytes records) {
  QByteArray body(1, static_cast<char>(ProcessSetSelector(set)));
  for (int k = 0; k < kProcessCount; ++k) {
    AppendPresetsEntry(body, ConstProcessRecord(records.data() + k * ProcessRecord::kSize));
  }
  return {kClassWrite, kCmdPresetTable, body};
}

InnerMessage ProcessPresetsWriteMessage(ProcessSet set, int index, ConstProcessRecord process) {
  const int x = set == ProcessSet::Washing ? index + kWashingPresetsIndexBase : index;
  QByteArray body(1, static_cast<char>(x));
  AppendPresetsEntry(body, process);
  return {kClassWrite, kCmdPresets, body};
}

std::optional<EncodeError> ValidateProcess(ProcessSet set, ConstProcessRecord process) {
  WireWriter w(SectionName(set), 0);
  AppendBodyEntry(w, process);
  return w.error();
}

std::optional<EncodeError> ValidateProcesses(const ProjectImage& image, ProcessSet set) {
  for (int n = 1; n <= kProcessCount; ++n) {
    if (auto error = ValidateProcess(set, Process(image, set, n))) {
      error->record = n;
      return error;
    }
  }
  return std::nullopt;
}

LinkResult ReadProcessBlock(LinkOperations& ops, ProcessSet set, int block,
                            ProcessBlockBytes records) {
  if (!ValidBlock(block)) return kLinkRequestInvalid;
  return ops.RunDirect(ProcessBlockReadMessage(set, block), kProcessBlockReplyLength,
                       ProcessBlockDecoder(block, records, ops.context().codePageIndex));
}

LinkResult PostReadProcessBlock(LinkOperations& ops, ProcessSet set, int block) {
  if (!ValidBlock(block)) return kLinkRequestInvalid;
  return ops.RunPost(ProcessBlockReadMessage(set, block), PostAck::Acknowledged);
}

LinkResult FetchProcessBlock(LinkOperations& ops, int block, ProcessBlockBytes records) {
  if (!ValidBlock(block)) return kLinkRequestInvalid;
  return ops.RunFetch(kProcessBlockReplyLength,
                      ProcessBlockDecoder(block, records, ops.context().codePageIndex));
}

LinkResult WriteProcessBlock(LinkOperations& ops, ProcessSet set, int block,
                             ConstProcessBlockBytes records, EncodeError* refusal) {
  if (!ValidBlock(block)) return kLinkRequestInvalid;
  return SendSectionWrite(
      ops, ProcessBlockWriteMessage(set, block, records, ops.context().codePageIndex), refusal);
}

LinkResult PostWriteProcessBlock(LinkOperations& ops, ProcessSet set, int block,
                                 ConstProcessBlockBytes records, EncodeError* refusal) {
  if (!ValidBlock(block)) return kLinkRequestInvalid;
  return PostSectionWrite(
      ops, ProcessBlockWriteMessage(set, block, records, ops.context().codePageIndex), refusal);
}

LinkResult WriteProcess(LinkOperations& ops, ProcessSet set, int index, ConstProcessRecord process,
                        EncodeError* refusal) {
  if (!ValidIndex(index)) return kLinkRequestInvalid;
  return SendSectionWrite(
      ops, ProcessWriteMessage(set, index, process, ops.context().codePageIndex), refusal);
}

LinkResult PostWriteProcess(LinkOperations& ops, ProcessSet set, int index,
                            ConstProcessRecord process, EncodeError* refusal) {
  if (!ValidIndex(index)) return kLinkRequestInvalid;
  return PostSectionWrite(
      ops, ProcessWriteMessage(set, index, process, ops.context().codePageIndex), refusal);
}

LinkResult ReadProcessPresetTable(LinkOperations& ops, ProcessSet set, ProcessSetBytes records) {
  return ops.RunDirect(ProcessPresetTableReadMessage(set), kProcessPresetTableReplyLength,
                       ProcessPresetTableDecoder(records));
}

LinkResult PostReadProcessPresetTable(LinkOperations& ops, ProcessSet set) {
  return ops.RunPost(ProcessPresetTableReadMessage(set), PostAck::Acknowledged);
}

LinkResult FetchProcessPresetTable(LinkOperations& ops, ProcessSetBytes records) {
  return ops.RunFetch(kProcessPresetTableReplyLength, ProcessPresetTableDecoder(records));
}

LinkResult WriteProcessPresetTable(LinkOperations& ops, ProcessSet set,
                                   ConstProcessSetBytes records) {
  return ops.RunDirect(ProcessPresetTableWriteMessage(set, records), kSectionWriteReplyLength);
}

LinkResult PostWriteProcessPresetTable(LinkOperations& ops, ProcessSet set,
                                       ConstProcessSetBytes records) {
  return ops.RunPost(ProcessPresetTableWriteMessage(set, records), PostAck::AnyReply);
}

LinkResult WriteProcessPresets(LinkOperations& ops, ProcessSet set, int index,
                               ConstProcessRecord process) {
  if (!ValidIndex(index)) return kLinkRequestInvalid;
  return ops.RunDirect(ProcessPresetsWriteMessage(set, index, process), kSectionWriteReplyLength);
}

LinkResult PostWriteProcessPresets(LinkOperations& ops, ProcessSet set, int index,
                                   ConstProcessRecord process) {
  if (!ValidIndex(index)) return kLinkRequestInvalid;
  return ops.RunPost(ProcessPresetsWriteMessage(set, index, process), PostAck::AnyReply);
}

}  // namespace qdx
