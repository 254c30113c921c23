// qdx-emulator: an emulated QDX controller with its communication module on a
// pseudo-terminal. The main window starts it as "qdx-emulator <port index> 8"; the link then
// finds it through the symlink published for that port.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <climits>
#include <csignal>
#include <cstdio>

#include "emulator/emulator.h"
#include "emulator/pty_server.h"
#include "link/port_names.h"
#include "link/system_clock.h"

namespace {

qdx::PtyServer* g_server = nullptr;

extern "C" void OnStopSignal(int) {
  if (g_server) g_server->RequestStop();
}

void InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

QTextStream& Err() {
  static QTextStream stream(stderr);
  return stream;
}

int UsageError(const QString& text) {
  Err() << "qdx-emulator: " << text << "\nTry qdx-emulator --help.\n";
  Err().flush();
  return 2;
}

bool ParseInt(const QString& text, int low, int high, int& value) {
  bool ok = false;
  const int v = text.toInt(&ok);
  if (!ok || v < low || v > high) return false;
  value = v;
  return true;
}

QString Hex(const QByteArray& bytes) {
  return QString::fromLatin1(bytes.toHex(' '));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("qdx-emulator"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "An emulated QDX controller with its communication module, served on a pseudo-terminal.\n"
      "The pseudo-terminal's path is printed on standard output and published as a link that\n"
      "the application and qdx find for COM<port index + 1>. Stops on SIGTERM or Ctrl+C."));
  parser.addHelpOption();
  parser.addPositionalArgument(QStringLiteral("port-index"),
                               QStringLiteral("0 for COM1, 1 for COM2, ... (default 0)"),
                               QStringLiteral("[port-index"));
  parser.addPositionalArgument(QStringLiteral("8"), QStringLiteral("ignored; kept for old callers"),
                               QStringLiteral("[8]]"));
  const QCommandLineOption linkOption(
      QStringLiteral("pty-link"), QStringLiteral("Publish the pseudo-terminal at <path> instead."),
      QStringLiteral("path"));
  const QCommandLineOption stationOption(QStringLiteral("station"),
                                         QStringLiteral("RS-485 address, 0..247 (default 1)."),
                                         QStringLiteral("address"), QStringLiteral("1"));
  const QCommandLineOption versionOption(
      QStringLiteral("version"),
      QStringLiteral("Program version in setup word 99 (default %1).")
          .arg(qdx::kDefaultProgramVersion),
      QStringLiteral("number"), QString::number(qdx::kDefaultProgramVersion));
  const QCommandLineOption layoutOption(
      QStringLiteral("layout"),
      QStringLiteral("Panel text layout: four (default) or three blocks."),
      QStringLiteral("four|three"), QStringLiteral("four"));
  const QCommandLineOption runningOption(QStringLiteral("running"),
                                         QStringLiteral("Start with the controller running."));
  const QCommandLineOption delayOption(
      QStringLiteral("ready-delay"),
      QStringLiteral("Milliseconds from a post until the answer is ready (default 300)."),
      QStringLiteral("ms"), QStringLiteral("300"));
  const QCommandLineOption paceOption(
      QStringLiteral("pace"),
      QStringLiteral("Pace replies as on a wire at <baud> bits per second, or at the speed the "
                     "other side set with \"port\"."),
      QStringLiteral("baud|port"));
  const QCommandLineOption faultOption(
      QStringLiteral("fault"),
      QStringLiteral("Frame <k> (counted from 1) gets the faults <names>, joined by +. May be "
                     "repeated. Names: %1.")
          .arg([] {
            QStringList names;
            for (qdx::Fault f : qdx::kAllFaults) names << qdx::FaultName(f);
            return names.join(QStringLiteral(", "));
          }()),
      QStringLiteral("k:names"));
  const QCommandLineOption alwaysOption(QStringLiteral("fault-always"),
                                        QStringLiteral("Every frame gets the faults <names>."),
                                        QStringLiteral("names"));
  const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                         QStringLiteral("Log every frame on standard error."));
  parser.addOptions({linkOption, stationOption, versionOption, layoutOption, runningOption,
                     delayOption, paceOption, faultOption, alwaysOption, verboseOption});
  parser.process(app);

  const QStringList args = parser.positionalArguments();
  if (args.size() > 2) return UsageError(QStringLiteral("too many arguments"));
  int portIndex = 0;
  if (!args.isEmpty() && !ParseInt(args[0], 0, 254, portIndex)) {
    return UsageError(QStringLiteral("the port index must be 0..254, not \"%1\"").arg(args[0]));
  }

  qdx::EmulatorOptions options;
  if (!ParseInt(parser.value(stationOption), 0, 247, options.stationAddress)) {
    return UsageError(QStringLiteral("--station must be 0..247"));
  }
  int version = 0;
  if (!ParseInt(parser.value(versionOption), -32768, 32767, version)) {
    return UsageError(QStringLiteral("--version must be a 16-bit number"));
  }
  options.programVersion = static_cast<std::int16_t>(version);
  const QString layout = parser.value(layoutOption).toLower();
  if (layout == QStringLiteral("four")) {
    options.panelLayout = qdx::PanelLayout::FourBlock;
  } else if (layout == QStringLiteral("three")) {
    options.panelLayout = qdx::PanelLayout::ThreeBlock;
  } else {
    return UsageError(QStringLiteral("--layout must be four or three"));
  }
  options.running = parser.isSet(runningOption);
  if (!ParseInt(parser.value(delayOption), 0, 3'600'000, options.readyDelayMilliseconds)) {
    return UsageError(QStringLiteral("--ready-delay must be 0..3600000 milliseconds"));
  }
  int pace = -1;
  if (parser.isSet(paceOption)) {
    const QString value = parser.value(paceOption);
    if (value == QStringLiteral("port")) {
      pace = 0;
    } else if (!ParseInt(value, 1, 10'000'000, pace)) {
      return UsageError(QStringLiteral("--pace must be a speed in bits per second or \"port\""));
    }
  }

  qdx::SystemClock clock;
  qdx::Emulator emulator(clock, options);
  for (const QString& rule : parser.values(faultOption)) {
    const int colon = rule.indexOf(QLatin1Char(':'));
    int frame = 0;
    const std::optional<qdx::FaultSet> faults =
        colon > 0 ? qdx::FaultSetFromName(rule.mid(colon + 1)) : std::nullopt;
    if (colon <= 0 || !ParseInt(rule.left(colon), 1, INT_MAX, frame) || !faults) {
      return UsageError(QStringLiteral("--fault wants <frame>:<names>, not \"%1\"").arg(rule));
    }
    emulator.Faults().AddRule(frame, *faults);
  }
  if (parser.isSet(alwaysOption)) {
    const std::optional<qdx::FaultSet> faults = qdx::FaultSetFromName(parser.value(alwaysOption));
    if (!faults) return UsageError(QStringLiteral("unknown fault in --fault-always"));
    emulator.Faults().SetPersistent(*faults);
  }
  if (parser.isSet(verboseOption)) {
    emulator.SetObserver([](const qdx::FrameEvent& e) {
      Err() << "#" << e.number << " M: " << Hex(e.request)
            << "\n    S: " << (e.reply ? Hex(*e.reply) : QStringLiteral("(none)")) << "  "
            << e.note;
      if (!e.faults.Empty()) Err() << "  [" << qdx::FaultSetName(e.faults) << "]";
      Err() << "\n";
      Err().flush();
    });
  }

  qdx::PtyServer server(emulator);
  server.SetPacing(pace);
  QString error;
  if (!server.Open(&error)) {
    Err() << "qdx-emulator: " << error << "\n";
    return 1;
  }
  const QString linkPath =
      parser.isSet(linkOption) ? parser.value(linkOption) : qdx::EmulatorPortLink(portIndex + 1);
  if (!server.Publish(linkPath, &error)) {
    Err() << "qdx-emulator: " << error << "\n";
    return 1;
  }

  g_server = &server;
  InstallSignalHandlers();
  std::printf("%s\n", server.SlavePath().toLocal8Bit().constData());
  std::fflush(stdout);
  Err() << "Emulator QDX: station " << options.stationAddress << ", program version "
        << options.programVersion << ", serving COM" << portIndex + 1 << " on "
        << server.SlavePath() << " (link " << linkPath << "). Stop with Ctrl+C.\n";
  Err().flush();

  server.Run();
  g_server = nullptr;
  server.Unpublish();
  return 0;
}
