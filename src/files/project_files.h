// Project files: ".qd3" (the project image byte for byte) with the side files name + "h"
// (passwords) and name + "pid" (PID table), the template "default.qd3", and the older
// ".qd2" and ".qdp" layouts, which are converted on load and never written.
#pragma once

#include <QString>

#include "files/safe_file.h"
#include "model/blocks.h"

namespace qdx {

inline constexpr const char* kTemplateFileName = "default.qd3";

// The project file's format, by the extension (from the last dot on, letter case ignored).
enum class ProjectFormat { Qd3, Qd2, Qdp };
ProjectFormat ProjectFormatOf(const QString& fileName);

// Fills the image from the file (converting ".qd2" and ".qdp"), writes the fixed
// special-status names, then reads the side files name + "h" and name + "pid" where they
// exist; a missing side file keeps its block as it was. A file too short for its block
// leaves that block untouched and fails the load; a side-file failure comes after the image
// was filled. Longer files load their first record. Files are opened read-only.
FileResult LoadProjectFile(ProjectBlocks& blocks, const QString& fileName);
// Writes the ".qd3" layout and both side files. Each file is written to a temporary file
// first; the three replace the old files only once all are complete, so a failed save
// leaves the old files intact.
FileResult SaveProjectFile(const ProjectBlocks& blocks, const QString& fileName);
// Loads templateDir/"default.qd3" when it exists (a short or unreadable template fails and
// changes nothing); otherwise the image keeps its content. Then sets the washing-program
// number and the fixed special-status names. Side files are not read.
FileResult NewProject(ProjectBlocks& blocks, const QString& templateDir);

}  // namespace qdx
