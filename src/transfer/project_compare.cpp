#include "transfer/project_compare.h"

#include <QByteArray>
#include <algorithm>
#include <cmath>
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

using Difference = std::pair<QString, Values>;

// The field of a step that covers byte off, if any.
const RecordField* StepFieldAt(std::size_t off) {
  for (const RecordField& f : ProgramStepFields()) {
    if (f.name && off >= f.offset && off < f.offset + ElementWidth(f)) return &f;
  }
  return nullptr;
}

// One value of a field (a whole field, or an element of an array) when the two differ.
std::optional<Values> CompareValue(const RecordField& f, const std::uint8_t* pa,
                                   const std::uint8_t* pb, int codePageIndex) {
  const auto differ = [](auto va, auto vb) -> std::optional<Values> {
    if (va == vb) return std::nullopt;
    return Values{QString::number(va), QString::number(vb)};
  };
  switch (f.kind) {
    case Name: {
      const QByteArray ta = ConstTextField(pa, f.size).Bytes().trimmed();
      const QByteArray tb = ConstTextField(pb, f.size).Bytes().trimmed();
      if (ta == tb) return std::nullopt;
      return Values{Quoted(ta, codePageIndex), Quoted(tb, codePageIndex)};
    }
    case S32:
      return differ(ReadLeS32(pa), ReadLeS32(pb));
    case S16:
      return differ(ReadLeS16(pa), ReadLeS16(pb));
    case U16:
      return differ(ReadLe16(pa), ReadLe16(pb));
    case U8:
      return differ(*pa, *pb);
    case Double: {
      const double da = ReadLeDouble(pa);
      const double db = ReadLeDouble(pb);
      // Two zeros of different sign are equal; two NaNs are the same stored value.
      if (da == db || (std::isnan(da) && std::isnan(db))) return std::nullopt;
      return Values{Number(da), Number(db)};
    }
    case StepCount: {
      auto inUse = [](std::int32_t n) { return n == 0 ? ProgramRecord::kDefaultStepCount : n; };
      if (inUse(ReadLeS32(pa)) == inUse(ReadLeS32(pb))) return std::nullopt;
      return Values{QString::number(ReadLeS32(pa)), QString::number(ReadLeS32(pb))};
    }
    case Slot:
    case Reserved:
    case Steps:
      break;  // no single value: compared by CompareField
  }
  return std::nullopt;
}

// The first differing field of the step slots, or nothing: the first differing byte decides.
std::optional<Difference> CompareSteps(const std::uint8_t* a, const std::uint8_t* b) {
  const std::size_t total =
      static_cast<std::size_t>(ProgramRecord::kStepSlots) * ProgramStep::kSize;
  const auto [da, db] = std::mismatch(a, a + total, b);
  if (da == a + total) return std::nullopt;
  const std::size_t at = static_cast<std::size_t>(da - a);
  const std::size_t start = at - at % ProgramStep::kSize;
  const int step = static_cast<int>(at / ProgramStep::kSize) + 1;
  const std::size_t off = at - start;
  if (const RecordField* f = StepFieldAt(off)) {
    const std::size_t field = start + f->offset;
    return Difference{QStringLiteral("step %1 %2").arg(step).arg(QLatin1String(f->name)),
                      *CompareValue(*f, a + field, b + field, 0)};
  }
  return Difference{QStringLiteral("step %1 reserved byte %2").arg(step).arg(off),
                    Values{QString::number(*da), QString::number(*db)}};
}

// The first difference inside one field: an array by element, reserved bytes one by one.
std::optional<Difference> CompareField(const RecordField& f, const std::uint8_t* pa,
                                       const std::uint8_t* pb, int codePageIndex) {
  if (f.kind == Steps) return CompareSteps(pa, pb);
  if (f.kind == Reserved) {
    for (std::size_t i = 0; i < f.size; ++i) {
      if (pa[i] != pb[i])
        return Difference{QStringLiteral("byte %1").arg(f.offset + i),
                          Values{QString::number(pa[i]), QString::number(pb[i])}};
    }
    return std::nullopt;
  }
  const QString name = QLatin1String(f.name);
  const std::size_t width = ElementWidth(f);
  for (int i = 0; i < f.count; ++i) {
    const std::size_t at = std::size_t(i) * width;
    if (auto values = CompareValue(f, pa + at, pb + at, codePageIndex))
      return Difference{f.count > 1 ? name.arg(f.numberedFrom + i) : name, *values};
  }
  return std::nullopt;
}

// The first field of one record that differs, with its name.
std::optional<Difference> CompareRecord(const std::uint8_t* a, const std::uint8_t* b,
                                        const std::vector<RecordField>& fields, int codePageIndex) {
  for (const RecordField& f : fields) {
    if (auto d = CompareField(f, a + f.offset, b + f.offset, codePageIndex)) return d;
  }
  return std::nullopt;
}

std::optional<FieldDifference> CompareRecords(const std::uint8_t* a, const std::uint8_t* b,
                                              std::size_t recordSize, int count,
                                              const std::vector<RecordField>& fields,
                                              int codePageIndex) {
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
  return CompareRecords(a, b, l.recordSize, entry.slotCount(), ComparedFields(entry.fields, layout),
                        codePageIndex);
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
