// qdx read, write and compare against the in-process emulated controller: the lines per
// section, the exit codes, the files read saves or leaves alone, passwords, --reset.
#include "cli/project_commands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "files/project_files.h"
#include "model/records.h"
#include "emulator/emulator.h"
#include "emulator/emulator_port.h"
#include "support/fake_serial_port.h"
#include "support/full_project.h"
#include "support/qt_printers.h"

namespace qdx::cli {
namespace {

class ProjectCommands : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QFile f(QDir(dir_.path()).filePath("ustawienia.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Parametry]\r\ntimeoutStand=100\r\nWaitForPanel=1\r\n");
    emulator_.SetReadyDelayMilliseconds(20);
  }

  QString File(const QString& name) const { return QDir(dir_.path()).filePath(name); }

  void SaveProject(const QString& name, std::uint32_t seed = 7) {
    auto blocks = std::make_unique<ProjectBlocks>();
    test::FillFullProject(*blocks, 900, seed);
    ASSERT_TRUE(SaveProjectFile(*blocks, File(name)).ok);
  }

  CommandOutput Run(const QStringList& args, bool reset = false) {
    CommandLine line;
    line.global.settingsDir = dir_.path();
    line.global.module = GetParam();
    line.command = args[0];
    line.arguments = args.mid(1);
    line.reset = reset;
    QString error;
    auto c = Connection::Create(line.global, ChooseSettingsFolders(line.global, {}, {}), &error,
                                std::make_unique<EmulatorPort>(emulator_, clock_), &clock_);
    EXPECT_TRUE(c) << error.toStdString();
    return RunProjectTransfer(line, *c);
  }

