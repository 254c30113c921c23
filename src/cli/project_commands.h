// qdx read, write and compare: the "Read from controller" and "Write to controller" windows
// (with "Comparison") run on the same engine with the named sections ticked, never asking
// anything, one line per section.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "cli/cli_options.h"
#include "cli/connection.h"
#include "cli/link_commands.h"
#include "transfer/project_rows.h"

namespace qdx::cli {

bool IsProjectTransferCommand(const QString& command);

// The sections named on the command line: the ten rows when none is named; passwords only
// when named. Nothing, with the reason in *error, for an unknown name.
struct SectionChoice {
  RowSelection rows{};
  bool passwords = false;
};
std::optional<SectionChoice> ChooseSections(const QStringList& names, QString* error);

// The exit code of one section's outcome: 0 done (and equal), 1 a difference, 2 a project value
// that cannot be sent, 3 a communication failure, a refusal or an answer never ready.
int ExitCodeOf(const RowOutcome& outcome);

// read / write / compare PROJECT [SECTION...] on the given connection; watcher, when given,
// watches the sections as they transfer.
CommandOutput RunProjectTransfer(const CommandLine& line, Connection& connection,
                                 TransferListener* watcher = nullptr);
// As the program runs it: the connection from the settings and the options, output printed.
int RunProjectTransferProgram(const CommandLine& line);

}  // namespace qdx::cli
