#include "transfer/read_project_window.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace qdx {

ReadProjectWindow::ReadProjectWindow(Workspace& session, LinkOperations& ops, Dialogs& dialogs,
                                     QWidget* parent)
    : ProjectTransferWindow(session, ops, dialogs, /*readWindow=*/true, kReadStartDelayMs, parent) {
  setWindowTitle(QStringLiteral("Read from controller"));
  comparison_ = new QPushButton(QStringLiteral("Comparison"), this);
  comparison_->setMinimumWidth(110);
  buttonRow()->insertWidget(buttonRow()->count() - 1, comparison_);
  connect(comparison_, &QPushButton::clicked, this, &ReadProjectWindow::OnComparison);
  connect(startButton(), &QPushButton::clicked, this, [this] {
    // No comparison can be asked for while any run is under way.
    comparison_->setEnabled(!running() && !engine().Running());
  });
}

void ReadProjectWindow::OnComparison() {
  if (running() || engine().Running()) return;
  comparisonMode_ = true;
  comparison_->setEnabled(false);
  BeginStart();
}

RunSummary ReadProjectWindow::Run(const RowSelection& rows) {
  return engine().Read(rows, comparisonMode_);
}

void ReadProjectWindow::RunEnded() {
  comparisonMode_ = false;
  comparison_->setEnabled(true);
}

}  // namespace qdx
