// The main window on a real link to the in-process emulator: the connection test's "OK" and
// "ERR", the device reset and the reset offer at close, the status line that follows the
// chosen port and the port's failures, and the emulator command waiting for its port.
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
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/desktop_window.h"
#include "emulator/emulator.h"
#include "emulator/emulator_port.h"
#include "link/link.h"
#include "link/operations.h"
#include "link/port_names.h"
#include "link/port_status.h"
#include "support/fake_progress.h"
#include "support/fake_serial_port.h"
#include "support/scripted_dialogs.h"

namespace qdx {
namespace {

using test::FakeProgress;
using test::ScriptedDialogs;
using Kind = ScriptedDialogs::Kind;

const QColor kGreen(0x00, 0xFF, 0x00);
const QColor kRed(Qt::red);

class MainWindowLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  void WriteSettings(const QByteArray& ini) {
    QFile f(QDir(dir_.path()).filePath("ustawienia.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(ini);
  }

  // The window as main() builds it, on port (the emulator's in-process port by default).
  TForm1& Start(std::unique_ptr<SerialPort> port = nullptr,
                const StartupArguments& arguments = {}) {
    if (!port) port = std::make_unique<EmulatorPort>(emulator_, clock_);
    desktop_.reset();
    session_ = std::make_unique<Session>();
    session_->programDir = dir_.path();
    desktop_ = std::make_unique<Desktop>(*session_, dialogs_, progress_, clock_, std::move(port),
                                         arguments);
    desktop_->window().show();
    QCoreApplication::processEvents();
    return desktop_->window();
  }

  QString Result() const { return desktop_->window().communicationResult()->text(); }
  QColor ResultColour() const {
    return desktop_->window().communicationResult()->palette().color(QPalette::WindowText);
  }
  QString Status() const { return desktop_->window().statusLabel()->text(); }

  QTemporaryDir dir_;
  test::TestClock clock_;
  Emulator emulator_{clock_};
  ScriptedDialogs dialogs_;
  FakeProgress progress_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<Desktop> desktop_;
};

TEST_F(MainWindowLinkTest, CommunicationIsOkInGreenOrErrInRedOnBothPaths) {
  TForm1& w = Start();
  for (const bool module : {false, true}) {
    SCOPED_TRACE(module ? "module path" : "direct path");
    w.moduleCheck()->setChecked(module);
    const EmulatorStats before = emulator_.Stats();
    w.addressSpin()->setValue(1);
    w.communicationButton()->click();
    EXPECT_TRUE(w.communicationResult()->isVisible());
    EXPECT_EQ(Result(), "OK");
    EXPECT_EQ(ResultColour(), kGreen);
    // The module path polls the status; the direct path reads the device information.
    EXPECT_EQ(emulator_.Stats().statusPolls - before.statusPolls, module ? 1 : 0);
    EXPECT_EQ(emulator_.Stats().direct - before.direct, module ? 0 : 1);

    w.addressSpin()->setValue(9);  // nobody answers there
    w.communicationButton()->click();
    EXPECT_EQ(Result(), "ERR");
    EXPECT_EQ(ResultColour(), kRed);
    EXPECT_TRUE(dialogs_.shown().empty());  // the result is the label, never a message
  }
}

// The desktop as main() builds it: closing its window still offers the reset on the link,
// which outlives the window.
TEST_F(MainWindowLinkTest, DeviceResetAndTheOfferAtCloseResetTheController) {
  TForm1& w = Start();
  emulator_.SetRunning(true);
  dialogs_.QueueYes();
  w.deviceResetAction()->trigger();
  EXPECT_EQ(dialogs_.questions(), QStringList{"Reset device?"});
  EXPECT_EQ(emulator_.Memory().resetCount, 1);
  EXPECT_FALSE(emulator_.Running());
  EXPECT_FALSE(session_->writePending);

  // "No" keeps the write pending, so closing offers the reset again.
  dialogs_.QueueNo();
  w.deviceResetAction()->trigger();
  EXPECT_EQ(emulator_.Memory().resetCount, 1);
  EXPECT_TRUE(session_->writePending);
  dialogs_.QueueYes();
  EXPECT_TRUE(w.close());
  EXPECT_EQ(dialogs_.questions().size(), 3);
  EXPECT_EQ(dialogs_.questions().last(), "Reset device?");
  EXPECT_EQ(emulator_.Memory().resetCount, 2);
  desktop_.reset();  // the window first, then the link it used
}

// "/D" makes the link trace into trans.txt where the settings are written; without it the
// same folder gets no trace.
TEST_F(MainWindowLinkTest, TraceOnlyWithSlashD) {
  const QString trace = QDir(dir_.path()).filePath("trans.txt");
  for (const bool on : {false, true}) {
    SCOPED_TRACE(on ? "/D" : "no /D");
    TForm1& w = Start(nullptr, ParseStartupArguments(on ? QStringList{"/D"} : QStringList{}));
    w.communicationButton()->click();
    ASSERT_EQ(Result(), "OK");
    EXPECT_EQ(QFileInfo::exists(trace), on);
    EXPECT_EQ(desktop_->link().TraceFile(), on ? trace : QString());
  }
  QFile f(trace);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().contains("  M: "));
}

TEST_F(MainWindowLinkTest, NoResetOfferWhenPytajOResetIsOff) {
  WriteSettings("[Parametry]\r\nPytajOReset=0\r\n");
  TForm1& w = Start();
  w.deviceResetAction()->trigger();
  EXPECT_TRUE(session_->writePending);
  EXPECT_TRUE(w.close());
  EXPECT_EQ(dialogs_.Count(Kind::Question), 0);
  EXPECT_EQ(emulator_.Memory().resetCount, 0);
}

TEST_F(MainWindowLinkTest, StatusLineFollowsThePortAndItsFailures) {
  WriteSettings(
      "[Parametry]\r\n[Ports]\r\nCOM3=/dev/qdx-test-adapter\r\nCOM4=/dev/qdx-test-other\r\n");
  auto fake = std::make_unique<test::FakeSerialPort>(&clock_);
  test::FakeSerialPort& port = *fake;
  port.FailOpen(PortError::PermissionDenied,
                "/dev/qdx-test-adapter: permission denied. The user must be in the dialout group");
  TForm1& w = Start(std::move(fake));

  w.portCombo()->setCurrentIndex(2);
  EXPECT_TRUE(Status().startsWith("COM3 = /dev/qdx-test-adapter (Ports section of ustawienia.ini)"))
      << Status().toStdString();
  w.communicationButton()->click();
  EXPECT_EQ(Result(), "ERR");
  EXPECT_TRUE(
      Status().endsWith("Last failure: permission denied. The "
                        "user must be in the dialout group"))
      << Status().toStdString();

  // Another port: its own device, the old failure gone.
  w.portCombo()->setCurrentIndex(3);
  EXPECT_TRUE(Status().startsWith("COM4 = /dev/qdx-test-other")) << Status().toStdString();
  EXPECT_FALSE(Status().contains("Last failure"));

  // The adapter is let in and works; then it is pulled out during a transfer.
  port.FailOpen(PortError::None);
  port.SetResponder([](const QByteArray&, int) { return QByteArray(); });
  w.communicationButton()->click();
  EXPECT_FALSE(Status().contains("Last failure")) << Status().toStdString();
  port.FailNextRead(PortError::Unplugged);
  port.FailOpen(PortError::NoSuchDevice, "/dev/qdx-test-other: no such device");
  w.communicationButton()->click();
  EXPECT_EQ(Result(), "ERR");
  EXPECT_TRUE(Status().endsWith("Last failure: no such device")) << Status().toStdString();
}

// Emulator links go to a private runtime folder while the test runs.
class RuntimeFolderScope {
 public:
  RuntimeFolderScope() : old_(qgetenv("XDG_RUNTIME_DIR")) {
    qputenv("XDG_RUNTIME_DIR", dir_.path().toLocal8Bit());
  }
  ~RuntimeFolderScope() {
    if (old_.isEmpty())
      qunsetenv("XDG_RUNTIME_DIR");
    else
      qputenv("XDG_RUNTIME_DIR", old_);
  }

