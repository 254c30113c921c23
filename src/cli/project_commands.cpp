#include "cli/project_commands.h"

#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "cli/output.h"
#include "cli/terminal_progress.h"
#include "files/project_defaults.h"
#include "files/project_files.h"
#include "link/device_transactions.h"
#include "transfer/password_transfer.h"
#include "transfer/project_compare.h"
#include "transfer/project_transfer.h"

namespace qdx::cli {

namespace {

const QString kPasswords = QStringLiteral("passwords");

// Without a terminal qdx shows nothing while a run goes on: the lines at the end say it all.
class QuietListener : public TransferListener {
 public:
  void RowStarted(ProjectRow, int) override {}
  void RowProgress(ProjectRow, int) override {}
  void RowResult(ProjectRow, const RowOutcome&) override {}
  void Message(const QString&) override {}
};

RowOutcome OkOutcome() {
  RowOutcome o;
  o.kind = RowOutcome::Ok;
  return o;
}

// The reset --reset asks for: on the module path only when the controller is not running,
// as the reset offer does.
RowOutcome ResetController(Connection& connection) {
  LinkOperations& ops = connection.operations();
  RowOutcome o;
  LinkResult result = kLinkOk;
  if (!ops.ModulePath()) {
    result = qdx::ResetController(ops);
  } else {
    ControllerStatus status;
    if (ops.PollModuleStatus(status) == kLinkOk && status.Running()) {
      o.kind = RowOutcome::Refused;
      o.reason = kStopModeRequired;
      return o;
    }
    result = PostResetController(ops);
  }
  if (result != kLinkOk) {
    o.kind = RowOutcome::Error;
    o.reason = connection.FailureText(result);
    return o;
  }
  connection.session().writePending = false;
  return OkOutcome();
}

CommandOutput UsageError(const QString& text) {
  return {kExitUsage, {}, QStringLiteral("qdx: %1\n").arg(text)};
}

}  // namespace

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

bool IsProjectTransferCommand(const QString& command) {
  return command == QLatin1String("read") || command == QLatin1String("write") ||
         command == QLatin1String("compare");
}

std::optional<SectionChoice> ChooseSections(const QStringList& names, QString* error) {
  SectionChoice choice;
  if (names.isEmpty()) {
    choice.rows = AllRows();
    return choice;
  }
  for (const QString& name : names) {
    if (name == kPasswords) {
      choice.passwords = true;
    } else if (const auto row = RowFromSectionName(name)) {
      choice.rows[static_cast<std::size_t>(RowIndex(*row))] = true;
    } else {
      *error = QStringLiteral("unknown section %1").arg(name);
      return std::nullopt;
    }
  }
  return choice;
}

int ExitCodeOf(const RowOutcome& outcome) {
  switch (outcome.kind) {
    case RowOutcome::Ok:
      return kExitOk;
    case RowOutcome::Difference:
      return kExitDifference;
    case RowOutcome::Invalid:
      return kExitUsage;
    default:
      return kExitLink;
  }
}

namespace {

// The answer to a write refused before its first byte: one line per named section on standard
// output (its first refused value, or "not sent"), every refused value on standard error, exit
// code 2.
CommandOutput RefusedWrite(const SectionChoice& sections, const std::vector<RowRefusal>& refusals) {
  CommandOutput output;
  output.exitCode = kExitUsage;
  for (const ProjectRow row : kProjectRows) {
    if (!sections.rows[static_cast<std::size_t>(RowIndex(row))]) continue;
    const RowRefusal* refused = RefusalOf(row, refusals);
    output.out += QStringLiteral("%1: Error: %2\n")
                      .arg(RowSectionName(row),
                           refused ? refused->error.Message() : QStringLiteral("not sent"));
  }
  if (sections.passwords) output.out += kPasswords + QStringLiteral(": Error: not sent\n");
  for (const RowRefusal& r : refusals) {
    output.err += QStringLiteral("qdx: %1: %2\n").arg(RowSectionName(r.row), r.error.Message());
  }
  output.err += QStringLiteral("qdx: nothing was sent; correct the values above and write again\n");
  return output;
}

}  // namespace

CommandOutput RunProjectTransfer(const CommandLine& line, Connection& connection,
                                 TransferListener* watcher) {
  if (line.arguments.isEmpty()) {
    return UsageError(QStringLiteral("%1 needs a project file\n%2").arg(line.command, UsageText()));
  }
  const QString fileName = line.arguments[0];
  QString error;
  const auto sections = ChooseSections(line.arguments.mid(1), &error);
  if (!sections) return UsageError(error + "\n" + UsageText());

  const bool read = line.command == QLatin1String("read");
  const bool compare = line.command == QLatin1String("compare");
  const bool exists = QFileInfo(fileName).isFile();
  if (read && ProjectFormatOf(fileName) != ProjectFormat::Qd3) {
    return UsageError(
        QStringLiteral("%1: read saves .qd3 project files only; name a .qd3 file").arg(fileName));
  }
  if (!read && !exists) return UsageError(QStringLiteral("%1: no such file").arg(fileName));

  Session& session = connection.session();
  ProjectBlocks& blocks = session.blocks;
  ApplyStartupDefaults(blocks.image);
  ApplyFixedNames(blocks.image);
  if (exists) {
    const FileResult loaded = LoadProjectFile(blocks, fileName);
    if (!loaded) return UsageError(loaded.error);
  }

  QuietListener quiet;
  ProjectTransfer transfer(session, connection.operations(), connection.dialogs(),
                           watcher ? *watcher : quiet);
  // Never the question: the reset follows --reset, after everything was written.
  transfer.SetResetAfterRun({});
  std::optional<RowOutcome> reset;

  // The passwords travel as the passwords window moves them.
  QuietProgress progress;
  SectionTransfer passwordTransfer(session, connection.operations(), connection.dialogs(),
                                   progress);
  LinkOperations& ops = connection.operations();
  RunSummary summary;
  std::optional<RowOutcome> passwords;
  if (line.command == QLatin1String("write")) {
    // Nothing goes out while any named section holds a value that cannot travel.
    if (const auto refusals = transfer.CheckRows(sections->rows); !refusals.empty()) {
      return RefusedWrite(*sections, refusals);
    }
    summary = transfer.Send(sections->rows);
    // Passwords go before the reset, as the passwords window sends before its reset offer.
    if (sections->passwords) {
      passwords = SendPasswordEntries(passwordTransfer, ops, blocks.passwords);
    }
    if (line.reset) reset = ResetController(connection);
  } else {
    summary = transfer.Read(sections->rows, compare);
    if (sections->passwords) {
      if (compare) {
        auto controller = std::make_unique<PasswordBlock>(blocks.passwords);
        passwords = ReadPasswordEntries(passwordTransfer, ops, *controller);
        if (passwords->kind == RowOutcome::Ok) {
          if (auto d = ComparePasswords(blocks.passwords, *controller)) {
            passwords->kind = RowOutcome::Difference;
            passwords->difference = d;
          }
        }
      } else {
        passwords = ReadPasswordEntries(passwordTransfer, ops, blocks.passwords);
      }
    }
  }
  CommandOutput output;
  int code = kExitOk;
  auto report = [&](const QString& name, const RowOutcome& outcome) {
    output.out += QStringLiteral("%1: %2\n").arg(name, outcome.Summary());
    code = std::max(code, ExitCodeOf(outcome));
    // A link failure also on standard error, with whom the program tried to talk.
    if (ExitCodeOf(outcome) == kExitLink && outcome.kind != RowOutcome::NotRun) {
      output.err += QStringLiteral("qdx: %1: %2 (%3)\n")
                        .arg(name, outcome.reason.isEmpty() ? outcome.Summary() : outcome.reason,
                             connection.Endpoint());
      const QString portError = connection.link().LastPortErrorText();
      if (!portError.isEmpty()) output.err += QStringLiteral("qdx: %1\n").arg(portError);
    }
  };
  for (const ProjectRow row : kProjectRows) {
    if (sections->rows[static_cast<std::size_t>(RowIndex(row))]) {
      report(RowSectionName(row), summary[row]);
    }
  }
  if (passwords) report(kPasswords, *passwords);
  if (reset) report(QStringLiteral("reset"), *reset);
  // The worst outcome decides: a failure over a refused value over a difference.
  output.exitCode = code;

  if (read && code == kExitOk) {
    const FileResult saved = SaveProjectFile(blocks, fileName);
    if (!saved) {
      output.err += QStringLiteral("qdx: %1\n").arg(saved.error);
      output.exitCode = kExitUsage;
    }
  } else if (read) {
    output.err +=
        QStringLiteral("qdx: %1 was not saved: not every section was read\n").arg(fileName);
  }
  return output;
}

int RunProjectTransferProgram(const CommandLine& line) {
  QString error;
  const std::unique_ptr<Connection> connection = Connection::ForProgram(line.global, &error);
  auto print = PrintText;
  if (!connection) {
    print(stderr, QStringLiteral("qdx: %1\n").arg(error));
    return kExitUsage;
  }
  std::optional<TerminalProgress> progress;
  if (TerminalProgress::IsTerminal(stderr)) progress.emplace(stderr);
  const CommandOutput result =
      RunProjectTransfer(line, *connection, progress ? &*progress : nullptr);
  progress.reset();
  print(stdout, result.out);
  print(stderr, result.err);
  return result.exitCode;
}

}  // namespace qdx::cli
