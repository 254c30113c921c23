#include "link/link.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "link/port_names.h"
#include "support/fake_serial_port.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

using test::FakeSerialPort;
using test::FromHex;
using test::Hex;
using test::TestClock;
using test::WithCrc;

const QByteArray kPoll = FromHex("01 46 00 00 07 4d 4a");

// A valid 7-byte reply from station 1 (a post acknowledgement).
QByteArray Ack(int station = 1) {
  QByteArray r = FromHex("01 47 09 00 07");
  r[0] = static_cast<char>(station);
  return WithCrc(r);
}

class LinkTest : public testing::Test {
 protected:
  LinkTest() {
    settings.ports[1] = "/dev/fake1";
    settings.ports[2] = "/dev/fake2";
    settings.ports[3] = "/dev/fake3";
    settings.ports[17] = "/dev/fake17";
    // Most tests look at the frame as one write; the byte-by-byte mode has its own tests.
    settings.transmisjaNT = true;
    auto owned = std::make_unique<FakeSerialPort>(&clock);
    port = owned.get();
    link = std::make_unique<Link>(std::move(owned), clock, settings);
  }

  TransactResult Run(const QByteArray& request, int expected) {
    return link->Transact(request, expected, ls);
  }

  TestClock clock;
  LineSettings settings;
  LinkSettings ls;  // COM1, 38400
  FakeSerialPort* port = nullptr;
  std::unique_ptr<Link> link;
};

// --- results and the order of the checks ---

struct ReplyCase {
  const char* name;
  int comPort;       // 1-based
  bool minusOffset;  // COM3MinusOffset set
  QByteArray reply;  // what the port delivers
  int expected;      // expected reply length
  LinkResult result;
  int asked;        // bytes asked from the port
  QByteArray kept;  // reply handed back
};

class TransactResults : public LinkTest, public testing::WithParamInterface<ReplyCase> {};

TEST_P(TransactResults, ChecksInOrder) {
  const ReplyCase& c = GetParam();
  settings.minusOffset[2] = c.minusOffset;
  ls.portIndex = c.comPort - 1;
  port->QueueReply(c.reply);
  const TransactResult r = Run(kPoll, c.expected);
  EXPECT_EQ(r.result, c.result);
  EXPECT_EQ(Hex(r.reply), Hex(c.kept));
  EXPECT_EQ(port->events().back(), QStringLiteral("read %1").arg(c.asked));
}

