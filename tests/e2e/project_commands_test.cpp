// qdx write and compare against the real qdx-emulator over a pseudo-terminal: a project written
// compares equal; one relay changed in the project file afterwards is named by compare.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "files/project_files.h"
#include "model/relay_record.h"
#include "emulator_process.h"
#include "support/full_project.h"

namespace qdx {
namespace {

using test::EmulatorProcess;
using test::ProgramPath;
using test::ProgramRun;
using test::RuntimeFolder;

TEST(ProjectCommandsEndToEnd, WriteThenCompareThenOneRelayChanged) {
  RuntimeFolder runtime;
  QTemporaryDir work;
  ASSERT_TRUE(runtime.ok() && work.isValid());
  {
    QFile f(QDir(work.path()).filePath("ustawienia.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Parametry]\r\ntimeoutStand=500\r\n");
  }
  const QString pty = work.path() + QStringLiteral("/emulator-pty");
  EmulatorProcess emulator(runtime.environment());
  QString error;
  ASSERT_TRUE(emulator.Start({"0", "8", "--pty-link", pty}, pty, &error)) << error.toStdString();

  const QString project = QDir(work.path()).filePath("smokehouse.qd3");
  auto blocks = std::make_unique<ProjectBlocks>();
  test::FillFullProject(*blocks, 900);
  ASSERT_TRUE(SaveProjectFile(*blocks, project).ok);

  auto qdx = [&](const QStringList& args) {
    return test::RunProgram(
        ProgramPath("qdx"),
        QStringList{"--settings", work.path(), "--port", pty, "--baud", "115200"} + args,
        runtime.environment(), 120000);
  };
  const ProgramRun write = qdx({"write", project});
  ASSERT_EQ(write.exitCode, 0) << write.out.toStdString() << write.err.toStdString();
  EXPECT_EQ(write.out.count(": OK\n"), 10);
  ProgramRun compare = qdx({"compare", project});
  EXPECT_EQ(compare.exitCode, 0) << compare.out.toStdString() << compare.err.toStdString();

  const QByteArray name = Relay(blocks->image, 7).Name().Bytes();
  Relay(blocks->image, 7).Name().SetBytes("FAN");
  ASSERT_TRUE(SaveProjectFile(*blocks, project).ok);
  compare = qdx({"compare", project});
  EXPECT_EQ(compare.exitCode, 1) << compare.err.toStdString();
  EXPECT_TRUE(
      compare.out.contains("relays: Difference: record 7 field name: project \"FAN\", "
                           "controller \"" +
                           name + "\"\n"))
      << compare.out.toStdString();
  EXPECT_EQ(compare.out.count(": OK\n"), 9);
  emulator.Stop();
}

}  // namespace
}  // namespace qdx
