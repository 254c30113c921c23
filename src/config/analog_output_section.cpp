#include "config/analog_output_section.h"

#include "model/analog_output_record.h"

namespace qdx {

namespace {

SectionDescription MakeAnalogOutputSection() {
  SectionDescription s = FromRegistry(SectionId::AnalogOutputs);
  s.title = QStringLiteral("Analog OUT");
  s.listExtension = QStringLiteral("aou");
  s.editOnEnter = false;
  s.row = [](std::span<const std::uint8_t> bytes, int cp) {
    const ConstAnalogOutputRecord r(bytes.data());
    return OutputLoopRow(r, r.OutputType(), r.Gain(), cp);
  };
  s.columns = {NumberColumn(),
               NameColumn(),
               FieldColumn(QStringLiteral("Type"), 1),
               FieldColumn(QStringLiteral("Measurement channel"), 2),
               FieldColumn(QStringLiteral("Set value"), 3),
               FieldColumn(QStringLiteral("0 V"), 4),
               FieldColumn(QStringLiteral("10 V"), 5),
               FieldColumn(QStringLiteral("Stop"), 6),
               FieldColumn(QStringLiteral("Pause"), 7),
               FieldColumn(QStringLiteral("PID"), 16)};
  return s;
}

}  // namespace

const SectionDescription& AnalogOutputSection() {
  static const SectionDescription s = MakeAnalogOutputSection();
  return s;
}

}  // namespace qdx
