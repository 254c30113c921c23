// The alarms on the wire: twelve 22-byte alarm entries per block, blocks 0 and 1, and the
// single-alarm write of the alarm editor.
#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "model/blocks.h"
#include "model/alarm_record.h"
#include "link/operations.h"
#include "link/section_wire.h"

namespace qdx {

inline constexpr int kAlarmsPerBlock = 12;
inline constexpr int kAlarmBlocks = 2;
inline constexpr int kAlarmEntrySize = 22;
inline constexpr int kAlarmBlockReplyLength = 276;

using AlarmBlockBytes = std::span<std::uint8_t, kAlarmsPerBlock * AlarmRecord::kSize>;
using ConstAlarmBlockBytes = std::span<const std::uint8_t, kAlarmsPerBlock * AlarmRecord::kSize>;
using AlarmBlockBuffer = std::array<std::uint8_t, kAlarmsPerBlock * AlarmRecord::kSize>;

// Block b as a list write sends it: alarms 12b + 1 .. 12b + 12, positions beyond alarm 21
// filled with copies of alarm 1.
AlarmBlockBuffer BuildAlarmWriteBlock(const ProjectImage& image, int block);

// 46 0F b
InnerMessage AlarmBlockReadMessage(int block);
// Block check (7, nothing stored), then the twelve records zeroed and filled, number
// 12b + k + 1.
LinkResult DecodeAlarmBlock(const QByteArray& reply, int block, AlarmBlockBytes records,
                            int codePageIndex);
ReplyDecoder AlarmBlockDecoder(int block, AlarmBlockBytes records, int codePageIndex);
// 47 0F b + twelve alarm entries.
EncodedMessage AlarmBlockWriteMessage(int block, ConstAlarmBlockBytes records, int codePageIndex);
// 47 17 i + one alarm entry (i = alarm index 0..20).
EncodedMessage AlarmWriteMessage(int index, ConstAlarmRecord alarm, int codePageIndex);

// The values of an alarm, or of every alarm of the image (named by slot), that their wire
// fields cannot carry, in record and field order.
std::vector<EncodeError> ValidateAlarm(ConstAlarmRecord alarm);
std::vector<EncodeError> ValidateAlarms(const ProjectImage& image);

// Requests for the operations of section_wire.h; a block outside 0..1 or an index outside
// 0..20 makes them invalid.
ReadRequest AlarmBlockRead(int block, AlarmBlockBytes records, int codePageIndex);
WriteRequest AlarmBlockWrite(int block, ConstAlarmBlockBytes records, int codePageIndex);
WriteRequest AlarmWrite(int index, ConstAlarmRecord alarm, int codePageIndex);

}  // namespace qdx
