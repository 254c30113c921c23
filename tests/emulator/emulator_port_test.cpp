// The in-process port, alone and under the real link: every fault must reach the link as the
// result code a real line would give.
#include "emulator/emulator_port.h"

#include <gtest/gtest.h>

#include "support/test_session.h"
#include "link/device_transactions.h"
#include "link/link.h"
#include "link/operations.h"
#include "link/path_dispatcher.h"
#include "link/setup_transactions.h"
#include "support/fake_serial_port.h"
#include "support/qt_printers.h"
#include "support/scripted_dialogs.h"

namespace qdx {
namespace {

using test::TestClock;

const QDateTime kStart(QDate(2024, 3, 1), QTime(8, 5, 9));

EmulatorOptions StartOptions() {
  EmulatorOptions options;
  options.clockStart = kStart;
  return options;
}

class EmulatorPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(port.Open(QStringLiteral("emulator")));
    ASSERT_TRUE(port.Configure(38400));
    port.SetReadTimeoutConstant(100);
  }
  TestClock clock;
  Emulator emulator{clock, StartOptions()};
  EmulatorPort port{emulator, clock};
};

TEST_F(EmulatorPortTest, ReplyIsThereAtOnce) {
  EXPECT_EQ(port.Write(BuildStatusPollRequest(1)), 7);
  const QByteArray reply = port.Read(64);
  EXPECT_EQ(reply.size(), 64);
  EXPECT_TRUE(HasValidChecksum(reply));
  EXPECT_EQ(clock.NowMicroseconds(), 0);
}

TEST_F(EmulatorPortTest, ShortOrMissingReplyWaitsOutTheReadTimeout) {
  port.Write(BuildStatusPollRequest(1));
  EXPECT_EQ(port.Read(65).size(), 64);
  EXPECT_EQ(clock.NowMicroseconds(), (65 + 100) * 1000);  // count x 1 ms + constant
  port.Write(BuildStatusPollRequest(7));                  // nobody answers
  EXPECT_TRUE(port.Read(64).isEmpty());
  EXPECT_EQ(clock.NowMicroseconds(), (65 + 100 + 64 + 100) * 1000);
}

TEST_F(EmulatorPortTest, ReadsInPiecesAndPurges) {
  port.Write(BuildStatusPollRequest(1));
  EXPECT_EQ(port.Read(10).size(), 10);
  EXPECT_EQ(port.Read(54).size(), 54);
  port.Write(BuildStatusPollRequest(1));
  EXPECT_EQ(port.PendingReplyBytes(), 64);
  port.Purge();
  EXPECT_EQ(port.PendingReplyBytes(), 0);
  EXPECT_TRUE(port.Read(64).isEmpty());
}

TEST_F(EmulatorPortTest, BytesTransmittedOneByOneMakeAFrame) {
  const QByteArray request = BuildStatusPollRequest(1);
  for (const char c : request) {
    EXPECT_EQ(port.PendingReplyBytes(), 0);
    EXPECT_TRUE(port.TransmitByte(static_cast<std::uint8_t>(c)));
  }
  EXPECT_EQ(port.Read(64).size(), 64);
}

TEST_F(EmulatorPortTest, PacingTakesTheWireTime) {
  port.SetPacing(0);  // at the configured 38400 baud
  port.Write(BuildStatusPollRequest(1));
  EXPECT_EQ(port.Read(64).size(), 64);
  const std::int64_t wire = WireTimeMicroseconds(7 + 64, 38400);
  EXPECT_GE(clock.NowMicroseconds(), wire);
  EXPECT_LT(clock.NowMicroseconds(), wire + 1000);

  // A reply slower than the read timeout is cut at the deadline.
  port.SetPacing(300);
  const std::int64_t start = clock.NowMicroseconds();
  port.Write(BuildStatusPollRequest(1));
  EXPECT_TRUE(port.Read(64).isEmpty());
  EXPECT_EQ(clock.NowMicroseconds() - start, (64 + 100) * 1000);
}

TEST_F(EmulatorPortTest, OpenFailureAndClosedPort) {
  port.Close();
  EXPECT_EQ(port.Write(BuildStatusPollRequest(1)), 0);
  EXPECT_NE(port.LastError(), PortError::None);
  port.FailNextOpen(PortError::Busy, QStringLiteral("held by another program"));
  EXPECT_FALSE(port.Open(QStringLiteral("emulator")));
  EXPECT_EQ(port.LastError(), PortError::Busy);
  EXPECT_EQ(port.LastErrorText(), QStringLiteral("held by another program"));
  EXPECT_TRUE(port.Open(QStringLiteral("emulator")));
  EXPECT_EQ(port.LastError(), PortError::None);
  EXPECT_EQ(port.OpenCount(), 2);
}

// --- Under the link ----------------------------------------------------------------------------

