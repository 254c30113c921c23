#include "config/section_table.h"

#include "config/section_registry.h"

#include "model/record_text.h"
#include "config/editor_values.h"
#include "model/records.h"

namespace qdx {

std::span<std::uint8_t> SectionRecord(const SectionDescription& section, Workspace& session, int nr) {
  detail::CheckRecordIndex("slot", nr, 1, section.slotCount);
  return section.region(session).subspan(static_cast<std::size_t>(nr - 1) * section.recordSize,
                                         section.recordSize);
}

MemprojRow MemprojRowOf(const SectionDescription& section, Workspace& session, int nr) {
  MemprojRow row = section.row(SectionRecord(section, session, nr), session.codePageIndex);
  row.nr = nr;
  return row;
}

std::vector<MemprojRow> FillMemproj(const SectionDescription& section, Workspace& session) {
  std::vector<MemprojRow> rows;
  rows.reserve(static_cast<std::size_t>(section.slotCount));
  for (int nr = 1; nr <= section.slotCount; ++nr)
    rows.push_back(MemprojRowOf(section, session, nr));
  return rows;
}

SectionColumn NumberColumn() {
  return {QStringLiteral("No"), [](const MemprojRow& r) { return QString::number(r.nr); }, true};
}

SectionColumn NameColumn() {
  return {QStringLiteral("Name"), [](const MemprojRow& r) { return r.Nazwa; }, false};
}

SectionColumn FieldColumn(const QString& title, int n) {
  return {title, [n](const MemprojRow& r) {
            const auto v = r.P(n);
            return v ? QString::number(*v) : QString();
          }};
}

SectionColumn TenthsColumn(const QString& title, int n) {
  return {title, [n](const MemprojRow& r) {
            const auto v = r.P(n);
            return v ? TextFromTenths(*v) : QString();
          }};
}

SectionColumn ByteColumn(const QString& title, int n, int byte) {
  return {title, [n, byte](const MemprojRow& r) {
            const auto v = r.P(n);
            return v ? QString::number((static_cast<std::uint32_t>(*v) >> (8 * byte)) & 0xFF)
                     : QString();
          }};
}

QString DecodedName(QByteArray bytes, int codePageIndex) {
  return DecodeRecordText(bytes, codePageIndex).left(kMemprojNameLength);
}

SectionDescription FromRegistry(SectionId id) {
  const SectionEntry& entry = Section(id);
  SectionDescription s;
  s.slotCount = entry.slotCount();
  s.recordSize = entry.recordSize();
  s.region = [id](Workspace& session) { return SectionBytes(session.blocks, id); };
  s.transfer = id;
  return s;
}

namespace {

template <typename View>
std::int32_t NumberAtStart(std::span<const std::uint8_t> record) {
  return View(record.data()).Number();
}

template <typename View>
void SetNumberAtStart(std::span<std::uint8_t> record, std::int32_t n) {
  View(record.data()).SetNumber(n);
}

SectionDescription MakeRelaySection() {
  SectionDescription s = FromRegistry(SectionId::Relays);
  s.title = QStringLiteral("Relays");
  s.listExtension = QStringLiteral("rlq");
  s.number = NumberAtStart<ConstRelayRecord>;
  s.setNumber = SetNumberAtStart<RelayRecord>;
  s.row = [](std::span<const std::uint8_t> bytes, int cp) {
    const ConstRelayRecord r(bytes.data());
    MemprojRow row;
    row.Nazwa = DecodedName(r.Name().Bytes(), cp);
    row.p = {r.TimeType(),        r.TimeTa(),          r.TimeTb(),          r.RegulatorType(),
             r.ChannelWord(),     r.RegulatorOffset(), r.RegulatorWindow(), r.LowerHysteresis(),
             r.UpperHysteresis(), std::nullopt};  // p10 exists and stays empty
    return row;
  };
  s.columns = {NumberColumn(),
               NameColumn(),
               FieldColumn(QStringLiteral("Time type"), 1),
               FieldColumn(QStringLiteral("Time Ta"), 2),
               FieldColumn(QStringLiteral("Time Tb"), 3),
               FieldColumn(QStringLiteral("Regulator type"), 4),
               ByteColumn(QStringLiteral("Measurement channel"), 5, 0),  // _kanalPom
               ByteColumn(QStringLiteral("Set value"), 5, 1),            // _Zadane
               TenthsColumn(QStringLiteral("Offset"), 6),                // _p6
               TenthsColumn(QStringLiteral("Regulator window"), 7),      // _p7
               TenthsColumn(QStringLiteral("Lower hysteresis"), 8),      // _p8
               TenthsColumn(QStringLiteral("Upper hysteresis"), 9)};     // _p9
  return s;
}

SectionDescription MakeAlarmSection() {
  SectionDescription s = FromRegistry(SectionId::Alarms);
  s.title = QStringLiteral("Alarms");
  s.listExtension = QStringLiteral("alq");
  s.editorExtension = QStringLiteral("a1q");
  s.number = NumberAtStart<ConstAlarmRecord>;
  s.setNumber = SetNumberAtStart<AlarmRecord>;
  s.row = [](std::span<const std::uint8_t> bytes, int cp) {
    const ConstAlarmRecord r(bytes.data());
    MemprojRow row;
    row.Nazwa = DecodedName(r.Name().Bytes(), cp);
    row.p = {r.DelayTime(), r.AlarmStatus(), r.RelayLogic()};
    return row;
  };
  s.columns = {NumberColumn(), NameColumn(), FieldColumn(QStringLiteral("Delay time"), 1),
               FieldColumn(QStringLiteral("Alarm status"), 2),
               FieldColumn(QStringLiteral("Relay logics"), 3)};
  return s;
}

SectionDescription MakeSpecialStatusSection() {
  SectionDescription s = FromRegistry(SectionId::SpecialStatuses);
  s.title = QStringLiteral("Special statuses");
  s.listExtension = QStringLiteral("slq");
  s.editorExtension = QStringLiteral("s1q");
  s.number = NumberAtStart<ConstSpecialStatusRecord>;
  s.setNumber = SetNumberAtStart<SpecialStatusRecord>;
  s.row = [](std::span<const std::uint8_t> bytes, int cp) {
    const ConstSpecialStatusRecord r(bytes.data());
    MemprojRow row;
    row.Nazwa = DecodedName(r.Name().Bytes(), cp);
    row.p = {r.SwitchOffTime(), r.RelayLogic()};
    return row;
  };
  s.columns = {NumberColumn(), NameColumn(), FieldColumn(QStringLiteral("Switch-off time"), 1),
               FieldColumn(QStringLiteral("Relay logics"), 2)};
  return s;
}

}  // namespace

const SectionDescription& RelaySection() {
  static const SectionDescription s = MakeRelaySection();
  return s;
}

const SectionDescription& AlarmSection() {
  static const SectionDescription s = MakeAlarmSection();
  return s;
}

const SectionDescription& SpecialStatusSection() {
  static const SectionDescription s = MakeSpecialStatusSection();
  return s;
}

namespace {

template <typename View>
MemprojRow NameOnlyRow(std::span<const std::uint8_t> bytes, int codePageIndex) {
  MemprojRow row;
  row.Nazwa = DecodedName(View(bytes.data()).Name().Bytes(), codePageIndex);
  return row;
}

SectionDescription MakeProcessSection(ProcessSet set) {
  const bool washing = set == ProcessSet::Washing;
  SectionDescription s = FromRegistry(washing ? SectionId::WashingProcesses : SectionId::Processes);
  s.title = washing ? QStringLiteral("Processes WASHING") : QStringLiteral("Processes");
  s.listExtension = QStringLiteral("klq");
  s.editorExtension = QStringLiteral("k1q");
  s.number = NumberAtStart<ConstProcessRecord>;
  s.setNumber = SetNumberAtStart<ProcessRecord>;
  s.row = NameOnlyRow<ConstProcessRecord>;
  s.columns = {NumberColumn(), NameColumn()};
  return s;
}

SectionDescription MakeProgramSection() {
  SectionDescription s = FromRegistry(SectionId::Programs);
  s.title = QStringLiteral("Programs");
  s.slotCount = kListedPrograms;
  s.region = [](Workspace& session) {
    return SectionBytes(session.blocks, SectionId::Programs)
        .first(std::size_t(kListedPrograms) * ProgramRecord::kSize);
  };
  s.listExtension = QStringLiteral("plq");
  s.editorExtension = QStringLiteral("p1q");
  s.number = [](std::span<const std::uint8_t> r) { return ConstProgramRecord(r.data()).Number(); };
  s.setNumber = [](std::span<std::uint8_t> r, std::int32_t n) {
    ProgramRecord(r.data()).SetNumber(n);
  };
  s.row = NameOnlyRow<ConstProgramRecord>;
  s.columns = {NumberColumn(), NameColumn()};
  return s;
}

}  // namespace

const SectionDescription& ProcessSection(ProcessSet set) {
  static const SectionDescription normal = MakeProcessSection(ProcessSet::Normal);
  static const SectionDescription washing = MakeProcessSection(ProcessSet::Washing);
  return set == ProcessSet::Washing ? washing : normal;
}

const SectionDescription& ProgramSection() {
  static const SectionDescription s = MakeProgramSection();
  return s;
}

}  // namespace qdx
