#include "emulator_process.h"

#include <signal.h>
#include <sys/prctl.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

namespace qdx::test {

QString ProgramPath(const QString& name) {
  return QStringLiteral(QDX_BIN_DIR "/") + name;
}

ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment, int timeoutMs) {
  ProgramRun run;
  QProcess p;
  p.setProcessEnvironment(environment);
  QElapsedTimer timer;
  timer.start();
  p.start(program, arguments);
  if (!p.waitForFinished(timeoutMs)) {
    p.kill();
    p.waitForFinished(5000);
  } else if (p.exitStatus() == QProcess::NormalExit) {
    run.exitCode = p.exitCode();
  }
  run.milliseconds = timer.elapsed();
  run.out = p.readAllStandardOutput();
  run.err = p.readAllStandardError();
  return run;
}

RuntimeFolder::RuntimeFolder() {
  // Qt accepts a runtime folder only when it belongs to the user and no one else may enter it.
  QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

QProcessEnvironment RuntimeFolder::environment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
  return env;
}

EmulatorProcess::EmulatorProcess(const QProcessEnvironment& environment)
    : environment_(environment) {}

EmulatorProcess::~EmulatorProcess() {
  Stop();
}

bool EmulatorProcess::Start(const QStringList& arguments, const QString& linkPath, QString* error) {
  process_ = std::make_unique<QProcess>();
  process_->setProcessEnvironment(environment_);
  // Bounded by this process's life even if the test crashes before its teardown.
  process_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
  process_->start(ProgramPath(QStringLiteral("qdx-emulator")), arguments);
  if (!process_->waitForStarted(10000)) {
    *error = QStringLiteral("qdx-emulator did not start: %1").arg(process_->errorString());
    return false;
  }
  QElapsedTimer timer;
  timer.start();
  QByteArray out;
  while (timer.elapsed() < 10000) {
    process_->waitForReadyRead(50);
    out += process_->readAllStandardOutput();
    if (out.contains('\n') && QFileInfo::exists(linkPath)) {
      slave_ = QString::fromLocal8Bit(out.left(out.indexOf('\n')).trimmed());
      return true;
    }
    if (process_->state() == QProcess::NotRunning) break;
  }
  *error = QStringLiteral("qdx-emulator did not publish %1: %2")
               .arg(linkPath, QString::fromLocal8Bit(process_->readAllStandardError()));
  return false;
}

QByteArray EmulatorProcess::Stop() {
  if (!process_) return err_;
  if (process_->state() != QProcess::NotRunning) {
    process_->terminate();
    if (!process_->waitForFinished(5000)) {
      process_->kill();
      process_->waitForFinished(5000);
    }
  }
  err_ += process_->readAllStandardError();
  process_.reset();
  return err_;
}

}  // namespace qdx::test
