#include "link/operations.h"

#include "link/path_dispatcher.h"
#include "model/bytes.h"
#include "link/device_transactions.h"
#include "link/setup_transactions.h"

namespace qdx {

namespace {

const std::uint8_t* Bytes(const QByteArray& a) {
  return reinterpret_cast<const std::uint8_t*>(a.constData());
}

// Signed tenths, big-endian.
double Tenths(const std::uint8_t* p) {
  return static_cast<std::int16_t>(ReadBe16(p)) / 10.0;
}

}  // namespace

ControllerStatus DecodeControllerStatus(const QByteArray& reply) {
  ControllerStatus s;
  if (reply.size() < kStatusReplyLength) return s;
  const std::uint8_t* r = Bytes(reply);
  s.year = r[5] + 2000;
  s.month = r[6];
  s.day = r[7];
  s.hour = r[8];
  s.minute = r[9];
  s.second = r[10];
  s.status38 = r[38];
  s.status34 = r[34];
  s.status25 = r[25];
  s.status26 = r[26];
  s.status27 = r[27];
  s.status36 = r[36];
  s.status37 = r[37];
  s.humidity = r[15];
  s.status28 = r[28];
  s.status29 = r[29];
  s.lastRecordingAddress = ReadBe16(r + 17);
  s.previousRecordingAddress = ReadBe16(r + 19);
  s.value30 = Tenths(r + 30);
  s.value32 = Tenths(r + 32);
  s.chamberTemperature = Tenths(r + 11);
  s.secondTemperature = Tenths(r + 13);
  s.smokeTemperature = Tenths(r + 43);
  s.plateTemperature = Tenths(r + 47);
  s.wetBulbTemperature = Tenths(r + 45);
  for (int i = 0; i < 5; ++i) s.measuredValues6To10[i] = Tenths(r + 49 + 2 * i);
  s.measuredValue11 = -300.0;
  s.measuredValue12 = -300.0;
  s.status16 = r[16];
  s.status21 = r[21];
  s.runState = r[22] & 0x3F;
  s.status23 = r[23];
  s.status24 = r[24];
  s.status35 = r[35];
  s.answerReady = r[61] == 1;
  s.statusWord39 = ReadBe32(r + 39);
  s.status60 = r[60];
  return s;
}

LinkResult CheckPostAcknowledgement(const QByteArray& reply) {
  return reply.size() >= 3 && static_cast<std::uint8_t>(reply[1]) == kFunction47 &&
                 static_cast<std::uint8_t>(reply[2]) == kSubModule
             ? kLinkOk
             : kLinkUnexpectedReply;
}

LinkOperations::LinkOperations(Link& link, LinkContext& context)
    : link_(link), context_(context) {}

void LinkOperations::Pump(const EventPump& pump) {
  if (pump) {
    pump();
  } else if (pump_) {
    pump_();
  }
}

void LinkOperations::PreciseDelay(int ms) {
  if (ms > 0) clock().BusyWaitMilliseconds(ms);
}

LinkResult LinkOperations::RunWithRetries(const QByteArray& request, int replyLength,
                                          const ReplyDecoder& decode,
                                          const AttemptPreparation& prepare) {
  link_.SetReadTimeoutConstant(link_.settings().timeoutStand);
  LinkResult result = kLinkOk;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (prepare) prepare();
    const TransactResult t = link_.Transact(request, replyLength, context_.link);
    result = t.result;
    if (result == kLinkOk && decode) result = decode(t.reply);
    if (result == kLinkOk) return result;
    PreciseDelay(kPauseAfterFailureMs);
  }
  return result;
}

LinkResult LinkOperations::RunSingleAttempt(const QByteArray& request, int replyLength) {
  link_.SetReadTimeoutConstant(link_.settings().timeoutStand);
  const LinkResult result = link_.Transact(request, replyLength, context_.link).result;
  PreciseDelay(kPauseAfterFailureMs);
  return result;
}

