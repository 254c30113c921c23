// ReadProjectWindow: "Read from controller", the ticked sections read into the project, or
// with "Comparison" compared with it and the project put back.
#pragma once

#include "transfer/project_transfer_window.h"

namespace qdx {

inline constexpr int kReadStartDelayMs = 100;

class ReadProjectWindow : public ProjectTransferWindow {
  Q_OBJECT
 public:
  ReadProjectWindow(Workspace& session, LinkOperations& ops, Dialogs& dialogs,
                    QWidget* parent = nullptr);

  QPushButton* comparisonButton() const { return comparison_; }
  bool comparisonMode() const { return comparisonMode_; }

 public slots:
  void OnComparison();

 protected:
  RunSummary Run(const RowSelection& rows) override;
  void RunEnded() override;

 private:
  QPushButton* comparison_ = nullptr;
  bool comparisonMode_ = false;
};

}  // namespace qdx
