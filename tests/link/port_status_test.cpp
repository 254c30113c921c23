// The status line's account of the port: which device a COM port is and why, and which
// failure of that device is shown; and the watched port that reports opens and failures.
#include "link/port_status.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/fake_serial_port.h"

namespace qdx {
namespace {

// Points the emulator links at a private runtime folder for the test's lifetime.
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
  // Publishes a link for COM<number> to target, as a running emulator does.
  void PublishEmulator(int number, const QString& target) {
    QDir().mkpath(dir_.path() + "/qdx-emulator");
    ASSERT_TRUE(QFile::link(target, EmulatorPortLink(number)));
  }
  QString path() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
  QByteArray old_;
};

TEST(DescribePortChoice, SaysWhichDeviceAndWhy) {
  RuntimeFolderScope runtime;
  QTemporaryDir devices;
  const QString present = devices.filePath("ttyUSB0");
  const QString pty = devices.filePath("pts-7");
  for (const QString& file : {present, pty}) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  runtime.PublishEmulator(2, pty);
  runtime.PublishEmulator(4, pty);

  LineSettings settings;
  settings.ports.insert(3, present);
  settings.ports.insert(4, present);
  settings.ports.insert(5, "/dev/qdx-missing");
  struct Case {
    int portIndex;
    QString expected;
  };
  const Case cases[] = {
      {2, "COM3 = " + present + " (Ports section of ustawienia.ini)"},
      {1, "COM2 = " + pty + " (Emulator QDX)"},
      {3, "COM4 = " + present +
              " (Ports section of ustawienia.ini); the running Emulator QDX is not used while this "
              "entry exists"},
      {4, "COM5 = /dev/qdx-missing (Ports section of ustawienia.ini); this device is not present"},
      {254,
       "COM255 = /dev/ttyS254 (standard serial device); not present: map COM255 to a device in "
       "the Ports section of ustawienia.ini, or start Emulator QDX"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DescribePortChoice(c.portIndex, settings), c.expected) << c.portIndex;
  }
}

TEST(PortStatus, ShowsTheLastFailureOfTheChosenDeviceOnly) {
  LineSettings settings;
  settings.ports.insert(1, "/dev/qdx-a");
  settings.ports.insert(2, "/dev/qdx-b");
  PortStatus status;
  status.SetPort(0, settings);
  const QString plain = status.Text();
  EXPECT_FALSE(plain.contains("Last failure"));

  status.Report("/dev/qdx-a", PortError::PermissionDenied, "/dev/qdx-a: permission denied");
  EXPECT_EQ(status.Text(), plain + ". Last failure: permission denied");
  // The settings read again (same device): the failure stays.
  status.SetPort(0, settings);
  EXPECT_TRUE(status.Text().endsWith("permission denied"));
  // A successful open ends it.
  status.Report("/dev/qdx-a", PortError::None, {});
  EXPECT_EQ(status.Text(), plain);

  // A failure on a device the window does not show is not shown...
  status.Report("/dev/qdx-b", PortError::Busy, "/dev/qdx-b is busy");
  EXPECT_EQ(status.Text(), plain);
  // ...until that port is chosen; choosing another port forgets it.
  status.SetPort(1, settings);
  EXPECT_TRUE(status.Text().endsWith("Last failure: /dev/qdx-b is busy"));
  status.SetPort(0, settings);
  status.SetPort(1, settings);
  EXPECT_FALSE(status.Text().contains("Last failure"));
}

TEST(WatchedSerialPort, ReportsOpensAndEveryPortFailure) {
  test::TestClock clock;
  auto fake = std::make_unique<test::FakeSerialPort>(&clock);
  test::FakeSerialPort& inner = *fake;
  WatchedSerialPort port(std::move(fake));
  QStringList seen;
  port.SetObserver([&](const QString& device, PortError error, const QString& text) {
    seen << QStringLiteral("%1 %2 %3").arg(device).arg(int(error)).arg(text);
  });

  ASSERT_TRUE(port.Open("/dev/a"));
  port.Purge();
  port.Write("\x01\x02");
  inner.QueueReply("\x01");
  EXPECT_EQ(port.Read(1), QByteArray("\x01"));
  EXPECT_EQ(seen, QStringList{"/dev/a 0 "});  // only the open: nothing failed

  seen.clear();
  inner.QueueReply("\x01");
  inner.FailNextRead(PortError::Unplugged);
  port.Read(1);
  ASSERT_EQ(seen.size(), 1);
  EXPECT_TRUE(seen[0].startsWith(QStringLiteral("/dev/a %1 ").arg(int(PortError::Unplugged))));

  seen.clear();
  port.Close();
  inner.FailOpen(PortError::Busy, "/dev/b is busy");
  EXPECT_FALSE(port.Open("/dev/b"));
  EXPECT_EQ(seen,
            QStringList{QStringLiteral("/dev/b %1 /dev/b is busy").arg(int(PortError::Busy))});

  // A failure without a reason of its own still reaches the observer with one.
  seen.clear();
  inner.FailOpen(PortError::None);
  ASSERT_TRUE(port.Open("/dev/c"));
  inner.FailConfigure(true);
  EXPECT_FALSE(port.Configure(9600));
  ASSERT_EQ(seen.size(), 2);
  EXPECT_FALSE(seen[1].section(' ', 2).isEmpty()) << seen[1].toStdString();
}

}  // namespace
}  // namespace qdx
