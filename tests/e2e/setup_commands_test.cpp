// qdx setup against a project file: the listing, assignments saved together, and a wrong
// assignment that refuses the whole command and leaves the file as it was.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "emulator_process.h"
#include "files/project_defaults.h"
#include "files/project_files.h"
#include "model/setup_block.h"

namespace qdx {
namespace {

using test::ProgramPath;
using test::ProgramRun;

class SetupCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(work_.isValid());
    auto blocks = std::make_unique<ProjectBlocks>();
    ApplyStartupDefaults(blocks->image);
    qdx::Setup(blocks->image).SetProgramVersion(900);
    qdx::Setup(blocks->image).SetParameter(26, 15);
    ASSERT_TRUE(SaveProjectFile(*blocks, project_).ok);
  }

  ProgramRun Qdx(const QStringList& arguments) {
    return test::RunProgram(ProgramPath(QStringLiteral("qdx")), arguments,
                            QProcessEnvironment::systemEnvironment());
  }
  QByteArray FileBytes() {
    QFile f(project_);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
  }
  ConstSetupBlock SavedSetup(ProjectBlocks& blocks) {
    EXPECT_TRUE(LoadProjectFile(blocks, project_).ok);
    return qdx::Setup(std::as_const(blocks.image));
  }

  QTemporaryDir work_;
  const QString project_ = work_.filePath(QStringLiteral("smokehouse.qd3"));
};

TEST_F(SetupCommandTest, ListsEveryParameterAndTheProgramVersion) {
  const ProgramRun run = Qdx({"setup", project_});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QList<QByteArray> lines = run.out.split('\n');
  ASSERT_EQ(lines.size(), 97 + 2);  // the version line, then the final newline
  EXPECT_TRUE(lines[0].startsWith("F01  Address RS-485  "));
  EXPECT_EQ(lines[25], "F26  CHAM.T.CORRECTION S  1.5");
  EXPECT_EQ(lines[97], "program version: 900");
}

TEST_F(SetupCommandTest, SetsEveryAssignmentOrNone) {
  const QByteArray before = FileBytes();
  const ProgramRun wrong = Qdx({"setup", project_, "F26=-3.5", "F01=40"});
  EXPECT_EQ(wrong.exitCode, 2);
  EXPECT_TRUE(wrong.err.contains("F01 takes 1..32")) << wrong.err.toStdString();
  EXPECT_EQ(FileBytes(), before) << "nothing saved";

  const ProgramRun run = Qdx({"setup", project_, "F26=-3.5", "F02=1 - 19200 [b/s]", "F70=-1"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  // The assigned parameters as they now are, in the order given.
  const QList<QByteArray> lines = run.out.split('\n');
  ASSERT_EQ(lines.size(), 3 + 1);
  EXPECT_EQ(lines[0], "F26  CHAM.T.CORRECTION S  -3.5");
  EXPECT_EQ(lines[1], "F02  Baud rate  1 - 19200 [b/s]");
  EXPECT_TRUE(lines[2].startsWith("F70  ") && lines[2].endsWith("  -1")) << lines[2].data();
  auto blocks = std::make_unique<ProjectBlocks>();
  const ConstSetupBlock saved = SavedSetup(*blocks);
  EXPECT_EQ(saved.Parameter(26), -35);
  EXPECT_EQ(saved.Parameter(2), 1);
  EXPECT_EQ(saved.Parameter(70), -1);
  EXPECT_EQ(saved.ProgramVersion(), 900);
}

TEST_F(SetupCommandTest, OlderFormatsAreShownButNotSet) {
  const QString old = work_.filePath(QStringLiteral("old.qdp"));
  QFile f(old);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(285'488, '\0'));
  f.close();
  EXPECT_EQ(Qdx({"setup", old}).exitCode, 0);
  const ProgramRun set = Qdx({"setup", old, "F01=2"});
  EXPECT_EQ(set.exitCode, 2);
  EXPECT_TRUE(set.err.contains(".qd3 project files only")) << set.err.toStdString();
  EXPECT_EQ(Qdx({"setup", work_.filePath("missing.qd3")}).exitCode, 2);
}

}  // namespace
}  // namespace qdx
