// The 37 password and user-name entries on the wire: six bytes each, in one exchange each way,
// with no code-page conversion.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <span>

#include "model/blocks.h"
#include "model/password_entry.h"
#include "link/operations.h"
#include "link/section_wire.h"

namespace qdx {

inline constexpr int kPasswordWireSize = 6;
inline constexpr int kPasswordsReplyLength = 233;

using PasswordBytes = std::span<std::uint8_t, passwords::kSize>;
using ConstPasswordBytes = std::span<const std::uint8_t, passwords::kSize>;

// 46 11
InnerMessage PasswordsReadMessage();
// Zeroes the whole 550-byte block, then stores each 6-byte group as a 6-character entry, zero
// bytes included. 3 for a reply too short.
LinkResult DecodePasswords(const QByteArray& reply, PasswordBytes block);
ReplyDecoder PasswordsDecoder(PasswordBytes block);
// 47 11 + 37 entries: each entry's first six characters, completed with 0x00.
InnerMessage PasswordsWriteMessage(ConstPasswordBytes block);

// Requests for the operations of section_wire.h.
ReadRequest PasswordsRead(PasswordBytes block);
WriteRequest PasswordsWrite(ConstPasswordBytes block);

}  // namespace qdx
