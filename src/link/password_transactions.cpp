#include "link/password_transactions.h"

#include <algorithm>

#include "link/section_wire.h"

namespace qdx {

namespace {

constexpr std::uint8_t kCmdPasswords = 0x11;

}  // namespace

InnerMessage PasswordsReadMessage() {
  return {kClassRead, kCmdPasswords, {}};
}

LinkResult DecodePasswords(const QByteArray& reply, PasswordBytes block) {
  if (reply.size() < kPasswordsReplyLength) return kLinkShortReply;
  const std::uint8_t* data = ReplyBytes(reply) + kReplyDataOffset;
  std::fill(block.begin(), block.end(), std::uint8_t{0});
  for (int i = 0; i < passwords::kEntryCount; ++i) {
    const TextField entry(block.data() + i * passwords::kEntrySize, passwords::kEntryCapacity);
    entry.SetBytes(QByteArrayView(data + i * kPasswordWireSize, kPasswordWireSize));
  }
  return kLinkOk;
}

ReplyDecoder PasswordsDecoder(PasswordBytes block) {
  return [=](const QByteArray& reply) { return DecodePasswords(reply, block); };
}

InnerMessage PasswordsWriteMessage(ConstPasswordBytes block) {
  QByteArray body;
  body.reserve(passwords::kEntryCount * kPasswordWireSize);
  for (int i = 0; i < passwords::kEntryCount; ++i) {
    const ConstTextField entry(block.data() + i * passwords::kEntrySize, passwords::kEntryCapacity);
    QByteArray text = entry.Bytes().left(kPasswordWireSize);
    text.append(kPasswordWireSize - text.size(), '\0');
    body.append(text);
  }
  return {kClassWrite, kCmdPasswords, body};
}

LinkResult ReadPasswords(LinkOperations& ops, PasswordBytes block) {
  return ops.RunDirect(PasswordsReadMessage(), kPasswordsReplyLength, PasswordsDecoder(block));
}

LinkResult PostReadPasswords(LinkOperations& ops) {
  return ops.RunPost(PasswordsReadMessage(), PostAck::Acknowledged);
}

LinkResult FetchPasswords(LinkOperations& ops, PasswordBytes block) {
  return ops.RunFetch(kPasswordsReplyLength, PasswordsDecoder(block));
}

LinkResult WritePasswords(LinkOperations& ops, ConstPasswordBytes block) {
  return ops.RunDirect(PasswordsWriteMessage(block), kSectionWriteReplyLength);
}

LinkResult PostWritePasswords(LinkOperations& ops, ConstPasswordBytes block) {
  return ops.RunPost(PasswordsWriteMessage(block), PostAck::AnyReply);
}

}  // namespace qdx
