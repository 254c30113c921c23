// qdx menu against the real qdx-emulator over a pseudo-terminal, in each panel layout: the
// texts read into files, one of them changed and written back, and read again: the controller
// holds exactly the files' texts.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "emulator_process.h"

namespace qdx {
namespace {

using test::EmulatorProcess;
using test::ProgramPath;
using test::ProgramRun;
using test::RuntimeFolder;

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct LayoutCase {
  const char* layout;  // qdx-emulator --layout
  const char* summary;
  bool baseFiles;  // BASE.mpl and BASE.str are written
};

class MenuCommandEndToEnd : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(MenuCommandEndToEnd, ReadChangeWriteReadBack) {
  const LayoutCase& c = GetParam();
  RuntimeFolder runtime;
  QTemporaryDir work;
  ASSERT_TRUE(runtime.ok() && work.isValid());
  const QDir dir(work.path());
  const QString pty = dir.filePath("emulator-pty");
  EmulatorProcess emulator(runtime.environment());
  QString error;
  ASSERT_TRUE(emulator.Start({"0", "--layout", c.layout, "--pty-link", pty}, pty, &error))
      << error.toStdString();
  auto qdx = [&](const QStringList& args) {
    return test::RunProgram(
        ProgramPath("qdx"),
        QStringList{"--settings", work.path(), "--port", pty, "--baud", "115200", "menu"} + args,
        runtime.environment(), 120000);
  };

  const ProgramRun first = qdx({"read", dir.filePath("first.mpl")});
  ASSERT_EQ(first.exitCode, 0) << first.out.toStdString() << first.err.toStdString();
  EXPECT_EQ(first.out, QByteArray(c.summary));
  EXPECT_EQ(QFile::exists(dir.filePath("first.mpl")), c.baseFiles);
  EXPECT_EQ(QFile::exists(dir.filePath("first.str")), c.baseFiles);

  // The first entry of language 2 changed on disk, then sent.
  QByteArray language2 = FileBytes(dir.filePath("first.2"));
  ASSERT_TRUE(language2.contains("\r\n"));
  language2 = "NEUES MENU\r\n" + language2.mid(language2.indexOf("\r\n") + 2);
  {
    QFile f(dir.filePath("first.2"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(language2);
  }
  const ProgramRun write = qdx({"write", dir.filePath("first.mpl")});
  ASSERT_EQ(write.exitCode, 0) << write.out.toStdString() << write.err.toStdString();
  EXPECT_EQ(write.out, QByteArray(c.summary));

  const ProgramRun again = qdx({"read", dir.filePath("again.mpl")});
  ASSERT_EQ(again.exitCode, 0) << again.out.toStdString() << again.err.toStdString();
  for (const char* suffix : {".1", ".2", ".3", ".mpl", ".str"}) {
    EXPECT_EQ(FileBytes(dir.filePath(QStringLiteral("again") + suffix)),
              FileBytes(dir.filePath(QStringLiteral("first") + suffix)))
        << suffix;
  }
  EXPECT_TRUE(FileBytes(dir.filePath("again.2")).startsWith("NEUES MENU\r\n"));
  emulator.Stop();
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, MenuCommandEndToEnd,
    ::testing::Values(
        LayoutCase{"four", "menu: OK (four-block layout, 3 groups, 11 entries, 3 languages)\n",
                   true},
        LayoutCase{"three", "menu: OK (three-block layout, 3 groups, 11 entries, 3 languages)\n",
                   false}),
    [](const auto& info) { return std::string(info.param.layout) + "Blocks"; });

TEST(MenuCommand, UnreachableControllerIsALinkError) {
  RuntimeFolder runtime;
  QTemporaryDir work;
  ASSERT_TRUE(runtime.ok() && work.isValid());
  const ProgramRun run = test::RunProgram(
      ProgramPath("qdx"),
      {"--settings", work.path(), "--port", work.filePath("no-such-port"), "menu", "read",
       work.filePath("x.mpl")},
      runtime.environment());
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_TRUE(run.out.startsWith("menu: Error: ")) << run.out.toStdString();
  EXPECT_FALSE(QFile::exists(work.filePath("x.mpl")));
  EXPECT_FALSE(QFile::exists(work.filePath("x.1")));
}

}  // namespace
}  // namespace qdx