QByteArray Swapped(QByteArray frame) {
  std::swap(frame[frame.size() - 1], frame[frame.size() - 2]);
  return frame;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, TransactResults,
    testing::Values(
        ReplyCase{"Valid", 1, false, Ack(), 7, kLinkOk, 7, Ack()},
        ReplyCase{"SwappedChecksum", 1, false, Swapped(Ack()), 7, kLinkBadChecksum, 7,
                  Swapped(Ack())},
        ReplyCase{"OtherStation", 1, false, Ack(2), 7, kLinkWrongStation, 7, Ack(2)},
        // The checksum is tested before the station.
        ReplyCase{"OtherStationBadChecksum", 1, false, Swapped(Ack(2)), 7, kLinkBadChecksum, 7,
                  Swapped(Ack(2))},
        ReplyCase{"OneByteShort", 1, false, Ack().left(6), 7, kLinkShortReply, 7, Ack().left(6)},
        ReplyCase{"Silence", 1, false, {}, 7, kLinkNoReply, 7, {}},
        ReplyCase{"LongerReplyCut", 1, false, Ack() + "xyz", 7, kLinkOk, 7, Ack()},
        ReplyCase{"MinusOffsetExtraZero", 3, true, QByteArray(1, '\0') + Ack(), 7, kLinkOk, 8,
                  Ack()},
        ReplyCase{"MinusOffsetWithoutExtra", 3, true, Ack(), 7, kLinkOk, 8, Ack()},
        ReplyCase{"MinusOffsetExtraNotZero", 3, true, QByteArray(1, '\x05') + Ack(), 7,
                  kLinkShortReply, 8, QByteArray(1, '\x05') + Ack()},
        ReplyCase{"MinusOffsetShort", 3, true, Ack().left(5), 7, kLinkShortReply, 8, Ack().left(5)},
        ReplyCase{"MinusOffsetSilence", 3, true, {}, 7, kLinkNoReply, 8, {}},
        // The key of COM3 does not touch COM1: the zero byte stays and spoils the reply.
        ReplyCase{"MinusOffsetOtherPort", 1, true, QByteArray(1, '\0') + Ack(), 7, kLinkBadChecksum,
                  7, (QByteArray(1, '\0') + Ack()).left(7)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, StepsOfAnExchange) {
  port->QueueReply(Ack());
  ASSERT_EQ(Run(kPoll, 7).result, kLinkOk);
  EXPECT_EQ(clock.waits().front(), "sleep 10");
  EXPECT_EQ(port->events(),
            QStringList({"open /dev/fake1", "configure 38400", "timeout 2500", "rts 0", "parity",
                         "purge", "write 01 46 00 00 07 4d 4a", "read 7"}));
  EXPECT_EQ(clock.waits(), QStringList({"sleep 10"}));
}

TEST_F(LinkTest, ShortReplyWaitsTheWholeReadTimeout) {
  link->SetReadTimeoutConstant(2000);
  port->QueueReply(Ack().left(6));
  const std::int64_t before = clock.NowMicroseconds();
  EXPECT_EQ(Run(kPoll, 7).result, kLinkShortReply);
  EXPECT_EQ(clock.NowMicroseconds() - before, (10 + 7 + 2000) * 1000);
}

TEST_F(LinkTest, ExpectedLengthBelowFourTouchesNothing) {
  for (int expected : {3, 0, -1}) {
    clock.ClearWaits();
    EXPECT_EQ(Run(kPoll, expected).result, kLinkBadLength);
    EXPECT_EQ(clock.waits(), QStringList({"sleep 10"}));
  }
  EXPECT_TRUE(port->events().isEmpty());
  EXPECT_FALSE(link->IsOpen());
}

TEST_F(LinkTest, EmptyRequestIsNotSent) {
  EXPECT_EQ(Run({}, 7).result, kLinkRequestInvalid);
  EXPECT_TRUE(port->events().isEmpty());
}

TEST_F(LinkTest, OpenFailureKeepsTheReasonAndLogsNothing) {
  QTemporaryDir dir;
  const QString trace = dir.filePath("trans.txt");
  link->SetTraceFile(trace);
  port->FailOpen(PortError::PermissionDenied, "in dialout group");
  EXPECT_EQ(Run(kPoll, 7).result, kLinkPortFailed);
  EXPECT_EQ(link->LastPortError(), PortError::PermissionDenied);
  EXPECT_EQ(link->LastPortErrorText(), "in dialout group");
  EXPECT_FALSE(QFile::exists(trace));
  EXPECT_EQ(port->events(), QStringList({"open /dev/fake1"}));
}

TEST_F(LinkTest, ConfigureFailureClosesThePort) {
  port->FailConfigure(true);
  EXPECT_EQ(Run(kPoll, 7).result, kLinkPortFailed);
  EXPECT_FALSE(link->IsOpen());
  EXPECT_EQ(link->LastPortError(), PortError::Other);
}

TEST_F(LinkTest, UnknownSpeedCodeFailsToOpen) {
  ls.baudCode = 200;
  EXPECT_EQ(Run(kPoll, 7).result, kLinkPortFailed);
  EXPECT_FALSE(link->IsOpen());
}

TEST_F(LinkTest, ShortWriteIsNotLoggedAndNotRead) {
  QTemporaryDir dir;
  link->SetTraceFile(dir.filePath("trans.txt"));
  port->LimitWrite(3);
  EXPECT_EQ(Run(kPoll, 7).result, kLinkShortWrite);
  EXPECT_FALSE(port->events().back().startsWith("read"));
  EXPECT_FALSE(QFile::exists(dir.filePath("trans.txt")));
}

struct PortErrorCase {
  const char* name;
  std::function<void(FakeSerialPort&)> arrange;
  bool reads;
};

class TransactPortErrors : public LinkTest, public testing::WithParamInterface<PortErrorCase> {};

TEST_P(TransactPortErrors, GiveOneAndAreLogged) {
  QTemporaryDir dir;
  link->SetTraceFile(dir.filePath("trans.txt"));
  GetParam().arrange(*port);
  port->QueueReply(Ack());
  EXPECT_EQ(Run(kPoll, 7).result, kLinkPortFailed);
  EXPECT_EQ(port->events().contains("read 7"), GetParam().reads);
  QFile f(dir.filePath("trans.txt"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().endsWith("] 1\n"));
  EXPECT_NE(link->LastPortError(), PortError::None);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, TransactPortErrors,
    testing::Values(
        PortErrorCase{"Parity", [](FakeSerialPort& p) { p.FailParity(true); }, false},
        PortErrorCase{"Purge", [](FakeSerialPort& p) { p.FailPurge(PortError::Other); }, false},
        PortErrorCase{"Read", [](FakeSerialPort& p) { p.FailNextRead(PortError::Unplugged); },
                      true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, UnpluggedPortIsOpenedAgainByTheNextExchange) {
  port->FailNextRead(PortError::Unplugged);
  port->QueueReply(Ack());
  EXPECT_EQ(Run(kPoll, 7).result, kLinkPortFailed);
  EXPECT_EQ(link->LastPortError(), PortError::Unplugged);
  EXPECT_FALSE(link->IsOpen());
  port->QueueReply(Ack());
  EXPECT_EQ(Run(kPoll, 7).result, kLinkOk);
  EXPECT_EQ(port->OpenCount(), 2);
  EXPECT_EQ(link->LastPortError(), PortError::None);
}

// The retries after the adapter was pulled out still say "unplugged", not "no such device".
TEST_F(LinkTest, PortUnpluggedDuringAnExchangeStaysUnpluggedWhileItIsGone) {
  port->FailNextRead(PortError::Unplugged);
  EXPECT_EQ(Run(kPoll, 7).result, kLinkPortFailed);
  port->FailOpen(PortError::NoSuchDevice, "no such device");
  EXPECT_EQ(Run(kPoll, 7).result, kLinkPortFailed);
  EXPECT_EQ(link->LastPortError(), PortError::Unplugged);
}

TEST_F(LinkTest, PortStaysOpenAfterOrdinaryFailures) {
  EXPECT_EQ(Run(kPoll, 7).result, kLinkNoReply);
  port->QueueReply(Ack());
  EXPECT_EQ(Run(kPoll, 7).result, kLinkOk);
  EXPECT_EQ(port->OpenCount(), 1);
  // Each exchange purges the leftovers of the one before.
  EXPECT_EQ(port->events().filter("purge").size(), 2);
}

// --- port selection ---

TEST_F(LinkTest, ReopensOnPortOrSpeedChangeOnly) {
  struct Step {
    int portIndex;
    std::uint8_t baud;
    const char* device;
    int rate;
    int opens;
  };
  const Step steps[] = {
      {0, kBaud38400, "/dev/fake1", 38400, 1}, {0, kBaud38400, "/dev/fake1", 38400, 1},
      {1, kBaud38400, "/dev/fake2", 38400, 2}, {1, kBaud9600, "/dev/fake2", 9600, 3},
      {1, kBaud9600, "/dev/fake2", 9600, 3},   {1, kBaud115200, "/dev/fake2", 115200, 4},
      {0, kBaud19200, "/dev/fake1", 19200, 5},
  };
  for (const Step& s : steps) {
    ls.portIndex = s.portIndex;
    ls.baudCode = s.baud;
    port->QueueReply(Ack());
    EXPECT_EQ(Run(kPoll, 7).result, kLinkOk);
    EXPECT_EQ(port->device(), s.device);
    EXPECT_EQ(port->baudRate(), s.rate);
    EXPECT_EQ(port->OpenCount(), s.opens);
  }
  link->Close();
  EXPECT_FALSE(link->IsOpen());
  port->QueueReply(Ack());
  EXPECT_EQ(Run(kPoll, 7).result, kLinkOk);
  EXPECT_EQ(port->OpenCount(), 6);
}

TEST_F(LinkTest, ReadTimeoutConstantReachesOpenAndNextOpenedPort) {
  link->SetReadTimeoutConstant(1234);
  port->QueueReply(Ack());
  Run(kPoll, 7);
  EXPECT_EQ(port->readTimeoutConstant(), 1234);
  link->SetReadTimeoutConstant(99);
  EXPECT_EQ(port->readTimeoutConstant(), 99);
}

TEST(PortTarget, MappingMinusOffsetAndDirectDevice) {
  LineSettings s;
  s.ports[3] = "/dev/ttyUSB0";
  s.minusOffset[2] = true;
  s.ports[17] = "/dev/ttyUSB9";
  LinkSettings ls;
  ls.portIndex = 2;
  PortTarget t = ResolvePortTarget(ls, s);
  EXPECT_EQ(t.device, "/dev/ttyUSB0");
  EXPECT_TRUE(t.minusOffset);
  ls.portIndex = 16;
  t = ResolvePortTarget(ls, s);
  EXPECT_EQ(t.device, "/dev/ttyUSB9");
  EXPECT_FALSE(t.minusOffset);
  // A device given directly never strips a byte, whatever the port index says.
  ls.portIndex = 2;
  ls.device = "/dev/ttyACM0";
  t = ResolvePortTarget(ls, s);
  EXPECT_EQ(t.device, "/dev/ttyACM0");
  EXPECT_FALSE(t.minusOffset);
}

// --- transmit modes ---

TEST_F(LinkTest, ManualRtsLeadAndLag) {
  settings.transmisjaNT = false;
  struct Case {
    int ileSleep;
    QStringList waits;
  };
  const Case cases[] = {
      {5, {"sleep 10", "sleep 5", "busy 5"}},
      {10, {"sleep 10", "sleep 5", "busy 5"}},  // 10 is read as 5
      {3, {"sleep 10", "sleep 3", "busy 3"}},
      {0, {"sleep 10"}},
  };
  for (const Case& c : cases) {
    settings.ileSleep = c.ileSleep;
    clock.ClearWaits();
    port->ClearEvents();
    port->QueueReply(Ack());
    ASSERT_EQ(Run(kPoll, 7).result, kLinkOk);
    EXPECT_EQ(link->CurrentTransmitMode(), TransmitMode::ManualRts);
    EXPECT_EQ(clock.waits(), c.waits) << c.ileSleep;
    QStringList seq = port->events();
    seq.removeAll("parity");
    seq.removeAll("purge");
    EXPECT_EQ(seq.mid(seq.size() - 5),
              QStringList({"rts 1", "bytes 01 46 00 00 07 4d 4a", "drain", "rts 0", "read 7"}));
  }
  // RTS rises after the lead and falls after the lag.
  settings.ileSleep = 5;
  port->ClearEvents();
  port->QueueReply(Ack());
  const std::int64_t start = clock.NowMs();
  Run(kPoll, 7);
  EXPECT_TRUE(port->timeline().contains(QStringLiteral("%1 rts 1").arg(start + 10 + 5)));
  EXPECT_TRUE(port->timeline().contains(QStringLiteral("%1 rts 0").arg(start + 10 + 5 + 5)));
}

TEST_F(LinkTest, ByteLoopOffersEachByteUpToAThousandTimes) {
  settings.transmisjaNT = false;
  port->RefuseByte(2, 999);
  port->QueueReply(Ack());
  EXPECT_EQ(Run(kPoll, 7).result, kLinkOk);
  EXPECT_EQ(port->transmitAttempts(), 7 + 999);

  port->RefuseByte(2, 1000);
  port->QueueReply(Ack());
  EXPECT_EQ(Run(kPoll, 7).result, kLinkShortWrite);
  EXPECT_EQ(port->transmitAttempts(), 7 + 999 + 2 + 1000);
  EXPECT_EQ(Hex(port->frames().back()), "01 46");
}

TEST_F(LinkTest, OneCallModes) {
  struct Case {
    const char* name;
    bool transmisjaNT;
    bool modemLines;
    bool rs485;
    TransmitMode mode;
  };
  const Case cases[] = {
      {"ManualWithoutTransmisjaNT", false, true, false, TransmitMode::ManualRts},
      {"TransmisjaNT", true, true, false, TransmitMode::OneCall},
      {"PseudoTerminal", false, false, false, TransmitMode::OneCall},
      {"DriverRs485", false, true, true, TransmitMode::Driver},
      {"DriverWinsOverTransmisjaNT", true, true, true, TransmitMode::Driver},
  };
  for (const Case& c : cases) {
    settings.transmisjaNT = c.transmisjaNT;
    port->SetModemLines(c.modemLines);
    port->SetDriverRs485(c.rs485);
    link->Close();
    port->ClearEvents();
    clock.ClearWaits();
    settings.ileSleep = 5;
    port->QueueReply(Ack());
    EXPECT_EQ(Run(kPoll, 7).result, kLinkOk) << c.name;
    EXPECT_EQ(link->CurrentTransmitMode(), c.mode) << c.name;
    const bool oneCall = c.mode != TransmitMode::ManualRts;
    EXPECT_EQ(port->events().contains("write 01 46 00 00 07 4d 4a"), oneCall) << c.name;
    EXPECT_EQ(port->events().filter("rts 1").isEmpty(), oneCall) << c.name;
    // RTS is held inactive where it is not the driver's to toggle.
    EXPECT_EQ(port->events().contains("rts 0"), !c.rs485 && c.modemLines) << c.name;
    if (oneCall) {
      EXPECT_EQ(clock.waits(), QStringList({"sleep 10"})) << c.name;
    }
  }
}

// --- trace ---

TEST(TraceFormat, LinesFourAndFive) {
  EXPECT_EQ(TraceHex(FromHex("01 4d ff")), "01 4d ff ");
  EXPECT_EQ(TraceHex({}), "");
  EXPECT_EQ(FormatTraceEntry("TS", FromHex("01 46 00 00 07 4d 4a"), {}, kLinkNoReply),
            " \nTS\n \n  M: 01 46 00 00 07 4d 4a    [7]\n  S:    [0] 8\n");
  EXPECT_EQ(FormatTraceEntry("TS", FromHex("0a"), FromHex("0b 0c"), kLinkWrongStation),
            " \nTS\n \n  M: 0a    [1]\n  S: 0b 0c    [2] 10\n");
}

TEST_F(LinkTest, TraceAppendsFiveLinesPerLoggedExchange) {
  QTemporaryDir dir;
  const QString trace = dir.filePath("trans.txt");
  link->SetTraceFile(trace);
  Run(kPoll, 7);  // no answer
  port->QueueReply(Ack());
  Run(kPoll, 7);
  Run(kPoll, 3);  // not logged
  QFile f(trace);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromLocal8Bit(f.readAll()).split('\n');
  ASSERT_EQ(lines.size(), 11);  // two entries and the final newline
  EXPECT_EQ(lines[0], " ");
  EXPECT_FALSE(lines[1].trimmed().isEmpty());
  EXPECT_EQ(lines[2], " ");
  EXPECT_EQ(lines[3], "  M: 01 46 00 00 07 4d 4a    [7]");
  EXPECT_EQ(lines[4], "  S:    [0] 8");
  EXPECT_EQ(lines[8], "  M: 01 46 00 00 07 4d 4a    [7]");
  EXPECT_EQ(lines[9], "  S: " + test::Hex(Ack()) + "    [7] 0");
}

TEST_F(LinkTest, NoTraceFileWithoutTracing) {
  EXPECT_TRUE(link->TraceFile().isEmpty());  // a new link traces nowhere
  // Switched on and off again: the folder it knew gets nothing.
  QTemporaryDir dir;
  link->SetTraceFile(dir.filePath("trans.txt"));
  link->SetTraceFile({});
  port->QueueReply(Ack());
  Run(kPoll, 7);
  EXPECT_TRUE(QDir(dir.path()).isEmpty());
  // An unwritable trace file does not disturb the exchange.
  link->SetTraceFile(dir.filePath("missing/folder/trans.txt"));
  port->QueueReply(Ack());
  EXPECT_EQ(Run(kPoll, 7).result, kLinkOk);
}

// --- port naming ---

TEST(PortNames, MappingComesFirstThenTheStandardDevice) {
  QMap<int, QString> ports;
  ports[2] = " /dev/ttyUSB1 ";
  EXPECT_EQ(ComPortName(0), "COM1");
  EXPECT_EQ(ComPortName(254), "COM255");
  PortDevice d = ResolvePortDevice(1, ports);
  EXPECT_EQ(d.device, "/dev/ttyUSB1");
  EXPECT_EQ(d.source, PortSource::Configured);
  EXPECT_EQ(DescribePortDevice(1, ports), "COM2 = /dev/ttyUSB1 (Ports section of ustawienia.ini)");
  // COM250 has no emulator link on a test machine.
  d = ResolvePortDevice(249, ports);
  EXPECT_EQ(d.source, PortSource::Default);
  EXPECT_EQ(d.device, "/dev/ttyS249");
  EXPECT_TRUE(EmulatorPortLink(4).endsWith("/qdx-emulator/COM4"));
}

}  // namespace
}  // namespace qdx
