#include "emulator/emulator.h"

#include <QtGlobal>
#include <algorithm>
#include <cmath>

#include "emulator/section_handlers.h"
#include "link/frame.h"

namespace qdx {
namespace {

constexpr int kStatusReplySize = 64;
constexpr int kStatusAnswerReady = 61;
constexpr int kStatusRunState = 22;

std::uint8_t Byte(const QByteArray& bytes, int index) {
  return static_cast<std::uint8_t>(bytes[index]);
}

std::uint16_t Be16At(const QByteArray& bytes, int index) {
  return static_cast<std::uint16_t>((Byte(bytes, index) << 8) | Byte(bytes, index + 1));
}

void PutBe16(QByteArray& bytes, int index, std::uint16_t value) {
  bytes[index] = static_cast<char>(value >> 8);
  bytes[index + 1] = static_cast<char>(value & 0xFF);
}

// A reading in tenths as the status reply carries it.
void PutTenths(QByteArray& bytes, int index, double value) {
  const double tenths = std::clamp(std::round(value * 10.0), -32768.0, 32767.0);
  PutBe16(bytes, index, static_cast<std::uint16_t>(static_cast<std::int16_t>(tenths)));
}

void PutChecksum(QByteArray& frame) {
  const auto body = static_cast<std::uint16_t>(frame.size() - kChecksumSize);
  const std::uint16_t crc = Crc16(reinterpret_cast<const std::uint8_t*>(frame.constData()), body);
  frame[body] = static_cast<char>(crc & 0xFF);
  frame[body + 1] = static_cast<char>(crc >> 8);
}

QString Hex2(std::uint8_t a, std::uint8_t b) {
  return QStringLiteral("%1 %2")
      .arg(a, 2, 16, QLatin1Char('0'))
      .arg(b, 2, 16, QLatin1Char('0'))
      .toUpper();
}

std::uint16_t HandlerKey(std::uint8_t classLetter, std::uint8_t command) {
  return static_cast<std::uint16_t>((classLetter << 8) | command);
}

}  // namespace

std::int64_t WireTimeMicroseconds(int byteCount, int baud) {
  if (baud <= 0 || byteCount <= 0) return 0;
  return static_cast<std::int64_t>(byteCount) * kBitsPerByte * 1'000'000 / baud;
}

Emulator::Emulator(const Clock& clock, EmulatorOptions options)
    : clock_(clock), options_(std::move(options)) {
  LoadDemoConfiguration(memory_, options_.programVersion, options_.panelLayout,
                        options_.stationAddress);
  SetRunning(options_.running);
  memory_.clockBase =
      options_.clockStart.isValid() ? options_.clockStart : QDateTime::currentDateTime();
  memory_.clockBaseMicroseconds = clock_.NowMicroseconds();
  RegisterDeviceHandlers(*this);
  LoadDemoSections(memory_.sections);
  RegisterSectionHandlers(*this);
}

void Emulator::AddHandler(std::uint8_t classLetter, std::uint8_t command, int minParams,
                          int maxParams, Handler handler) {
  handlers_[HandlerKey(classLetter, command)] = {minParams, maxParams, std::move(handler)};
}

bool Emulator::HasHandler(std::uint8_t classLetter, std::uint8_t command) const {
  return handlers_.count(HandlerKey(classLetter, command)) != 0;
}

void Emulator::SetProgramVersion(std::int16_t version) {
  options_.programVersion = version;
  memory_.setup[kSetupWordProgramVersion] = version;
}

void Emulator::SetPanelLayout(PanelLayout layout) {
  options_.panelLayout = layout;
  LoadDemoPanelTexts(memory_, layout);
}

QDateTime Emulator::ControllerClock() const {
  return memory_.ClockAt(clock_.NowMicroseconds());
}

void Emulator::SetControllerClock(const QDateTime& time) {
  memory_.clockBase = time;
  memory_.clockBaseMicroseconds = clock_.NowMicroseconds();
}

bool Emulator::AnswerReady() const {
  return pending_ && pending_->reply && !pending_->neverReady &&
         clock_.NowMicroseconds() >= pending_->readyAtMicroseconds;
}

std::optional<QByteArray> Emulator::HandleFrame(const QByteArray& request) {
  const std::int64_t number = ++stats_.frames;
  const FaultSet faults = faults_.Take(number);
  QString note;
  std::optional<QByteArray> reply = ApplyFaults(Dispatch(request, faults, note), faults);
  if (reply) ++stats_.replies;
  if (observer_) observer_(FrameEvent{number, request, reply, note, faults});
  return reply;
}

QByteArray Emulator::Frame(std::uint8_t function, std::uint8_t subFunction,
                           const QByteArray& body) const {
  QByteArray frame;
  frame.reserve(kFrameHeaderSize + body.size() + kChecksumSize);
  frame.append(static_cast<char>(options_.stationAddress & 0xFF));
  frame.append(static_cast<char>(function));
  frame.append(static_cast<char>(subFunction));
  frame.append(2, '\0');
  frame.append(body);
  frame.append(2, '\0');
  PutBe16(frame, 3, static_cast<std::uint16_t>(frame.size()));
  PutChecksum(frame);
  return frame;
}

QByteArray Emulator::DirectReply(const InnerRequest& request, const QByteArray& data) const {
  QByteArray body;
  body.reserve(kInnerHeaderSize + data.size());
  body.append(static_cast<char>(request.classLetter));
  body.append(static_cast<char>(request.command));
  body.append(2, '\0');
  PutBe16(body, 2, static_cast<std::uint16_t>(kInnerHeaderSize + data.size()));
  body.append(data);
  return Frame(kFunction46, kSubDirect, body);
}

QByteArray Emulator::StatusReply(FaultSet faults) const {
  const Readings& r = memory_.readings;
  QByteArray reply(kStatusReplySize, '\0');
  for (int i : {16, 21, 23, 24, 25, 26, 27, 28, 29, 34, 35, 36, 37, 38, 39, 40, 41, 42, 60}) {
    reply[i] = static_cast<char>(r.rawStatus[static_cast<std::size_t>(i)]);
  }
  reply[0] = static_cast<char>(options_.stationAddress & 0xFF);
  reply[1] = static_cast<char>(kFunction46);
  reply[2] = static_cast<char>(kSubStatus);
  PutBe16(reply, 3, kStatusReplySize);

  const QDateTime now = ControllerClock();
  const QDate date = now.date();
  const QTime time = now.time();
  reply[5] = static_cast<char>(std::clamp(date.year() - 2000, 0, 255));
  reply[6] = static_cast<char>(date.month());
  reply[7] = static_cast<char>(date.day());
  reply[8] = static_cast<char>(time.hour());
  reply[9] = static_cast<char>(time.minute());
  reply[10] = static_cast<char>(time.second());

  PutTenths(reply, 11, r.chamberTemperature);
  PutTenths(reply, 13, r.coreTemperature);
  reply[15] = static_cast<char>(std::clamp(r.humidity, 0, 255));
  PutBe16(reply, 17, r.lastRecordingAddress);
  PutBe16(reply, 19, r.previousRecordingAddress);
  std::uint8_t runState = memory_.runState;
  if (faults.Has(Fault::Running) && (runState & 0x3F) <= 1) runState = 2;
  reply[kStatusRunState] = static_cast<char>(runState);
  PutTenths(reply, 30, r.value30);
  PutTenths(reply, 32, r.value32);
  PutTenths(reply, 43, r.smokeTemperature);
  PutTenths(reply, 45, r.wetBulbTemperature);
  PutTenths(reply, 47, r.plateTemperature);
  for (int i = 0; i < 5; ++i)
    PutTenths(reply, 49 + 2 * i, r.measured6To10[static_cast<std::size_t>(i)]);
  reply[kStatusAnswerReady] = (AnswerReady() && !faults.Has(Fault::NeverReady)) ? 1 : 0;
  PutChecksum(reply);
  return reply;
}

Emulator::Parse Emulator::ParseInner(const QByteArray& request, bool posted,
                                     InnerRequest& inner) const {
  constexpr int kInnerStart = kFrameHeaderSize;
  const int innerSize = static_cast<int>(request.size()) - kFrameHeaderSize - kChecksumSize;
  if (innerSize < kInnerHeaderSize) return Parse::Malformed;
  if (Be16At(request, kInnerStart + 2) != innerSize) return Parse::Malformed;
  inner.classLetter = Byte(request, kInnerStart);
  inner.command = Byte(request, kInnerStart + 1);
  inner.params = request.mid(kInnerStart + kInnerHeaderSize, innerSize - kInnerHeaderSize);
  inner.posted = posted;
  return Parse::Ok;
}

std::optional<QByteArray> Emulator::Answer(const InnerRequest& inner, QString& note) {
  const QString what = Hex2(inner.classLetter, inner.command);
  const auto it = handlers_.find(HandlerKey(inner.classLetter, inner.command));
  if (it == handlers_.end()) {
    ++stats_.unknownCommand;
    note = QStringLiteral("%1: unknown request, no answer").arg(what);
    return std::nullopt;
  }
  const HandlerEntry& entry = it->second;
  const int size = static_cast<int>(inner.params.size());
  if (size < entry.minParams || size > entry.maxParams) {
    ++stats_.malformed;
    note = QStringLiteral("%1: %2 parameter bytes do not fit, no answer").arg(what).arg(size);
    return std::nullopt;
  }
  const std::optional<QByteArray> data = entry.handler(inner);
  if (!data) {
    note = QStringLiteral("%1: refused, no answer").arg(what);
    return std::nullopt;
  }
  note = what;
  return DirectReply(inner, *data);
}

std::optional<QByteArray> Emulator::Dispatch(const QByteArray& request, FaultSet faults,
                                             QString& note) {
  if (request.size() < kEmptyRequestSize) {
    ++stats_.malformed;
    note = QStringLiteral("%1 bytes, too short for a frame: ignored").arg(request.size());
    return std::nullopt;
  }
  if (!HasValidChecksum(request)) {
    ++stats_.badChecksum;
    note = QStringLiteral("checksum wrong: ignored");
    return std::nullopt;
  }
  if (Byte(request, 0) != (options_.stationAddress & 0xFF)) {
    ++stats_.otherStation;
    note = QStringLiteral("for station %1: ignored").arg(Byte(request, 0));
    return std::nullopt;
  }
  if (Be16At(request, 3) != request.size()) {
    ++stats_.malformed;
    note = QStringLiteral("length field %1 in a frame of %2 bytes: ignored")
               .arg(Be16At(request, 3))
               .arg(request.size());
    return std::nullopt;
  }

  const std::uint8_t function = Byte(request, 1);
  const std::uint8_t subFunction = Byte(request, 2);
  const bool empty = request.size() == kEmptyRequestSize;

  if (function == kFunction46 && subFunction == kSubStatus && empty) {
    ++stats_.statusPolls;
    note = QStringLiteral("status");
    return StatusReply(faults);
  }
  if (function == kFunction46 && subFunction == kSubModule && empty) {
    ++stats_.fetches;
    if (!pending_) {
      note = QStringLiteral("fetch: nothing was posted");
      return std::nullopt;
    }
    if (!pending_->reply) {
      note = QStringLiteral("fetch: the controller did not answer the posted message");
      return std::nullopt;
    }
    if (!AnswerReady()) {
      note = QStringLiteral("fetch: the answer is not ready");
      return std::nullopt;
    }
    note = QStringLiteral("fetch");
    return pending_->reply;
  }

  InnerRequest inner;
  if (function == kFunction46 && subFunction == kSubDirect) {
    if (ParseInner(request, false, inner) != Parse::Ok) {
      ++stats_.malformed;
      note = QStringLiteral("direct request with a wrong inner length: ignored");
      return std::nullopt;
    }
    ++stats_.direct;
    std::optional<QByteArray> reply = Answer(inner, note);
    note = QStringLiteral("direct ") + note;
    return reply;
  }
  if (function == kFunction47 && subFunction == kSubModule) {
    if (ParseInner(request, true, inner) != Parse::Ok) {
      ++stats_.malformed;
      note = QStringLiteral("post with a wrong inner length: ignored");
      return std::nullopt;
    }
    ++stats_.posts;
    // The module takes the message at once; the controller's answer waits in the module.
    PendingAnswer pending;
    pending.reply = Answer(inner, note);
    pending.readyAtMicroseconds = clock_.NowMicroseconds() +
                                  static_cast<std::int64_t>(options_.readyDelayMilliseconds) * 1000;
    pending.neverReady = faults.Has(Fault::NeverReady);
    pending_ = std::move(pending);
    note = QStringLiteral("post ") + note;
    return Frame(kFunction47, kSubModule, {});
  }
  ++stats_.malformed;
  note = QStringLiteral("function %1: ignored").arg(Hex2(function, subFunction));
  return std::nullopt;
}

std::optional<QByteArray> Emulator::ApplyFaults(std::optional<QByteArray> reply,
                                                FaultSet faults) const {
  if (!reply || faults.Empty()) return reply;
  QByteArray& r = *reply;
  if (faults.Has(Fault::WrongAcknowledgement)) {
    r[1] = static_cast<char>(kFunction47);
    r[2] = static_cast<char>(kSubDirect);
    PutChecksum(r);
  }
  if (faults.Has(Fault::WrongBlock) && r.size() > kReplyDataOffset + kChecksumSize) {
    r[kReplyDataOffset] = static_cast<char>(Byte(r, kReplyDataOffset) + 1);
    PutChecksum(r);
  }
  if (faults.Has(Fault::OtherStation)) {
    const int own = options_.stationAddress & 0xFF;
    r[0] = static_cast<char>(own >= 247 ? own - 1 : own + 1);
    PutChecksum(r);
  }
  if (faults.Has(Fault::BadChecksum)) {
    r[r.size() - 2] = static_cast<char>(Byte(r, static_cast<int>(r.size()) - 2) ^ 0x5A);
  }
  if (faults.Has(Fault::CutShort)) r.chop(1);
  if (faults.Has(Fault::LeadingZero)) r.prepend('\0');
  if (faults.Has(Fault::NoReply)) return std::nullopt;
  return reply;
}

}  // namespace qdx
