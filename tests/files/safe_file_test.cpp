#include "files/safe_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <sys/mount.h>
#include <sys/stat.h>

#include "files/project_files.h"
#include "files/settings.h"
#include "project_test_util.h"

namespace qdx {
namespace {

using testing_util::FillBlocks;
using testing_util::Pattern;
using testing_util::ReadFile;
using testing_util::ToByteArray;
using testing_util::WriteFile;

QStringList Entries(const QString& dir) {
  return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// The writer's system calls, one of which fails as a full or broken disk would.
class FailingCalls : public FileSystemCalls {
 public:
  enum class Call { Create, Write, ShortWrite, Sync, Close, Rename };
  FailingCalls(Call call, int onFile) : call_(call), onFile_(onFile) {}

  int CreateTemporary(const QString& folder, QString* path) override {
    ++created_;
    if (Failing(Call::Create, created_)) return Fail(ENOSPC);
    return FileSystemCalls::CreateTemporary(folder, path);
  }
  long Write(int fd, const char* data, long size) override {
    if (Failing(Call::Write, created_)) return Fail(ENOSPC);
    // A full disk may store part of a write and then nothing.
    if (Failing(Call::ShortWrite, created_)) return written_++ == 0 ? 1 : 0;
    return FileSystemCalls::Write(fd, data, size);
  }
  int Sync(int fd) override { return Failing(Call::Sync, created_) ? Fail(EIO) : FileSystemCalls::Sync(fd); }
  int Close(int fd) override {
    const int r = FileSystemCalls::Close(fd);
    return Failing(Call::Close, created_) ? Fail(ENOSPC) : r;
  }
  int Rename(const QString& from, const QString& to) override {
    ++renamed_;
    return Failing(Call::Rename, renamed_) ? Fail(EIO) : FileSystemCalls::Rename(from, to);
  }

 private:
  bool Failing(Call call, int file) const { return call == call_ && file == onFile_; }
  static int Fail(int error) {
    errno = error;
    return -1;
  }
  Call call_;
  int onFile_;
  int created_ = 0;
  int renamed_ = 0;
  int written_ = 0;
};

// A save that fails at any call for any of the three files leaves every old file byte for
// byte and no temporary file behind, and says which file and why.
TEST(AtomicWriter, AFailureAtAnyFileLeavesEveryOldFileAsItWas) {
  using Call = FailingCalls::Call;
  struct Case {
    Call call;
    const char* reason;
  };
  const Case cases[] = {{Call::Create, "No space left on device"},
                        {Call::Write, "No space left on device"},
                        {Call::ShortWrite, "No space left on device"},
                        {Call::Sync, "Input/output error"},
                        {Call::Close, "No space left on device"}};
  const char* files[] = {"p.qd3", "p.qd3h", "p.qd3pid"};  // the order they are written in
  for (const Case& c : cases) {
    for (int k = 1; k <= 3; ++k) {
      QTemporaryDir dir;
      const QString name = dir.filePath("p.qd3");
      ASSERT_TRUE(WriteFile(name, Pattern(1'796'856, 1)));
      ASSERT_TRUE(WriteFile(name + "h", Pattern(550, 2)));
      ASSERT_TRUE(WriteFile(name + "pid", Pattern(1'360, 3)));
      ProjectBlocks blocks;
      FillBlocks(blocks, 9);
      FailingCalls calls(c.call, k);
      const FileResult r = WriteFilesAtomically(
          {{name, QByteArrayView(blocks.image.data(), 1'796'856)},
           {name + "h", QByteArrayView(blocks.passwords.data(), 550)},
           {name + "pid", QByteArrayView(blocks.pid.data(), 1'360)}},
          calls);
      const std::string label = std::to_string(static_cast<int>(c.call)) + "/" + std::to_string(k);
      EXPECT_FALSE(r) << label;
      EXPECT_EQ(r.error, QDir::toNativeSeparators(dir.filePath(files[k - 1])) + ": " + c.reason)
          << label;
      EXPECT_EQ(ReadFile(name), ToByteArray(Pattern(1'796'856, 1))) << label;
      EXPECT_EQ(ReadFile(name + "h"), ToByteArray(Pattern(550, 2))) << label;
      EXPECT_EQ(ReadFile(name + "pid"), ToByteArray(Pattern(1'360, 3))) << label;
      EXPECT_EQ(Entries(dir.path()), QStringList({"p.qd3", "p.qd3h", "p.qd3pid"})) << label;
    }
  }
}

// The main file goes into place last, so a failed rename never leaves a new project file
// without its side files.
TEST(AtomicWriter, AFailedRenameNeverReplacesTheMainFile) {
  QTemporaryDir dir;
  const QString name = dir.filePath("p.qd3");
  ASSERT_TRUE(WriteFile(name, Pattern(100, 1)));
  ProjectBlocks blocks;
  FailingCalls calls(FailingCalls::Call::Rename, 2);
  // Renamed in the order p.qd3pid, p.qd3h, p.qd3: the second fails.
  const FileResult r = WriteFilesAtomically(
      {{name, QByteArrayView("new")}, {name + "h", QByteArrayView("new")},
       {name + "pid", QByteArrayView("new")}},
      calls);
  EXPECT_EQ(r.error, QDir::toNativeSeparators(name + "h") + ": Input/output error");
  EXPECT_EQ(ReadFile(name), ToByteArray(Pattern(100, 1)));
  EXPECT_EQ(Entries(dir.path()), QStringList({"p.qd3", "p.qd3pid"}));
}

TEST(AtomicWriter, ANameTooLongForTheFileSystemIsRefusedBeforeWriting) {
  QTemporaryDir dir;
  // 255 characters: the side files' names (+"h", +"pid") would pass the limit.
  const QString longName = dir.filePath(QString(251, 'n') + ".qd3");
  ProjectBlocks blocks;
  const FileResult r = SaveProjectFile(blocks, longName);
  EXPECT_EQ(r.error, QDir::toNativeSeparators(longName + "h") +
                         ": the name is 256 bytes long; this file system allows at most 255");
  EXPECT_TRUE(Entries(dir.path()).isEmpty());
  // The longest name whose side files fit saves, and saves again: temporary names stay short.
  const QString longest = dir.filePath(QString(248, 'n') + ".qd3");
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(SaveProjectFile(blocks, longest)) << i;
  EXPECT_EQ(Entries(dir.path()).size(), 3);
}

// Loaders open only regular files: a FIFO or a folder is refused at once, never opened
// blocking.
TEST(Loaders, RefuseWhatIsNotARegularFileAtOnce) {
  QTemporaryDir dir;
  const QString name = dir.filePath("p.qd3");
  ProjectBlocks blocks;
  ASSERT_TRUE(SaveProjectFile(blocks, name));
  struct Case {
    const char* what;
    QString path;
    std::function<QString()> load;
  };
  const QString settingsDir = dir.filePath("settings");
  ASSERT_TRUE(QDir().mkpath(settingsDir));
  const Case cases[] = {
      {"side file", name + "h", [&] { return LoadProjectFile(blocks, name).error; }},
      {"PID file", name + "pid", [&] { return LoadProjectFile(blocks, name).error; }},
      {"settings", settingsDir + "/ustawienia.ini",
       [&] {
         QString error;
         ReadAppSettings(settingsDir, &error);
         return error;
       }},
      {"connection", settingsDir + "/setupQDXust.ini",
       [&] {
         QString error;
         ReadConnectionFields(settingsDir, &error);
         return error;
       }},
  };
  for (const Case& c : cases) {
    QFile::remove(c.path);
    ASSERT_EQ(::mkfifo(QFile::encodeName(c.path).constData(), 0600), 0) << c.what;
    QElapsedTimer timer;
    timer.start();
    const QString error = c.load();
    EXPECT_LT(timer.elapsed(), 1000) << c.what;
    EXPECT_EQ(error, QDir::toNativeSeparators(c.path) + ": not a regular file") << c.what;
    QFile::remove(c.path);
  }
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.qd3"));
  EXPECT_EQ(LoadProjectFile(blocks, dir.filePath("folder.qd3")).error,
            QDir::toNativeSeparators(dir.filePath("folder.qd3")) + ": not a regular file");
}

// On a real file system that runs out of space: skipped where no small file system can be
// mounted.
TEST(AtomicWriter, AFullFileSystemKeepsTheOldProject) {
  QTemporaryDir dir;
  // Room for the old project and a little more, not for a new main file.
  if (::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0,
              "size=1820k") != 0) {
    GTEST_SKIP() << "no small file system can be mounted here";
  }
  const QString name = dir.filePath("p.qd3");
  ProjectBlocks old;
  FillBlocks(old, 1);
  const FileResult first = SaveProjectFile(old, name);
  ProjectBlocks blocks;
  FillBlocks(blocks, 2);
  const FileResult second = SaveProjectFile(blocks, name);
  const QByteArray image = ReadFile(name), passwords = ReadFile(name + "h"), pid = ReadFile(name + "pid");
  const QStringList entries = Entries(dir.path());
  ::umount(QFile::encodeName(dir.path()).constData());
  ASSERT_TRUE(first) << first.error.toStdString();
  EXPECT_EQ(second.error, QDir::toNativeSeparators(name) + ": No space left on device");
  EXPECT_EQ(image, QByteArray(reinterpret_cast<const char*>(old.image.data()), 1'796'856));
  EXPECT_EQ(passwords, QByteArray(reinterpret_cast<const char*>(old.passwords.data()), 550));
  EXPECT_EQ(pid, QByteArray(reinterpret_cast<const char*>(old.pid.data()), 1'360));
  EXPECT_EQ(entries, QStringList({"p.qd3", "p.qd3h", "p.qd3pid"}));
}

}  // namespace
}  // namespace qdx
