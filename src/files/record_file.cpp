#include "files/record_file.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <memory>

namespace qdx {

namespace {

FileResult TooShort(const QString& fileName, std::size_t have, std::size_t need) {
  return {false,
          FileError(
              fileName,
              QStringLiteral("the file is too short (%1 bytes, %2 expected)").arg(have).arg(need))};
}

// Opens the file for reading and refuses a regular file shorter than `need` at once.
FileResult OpenForRecord(QFile& file, const QString& fileName, std::size_t need) {
  if (FileResult r = OpenRegularFile(file, fileName); !r) return r;
  // A regular file tells its size up front; anything else is found out by reading.
  if (!file.isSequential() && file.size() < static_cast<qint64>(need)) {
    return TooShort(fileName, static_cast<std::size_t>(file.size()), need);
  }
  return {};
}

// Fills out from the open file; on failure out may be partly written.
FileResult ReadInto(QFile& file, const QString& fileName, std::span<std::uint8_t> out) {
  std::size_t total = 0;
  while (total < out.size()) {
    const qint64 got = file.read(reinterpret_cast<char*>(out.data() + total),
                                 static_cast<qint64>(out.size() - total));
    if (got < 0) return {false, FileError(fileName, file.errorString())};
    if (got == 0) return TooShort(fileName, total, out.size());
    total += static_cast<std::size_t>(got);
  }
  return {};
}

}  // namespace

FileResult ReadRecordFile(const QString& fileName, std::span<std::uint8_t> out) {
  QFile file(fileName);
  if (FileResult r = OpenForRecord(file, fileName, out.size()); !r) return r;
  // Read into a scratch buffer so that a file that fails half way changes nothing.
  const auto scratch = std::make_unique_for_overwrite<std::uint8_t[]>(out.size());
  if (FileResult r = ReadInto(file, fileName, std::span(scratch.get(), out.size())); !r) return r;
  std::copy_n(scratch.get(), out.size(), out.begin());
  return {};
}

FileResult ReadRecordFileDirect(const QString& fileName, std::span<std::uint8_t> scratch) {
  QFile file(fileName);
  if (FileResult r = OpenForRecord(file, fileName, scratch.size()); !r) return r;
  return ReadInto(file, fileName, scratch);
}

}  // namespace qdx
