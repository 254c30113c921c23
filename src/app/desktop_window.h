// The desktop application's objects, built in the order they must outlive one another: the
// port, the link, its operations and the section engine first, the main window that holds
// references to them last, so the window (and its close handler) goes first.
#pragma once

#include <memory>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/session.h"
#include "config/section_table.h"
#include "config/section_transfer.h"
#include "link/link.h"
#include "link/operations.h"
#include "link/port_status.h"
#include "model/dialogs.h"

namespace qdx {

// The main window with everything it works through; main() and the window tests build it.
class Desktop {
 public:
  // With "/D" the link appends its traffic to trans.txt where the settings are written.
  Desktop(Session& session, Dialogs& dialogs, Progress& progress, Clock& clock,
          std::unique_ptr<SerialPort> port, const StartupArguments& arguments);

  TForm1& window() { return window_; }
  Link& link() { return link_; }
  WatchedSerialPort& port() { return *port_; }

 private:
  void PlugInWindows(Session& session, Dialogs& dialogs);

  WatchedSerialPort* port_;  // owned by the link
  Link link_;
  LinkOperations operations_;
  SectionTransfer sectionTransfer_;
  SectionWindowContext sections_;
  TForm1 window_;
};

}  // namespace qdx
