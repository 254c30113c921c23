#include "link/setup_transactions.h"

#include <algorithm>

#include "model/bytes.h"

namespace qdx {

namespace {

constexpr std::uint8_t kCmdSetup = 0x0A;

// Words 0..99 of the block, little-endian in the block and big-endian on the wire, for a
// WireWriter or a WireReader.
template <typename Wire, typename Byte>
void SetupWords(Wire& w, Byte* setup) {
  for (int word = 0; word < kSetupWireWords; ++word) {
    w.U16(
        setup + 2 * word, [](const std::uint8_t* p) { return ReadLe16(p); },
        [](std::uint8_t* p, std::uint16_t v) { WriteLe16(p, v); }, "setup word");
  }
}

ReplyDecoder SetupDecoder(SetupBytes setup) {
  return [setup](const QByteArray& reply) {
    DecodeSetup(reply, setup);
    return kLinkOk;
  };
}

AttemptPreparation ZeroSetup(SetupBytes setup) {
  return [setup] { std::fill(setup.begin(), setup.end(), std::uint8_t{0}); };
}

}  // namespace

InnerMessage ReadSetupMessage() {
  return {kClassRead, kCmdSetup, {}};
}

void DecodeSetup(const QByteArray& reply, SetupBytes setup) {
  std::fill(setup.begin(), setup.end(), std::uint8_t{0});
  if (reply.size() < kReplyDataOffset + kSetupWireWords * 2) return;
  WireReader w(reply, kReplyDataOffset, 0);
  SetupWords(w, setup.data());
}

InnerMessage WriteSetupMessage(ConstSetupBytes setup) {
  WireWriter w(QStringLiteral("Setup"), 0);
  w.Raw(0x00);
  w.Raw(0x00);
  SetupWords(w, setup.data());
  return w.Finish(kClassWrite, kCmdSetup).message;
}

ReadRequest SetupRead(SetupBytes setup) {
  return {ReadSetupMessage(), kSetupReplyLength, SetupDecoder(setup), true, ZeroSetup(setup)};
}

WriteRequest SetupWrite(ConstSetupBytes setup) {
  return {{WriteSetupMessage(setup)}};
}

}  // namespace qdx
