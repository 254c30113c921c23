// Reading the menu texts from a controller and writing them back, on the direct or the module
// path, with the menu window's progress and messages.
//
// Example (the menu window's "Read from controller"):
//   MenuTransfer transfer(ops, dialogs, progress, folders);
//   const MenuReadResult r = transfer.Read(document);
//   if (r.firstStage) EnableWriting();
// The engine shows "No communication" itself through Dialogs where the window must, and hides
// the progress window at the end of every transfer. Every transfer first takes the main
// window's connection fields (LinkContext::ReadConnectionSettings).
#pragma once

#include <QString>

#include "files/settings.h"
#include "link/device_transactions.h"
#include "link/operations.h"
#include "link/path_dispatcher.h"
#include "model/dialogs.h"
#include "panel/menu_texts.h"

namespace qdx {

// Progress captions.
inline const QString kPredefinedMenuCaption = QStringLiteral("Predefined menu");
inline const QString kUsersMenuCaption = QStringLiteral("User\u2019s menu");
inline const QString kMenuRecordCaption = QStringLiteral("Menu record");
// Files the four-block write leaves next to the program.
inline const QString kCodePageHeaderFile = QStringLiteral("StrKod.bin");
inline const QString kMenuStreamFile = QStringLiteral("jezyki.bin");

// How a read or write ended, for windows that refresh and for qdx's one line.
struct MenuTransferResult {
  enum Kind {
    Done,
    Failed,     // "No communication" (or a quiet stop: see quiet)
    Cancelled,  // "Cancel" in the progress window
    Refused,    // nothing sent: message says why (a three-block header that cannot be built)
  };
  Kind kind = Done;
  bool quiet = false;       // stopped without a message, as the window must
  PathOutcome stoppedAt;    // the exchange that stopped it
  QString message;          // what was shown, or what qdx should print
  bool firstStage = false;  // read: the first stage succeeded, writing may be enabled
  bool ok() const { return kind == Done; }
};

// Applies the device information's code-page bytes (second and fourth) to the two selected
// languages: four-block layout 17 -> 1, 18 -> 3, otherwise unchanged; three-block layout
// 17 -> 1, otherwise 0.
void ApplyDeviceCodePages(MenuLanguages& languages, const DeviceInfo& info, MenuLayout layout);

class MenuTransfer {
 public:
  // folders: where "StrKod.bin" and "jezyki.bin" are written (next to the program).
  MenuTransfer(LinkOperations& ops, Dialogs& dialogs, Progress& progress,
               SettingsFolders folders, EventPump pump = {});

  // Reads the setup block (layout from word 98), then the first stage into an emptied table,
  // then the second stage. A second stage that fails leaves the language columns as they were.
  MenuTransferResult Read(MenuDocument& document);
  // Sends the code-page header and the language blocks in the document's layout.
  MenuTransferResult Write(const MenuDocument& document);

 private:
  LinkOperations& ops_;
  Dialogs& dialogs_;
  Progress& progress_;
  SettingsFolders folders_;
  EventPump pump_;
};

}  // namespace qdx
