// The five PID regulators on the wire: 23-byte entries in one exchange each way.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <span>

#include "model/blocks.h"
#include "model/pid_record.h"
#include "link/operations.h"
#include "link/section_wire.h"

namespace qdx {

inline constexpr int kPidEntrySize = 23;
inline constexpr int kPidRegulatorsReplyLength = 257;

using PidBytes = std::span<std::uint8_t, pid::kSize>;
using ConstPidBytes = std::span<const std::uint8_t, pid::kSize>;

// 46 38 00
InnerMessage PidRegulatorsReadMessage();
// The five records zeroed, then filled (data byte 0 is not examined): Tp, Ti, Td, To as whole
// numbers, Xp as the wire number / 10. 3 for a reply too short.
LinkResult DecodePidRegulators(const QByteArray& reply, PidBytes records);
ReplyDecoder PidRegulatorsDecoder(PidBytes records);
// 47 38 00 + five entries; the doubles (Xp times 10) rounded half to even.
EncodedMessage PidRegulatorsWriteMessage(ConstPidBytes records);

// The values of the five regulators that their wire fields cannot carry, in record and field
// order.
std::vector<EncodeError> ValidatePidRegulators(ConstPidBytes records);

// Requests for the operations of section_wire.h.
ReadRequest PidRegulatorsRead(PidBytes records);
WriteRequest PidRegulatorsWrite(ConstPidBytes records);

}  // namespace qdx
