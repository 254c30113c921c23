// qdx's connection setup: which options win over the saved connection, which settings files
// are read, and the link commands against the in-process emulator on both paths.
#include "cli/connection.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "cli/link_commands.h"
#include "emulator/emulator.h"
#include "emulator/emulator_port.h"
#include "support/fake_serial_port.h"

namespace qdx::cli {
namespace {

TEST(ChooseConnection, OptionsWinOverTheSavedFieldsWhichWinOverDefaults) {
  const ConnectionFields saved{4, 0, 17};  // COM5, "9600", address 17
  AppSettings settings;
  settings.stronaKodowa = 2;
  struct Case {
    const char* what;
    GlobalOptions options;
    int portIndex;
    QString device;
    std::uint8_t baudCode;
    int address;
    int codePage;
  };
  GlobalOptions com12;
  com12.portNumber = 12;
  GlobalOptions device;
  device.device = QStringLiteral("/dev/ttyUSB1");
  GlobalOptions speedAddress;
  speedAddress.baudRate = 115200;
  speedAddress.address = 0;
  speedAddress.codePage = 1;
  const Case cases[] = {
      {"nothing given", {}, 4, {}, kBaud9600, 17, 2},
      {"--port COM12", com12, 11, {}, kBaud9600, 17, 2},
      {"--port DEVICE", device, 4, "/dev/ttyUSB1", kBaud9600, 17, 2},
      {"--baud --address --codepage", speedAddress, 4, {}, kBaud115200, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ConnectionChoice choice = ChooseConnection(c.options, saved, settings);
    EXPECT_EQ(choice.link.portIndex, c.portIndex);
    EXPECT_EQ(choice.link.device, c.device);
    EXPECT_EQ(choice.link.baudCode, c.baudCode);
    EXPECT_EQ(choice.stationAddress, c.address);
    EXPECT_EQ(choice.codePage, c.codePage);
    EXPECT_FALSE(choice.module);
  }
  // Without a saved connection: COM1, 38400, address 1.
  const ConnectionChoice fresh = ChooseConnection({}, ConnectionFields{}, AppSettings{});
  EXPECT_EQ(fresh.link.portIndex, 0);
  EXPECT_EQ(fresh.link.baudCode, kBaud38400);
  EXPECT_EQ(fresh.stationAddress, 1);
  const std::pair<int, std::uint8_t> rates[] = {
      {9600, kBaud9600}, {19200, kBaud19200}, {38400, kBaud38400}, {115200, kBaud115200}};
  for (const auto& [rate, code] : rates) {
    GlobalOptions o;
    o.baudRate = rate;
    EXPECT_EQ(ChooseConnection(o, saved, settings).link.baudCode, code) << rate;
  }
}

TEST(ChooseSettingsFolders, SettingsFolderIsUsedAsItIs) {
  GlobalOptions options;
  const SettingsFolders app =
      ChooseSettingsFolders(options, "/opt/qdx", "/home/u/.config/SetupQDX");
  EXPECT_EQ(app.programDir, "/opt/qdx");
  EXPECT_EQ(app.writableDir, "/home/u/.config/SetupQDX");
  options.settingsDir = QStringLiteral("/srv/site");
  const SettingsFolders own =
      ChooseSettingsFolders(options, "/opt/qdx", "/home/u/.config/SetupQDX");
  EXPECT_EQ(own.programDir, "/srv/site");
  EXPECT_TRUE(own.writableDir.isEmpty());
}

class LinkCommandTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QFile f(QDir(dir_.path()).filePath("ustawienia.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Parametry]\r\ntimeoutStand=300\r\nWaitForPanel=1\r\n");
  }

  std::unique_ptr<Connection> Connect(GlobalOptions options) {
    options.settingsDir = dir_.path();
    options.module = GetParam();
    QString error;
    auto port = std::make_unique<EmulatorPort>(emulator_, clock_);
    auto c = Connection::Create(options, ChooseSettingsFolders(options, {}, {}), &error,
                                std::move(port), &clock_);
    EXPECT_TRUE(c) << error.toStdString();
    return c;
  }

  QTemporaryDir dir_;
  test::TestClock clock_;
  Emulator emulator_{clock_};
};

TEST_P(LinkCommandTest, TestConnectionStatusAndReset) {
  emulator_.SetRunning(true);
  auto c = Connect({});
  ASSERT_TRUE(c);
  EXPECT_EQ(c->session().settings.timeoutStand, 300);  // read from the settings folder

  const CommandOutput test = RunTestConnection(*c);
  EXPECT_EQ(test.exitCode, kExitOk);
  EXPECT_EQ(test.out, "OK\n");
  const CommandOutput status = RunStatus(*c);
  EXPECT_EQ(status.exitCode, kExitOk);
  EXPECT_TRUE(status.out.contains("run state: 2 (running)\n")) << status.out.toStdString();

  // The reset needs no STOP check and no question, even on the module path.
  const CommandOutput reset = RunReset(*c);
  EXPECT_EQ(reset.exitCode, kExitOk);
  EXPECT_EQ(emulator_.Memory().resetCount, 1);
  EXPECT_FALSE(emulator_.Running());
  EXPECT_TRUE(c->dialogs().all().isEmpty());
}

TEST_P(LinkCommandTest, SilenceGivesErrExit3AndTheReason) {
  GlobalOptions options;
  options.address = 33;
  auto c = Connect(options);
  ASSERT_TRUE(c);
  for (const CommandOutput& out : {RunTestConnection(*c), RunStatus(*c), RunReset(*c)}) {
    EXPECT_EQ(out.exitCode, kExitLink);
    EXPECT_TRUE(out.err.contains("station 33")) << out.err.toStdString();
    EXPECT_TRUE(out.err.contains("no reply")) << out.err.toStdString();
  }
  EXPECT_EQ(RunTestConnection(*c).out, "ERR\n");
  EXPECT_EQ(emulator_.Memory().resetCount, 0);
}

TEST_P(LinkCommandTest, APortThatDoesNotOpenIsExplained) {
  GlobalOptions options;
  options.settingsDir = dir_.path();
  options.module = GetParam();
  auto port = std::make_unique<test::FakeSerialPort>(&clock_);
  port->FailOpen(PortError::PermissionDenied,
                 QStringLiteral("/dev/ttyS0: permission denied. The user must be in the dialout "
                                "group"));
  QString error;
  auto c = Connection::Create(options, ChooseSettingsFolders(options, {}, {}), &error,
                              std::move(port), &clock_);
  ASSERT_TRUE(c) << error.toStdString();
  for (const CommandOutput& out : {RunTestConnection(*c), RunStatus(*c), RunReset(*c)}) {
    EXPECT_EQ(out.exitCode, kExitLink);
    EXPECT_TRUE(out.err.contains("(result 1)")) << out.err.toStdString();
    EXPECT_TRUE(out.err.contains("dialout")) << out.err.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, LinkCommandTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Module" : "Direct"; });

TEST(FormatControllerStatus, EveryFieldOnItsOwnLine) {
  QByteArray reply(kStatusReplyLength, '\0');
  reply[5] = 24;
  reply[6] = 5;
  reply[7] = 6;
  reply[8] = 7;
  reply[9] = 8;
  reply[10] = 9;
  reply[11] = char(0xFF);  // -1.5 as int16 tenths: 0xFFF1
  reply[12] = char(0xF1);
  reply[15] = char(200);
  reply[22] = char(0x43);  // run state 3 under the two high bits
  reply[39] = 0x12;
  reply[42] = 0x34;
  reply[61] = 1;
  const QString text = FormatControllerStatus(DecodeControllerStatus(reply));
  const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
  EXPECT_EQ(lines.size(), 39);
  for (const char* expected :
       {"clock: 2024-05-06 07:08:09", "run state: 3 (running)", "answer ready: yes",
        "chamber temperature: -1.5", "humidity: 200 (no reading)", "measured value 11: -300.0",
        "status word 39: 0x12000034 (301989940)"}) {
    EXPECT_TRUE(lines.contains(QString::fromLatin1(expected))) << expected;
  }
  for (const QString& line : lines) EXPECT_TRUE(line.contains(": ")) << line.toStdString();
}

}  // namespace
}  // namespace qdx::cli
