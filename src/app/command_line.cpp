#include "app/command_line.h"

namespace qdx {

StartupArguments ParseStartupArguments(const QStringList& arguments) {
  StartupArguments result;
  int next = 0;
  if (!arguments.isEmpty() && arguments.first().trimmed().toUpper() == QLatin1String("/D")) {
    result.trace = true;
    next = 1;
  }
  if (next < arguments.size()) result.projectFile = arguments.at(next);
  return result;
}

}  // namespace qdx
