#include "transfer/password_transfer.h"

#include <algorithm>

#include "model/password_entry.h"
#include "link/password_transactions.h"
#include "link/section_wire.h"
#include "transfer/project_transfer.h"

namespace qdx {

namespace {

constexpr int kEntryWidth = 6;
constexpr int kPauseBeforeWaitMs = 100;

RowOutcome Done(RowOutcome::Kind kind, QString reason = {}) {
  RowOutcome o;
  o.kind = kind;
  o.reason = std::move(reason);
  return o;
}

RowOutcome Failed(LinkOperations& ops, LinkResult r) {
  const QString port =
      ops.link().LastPortError() != PortError::None ? ops.link().LastPortErrorText() : QString();
  return Done(RowOutcome::Error, DescribeLinkFailure(r, port));
}

RowOutcome AwaitAnswer(LinkOperations& ops) {
  ops.clock().SleepMilliseconds(kPauseBeforeWaitMs);
  if (ops.AwaitModuleAnswer() != AwaitResult::Ready) {
    return Done(RowOutcome::Error,
                QStringLiteral("No communication: the module's answer never became ready"));
  }
  return Done(RowOutcome::Ok);
}

}  // namespace

QByteArray NormalisedPasswordEntry(const QByteArray& text) {
  const QByteArray kept = text.left(kEntryWidth);
  return QByteArray(kEntryWidth - kept.size(), ' ') + kept;
}

void NormalisePasswordEntries(PasswordBlock& block) {
  for (int i = 1; i <= passwords::kEntryCount; ++i) {
    const PasswordEntryField entry = PasswordEntry(block, i);
    entry.SetBytes(NormalisedPasswordEntry(entry.Bytes()));
  }
}

RowOutcome SendPasswordEntries(LinkOperations& ops, PasswordBlock& block) {
  NormalisePasswordEntries(block);
  ops.MarkWritePending();
  const ConstPasswordBytes bytes = block.bytes();
  if (!ops.ModulePath()) {
    const LinkResult r = WritePasswords(ops, bytes);
    return r == kLinkOk ? Done(RowOutcome::Ok) : Failed(ops, r);
  }
  if (const LinkResult r = PostWritePasswords(ops, bytes); r != kLinkOk) return Failed(ops, r);
  if (RowOutcome o = AwaitAnswer(ops); o.kind != RowOutcome::Ok) return o;
  const LinkResult r = ops.FetchWriteResult(kSectionWriteFetchCount);
  return r == kLinkOk ? Done(RowOutcome::Ok) : Failed(ops, r);
}

RowOutcome ReadPasswordEntries(LinkOperations& ops, PasswordBlock& block) {
  PasswordBlock copy = block;
  const PasswordBytes bytes = copy.bytes();
  LinkResult r = kLinkOk;
  if (!ops.ModulePath()) {
    r = ReadPasswords(ops, bytes);
  } else {
    if (r = PostReadPasswords(ops); r != kLinkOk) return Failed(ops, r);
    if (RowOutcome o = AwaitAnswer(ops); o.kind != RowOutcome::Ok) return o;
    r = FetchPasswords(ops, bytes);
  }
  if (r != kLinkOk) return Failed(ops, r);
  std::copy_n(copy.data(), PasswordBlock::kSize, block.data());
  return Done(RowOutcome::Ok);
}

}  // namespace qdx
