#include "cli/link_commands.h"

#include "cli/setup_commands.h"
#include "link/device_transactions.h"

namespace qdx::cli {
namespace {

QString Tenths(double value) {
  return QString::number(value, 'f', 1);
}

QString Line(const char* name, const QString& value) {
  return QStringLiteral("%1: %2\n").arg(QLatin1String(name), value);
}

QString Line(const char* name, long long value) {
  return Line(name, QString::number(value));
}

CommandOutput Failed(Connection& connection, LinkResult result, const QString& out = {}) {
  return {kExitLink, out, QStringLiteral("qdx: %1\n").arg(connection.FailureText(result))};
}

}  // namespace

bool IsLinkCommand(const QString& command) {
  return command == QLatin1String("test-connection") || command == QLatin1String("status") ||
         command == QLatin1String("reset") || command == QLatin1String("clock");
}

QString FormatControllerStatus(const ControllerStatus& s) {
  QString out;
  out += Line("clock", QStringLiteral("%1-%2-%3 %4:%5:%6")
                           .arg(s.year, 4, 10, QLatin1Char('0'))
                           .arg(s.month, 2, 10, QLatin1Char('0'))
                           .arg(s.day, 2, 10, QLatin1Char('0'))
                           .arg(s.hour, 2, 10, QLatin1Char('0'))
                           .arg(s.minute, 2, 10, QLatin1Char('0'))
                           .arg(s.second, 2, 10, QLatin1Char('0')));
  out +=
      Line("run state", QStringLiteral("%1 (%2)")
                            .arg(s.runState)
                            .arg(s.Running() ? QStringLiteral("running") : QStringLiteral("STOP")));
  out += Line("answer ready", s.answerReady ? QStringLiteral("yes") : QStringLiteral("no"));
  out += Line("chamber temperature", Tenths(s.chamberTemperature));
  out += Line("core temperature", Tenths(s.secondTemperature));
  out += Line("smoke temperature", Tenths(s.smokeTemperature));
  out += Line("plate temperature", Tenths(s.plateTemperature));
  out += Line("wet-bulb temperature", Tenths(s.wetBulbTemperature));
  out += Line("humidity",
              s.humidity == 200 ? QStringLiteral("200 (no reading)") : QString::number(s.humidity));
  for (int i = 0; i < 5; ++i) {
    out +=
        QStringLiteral("measured value %1: %2\n").arg(i + 6).arg(Tenths(s.measuredValues6To10[i]));
  }
  out += Line("measured value 11", Tenths(s.measuredValue11));
  out += Line("measured value 12", Tenths(s.measuredValue12));
  out += Line("value 30", Tenths(s.value30));
  out += Line("value 32", Tenths(s.value32));
  out += Line("last recording address", s.lastRecordingAddress);
  out += Line("previous recording address", s.previousRecordingAddress);
  out += Line("recording counter", s.recordingCounter);
  out += Line("recording interlock", s.recordingInterlock);
  out += Line("unused field", s.notFilled);
  const std::pair<const char*, long long> bytes[] = {
      {"status byte 16", s.status16}, {"status byte 21", s.status21},
      {"status byte 23", s.status23}, {"status byte 24", s.status24},
      {"status byte 25", s.status25}, {"status byte 26", s.status26},
      {"status byte 27", s.status27}, {"status byte 28", s.status28},
      {"status byte 29", s.status29}, {"status byte 34", s.status34},
      {"status byte 35", s.status35}, {"status byte 36", s.status36},
      {"status byte 37", s.status37}, {"status byte 38", s.status38},
      {"status byte 60", s.status60},
  };
  for (const auto& [name, value] : bytes) out += Line(name, value);
  out += Line(
      "status word 39",
      QStringLiteral("0x%1 (%2)").arg(s.statusWord39, 8, 16, QLatin1Char('0')).arg(s.statusWord39));
  return out;
}

CommandOutput RunTestConnection(Connection& connection) {
  const LinkResult result = connection.operations().TestConnection();
  if (result == kLinkOk) return {kExitOk, QStringLiteral("OK\n"), {}};
  return Failed(connection, result, QStringLiteral("ERR\n"));
}

CommandOutput RunStatus(Connection& connection) {
  ControllerStatus status;
  const LinkResult result = connection.operations().PollModuleStatus(status);
  if (result != kLinkOk) return Failed(connection, result);
  return {kExitOk, FormatControllerStatus(status), {}};
}

CommandOutput RunReset(Connection& connection) {
  LinkOperations& ops = connection.operations();
  const LinkResult result = ops.ModulePath() ? PostResetController(ops) : ResetController(ops);
  if (result != kLinkOk) return Failed(connection, result);
  connection.session().writePending = false;
  return {kExitOk, QStringLiteral("OK\n"), {}};
}

CommandOutput RunLinkCommand(const CommandLine& line, Connection& connection) {
  if (line.command == QLatin1String("clock")) return RunClock(line.arguments, connection);
  if (!line.arguments.isEmpty()) {
    return {kExitUsage,
            {},
            QStringLiteral("qdx: %1 takes no arguments\n%2").arg(line.command, UsageText())};
  }
  if (line.command == QLatin1String("test-connection")) return RunTestConnection(connection);
  if (line.command == QLatin1String("status")) return RunStatus(connection);
  if (line.command == QLatin1String("reset")) return RunReset(connection);
  return {kExitUsage, {}, QStringLiteral("qdx: %1 is not a link command\n").arg(line.command)};
}

}  // namespace qdx::cli
