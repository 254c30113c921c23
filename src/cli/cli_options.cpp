#include "cli/cli_options.h"

#include <QRegularExpression>

namespace qdx::cli {
namespace {

const QStringList kCommands = {"test-connection", "status", "reset",  "read",  "write",
                               "compare",         "info",   "export", "setup", "clock",
                               "menu"};

std::optional<int> ParseInt(const QString& text, int lower, int upper) {
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok || value < lower || value > upper) return std::nullopt;
  return value;
}

}  // namespace

QString UsageText() {
  return QStringLiteral(
      "Usage: qdx [--port COMn|DEVICE] [--baud 9600|19200|38400|115200] [--address 0..247]\n"
      "           [--module] [--codepage 0..3] [--settings DIR] [--trace FILE] COMMAND ...\n"
      "Commands:\n"
      "  test-connection                        the connection test: prints OK or ERR\n"
      "  status                                 the decoded controller status\n"
      "  reset                                  resets the controller (no question)\n"
      "  read    PROJECT [SECTION...]           reads sections from the controller into PROJECT\n"
      "  write   PROJECT [SECTION...] [--reset] writes sections of PROJECT to the controller\n"
      "  compare PROJECT [SECTION...]           compares the controller with PROJECT\n"
      "  info    PROJECT                        a readable summary of a project file\n"
      "  export  PROJECT                        the whole project as JSON on standard output\n"
      "  setup   PROJECT [Fnn=VALUE...]         shows the setup parameters, or sets them within\n"
      "                                         their limits\n"
      "  clock   [now | YYYY-MM-DD HH:MM]       sets the controller clock (seconds sent as 0)\n"
      "  menu    read|write BASE.mpl [--languages K1,K2]\n"
      "                                         panel menu texts: controller -> menu files,\n"
      "                                         menu files -> controller\n"
      "SECTION: setup relays processes washing-processes alarms special-statuses programs\n"
      "         washing-program analog-outputs pid passwords\n"
      "Exit codes: 0 success, 1 compare found a difference, 2 usage or file error,\n"
      "            3 communication failure or refusal.\n"
      "Also: qdx --help (this text), qdx --version.\n");
}

CommandLine ParseCommandLine(const QStringList& arguments) {
  CommandLine line;
  auto fail = [&line](const QString& message) {
    if (line.error.isEmpty()) line.error = message;
  };
  bool optionsEnded = false;  // after "--" every word is a command or an argument
  for (int i = 0; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    const bool beforeCommand = line.command.isEmpty();
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded) {
      if (beforeCommand) {
        line.command = arg;
        if (!kCommands.contains(arg)) fail(QStringLiteral("unknown command %1").arg(arg));
      } else {
        line.arguments << arg;
      }
      continue;
    }
    auto value = [&](const char* name) -> QString {
      if (i + 1 >= arguments.size()) {
        fail(QStringLiteral("%1 needs a value").arg(QLatin1String(name)));
        return {};
      }
      return arguments[++i];
    };
    if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg == "--version") {
      line.version = true;
    } else if (arg == "--port") {
      const QString v = value("--port");
      static const QRegularExpression com(QStringLiteral("^COM(\\d{1,3})$"),
                                          QRegularExpression::CaseInsensitiveOption);
      const auto m = com.match(v);
      if (m.hasMatch()) {
        line.global.portNumber = ParseInt(m.captured(1), 1, 255);
        if (!line.global.portNumber) fail(QStringLiteral("--port: COM1 to COM255 only"));
      } else if (v.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        // "COM-1", "COM1x": a mistyped port, not a device path.
        fail(QStringLiteral("--port: COM1 to COM255 only"));
      } else if (v.trimmed().isEmpty()) {
        fail(QStringLiteral("--port: a port COM1 to COM255 or a device path"));
      } else {
        line.global.device = v;
      }
    } else if (arg == "--baud") {
      const QString v = value("--baud");
      const int rate = v.toInt();
      if (rate == 9600 || rate == 19200 || rate == 38400 || rate == 115200)
        line.global.baudRate = rate;
      else
        fail(QStringLiteral("--baud: 9600, 19200, 38400 or 115200"));
    } else if (arg == "--address") {
      line.global.address = ParseInt(value("--address"), 0, 247);
      if (!line.global.address) fail(QStringLiteral("--address: a number from 0 to 247"));
    } else if (arg == "--module") {
      line.global.module = true;
    } else if (arg == "--codepage") {
      line.global.codePage = ParseInt(value("--codepage"), 0, 3);
      if (!line.global.codePage) fail(QStringLiteral("--codepage: a number from 0 to 3"));
    } else if (arg == "--settings") {
      line.global.settingsDir = value("--settings");
    } else if (arg == "--trace") {
      line.global.traceFile = value("--trace");
    } else if (arg == "--reset" && !beforeCommand) {
      line.reset = true;
    } else if (arg == "--languages" && !beforeCommand) {
      static const QRegularExpression pair(QStringLiteral("^(\\d{1,2}),(\\d{1,2})$"));
      const auto m = pair.match(value("--languages"));
      const auto first = m.hasMatch() ? ParseInt(m.captured(1), 1, 15) : std::nullopt;
      const auto second = m.hasMatch() ? ParseInt(m.captured(2), 1, 15) : std::nullopt;
      if (first && second)
        line.languages = std::pair{*first, *second};
      else
        fail(QStringLiteral("--languages: two language numbers from 1 to 15, as 2,3"));
    } else if (arg.startsWith("--")) {
      fail(QStringLiteral("unknown option %1").arg(arg));
    } else if (beforeCommand) {
      line.command = arg;
      if (!kCommands.contains(arg)) fail(QStringLiteral("unknown command %1").arg(arg));
    } else {
      line.arguments << arg;
    }
  }
  if (line.command.isEmpty() && !line.help && !line.version)
    fail(QStringLiteral("no command given"));
  if (line.reset && line.command != "write") fail(QStringLiteral("--reset goes with write"));
  if (line.languages && line.command != "menu")
    fail(QStringLiteral("--languages goes with menu"));
  return line;
}

}  // namespace qdx::cli
