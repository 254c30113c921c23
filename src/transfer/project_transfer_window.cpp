#include "transfer/project_transfer_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qdx {

namespace {
const QString kStart = QStringLiteral("Start");
const QString kStop = QStringLiteral("Stop");
}  // namespace

ProjectTransferWindow::ProjectTransferWindow(Workspace& session, LinkOperations& ops,
                                             Dialogs& dialogs, bool readWindow, int startDelayMs,
                                             QWidget* parent)
    : QDialog(parent), session_(session), dialogs_(dialogs), startDelayMs_(startDelayMs) {
  setModal(true);
  engine_ = std::make_unique<ProjectTransfer>(session, ops, dialogs, *this);
  engine_->SetEventPump([] { QCoreApplication::processEvents(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 14, 14, 14);
  layout->setSpacing(10);
  // Two columns of five rows, in the order of the transfer.
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(6);
  for (int i = 0; i < kProjectRowCount; ++i) {
    const ProjectRow r = kProjectRows[static_cast<std::size_t>(i)];
    auto* row = new SectionRow(RowCaption(r, readWindow), this);
    rows_[static_cast<std::size_t>(i)] = row;
    grid->addWidget(row, i % 5, i / 5);
  }
  layout->addLayout(grid);

  buttons_ = new QHBoxLayout;
  selectAll_ = new QPushButton(QStringLiteral("Select All"), this);
  start_ = new QPushButton(kStart, this);
  start_->setDefault(true);
  for (QPushButton* b : {selectAll_, start_}) b->setMinimumWidth(110);
  buttons_->addWidget(selectAll_);
  buttons_->addStretch(1);
  buttons_->addWidget(start_);
  layout->addLayout(buttons_);

  timer_ = new QTimer(this);
  timer_->setSingleShot(true);
  connect(timer_, &QTimer::timeout, this, &ProjectTransferWindow::RunNow);
  connect(selectAll_, &QPushButton::clicked, this, &ProjectTransferWindow::OnSelectAll);
  connect(start_, &QPushButton::clicked, this, &ProjectTransferWindow::OnStartStop);

  session_.ReadConnectionSettings();
}

ProjectTransferWindow::~ProjectTransferWindow() = default;

void ProjectTransferWindow::OnSelectAll() {
  for (SectionRow* r : rows_) r->SetTicked(true);
}

void ProjectTransferWindow::OnStartStop() {
  if (running_) {
    Stop();
  } else {
    BeginStart();
  }
}

void ProjectTransferWindow::BeginStart() {
  for (SectionRow* r : rows_) {
    r->SetResult({});
    r->HideGauge();
    // A run after a Stop shows its results again.
    r->SetResultVisible(true);
  }
  start_->setText(kStop);
  running_ = true;
  timer_->start(startDelayMs_);
}

void ProjectTransferWindow::Stop() {
  for (SectionRow* r : rows_) {
    r->SetResult({});
    r->HideGauge();
    r->SetResultVisible(false);
  }
  start_->setText(kStart);
  running_ = false;
  if (timer_->isActive()) {
    timer_->stop();
    RunEnded();
    return;
  }
  engine_->RequestStop();
  // The run ends at its next check; until then no second run may start.
  start_->setEnabled(false);
}

void ProjectTransferWindow::RunNow() {
  RowSelection selection{};
  for (int i = 0; i < kProjectRowCount; ++i) {
    selection[static_cast<std::size_t>(i)] = rows_[static_cast<std::size_t>(i)]->ticked();
  }
  lastRun_ = Run(selection);
  start_->setText(kStart);
  start_->setEnabled(true);
  running_ = false;
  RunEnded();
  if (closeAfterRun_) {
    closeAfterRun_ = false;
    QTimer::singleShot(0, this, [this] { QDialog::reject(); });
  }
}

void ProjectTransferWindow::RowStarted(ProjectRow r, int maximum) {
  row(r)->StartGauge(maximum);
}

void ProjectTransferWindow::RowProgress(ProjectRow r, int position) {
  row(r)->SetPosition(position);
}

void ProjectTransferWindow::RowResult(ProjectRow r, const RowOutcome& outcome) {
  row(r)->SetResult(outcome.ResultText());
  // Where the difference is, or why the row failed, on the result text.
  const bool explained = outcome.kind == RowOutcome::Difference ||
                         outcome.kind == RowOutcome::Error || outcome.kind == RowOutcome::Invalid;
  row(r)->resultLabel()->setToolTip(explained ? outcome.Summary() : QString());
  // The difference also on a line of its own, worded as qdx compare words it.
  if (outcome.kind == RowOutcome::Difference && outcome.difference) {
    row(r)->SetDetail(outcome.difference->Text());
  }
}

void ProjectTransferWindow::Message(const QString& text) {
  dialogs_.ShowLinkMessage(text);
}

void ProjectTransferWindow::closeEvent(QCloseEvent* event) {
  if (engine_->Running()) {
    // The run is inside this window's timer: abandon it and close when it has returned.
    engine_->RequestCancel();
    closeAfterRun_ = true;
    event->ignore();
    return;
  }
  timer_->stop();
  QDialog::closeEvent(event);
}

void ProjectTransferWindow::reject() {
  if (engine_->Running()) {
    engine_->RequestCancel();
    closeAfterRun_ = true;
    return;
  }
  timer_->stop();
  QDialog::reject();
}

}  // namespace qdx
