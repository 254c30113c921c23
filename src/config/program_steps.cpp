#include "config/program_steps.h"

#include <cmath>
#include <limits>

#include "config/editor_values.h"
#include "model/numeric.h"
#include "model/record_text.h"

namespace qdx {

namespace {

constexpr std::int32_t kS16Min = std::numeric_limits<std::int16_t>::min();
constexpr std::int32_t kS16Max = std::numeric_limits<std::int16_t>::max();
constexpr std::int32_t kByteMax = 0xFF;
constexpr std::int32_t kU16Max = 0xFFFF;
constexpr std::int32_t kProcessWireMax = 0x100;
constexpr std::int32_t kNoProcess = 20;

std::vector<StepColumn> MakeStepColumns() {
  using G = ConstProgramStep;
  using S = ProgramStep;
  // clang-format off
  return {
      {QStringLiteral("Step"), StepCell::Step, 8, 0, 0, 0, 0, nullptr, nullptr},
      {QStringLiteral("Name"), StepCell::Process, 0, 0, 16, std::numeric_limits<std::int32_t>::min(), kProcessWireMax,
       [](G s) { return s.ProcessNumber(); }, [](S s, std::int32_t v) { s.SetProcessNumber(v); }},
      {QStringLiteral("Hour"), StepCell::Integer, 6, 0, 99, 0, kByteMax,
       [](G s) { return s.Hours(); }, [](S s, std::int32_t v) { s.SetHours(v); }},
      {QStringLiteral("minute"), StepCell::Integer, 6, 0, 59, 0, kByteMax,
       [](G s) { return s.Minutes(); }, [](S s, std::int32_t v) { s.SetMinutes(v); }},
      {QStringLiteral("Chamber temp."), StepCell::Integer, 12, -99, 400, kS16Min, kS16Max,
       [](G s) { return s.ChamberTemperature(); }, [](S s, std::int32_t v) { s.SetChamberTemperature(v); }},
      {QStringLiteral("Core temp."), StepCell::Integer, 12, -99, 400, kS16Min, kS16Max,
       [](G s) { return s.CoreTemperature(); }, [](S s, std::int32_t v) { s.SetCoreTemperature(v); }},
      {QStringLiteral("Humidity"), StepCell::Integer, 12, 0, 99, kS16Min, kS16Max,
       [](G s) { return s.Humidity(); }, [](S s, std::int32_t v) { s.SetHumidity(v); }},
      {QStringLiteral("Delta"), StepCell::Tenths, 0, 0, 400, 0, kByteMax,
       [](G s) { return s.Delta(); }, [](S s, std::int32_t v) { s.SetDelta(v); }},
      {QStringLiteral("ON/OFF Delta"), StepCell::Integer, 12, -999, 1, 0, kByteMax,
       [](G s) { return s.OnOffDelta(); }, [](S s, std::int32_t v) { s.SetOnOffDelta(v); }},
      {QStringLiteral("Additional 1"), StepCell::Integer, 12, -999, 2000, kS16Min, kS16Max,
       [](G s) { return s.Additional1(); }, [](S s, std::int32_t v) { s.SetAdditional1(v); }},
      {QStringLiteral("Additional 2"), StepCell::Integer, 12, 0, 2000, kS16Min, kS16Max,
       [](G s) { return s.Additional2(); }, [](S s, std::int32_t v) { s.SetAdditional2(v); }},
      // Work and pause time keep their low 16 bits.
      {QStringLiteral("Work time"), StepCell::Integer, 0, 0, 65000, 0, kU16Max,
       [](G s) { return std::int32_t{s.WorkTime()}; },
       [](S s, std::int32_t v) { s.SetWorkTime(static_cast<std::uint16_t>(v)); }},
      {QStringLiteral("Pause time"), StepCell::Integer, 0, 0, 65000, 0, kU16Max,
       [](G s) { return std::int32_t{s.PauseTime()}; },
       [](S s, std::int32_t v) { s.SetPauseTime(static_cast<std::uint16_t>(v)); }},
  };
  // clang-format on
}

QString ValueText(const StepColumn& column, std::int32_t value) {
  return column.kind == StepCell::Tenths ? TextFromTenths(value) : QString::number(value);
}

QString RangeMessage(const QString& upper) {
  return QStringLiteral("Wrong parameter range ! ") + upper;
}

}  // namespace

const std::vector<StepColumn>& StepColumns() {
  static const std::vector<StepColumn> columns = MakeStepColumns();
  return columns;
}

QStringList ProcessChoices(const ProjectImage& image, ProcessSet set, int codePageIndex) {
  QStringList choices{QStringLiteral("No data")};
  for (int n = 1; n <= kProcessCount; ++n) {
    choices << DecodeRecordText(Process(image, set, n).Name().Bytes(), codePageIndex);
  }
  return choices;
}

QString ProcessCellText(std::int32_t number, const QStringList& choices) {
  if (number == kNoProcess) return choices.value(0);
  if (number >= 0 && number < choices.size()) return choices.at(number);
  return QStringLiteral("%1 (%2)").arg(choices.value(0)).arg(number);
}

QString StepCellText(const StepColumn& column, ConstProgramStep step, int s,
                     const QStringList& choices) {
  switch (column.kind) {
    case StepCell::Step:
      return QStringLiteral("%1").arg(s, column.width);
    case StepCell::Process:
      return ProcessCellText(column.get(step), choices);
    case StepCell::Tenths:
      return TextFromTenths(column.get(step));
    case StepCell::Integer:
      break;
  }
  return QStringLiteral("%1").arg(column.get(step), column.width);
}

std::optional<QString> WireLimitNote(const StepColumn& column, ConstProgramStep step) {
  if (!column.get) return std::nullopt;
  const std::int32_t v = column.get(step);
  if (v >= column.wireLower && v <= column.wireUpper) return std::nullopt;
  const QString range = column.wireLower == std::numeric_limits<std::int32_t>::min()
                            ? QStringLiteral("up to %1").arg(ValueText(column, column.wireUpper))
                            : QStringLiteral("%1..%2").arg(ValueText(column, column.wireLower),
                                                           ValueText(column, column.wireUpper));
  return QStringLiteral("The controller link carries %1 only: writing this program to the "
                        "controller refuses %2")
      .arg(range, ValueText(column, v));
}

std::int32_t StoreTypedCell(const StepColumn& column, ProgramStep step, const QString& text,
                            Dialogs& dialogs) {
  const bool tenths = column.kind == StepCell::Tenths;
  const int check = tenths ? CheckNumericRange(text, std::numeric_limits<double>::lowest(),
                                               std::numeric_limits<double>::max())
                           : CheckNumericRange(text, column.lower, column.upper);
  std::int32_t value = 0;
  if (check == kNumericNotNumeric) {
    dialogs.ShowLinkMessage(kNotNumericMessage);
  } else if (tenths) {
    const double scaled = std::round(text.trimmed().toDouble() * 10.0);
    if (scaled >= column.lower && scaled <= column.upper) {
      value = static_cast<std::int32_t>(scaled);
    } else {
      dialogs.ShowLinkMessage(RangeMessage(QString::number(column.upper / 10)));
    }
  } else if (check == kNumericOutOfRange) {
    dialogs.ShowLinkMessage(RangeMessage(QString::number(column.upper)));
  } else {
    value = static_cast<std::int32_t>(text.trimmed().toDouble());
  }
  column.set(step, value);
  return value;
}

void StoreProcessChoice(ProgramStep step, int choice) {
  if (choice >= 0) step.SetProcessNumber(choice);
}

}  // namespace qdx
