// The special statuses on the wire: six 7-byte entries in one exchange (their names are fixed
// and do not travel), and the single-status write of the editor.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <span>

#include "model/blocks.h"
#include "model/special_status_record.h"
#include "link/operations.h"
#include "link/section_wire.h"

namespace qdx {

inline constexpr int kSpecialStatusEntrySize = 7;
inline constexpr int kSpecialStatusesReplyLength = 53;

using SpecialStatusBytes =
    std::span<std::uint8_t, kSpecialStatusCount * SpecialStatusRecord::kSize>;
using ConstSpecialStatusBytes =
    std::span<const std::uint8_t, kSpecialStatusCount * SpecialStatusRecord::kSize>;

// The six records of the image, back to back.
SpecialStatusBytes SpecialStatusRegion(ProjectImage& image);
ConstSpecialStatusBytes SpecialStatusRegion(const ProjectImage& image);

// 46 0E
InnerMessage SpecialStatusesReadMessage();
// The six records zeroed, then filled from the six entries (number k + 1). There is no block
// byte to check; 3 for a reply too short.
LinkResult DecodeSpecialStatuses(const QByteArray& reply, SpecialStatusBytes records);
ReplyDecoder SpecialStatusesDecoder(SpecialStatusBytes records);
// 47 0E + six entries.
EncodedMessage SpecialStatusesWriteMessage(ConstSpecialStatusBytes records);
// 47 16 i + one entry (i = 0..5).
EncodedMessage SpecialStatusWriteMessage(int index, ConstSpecialStatusRecord status);

// The values of a special status, or of all six (named by slot), that their wire fields
// cannot carry, in record and field order.
std::vector<EncodeError> ValidateSpecialStatus(ConstSpecialStatusRecord status);
std::vector<EncodeError> ValidateSpecialStatuses(const ProjectImage& image);

// Requests for the operations of section_wire.h; an index outside 0..5 makes the single
// write invalid.
ReadRequest SpecialStatusesRead(SpecialStatusBytes records);
WriteRequest SpecialStatusesWrite(ConstSpecialStatusBytes records);
WriteRequest SpecialStatusWrite(int index, ConstSpecialStatusRecord status);

}  // namespace qdx
