// The one field table per section against both readers of a record: every field a reader
// shows has a name of its own, and a change to a field's bytes shows in the export under its
// key and in the comparison under its name (where the analog-output layout carries it).
#include "model/record_fields.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "files/project_export.h"
#include "support/qt_printers.h"
#include "transfer/project_compare.h"

namespace qdx {
namespace {

// The export's key of each section with fields, in SectionId order.
constexpr const char* kSectionKeys[] = {
    "setup",           "relays",   "processes",      "washingProcesses", "alarms",
    "specialStatuses", "programs", "washingProgram", "analogOutputs",    "pid"};

const char* SectionKey(SectionId id) {
  return kSectionKeys[static_cast<std::size_t>(id)];
}

QJsonDocument Export(const ProjectBlocks& blocks) {
  const SetupParameterNaming naming{[](int) { return QString(); },
                                    [](int, std::int16_t) { return QString(); }};
  return QJsonDocument::fromJson(ProjectToJson(blocks, 0, naming).toUtf8());
}

// What the export shows of the field in the section's first record: an array's last element,
// the first step's process number.
QJsonValue Exported(const QJsonDocument& doc, SectionId id, const RecordField& f) {
  const QJsonValue section = doc[QLatin1String(SectionKey(id))];
  const QJsonValue value = (section.isArray() ? section[0] : section)[QLatin1String(f.key)];
  if (f.kind == FieldKind::Steps) return value[0]["processNumber"];
  return f.count > 1 ? value[f.count - 1] : value;
}

// Where a change of the field lands, and the name comparison reports it under.
std::size_t ChangedByte(const RecordField& f) {
  if (f.kind == FieldKind::Reserved) return f.offset + f.size - 1;
  if (f.kind == FieldKind::Steps) return f.offset;
  return f.offset + std::size_t(f.count - 1) * ElementWidth(f);
}
QString ReportedName(const RecordField& f) {
  if (f.kind == FieldKind::Reserved) return QStringLiteral("byte %1").arg(ChangedByte(f));
  if (f.kind == FieldKind::Steps) return QStringLiteral("step 1 process");
  const QString name = QLatin1String(f.name);
  return f.count > 1 ? name.arg(f.numberedFrom + f.count - 1) : name;
}

TEST(RecordFields, EveryShownFieldHasANameOfItsOwnInsideTheRecord) {
  for (const ProjectRow id : kProjectRows) {
    SCOPED_TRACE(SectionKey(id));
    std::set<std::string> keys, names;
    for (const RecordField& f : RecordFieldsOf(id)) {
      EXPECT_TRUE(f.key || f.name) << "a field nobody shows at " << f.offset;
      EXPECT_TRUE(!f.key || keys.insert(f.key).second) << f.key;
      EXPECT_TRUE(!f.name || names.insert(f.name).second) << f.name;
      EXPECT_FALSE(f.kind == FieldKind::Reserved && f.key) << "reserved bytes exported";
      EXPECT_LE(f.offset + ElementWidth(f) * std::size_t(f.count), LayoutOf(id).recordSize);
    }
  }
}

// A copy of blocks with the field changed in the section's first record.
std::unique_ptr<ProjectBlocks> Changed(const ProjectBlocks& blocks, SectionId id,
                                       std::span<const RecordField> fields) {
  auto changed = std::make_unique<ProjectBlocks>(blocks);
  for (const RecordField& f : fields) SectionBytes(*changed, id)[ChangedByte(f)] |= 0x01;
  return changed;
}

// The export runs once per section with every exported field changed; comparison once per
// field, as it reports only the first difference.
TEST(RecordFields, AChangedFieldShowsInTheExportAndTheComparison) {
  const auto zero = std::make_unique<ProjectBlocks>();
  const QJsonDocument before = Export(*zero);
  for (const ProjectRow id : kProjectRows) {
    std::vector<RecordField> exported;
    for (const RecordField& f : RecordFieldsOf(id)) {
      if (f.kind != FieldKind::Slot && f.key) exported.push_back(f);
    }
    const QJsonDocument after = Export(*Changed(*zero, id, exported));
    for (const RecordField& f : exported) {
      EXPECT_NE(Exported(after, id, f), Exported(before, id, f)) << SectionKey(id) << " " << f.key;
    }
    for (const RecordField& f : RecordFieldsOf(id)) {
      if (!f.name) continue;
      SCOPED_TRACE(std::string(SectionKey(id)) + " " + f.name);
      const auto changed = Changed(*zero, id, {&f, 1});
      const auto compare = [&](AnalogOutputLayout layout) {
        return CompareSection(id, zero->image, zero->pid, changed->image, changed->pid, layout, 0);
      };
      const AnalogOutputLayout carried = f.comparedOnlyIn.value_or(AnalogOutputLayout::Current);
      const auto d = compare(carried);
      ASSERT_TRUE(d.has_value());
      EXPECT_EQ(d->record, 1);
      EXPECT_EQ(d->field, ReportedName(f));
      if (f.comparedOnlyIn) {
        EXPECT_FALSE(compare(carried == AnalogOutputLayout::Current ? AnalogOutputLayout::Legacy
                                                                    : AnalogOutputLayout::Current));
      }
    }
  }
}

}  // namespace
}  // namespace qdx