  QTemporaryDir dir_;
  test::TestClock clock_;
  Emulator emulator_{clock_};
};

const QString kAllOk =
    "setup: OK\nrelays: OK\nprocesses: OK\nwashing-processes: OK\nalarms: OK\n"
    "special-statuses: OK\nprograms: OK\nwashing-program: OK\nanalog-outputs: OK\npid: OK\n";

TEST_P(ProjectCommands, WriteThenCompareIsEqualAndOneRelayNameIsNamed) {
  SaveProject("p.qd3");
  CommandOutput w = Run({"write", File("p.qd3")});
  EXPECT_EQ(w.exitCode, kExitOk) << w.out.toStdString() << w.err.toStdString();
  EXPECT_EQ(w.out, kAllOk);
  CommandOutput c = Run({"compare", File("p.qd3")});
  EXPECT_EQ(c.exitCode, kExitOk) << c.out.toStdString();
  EXPECT_EQ(c.out, kAllOk);

  auto blocks = std::make_unique<ProjectBlocks>();
  ASSERT_TRUE(LoadProjectFile(*blocks, File("p.qd3")).ok);
  const QByteArray name = Relay(blocks->image, 7).Name().Bytes();
  Relay(blocks->image, 7).Name().SetBytes("FAN");
  ASSERT_TRUE(SaveProjectFile(*blocks, File("p.qd3")).ok);
  const QByteArray before = [&] {
    QFile f(File("p.qd3"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }();
  c = Run({"compare", File("p.qd3"), "pid", "relays"});
  EXPECT_EQ(c.exitCode, kExitDifference);
  EXPECT_EQ(c.out, QStringLiteral("relays: Difference: record 7 field name: project \"FAN\", "
                                  "controller \"%1\"\npid: OK\n")
                       .arg(QString::fromLatin1(name)));
  QFile f(File("p.qd3"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), before);  // compare never saves
}

TEST_P(ProjectCommands, ReadStartsFromDefaultsAndSavesOnlyACompleteRead) {
  SaveProject("p.qd3");
  ASSERT_EQ(Run({"write", File("p.qd3")}).exitCode, kExitOk);
  const CommandOutput r = Run({"read", File("new.qd3"), "relays", "programs"});
  EXPECT_EQ(r.exitCode, kExitOk) << r.err.toStdString();
  EXPECT_EQ(r.out, "relays: OK\nprograms: OK\n");
  auto sent = std::make_unique<ProjectBlocks>();
  auto got = std::make_unique<ProjectBlocks>();
  ASSERT_TRUE(LoadProjectFile(*sent, File("p.qd3")).ok);
  ASSERT_TRUE(LoadProjectFile(*got, File("new.qd3")).ok);
  EXPECT_EQ(Relay(got->image, 9).Name().Bytes(), Relay(sent->image, 9).Name().Bytes());
  EXPECT_EQ(Program(got->image, 99).Step(50).Hours(), Program(sent->image, 99).Step(50).Hours());
  // Start-up defaults where nothing was read.
  EXPECT_EQ(Alarm(got->image, 21).Number(), 21);
  EXPECT_EQ(WashingProgram(got->image).Name().Bytes(), "WASHING");

  // A read that fails leaves the file as it was.
  QFile f(File("new.qd3"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray good = f.readAll();
  f.close();
  emulator_.AddHandler(
      kClassRead, 0x0F, 0, 8,
      [](const InnerRequest&) -> std::optional<QByteArray> { return std::nullopt; });
  const CommandOutput bad = Run({"read", File("new.qd3"), "relays", "alarms"});
  EXPECT_EQ(bad.exitCode, kExitLink);
  EXPECT_TRUE(bad.out.startsWith("relays: OK\nalarms: Error: No communication"))
      << bad.out.toStdString();
  EXPECT_TRUE(bad.err.contains("was not saved"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), good);
}

TEST_P(ProjectCommands, PasswordsOnlyWhenNamed) {
  SaveProject("p.qd3");
  const QByteArray before = emulator_.Memory().sections.passwords;
  ASSERT_EQ(Run({"write", File("p.qd3"), "pid"}).exitCode, kExitOk);
  EXPECT_EQ(emulator_.Memory().sections.passwords, before);
  const CommandOutput w = Run({"write", File("p.qd3"), "passwords"});
  EXPECT_EQ(w.out, "passwords: OK\n");
  EXPECT_NE(emulator_.Memory().sections.passwords, before);
  EXPECT_EQ(Run({"compare", File("p.qd3"), "passwords"}).out, "passwords: OK\n");
  emulator_.Memory().sections.passwords[6 * 4] = 'X';  // entry 5
  const CommandOutput c = Run({"compare", File("p.qd3"), "passwords"});
  EXPECT_EQ(c.exitCode, kExitDifference);
  EXPECT_TRUE(c.out.startsWith("passwords: Difference: record 5 field entry:"))
      << c.out.toStdString();
}

// As the passwords window: sent even while the controller runs, and never a reset.
TEST_P(ProjectCommands, PasswordsWithoutTheStopCheck) {
  SaveProject("p.qd3");
  emulator_.SetRunning(true);
  const CommandOutput w = Run({"write", File("p.qd3"), "passwords"});
  EXPECT_EQ(w.out, "passwords: OK\n");
  EXPECT_EQ(w.exitCode, kExitOk);
  EXPECT_EQ(emulator_.Memory().resetCount, 0);
}

TEST_P(ProjectCommands, ExitCodesOfRefusalsAndBadValues) {
  SaveProject("p.qd3");
  auto blocks = std::make_unique<ProjectBlocks>();
  ASSERT_TRUE(LoadProjectFile(*blocks, File("p.qd3")).ok);
  Relay(blocks->image, 3).SetTimeTb(-5);
  Relay(blocks->image, 9).SetTimeTa(70000);
  Alarm(blocks->image, 4).SetDelayTime(99999);
  ASSERT_TRUE(SaveProjectFile(*blocks, File("bad.qd3")).ok);
  const QByteArray alarmsBefore = emulator_.Memory().sections.alarms;
  int frames = 0;
  emulator_.SetObserver([&frames](const FrameEvent&) { ++frames; });
  CommandOutput w = Run({"write", File("bad.qd3"), "relays", "alarms", "pid"});
  emulator_.SetObserver({});
  EXPECT_EQ(w.exitCode, kExitUsage);
  // Nothing of a project with a value that cannot travel is sent, not even its good sections.
  EXPECT_EQ(frames, 0);
  EXPECT_EQ(emulator_.Memory().sections.alarms, alarmsBefore);
  EXPECT_EQ(w.out,
            "relays: Error: Relay 3, Tb: -5 is outside 0..65535\n"
            "alarms: Error: Alarm 4, delay time: 99999 is outside 0..65535\n"
            "pid: Error: not sent\n");
  // Every refused value, one line each.
  EXPECT_TRUE(w.err.startsWith("qdx: relays: Relay 3, Tb: -5 is outside 0..65535\n"
                               "qdx: relays: Relay 9, Ta: 70000 is outside 0..65535\n"
                               "qdx: alarms: Alarm 4, delay time: 99999 is outside 0..65535\n"))
      << w.err.toStdString();

  EXPECT_EQ(Run({"write", File("p.qd3"), "nonsense"}).exitCode, kExitUsage);
  EXPECT_EQ(Run({"compare", File("missing.qd3")}).exitCode, kExitUsage);
  EXPECT_EQ(Run({"read", File("old.qd2")}).exitCode, kExitUsage);

  if (GetParam()) {
    emulator_.SetRunning(true);
    w = Run({"write", File("p.qd3"), "setup", "pid"}, /*reset=*/true);
    EXPECT_EQ(w.exitCode, kExitLink);
    EXPECT_EQ(w.out,
              "setup: Error: Controller must be in STOP mode\npid: Error: Controller must be in "
              "STOP mode\nreset: Error: Controller must be in STOP mode\n");
    // Failures also on standard error, saying whom qdx talked to.
    EXPECT_TRUE(w.err.contains("qdx: setup: Controller must be in STOP mode (station "))
        << w.err.toStdString();
    EXPECT_EQ(emulator_.Memory().resetCount, 0);
  } else {
    w = Run({"write", File("p.qd3"), "setup"}, /*reset=*/true);
    EXPECT_EQ(w.out, "setup: OK\nreset: OK\n");
    EXPECT_EQ(emulator_.Memory().resetCount, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, ProjectCommands, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& i) {
                           return i.param ? "Module" : "Direct";
                         });

}  // namespace
}  // namespace qdx::cli
