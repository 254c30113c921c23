// The program editor's step grid without its widgets: the 13 columns, what each cell shows,
// how a typed value is checked and stored into the step, and which stored values the
// controller link cannot carry.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/dialogs.h"
#include "model/process_record.h"
#include "model/program_record.h"

namespace qdx {

// What a column's cells are and which cell editor opens on them.
enum class StepCell {
  Step,     // the step number, not editable
  Process,  // the process drop-down
  Integer,  // an integer spin field
  Tenths,   // a real field, stored in tenths
};

// One column of the step grid.
struct StepColumn {
  QString title;
  StepCell kind = StepCell::Integer;
  int width = 0;  // characters the number is right-aligned in; 0: as it is
  // What the cell editor accepts (tenths for Delta).
  std::int32_t lower = 0;
  std::int32_t upper = 0;
  // What the controller link carries of the field.
  std::int32_t wireLower = 0;
  std::int32_t wireUpper = 0;
  std::int32_t (*get)(ConstProgramStep) = nullptr;
  void (*set)(ProgramStep, std::int32_t) = nullptr;
};

// "Step", "Name", "Hour", "minute", ..., "Pause time".
const std::vector<StepColumn>& StepColumns();
inline constexpr int kStepNameColumn = 1;

// The process drop-down: "No data", then the names of processes 1..16 of the set; entry k
// stands for process k.
QStringList ProcessChoices(const ProjectImage& image, ProcessSet set, int codePageIndex);
// The process a step names: its entry, "No data" for 0 and 20, and "No data (N)" for a
// number the set does not have.
QString ProcessCellText(std::int32_t number, const QStringList& choices);
// The text of a cell of step s.
QString StepCellText(const StepColumn& column, ConstProgramStep step, int s,
                     const QStringList& choices);
// Why the controller link cannot carry the cell's stored value; nothing when it can.
std::optional<QString> WireLimitNote(const StepColumn& column, ConstProgramStep step);

// A typed integer or real cell left: out of range (or not a number) shows its message and
// stores 0. Returns the stored value.
std::int32_t StoreTypedCell(const StepColumn& column, ProgramStep step, const QString& text,
                            Dialogs& dialogs);
// The drop-down left with entry `choice`; no selection (-1) keeps the step's process.
void StoreProcessChoice(ProgramStep step, int choice);

}  // namespace qdx
