#include "app/record_file.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <memory>

namespace qdx {

QString FileError(const QString& fileName, const QString& reason) {
  return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(fileName), reason);
}

FileResult ReadRecordFile(const QString& fileName, std::span<std::uint8_t> out) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return {false, FileError(fileName, file.errorString())};

  // Read into a scratch buffer so that a short or unreadable file changes nothing.
  std::vector<std::uint8_t> scratch(out.size());
  std::size_t total = 0;
  while (total < scratch.size()) {
    const qint64 got = file.read(reinterpret_cast<char*>(scratch.data() + total),
                                 static_cast<qint64>(scratch.size() - total));
    if (got < 0) return {false, FileError(fileName, file.errorString())};
    if (got == 0) {
      return {false, FileError(fileName, QStringLiteral("the file is too short (%1 bytes, %2 "
                                                        "expected)")
                                             .arg(total)
                                             .arg(out.size()))};
    }
    total += static_cast<std::size_t>(got);
  }
  std::copy(scratch.begin(), scratch.end(), out.begin());
  return {};
}

FileResult WriteFilesAtomically(const std::vector<FileContent>& files) {
  // Uncommitted QSaveFiles delete their temporary files when destroyed.
  std::vector<std::unique_ptr<QSaveFile>> pending;
  pending.reserve(files.size());
  for (const FileContent& f : files) {
    auto file = std::make_unique<QSaveFile>(f.fileName);
    if (!file->open(QIODevice::WriteOnly)) {
      return {false, FileError(f.fileName, file->errorString())};
    }
    const qint64 written = file->write(f.bytes.data(), f.bytes.size());
    if (written != f.bytes.size()) {
      return {false, FileError(f.fileName, file->errorString())};
    }
    pending.push_back(std::move(file));
  }
  for (std::size_t i = 0; i < pending.size(); ++i) {
    if (!pending[i]->commit()) {
      return {false, FileError(files[i].fileName, pending[i]->errorString())};
    }
  }
  return {};
}

}  // namespace qdx
