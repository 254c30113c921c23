// What the "Write to controller" and "Read from controller" windows share: ten section rows,
// "Select All", the Start/Stop button, the run started from a one-shot timer, and the
// engine's reports shown in the rows.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "model/dialogs.h"
#include "config/workspace.h"
#include "link/operations.h"
#include "transfer/project_transfer.h"
#include "transfer/section_row_window.h"

class QPushButton;
class QTimer;
class QHBoxLayout;

namespace qdx {

class ProjectTransferWindow : public QDialog, public TransferListener {
  Q_OBJECT
 public:
  ~ProjectTransferWindow() override;

  SectionRow* row(ProjectRow r) const { return rows_[static_cast<std::size_t>(RowIndex(r))]; }
  QPushButton* selectAllButton() const { return selectAll_; }
  QPushButton* startButton() const { return start_; }
  ProjectTransfer& engine() { return *engine_; }
  bool running() const { return running_; }
  // Milliseconds from Start to the run: lets the click return first.
  int startDelay() const { return startDelayMs_; }
  // The last run's outcome.
  const RunSummary& lastRun() const { return lastRun_; }

  // TransferListener.
  void RowStarted(ProjectRow row, int maximum) override;
  void RowProgress(ProjectRow row, int position) override;
  void RowResult(ProjectRow row, const RowOutcome& outcome) override;
  void Message(const QString& text) override;

 public slots:
  void OnSelectAll();
  void OnStartStop();

 protected:
  ProjectTransferWindow(Workspace& session, LinkOperations& ops, Dialogs& dialogs, bool readWindow,
                        int startDelayMs, QWidget* parent);

  // Runs the engine for the ticked rows.
  virtual RunSummary Run(const RowSelection& rows) = 0;
  virtual void RunEnded() {}
  // Clears the rows, sets the button to "Stop" and arms the timer.
  void BeginStart();
  QHBoxLayout* buttonRow() const { return buttons_; }

  void closeEvent(QCloseEvent* event) override;
  void reject() override;

  Workspace& session_;
  Dialogs& dialogs_;

 private:
  void Stop();
  void RunNow();

  std::unique_ptr<ProjectTransfer> engine_;
  std::array<SectionRow*, kProjectRowCount> rows_{};
  QPushButton* selectAll_ = nullptr;
  QPushButton* start_ = nullptr;
  QHBoxLayout* buttons_ = nullptr;
  QTimer* timer_ = nullptr;
  int startDelayMs_ = 0;
  bool running_ = false;
  bool closeAfterRun_ = false;
  RunSummary lastRun_;
};

}  // namespace qdx
