// qdx's link commands against the real qdx-emulator over a pseudo-terminal, through the real
// QSerialPort backend: a device path, a COM port through the Ports section, a COM port through
// the emulator's published link, the saved connection fields, the reset, a station that does
// not answer, ports that cannot be opened, and the trace file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "emulator_process.h"
#include "link/device_transactions.h"
#include "link/frame.h"
#include "link/operations.h"
#include "link/qt_serial_port.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

using test::EmulatorProcess;
using test::ProgramPath;
using test::ProgramRun;
using test::RuntimeFolder;

constexpr int kExitLink = 3;
constexpr int kExitUsage = 2;

class LinkCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.ok());
    ASSERT_TRUE(settings_.isValid());
    // A short read timeout keeps the failing cases fast: 3 attempts of 200 ms, not 2 s.
    WriteSettings("[Parametry]\r\ntimeoutStand=200\r\nWaitForPanel=2\r\n");
  }

  void WriteSettings(const QByteArray& ini, const char* name = "ustawienia.ini") {
    QFile f(QDir(settings_.path()).filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(ini);
  }

  // Starts the emulator for COM<portNumber>; linkPath empty: the link it publishes itself.
  void StartEmulator(int portNumber, QStringList extra = {}, QString linkPath = {}) {
    if (linkPath.isEmpty()) {
      linkPath = runtime_.path() + QStringLiteral("/qdx-emulator/COM%1").arg(portNumber);
    } else {
      extra << QStringLiteral("--pty-link") << linkPath;
    }
    QString error;
    const bool started =
        emulator_.Start(QStringList{QString::number(portNumber - 1), QStringLiteral("8")} + extra,
                        linkPath, &error);
    ASSERT_TRUE(started) << error.toStdString();
  }

  ProgramRun Qdx(const QStringList& arguments) {
    return test::RunProgram(ProgramPath(QStringLiteral("qdx")),
                            QStringList{QStringLiteral("--settings"), settings_.path()} + arguments,
                            runtime_.environment());
  }

  RuntimeFolder runtime_;
  QTemporaryDir settings_;
  EmulatorProcess emulator_{runtime_.environment()};
};

// The same commands reach the emulator whichever way the port is named.
TEST_F(LinkCommandsTest, TestConnectionAndStatusOnEveryWayToNameThePort) {
  const QString ptyLink = settings_.path() + QStringLiteral("/emulator-pty");
  StartEmulator(4, {}, ptyLink);
  WriteSettings("[Parametry]\r\ntimeoutStand=200\r\n[Ports]\r\nCOM7=" + ptyLink.toUtf8() + "\r\n");

  struct Way {
    const char* what;
    QStringList port;
  };
  const Way ways[] = {
      {"device path", {"--port", emulator_.slavePath()}},
      {"COM7 through the Ports section", {"--port", "COM7"}},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.what);
    for (const QStringList& path : {QStringList{}, QStringList{"--module"}}) {
      const ProgramRun test = Qdx(way.port + path + QStringList{"test-connection"});
      EXPECT_EQ(test.exitCode, 0) << test.err.toStdString();
      EXPECT_EQ(test.out, "OK\n");
    }
    const ProgramRun status = Qdx(way.port + QStringList{"status"});
    ASSERT_EQ(status.exitCode, 0) << status.err.toStdString();
    EXPECT_TRUE(status.out.contains("run state: 0 (STOP)\n")) << status.out.toStdString();
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^clock: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"),
                           QRegularExpression::MultilineOption)
            .match(QString::fromUtf8(status.out))
            .hasMatch())
        << status.out.toStdString();
    EXPECT_TRUE(status.out.contains("status word 39: 0x")) << status.out.toStdString();
  }
}

TEST_F(LinkCommandsTest, ComPortReachesTheEmulatorThroughItsPublishedLink) {
  StartEmulator(3);
  const ProgramRun run = Qdx({"--port", "COM3", "test-connection"});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "OK\n");
  // The emulator serves COM3 only.
  const ProgramRun other = Qdx({"--port", "COM4", "test-connection"});
  EXPECT_EQ(other.exitCode, kExitLink);
  EXPECT_EQ(other.out, "ERR\n");
}

