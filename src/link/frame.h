// The frame envelope of every exchange with the controller: checksum, request building and
// the result codes of an exchange.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <span>

namespace qdx {

// Outcome of one exchange (and of an operation built on exchanges). Only Ok is success; the
// user sees every other result as "No communication", the trace shows its number.
enum class LinkResult {
  Ok = 0,
  PortFailed = 1,       // open/configure failed or port error
  ShortWrite = 2,       // port accepted fewer bytes than sent
  ShortReply = 3,       // reply shorter than expected (not empty)
  BadChecksum = 4,      // reply checksum wrong
  BadLength = 5,        // caller asked for fewer than 4 bytes
  UnexpectedReply = 7,  // valid reply, wrong function/block/page
  NoReply = 8,          // not a single byte arrived
  WrongStation = 10,    // reply from another station
  // Our own: the request cannot be expressed (a block offset beyond the 16-bit field, an empty
  // request); nothing was sent.
  RequestInvalid = 20,
};

// The number the trace and qdx show for a result.
constexpr int LinkResultNumber(LinkResult result) {
  return static_cast<int>(result);
}

// The short names most callers use; aliases of the values above.
inline constexpr LinkResult kLinkOk = LinkResult::Ok;
inline constexpr LinkResult kLinkPortFailed = LinkResult::PortFailed;
inline constexpr LinkResult kLinkShortWrite = LinkResult::ShortWrite;
inline constexpr LinkResult kLinkShortReply = LinkResult::ShortReply;
inline constexpr LinkResult kLinkBadChecksum = LinkResult::BadChecksum;
inline constexpr LinkResult kLinkBadLength = LinkResult::BadLength;
inline constexpr LinkResult kLinkUnexpectedReply = LinkResult::UnexpectedReply;
inline constexpr LinkResult kLinkNoReply = LinkResult::NoReply;
inline constexpr LinkResult kLinkWrongStation = LinkResult::WrongStation;
inline constexpr LinkResult kLinkRequestInvalid = LinkResult::RequestInvalid;

// How much a result's text says: Brief for a window's message or row ("No communication: no
// reply"), Explained for qdx's lines, which name the likely cause.
enum class LinkResultWording { Brief, Explained };

// The one text of a result for the user. Brief: "No communication: " and what went wrong, with
// the port's own error for a port that could not be used. Explained: the meaning alone ("no
// reply: not a single byte arrived (...)"), which qdx frames with the station, the port and the
// result's number and follows with the port's error itself.
QString LinkResultText(LinkResult result, const QString& portError = {},
                       LinkResultWording wording = LinkResultWording::Brief);

// Function and sub-function bytes of the four request kinds.
inline constexpr std::uint8_t kFunction46 = 0x46;
inline constexpr std::uint8_t kFunction47 = 0x47;
inline constexpr std::uint8_t kSubStatus = 0x00;
inline constexpr std::uint8_t kSubDirect = 0x08;
inline constexpr std::uint8_t kSubModule = 0x09;

// Class letters of the controller-level message.
inline constexpr std::uint8_t kClassDevice = 0x44;  // 'D' device and panel-text services
inline constexpr std::uint8_t kClassRead = 0x46;    // 'F' reads of configuration sections
inline constexpr std::uint8_t kClassWrite = 0x47;   // 'G' writes and device commands

// Offsets in reply frames.
inline constexpr int kReplyDataOffset = 9;
inline constexpr int kReplyPanelTextDataOffset = 11;

// Frame header: station, function, sub-function, two length bytes.
inline constexpr int kFrameHeaderSize = 5;
inline constexpr int kInnerHeaderSize = 4;
inline constexpr int kChecksumSize = 2;
// Status poll and fetch carry no inner message.
inline constexpr int kEmptyRequestSize = kFrameHeaderSize + kChecksumSize;

// CRC-16 of the MODBUS kind over the first count bytes (count 0 gives 0xFFFF).
std::uint16_t Crc16(const std::uint8_t* bytes, std::uint16_t count);
// Over the whole array (at most 65535 bytes are used).
std::uint16_t Crc16(const QByteArray& bytes);

// The controller-level message carried inside a direct or posted request.
struct InnerMessage {
  std::uint8_t classLetter = 0;
  std::uint8_t command = 0;
  QByteArray body;  // parameters, then data

  // The message's own bytes with its inner length filled in.
  QByteArray Encode() const;
};

// A complete request: station (low 8 bits), function, sub-function, total length, the inner
// message's bytes (may be empty), checksum low byte first.
QByteArray BuildRequest(int stationAddress, std::uint8_t function, std::uint8_t subFunction,
                        const QByteArray& innerBytes = {});
QByteArray BuildRequest(int stationAddress, std::uint8_t function, std::uint8_t subFunction,
                        const InnerMessage& inner);

// The four request kinds.
QByteArray BuildDirectRequest(int stationAddress, const InnerMessage& inner);  // 0x46 0x08
QByteArray BuildPostRequest(int stationAddress, const InnerMessage& inner);    // 0x47 0x09
QByteArray BuildFetchRequest(int stationAddress);                              // 0x46 0x09
QByteArray BuildStatusPollRequest(int stationAddress);                         // 0x46 0x00

// True when the last two bytes are the checksum of the bytes before them, low byte first.
bool HasValidChecksum(const QByteArray& frame);

// Big-endian helpers for building inner message bodies.
void AppendBe16(QByteArray& out, std::uint16_t value);
void AppendBe32(QByteArray& out, std::uint32_t value);

}  // namespace qdx
