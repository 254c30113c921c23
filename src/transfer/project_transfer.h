// The whole-project send and read: the ten rows of the "Write to controller" and "Read from
// controller" windows in their order, with their gauges, stop checks, result texts and the
// comparison of a read with the project. GUI-free: the windows and qdx drive it and watch it
// through a TransferListener.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "model/dialogs.h"
#include "config/section_registry.h"
#include "config/workspace.h"
#include "link/analog_output_transactions.h"
#include "link/operations.h"
#include "link/path_dispatcher.h"
#include "link/section_wire.h"
#include "transfer/project_rows.h"

namespace qdx {

inline const QString kOperationComplete = QStringLiteral("Operation complete");

// A value of a ticked row that its wire field cannot carry.
struct RowRefusal {
  ProjectRow row;
  EncodeError error;
};

// How many refused values a message box lists; the rest are counted ("… and 3 more").
inline constexpr std::size_t kRefusedValuesShown = 12;

// The refused values, one line each ("Relays: Relay 7, Ta: 70000 is outside 0..65535"), under
// a line saying they cannot be sent; past kRefusedValuesShown only their number.
QString RefusedValuesText(const std::vector<RowRefusal>& refusals);
// The row's first refused value, or null when none of its values was refused.
const RowRefusal* RefusalOf(ProjectRow row, const std::vector<RowRefusal>& refusals);
// The outcome a refused row shows: its first refused value.
RowOutcome RefusedOutcome(const RowRefusal& refusal);

// What a whole run came to.
struct RunSummary {
  bool stopped = false;  // ended by Stop (or a cancel) before its last row
  std::array<RowOutcome, kProjectRowCount> rows{};

  const RowOutcome& operator[](ProjectRow row) const {
    return rows[static_cast<std::size_t>(RowIndex(row))];
  }
};

// What a run that was not stopped says at its end: "Operation complete" when no row failed,
// else how many of the ticked sections failed and which (by their captions in the window).
QString RunEndMessage(const RunSummary& summary, const RowSelection& rows, bool readWindow);

// "No communication: no reply" and the like, for a failed exchange.
QString DescribeLinkFailure(LinkResult result, const QString& portError = {});

// What a row shows for a read or write on its path that ended as o.
RowOutcome RowOutcomeOf(const PathOutcome& o, Link& link);

// Pages per program for the send and read rows: 2 up to version 500, 3 up to 899, 5 from 900;
// the washing program never gets more than 3.
int ProgramRowPages(std::int16_t programVersion);
int WashingProgramRowPages(std::int16_t programVersion);

class ProjectTransfer {
 public:
  // The blocks moved are session.blocks (image and PID table).
  ProjectTransfer(Workspace& session, LinkOperations& ops, Dialogs& dialogs,
                  TransferListener& listener);

  // Lets window messages run between transfers and rows; empty by default.
  void SetEventPump(EventPump pump) { pump_ = std::move(pump); }
  // What follows every send run; by default the "Reset device?" offer (ResetAfterWrite).
  void SetResetAfterRun(std::function<void()> reset) { resetAfterRun_ = std::move(reset); }

  // Stop: the run ends at its next check; a transfer under way finishes first.
  void RequestStop() { stopRequested_ = true; }
  // Stop, and a wait for the module's answer under way is abandoned as well.
  void RequestCancel() {
    stopRequested_ = true;
    cancelRequested_ = true;
  }
  bool StopRequested() const { return stopRequested_; }
  bool Running() const { return running_; }

  // Every ticked row checked against its wire fields before anything is sent (the program rows
  // and the analog outputs read the controller's program version for it): every refused value,
  // in row, record and field order; empty when all can travel. A row whose check needs the
  // version that could not be read is left to the run.
  std::vector<RowRefusal> CheckRows(const RowSelection& rows);
  // Writes the selected rows of the project to the controller, then runs the reset offer.
  // Rows in refused are not sent: they end with their first refusal (as CheckRows found it).
  RunSummary Send(const RowSelection& rows, const std::vector<RowRefusal>& refused = {});
  // Reads the selected rows into the project; with comparison, compares each with the project
  // held before the run and puts that project (image and PID table) back at the end.
  RunSummary Read(const RowSelection& rows, bool comparison);

  // The controller's program version as this run read it, if it did.
  std::optional<std::int16_t> ControllerProgramVersion() const { return programVersion_; }

 private:
  enum class Mode { Send, Read };
  struct Step;

  void BeginRun();
  void Pump();
  void ConnectionSettings();
  // The first time in a run: ReadSetupParameters; false (after its "No communication") when it
  // fails. Later rows of the run reuse the version.
  bool EnsureProgramVersion();

  // The row's values that cannot travel (see CheckRows).
  std::vector<EncodeError> RefusedValues(ProjectRow row);
  RowOutcome SendRow(ProjectRow row);
  RowOutcome ReadRow(ProjectRow row);

  RowOutcome SendSetup();
  RowOutcome SendProcesses(ProjectRow row);
  RowOutcome SendPrograms();
  RowOutcome SendWashingProgram();
  // A section that travels as blocks of whole records, as its registry entry describes it:
  // renumbered, checked, then block by block with fillers after the last record.
  RowOutcome SendBlocks(ProjectRow row);

  RowOutcome ReadSetupRow();
  RowOutcome ReadProcesses(ProjectRow row);
  RowOutcome ReadPrograms();
  RowOutcome ReadWashingProgram();
  // Block by block into the project; a block is stored once it arrived.
  RowOutcome ReadBlocks(ProjectRow row);

  // The codec's context: the code page, and the analog-output layout of the controller's
  // program version (the current layout while the run has not read it).
  CodecContext Codec() const;
  // True (a failed setup read) when the row needs the program version and it cannot be read.
  bool NeedsProgramVersion(ProjectRow row);

  // The row's path, chosen after its connection fields were taken.
  void ChoosePath();
  // One write or read on the row's path; stage(1..3) follows post, wait and fetch.
  RowOutcome Write(const EncodedMessage& message, const StageHook& stage = {});
  RowOutcome Write(const InnerMessage& inner, const StageHook& stage = {});
  RowOutcome Read(const InnerMessage& inner, int replyLength, const ReplyDecoder& decode,
                  const StageHook& stage = {});
  RowOutcome Refusal(ProjectRow row, const QString& valueMessage);

  void Started(ProjectRow row, int maximum) { listener_.RowStarted(row, maximum); }
  void Progress(ProjectRow row, int position) { listener_.RowProgress(row, position); }

  Workspace& session_;
  LinkOperations& ops_;
  Dialogs& dialogs_;
  TransferListener& listener_;
  EventPump pump_;
  std::function<void()> resetAfterRun_;

  std::optional<PathDispatcher> path_;
  bool running_ = false;
  bool stopRequested_ = false;
  bool cancelRequested_ = false;
  std::optional<std::int16_t> programVersion_;
};

}  // namespace qdx
