// qdx: the command-line tool on the same core as the desktop application.
#include <QCoreApplication>
#include <cstdio>
#include <memory>

#include "files/project_export.h"
#include "cli/cli_options.h"
#include "cli/connection.h"
#include "cli/link_commands.h"
#include "cli/menu_commands.h"
#include "cli/output.h"
#include "cli/project_commands.h"
#include "cli/setup_commands.h"

namespace {

using namespace qdx;
using namespace qdx::cli;

int Fail(int code, const QString& message) {
  PrintText(stderr, QStringLiteral("qdx: %1\n").arg(message));
  return code;
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
    PrintText(stdout, ProjectSummary(*blocks, line.arguments[0], codePage));
  else
    PrintText(stdout, ProjectToJson(*blocks, codePage, CatalogueNaming()));
  return kExitOk;
}

int Finish(const CommandOutput& result) {
  PrintText(stdout, result.out);
  PrintText(stderr, result.err);
  return result.exitCode;
}

int RunOnLink(const CommandLine& line) {
  UseDefaultRuntimeFolder();
  QString error;
  const std::unique_ptr<Connection> connection = Connection::ForProgram(line.global, &error);
  if (!connection) return Fail(kExitUsage, error);
  return Finish(RunLinkCommand(line, *connection));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const CommandLine line = ParseCommandLine(app.arguments().mid(1));
  if (line.help) {
    PrintText(stdout, UsageText());
    return kExitOk;
  }
  if (line.version) {
    PrintText(stdout, QStringLiteral("qdx " QDX_VERSION "\n"));
    return kExitOk;
  }
  if (!line.error.isEmpty()) return Fail(kExitUsage, line.error + "\n" + UsageText());
  if (line.command == "info" || line.command == "export") return RunProjectCommand(line);
  if (line.command == "setup") return Finish(RunSetup(line));
  if (IsLinkCommand(line.command)) return RunOnLink(line);
  if (IsProjectTransferCommand(line.command)) return RunProjectTransferProgram(line);
  if (line.command == "menu") return RunMenuProgram(line);
  return Fail(kExitUsage, QStringLiteral("%1 is not available in this build").arg(line.command));
}