class EmulatorUnderLink : public ::testing::Test {
 protected:
  EmulatorUnderLink() {
    session->settings.ports[1] = QStringLiteral("emulator");
    session->settings.timeoutStand = 100;
    session->link.portIndex = 0;
    auto owned = std::make_unique<EmulatorPort>(emulator, clock);
    port = owned.get();
    link = std::make_unique<Link>(std::move(owned), clock, session->settings);
    link->SetReadTimeoutConstant(100);
    ops = std::make_unique<LinkOperations>(*link, *session);
  }
  TransactResult StatusPoll() {
    return link->Transact(BuildStatusPollRequest(1), 64, session->link);
  }

  TestClock clock;
  Emulator emulator{clock, StartOptions()};
  std::unique_ptr<TestSession> session = std::make_unique<TestSession>();
  EmulatorPort* port = nullptr;
  std::unique_ptr<Link> link;
  std::unique_ptr<LinkOperations> ops;
};

TEST_F(EmulatorUnderLink, EveryFaultGivesTheLinkItsResult) {
  struct Case {
    FaultSet faults;
    bool minusOffset;
    LinkResult expected;
  };
  const Case cases[] = {
      {{}, false, kLinkOk},
      {Fault::NoReply, false, kLinkNoReply},
      {Fault::CutShort, false, kLinkShortReply},
      {Fault::BadChecksum, false, kLinkBadChecksum},
      {Fault::OtherStation, false, kLinkWrongStation},
      {Fault::OtherStation | Fault::BadChecksum, false, kLinkBadChecksum},
      {Fault::LeadingZero, false, kLinkBadChecksum},
      {Fault::LeadingZero, true, kLinkOk},
      {{}, true, kLinkOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(FaultSetName(c.faults).toStdString());
    session->settings.minusOffset[0] = c.minusOffset;
    emulator.Faults().Queue(c.faults);
    const TransactResult r = StatusPoll();
    EXPECT_EQ(r.result, c.expected);
    if (r.result == kLinkOk) {
      EXPECT_EQ(r.reply.size(), 64);
    }
  }
}

TEST_F(EmulatorUnderLink, StatusDecodesAsSent) {
  emulator.SetRunning(true);
  ControllerStatus status;
  ASSERT_EQ(ops->PollModuleStatus(status), kLinkOk);
  EXPECT_EQ(status.year, 2024);
  EXPECT_EQ(status.month, 3);
  EXPECT_EQ(status.second, 9);
  EXPECT_DOUBLE_EQ(status.chamberTemperature, 72.5);
  EXPECT_DOUBLE_EQ(status.secondTemperature, 48.3);
  EXPECT_DOUBLE_EQ(status.plateTemperature, 91.2);
  EXPECT_DOUBLE_EQ(status.measuredValues6To10[2], -1.5);
  EXPECT_EQ(status.humidity, 65);
  EXPECT_EQ(status.lastRecordingAddress, 0x120);
  EXPECT_TRUE(status.Running());
  EXPECT_FALSE(status.answerReady);
}

TEST_F(EmulatorUnderLink, DirectAndModulePathsReadTheSameDevice) {
  DeviceInfo direct;
  ASSERT_EQ(Read(*ops, DeviceInfoRead(direct)), kLinkOk);
  EXPECT_EQ(direct.size, emulator.Memory().panelTextSize);

  session->moduleFlag = true;
  DeviceInfo fetched;
  const std::int64_t start = clock.NowMicroseconds();
  test::ScriptedDialogs dialogs;
  const PathOutcome outcome =
      PathDispatcher(*ops, dialogs).Read(DeviceInfoMessage(), 17, [&](const QByteArray& r) {
        fetched = DecodeDeviceInfo(r);
        return kLinkOk;
      });
  EXPECT_TRUE(outcome.ok());
  EXPECT_EQ(fetched, direct);
  EXPECT_GE(clock.NowMicroseconds() - start, 300'000) << "the module's answer delay";

  std::array<std::uint8_t, image::kSetupSize> setup{};
  ASSERT_EQ(Read(*ops, SetupRead(setup)), kLinkOk);
  EXPECT_EQ(setup[198] | (setup[199] << 8), 900);
  EXPECT_EQ(setup[196], 0x56);
  EXPECT_EQ(setup[197], 0xBA);
}

TEST_F(EmulatorUnderLink, ModuleFaultsReachTheOperationLayer) {
  session->moduleFlag = true;
  session->settings.waitForPanel = 2;
  DeviceInfo info;
  // A wrong acknowledgement fails the posted read once; the retry goes through.
  emulator.Faults().Queue(Fault::WrongAcknowledgement);
  EXPECT_EQ(PostRead(*ops, DeviceInfoRead(info)), kLinkOk);
  EXPECT_EQ(emulator.Stats().posts, 2);

  // An answer that never becomes ready ends the wait after WaitForPanel seconds.
  emulator.Faults().Queue(Fault::NeverReady);
  ASSERT_EQ(PostRead(*ops, DeviceInfoRead(info)), kLinkOk);
  const std::int64_t start = clock.NowMicroseconds();
  EXPECT_EQ(ops->AwaitModuleAnswer(), AwaitResult::NotReady);
  EXPECT_GE(clock.NowMicroseconds() - start, 2'000'000);
  EXPECT_LT(clock.NowMicroseconds() - start, 3'000'000);
}

}  // namespace
}  // namespace qdx
