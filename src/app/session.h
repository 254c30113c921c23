// The one object that holds what the program shares process-wide: the project's blocks, the
// link's context, the settings read at start and the folders. The application shell owns it
// and hands it by reference to whatever needs it; engines and windows see it as a Workspace,
// the link as a LinkContext and its line settings. Tests make their own.
#pragma once

#include <QString>
#include <functional>

#include "config/workspace.h"
#include "files/settings.h"

namespace qdx {

struct Session : Workspace {
  AppSettings settings;

  // Folder of the executable: settings files, template, trace file and emulator live there.
  QString programDir;
  // Folder for what is written when programDir is not writable.
  QString writableDir;

  // "/D" on the command line: the link appends its traffic trace to trans.txt.
  bool traceEnabled = false;
  // The main window's connection fields as they are now; unset where there is no main window
  // (qdx, tests), which set link and stationAddress directly.
  std::function<ConnectionFields()> connectionFields;

  // Where settings files are read from and written to.
  SettingsFolders settingsFolders() const { return {programDir, writableDir}; }
  // Copies the main window's port, speed and RS-485 address into link and stationAddress.
  // Does nothing without connectionFields.
  void ReadConnectionSettings() override;
};

}  // namespace qdx
