#include "transfer/send_project_window.h"

namespace qdx {

SendProjectWindow::SendProjectWindow(Workspace& session, LinkOperations& ops, Dialogs& dialogs,
                                     QWidget* parent)
    : ProjectTransferWindow(session, ops, dialogs, /*readWindow=*/false, kSendStartDelayMs,
                            parent) {
  setWindowTitle(QStringLiteral("Write to controller"));
}

RunSummary SendProjectWindow::Run(const RowSelection& rows) {
  return engine().Send(rows);
}

}  // namespace qdx
