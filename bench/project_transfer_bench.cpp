// How close a whole-project write and read come to the wire's own limit.
//
// A full project (99 programs of 50 steps at program version 900, every section filled) is
// written and then read back with the whole-project engine, over the real serial stack: the
// emulator serves a pseudo-terminal and paces its replies as a line at the chosen speed would
// (11 bits a byte). The floor of a run is, for every frame that travelled, the 10 ms gap before
// it plus the wire time of its request and reply bytes; the figure printed is measured time /
// floor.
//
//   project_transfer_bench [--baud 115200] [--module]
#include <QCoreApplication>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#include "app/session.h"
#include "emulator/emulator.h"
#include "emulator/pty_server.h"
#include "link/frame.h"
#include "link/link.h"
#include "link/operations.h"
#include "link/qt_serial_port.h"
#include "link/system_clock.h"
#include "support/full_project.h"
#include "transfer/project_transfer.h"

namespace {

using namespace qdx;

class CountingListener : public TransferListener {
 public:
  void RowStarted(ProjectRow, int) override {}
  void RowProgress(ProjectRow, int) override {}
  void RowResult(ProjectRow row, const RowOutcome& o) override {
    if (o.kind != RowOutcome::Ok) {
      std::fprintf(stderr, "%s: %s\n", qPrintable(RowSectionName(row)), qPrintable(o.Summary()));
      failed = true;
    }
  }
  void Message(const QString&) override {}
  bool failed = false;
};

// Frames and bytes as the emulator saw them (written on the server's thread).
struct Traffic {
  std::mutex mutex;
  std::int64_t frames = 0;
  std::int64_t bytes = 0;
};

std::uint8_t BaudCodeOf(int baud) {
  for (std::uint8_t code = 0; code < std::size(kBaudRatesByCode); ++code) {
    if (kBaudRatesByCode[code] == baud) return code;
  }
  return 0xFF;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int baud = 115200;
  bool module = false;
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--baud") && i + 1 < args.size()) baud = args[++i].toInt();
    if (args[i] == QLatin1String("--module")) module = true;
  }
  const std::uint8_t baudCode = BaudCodeOf(baud);
  if (baudCode == 0xFF) {
    std::fprintf(stderr, "project_transfer_bench: %d is not a speed of the port layer\n", baud);
    return 2;
  }

  SystemClock clock;
  EmulatorOptions options;
  options.programVersion = 900;
  options.readyDelayMilliseconds = 0;
  Emulator emulator(clock, options);
  Traffic traffic;
  emulator.SetObserver([&traffic](const FrameEvent& e) {
    std::lock_guard<std::mutex> lock(traffic.mutex);
    ++traffic.frames;
    traffic.bytes += e.request.size() + (e.reply ? e.reply->size() : 0);
  });
  PtyServer server(emulator);
  QString error;
  if (!server.Open(&error)) {
    std::fprintf(stderr, "project_transfer_bench: %s\n", qPrintable(error));
    return 1;
  }
  server.SetPacing(baud);
  std::thread serving([&server] { server.Run(); });

  auto session = std::make_unique<Session>();
  session->link.device = server.SlavePath();
  session->link.baudCode = baudCode;
  session->moduleFlag = module;
  session->settings.pytajOReset = false;
  test::FillFullProject(session->blocks, 900);
  Link link(std::make_unique<QtSerialPort>(), clock, session->settings);
  LinkOperations ops(link, *session);
  // Nothing to ask in a benchmark: any question is answered No.
  struct NoDialogs : Dialogs {
    void ShowLinkMessage(const QString& t) override { std::fprintf(stderr, "%s\n", qPrintable(t)); }
    int AskYesNo(const QString&) override { return kAnswerNo; }
    QString OpenFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString SaveFileName(const QString&, const QString&, const QString&) override { return {}; }
    void ShowError(const QString& t) override { std::fprintf(stderr, "%s\n", qPrintable(t)); }
  } dialogs;
  CountingListener listener;
  ProjectTransfer transfer(*session, ops, dialogs, listener);

  std::printf(
      "Whole project (99 programs, version 900) over a pseudo-terminal, emulator paced at "
      "%d baud, %s path\n",
      baud, module ? "module" : "direct");
  std::printf("%-6s %7s %9s %10s %11s %7s\n", "run", "frames", "bytes", "floor s", "measured s",
              "ratio");
  int status = 0;
  for (const bool send : {true, false}) {
    {
      std::lock_guard<std::mutex> lock(traffic.mutex);
      traffic.frames = traffic.bytes = 0;
    }
    const auto start = std::chrono::steady_clock::now();
    if (send) {
      transfer.Send(AllRows());
    } else {
      transfer.Read(AllRows(), false);
    }
    const double measured =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::int64_t frames = 0, bytes = 0;
    {
      std::lock_guard<std::mutex> lock(traffic.mutex);
      frames = traffic.frames;
      bytes = traffic.bytes;
    }
    const double floor =
        static_cast<double>(frames) * 0.010 + static_cast<double>(bytes) * kBitsPerByte / baud;
    std::printf("%-6s %7lld %9lld %10.3f %11.3f %7.3f\n", send ? "write" : "read",
                static_cast<long long>(frames), static_cast<long long>(bytes), floor, measured,
                measured / floor);
    if (listener.failed) status = 1;
  }

  link.Close();
  server.RequestStop();
  serving.join();
  return status;
}
