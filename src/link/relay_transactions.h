// The relays on the wire: six 40-byte relay entries per block, blocks 0..5.
#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "model/blocks.h"
#include "model/relay_record.h"
#include "link/operations.h"
#include "link/section_wire.h"

namespace qdx {

inline constexpr int kRelaysPerBlock = 6;
inline constexpr int kRelayBlocks = 6;
inline constexpr int kRelayEntrySize = 40;
inline constexpr int kRelayBlockReplyLength = 252;

// The caller's six relay records of one block, back to back.
using RelayBlockBytes = std::span<std::uint8_t, kRelaysPerBlock * RelayRecord::kSize>;
using ConstRelayBlockBytes = std::span<const std::uint8_t, kRelaysPerBlock * RelayRecord::kSize>;
using RelayBlockBuffer = std::array<std::uint8_t, kRelaysPerBlock * RelayRecord::kSize>;

// Block b as a list write sends it: relays 6b + 1 .. 6b + 6, positions beyond relay 32 filled
// with copies of relay 1.
RelayBlockBuffer BuildRelayWriteBlock(const ProjectImage& image, int block);

// 46 0C b
InnerMessage RelayBlockReadMessage(int block);
// Checks the block byte (7 when it differs: nothing stored), zeroes the six records and fills
// them: number 6b + k + 1 and the fields of entry k. 3 for a reply too short to hold a block.
LinkResult DecodeRelayBlock(const QByteArray& reply, int block, RelayBlockBytes records,
                            int codePageIndex);
ReplyDecoder RelayBlockDecoder(int block, RelayBlockBytes records, int codePageIndex);
// 47 0C b + six relay entries; refused when a value does not fit its field.
EncodedMessage RelayBlockWriteMessage(int block, ConstRelayBlockBytes records, int codePageIndex);

// The values of a relay, or of every relay of the image (named by slot), that their wire
// fields cannot carry, in record and field order.
std::vector<EncodeError> ValidateRelay(ConstRelayRecord relay);
std::vector<EncodeError> ValidateRelays(const ProjectImage& image);

// The block's read and write for the operations of section_wire.h; a block outside 0..5
// makes them invalid.
ReadRequest RelayBlockRead(int block, RelayBlockBytes records, int codePageIndex);
WriteRequest RelayBlockWrite(int block, ConstRelayBlockBytes records, int codePageIndex);

}  // namespace qdx
