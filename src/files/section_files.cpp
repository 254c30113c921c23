#include "files/section_files.h"

#include <QFile>
#include <algorithm>
#include <vector>

#include "files/record_file.h"

namespace qdx {

QString SectionFileFilter(const QString& extension) {
  return QStringLiteral("QDX (*.%1)").arg(extension);
}

namespace {

// Reads up to buffer.size() bytes; fewer only at the end of the file, -1 on a read error.
qint64 ReadUpTo(QFile& file, std::span<std::uint8_t> buffer) {
  qint64 total = 0;
  const auto want = static_cast<qint64>(buffer.size());
  while (total < want) {
    const qint64 got = file.read(reinterpret_cast<char*>(buffer.data() + total), want - total);
    if (got < 0) return -1;
    if (got == 0) break;
    total += got;
  }
  return total;
}

}  // namespace

ListFileRead ReadSectionListFile(const QString& fileName, std::span<std::uint8_t> region,
                                 std::size_t recordSize) {
  ListFileRead result;
  if (recordSize == 0 || region.size() % recordSize != 0) return result;
  QFile file;
  if (!OpenRegularFile(file, fileName)) return result;
  result.opened = true;
  const std::size_t slotCount = region.size() / recordSize;
  std::vector<std::uint8_t> record(recordSize);
  for (std::size_t slot = 0; slot < slotCount; ++slot) {
    const qint64 got = ReadUpTo(file, record);
    if (got == static_cast<qint64>(recordSize)) {
      std::copy(record.begin(), record.end(),
                region.begin() + static_cast<std::ptrdiff_t>(slot * recordSize));
      ++result.stored;
      continue;
    }
    if (got != 0) ++result.skipped;  // a cut-off last record or a failed read: slot kept
    if (got >= 0) return result;     // the end of the file
    // After a read error the file position is unknown; the next record may still read.
  }
  char probe = 0;
  result.surplus = file.read(&probe, 1) == 1;
  return result;
}

FileResult WriteSectionListFile(const QString& fileName, std::span<const std::uint8_t> region) {
  return WriteFilesAtomically(
      {{fileName, QByteArrayView(region.data(), static_cast<qsizetype>(region.size()))}});
}

bool ReadSectionRecordFile(const QString& fileName, std::span<std::uint8_t> record) {
  return ReadRecordFile(fileName, record).ok;
}

FileResult WriteSectionRecordFile(const QString& fileName, std::span<const std::uint8_t> record) {
  return WriteSectionListFile(fileName, record);
}

}  // namespace qdx
