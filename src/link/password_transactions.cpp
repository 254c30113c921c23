#include "link/password_transactions.h"

#include <algorithm>

namespace qdx {

namespace {

constexpr std::uint8_t kCmdPasswords = 0x11;

// The ten passwords, 6 bytes each, for a WireWriter or a WireReader.
template <typename Wire, typename Byte>
void PasswordEntries(Wire& w, Byte* block) {
  for (int i = 0; i < passwords::kEntryCount; ++i) {
    w.RawText(BasicTextField<Byte>(block + i * passwords::kEntrySize, passwords::kEntryCapacity),
              kPasswordWireSize);
  }
}

}  // namespace

InnerMessage PasswordsReadMessage() {
  return {kClassRead, kCmdPasswords, {}};
}

LinkResult DecodePasswords(const QByteArray& reply, PasswordBytes block) {
  if (reply.size() < kPasswordsReplyLength) return kLinkShortReply;
  std::fill(block.begin(), block.end(), std::uint8_t{0});
  WireReader w(reply, kReplyDataOffset, 0);
  PasswordEntries(w, block.data());
  return kLinkOk;
}

ReplyDecoder PasswordsDecoder(PasswordBytes block) {
  return [=](const QByteArray& reply) { return DecodePasswords(reply, block); };
}

InnerMessage PasswordsWriteMessage(ConstPasswordBytes block) {
  WireWriter w(QStringLiteral("Passwords"), 0);
  PasswordEntries(w, block.data());
  return w.Finish(kClassWrite, kCmdPasswords).message;
}

ReadRequest PasswordsRead(PasswordBytes block) {
  return {PasswordsReadMessage(), kPasswordsReplyLength, PasswordsDecoder(block)};
}

WriteRequest PasswordsWrite(ConstPasswordBytes block) {
  return {{PasswordsWriteMessage(block)}};
}

}  // namespace qdx
