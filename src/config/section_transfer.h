// Moving configuration sections between the project and the controller, for the list windows
// ("Read from controller", "Write to controller"), the record editors (the same two actions on
// one record), the setup window and the passwords window ("Read", "Send").
//
// How a window uses it:
//   SectionTransfer transfer(session, ops, dialogs, progress, pump);
//   // list window, "Read from controller":
//   const TransferResult r = transfer.ReadList(SectionId::Relays);
//   if (r.imageChanged) RefillTable();               // memproj from the project image
//   // editor, "Write to controller" (the controls stored into `working` first):
//   transfer.WriteAlarm(n, AlarmRecord(working.data()));
//   // editor, "Read from controller":
//   if (transfer.ReadAlarm(n, AlarmRecord(working.data())).completed()) RefillControls();
// The engine shows every message itself through Dialogs ("No communication", "Controller must be
// in STOP mode", a value the wire cannot carry, "Operation completed"), drives the progress
// window and hides it at the end of every transfer, and after every write that sent something
// sets the write-pending flag and makes the "Reset device?" offer. The result only tells the
// window what happened, so it can refresh what it shows.
//
// List transfers work on the session's blocks in place; editor transfers work on the caller's
// copy of one record and never touch the project image. Every transfer first takes the main
// window's connection fields (Session::ReadConnectionSettings).
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <span>

#include "model/blocks.h"
#include "model/dialogs.h"
#include "config/workspace.h"
#include "model/records.h"
#include "link/operations.h"
#include "link/path_dispatcher.h"
#include "link/section_wire.h"

namespace qdx {

enum class TransferOutcome {
  Completed,  // everything was transferred
  Failed,     // an exchange failed or an answer never became ready: "No communication" shown
  Cancelled,  // the user pressed "Cancel": stopped quietly
  Refused,    // nothing more was sent; refusal says why (a message was shown)
};

enum class TransferRefusal {
  None,
  StopMode,      // the controller runs: "Controller must be in STOP mode"
  InvalidValue,  // a value its wire field cannot carry; nothing was sent
  Busy,          // another transfer of this engine is running; nothing was sent
};

struct TransferResult {
  TransferOutcome outcome = TransferOutcome::Completed;
  TransferRefusal refusal = TransferRefusal::None;
  // Exchanges of the transfer's unit that went through: blocks, the preset table of a process
  // list, program pages.
  int blocksDone = 0;
  int blocksTotal = 0;
  // A list read stored at least one received record into the project blocks (refill the
  // table); an editor read replaced the working record (refill the controls).
  bool imageChanged = false;
  // The value that stopped a write before it began.
  std::optional<EncodeError> invalid;
  // How the exchange that ended a failed transfer went (why there was "No communication").
  PathOutcome stoppedAt;

  bool completed() const { return outcome == TransferOutcome::Completed; }
};

// Texts of the engine's own messages.
inline const QString kOperationCompleted = QStringLiteral("Operation completed");
// Appended to EncodeError::Message() when a write is refused before its first byte.
inline const QString kCorrectAndWriteAgain = QStringLiteral(". Correct it and write again.");

// The message shown for a refused value: "Relay 7, Ta: 70000 is outside 0..65535. Correct it
// and write again."
QString InvalidValueMessage(const EncodeError& error);

// A password entry as "Send" stores it: its first six characters, with blanks in front of a
// shorter one (an empty entry becomes six blanks).
QByteArray NormalisedPasswordEntry(const QByteArray& text);

class SectionTransfer {
 public:
  // pump lets pending window messages run between blocks on the direct path (the module path
  // lets them run inside its wait); empty in tests and in qdx.
  SectionTransfer(Workspace& session, LinkOperations& ops, Dialogs& dialogs, Progress& progress,
                  EventPump pump = {});

  // --- list windows ---
  // The list sections: relays, both process sets, programs (1..99), alarms, special statuses,
  // analog outputs (layout by the controller's program version) and the PID table.
  // Reads the section into its place in the project (the PID table for Pid).
  // Programs and analog outputs read the controller's setup block first; programs get
  // ileBlokProgram and their step count from its program version, special statuses get their
  // fixed names back.
  TransferResult ReadList(SectionId section);
  // Renumbers the section (processes: both sets; programs: all 100 slots), checks every value
  // against its wire field, then writes block by block, fillers (copies of record 1) after the
  // last record; then the reset offer.
  TransferResult WriteList(SectionId section);

  // --- record editors: n is the record's slot, working the editor's copy ---
  // Body block (n - 1) / 8 and the set's preset table; the copy is replaced only when both
  // arrived.
  TransferResult ReadProcess(ProcessSet set, int n, ProcessRecord working);
  // WriteProcess, then WriteProcessPresets, both addressed by n - 1.
  TransferResult WriteProcess(ProcessSet set, int n, ConstProcessRecord working);
  // Every page of the program whose number the copy holds (101: the washing program, whose
  // name stays "WASHING"); the copy is replaced only when all pages arrived.
  TransferResult ReadProgram(ProgramRecord working);
  TransferResult WriteProgram(ConstProgramRecord working);
  // Block (n - 1) / 12, entry (n - 1) % 12.
  TransferResult ReadAlarm(int n, AlarmRecord working);
  TransferResult WriteAlarm(int n, ConstAlarmRecord working);
  // The block of six, entry n - 1; the copy keeps its own name.
  TransferResult ReadSpecialStatus(int n, SpecialStatusRecord working);
  TransferResult WriteSpecialStatus(int n, ConstSpecialStatusRecord working);

  // --- setup window ---
  // Into the window's copy, which changes only when the read succeeded.
  TransferResult ReadSetup(std::span<std::uint8_t, image::kSetupSize> windowCopy);
  // Copies the window's copy into the project's setup block and sends it (no STOP-mode check);
  // "Operation completed" or "No communication", then the reset offer.
  TransferResult SendSetup(std::span<const std::uint8_t, image::kSetupSize> windowCopy);

  // --- passwords window ---
  // Into the window's block, which changes only when the read succeeded.
  TransferResult ReadPasswords(std::span<std::uint8_t, passwords::kSize> windowBlock);
  // Normalises the window's entries (NormalisedPasswordEntry), copies the window's block into
  // the project's PasswordBlock and sends it (no STOP-mode check); "Operation completed" or
  // "No communication", then the reset offer.
  TransferResult SendPasswords(std::span<std::uint8_t, passwords::kSize> windowBlock);

  bool Running() const { return running_; }

 private:
  class Run;
  friend class Run;

  Workspace& session_;
  LinkOperations& ops_;
  Dialogs& dialogs_;
  Progress& progress_;
  EventPump pump_;
  bool running_ = false;
};

}  // namespace qdx
