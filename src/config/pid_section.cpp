#include "config/pid_section.h"

#include "config/analog_output_section.h"
#include "config/editor_values.h"
#include "model/pid_record.h"

namespace qdx {

namespace {

// A real field pN as the grid shows a number: up to 15 significant digits.
SectionColumn RealColumn(const QString& title, int n) {
  return {title, [n](const MemprojRow& r) {
            const auto v = r.Real(n);
            return v ? QString::number(*v, 'g', 15) : QString();
          }};
}

// A real field pN holding tenths, taken as a whole number and shown with one decimal place.
SectionColumn WholeTenthsColumn(const QString& title, int n) {
  return {title, [n](const MemprojRow& r) {
            const auto v = r.Real(n);
            return v ? TextFromTenths(WholeNumberForField(*v)) : QString();
          }};
}

SectionDescription MakePidSection() {
  SectionDescription s = FromRegistry(SectionId::Pid);
  s.title = QStringLiteral("PID");
  s.editOnEnter = false;
  s.row = [](std::span<const std::uint8_t> bytes, int cp) {
    const ConstPidRecord r(bytes.data());
    MemprojRow row = OutputLoopRow(r, r.RegulatorType(), r.ProportionalBand(), cp);
    row.p.push_back(std::nullopt);
    row.reals.resize(row.p.size());
    row.reals.back() = r.PulsePeriod();  // p17, To
    return row;
  };
  s.columns = {NumberColumn(),
               FieldColumn(QStringLiteral("Type"), 1),
               FieldColumn(QStringLiteral("Measurement channel"), 2),
               FieldColumn(QStringLiteral("Set value"), 3),
               RealColumn(QStringLiteral("Tp [s]"), 8),
               WholeTenthsColumn(QStringLiteral("Xp [%]"), 9),  // _wzmocnienie
               RealColumn(QStringLiteral("Ti [s]"), 10),
               RealColumn(QStringLiteral("Td [s]"), 11),
               RealColumn(QStringLiteral("To [ms]"), 17)};
  return s;
}

}  // namespace

const SectionDescription& PidSection() {
  static const SectionDescription s = MakePidSection();
  return s;
}

}  // namespace qdx
