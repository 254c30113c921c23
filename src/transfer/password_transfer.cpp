#include "transfer/password_transfer.h"

#include "transfer/project_transfer.h"

namespace qdx {

namespace {

RowOutcome RowOf(const TransferResult& result, LinkOperations& ops) {
  if (result.completed()) return RowOutcomeOf({}, ops.link());
  if (!result.stoppedAt.ok()) return RowOutcomeOf(result.stoppedAt, ops.link());
  RowOutcome refused;  // another transfer of the engine was running
  refused.kind = RowOutcome::Error;
  refused.reason = QStringLiteral("another transfer is running");
  return refused;
}

}  // namespace

RowOutcome SendPasswordEntries(SectionTransfer& transfer, LinkOperations& ops,
                               PasswordBlock& block) {
  return RowOf(transfer.SendPasswords(block.bytes()), ops);
}

RowOutcome ReadPasswordEntries(SectionTransfer& transfer, LinkOperations& ops,
                               PasswordBlock& block) {
  return RowOf(transfer.ReadPasswords(block.bytes()), ops);
}

}  // namespace qdx
