#include "transfer/send_project_window.h"

#include <algorithm>

namespace qdx {

SendProjectWindow::SendProjectWindow(Workspace& session, LinkOperations& ops, Dialogs& dialogs,
                                     QWidget* parent)
    : ProjectTransferWindow(session, ops, dialogs, /*readWindow=*/false, kSendStartDelayMs,
                            parent) {
  setWindowTitle(QStringLiteral("Write to controller"));
}

RunSummary SendProjectWindow::Run(const RowSelection& rows) {
  // Checked before the first byte: a value that cannot travel holds back its section, and the
  // user decides whether the others go (No unless Yes is pressed).
  const std::vector<RowRefusal> refusals = engine().CheckRows(rows);
  if (refusals.empty()) return engine().Send(rows);
  const QString text = RefusedValuesText(refusals);
  const bool others = std::any_of(kProjectRows.begin(), kProjectRows.end(), [&](ProjectRow row) {
    return rows[static_cast<std::size_t>(RowIndex(row))] && !RefusalOf(row, refusals);
  });
  if (others && dialogs_.AskYesNo(text + QStringLiteral("\n\nSend the other sections?")) ==
                    kAnswerYes) {
    return engine().Send(rows, refusals);
  }
  if (!others) dialogs_.ShowLinkMessage(text + QStringLiteral("\nCorrect them and send again."));
  RunSummary summary;
  for (const ProjectRow row : kProjectRows) {
    if (const RowRefusal* r = RefusalOf(row, refusals)) {
      summary.rows[static_cast<std::size_t>(RowIndex(row))] = RefusedOutcome(*r);
      RowResult(row, RefusedOutcome(*r));
    }
  }
  return summary;
}

}  // namespace qdx
