#include "service/readouts.h"

#include <array>

#include "link/device_transactions.h"
#include "model/blocks.h"
#include "model/setup_block.h"

namespace qdx {
namespace {

constexpr double kNoReadingBelow = -200000;
constexpr int kHumidityNoReading = 200;
constexpr int kPauseAfterClockPostMs = 100;

QString TwoDigits(int value) {
  return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString ReadoutReal(double value) {
  if (value <= kNoReadingBelow) return QStringLiteral("  XXX.X");
  return QStringLiteral("%1").arg(value, 8, 'f', 1);
}

QString ReadoutHumidity(int percent) {
  if (percent == kHumidityNoReading) return QStringLiteral("    XX");
  return QStringLiteral("%1").arg(percent, 6);
}

ReadoutTexts FormatReadouts(const ControllerStatus& s) {
  ReadoutTexts t;
  t.date = TwoDigits(s.day) + '-' + TwoDigits(s.month) + '-' + QString::number(s.year);
  t.time = TwoDigits(s.hour) + '-' + TwoDigits(s.minute) + '-' + TwoDigits(s.second);
  t.chamber = ReadoutReal(s.chamberTemperature);
  t.core = ReadoutReal(s.secondTemperature);
  t.humidity = ReadoutHumidity(s.humidity);
  t.smoke = ReadoutReal(s.smokeTemperature);
  t.plate = ReadoutReal(s.plateTemperature);
  t.wetBulb = ReadoutReal(s.wetBulbTemperature);
  for (std::size_t i = 0; i < s.measuredValues6To10.size(); ++i) {
    t.channels[i] = ReadoutReal(s.measuredValues6To10[i]);
  }
  t.channels[5] = ReadoutReal(s.measuredValue11);
  t.channels[6] = ReadoutReal(s.measuredValue12);
  t.lastRecording = QStringLiteral("Last recording address : %1").arg(s.lastRecordingAddress);
  t.previousRecording =
      QStringLiteral("Previous recording address : %1").arg(s.previousRecordingAddress);
  t.recordingCounter = QStringLiteral("Recording counter : %1").arg(s.recordingCounter);
  t.recordingInterlock = QStringLiteral("Recording interlock : %1").arg(s.recordingInterlock);
  return t;
}

QString ProgramVersionText(std::optional<int> version) {
  if (!version) return kProgramVersionLine;
  return kProgramVersionLine + QStringLiteral(":  %1").arg(*version);
}

QDateTime ClockMoment(const QDate& date, const QTime& time) {
  return QDateTime(date, QTime(time.hour(), time.minute(), 0));
}

std::optional<ControllerStatus> ReadoutsEngine::Poll() {
  ops_.context().ReadConnectionSettings();
  ControllerStatus status;
  if (ops_.PollModuleStatus(status) != kLinkOk) return std::nullopt;
  return status;
}

std::optional<int> ReadoutsEngine::ReadProgramVersion(Dialogs& dialogs) {
  ops_.context().ReadConnectionSettings();
  std::array<std::uint8_t, image::kSetupSize> setup{};
  if (!ops_.ReadSetupParameters(dialogs, setup)) return std::nullopt;
  return ConstSetupBlock(setup.data()).ProgramVersion();
}

ClockResult ReadoutsEngine::SetClock(const QDate& date, const QTime& time) {
  ops_.context().ReadConnectionSettings();
  if (const LinkResult r = PostSetClock(ops_, ClockMoment(date, time)); r != kLinkOk) {
    return {ClockResult::PostFailed, r};
  }
  ops_.clock().SleepMilliseconds(kPauseAfterClockPostMs);
  if (ops_.AwaitModuleAnswer() != AwaitResult::Ready) return {ClockResult::NotReady, kLinkOk};
  if (const LinkResult r = ops_.FetchWriteResult(kShortWriteFetchCount); r != kLinkOk) {
    return {ClockResult::FetchFailed, r};
  }
  return {};
}

QString ClockResultText(const ClockResult& result, const QDateTime& moment) {
  if (result.ok()) {
    return QStringLiteral("Clock set to %1")
        .arg(moment.toString(QStringLiteral("yyyy-MM-dd hh:mm")));
  }
  const QString reason =
      result.stage == ClockResult::NotReady ? kClockAnswerNeverReady : LinkResultText(result.link);
  return QStringLiteral("Clock not set: %1").arg(reason);
}

}  // namespace qdx
