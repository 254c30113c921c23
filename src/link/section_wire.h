// Rules shared by the wire entries of the configuration sections: big-endian numbers, 14-byte
// text fields, relay-output bits, rounding, and the refusal of record values that a wire field
// cannot carry unchanged.
//
// Encoders never change a value on its way to the controller: a value outside its field is
// reported as an EncodeError (which section, record, step and field) and no request is built.
// Decoders check the reply's length before they look at a byte, so any reply is safe to give
// them.
//
// Each entry puts its message, reply length and decoder into a ReadRequest or WriteRequest,
// and the five operations at the end of this file send any of them.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "model/relay_output_states.h"
#include "model/text_field.h"
#include "link/code_pages.h"
#include "link/frame.h"
#include "link/operations.h"

namespace qdx {

// Width of every name and message on the wire.
inline constexpr int kWireTextWidth = 14;
// Relay-output states travel as 4 bytes of 8 bits.
inline constexpr int kWireOutputBytes = 4;
// Every section write is answered with 11 bytes (and fetched with FetchWriteResult(4)).
inline constexpr int kSectionWriteReplyLength = 11;
inline constexpr int kSectionWriteFetchCount = 4;

// A record value that its wire field cannot carry unchanged.
struct EncodeError {
  QString section;  // "Relay", "Program", "Washing program", ...
  int record = 0;   // 1-based record number; 0 when the section is named alone
  int step = 0;     // 1-based program step; 0 when none
  QString field;    // as the editor labels it: "Ta", "Delta", ...
  QString value;    // the value as the record holds it, in the editor's units
  QString range;    // what the field can carry, e.g. "0..65535"

  // "Relay 7, Ta: 70000 is outside 0..65535"
  QString Message() const;
  friend bool operator==(const EncodeError&, const EncodeError&) = default;
};

// A request ready to send, or the reason it was not built.
struct EncodedMessage {
  InnerMessage message;
  std::optional<EncodeError> error = std::nullopt;
  bool ok() const { return !error.has_value(); }
};

// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);
// numerator / denominator rounded to the nearest integer, halves to the even neighbour
// (denominator > 0).
std::int64_t DivideRoundHalfEven(std::int64_t numerator, std::int64_t denominator);

// Relay outputs 8j + 1 .. 8j + 8 in bits 0..7 of byte j; a bit is set when the record's byte is
// non-zero.
void AppendOutputBits(QByteArray& out, ConstRelayOutputStates outputs);
// Stores 1 for a set bit and 0 for a clear one; wire points at 4 bytes.
void StoreOutputBits(const std::uint8_t* wire, RelayOutputStates outputs);

// Builds one section's wire bytes. Every numeric field is checked against what its wire field
// can carry; every value that does not fit is kept, in field order, and the first is the
// message's error (its bytes are still appended, so offsets stay right, but the message must
// not be sent).
//
// WireReader mirrors it: the same field methods, which take a record, its getter and its
// setter. An entry's layout is then written once, as a function template over either of them:
// the writer calls the getter, the reader the setter.
class WireWriter {
 public:
  static constexpr bool kEncodes = true;

  WireWriter(QString section, int codePageIndex)
      : section_(std::move(section)), codePageIndex_(codePageIndex) {}

  // Who the following fields belong to, for the error message.
  void SetSection(QString section) { section_ = std::move(section); }
  void SetRecord(int record) { record_ = record; }
  void SetStep(int step) { step_ = step; }

