// Where the help page of a setup parameter lives: "n.rtf" in the folder HELP beside the
// program, or in a folder "help" there, or, for an installed program, in
// ../share/setupqdx/HELP beside its folder.
#pragma once

#include <QString>

namespace qdx {

// The page of parameter n, found under programDir (the running program's folder); empty when
// there is none.
QString HelpPagePath(int n, const QString& programDir);

bool HelpPageExists(int n, const QString& programDir);

}  // namespace qdx
