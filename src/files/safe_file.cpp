#include "files/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qdx {

namespace {

QString SystemReason(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray Native(const QString& path) {
  return QFile::encodeName(path);
}

// Permissions of a new file: what the user's umask leaves of rw-rw-rw-, as a plain open would.
mode_t NewFileMode() {
  static const mode_t mode = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

// Where the bytes of fileName really go: a link to a file is followed, so the link stays.
QString WriteTarget(const QString& fileName) {
  const QFileInfo info(fileName);
  return info.isSymLink() && !info.symLinkTarget().isEmpty() ? info.symLinkTarget()
                                                             : info.absoluteFilePath();
}

// Refuses a target that could not be renamed into place: one whose name its folder's file
// system cannot hold, or a folder, FIFO or device standing where the file should go.
FileResult CheckTarget(const QString& fileName) {
  const QFileInfo info(WriteTarget(fileName));
  if (info.exists() && !info.isFile()) {
    return {false, FileError(fileName, QLatin1String(kNotRegularFile))};
  }
  const long limit = ::pathconf(Native(info.absolutePath()).constData(), _PC_NAME_MAX);
  const qsizetype length = Native(info.fileName()).size();
  if (limit > 0 && length > limit) {
    return {false, FileError(fileName, QStringLiteral("the name is %1 bytes long; this file system "
                                                    "allows at most %2")
                                         .arg(length)
                                         .arg(limit))};
  }
  return {};
}

// A temporary file being written: created, filled, synced and closed, or removed.
struct Temporary {
  QString target;
  QString path;
};

FileResult WriteTemporary(const FileContent& f, const QString& target, FileSystemCalls& calls,
                          Temporary& temporary) {
  temporary.target = target;
  const int fd = calls.CreateTemporary(QFileInfo(target).absolutePath(), &temporary.path);
  if (fd < 0) return {false, FileError(f.fileName, SystemReason(errno))};
  const char* data = f.bytes.data();
  long left = static_cast<long>(f.bytes.size());
  while (left > 0) {
    const long written = calls.Write(fd, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      // A write that stores nothing without an error means the device is full.
      const int error = written < 0 ? errno : ENOSPC;
      calls.Close(fd);
      return {false, FileError(f.fileName, SystemReason(error))};
    }
    data += written;
    left -= written;
  }
  if (calls.Sync(fd) != 0) {
    const int error = errno;
    calls.Close(fd);
    return {false, FileError(f.fileName, SystemReason(error))};
  }
  if (calls.Close(fd) != 0) return {false, FileError(f.fileName, SystemReason(errno))};
  return {};
}

void SyncFolder(const QString& folder) {
  const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

QString FileError(const QString& fileName, const QString& reason) {
  return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(fileName), reason);
}

FileResult OpenRegularFile(QFile& file, const QString& fileName) {
  // Non-blocking, so that a FIFO cannot hold the open; the type is checked on the open file.
  const int fd = ::open(Native(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {false, FileError(fileName, SystemReason(errno))};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return {false, FileError(fileName, QLatin1String(kNotRegularFile))};
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return {false, FileError(fileName, file.errorString())};
  }
  return {};
}

int FileSystemCalls::CreateTemporary(const QString& folder, QString* path) {
  QByteArray name = Native(folder) + "/.qdx-XXXXXX";
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return -1;
  *path = QFile::decodeName(name);
  if (::fchmod(fd, NewFileMode()) != 0) {
    const int error = errno;
    ::close(fd);
    ::unlink(name.constData());
    errno = error;
    return -1;
  }
  return fd;
}

long FileSystemCalls::Write(int fd, const char* data, long size) {
  return static_cast<long>(::write(fd, data, static_cast<size_t>(size)));
}

int FileSystemCalls::Sync(int fd) {
  return ::fsync(fd);
}

int FileSystemCalls::Close(int fd) {
  return ::close(fd);
}

int FileSystemCalls::Rename(const QString& from, const QString& to) {
  return ::rename(Native(from).constData(), Native(to).constData());
}

void FileSystemCalls::Remove(const QString& path) {
  ::unlink(Native(path).constData());
}

FileResult WriteFilesAtomically(const std::vector<FileContent>& files) {
  FileSystemCalls calls;
  return WriteFilesAtomically(files, calls);
}

FileResult WriteFilesAtomically(const std::vector<FileContent>& files, FileSystemCalls& calls) {
  for (const FileContent& f : files) {
    if (FileResult r = CheckTarget(f.fileName); !r) return r;
  }
  std::vector<Temporary> written;
  auto removeAll = [&] {
    for (const Temporary& t : written) {
      if (!t.path.isEmpty()) calls.Remove(t.path);
    }
  };
  for (const FileContent& f : files) {
    Temporary temporary;
    const FileResult r = WriteTemporary(f, WriteTarget(f.fileName), calls, temporary);
    written.push_back(temporary);
    if (!r) {
      removeAll();
      return r;
    }
  }
  // The main file last; files renamed before a failure are complete new files.
  for (std::size_t i = written.size(); i-- > 0;) {
    if (calls.Rename(written[i].path, written[i].target) != 0) {
      const int error = errno;
      for (std::size_t j = 0; j <= i; ++j) calls.Remove(written[j].path);
      return {false, FileError(files[i].fileName, SystemReason(error))};
    }
  }
  if (!written.empty()) SyncFolder(QFileInfo(written.front().target).absolutePath());
  return {};
}

}  // namespace qdx
