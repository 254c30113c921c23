// The one object that holds what the program shares process-wide: the project's blocks,
// the settings read at start and the link choices. The application shell owns it and hands
// it by reference to whatever needs it; tests make their own.
#pragma once

#include <QString>
#include <functional>

#include "app/project_files.h"
#include "app/settings.h"
#include "link/link_settings.h"

namespace qdx {

struct Session {
  ProjectBlocks blocks;
  AppSettings settings;

  bool moduleFlag = false;     // module path instead of the direct path
  int codePageIndex = 0;       // 0 Standard, 1 Cyrillic, 2 Polish, 3 PC852
  LinkSettings link;
  int stationAddress = 1;      // 0..247
  bool writePending = false;   // a write happened since the last reset offer
  int ileBlokProgram = 2;      // pages per program transfer

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
  // Every transfer calls it immediately before it starts, so a change in the main window
  // takes effect with the next transaction. Does nothing without connectionFields.
  void ReadConnectionSettings();
};

}  // namespace qdx
