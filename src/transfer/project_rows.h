// The ten sections of a whole-project transfer, in the order the send and read windows list
// them (their names and captions are in the section registry), with what a run reports about each: the listener interface the windows and qdx
// implement, and the outcome of one row.
#pragma once

#include <QString>
#include <array>
#include <optional>

#include "model/blocks.h"

namespace qdx {

// The whole-project windows' name for a section: one of the first ten.
using ProjectRow = SectionId;
inline constexpr int kProjectRowCount = 10;
inline constexpr std::array<ProjectRow, kProjectRowCount> kProjectRows = {
    ProjectRow::Setup,         ProjectRow::Relays,
    ProjectRow::Processes,     ProjectRow::WashingProcesses,
    ProjectRow::Alarms,        ProjectRow::SpecialStatuses,
    ProjectRow::Programs,      ProjectRow::WashingProgram,
    ProjectRow::AnalogOutputs, ProjectRow::Pid};

inline constexpr int RowIndex(ProjectRow row) {
  return static_cast<int>(row);
}

// Which rows a run transfers, indexed by RowIndex.
using RowSelection = std::array<bool, kProjectRowCount>;
inline RowSelection AllRows() {
  RowSelection all;
  all.fill(true);
  return all;
}

// The row's caption in the send window ("Write to controller") or in the read window ("Read
// from controller"), from the section registry.
QString RowCaption(ProjectRow row, bool readWindow);
// The section's name on qdx's command line: "setup", "relays", ..., "pid".
QString RowSectionName(ProjectRow row);
// The row qdx names so; passwords are no row.
std::optional<ProjectRow> RowFromSectionName(const QString& name);

// The first field that differs between the project and the controller.
struct FieldDifference {
  int record = 0;  // 1-based record of the section
  QString field;
  QString project;  // the value as shown: texts in double quotes
  QString controller;

  // record 7 field name: project "FAN", controller "FAN 2"
  QString Text() const;
  friend bool operator==(const FieldDifference&, const FieldDifference&) = default;
};

// How one row ended.
struct RowOutcome {
  enum Kind {
    NotRun,            // not ticked, or the run ended before it
    Ok,                // transferred (and, when compared, equal)
    Error,             // a transfer failed; reason says why
    Invalid,           // a project value the wire cannot carry: nothing of the row was sent
    Difference,        // compared, and the first difference is in difference
    Refused,           // the controller runs ("Controller must be in STOP mode")
    SetupUnavailable,  // the controller's setup block (program version) could not be read
    Stopped,           // Stop was pressed before the row was complete
    Cancelled,         // the run was abandoned while the module's answer was awaited
  };
  Kind kind = NotRun;
  QString reason;
  std::optional<FieldDifference> difference;

  // What the row shows: "OK", "Error", "Difference", or nothing.
  QString ResultText() const;
  // One line's text after "section: " in qdx: OK, Error: <reason>, Difference: <where>.
  QString Summary() const;
};

// What a run tells the window (or qdx) while it runs.
class TransferListener {
 public:
  virtual ~TransferListener() = default;
  // The row's gauge appears at position 0 of maximum.
  virtual void RowStarted(ProjectRow row, int maximum) = 0;
  virtual void RowProgress(ProjectRow row, int position) = 0;
  // The row's result; may come more than once for a row (the last one counts).
  virtual void RowResult(ProjectRow row, const RowOutcome& outcome) = 0;
  // A message for the user ("Operation complete", a value that must be corrected).
  virtual void Message(const QString& text) = 0;
};

}  // namespace qdx
