// qdx write and compare against the real qdx-emulator over a pseudo-terminal: a project written
// compares equal; one relay changed in the project file afterwards is named by compare.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <memory>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Runs program with its standard output and error on a new pseudo-terminal, as at a person's
// terminal; what the terminal showed.
QByteArray RunOnTerminal(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment) {
  std::vector<QByteArray> storage{QFile::encodeName(program)};
  for (const QString& a : arguments) storage.push_back(a.toLocal8Bit());
  for (const QString& e : environment.toStringList()) storage.push_back(e.toLocal8Bit());
  std::vector<char*> argv, envp;
  for (std::size_t i = 0; i < storage.size(); ++i) {
    (i <= static_cast<std::size_t>(arguments.size()) ? argv : envp).push_back(storage[i].data());
  }
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  int master = -1;
  const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  QByteArray shown;
  QElapsedTimer timer;
  timer.start();
  char buffer[4096];
  while (pid > 0 && timer.elapsed() < 60000) {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 200) <= 0) continue;
    const ssize_t got = ::read(master, buffer, sizeof buffer);
    if (got <= 0) break;  // the program ended and closed the terminal
    shown.append(buffer, got);
  }
  ::close(master);
  if (pid > 0) ::waitpid(pid, nullptr, 0);
  return shown;
}

// At a terminal qdx shows each section's progress on one line it clears again; piped, only
// the result lines.
TEST(ProjectCommandsEndToEnd, ProgressOnATerminalOnly) {
  RuntimeFolder runtime;
  QTemporaryDir work;
  ASSERT_TRUE(runtime.ok() && work.isValid());
  const QString pty = work.path() + QStringLiteral("/emulator-pty");
  EmulatorProcess emulator(runtime.environment());
  QString error;
  ASSERT_TRUE(emulator.Start({"0", "8", "--pty-link", pty}, pty, &error)) << error.toStdString();
  const QStringList args{"--settings", work.path(), "--port", pty, "--baud", "115200",
                         "read", QDir(work.path()).filePath("p.qd3"), "relays", "alarms"};

  const QByteArray shown = RunOnTerminal(ProgramPath("qdx"), args, runtime.environment());
  EXPECT_TRUE(shown.contains("\r\033[Krelays 0/6")) << shown.toStdString();
  EXPECT_TRUE(shown.contains("relays 6/6")) << shown.toStdString();
  EXPECT_TRUE(shown.contains("alarms 2/2")) << shown.toStdString();
  EXPECT_TRUE(shown.contains("relays: OK")) << shown.toStdString();

  const ProgramRun piped = test::RunProgram(ProgramPath("qdx"), args, runtime.environment());
  EXPECT_EQ(piped.exitCode, 0) << piped.err.toStdString();
  EXPECT_EQ(piped.out, "relays: OK\nalarms: OK\n");
  EXPECT_TRUE(piped.err.isEmpty()) << piped.err.toStdString();
  emulator.Stop();
}

}  // namespace
}  // namespace qdx
