#include "link/operations.h"
#include "link/path_dispatcher.h"

#include <gtest/gtest.h>

#include <array>

#include "link/device_transactions.h"
#include "link/setup_transactions.h"
#include "link_fixture.h"

namespace qdx {
namespace {

using test::FromHex;
using test::Hex;
using test::ScriptedDialogs;
using test::WithCrc;

class OperationsTest : public test::LinkFixture {};

// A valid 17-byte device-information answer from station 1.
QByteArray DeviceInfoReply() {
  QByteArray r = FromHex("01 46 08 00 11 44 20 00 08 01 02 11 00 12 00");
  return WithCrc(r);
}

// --- retry policy ---

struct RetryCase {
  const char* name;
  std::vector<QByteArray> replies;  // one per attempt
  LinkResult result;
  QStringList waits;
};

class Retries : public OperationsTest, public testing::WithParamInterface<RetryCase> {};

TEST_P(Retries, ThreeAttemptsAndAPauseAfterEachFailure) {
  session.settings.timeoutStand = 1500;
  for (const QByteArray& r : GetParam().replies) port->QueueReply(r);
  DeviceInfo info;
  const auto before = port->frames().size();
  EXPECT_EQ(Read(*ops, DeviceInfoRead(info)), GetParam().result);
  EXPECT_EQ(port->frames().size() - before,
            static_cast<size_t>(GetParam().waits.count("sleep 10")));
  // Waits other than the read timeouts, in order.
  EXPECT_EQ(clock.waits(), GetParam().waits);
  EXPECT_EQ(port->readTimeoutConstant(), 1500);
}

const QStringList kFail = {"sleep 10", "busy 100"};
const QStringList kPass = {"sleep 10"};

INSTANTIATE_TEST_SUITE_P(
    Policy, Retries,
    testing::Values(RetryCase{"FirstAttempt", {DeviceInfoReply()}, kLinkOk, kPass},
                    RetryCase{"SecondAttempt", {{}, DeviceInfoReply()}, kLinkOk, kFail + kPass},
                    RetryCase{"ThirdAttempt",
                              {{}, DeviceInfoReply().left(5), DeviceInfoReply()},
                              kLinkOk,
                              kFail + kFail + kPass},
                    // The last attempt's result is returned, with the pause after it too.
                    RetryCase{"AllSilent", {{}, {}, {}}, kLinkNoReply, kFail + kFail + kFail},
                    RetryCase{"LastShort",
                              {{}, {}, DeviceInfoReply().left(3)},
                              kLinkShortReply,
                              kFail + kFail + kFail}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OperationsTest, ReplyCheckFailuresAreRetried) {
  module.answerFunction = 0x47;  // FetchWriteResult wants 0x46 in byte 1
  EXPECT_EQ(ops->FetchWriteResult(4), kLinkUnexpectedReply);
  EXPECT_EQ(module.seen, QStringList({"fetch", "fetch", "fetch"}));
  EXPECT_EQ(port->events().filter("read").first(), "read 11");
  module.answerFunction = 0x46;
  module.seen.clear();
  EXPECT_EQ(ops->FetchWriteResult(6), kLinkOk);
  EXPECT_EQ(port->events().filter("read").last(), "read 13");
  EXPECT_EQ(module.seen, QStringList({"fetch"}));
}

TEST_F(OperationsTest, ResetsMakeOneAttemptAndAlwaysPause) {
  struct Case {
    const char* name;
    bool silent;
    std::function<LinkResult(LinkOperations&)> op;
    const char* frame;
  };
  const Case cases[] = {
      {"ResetOk", false, ResetController, "01 46 08 00 0b 47 e6 00 04 5b fb"},
      {"ResetSilent", true, ResetController, "01 46 08 00 0b 47 e6 00 04 5b fb"},
      {"PostResetOk", false, PostResetController, "01 47 09 00 0d 47 e6 00 06 00 00 e1 26"},
      {"PostResetSilent", true, PostResetController, "01 47 09 00 0d 47 e6 00 06 00 00 e1 26"},
  };
  for (const Case& c : cases) {
    clock.ClearWaits();
    const auto before = port->frames().size();
    if (c.silent) port->QueueReply({});
    const LinkResult r = c.op(*ops);
    EXPECT_EQ(r, c.silent ? kLinkNoReply : kLinkOk) << c.name;
    ASSERT_EQ(port->frames().size(), before + 1) << c.name;
    EXPECT_EQ(Hex(port->frames().back()), c.frame) << c.name;
    EXPECT_EQ(clock.waits(), QStringList({"sleep 10", "busy 100"})) << c.name;
  }
}

// --- module path ---

TEST_F(OperationsTest, AcknowledgementRules) {
  struct Case {
    const char* name;
    std::function<LinkResult(LinkOperations&)> post;
    bool acknowledged;
  };
  const std::array<std::uint8_t, 4> charsets = {0, 0x11, 0, 0x12};
  DeviceInfo info;
  QByteArray text;
  std::array<std::uint8_t, image::kSetupSize> setup{};
  const Case cases[] = {
      {"PostReadDeviceInfo", [&](LinkOperations& o) { return PostRead(o, DeviceInfoRead(info)); },
       true},
      {"PostReadPanelTextBlock",
       [&](LinkOperations& o) { return PostRead(o, PanelTextRead(264, 6, text)); }, true},
      {"PostReadSetup", [&](LinkOperations& o) { return PostRead(o, SetupRead(setup)); }, true},
      {"PostWritePanelTextBlock",
       [](LinkOperations& o) { return PostWrite(o, PanelTextWrite(0, QByteArray(264, 'a'))); },
       false},
      {"PostWritePanelCharsets",
       [&](LinkOperations& o) { return PostWrite(o, PanelCharsetsWrite(charsets)); }, false},
      {"PostSetClock",
       [](LinkOperations& o) {
         return PostSetClock(o, QDateTime(QDate(2024, 3, 1), QTime(8, 5, 9)));
       },
       false},
      {"PostResetController", PostResetController, false},
  };
  for (const Case& c : cases) {
    module.ack = FromHex("47 08");
    module.seen.clear();
    EXPECT_EQ(c.post(*ops), c.acknowledged ? kLinkUnexpectedReply : kLinkOk) << c.name;
    // A refused acknowledgement is retried like any failure.
    EXPECT_EQ(module.seen.size(), c.acknowledged ? 3 : 1) << c.name;
    module.ack = FromHex("47 09");
    EXPECT_EQ(c.post(*ops), kLinkOk) << c.name;
  }
}

TEST_F(OperationsTest, AwaitEndsWhenTheAnswerIsReady) {
  module.readyAfter = 3;
  int pumps = 0;
  ops->SetEventPump([&] { ++pumps; });
  EXPECT_EQ(ops->AwaitModuleAnswer(), AwaitResult::Ready);
  EXPECT_EQ(module.polls, 4);
  EXPECT_EQ(clock.waits().front(), "sleep 100");
  EXPECT_GE(pumps, 4);
  // A pump given to the wait replaces the object's one.
  int own = 0;
  pumps = 0;
  module.polls = 0;
  EXPECT_EQ(ops->AwaitModuleAnswer({}, [&] { ++own; }), AwaitResult::Ready);
  EXPECT_EQ(pumps, 0);
  EXPECT_GE(own, 4);
}

TEST_F(OperationsTest, AwaitGivesUpAfterWaitForPanelThoughEveryPollSucceeds) {
  session.settings.waitForPanel = 2;
  module.readyAfter = -1;
  const std::int64_t start = clock.NowMicroseconds();
  EXPECT_EQ(ops->AwaitModuleAnswer(), AwaitResult::NotReady);
  const std::int64_t elapsed = clock.NowMicroseconds() - start;
  EXPECT_GE(elapsed, 100'000 + 2'000'000);
  EXPECT_LT(elapsed, 100'000 + 2'000'000 + 20'000);
  EXPECT_EQ(module.polls, 200);  // one poll per 10 ms frame gap
}

TEST_F(OperationsTest, AwaitGivesUpWhenTheModuleIsSilent) {
  session.settings.waitForPanel = 5;
  session.settings.timeoutStand = 1000;
  module.statusSilent = true;
  EXPECT_EQ(ops->AwaitModuleAnswer(), AwaitResult::NotReady);
  // Each failed poll is three attempts of 10 + 64 + 1000 + 100 ms: two polls pass 5 s.
  EXPECT_EQ(module.polls, 6);
}

TEST_F(OperationsTest, AwaitCancelled) {
  module.readyAfter = -1;
  EXPECT_EQ(ops->AwaitModuleAnswer([] { return true; }), AwaitResult::Cancelled);
  EXPECT_EQ(module.polls, 0);
  int asked = 0;
  EXPECT_EQ(ops->AwaitModuleAnswer([&] { return ++asked == 3; }), AwaitResult::Cancelled);
  EXPECT_EQ(module.polls, 2);
  // A ready answer wins over a cancel request made after the poll.
  module.readyAfter = 0;
  module.polls = 0;
  asked = 0;
  EXPECT_EQ(ops->AwaitModuleAnswer([&] { return ++asked >= 2; }), AwaitResult::Ready);
}

TEST_F(OperationsTest, ConnectionTestUsesThePathsOwnRequest) {
  EXPECT_EQ(ops->TestConnection(), kLinkOk);
  session.moduleFlag = true;
  EXPECT_EQ(ops->TestConnection(), kLinkOk);
  EXPECT_EQ(module.seen, QStringList({"direct 44 20", "poll"}));
  module.statusSilent = true;
  EXPECT_EQ(ops->TestConnection(), kLinkNoReply);
}

// --- status ---

TEST(ControllerStatusDecoding, EveryField) {
  QByteArray r(64, '\0');
  for (int i = 0; i < 62; ++i) r[i] = static_cast<char>(i);
  r[22] = static_cast<char>(0xC2);  // run state is the low six bits: 2
  r[43] = static_cast<char>(0xFF);  // smoke temperature -20.0
  r[44] = static_cast<char>(0x38);
  r[61] = 1;
  const ControllerStatus s = DecodeControllerStatus(WithCrc(r.left(62)));
  EXPECT_EQ(s.year, 2005);
  EXPECT_EQ(s.month, 6);
  EXPECT_EQ(s.day, 7);
  EXPECT_EQ(s.hour, 8);
  EXPECT_EQ(s.minute, 9);
  EXPECT_EQ(s.second, 10);
  EXPECT_EQ(s.status38, 38);
  EXPECT_EQ(s.status34, 34);
  EXPECT_EQ(s.status25, 25);
  EXPECT_EQ(s.status26, 26);
  EXPECT_EQ(s.status27, 27);
  EXPECT_EQ(s.status36, 36);
  EXPECT_EQ(s.status37, 37);
  EXPECT_EQ(s.humidity, 15);
  EXPECT_EQ(s.notFilled, 0);
  EXPECT_EQ(s.status28, 28);
  EXPECT_EQ(s.status29, 29);
  EXPECT_EQ(s.lastRecordingAddress, 0x1112);
  EXPECT_EQ(s.previousRecordingAddress, 0x1314);
  EXPECT_EQ(s.recordingCounter, 0);
  EXPECT_EQ(s.recordingInterlock, 0);
  EXPECT_DOUBLE_EQ(s.value30, 0x1E1F / 10.0);
  EXPECT_DOUBLE_EQ(s.value32, 0x2021 / 10.0);
  EXPECT_DOUBLE_EQ(s.chamberTemperature, 0x0B0C / 10.0);
  EXPECT_DOUBLE_EQ(s.secondTemperature, 0x0D0E / 10.0);
  EXPECT_DOUBLE_EQ(s.smokeTemperature, -20.0);
  EXPECT_DOUBLE_EQ(s.plateTemperature, 0x2F30 / 10.0);
  EXPECT_DOUBLE_EQ(s.wetBulbTemperature, 0x2D2E / 10.0);
  for (int i = 0; i < 5; ++i) {
    const int hi = 49 + 2 * i;
    EXPECT_DOUBLE_EQ(s.measuredValues6To10[i], (hi * 256 + hi + 1) / 10.0) << i;
  }
  EXPECT_DOUBLE_EQ(s.measuredValue11, -300.0);
  EXPECT_DOUBLE_EQ(s.measuredValue12, -300.0);
  EXPECT_EQ(s.status16, 16);
  EXPECT_EQ(s.status21, 21);
  EXPECT_EQ(s.runState, 2);
  EXPECT_TRUE(s.Running());
  EXPECT_EQ(s.status23, 23);
  EXPECT_EQ(s.status24, 24);
  EXPECT_EQ(s.status35, 35);
  EXPECT_TRUE(s.answerReady);
  EXPECT_EQ(s.statusWord39, 0x2728292Au);  // bytes 39 (high) to 42
  EXPECT_EQ(s.status60, 60);
}

TEST(ControllerStatusDecoding, ReadyOnlyForOneAndShortRepliesGiveZero) {
  QByteArray r(62, '\0');
  r[61] = 2;
  EXPECT_FALSE(DecodeControllerStatus(WithCrc(r)).answerReady);
  EXPECT_EQ(DecodeControllerStatus(r), ControllerStatus{});
}

TEST_F(OperationsTest, FailedPollLeavesTheStatusZeroed) {
  ControllerStatus s;
  s.year = 2024;
  s.answerReady = true;
  module.statusSilent = true;
  EXPECT_EQ(ops->PollModuleStatus(s), kLinkNoReply);
  EXPECT_EQ(s, ControllerStatus{});
  module.statusSilent = false;
  module.runStateByte = 3;
  EXPECT_EQ(ops->PollModuleStatus(s), kLinkOk);
  EXPECT_EQ(s.runState, 3);
  EXPECT_EQ(Hex(port->frames().back()), "01 46 00 00 07 4d 4a");
}

// --- STOP mode and the reset offer ---

enum class Poll { Stop0, Stop1, Run2, RunHigh, StopHighBits, Silent };

void ArrangePoll(test::FakeModule& m, Poll p) {
  m.statusSilent = p == Poll::Silent;
  switch (p) {
    case Poll::Stop0:
    case Poll::Silent:
      m.runStateByte = 0;
      break;
    case Poll::Stop1:
      m.runStateByte = 1;
      break;
    case Poll::Run2:
      m.runStateByte = 2;
      break;
    case Poll::RunHigh:
      m.runStateByte = 0x3F;
      break;
    case Poll::StopHighBits:
      m.runStateByte = 0xC1;  // only the low six bits count
      break;
  }
}

TEST_F(OperationsTest, RequireStopMode) {
  struct Case {
    bool module;
    Poll poll;
    bool allowed;
  };
  const Case cases[] = {
      {false, Poll::Run2, true},        {true, Poll::Stop0, true}, {true, Poll::Stop1, true},
      {true, Poll::StopHighBits, true}, {true, Poll::Run2, false}, {true, Poll::RunHigh, false},
      {true, Poll::Silent, true},  // a failed poll lets the write go ahead
  };
  for (const Case& c : cases) {
    session.moduleFlag = c.module;
    ArrangePoll(module, c.poll);
    module.seen.clear();
    ScriptedDialogs d;
    EXPECT_EQ(ops->RequireStopMode(d), c.allowed);
    EXPECT_EQ(d.messages(), c.allowed ? QStringList() : QStringList({kStopModeRequired}));
    EXPECT_EQ(module.seen.isEmpty(), !c.module);
  }
}

struct ResetCase {
  const char* name;
  bool pytajOReset;
  bool pending;
  bool moduleFlag;
  Poll poll;
  int answer;        // 0: no question expected
  const char* sent;  // last frame kind seen, or "" for nothing sent
  bool stopMessage;
  bool pendingAfter;
};

class ResetOffer : public OperationsTest, public testing::WithParamInterface<ResetCase> {};

TEST_P(ResetOffer, FollowsSettingPathAndRunState) {
  const ResetCase& c = GetParam();
  session.settings.pytajOReset = c.pytajOReset;
  session.writePending = c.pending;
  session.moduleFlag = c.moduleFlag;
  ArrangePoll(module, c.poll);
  module.directSilent = c.poll == Poll::Silent;
  if (c.answer) dialogs.QueueAnswer(c.answer);
  ops->ResetAfterWrite(dialogs);
  EXPECT_EQ(dialogs.questions(), c.answer ? QStringList({kResetQuestion}) : QStringList());
  EXPECT_EQ(dialogs.messages(), c.stopMessage ? QStringList({kStopModeRequired}) : QStringList());
  const QString last = module.seen.isEmpty() ? QString() : module.seen.last();
  EXPECT_EQ(last.startsWith("poll") ? QString() : last, QString(c.sent));
  EXPECT_EQ(session.writePending, c.pendingAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Combinations, ResetOffer,
    testing::Values(
        ResetCase{"NotAsked", false, true, false, Poll::Stop0, 0, "", false, true},
        ResetCase{"NotAskedModule", false, true, true, Poll::Stop0, 0, "", false, true},
        ResetCase{"NothingPending", true, false, false, Poll::Stop0, 0, "", false, false},
        ResetCase{"AnsweredNo", true, true, false, Poll::Stop0, kAnswerNo, "", false, true},
        ResetCase{"AnsweredNoModule", true, true, true, Poll::Run2, kAnswerNo, "", false, true},
        ResetCase{"OtherAnswer", true, true, false, Poll::Stop0, 2, "", false, true},
        ResetCase{"Direct", true, true, false, Poll::Stop0, kAnswerYes, "direct 47 e6", false,
                  false},
        // The direct reset's result is ignored; the flag is cleared all the same.
        ResetCase{"DirectNoAnswer", true, true, false, Poll::Silent, kAnswerYes, "direct 47 e6",
                  false, false},
        ResetCase{"ModuleStopped0", true, true, true, Poll::Stop0, kAnswerYes, "post 47 e6", false,
                  false},
        ResetCase{"ModuleStopped1", true, true, true, Poll::Stop1, kAnswerYes, "post 47 e6", false,
                  false},
        ResetCase{"ModuleRunning", true, true, true, Poll::Run2, kAnswerYes, "", true, true},
        ResetCase{"ModulePollFails", true, true, true, Poll::Silent, kAnswerYes, "post 47 e6",
                  false, false}),
    [](const auto& info) { return std::string(info.param.name); });

// --- setup parameters ---

QByteArray SetupWords() {
  QByteArray data;
  for (int w = 0; w < 100; ++w) AppendBe16(data, static_cast<std::uint16_t>(w * 0x0101 + 1));
  data[0] = static_cast<char>(0xFF);  // word 0 = -1
  data[1] = static_cast<char>(0xFF);
  return data;
}

TEST_F(OperationsTest, ReadSetupParametersOnBothPaths) {
  module.answerData = SetupWords();
  for (const bool moduleFlag : {false, true}) {
    session.moduleFlag = moduleFlag;
    module.seen.clear();
    std::array<std::uint8_t, image::kSetupSize> setup;
    setup.fill(0xAA);
    ASSERT_TRUE(ops->ReadSetupParameters(dialogs, setup));
    EXPECT_EQ(setup[0], 0xFF);
    EXPECT_EQ(setup[1], 0xFF);
    EXPECT_EQ(setup[2 * 99], 99 * 0x0101 + 1 - 256 * 99);  // low byte first
    EXPECT_EQ(setup[2 * 99 + 1], 99);
    EXPECT_EQ(setup[200], 0);  // the 101st word does not travel
    EXPECT_EQ(setup[201], 0);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    if (moduleFlag) {
      EXPECT_EQ(module.seen, QStringList({"post 46 0a", "poll", "fetch"}));
    } else {
      EXPECT_EQ(module.seen, QStringList({"direct 46 0a"}));
    }
    EXPECT_EQ(port->events().filter("read").last(), "read 211");
  }
}

TEST_F(OperationsTest, ReadSetupParametersFailures) {
  struct Case {
    const char* name;
    bool moduleFlag;
    std::function<void(test::FakeModule&)> arrange;
  };
  const Case cases[] = {
      {"DirectSilent", false, [](test::FakeModule& m) { m.directSilent = true; }},
      {"PostRefused", true, [](test::FakeModule& m) { m.ack = FromHex("47 08"); }},
      {"NeverReady", true, [](test::FakeModule& m) { m.readyAfter = -1; }},
  };
  for (const Case& c : cases) {
    test::FakeModule fresh;
    c.arrange(fresh);
    module = fresh;
    session.moduleFlag = c.moduleFlag;
    ScriptedDialogs d;
    std::array<std::uint8_t, image::kSetupSize> setup{};
    EXPECT_FALSE(ops->ReadSetupParameters(d, setup)) << c.name;
    EXPECT_EQ(d.messages(), QStringList({kNoCommunication})) << c.name;
    EXPECT_FALSE(module.seen.contains("fetch")) << c.name;
  }
}

// --- whole reads and writes on a path ---

TEST_F(OperationsTest, PathOutcomes) {
  struct Case {
    const char* name;
    bool moduleFlag;
    bool write;
    std::function<void(test::FakeModule&)> arrange;
    CancelTest cancel;
    PathOutcome::Kind kind;
    QStringList seen;
  };
  const InnerMessage inner{kClassDevice, 0x20, {}};
  auto none = [](test::FakeModule&) {};
  const Case cases[] = {
      {"DirectRead", false, false, none, {}, PathOutcome::Done, {"direct 44 20"}},
      {"ModuleRead", true, false, none, {}, PathOutcome::Done, {"post 44 20", "poll", "fetch"}},
      {"ModuleReadCancelled",
       true,
       false,
       none,
       [] { return true; },
       PathOutcome::Cancelled,
       {"post 44 20"}},
      {"DirectWrite", false, true, none, {}, PathOutcome::Done, {"direct 44 20"}},
      {"ModuleWrite",
       true,
       true,
       none,
       {},
       PathOutcome::Done,
       {"poll", "post 44 20", "poll", "fetch"}},
      {"ModuleWriteRefused",
       true,
       true,
       [](test::FakeModule& m) { m.runStateByte = 2; },
       {},
       PathOutcome::Refused,
       {"poll"}},
      {"ModuleWriteNotReady",
       true,
       true,
       [](test::FakeModule& m) { m.readyAfter = -1; },
       {},
       PathOutcome::NotReady,
       {}},
      {"ModuleWriteBadAnswer",
       true,
       true,
       [](test::FakeModule& m) { m.answerFunction = 0x47; },
       {},
       PathOutcome::Failed,
       {"poll", "post 44 20", "poll", "fetch", "fetch", "fetch"}},
  };
  for (const Case& c : cases) {
    test::FakeModule fresh;
    c.arrange(fresh);
    module = fresh;
    session.moduleFlag = c.moduleFlag;
    session.settings.waitForPanel = 1;
    ScriptedDialogs d;
    PathDispatcher path(*ops, d, c.cancel);
    const PathOutcome out =
        c.write ? path.Write(inner)
                : path.Read(inner, 17, [](const QByteArray&) { return kLinkOk; });
    EXPECT_EQ(out.kind, c.kind) << c.name;
    if (!c.seen.isEmpty()) {
      EXPECT_EQ(module.seen, c.seen) << c.name;
    }
    EXPECT_EQ(d.messages().isEmpty(), c.kind != PathOutcome::Refused) << c.name;
  }
}

// The stage hook follows post, wait and fetch on the module path only; the path is the one
// the session had when the dispatcher was made.
TEST_F(OperationsTest, DispatcherStagesAndPathChosenOnce) {
  const InnerMessage inner{kClassDevice, 0x20, {}};
  session.settings.waitForPanel = 1;
  ScriptedDialogs d;
  for (const bool moduleFlag : {false, true}) {
    module = test::FakeModule{};
    session.moduleFlag = moduleFlag;
    PathDispatcher path(*ops, d);
    session.moduleFlag = !moduleFlag;
    QList<int> stages;
    const PathStep step{false, [&](int k) { stages.push_back(k); }, 0};
    EXPECT_TRUE(path.Read(inner, 17, [](const QByteArray&) { return kLinkOk; }, step).ok());
    EXPECT_TRUE(path.Write(inner, step).ok());
    EXPECT_EQ(stages, moduleFlag ? QList<int>({1, 2, 3, 1, 2, 3}) : QList<int>()) << moduleFlag;
    EXPECT_EQ(module.seen.first(), moduleFlag ? "post 44 20" : "direct 44 20");
  }
}

// A catalogue write goes without the STOP-mode check when its step says so, and a request
// outside its section sends nothing.
TEST_F(OperationsTest, DispatcherCatalogueWrites) {
  struct Case {
    const char* name;
    bool moduleFlag;
    qint64 offset;
    PathOutcome::Kind kind;
    LinkResult result;
    QStringList seen;
  };
  const Case cases[] = {
      {"Direct", false, 264, PathOutcome::Done, kLinkOk, {"direct 44 24"}},
      {"Module", true, 264, PathOutcome::Done, kLinkOk, {"post 44 24", "poll", "fetch"}},
      {"DirectOutside", false, 65536, PathOutcome::Failed, kLinkRequestInvalid, {}},
      {"ModuleOutside", true, 65536, PathOutcome::Failed, kLinkRequestInvalid, {}},
  };
  session.settings.waitForPanel = 1;
  ScriptedDialogs d;
  for (const Case& c : cases) {
    module = test::FakeModule{};
    session.moduleFlag = c.moduleFlag;
    PathDispatcher path(*ops, d);
    const PathOutcome out = path.Write(PanelTextWrite(c.offset, QByteArray(264, 'x')), {});
    EXPECT_EQ(out.kind, c.kind) << c.name;
    EXPECT_EQ(out.result, c.result) << c.name;
    EXPECT_EQ(module.seen, c.seen) << c.name;
  }
  EXPECT_TRUE(d.shown().empty());
}

}  // namespace
}  // namespace qdx
