// Device information, operator-panel text blocks and character sets, the controller reset and
// the clock: pure message builders and reply decoders, plus the operations over them.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <array>
#include <cstdint>

#include "link/frame.h"
#include "link/operations.h"
#include "link/section_wire.h"

namespace qdx {

inline constexpr int kDeviceInfoReplyLength = 17;
inline constexpr int kPanelTextBlockSize = 264;
inline constexpr int kPanelTextReplyLength = 277;
inline constexpr int kPanelTextWriteReplyLength = 13;
inline constexpr int kPanelTextWriteFetchCount = 6;  // FetchWriteResult after a posted block
inline constexpr int kShortWriteReplyLength = 11;    // charsets, reset, section writes
inline constexpr int kShortWriteFetchCount = 4;
inline constexpr int kPanelCharsetsSize = 4;
// Text block offsets travel in 16 bits.
inline constexpr qint64 kMaxBlockOffset = 0xFFFF;

// What the device-information read answers: the panel text size (big-endian) and four
// code-page bytes (the second and fourth describe the two selected languages).
struct DeviceInfo {
  std::uint16_t size = 0;
  std::array<std::uint8_t, 4> codePages = {};
  friend bool operator==(const DeviceInfo&, const DeviceInfo&) = default;
};

// Byte offset of a 264-byte text block; may exceed the 16-bit field (then refused).
inline qint64 PanelTextBlockOffset(qint64 blockIndex) {
  return blockIndex * kPanelTextBlockSize;
}
inline bool FitsBlockOffset(qint64 offset) {
  return offset >= 0 && offset <= kMaxBlockOffset;
}

// Pure builders and decoders.
InnerMessage DeviceInfoMessage();                                   // 44 20
DeviceInfo DecodeDeviceInfo(const QByteArray& reply);               // bytes 9..14
std::uint8_t PanelTextReadCommand(int kind);                        // 0x21 for kind 6, else 0x22
InnerMessage PanelTextReadMessage(std::uint16_t offset, int kind);  // 44 21|22 P
QByteArray DecodePanelTextBlock(const QByteArray& reply);           // bytes 11..274
// 44 24 P + the first 264 bytes of data, short data filled with blanks.
InnerMessage PanelTextWriteMessage(std::uint16_t offset, const QByteArray& data);
InnerMessage PanelCharsetsMessage(const std::array<std::uint8_t, kPanelCharsetsSize>& codes);
InnerMessage ResetMessage();      // 47 E6 (direct)
InnerMessage PostResetMessage();  // 47 E6 00 00 (posted)
// 47 06 YY MM DD hh mm ss; the year as two digits.
InnerMessage SetClockMessage(const QDateTime& when);

// Requests for the operations of section_wire.h; an offset outside 0..65535 makes them
// invalid. After a posted text block follow with FetchWriteResult(kPanelTextWriteFetchCount),
// after the posted character sets with FetchWriteResult(kShortWriteFetchCount).
ReadRequest DeviceInfoRead(DeviceInfo& info);
ReadRequest PanelTextRead(qint64 offset, int kind, QByteArray& block);
WriteRequest PanelTextWrite(qint64 offset, const QByteArray& data);
WriteRequest PanelCharsetsWrite(const std::array<std::uint8_t, kPanelCharsetsSize>& codes);

// Single attempts; nothing is fetched after the posted reset.
LinkResult ResetController(LinkOperations& ops);
LinkResult PostResetController(LinkOperations& ops);

// Module path only; follow with AwaitModuleAnswer and FetchWriteResult(kShortWriteFetchCount).
LinkResult PostSetClock(LinkOperations& ops, const QDateTime& when);

}  // namespace qdx