  void Raw(std::uint8_t byte) { out_.append(static_cast<char>(byte)); }
  void RawBytes(const QByteArray& bytes) { out_.append(bytes); }
  // A quantity in one byte: 0..255, refused otherwise.
  void U8(std::int64_t value, const char* field);
  // A quantity in one byte shown in tenths (program delta).
  void U8Tenths(std::int64_t value, const char* field);
  // A code or list index in one byte: 0..255 travels as it is; the editors' "nothing
  // selected" value (noneValue: -1 for 32-bit fields, 65535 for 16-bit fields) travels as its
  // low byte 0xFF; anything else is refused, since its low byte could name another entry.
  void Code8(std::int64_t value, std::int64_t noneValue, const char* field);
  void U16(std::int64_t value, const char* field);  // 0..65535
  void S16(std::int64_t value, const char* field);  // -32768..32767
  // The record's tenths times 100, signed 32-bit.
  void Tenths100(std::int32_t tenths, const char* field);
  // value x factor rounded half to even, signed 32-bit (NaN and infinities refused).
  void ScaledDouble(double value, double factor, const char* field);
  // The text converted towards the controller, cut to 14 bytes, filled with blanks.
  void Text(const QByteArray& text);
  void Outputs(ConstRelayOutputStates outputs) { AppendOutputBits(out_, outputs); }

  // The same fields read from a record through its getter (the setter is the reader's).
  template <typename R, typename Get, typename Set>
  void Byte(R r, Get get, Set) {
    Raw(std::invoke(get, r));
  }
  template <typename R, typename Get, typename Set>
  void U8(R r, Get get, Set, const char* field) {
    U8(std::invoke(get, r), field);
  }
  template <typename R, typename Get, typename Set>
  void U8Tenths(R r, Get get, Set, const char* field) {
    U8Tenths(std::invoke(get, r), field);
  }
  template <typename R, typename Get, typename Set>
  void Code8(R r, Get get, Set, std::int64_t noneValue, const char* field) {
    Code8(std::invoke(get, r), noneValue, field);
  }
  template <typename R, typename Get, typename Set>
  void U16(R r, Get get, Set, const char* field) {
    U16(std::invoke(get, r), field);
  }
  template <typename R, typename Get, typename Set>
  void S16(R r, Get get, Set, const char* field) {
    S16(std::invoke(get, r), field);
  }
  template <typename R, typename Get, typename Set>
  void Tenths100(R r, Get get, Set, const char* field) {
    Tenths100(std::invoke(get, r), field);
  }
  template <typename R, typename Get, typename Set>
  void ScaledDouble(R r, Get get, Set, double factor, const char* field) {
    ScaledDouble(std::invoke(get, r), factor, field);
  }
  // skip is how the reader treats the field's bytes; the writer sends blanks either way.
  void Text(ConstTextField text, TextFieldSkip = TextFieldSkip::Zero) { Text(text.Bytes()); }
  // A text that travels unconverted in width bytes: cut, or filled with 0x00.
  void RawText(ConstTextField text, int width);

  // Keeps field's value among the refused ones.
  void Refuse(const char* field, const QString& value, const QString& range);

  const QByteArray& bytes() const { return out_; }
  // The first refused value, if any.
  std::optional<EncodeError> error() const;
  // Every refused value, in the order the fields were written.
  const std::vector<EncodeError>& errors() const { return errors_; }
  // The message with these bytes as its body, or the first error.
  EncodedMessage Finish(std::uint8_t classLetter, std::uint8_t command) const;

 private:
  QString section_;
  int codePageIndex_ = 0;
  int record_ = 0;
  int step_ = 0;
  QByteArray out_;
  std::vector<EncodeError> errors_;
};

// Every refused value of records 1..count, in record order, each named by its slot: the
// checks run before a write renumbers the records. refusedIn(n) checks record n.
template <typename Check>
std::vector<EncodeError> RefusedInSlots(int count, Check refusedIn) {
  std::vector<EncodeError> all;
  for (int n = 1; n <= count; ++n) {
    for (EncodeError& error : refusedIn(n)) {
      error.record = n;
      all.push_back(std::move(error));
    }
  }
  return all;
}

// Reads one section's wire bytes into records, field by field from a starting offset, with
// WireWriter's field methods (see there). Values are stored as the wire carries them: unsigned
// bytes and 16-bit words, signed where the writer's field is signed, hundredths and scaled
// values rounded back. The caller checks the reply's length first; a byte beyond the end
// reads as 0, so a mistake there cannot read outside the reply.
class WireReader {
 public:
  static constexpr bool kEncodes = false;

