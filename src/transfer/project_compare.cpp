#include "transfer/project_compare.h"

#include <QByteArray>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "model/bytes.h"
#include "model/record_text.h"
#include "model/records.h"
#include "transfer/password_transfer.h"

namespace qdx {

namespace {

enum class Kind {
  Name,  // length-prefixed text, compared trimmed
  S32,
  S16,
  U16,
  U8,
  Double,
  Outputs,    // 32 relay-output bytes, one field per output
  Reserved,   // bytes compared one by one
  Steps,      // the 200 program steps, one field per step field
  StepCount,  // 0 counts as 30
};

struct Field {
  const char* name;
  std::size_t offset;
  Kind kind;
  std::size_t size = 0;  // Name: capacity; Reserved: byte count
};

struct Values {
  QString project;
  QString controller;
};

QString Quoted(const QByteArray& text, int codePageIndex) {
  return QLatin1Char('"') + DecodeRecordText(text, codePageIndex) + QLatin1Char('"');
}

QString Number(double v) {
  return QString::number(v, 'g', 15);
}

// Offsets, names and sizes of the fields inside one 88-byte program step.
struct StepField {
  const char* name;
  std::size_t offset;
  std::size_t size;
  bool isSigned;
};
constexpr StepField kStepFields[] = {
    {"process", 0, 4, true},        {"chamber temperature", 4, 4, true},
    {"additional 1", 8, 4, true},   {"core temperature", 12, 4, true},
    {"additional 2", 16, 4, true},  {"humidity", 20, 4, true},
    {"further value", 24, 4, true}, {"delta", 28, 4, true},
    {"hours", 32, 4, true},         {"minutes", 36, 4, true},
    {"on/off delta", 72, 4, true},  {"work time", 76, 2, false},
    {"pause time", 78, 2, false},
};

std::int64_t StepValue(const std::uint8_t* p, const StepField& f) {
  if (f.size == 2) return ReadLe16(p);
  return ReadLeS32(p);
}

// The first differing field of the step slots, or nothing.
std::optional<std::pair<QString, Values>> CompareSteps(const std::uint8_t* a,
                                                       const std::uint8_t* b) {
  const std::size_t total =
      static_cast<std::size_t>(ProgramRecord::kStepSlots) * ProgramStep::kSize;
  if (std::memcmp(a, b, total) == 0) return std::nullopt;
  for (int s = 0; s < ProgramRecord::kStepSlots; ++s) {
    const std::uint8_t* sa = a + static_cast<std::size_t>(s) * ProgramStep::kSize;
    const std::uint8_t* sb = b + static_cast<std::size_t>(s) * ProgramStep::kSize;
    if (std::memcmp(sa, sb, ProgramStep::kSize) == 0) continue;
    for (std::size_t off = 0; off < ProgramStep::kSize; ++off) {
      if (sa[off] == sb[off]) continue;
      for (const StepField& f : kStepFields) {
        if (off >= f.offset && off < f.offset + f.size) {
          return std::pair{QStringLiteral("step %1 %2").arg(s + 1).arg(QLatin1String(f.name)),
                           Values{QString::number(StepValue(sa + f.offset, f)),
                                  QString::number(StepValue(sb + f.offset, f))}};
        }
      }
      return std::pair{QStringLiteral("step %1 reserved byte %2").arg(s + 1).arg(off),
                       Values{QString::number(sa[off]), QString::number(sb[off])}};
    }
  }
  return std::nullopt;
}

// The first field of one record that differs, with its name.
std::optional<std::pair<QString, Values>> CompareRecord(const std::uint8_t* a,
                                                        const std::uint8_t* b,
                                                        const std::vector<Field>& fields,
                                                        int codePageIndex) {
  for (const Field& f : fields) {
    const std::uint8_t* pa = a + f.offset;
    const std::uint8_t* pb = b + f.offset;
    const QString name = QLatin1String(f.name);
    switch (f.kind) {
      case Kind::Name: {
        const QByteArray ta = ConstTextField(pa, f.size).Bytes().trimmed();
        const QByteArray tb = ConstTextField(pb, f.size).Bytes().trimmed();
        if (ta != tb)
          return std::pair{name, Values{Quoted(ta, codePageIndex), Quoted(tb, codePageIndex)}};
        break;
      }
      case Kind::S32:
        if (ReadLeS32(pa) != ReadLeS32(pb))
          return std::pair{name,
                           Values{QString::number(ReadLeS32(pa)), QString::number(ReadLeS32(pb))}};
        break;
      case Kind::S16:
        if (ReadLeS16(pa) != ReadLeS16(pb))
          return std::pair{name,
                           Values{QString::number(ReadLeS16(pa)), QString::number(ReadLeS16(pb))}};
        break;
      case Kind::U16:
        if (ReadLe16(pa) != ReadLe16(pb))
          return std::pair{name,
                           Values{QString::number(ReadLe16(pa)), QString::number(ReadLe16(pb))}};
        break;
      case Kind::U8:
        if (*pa != *pb) return std::pair{name, Values{QString::number(*pa), QString::number(*pb)}};
        break;
      case Kind::Double: {
        const double da = ReadLeDouble(pa);
        const double db = ReadLeDouble(pb);
        // Two zeros of different sign are equal; two NaNs are the same stored value.
        if (!(da == db || (std::isnan(da) && std::isnan(db))))
          return std::pair{name, Values{Number(da), Number(db)}};
        break;
      }
      case Kind::Outputs:
        for (std::size_t i = 0; i < RelayOutputStates::kSize; ++i) {
          if (pa[i] != pb[i])
            return std::pair{QStringLiteral("relay output %1").arg(i + 1),
                             Values{QString::number(pa[i]), QString::number(pb[i])}};
        }
        break;
      case Kind::Reserved:
        for (std::size_t i = 0; i < f.size; ++i) {
          if (pa[i] != pb[i])
            return std::pair{QStringLiteral("byte %1").arg(f.offset + i),
                             Values{QString::number(pa[i]), QString::number(pb[i])}};
        }
        break;
      case Kind::Steps:
        if (auto d = CompareSteps(pa, pb)) return d;
        break;
      case Kind::StepCount: {
        auto inUse = [](std::int32_t n) { return n == 0 ? ProgramRecord::kDefaultStepCount : n; };
        if (inUse(ReadLeS32(pa)) != inUse(ReadLeS32(pb)))
          return std::pair{name,
                           Values{QString::number(ReadLeS32(pa)), QString::number(ReadLeS32(pb))}};
        break;
      }
    }
  }
  return std::nullopt;
}

std::optional<FieldDifference> CompareRecords(const std::uint8_t* a, const std::uint8_t* b,
                                              std::size_t recordSize, int count,
                                              const std::vector<Field>& fields, int codePageIndex) {
  for (int r = 0; r < count; ++r) {
    const std::size_t at = static_cast<std::size_t>(r) * recordSize;
    if (auto d = CompareRecord(a + at, b + at, fields, codePageIndex)) {
      return FieldDifference{r + 1, d->first, d->second.project, d->second.controller};
    }
  }
  return std::nullopt;
}

std::vector<Field> SetupFields() {
  // Words 0..69 only: the rest is the controller's own (panel layout, program version, ...).
  static const std::vector<Field> fields = [] {
    std::vector<Field> f;
    static const std::array<QByteArray, 70> names = [] {
      std::array<QByteArray, 70> n;
      for (int w = 0; w < 70; ++w) n[static_cast<std::size_t>(w)] = "word " + QByteArray::number(w);
      return n;
    }();
    for (std::size_t w = 0; w < 70; ++w) f.push_back({names[w].constData(), w * 2, Kind::S16});
    return f;
  }();
  return fields;
}

const std::vector<Field> kRelayFields = {
    {"number", 0, Kind::S32},
    {"name", RelayRecord::kNameOffset, Kind::Name, RelayRecord::kNameCapacity},
    {"time type", 36, Kind::S32},
    {"Ta", 40, Kind::S32},
    {"Tb", 44, Kind::S32},
    {"regulator type", 48, Kind::S32},
    {"channel and set value", 52, Kind::S32},
    {"bytes 56..59", 56, Kind::S32},
    {"offset", 60, Kind::S32},
    {"regulator window", 64, Kind::S32},
    {"lower hysteresis", 68, Kind::S32},
    {"upper hysteresis", 72, Kind::S32},
};

const std::vector<Field> kProcessFields = {
    {"number", 0, Kind::S32},
    {"name", ProcessRecord::kNameOffset, Kind::Name, ProcessRecord::kNameCapacity},
    {"step end condition", 36, Kind::S32},
    {"relay outputs", 40, Kind::Outputs},
    {"reserved", 72, Kind::Reserved, 32},
    {"SP1", 104, Kind::S16},
    {"SP2", 106, Kind::S16},
    {"SP3", 108, Kind::S16},
    {"SP4", 110, Kind::S16},
    {"SP5", 112, Kind::S16},
};

const std::vector<Field> kAlarmFields = {
    {"number", 0, Kind::S32},
    {"message", AlarmRecord::kNameOffset, Kind::Name, AlarmRecord::kNameCapacity},
    {"delay time", 36, Kind::S32},
    {"alarm status", 40, Kind::S32},
    {"relay logic", 44, Kind::S32},
    {"relay outputs", 48, Kind::Outputs},
    {"reserved", 80, Kind::Reserved, 32},
};

const std::vector<Field> kSpecialStatusFields = {
    {"number", 0, Kind::S32},
    {"name", SpecialStatusRecord::kNameOffset, Kind::Name, SpecialStatusRecord::kNameCapacity},
    {"switch-off time", 56, Kind::S32},
    {"relay logic", 60, Kind::S32},
    {"relay outputs", 64, Kind::Outputs},
    {"reserved", 96, Kind::Reserved, 32},
};

const std::vector<Field> kProgramFields = {
    {"name", 0, Kind::Name, ProgramRecord::kNameCapacity},
    {"steps", ProgramRecord::kStepsOffset, Kind::Steps},
    {"program number", ProgramRecord::kNumberOffset, Kind::S32},
};

// The whole record: the name as a text, every other byte as it is, the step count by meaning.
const std::vector<Field> kWashingFields = {
    {"name", 0, Kind::Name, ProgramRecord::kNameCapacity},
    {"padding", ProgramRecord::kPaddingOffset, Kind::Reserved, 1},
    {"steps", ProgramRecord::kStepsOffset, Kind::Steps},
    {"program number", ProgramRecord::kNumberOffset, Kind::S32},
    {"reserved", ProgramRecord::kReservedOffset, Kind::Reserved, ProgramRecord::kReservedSize},
    {"step count", ProgramRecord::kStepCountOffset, Kind::StepCount},
};

std::vector<Field> AnalogOutputFields(AnalogOutputLayout layout) {
  std::vector<Field> f = {
      {"name", 0, Kind::Name, AnalogOutputRecord::kNameCapacity},
      {"type", 102, Kind::U16},
      {"measurement channel", 104, Kind::U16},
      {"set value", 106, Kind::U16},
      {"value for 0 V", 108, Kind::S32},
      {"value for 10 V", 112, Kind::S32},
      {"Stop", 116, Kind::S32},
      {"Pause", 120, Kind::S32},
  };
  if (layout == AnalogOutputLayout::Legacy) {
    f.push_back({"sample", 128, Kind::Double});
    f.push_back({"gain", 136, Kind::Double});
    f.push_back({"Ti", 144, Kind::Double});
    f.push_back({"Td", 152, Kind::Double});
  }
  f.push_back({"F1", 160, Kind::S32});
  f.push_back({"F2", 164, Kind::S32});
  f.push_back({"F3", 168, Kind::S32});
  f.push_back({"F4", 172, Kind::S32});
  if (layout == AnalogOutputLayout::Current) f.push_back({"PID number", 176, Kind::U8});
  return f;
}

const std::vector<Field> kPidFields = {
    {"type", 102, Kind::U16},      {"measurement channel", 104, Kind::U16},
    {"set value", 106, Kind::U16}, {"Tp", 128, Kind::Double},
    {"Xp", 136, Kind::Double},     {"Ti", 144, Kind::Double},
    {"Td", 152, Kind::Double},     {"To", 160, Kind::Double},
};

}  // namespace

std::optional<FieldDifference> CompareSection(ProjectRow row, const ProjectImage& project,
                                              const PidTable& projectPid,
                                              const ProjectImage& controller,
                                              const PidTable& controllerPid,
                                              AnalogOutputLayout layout, int codePageIndex) {
  auto image = [&](ImageSection section,
                   const std::vector<Field>& fields) -> std::optional<FieldDifference> {
    const SectionLayout l = LayoutOf(section);
    return CompareRecords(project.data() + l.offset, controller.data() + l.offset, l.recordSize,
                          static_cast<int>(l.count), fields, codePageIndex);
  };
  switch (row) {
    case ProjectRow::Setup:
      return image(ImageSection::Setup, SetupFields());
    case ProjectRow::Relays:
      return image(ImageSection::Relays, kRelayFields);
    case ProjectRow::Processes:
      return image(ImageSection::Processes, kProcessFields);
    case ProjectRow::WashingProcesses:
      return image(ImageSection::WashingProcesses, kProcessFields);
    case ProjectRow::Alarms:
      return image(ImageSection::Alarms, kAlarmFields);
    case ProjectRow::SpecialStatuses:
      return image(ImageSection::SpecialStatuses, kSpecialStatusFields);
    case ProjectRow::Programs:
      return image(ImageSection::Programs, kProgramFields);
    case ProjectRow::WashingProgram:
      return image(ImageSection::WashingProgram, kWashingFields);
    case ProjectRow::AnalogOutputs:
      return image(ImageSection::AnalogOutputs, AnalogOutputFields(layout));
    case ProjectRow::Pid:
      return CompareRecords(projectPid.data(), controllerPid.data(), PidRecord::kSize, kPidCount,
                            kPidFields, codePageIndex);
  }
  return std::nullopt;
}

std::optional<FieldDifference> ComparePasswords(const PasswordBlock& project,
                                                const PasswordBlock& controller) {
  auto shown = [](const QByteArray& entry) {
    QString text = QStringLiteral("\"");
    for (const char c : entry) {
      const auto byte = static_cast<unsigned char>(c);
      text += byte >= 0x20 && byte < 0x7F
                  ? QString(QLatin1Char(c))
                  : QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return text + QLatin1Char('"');
  };
  for (int i = 1; i <= passwords::kEntryCount; ++i) {
    const QByteArray sent = NormalisedPasswordEntry(PasswordEntry(project, i).Bytes());
    const QByteArray read = PasswordEntry(controller, i).Bytes();
    if (sent != read) return FieldDifference{i, QStringLiteral("entry"), shown(sent), shown(read)};
  }
  return std::nullopt;
}

}  // namespace qdx
