// qdx setup and qdx clock: the setup parameters of a project file, shown or set within their
// limits, and the controller clock set as the readouts window's "Send" does.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "cli/cli_options.h"
#include "cli/connection.h"
#include "cli/link_commands.h"
#include "files/project_export.h"
#include "model/blocks.h"

namespace qdx::cli {

// The parameter catalogue as the export names the parameters.
SetupParameterNaming CatalogueNaming();

// "F26  CHAM.T.CORRECTION S  1.5": number, name and value text of parameter n.
QString ParameterLine(int n, std::int16_t word);
// Every parameter's line, then "program version: 900".
QString SetupListing(const ProjectBlocks& blocks);

// One checked "Fnn=VALUE": the parameter and the word to store.
struct ParameterAssignment {
  int parameter = 0;
  std::int16_t word = 0;
};
// Nothing, with the reason (naming the parameter and its limits) in *error, when the text is
// not an assignment of a parameter F01-F97 or its value is outside the parameter's limits.
std::optional<ParameterAssignment> ParseAssignment(const QString& text, QString* error);

// setup PROJECT [Fnn=VALUE...]: without assignments the listing; with them every assignment
// is checked first and the project is saved (atomically) only when all are valid.
CommandOutput RunSetup(const CommandLine& line);

// The moment `clock` sets: now (no argument or "now"), or "YYYY-MM-DD HH:MM" as one argument
// or two. Nothing, with the reason in *error, for anything else.
std::optional<QDateTime> ClockArgument(const QStringList& arguments, const QDateTime& now,
                                       QString* error);
// clock [now | YYYY-MM-DD HH:MM]: posts the date and time (seconds 0) and fetches the answer;
// "clock: OK" or "clock: Error: <reason>".
CommandOutput RunClock(const QStringList& arguments, Connection& connection);

}  // namespace qdx::cli
