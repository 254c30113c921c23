// Readable forms of a whole project: a short summary for people (qdx info) and the complete
// project with its side files as JSON for scripts (qdx export).
#pragma once

#include <QString>

#include "files/project_files.h"

namespace qdx {

// Every field of every record under a descriptive name, texts decoded, numbers as stored.
// Keys keep a fixed order: header, then the sections in the order of the project image,
// then the PID table and the passwords.
QString ProjectToJson(const ProjectBlocks& blocks, int codePageIndex);

// Header, setup version, program names and step counts, relay, process and alarm names.
QString ProjectSummary(const ProjectBlocks& blocks, const QString& fileName, int codePageIndex);

}  // namespace qdx
