// Readable forms of a whole project: a short summary for people (qdx info) and the complete
// project with its side files as JSON for scripts (qdx export).
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "files/project_files.h"

namespace qdx {

// What the export says of each setup parameter besides its stored word: its name and the text
// of its value. The parameter catalogue lives above this layer, so the caller passes it in.
struct SetupParameterNaming {
  std::function<QString(int n)> name;
  std::function<QString(int n, std::int16_t word)> valueText;
};

// Every field of every record under a descriptive name, texts decoded, numbers as stored.
// Keys keep a fixed order: header, then the sections in the order of the project image
// (the setup block followed by its parameters F01-F97 by name), then the PID table and the
// passwords.
QString ProjectToJson(const ProjectBlocks& blocks, int codePageIndex,
                      const SetupParameterNaming& naming);

// Header, setup version, program names and step counts, relay, process and alarm names.
QString ProjectSummary(const ProjectBlocks& blocks, const QString& fileName, int codePageIndex);

}  // namespace qdx
