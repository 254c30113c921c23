// The five analog outputs on the wire, in one exchange each way: the 34-byte layout of
// controllers from program version 600, and the 49-byte legacy layout of older controllers
// (with the output's own PID values, without the PID number). Both are read with the same
// request; the caller picks the layout by the controller's program version.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <span>

#include "model/blocks.h"
#include "model/analog_output_record.h"
#include "link/operations.h"
#include "link/section_wire.h"

namespace qdx {

inline constexpr int kAnalogOutputEntrySize = 34;
inline constexpr int kAnalogOutputLegacyEntrySize = 49;
inline constexpr int kAnalogOutputsReplyLength = 257;
inline constexpr std::int16_t kAnalogOutputCurrentLayoutVersion = 600;

using AnalogOutputBytes = std::span<std::uint8_t, kAnalogOutputCount * AnalogOutputRecord::kSize>;
using ConstAnalogOutputBytes =
    std::span<const std::uint8_t, kAnalogOutputCount * AnalogOutputRecord::kSize>;

AnalogOutputBytes AnalogOutputRegion(ProjectImage& image);
ConstAnalogOutputBytes AnalogOutputRegion(const ProjectImage& image);

AnalogOutputLayout AnalogOutputLayoutForVersion(std::int16_t programVersion);
int AnalogOutputEntrySize(AnalogOutputLayout layout);

// 46 12 00
InnerMessage AnalogOutputsReadMessage();
// The five records zeroed, then filled from the five entries of the layout (data byte 0 is not
// examined); fields the layout does not carry stay zero. 3 for a reply too short.
LinkResult DecodeAnalogOutputs(const QByteArray& reply, AnalogOutputLayout layout,
                               AnalogOutputBytes records, int codePageIndex);
ReplyDecoder AnalogOutputsDecoder(AnalogOutputLayout layout, AnalogOutputBytes records,
                                  int codePageIndex);
// 47 12 00 + five entries of the layout.
EncodedMessage AnalogOutputsWriteMessage(AnalogOutputLayout layout, ConstAnalogOutputBytes records,
                                         int codePageIndex);

// The values of the five outputs that the layout's wire fields cannot carry, in record and
// field order.
std::vector<EncodeError> ValidateAnalogOutputs(ConstAnalogOutputBytes records,
                                               AnalogOutputLayout layout);
std::vector<EncodeError> ValidateAnalogOutputs(const ProjectImage& image,
                                               AnalogOutputLayout layout);

// Requests in the given layout for the operations of section_wire.h.
ReadRequest AnalogOutputsRead(AnalogOutputLayout layout, AnalogOutputBytes records,
                              int codePageIndex);
WriteRequest AnalogOutputsWrite(AnalogOutputLayout layout, ConstAnalogOutputBytes records,
                                int codePageIndex);

}  // namespace qdx
