// The emulator on a pseudo-terminal, reached through QSerialPort as the application reaches
// a real controller. Every wait is bounded by a few seconds at most.
#include "emulator/pty_server.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <csignal>
#include <thread>

#include "link/frame.h"
#include "link/system_clock.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

constexpr int kWaitMs = 3000;

// Reads exactly count bytes, or what came within the time limit.
QByteArray ReadExactly(QSerialPort& port, int count, int limitMs = kWaitMs) {
  QByteArray out;
  QElapsedTimer timer;
  timer.start();
  while (out.size() < count && timer.elapsed() < limitMs) {
    if (port.bytesAvailable() == 0) port.waitForReadyRead(20);
    out += port.read(count - out.size());
  }
  return out;
}

bool OpenPort(QSerialPort& port, const QString& path, qint32 baud = 38400) {
  port.setPortName(path);
  if (!port.open(QIODevice::ReadWrite)) return false;
  return port.setBaudRate(baud) && port.setDataBits(QSerialPort::Data8) &&
         port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::TwoStop) &&
         port.setFlowControl(QSerialPort::NoFlowControl);
}

void Send(QSerialPort& port, const QByteArray& bytes) {
  port.write(bytes);
  port.waitForBytesWritten(kWaitMs);
}

class PtyServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Open(&error)) << error.toStdString();
    thread = std::thread([this] { server.Run(); });
  }
  void TearDown() override {
    server.RequestStop();
    if (thread.joinable()) thread.join();
  }

  SystemClock clock;
  Emulator emulator{clock};
  PtyServer server{emulator};
  std::thread thread;
  QString error;
};

TEST_F(PtyServerTest, AnswersThroughQSerialPort) {
  QSerialPort port;
  ASSERT_TRUE(OpenPort(port, server.SlavePath())) << port.errorString().toStdString();
  Send(port, BuildStatusPollRequest(1));
  const QByteArray status = ReadExactly(port, 64);
  ASSERT_EQ(status.size(), 64);
  EXPECT_TRUE(HasValidChecksum(status));

  // A frame in two writes, then one after a byte of line noise.
  const QByteArray info = BuildDirectRequest(1, InnerMessage{0x44, 0x20, {}});
  port.write(info.left(4));
  port.waitForBytesWritten(kWaitMs);
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  Send(port, info.mid(4));
  QByteArray reply = ReadExactly(port, 17);
  EXPECT_EQ(reply.size(), 17);
  EXPECT_TRUE(HasValidChecksum(reply));
  Send(port, QByteArray(1, '\xFF') + info);
  EXPECT_EQ(ReadExactly(port, 17), reply);

  // Silence for another station; the next good frame is served again.
  Send(port, BuildStatusPollRequest(9));
  EXPECT_TRUE(ReadExactly(port, 1, 200).isEmpty());
  Send(port, info);
  EXPECT_EQ(ReadExactly(port, 17), reply);

  // The port can be closed and opened again.
  port.close();
  ASSERT_TRUE(OpenPort(port, server.SlavePath()));
  port.clear();
  Send(port, info);
  EXPECT_EQ(ReadExactly(port, 17), reply);
  EXPECT_EQ(server.WithEmulator([](Emulator& e) { return e.Stats().otherStation; }), 1);
}

TEST_F(PtyServerTest, FaultsScriptedWhileServing) {
  QSerialPort port;
  ASSERT_TRUE(OpenPort(port, server.SlavePath()));
  server.WithEmulator([](Emulator& e) {
    e.Faults().Queue(Fault::LeadingZero);
    e.Faults().Queue(Fault::NoReply);
  });
  Send(port, BuildStatusPollRequest(1));
  const QByteArray first = ReadExactly(port, 65);
  ASSERT_EQ(first.size(), 65);
  EXPECT_EQ(first[0], '\0');
  Send(port, BuildStatusPollRequest(1));
  EXPECT_TRUE(ReadExactly(port, 1, 200).isEmpty());
}

TEST_F(PtyServerTest, PacingFollowsThePortSpeed) {
  server.SetPacing(0);
  QSerialPort port;
  ASSERT_TRUE(OpenPort(port, server.SlavePath(), 9600));
  QElapsedTimer timer;
  timer.start();
  Send(port, BuildStatusPollRequest(1));
  ASSERT_EQ(ReadExactly(port, 64).size(), 64);
  // 71 bytes of 11 bits at 9600 baud: 81 ms.
  EXPECT_GE(timer.elapsed(), 75);
}

