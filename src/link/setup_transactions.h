// Reading the controller's setup block (100 words on the wire, the 101st stays zero).
#pragma once

#include <QByteArray>

#include "link/frame.h"
#include "link/operations.h"
#include "link/section_wire.h"

namespace qdx {

inline constexpr int kSetupReplyLength = 211;
inline constexpr int kSetupWireWords = 100;

// 46 0A 00 04
InnerMessage ReadSetupMessage();
// Zeroes the whole block, then stores wire words 0..99 (big-endian from reply offset 9) as the
// block's little-endian words.
void DecodeSetup(const QByteArray& reply, SetupBytes setup);

// Writing the block: words 0..99 big-endian after two 0x00 bytes; word 100 does not travel.
using ConstSetupBytes = std::span<const std::uint8_t, image::kSetupSize>;

// 47 0A 00 00 + 100 words
InnerMessage WriteSetupMessage(ConstSetupBytes setup);

// Requests for the operations of section_wire.h; the read zeroes the block before every
// attempt.
ReadRequest SetupRead(SetupBytes setup);
WriteRequest SetupWrite(ConstSetupBytes setup);

}  // namespace qdx
