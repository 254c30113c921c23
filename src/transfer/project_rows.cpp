#include "transfer/project_rows.h"

namespace qdx {

namespace {

struct RowNames {
  const char* caption;
  const char* section;
};

constexpr std::array<RowNames, kProjectRowCount> kNames = {{
    {"Setup", "setup"},
    {"Relays", "relays"},
    {"Processes", "processes"},
    {"Processes WASHING", "washing-processes"},
    {"Alarms", "alarms"},
    {"Special statuses", "special-statuses"},
    {"Programs", "programs"},
    {"Program WASHING", "washing-program"},
    {"Analog OUT", "analog-outputs"},
    {" PID ", "pid"},
}};

}  // namespace

QString RowCaption(ProjectRow row, bool readWindow) {
  if (row == ProjectRow::Pid && readWindow) return QStringLiteral("PID ");
  return QString::fromLatin1(kNames[static_cast<std::size_t>(RowIndex(row))].caption);
}

QString RowSectionName(ProjectRow row) {
  return QString::fromLatin1(kNames[static_cast<std::size_t>(RowIndex(row))].section);
}

std::optional<ProjectRow> RowFromSectionName(const QString& name) {
  for (const ProjectRow row : kProjectRows) {
    if (RowSectionName(row) == name) return row;
  }
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
