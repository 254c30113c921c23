// SendProjectWindow: "Write to controller", the ticked sections of the project written to the
// controller in one run, then the offer to reset it.
#pragma once

#include "transfer/project_transfer_window.h"

namespace qdx {

inline constexpr int kSendStartDelayMs = 300;

class SendProjectWindow : public ProjectTransferWindow {
  Q_OBJECT
 public:
  SendProjectWindow(Workspace& session, LinkOperations& ops, Dialogs& dialogs,
                    QWidget* parent = nullptr);

 protected:
  RunSummary Run(const RowSelection& rows) override;
};

}  // namespace qdx
