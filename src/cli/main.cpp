// qdx: the command-line tool on the same core as the desktop application.
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <memory>

#include "files/project_defaults.h"
#include "files/project_export.h"
#include "files/project_files.h"
#include "cli/cli_options.h"
#include "cli/connection.h"
#include "cli/link_commands.h"
#include "cli/output.h"
#include "cli/project_commands.h"

namespace {

using namespace qdx;
using namespace qdx::cli;

void Print(FILE* stream, const QString& text) {
  PrintText(stream, text);
}

int Fail(int code, const QString& message) {
  Print(stderr, QStringLiteral("qdx: %1\n").arg(message));
  return code;
}

// Loads a project file of any of the three formats over the start-up defaults, as the
// application does when it opens one at start.
bool LoadForReading(const QString& fileName, ProjectBlocks& blocks, QString* error) {
  // Anything else that exists (a folder, a FIFO) is refused by the loader, with its reason.
  if (!QFileInfo::exists(fileName)) {
    *error = QStringLiteral("%1: no such file").arg(fileName);
    return false;
  }
  ApplyStartupDefaults(blocks.image);
  const FileResult result = LoadProjectFile(blocks, fileName);
  if (!result) *error = result.error;
  return result.ok;
}

int RunProjectCommand(const CommandLine& line) {
  if (line.arguments.size() != 1)
    return Fail(kExitUsage,
                QStringLiteral("%1 takes one project file\n%2").arg(line.command, UsageText()));
  auto blocks = std::make_unique<ProjectBlocks>();
  QString error;
  if (!LoadForReading(line.arguments[0], *blocks, &error)) return Fail(kExitUsage, error);
  const int codePage = line.global.codePage.value_or(0);
  if (line.command == "info")
    Print(stdout, ProjectSummary(*blocks, line.arguments[0], codePage));
  else
    Print(stdout, ProjectToJson(*blocks, codePage));
  return kExitOk;
}

int RunOnLink(const CommandLine& line) {
  UseDefaultRuntimeFolder();
  QString error;
  const std::unique_ptr<Connection> connection = Connection::ForProgram(line.global, &error);
  if (!connection) return Fail(kExitUsage, error);
  const CommandOutput result = RunLinkCommand(line, *connection);
  Print(stdout, result.out);
  Print(stderr, result.err);
  return result.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const CommandLine line = ParseCommandLine(app.arguments().mid(1));
  if (line.help) {
    Print(stdout, UsageText());
    return kExitOk;
  }
  if (line.version) {
    Print(stdout, QStringLiteral("qdx " QDX_VERSION "\n"));
    return kExitOk;
  }
  if (!line.error.isEmpty()) return Fail(kExitUsage, line.error + "\n" + UsageText());
  if (line.command == "info" || line.command == "export") return RunProjectCommand(line);
  if (IsLinkCommand(line.command)) return RunOnLink(line);
  if (IsProjectTransferCommand(line.command)) return RunProjectTransferProgram(line);
  return Fail(kExitUsage, QStringLiteral("%1 is not available in this build").arg(line.command));
}
