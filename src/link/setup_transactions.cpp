#include "link/setup_transactions.h"

#include <algorithm>

#include "model/bytes.h"

namespace qdx {

namespace {

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
  return {kClassRead, 0x0A, {}};
}

void DecodeSetup(const QByteArray& reply, SetupBytes setup) {
  std::fill(setup.begin(), setup.end(), std::uint8_t{0});
  if (reply.size() < kReplyDataOffset + kSetupWireWords * 2) return;
  const auto* data = reinterpret_cast<const std::uint8_t*>(reply.constData()) + kReplyDataOffset;
  for (int word = 0; word < kSetupWireWords; ++word) {
    WriteLe16(setup.data() + 2 * word, ReadBe16(data + 2 * word));
  }
}

LinkResult ReadSetup(LinkOperations& ops, SetupBytes setup) {
  return ops.RunDirect(ReadSetupMessage(), kSetupReplyLength, SetupDecoder(setup),
                       ZeroSetup(setup));
}

LinkResult PostReadSetup(LinkOperations& ops) {
  return ops.RunPost(ReadSetupMessage(), PostAck::Acknowledged);
}

LinkResult FetchSetup(LinkOperations& ops, SetupBytes setup) {
  return ops.RunFetch(kSetupReplyLength, SetupDecoder(setup), ZeroSetup(setup));
}

InnerMessage WriteSetupMessage(ConstSetupBytes setup) {
  QByteArray body(2, '\0');
  body.reserve(2 + kSetupWireWords * 2);
  for (int word = 0; word < kSetupWireWords; ++word) {
    AppendBe16(body, ReadLe16(setup.data() + 2 * word));
  }
  return {kClassWrite, 0x0A, body};
}

LinkResult WriteSetup(LinkOperations& ops, ConstSetupBytes setup) {
  // Every section write is answered with 11 bytes.
  return ops.RunDirect(WriteSetupMessage(setup), 11);
}

LinkResult PostWriteSetup(LinkOperations& ops, ConstSetupBytes setup) {
  return ops.RunPost(WriteSetupMessage(setup), PostAck::AnyReply);
}

}  // namespace qdx
