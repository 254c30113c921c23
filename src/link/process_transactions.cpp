#include "link/process_transactions.h"

#include <algorithm>

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

// One process body entry, 19 bytes, for a WireWriter or a WireReader.
template <typename Wire, typename Record>
void BodyEntry(Wire& w, Record p) {
  w.SetRecord(p.Number());
  w.Text(p.Name());
  w.Code8(p, &ConstProcessRecord::StepEndCondition, &ProcessRecord::SetStepEndCondition,
          kNoneSelected, "step end condition");
  w.Outputs(p.Outputs());
}

// One process's five presets, 10 bytes; a 16-bit preset always fits.
template <typename Wire, typename Record>
void PresetsEntry(Wire& w, Record p) {
  for (int k = 1; k <= ProcessRecord::kPresetCount; ++k) {
    w.S16(
        p, [k](ConstProcessRecord r) { return r.Preset(k); },
        [k](ProcessRecord r, std::int16_t v) { r.SetPreset(k, v); }, "preset");
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
  WireReader w(reply, kReplyDataOffset, codePageIndex);
  if (w.Raw() != static_cast<std::uint8_t>(block)) return kLinkUnexpectedReply;
  std::fill(records.begin(), records.end(), std::uint8_t{0});
  for (int k = 0; k < kProcessesPerBlock; ++k) {
    const ProcessRecord p(records.data() + k * ProcessRecord::kSize);
    p.SetNumber(kProcessesPerBlock * block + k + 1);
    BodyEntry(w, p);
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
    BodyEntry(w, ConstProcessRecord(records.data() + k * ProcessRecord::kSize));
  }
  return w.Finish(kClassWrite, BodyCommand(set));
}

EncodedMessage ProcessWriteMessage(ProcessSet set, int index, ConstProcessRecord process,
                                   int codePageIndex) {
  WireWriter w(SectionName(set), codePageIndex);
  w.Raw(static_cast<std::uint8_t>(index));
  BodyEntry(w, process);
  return w.Finish(kClassWrite, set == ProcessSet::Washing ? kCmdProcessWashing : kCmdProcessNormal);
}

InnerMessage ProcessPresetTableReadMessage(ProcessSet set) {
  return {kClassRead, kCmdPresetTable, QByteArray(1, static_cast<char>(ProcessSetSelector(set)))};
}

LinkResult DecodeProcessPresetTable(const QByteArray& reply, ProcessSetBytes records) {
  if (reply.size() < kProcessPresetTableReplyLength) return kLinkShortReply;
  // Data byte 0 echoes the selector; it is not examined.
  WireReader w(reply, kReplyDataOffset + 1, 0);
  for (int k = 0; k < kProcessCount; ++k) {
    PresetsEntry(w, ProcessRecord(records.data() + k * ProcessRecord::kSize));
  }
  return kLinkOk;
}

ReplyDecoder ProcessPresetTableDecoder(ProcessSetBytes records) {
  return [=](const QByteArray& reply) { return DecodeProcessPresetTable(reply, records); };
}

InnerMessage ProcessPresetTableWriteMessage(ProcessSet set, ConstProcessSetBytes records) {
  WireWriter w(SectionName(set), 0);
  w.Raw(ProcessSetSelector(set));
  for (int k = 0; k < kProcessCount; ++k) {
    PresetsEntry(w, ConstProcessRecord(records.data() + k * ProcessRecord::kSize));
  }
  return w.Finish(kClassWrite, kCmdPresetTable).message;
}

InnerMessage ProcessPresetsWriteMessage(ProcessSet set, int index, ConstProcessRecord process) {
  const int x = set == ProcessSet::Washing ? index + kWashingPresetsIndexBase : index;
  WireWriter w(SectionName(set), 0);
  w.Raw(static_cast<std::uint8_t>(x));
  PresetsEntry(w, process);
  return w.Finish(kClassWrite, kCmdPresets).message;
}

std::vector<EncodeError> ValidateProcess(ProcessSet set, ConstProcessRecord process) {
  WireWriter w(SectionName(set), 0);
  BodyEntry(w, process);
  return w.errors();
}

std::vector<EncodeError> ValidateProcesses(const ProjectImage& image, ProcessSet set) {
  return RefusedInSlots(kProcessCount,
                        [&](int n) { return ValidateProcess(set, Process(image, set, n)); });
}

ReadRequest ProcessBlockRead(ProcessSet set, int block, ProcessBlockBytes records,
                             int codePageIndex) {
  return {ProcessBlockReadMessage(set, block), kProcessBlockReplyLength,
          ProcessBlockDecoder(block, records, codePageIndex), ValidBlock(block)};
}

WriteRequest ProcessBlockWrite(ProcessSet set, int block, ConstProcessBlockBytes records,
                               int codePageIndex) {
  return {ProcessBlockWriteMessage(set, block, records, codePageIndex), kSectionWriteReplyLength,
          ValidBlock(block)};
}

WriteRequest ProcessWrite(ProcessSet set, int index, ConstProcessRecord process,
                          int codePageIndex) {
  return {ProcessWriteMessage(set, index, process, codePageIndex), kSectionWriteReplyLength,
          ValidIndex(index)};
}

ReadRequest ProcessPresetTableRead(ProcessSet set, ProcessSetBytes records) {
  return {ProcessPresetTableReadMessage(set), kProcessPresetTableReplyLength,
          ProcessPresetTableDecoder(records)};
}

WriteRequest ProcessPresetTableWrite(ProcessSet set, ConstProcessSetBytes records) {
  return {{ProcessPresetTableWriteMessage(set, records)}};
}

WriteRequest ProcessPresetsWrite(ProcessSet set, int index, ConstProcessRecord process) {
  return {{ProcessPresetsWriteMessage(set, index, process)},
          kSectionWriteReplyLength,
          ValidIndex(index)};
}

}  // namespace qdx
