// qdx's commands that talk to the controller without a project: the connection test, the
// status poll and the reset. They never ask anything and end with the exit codes of qdx.
#pragma once

#include <QString>

#include "cli/cli_options.h"
#include "cli/connection.h"
#include "link/operations.h"

namespace qdx::cli {

// What a command printed and how it ended.
struct CommandOutput {
  int exitCode = kExitOk;
  QString out;  // standard output
  QString err;  // standard error
};

bool IsLinkCommand(const QString& command);

// test-connection: the main window's test (status poll on the module path, device
// information on the direct path); prints OK or ERR.
CommandOutput RunTestConnection(Connection& connection);
// status: always the module's status poll, whatever the path; every field, one per line.
CommandOutput RunStatus(Connection& connection);
// reset: always attempts it, without the STOP check or a question; direct reset or posted
// reset by the path.
CommandOutput RunReset(Connection& connection);

// One of the three above, or clock (cli/setup_commands.h), by name; positional arguments are
// a usage error except for clock.
CommandOutput RunLinkCommand(const CommandLine& line, Connection& connection);

// The decoded status as "name: value" lines, stable for scripts.
QString FormatControllerStatus(const ControllerStatus& status);

}  // namespace qdx::cli