LinkResult LinkOperations::RunDirect(const InnerMessage& inner, int replyLength,
                                     const ReplyDecoder& decode,
                                     const AttemptPreparation& prepare) {
  return RunWithRetries(BuildDirectRequest(context_.stationAddress, inner), replyLength, decode,
                        prepare);
}

LinkResult LinkOperations::RunPost(const InnerMessage& inner, PostAck ack) {
  const ReplyDecoder check =
      ack == PostAck::Acknowledged ? ReplyDecoder(CheckPostAcknowledgement) : ReplyDecoder();
  return RunWithRetries(BuildPostRequest(context_.stationAddress, inner), kPostReplyLength, check);
}

LinkResult LinkOperations::RunFetch(int replyLength, const ReplyDecoder& decode,
                                    const AttemptPreparation& prepare) {
  return RunWithRetries(BuildFetchRequest(context_.stationAddress), replyLength, decode, prepare);
}

LinkResult LinkOperations::PollModuleStatus(ControllerStatus& status) {
  status = ControllerStatus{};
  return RunWithRetries(
      BuildStatusPollRequest(context_.stationAddress), kStatusReplyLength,
      [&status](const QByteArray& reply) {
        status = DecodeControllerStatus(reply);
        return kLinkOk;
      },
      [&status] { status = ControllerStatus{}; });
}

LinkResult LinkOperations::FetchWriteResult(int n) {
  return RunFetch(n + 7, [](const QByteArray& reply) {
    return static_cast<std::uint8_t>(reply.at(1)) == kFunction46 ? kLinkOk : kLinkUnexpectedReply;
  });
}

AwaitResult LinkOperations::AwaitModuleAnswer(const CancelTest& cancel, const EventPump& pump) {
  clock().SleepMilliseconds(100);
  Pump(pump);
  if (cancel && cancel()) return AwaitResult::Cancelled;
  const std::int64_t start = clock().NowMicroseconds();
  const std::int64_t limit = static_cast<std::int64_t>(link_.settings().waitForPanel) * 1'000'000;
  for (;;) {
    if (clock().NowMicroseconds() - start >= limit) return AwaitResult::NotReady;
    Pump(pump);
    ControllerStatus status;
    if (PollModuleStatus(status) != kLinkOk) continue;
    if (status.answerReady) return AwaitResult::Ready;
    Pump(pump);
    if (cancel && cancel()) return AwaitResult::Cancelled;
  }
}

bool LinkOperations::RequireStopMode(Dialogs& dialogs) {
  if (!ModulePath()) return true;
  ControllerStatus status;
  if (PollModuleStatus(status) == kLinkOk && status.Running()) {
    dialogs.ShowLinkMessage(kStopModeRequired);
    return false;
  }
  return true;
}

void LinkOperations::ResetAfterWrite(Dialogs& dialogs) {
  if (!link_.settings().pytajOReset || !context_.writePending) return;
  if (dialogs.AskYesNo(kResetQuestion) != kAnswerYes) return;
  if (!ModulePath()) {
    ResetController(*this);
    context_.writePending = false;
    return;
  }
  ControllerStatus status;
  if (PollModuleStatus(status) != kLinkOk || !status.Running()) {
    PostResetController(*this);
    context_.writePending = false;
  } else {
    dialogs.ShowLinkMessage(kStopModeRequired);
  }
}

bool LinkOperations::ReadSetupParameters(Dialogs& dialogs, SetupBytes setup) {
  const bool ok = PathDispatcher(*this, dialogs).Read(SetupRead(setup)).ok();
  if (!ok) dialogs.ShowLinkMessage(kNoCommunication);
  return ok;
}

LinkResult LinkOperations::TestConnection() {
  if (ModulePath()) {
    ControllerStatus status;
    return PollModuleStatus(status);
  }
  DeviceInfo info;
  return Read(*this, DeviceInfoRead(info));
}

}  // namespace qdx