TEST_F(LinkCommandsTest, OptionsNotGivenComeFromTheSavedConnection) {
  StartEmulator(2, {"--station", "17"});
  // The window's last connection: COM2, "115200", address 17.
  WriteSettings(
      "[Parametry]\r\nComboBoxPort_ItemIndex=1\r\nComboBoxPredkosc_ItemIndex=2\r\n"
      "IntEditAdres_Value=17\r\n",
      "setupQDXust.ini");
  const ProgramRun saved = Qdx({"test-connection"});
  EXPECT_EQ(saved.exitCode, 0) << saved.err.toStdString();
  // An option wins over the saved field.
  const ProgramRun other = Qdx({"--address", "1", "test-connection"});
  EXPECT_EQ(other.exitCode, kExitLink);
  EXPECT_TRUE(other.err.contains("station 1 on COM2")) << other.err.toStdString();
  EXPECT_TRUE(other.err.contains("115200 baud")) << other.err.toStdString();
}

TEST_F(LinkCommandsTest, ResetRestartsARunningControllerOnBothPaths) {
  for (const QStringList& path : {QStringList{}, QStringList{"--module"}}) {
    SCOPED_TRACE(path.join(' ').toStdString());
    StartEmulator(5, {"--running", "--ready-delay", "20"});
    const QStringList port = {"--port", "COM5"};
    ASSERT_TRUE(Qdx(port + QStringList{"status"}).out.contains("run state: 2 (running)\n"));
    const ProgramRun reset = Qdx(port + path + QStringList{"reset"});
    EXPECT_EQ(reset.exitCode, 0) << reset.err.toStdString();
    EXPECT_EQ(reset.out, "OK\n");
    const ProgramRun status = Qdx(port + QStringList{"status"});
    EXPECT_TRUE(status.out.contains("run state: 0 (STOP)\n")) << status.out.toStdString();
    emulator_.Stop();
  }
}

TEST_F(LinkCommandsTest, AStationThatDoesNotAnswerGivesErrAndExit3InBoundedTime) {
  StartEmulator(1);
  for (const QStringList& path : {QStringList{}, QStringList{"--module"}}) {
    const ProgramRun run =
        Qdx(path + QStringList{"--port", "COM1", "--address", "9", "test-connection"});
    EXPECT_EQ(run.exitCode, kExitLink);
    EXPECT_EQ(run.out, "ERR\n");
    EXPECT_TRUE(run.err.contains("station 9")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("(result 8)")) << run.err.toStdString();
    // Three attempts of 10 ms + 200 ms + the reply's length in ms, 100 ms after each.
    EXPECT_LT(run.milliseconds, 4000);
  }
  const ProgramRun status = Qdx({"--port", "COM1", "--address", "9", "status"});
  EXPECT_EQ(status.exitCode, kExitLink);
  EXPECT_TRUE(status.out.isEmpty());
  const ProgramRun reset = Qdx({"--port", "COM1", "--address", "9", "reset"});
  EXPECT_EQ(reset.exitCode, kExitLink);
}

TEST_F(LinkCommandsTest, PortsThatCannotBeOpenedSayWhy) {
  struct Case {
    QStringList port;
    const char* reason;
  };
  const Case cases[] = {
      {{"--port", "/dev/qdx-no-such-tty"}, "no such device"},
      {{"--port", "COM200"}, "/dev/ttyS199: no such device"},  // no mapping, no emulator
  };
  for (const Case& c : cases) {
    const ProgramRun run = Qdx(c.port + QStringList{"test-connection"});
    EXPECT_EQ(run.exitCode, kExitLink);
    EXPECT_EQ(run.out, "ERR\n");
    EXPECT_TRUE(run.err.contains(c.reason)) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("(result 1)")) << run.err.toStdString();
  }
}

TEST_F(LinkCommandsTest, APortHeldByAnotherProgramIsBusy) {
  StartEmulator(6);
  QtSerialPort holder;
  ASSERT_TRUE(holder.Open(emulator_.slavePath())) << holder.LastErrorText().toStdString();
  const ProgramRun run = Qdx({"--port", emulator_.slavePath(), "test-connection"});
  EXPECT_EQ(run.exitCode, kExitLink);
  EXPECT_TRUE(run.err.contains("busy")) << run.err.toStdString();
}

