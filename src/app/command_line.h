// The program's command line: "/D" switches the link's traffic trace on; a project file named
// on it is opened at start.
#pragma once

#include <QString>
#include <QStringList>

namespace qdx {

struct StartupArguments {
  bool trace = false;
  QString projectFile;  // as given; opened only when such a file exists
};

// arguments without the program's own name. The first argument, blanks trimmed and in any
// letter case, "/D" turns the trace on; the first other argument is the project file.
StartupArguments ParseStartupArguments(const QStringList& arguments);

}  // namespace qdx
