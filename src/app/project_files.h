// Project files: ".qd3" (the project image byte for byte) with the side files name + "h"
// (passwords) and name + "pid" (PID table), the template "default.qd3", and the older
// ".qd2" and ".qdp" layouts, which are converted on load and never written.
#pragma once

#include <QString>

#include "app/blocks.h"

namespace qdx {

struct ProjectBlocks {
  ProjectImage image;
  PasswordBlock passwords;
  PidTable pid;
};

inline constexpr const char* kTemplateFileName = "default.qd3";

struct FileResult {
  bool ok = true;
  QString error;  // file name and the system's reason, when !ok
  explicit operator bool() const { return ok; }
};

// The project file's format, by the extension (from the last dot on, letter case ignored).
enum class ProjectFormat { Qd3, Qd2, Qdp };
ProjectFormat ProjectFormatOf(const QString& fileName);

FileResult LoadProjectFile(ProjectBlocks& blocks, const QString& fileName);
// Writes each file to a temporary file first and renames it over the old one when complete.
FileResult SaveProjectFile(const ProjectBlocks& blocks, const QString& fileName);
// Loads the template from templateDir when present; sets the washing-program number and the
// fixed special-status names.
FileResult NewProject(ProjectBlocks& blocks, const QString& templateDir);

}  // namespace qdx