  WireReader(const QByteArray& bytes, int offset, int codePageIndex)
      : bytes_(bytes), pos_(offset), codePageIndex_(codePageIndex) {}

  // Who the fields belong to matters only to the writer's errors.
  void SetSection(const QString&) {}
  void SetRecord(int) {}
  void SetStep(int) {}

  // The next byte, or 0 beyond the end.
  std::uint8_t Raw();
  void Skip(int count) { pos_ += count; }
  int Position() const { return pos_; }

  template <typename R, typename Get, typename Set>
  void Byte(R r, Get, Set set) {
    std::invoke(set, r, Raw());
  }
  template <typename R, typename Get, typename Set>
  void U8(R r, Get, Set set, const char*) {
    std::invoke(set, r, Raw());
  }
  template <typename R, typename Get, typename Set>
  void U8Tenths(R r, Get, Set set, const char*) {
    std::invoke(set, r, Raw());
  }
  template <typename R, typename Get, typename Set>
  void Code8(R r, Get, Set set, std::int64_t, const char*) {
    std::invoke(set, r, Raw());
  }
  template <typename R, typename Get, typename Set>
  void U16(R r, Get, Set set, const char*) {
    std::invoke(set, r, Be16());
  }
  template <typename R, typename Get, typename Set>
  void S16(R r, Get, Set set, const char*) {
    std::invoke(set, r, static_cast<std::int16_t>(Be16()));
  }
  // Wire value / 100 back to tenths, halves to the even neighbour.
  template <typename R, typename Get, typename Set>
  void Tenths100(R r, Get, Set set, const char*) {
    std::invoke(set, r, static_cast<std::int32_t>(DivideRoundHalfEven(S32(), 100)));
  }
  template <typename R, typename Get, typename Set>
  void ScaledDouble(R r, Get, Set set, double factor, const char*) {
    std::invoke(set, r, S32() / factor);
  }
  // The 14-byte text as the record stores it (skipped bytes dropped, converted, trimmed, cut).
  void Text(TextField text, TextFieldSkip skip = TextFieldSkip::Zero);
  // The width bytes as they are, cut to the field's capacity.
  void RawText(TextField text, int width) { text.SetBytes(Take(width)); }
  void Outputs(RelayOutputStates outputs);

 private:
  std::uint16_t Be16();
  std::int32_t S32();
  QByteArray Take(int count);

  const QByteArray& bytes_;
  int pos_ = 0;
  int codePageIndex_ = 0;
};

// One read of the catalogue: the request, the length of its reply and what the reply is
// decoded into. valid is false for a block, index, page or offset outside its section.
struct ReadRequest {
  InnerMessage message;
  int replyLength = 0;
  ReplyDecoder decode;
  bool valid = true;
  AttemptPreparation prepare = {};  // run before every attempt, direct or fetched
};

// One write of the catalogue: the request (or the value it refused), the length of its direct
// answer and, as for reads, whether its address lies within its section.
struct WriteRequest {
  EncodedMessage encoded;
  int replyLength = kSectionWriteReplyLength;
  bool valid = true;
};

// The operations every catalogue entry shares. A request that is not valid gives
// kLinkRequestInvalid, and so does a refused value (then refusal, when given, says which);
// either way nothing is sent.
//   Read       the direct exchange, decoded
//   PostRead   the post, which the module must acknowledge with 0x47 0x09
//   Fetch      the answer to that post, decoded
//   Write      the direct exchange
//   PostWrite  the post, any valid reply; follow with AwaitModuleAnswer and
//              FetchWriteResult(replyLength - 7)
LinkResult Read(LinkOperations& ops, const ReadRequest& request);
LinkResult PostRead(LinkOperations& ops, const ReadRequest& request);
LinkResult Fetch(LinkOperations& ops, const ReadRequest& request);
LinkResult Write(LinkOperations& ops, const WriteRequest& request, EncodeError* refusal = nullptr);
LinkResult PostWrite(LinkOperations& ops, const WriteRequest& request,
                     EncodeError* refusal = nullptr);

}  // namespace qdx
