#include "cli/menu_commands.h"

#include <QFileInfo>
#include <memory>

#include "cli/output.h"
#include "panel/menu_files.h"
#include "panel/menu_transfer.h"

namespace qdx::cli {
namespace {

CommandOutput MenuError(int exitCode, const QString& reason, const QString& detail = {}) {
  return {exitCode, QStringLiteral("menu: Error: %1\n").arg(reason),
          detail.isEmpty() ? QString() : QStringLiteral("qdx: menu: %1\n").arg(detail)};
}

// A transfer that did not complete: a refusal is the settings' fault (exit 2), anything else
// the link's (exit 3), explained on standard error as the other commands do.
CommandOutput TransferError(const MenuTransferResult& result, Connection& connection) {
  if (result.kind == MenuTransferResult::Refused) return MenuError(kExitUsage, result.message);
  const PathOutcome& at = result.stoppedAt;
  const QString reason = at.kind == PathOutcome::NotReady ? kModuleAnswerNeverReady
                         : result.message.isEmpty()       ? QStringLiteral("No communication")
                                                          : result.message;
  return MenuError(kExitLink, reason,
                   at.kind == PathOutcome::Failed ? connection.FailureText(at.result)
                                                  : connection.Endpoint());
}

// The languages the window would start with: MenuSettings.ini from the settings folder.
MenuLanguages StartingLanguages(Connection& connection, QString* error) {
  const QString settings = connection.session().settingsFolders().ReadPath(kMenuSettingsFile);
  return ReadMenuSettings(QFileInfo(settings).path(), error);
}

// --languages picks the two selected languages among those configured.
bool ChooseLanguages(const CommandLine& line, MenuLanguages& languages, QString* error) {
  if (!line.languages) return true;
  const auto [first, second] = *line.languages;
  if (first > languages.count() || second > languages.count()) {
    *error = QStringLiteral("--languages: only %1 languages are configured in %2")
                 .arg(languages.count())
                 .arg(kMenuSettingsFile);
    return false;
  }
  languages.first = first;
  languages.second = second;
  return true;
}

// "Read from controller", then "Write to disk".
CommandOutput ReadMenu(const QString& mplPath, MenuDocument& document, MenuTransfer& transfer,
                       Connection& connection) {
  const MenuTransferResult read = transfer.Read(document);
  // Files are written only from a whole read: a second stage that failed leaves texts that
  // do not belong to this controller.
  if (!read.ok()) return TransferError(read, connection);
  if (const FileResult saved = WriteMenuFiles(mplPath, document); !saved)
    return MenuError(kExitUsage, saved.error);
  return {kExitOk, MenuSummary(document), {}};
}

// "Read from disk", then "Write to controller"; without a structure file beside BASE.mpl the
// controller is read first, as a user must.
CommandOutput WriteMenu(const QString& mplPath, MenuDocument& document, MenuTransfer& transfer,
                        Connection& connection, const CommandLine& line) {
  const QString structureFile = mplPath.chopped(4) + QStringLiteral(".str");
  if (!QFileInfo::exists(structureFile)) {
    const MenuTransferResult read = transfer.Read(document);
    if (!read.firstStage) return TransferError(read, connection);
  }
  if (const FileResult loaded = ReadMenuFiles(mplPath, document); !loaded)
    return MenuError(kExitUsage, loaded.error);
  QString error;
  if (!ChooseLanguages(line, document.languages, &error)) return MenuError(kExitUsage, error);
  const MenuTransferResult written = transfer.Write(document);
  if (!written.ok()) return TransferError(written, connection);
  return {kExitOk, MenuSummary(document), {}};
}

}  // namespace

QString MenuSummary(const MenuDocument& document) {
  return QStringLiteral("menu: OK (%1 layout, %2 groups, %3 entries, %4 languages)\n")
      .arg(document.layout == MenuLayout::FourBlock ? QStringLiteral("four-block")
                                                    : QStringLiteral("three-block"))
      .arg(GroupCount(document.table))
      .arg(document.table.size())
      .arg(document.languages.count());
}

CommandOutput RunMenu(const CommandLine& line, Connection& connection) {
  const QStringList& args = line.arguments;
  const bool read = args.value(0) == QLatin1String("read");
  if (args.size() != 2 || (!read && args[0] != QLatin1String("write")) ||
      !args[1].endsWith(QLatin1String(".mpl"), Qt::CaseInsensitive)) {
    return {kExitUsage, {},
            QStringLiteral("qdx: menu takes read or write and a file name ending in .mpl\n%1")
                .arg(UsageText())};
  }
  QString error;
  auto document = std::make_unique<MenuDocument>();
  document->languages = StartingLanguages(connection, &error);
  if (!error.isEmpty()) return MenuError(kExitUsage, error);
  if (!ChooseLanguages(line, document->languages, &error)) return MenuError(kExitUsage, error);
  QuietProgress progress;
  MenuTransfer transfer(connection.operations(), connection.dialogs(), progress,
                        connection.session().settingsFolders());
  return read ? ReadMenu(args[1], *document, transfer, connection)
              : WriteMenu(args[1], *document, transfer, connection, line);
}

int RunMenuProgram(const CommandLine& line) {
  UseDefaultRuntimeFolder();
  QString error;
  const std::unique_ptr<Connection> connection = Connection::ForProgram(line.global, &error);
  if (!connection) {
    PrintText(stderr, QStringLiteral("qdx: %1\n").arg(error));
    return kExitUsage;
  }
  const CommandOutput result = RunMenu(line, *connection);
  PrintText(stdout, result.out);
  PrintText(stderr, result.err);
  return result.exitCode;
}

}  // namespace qdx::cli
