// Opening files for reading without ever blocking, and writing files so that a failure never
// leaves a half-written or missing file behind.
//
// Readers open only regular files: a directory, FIFO or device is refused at once with "not a
// regular file" (a FIFO would otherwise block the open forever).
//
// The writer writes every new file completely beside its target under a short temporary name,
// flushes and syncs it, checking every write, sync and close; only when all are complete does
// it rename them into place. The first file is the main one (a project file before its side
// files): written first, put in place last, so it never stands without the others. Any failure
// before that removes the temporary files and leaves every old file as it was. A target name
// longer than its file system allows is refused before anything is written. Errors name the
// file and give the system's reason ("No space left on device").
#pragma once

#include <QByteArrayView>
#include <QString>
#include <vector>

class QFile;

namespace qdx {

struct FileResult {
  bool ok = true;
  QString error;  // file name and the system's reason, when !ok
  explicit operator bool() const { return ok; }
};

// "name: reason" for FileResult.error.
QString FileError(const QString& fileName, const QString& reason);

inline constexpr const char* kNotRegularFile = "not a regular file";

// Opens fileName for reading into file, refusing anything but a regular file.
FileResult OpenRegularFile(QFile& file, const QString& fileName);

// One file to write: its name and its whole content.
struct FileContent {
  QString fileName;
  QByteArrayView bytes;
};

// The system calls the writer makes, with the system's own conventions (a negative result and
// errno on failure), so that tests can make any of them fail.
class FileSystemCalls {
 public:
  virtual ~FileSystemCalls() = default;
  // A new empty file in folder with a short unique name (stored in *path); its descriptor.
  virtual int CreateTemporary(const QString& folder, QString* path);
  virtual long Write(int fd, const char* data, long size);
  virtual int Sync(int fd);
  virtual int Close(int fd);
  virtual int Rename(const QString& from, const QString& to);
  virtual void Remove(const QString& path);
};

FileResult WriteFilesAtomically(const std::vector<FileContent>& files);
FileResult WriteFilesAtomically(const std::vector<FileContent>& files, FileSystemCalls& calls);

}  // namespace qdx
