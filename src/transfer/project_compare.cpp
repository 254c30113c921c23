#include "transfer/project_compare.h"

#include <QByteArray>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "model/bytes.h"
#include "model/record_text.h"
#include "model/records.h"
#include "config/section_registry.h"
#include "config/section_transfer.h"

namespace qdx {

namespace {

using enum FieldKind;

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
using Step = ProgramStep;
constexpr StepField kStepFields[] = {
    {"process", Step::kProcessNumberOffset, 4, true},
    {"chamber temperature", Step::kChamberTemperatureOffset, 4, true},
    {"additional 1", Step::kAdditional1Offset, 4, true},
    {"core temperature", Step::kCoreTemperatureOffset, 4, true},
    {"additional 2", Step::kAdditional2Offset, 4, true},
    {"humidity", Step::kHumidityOffset, 4, true},
    {"further value", Step::kFurtherValueOffset, 4, true},
    {"delta", Step::kDeltaOffset, 4, true},
    {"hours", Step::kHoursOffset, 4, true},
    {"minutes", Step::kMinutesOffset, 4, true},
    {"on/off delta", Step::kOnOffDeltaOffset, 4, true},
    {"work time", Step::kWorkTimeOffset, 2, false},
    {"pause time", Step::kPauseTimeOffset, 2, false},
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
                                                        const std::vector<SectionField>& fields,
                                                        int codePageIndex) {
  for (const SectionField& f : fields) {
    const std::uint8_t* pa = a + f.offset;
    const std::uint8_t* pb = b + f.offset;
    const QString name = QLatin1String(f.name);
    switch (f.kind) {
      case Name: {
        const QByteArray ta = ConstTextField(pa, f.size).Bytes().trimmed();
        const QByteArray tb = ConstTextField(pb, f.size).Bytes().trimmed();
        if (ta != tb)
          return std::pair{name, Values{Quoted(ta, codePageIndex), Quoted(tb, codePageIndex)}};
        break;
      }
      case S32:
        if (ReadLeS32(pa) != ReadLeS32(pb))
          return std::pair{name,
                           Values{QString::number(ReadLeS32(pa)), QString::number(ReadLeS32(pb))}};
        break;
      case S16:
        if (ReadLeS16(pa) != ReadLeS16(pb))
          return std::pair{name,
                           Values{QString::number(ReadLeS16(pa)), QString::number(ReadLeS16(pb))}};
        break;
      case U16:
        if (ReadLe16(pa) != ReadLe16(pb))
          return std::pair{name,
                           Values{QString::number(ReadLe16(pa)), QString::number(ReadLe16(pb))}};
        break;
      case U8:
        if (*pa != *pb) return std::pair{name, Values{QString::number(*pa), QString::number(*pb)}};
        break;
      case Double: {
        const double da = ReadLeDouble(pa);
        const double db = ReadLeDouble(pb);
        // Two zeros of different sign are equal; two NaNs are the same stored value.
        if (!(da == db || (std::isnan(da) && std::isnan(db))))
          return std::pair{name, Values{Number(da), Number(db)}};
        break;
      }
      case Outputs:
        for (std::size_t i = 0; i < RelayOutputStates::kSize; ++i) {
          if (pa[i] != pb[i])
            return std::pair{QStringLiteral("relay output %1").arg(i + 1),
                             Values{QString::number(pa[i]), QString::number(pb[i])}};
        }
        break;
      case Reserved:
        for (std::size_t i = 0; i < f.size; ++i) {
          if (pa[i] != pb[i])
            return std::pair{QStringLiteral("byte %1").arg(f.offset + i),
                             Values{QString::number(pa[i]), QString::number(pb[i])}};
        }
        break;
      case Steps:
        if (auto d = CompareSteps(pa, pb)) return d;
        break;
      case StepCount: {
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
                                              const std::vector<SectionField>& fields, int codePageIndex) {
  for (int r = 0; r < count; ++r) {
    const std::size_t at = static_cast<std::size_t>(r) * recordSize;
    if (auto d = CompareRecord(a + at, b + at, fields, codePageIndex)) {
      return FieldDifference{r + 1, d->first, d->second.project, d->second.controller};
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<FieldDifference> CompareSection(ProjectRow row, const ProjectImage& project,
                                              const PidTable& projectPid,
                                              const ProjectImage& controller,
                                              const PidTable& controllerPid,
                                              AnalogOutputLayout layout, int codePageIndex) {
  const SectionEntry& entry = Section(row);
  const SectionLayout l = entry.layout;
  const bool pid = l.block == BlockId::Pid;
  const std::uint8_t* a = (pid ? projectPid.data() : project.data()) + l.offset;
  const std::uint8_t* b = (pid ? controllerPid.data() : controller.data()) + l.offset;
  return CompareRecords(a, b, l.recordSize, entry.slotCount(), entry.fields(layout), codePageIndex);
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
