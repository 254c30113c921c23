#include "cli/setup_commands.h"

#include <QRegularExpression>
#include <memory>
#include <vector>

#include "cli/project_commands.h"
#include "files/project_files.h"
#include "model/setup_block.h"
#include "service/parameter_catalogue.h"
#include "service/readouts.h"

namespace qdx::cli {
namespace {

CommandOutput UsageError(const QString& text) {
  return {kExitUsage, {}, QStringLiteral("qdx: %1\n").arg(text)};
}

}  // namespace

SetupParameterNaming CatalogueNaming() {
  return {ParameterName, ParameterValueText};
}

QString ParameterLine(int n, std::int16_t word) {
  return QStringLiteral("F%1  %2  %3\n")
      .arg(n, 2, 10, QLatin1Char('0'))
      .arg(ParameterName(n).trimmed(), ParameterValueText(n, word));
}

QString SetupListing(const ProjectBlocks& blocks) {
  const ConstSetupBlock setup = Setup(blocks.image);
  QString out;
  for (int n = 1; n <= kParameterCount; ++n) out += ParameterLine(n, setup.Parameter(n));
  return out + QStringLiteral("program version: %1\n").arg(setup.ProgramVersion());
}

std::optional<ParameterAssignment> ParseAssignment(const QString& text, QString* error) {
  static const QRegularExpression form(QStringLiteral("^F(\\d{1,2})=(.*)$"),
                                       QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch m = form.match(text);
  const int n = m.hasMatch() ? m.captured(1).toInt() : 0;
  if (n < 1 || n > kParameterCount) {
    *error = QStringLiteral("%1: not an assignment Fnn=VALUE of a parameter F01 to F%2")
                 .arg(text)
                 .arg(kParameterCount);
    return std::nullopt;
  }
  const std::optional<std::int16_t> word = ParseParameterValue(n, m.captured(2));
  if (!word) {
    *error = QStringLiteral("%1: F%2 takes %3")
                 .arg(text)
                 .arg(n, 2, 10, QLatin1Char('0'))
                 .arg(ParameterLimitsText(n));
    return std::nullopt;
  }
  return ParameterAssignment{n, *word};
}

CommandOutput RunSetup(const CommandLine& line) {
  if (line.arguments.isEmpty()) {
    return UsageError(QStringLiteral("setup needs a project file\n%1").arg(UsageText()));
  }
  const QString fileName = line.arguments[0];
  std::vector<ParameterAssignment> assignments;
  QStringList errors;
  for (const QString& text : line.arguments.mid(1)) {
    QString error;
    if (const auto a = ParseAssignment(text, &error)) {
      assignments.push_back(*a);
    } else {
      errors << error;
    }
  }
  if (!errors.isEmpty()) return UsageError(errors.join(QStringLiteral("\nqdx: ")));
  if (!assignments.empty() && ProjectFormatOf(fileName) != ProjectFormat::Qd3) {
    return UsageError(
        QStringLiteral("%1: setup saves .qd3 project files only; name a .qd3 file").arg(fileName));
  }
  auto blocks = std::make_unique<ProjectBlocks>();
  QString error;
  if (!LoadForReading(fileName, *blocks, &error)) return UsageError(error);
  if (assignments.empty()) return {kExitOk, SetupListing(*blocks), {}};

  const SetupBlock setup = Setup(blocks->image);
  CommandOutput output;
  for (const ParameterAssignment& a : assignments) {
    setup.SetParameter(a.parameter, a.word);
    output.out += ParameterLine(a.parameter, a.word);
  }
  if (const FileResult saved = SaveProjectFile(*blocks, fileName); !saved) {
    return UsageError(saved.error);
  }
  return output;
}

std::optional<QDateTime> ClockArgument(const QStringList& arguments, const QDateTime& now,
                                       QString* error) {
  const QString text = arguments.join(QLatin1Char(' '));
  if (text.isEmpty() || text == QLatin1String("now")) return now;
  const QDateTime when = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm"));
  if (!when.isValid()) {
    *error = QStringLiteral("clock takes now or YYYY-MM-DD HH:MM, not \"%1\"").arg(text);
    return std::nullopt;
  }
  return when;
}

CommandOutput RunClock(const QStringList& arguments, Connection& connection) {
  QString error;
  const std::optional<QDateTime> when =
      ClockArgument(arguments, QDateTime::currentDateTime(), &error);
  if (!when) return UsageError(error + "\n" + UsageText());
  ReadoutsEngine engine(connection.operations());
  const ClockResult result = engine.SetClock(when->date(), when->time());
  if (result.ok()) return {kExitOk, QStringLiteral("clock: OK\n"), {}};
  const QString reason = result.stage == ClockResult::NotReady
                             ? kClockAnswerNeverReady
                             : connection.FailureText(result.link);
  return {kExitLink, QStringLiteral("clock: Error: %1\n").arg(reason), {}};
}

}  // namespace qdx::cli
