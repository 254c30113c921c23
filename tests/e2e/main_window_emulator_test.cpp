// "Emulator QDX" and "Communication" in the main window with the real qdx-emulator and the
// real serial stack: the emulator is started with the window's command line, the status line
// shows the port once it is served, and the connection test says "OK" in green until the
// emulator is gone, then "ERR" in red.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/desktop_window.h"
#include "emulator_process.h"
#include "link/port_names.h"
#include "link/qt_serial_port.h"
#include "link/system_clock.h"
#include "support/fake_progress.h"
#include "support/scripted_dialogs.h"

namespace qdx {
namespace {

bool WaitFor(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return done();
}

class MainWindowEmulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.ok());
    ASSERT_TRUE(program_.isValid());
    // The window's own process finds the emulator's link through the same runtime folder.
    oldRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
    QFile ini(QDir(program_.path()).filePath("ustawienia.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Parametry]\r\ntimeoutStand=200\r\n");
  }
  void TearDown() override {
    desktop_.reset();
    emulator_.Stop();
    if (oldRuntime_.isEmpty())
      qunsetenv("XDG_RUNTIME_DIR");
    else
      qputenv("XDG_RUNTIME_DIR", oldRuntime_);
  }

  test::RuntimeFolder runtime_;
  QTemporaryDir program_;
  QByteArray oldRuntime_;
  test::EmulatorProcess emulator_{runtime_.environment()};
  test::ScriptedDialogs dialogs_;
  test::FakeProgress progress_;
  SystemClock clock_;
  Session session_;
  std::unique_ptr<Desktop> desktop_;
};

TEST_F(MainWindowEmulatorTest, EmulatorCommandThenCommunication) {
  session_.programDir = program_.path();
  // As main() builds it, on the real serial stack.
  desktop_ = std::make_unique<Desktop>(session_, dialogs_, progress_, clock_,
                                       std::make_unique<QtSerialPort>(), StartupArguments{});
  TForm1& w = desktop_->window();

  // The real program with the window's command line, kept by the test so it cannot outlive it.
  QString startedProgram;
  w.hooks().startProgram = [&](const QString& program, const QStringList& args, QString* error) {
    startedProgram = program;
    return emulator_.Start(args, EmulatorPortLink(args.value(0).toInt() + 1), error);
  };
  w.show();
  QCoreApplication::processEvents();
  w.portCombo()->setCurrentIndex(1);

  w.emulatorAction()->trigger();
  EXPECT_EQ(startedProgram, QDir(program_.path()).filePath("qdx-emulator"));
  ASSERT_TRUE(dialogs_.errors().isEmpty()) << dialogs_.errors().join('\n').toStdString();
  const QString served = QStringLiteral("COM2 = %1 (Emulator QDX)").arg(emulator_.slavePath());
  EXPECT_TRUE(WaitFor([&] { return w.statusLabel()->text() == served; }, 3000))
      << w.statusLabel()->text().toStdString();

  for (const bool module : {false, true}) {
    w.moduleCheck()->setChecked(module);
    w.communicationButton()->click();
    EXPECT_EQ(w.communicationResult()->text(), "OK") << module;
    EXPECT_EQ(w.communicationResult()->palette().color(QPalette::WindowText),
              QColor(0x00, 0xFF, 0x00));
  }

  emulator_.Stop();
  w.communicationButton()->click();
  EXPECT_EQ(w.communicationResult()->text(), "ERR");
  EXPECT_EQ(w.communicationResult()->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_TRUE(dialogs_.shown().empty());
}

}  // namespace
}  // namespace qdx
