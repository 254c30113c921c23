// qdx menu: the operator panel's menu texts between a controller and menu files, as the menu
// window moves them: "read" is "Read from controller" then "Write to disk", "write" is "Read
// from disk" then "Write to controller".
#pragma once

#include <QString>

#include "cli/cli_options.h"
#include "cli/connection.h"
#include "cli/link_commands.h"
#include "panel/menu_texts.h"

namespace qdx::cli {

// "menu: OK (four-block layout, 3 groups, 11 entries, 3 languages)".
QString MenuSummary(const MenuDocument& document);

// menu read|write BASE.mpl on an open connection.
CommandOutput RunMenu(const CommandLine& line, Connection& connection);
// The same as the program runs it: the connection from the settings and the options.
int RunMenuProgram(const CommandLine& line);

}  // namespace qdx::cli