TEST_F(LinkCommandsTest, UsageAndSettingsErrorsExit2) {
  const QList<QStringList> bad = {
      {"status", "extra"},
      {"--port", "COM0", "status"},
      {"--baud", "4800", "reset"},
  };
  for (const QStringList& args : bad) {
    EXPECT_EQ(Qdx(args).exitCode, kExitUsage) << args.join(' ').toStdString();
  }
  const ProgramRun missing = test::RunProgram(
      ProgramPath("qdx"), {"--settings", settings_.path() + "/nowhere", "test-connection"},
      runtime_.environment());
  EXPECT_EQ(missing.exitCode, kExitUsage);
  EXPECT_TRUE(missing.err.contains("no such folder")) << missing.err.toStdString();
  const ProgramRun trace = Qdx({"--trace", settings_.path() + "/no/such/folder/t.txt", "status"});
  EXPECT_EQ(trace.exitCode, kExitUsage);
  EXPECT_TRUE(trace.err.contains("the trace cannot be written")) << trace.err.toStdString();
}

// The clock on the module path: now, a given minute (seconds 0), and a station that does not
// answer; the controller's status shows what was set.
TEST_F(LinkCommandsTest, ClockSetsTheControllersDateAndTime) {
  StartEmulator(9, {"--ready-delay", "20"});
  const QStringList port = {"--port", "COM9", "--module"};
  const ProgramRun now = Qdx(port + QStringList{"clock", "now"});
  EXPECT_EQ(now.exitCode, 0) << now.err.toStdString();
  EXPECT_EQ(now.out, "clock: OK\n");
  const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
  EXPECT_TRUE(Qdx(port + QStringList{"status"}).out.contains("clock: " + today.toUtf8()));

  const ProgramRun given = Qdx(port + QStringList{"clock", "2024-03-01", "08:05"});
  EXPECT_EQ(given.exitCode, 0) << given.err.toStdString();
  EXPECT_TRUE(Qdx(port + QStringList{"status"}).out.contains("clock: 2024-03-01 08:05:0"));

  const ProgramRun silent = Qdx(port + QStringList{"--address", "9", "clock"});
  EXPECT_EQ(silent.exitCode, kExitLink);
  EXPECT_TRUE(silent.out.startsWith("clock: Error: no communication with station 9"))
      << silent.out.toStdString();
  EXPECT_EQ(Qdx(port + QStringList{"clock", "yesterday"}).exitCode, kExitUsage);
}

// The five lines of every exchange: blank, time, blank, the request, the reply with its
// length and result code.
TEST_F(LinkCommandsTest, TraceFileHasFiveLinesPerExchange) {
  StartEmulator(8);
  const QString trace = settings_.path() + QStringLiteral("/trace.txt");
  ASSERT_EQ(Qdx({"--port", "COM8", "--trace", trace, "test-connection"}).exitCode, 0);
  ASSERT_EQ(Qdx({"--port", "COM8", "--address", "3", "--trace", trace, "test-connection"}).exitCode,
            kExitLink);

  QFile f(trace);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromLocal8Bit(f.readAll()).split('\n');
  // One answered exchange, then three unanswered attempts; a final newline.
  ASSERT_EQ(lines.size(), 4 * 5 + 1) << lines.join('\n').toStdString();
  auto hex = [](const QByteArray& bytes) {
    QString out;
    for (const char c : bytes) out += QStringLiteral("%1 ").arg(quint8(c), 2, 16, QChar('0'));
    return out;
  };
  const QByteArray request = BuildDirectRequest(1, DeviceInfoMessage());
  const QByteArray silent = BuildDirectRequest(3, DeviceInfoMessage());
  for (int entry = 0; entry < 4; ++entry) {
    SCOPED_TRACE(entry);
    const QStringList e = lines.mid(entry * 5, 5);
    EXPECT_EQ(e[0], " ");
    EXPECT_FALSE(e[1].trimmed().isEmpty());
    EXPECT_EQ(e[2], " ");
    const QByteArray sent = entry == 0 ? request : silent;
    EXPECT_EQ(e[3], QStringLiteral("  M: %1   [%2]").arg(hex(sent)).arg(sent.size()));
    if (entry == 0) {
      EXPECT_TRUE(
          QRegularExpression(QStringLiteral("^  S: 01 46 08 ([0-9a-f]{2} ){14}   \\[17\\] 0$"))
              .match(e[4])
              .hasMatch())
          << e[4].toStdString();
    } else {
      EXPECT_EQ(e[4], "  S:    [0] 8");
    }
  }
  EXPECT_EQ(lines.last(), "");
}

}  // namespace
}  // namespace qdx
