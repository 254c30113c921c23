// The real programs as end-to-end tests use them: qdx-emulator serving a pseudo-terminal in a
// private runtime folder (so parallel tests never meet each other's COM links), and qdx or any
// other program run to completion with that folder in its environment.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace qdx::test {

// A program's run: exit code (-1 when it crashed or did not end in time), its output and how
// long it took.
struct ProgramRun {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
  qint64 milliseconds = 0;
};

// Runs program with arguments and environment, waiting at most timeoutMs.
ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment, int timeoutMs = 60000);

// A private folder used as XDG_RUNTIME_DIR, where emulators publish their COM links.
class RuntimeFolder {
 public:
  RuntimeFolder();
  bool ok() const { return dir_.isValid(); }
  QString path() const { return dir_.path(); }
  // The system environment with XDG_RUNTIME_DIR pointing here.
  QProcessEnvironment environment() const;

 private:
  QTemporaryDir dir_;
};

// qdx-emulator as a child process. It dies with the test process (parent-death signal) and is
// killed by the destructor, so a failing test never leaves it behind.
class EmulatorProcess {
 public:
  explicit EmulatorProcess(const QProcessEnvironment& environment);
  ~EmulatorProcess();
  EmulatorProcess(const EmulatorProcess&) = delete;
  EmulatorProcess& operator=(const EmulatorProcess&) = delete;

  // Starts "qdx-emulator arguments..." and waits until it printed its pseudo-terminal and the
  // link it publishes exists; false with the reason in *error.
  bool Start(const QStringList& arguments, const QString& linkPath, QString* error);
  // Stops it (SIGTERM, then SIGKILL) and returns what it wrote on standard error.
  QByteArray Stop();
  QString slavePath() const { return slave_; }

 private:
  QProcessEnvironment environment_;
  std::unique_ptr<QProcess> process_;
  QString slave_;
  QByteArray err_;
};

// Where the programs are.
QString ProgramPath(const QString& name);

}  // namespace qdx::test