TEST_F(PtyServerTest, PublishesOneLinkPerPort) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString link = dir.filePath(QStringLiteral("qdx-emulator/COM4"));
  ASSERT_TRUE(server.Publish(link, &error)) << error.toStdString();
  EXPECT_EQ(QFileInfo(link).symLinkTarget(), server.SlavePath());

  // QSerialPort takes the link like a device.
  QSerialPort port;
  ASSERT_TRUE(OpenPort(port, link)) << port.errorString().toStdString();
  Send(port, BuildStatusPollRequest(1));
  EXPECT_EQ(ReadExactly(port, 64).size(), 64);
  port.close();

  // A second emulator may not take the same port while this one runs.
  PtyServer second(emulator);
  ASSERT_TRUE(second.Open(&error));
  EXPECT_FALSE(second.Publish(link, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("Another emulator"))) << error.toStdString();
  EXPECT_EQ(QFileInfo(link).symLinkTarget(), server.SlavePath());

  server.Unpublish();
  EXPECT_FALSE(QFileInfo(link).isSymbolicLink());
  // Now it may, and it replaces a link left behind by an emulator that is gone.
  ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/pts"), link));
  ASSERT_TRUE(second.Publish(link, &error)) << error.toStdString();
  EXPECT_EQ(QFileInfo(link).symLinkTarget(), second.SlavePath());
  second.Unpublish();

  // Something that is not a link is never removed.
  QFile plain(link);
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  EXPECT_FALSE(second.Publish(link, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("is not a link"))) << error.toStdString();
  EXPECT_TRUE(QFileInfo::exists(link));
}

// The program as the main window starts it, stopped as the main window stops it.
TEST(EmulatorProgram, ServesUntilTerminated) {
  const QString program = QStringLiteral(QDX_BIN_DIR "/qdx-emulator");
  if (!QFileInfo::exists(program)) GTEST_SKIP() << "qdx-emulator is not built";
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString link = dir.filePath(QStringLiteral("COM3"));
  QProcess process;
  process.start(program, {QStringLiteral("2"), QStringLiteral("8"), QStringLiteral("--pty-link"),
                          link, QStringLiteral("--version"), QStringLiteral("501")});
  ASSERT_TRUE(process.waitForStarted(kWaitMs));
  QByteArray firstLine;
  QElapsedTimer timer;
  timer.start();
  while (!firstLine.contains('\n') && timer.elapsed() < kWaitMs) {
    process.waitForReadyRead(50);
    firstLine += process.readAllStandardOutput();
  }
  const QString slave = QString::fromLocal8Bit(firstLine).trimmed();
  EXPECT_TRUE(slave.startsWith(QStringLiteral("/dev/"))) << slave.toStdString();
  EXPECT_EQ(QFileInfo(link).symLinkTarget(), slave);

  QSerialPort port;
  ASSERT_TRUE(OpenPort(port, link));
  Send(port, BuildDirectRequest(1, InnerMessage{0x46, 0x0A, {}}));
  const QByteArray setup = ReadExactly(port, 211);
  ASSERT_EQ(setup.size(), 211);
  EXPECT_EQ(setup.mid(9 + 198, 2), QByteArray::fromHex("01f5"));  // version 501
  port.close();

  ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
  ASSERT_TRUE(process.waitForFinished(kWaitMs));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0);
  EXPECT_FALSE(QFileInfo(link).isSymbolicLink()) << "the link goes with the program";
  EXPECT_FALSE(QFileInfo::exists(link + QStringLiteral(".lock")));
}

TEST(EmulatorProgram, RefusesBadArguments) {
  const QString program = QStringLiteral(QDX_BIN_DIR "/qdx-emulator");
  if (!QFileInfo::exists(program)) GTEST_SKIP() << "qdx-emulator is not built";
  for (const QStringList& args :
       {QStringList{QStringLiteral("300")},
        QStringList{QStringLiteral("--fault"), QStringLiteral("x:no-reply")},
        QStringList{QStringLiteral("--fault-always"), QStringLiteral("late")},
        QStringList{QStringLiteral("--layout"), QStringLiteral("two")}}) {
    QProcess process;
    process.start(program, args);
    ASSERT_TRUE(process.waitForFinished(kWaitMs));
    EXPECT_EQ(process.exitCode(), 2) << args.join(' ').toStdString();
    EXPECT_TRUE(process.readAllStandardError().contains("qdx-emulator:"));
  }
}

}  // namespace
}  // namespace qdx
