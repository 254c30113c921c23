// The processes on the wire: bodies (name, step end condition, relay outputs) in blocks of
// eight, the step presets of all sixteen processes of a set in one table, and the single
// process writes of the process editor. Every operation names its set (normal or washing).
#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "model/blocks.h"
#include "model/process_record.h"
#include "link/operations.h"
#include "link/section_wire.h"

namespace qdx {

inline constexpr int kProcessesPerBlock = 8;
inline constexpr int kProcessBlocks = 2;
inline constexpr int kProcessBodyEntrySize = 19;
inline constexpr int kProcessPresetsEntrySize = 10;
inline constexpr int kProcessBlockReplyLength = 164;
inline constexpr int kProcessPresetTableReplyLength = 172;
// The washing set's presets are addressed 100 above the normal set's.
inline constexpr int kWashingPresetsIndexBase = 100;

using ProcessBlockBytes = std::span<std::uint8_t, kProcessesPerBlock * ProcessRecord::kSize>;
using ConstProcessBlockBytes =
    std::span<const std::uint8_t, kProcessesPerBlock * ProcessRecord::kSize>;
using ProcessBlockBuffer = std::array<std::uint8_t, kProcessesPerBlock * ProcessRecord::kSize>;
// All sixteen records of one set, back to back.
using ProcessSetBytes = std::span<std::uint8_t, kProcessCount * ProcessRecord::kSize>;
using ConstProcessSetBytes = std::span<const std::uint8_t, kProcessCount * ProcessRecord::kSize>;

ProcessSetBytes ProcessSetRegion(ProjectImage& image, ProcessSet set);
ConstProcessSetBytes ProcessSetRegion(const ProjectImage& image, ProcessSet set);
// Block b of a set: processes 8b + 1 .. 8b + 8.
ProcessBlockBuffer BuildProcessWriteBlock(const ProjectImage& image, ProcessSet set, int block);

// The selector byte of the preset table: 0 normal, 1 washing.
std::uint8_t ProcessSetSelector(ProcessSet set);

// 46 0D b (normal) or 46 10 b (washing)
InnerMessage ProcessBlockReadMessage(ProcessSet set, int block);
// Block check (7, nothing stored), the eight records zeroed and filled with number 8b + k + 1,
// name, end condition and outputs; presets and the rest stay zero.
LinkResult DecodeProcessBlock(const QByteArray& reply, int block, ProcessBlockBytes records,
                              int codePageIndex);
ReplyDecoder ProcessBlockDecoder(int block, ProcessBlockBytes records, int codePageIndex);
// 47 0D|10 b + eight body entries.
EncodedMessage ProcessBlockWriteMessage(ProcessSet set, int block, ConstProcessBlockBytes records,
                                        int codePageIndex);
// 47 15 i (normal) or 47 18 i (washing) + one body entry.
EncodedMessage ProcessWriteMessage(ProcessSet set, int index, ConstProcessRecord process,
                                   int codePageIndex);

// 46 13 s
InnerMessage ProcessPresetTableReadMessage(ProcessSet set);
// Fills SP1..SP5 of the sixteen records and nothing else; the echoed selector byte is not
// examined.
LinkResult DecodeProcessPresetTable(const QByteArray& reply, ProcessSetBytes records);
ReplyDecoder ProcessPresetTableDecoder(ProcessSetBytes records);
// 47 13 s + sixteen presets entries.
InnerMessage ProcessPresetTableWriteMessage(ProcessSet set, ConstProcessSetBytes records);
// 47 1A x + one presets entry; x = i (normal) or i + 100 (washing).
InnerMessage ProcessPresetsWriteMessage(ProcessSet set, int index, ConstProcessRecord process);

// The values of a process, or of every process of the set (named by slot), that their wire
// fields cannot carry, in record and field order.
std::vector<EncodeError> ValidateProcess(ProcessSet set, ConstProcessRecord process);
std::vector<EncodeError> ValidateProcesses(const ProjectImage& image, ProcessSet set);

// Requests for the operations of section_wire.h; a block outside 0..1 or an index outside
// 0..15 makes them invalid.
ReadRequest ProcessBlockRead(ProcessSet set, int block, ProcessBlockBytes records,
                             int codePageIndex);
WriteRequest ProcessBlockWrite(ProcessSet set, int block, ConstProcessBlockBytes records,
                               int codePageIndex);
WriteRequest ProcessWrite(ProcessSet set, int index, ConstProcessRecord process, int codePageIndex);
ReadRequest ProcessPresetTableRead(ProcessSet set, ProcessSetBytes records);
WriteRequest ProcessPresetTableWrite(ProcessSet set, ConstProcessSetBytes records);
WriteRequest ProcessPresetsWrite(ProcessSet set, int index, ConstProcessRecord process);

}  // namespace qdx