 private:
  QTemporaryDir dir_;
  QByteArray old_;
};

bool WaitFor(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < ms)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

TEST_F(MainWindowLinkTest, EmulatorCommandShowsThePortOnceTheEmulatorServesIt) {
  RuntimeFolderScope runtime;
  TForm1& w = Start();
  w.SetEmulatorWaitMilliseconds(400);
  QTemporaryDir devices;
  const QString pty = devices.filePath("pts-3");
  {
    QFile f(pty);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  // Stands in for qdx-emulator: it publishes COM<index + 1> a little after it started.
  w.hooks().startProgram = [&](const QString&, const QStringList& args, QString*) {
    const int number = args.value(0).toInt() + 1;
    QTimer::singleShot(150, [pty, number] {
      QDir().mkpath(QFileInfo(EmulatorPortLink(number)).absolutePath());
      QFile::link(pty, EmulatorPortLink(number));
    });
    return true;
  };
  w.portCombo()->setCurrentIndex(1);
  EXPECT_TRUE(Status().startsWith("COM2 = /dev/ttyS1 (standard serial device)"));
  w.emulatorAction()->trigger();
  EXPECT_TRUE(WaitFor([&] { return Status() == "COM2 = " + pty + " (Emulator QDX)"; }, 3000))
      << Status().toStdString();
  EXPECT_TRUE(dialogs_.shown().empty());

  // An emulator that never serves its port is reported, not silently ignored.
  w.hooks().startProgram = [](const QString&, const QStringList&, QString*) { return true; };
  w.portCombo()->setCurrentIndex(5);
  w.emulatorAction()->trigger();
  EXPECT_TRUE(WaitFor([&] { return !dialogs_.errors().isEmpty(); }, 3000));
  ASSERT_EQ(dialogs_.errors().size(), 1);
  EXPECT_TRUE(dialogs_.errors()[0].startsWith("Emulator QDX did not start serving COM6."));
  EXPECT_TRUE(Status().endsWith("Emulator QDX did not start serving COM6."))
      << Status().toStdString();
}

}  // namespace
}  // namespace qdx
