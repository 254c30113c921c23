// Section files of the list windows and editors: headerless sequences of whole records,
// exactly as they lie in the project image. A list file holds every slot of its section in
// slot order, an editor file one record.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <span>

#include "files/project_files.h"

namespace qdx {

// The open and save dialogs' filter for an extension without its dot: "QDX (*.rlq)".
QString SectionFileFilter(const QString& extension);

struct ListFileRead {
  bool opened = false;
  // Records of the file stored into their slots (slot k takes the file's k-th record).
  int stored = 0;
  // Records that could not be read whole (a cut-off tail, a read error): their slots kept
  // what they held.
  int skipped = 0;
  // The file holds more records than the section has slots; they were left unread.
  bool surplus = false;
};

// Reads the file's records into the section's slots 1, 2, 3, ... until the end of the file or
// the last slot, whichever comes first: records beyond the last slot are never written
// anywhere. A file that cannot be opened changes nothing (opened stays false).
ListFileRead ReadSectionListFile(const QString& fileName, std::span<std::uint8_t> region,
                                 std::size_t recordSize);

// Writes the whole section. The file is written beside its final name first and replaces an
// existing file only when complete, so a failed write never destroys the old file.
FileResult WriteSectionListFile(const QString& fileName, std::span<const std::uint8_t> region);

// Reads the file's first record over record; false (record unchanged) when the file cannot be
// opened or is shorter than one record.
bool ReadSectionRecordFile(const QString& fileName, std::span<std::uint8_t> record);

// Writes one record as the whole file, with the same safety as WriteSectionListFile.
FileResult WriteSectionRecordFile(const QString& fileName, std::span<const std::uint8_t> record);

}  // namespace qdx
