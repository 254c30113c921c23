// Reading and writing files of whole records. A read takes the first record of a file and
// never reaches beyond the caller's buffer, whatever the file holds; a write goes to a
// temporary file in the same folder that replaces the old file only once it is complete.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "files/project_files.h"

namespace qdx {

// Reads the first out.size() bytes of the file into out. A longer file is fine; a shorter
// one fails and leaves out exactly as it was. On failure the error names the file and says
// why (the system's reason, or that the file is too short).
FileResult ReadRecordFile(const QString& fileName, std::span<std::uint8_t> out);

// As ReadRecordFile, for a buffer that is scratch anyway: on failure it may be partly
// written.
FileResult ReadRecordFileDirect(const QString& fileName, std::span<std::uint8_t> scratch);

}  // namespace qdx
