#include "transfer/project_rows.h"

#include "config/section_registry.h"

namespace qdx {

QString RowCaption(ProjectRow row, bool readWindow) {
  const SectionEntry& e = Section(row);
  return QString::fromLatin1(readWindow ? e.readCaption : e.sendCaption);
}

QString RowSectionName(ProjectRow row) {
  return QString::fromLatin1(Section(row).qdxName);
}

std::optional<ProjectRow> RowFromSectionName(const QString& name) {
  const auto id = SectionFromQdxName(name);
  if (id && RowIndex(*id) < kProjectRowCount) return id;
  return std::nullopt;
}

QString FieldDifference::Text() const {
  return QStringLiteral("record %1 field %2: project %3, controller %4")
      .arg(record)
      .arg(field, project, controller);
}

QString RowOutcome::ResultText() const {
  switch (kind) {
    case Ok:
      return QStringLiteral("OK");
    case Error:
    case Invalid:
      return QStringLiteral("Error");
    case Difference:
      return QStringLiteral("Difference");
    default:
      return {};
  }
}

QString RowOutcome::Summary() const {
  switch (kind) {
    case Ok:
      return QStringLiteral("OK");
    case Difference:
      return QStringLiteral("Difference: ") + (difference ? difference->Text() : reason);
    case NotRun:
      return QStringLiteral("Error: not transferred");
    case Stopped:
      return QStringLiteral("Error: stopped");
    case Cancelled:
      return QStringLiteral("Error: cancelled");
    default:
      return QStringLiteral("Error: ") + reason;
  }
}

}  // namespace qdx
