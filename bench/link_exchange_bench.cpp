// How close one exchange over the real serial stack comes to the wire's own limit.
//
// The emulator serves a pseudo-terminal and paces its replies as a line at the chosen speed
// would (11 bits a byte, request and reply); the link talks to it through QSerialPort exactly
// as it talks to a controller. The floor of one exchange is the 10 ms gap before every frame
// plus the wire time of request and reply; the figure printed is measured time / floor: the
// median ("ratio"), the best, the 90th percentile and the mean (which a busy machine's
// scheduler pulls up).
//
//   link_exchange_bench [--baud 115200] [--count 200]
#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <thread>
#include <vector>

#include "files/settings.h"
#include "emulator/emulator.h"
#include "emulator/pty_server.h"
#include "link/device_transactions.h"
#include "link/frame.h"
#include "link/link.h"
#include "link/operations.h"
#include "link/qt_serial_port.h"
#include "link/system_clock.h"

namespace {

using namespace qdx;

struct Case {
  const char* name;
  QByteArray request;
  int replyLength;
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
  int count = 200;
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == QLatin1String("--baud")) baud = args[i + 1].toInt();
    if (args[i] == QLatin1String("--count")) count = std::max(1, args[i + 1].toInt());
  }
  const std::uint8_t baudCode = BaudCodeOf(baud);
  if (baudCode == 0xFF) {
    std::fprintf(stderr, "link_exchange_bench: %d is not a speed of the port layer\n", baud);
    return 2;
  }

  SystemClock clock;
  Emulator emulator(clock);
  PtyServer server(emulator);
  QString error;
  if (!server.Open(&error)) {
    std::fprintf(stderr, "link_exchange_bench: %s\n", qPrintable(error));
    return 1;
  }
  server.SetPacing(baud);
  std::thread serving([&server] { server.Run(); });

  AppSettings settings;
  Link link(std::make_unique<QtSerialPort>(), clock, settings);
  link.SetReadTimeoutConstant(2000);
  LinkSettings where;
  where.device = server.SlavePath();
  where.baudCode = baudCode;

  const std::vector<Case> cases = {
      {"device information (direct)", BuildDirectRequest(1, DeviceInfoMessage()),
       kDeviceInfoReplyLength},
      {"status poll", BuildStatusPollRequest(1), kStatusReplyLength},
      {"panel text block (direct)", BuildDirectRequest(1, PanelTextReadMessage(0, 6)),
       kPanelTextReplyLength},
  };

  std::printf("One exchange over a pseudo-terminal, emulator paced at %d baud, %d exchanges each\n",
              baud, count);
  std::printf("%-30s %6s %9s %9s %7s %7s %7s %7s\n", "exchange", "bytes", "floor ms", "median ms",
              "ratio", "best", "p90", "mean");
  int status = 0;
  for (const Case& c : cases) {
    // The first exchange opens the port; it is not part of the figure.
    if (link.Transact(c.request, c.replyLength, where).result != kLinkOk) {
      std::fprintf(stderr, "link_exchange_bench: %s failed\n", c.name);
      status = 1;
      continue;
    }
    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      const std::int64_t start = clock.NowMicroseconds();
      const TransactResult r = link.Transact(c.request, c.replyLength, where);
      const std::int64_t end = clock.NowMicroseconds();
      if (r.result != kLinkOk) {
        std::fprintf(stderr, "link_exchange_bench: %s failed with %d\n", c.name,
                     LinkResultNumber(r.result));
        status = 1;
        break;
      }
      ms.push_back(static_cast<double>(end - start) / 1000.0);
    }
    if (ms.empty()) continue;
    const int bytes = static_cast<int>(c.request.size()) + c.replyLength;
    const double floorMs = 10.0 + static_cast<double>(WireTimeMicroseconds(bytes, baud)) / 1000.0;
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / static_cast<double>(ms.size());
    const double p90 = sorted[sorted.size() * 9 / 10];
    std::printf("%-30s %6d %9.3f %9.3f %7.3f %7.3f %7.3f %7.3f\n", c.name, bytes, floorMs, median,
                median / floorMs, sorted.front() / floorMs, p90 / floorMs, mean / floorMs);
  }

  link.Close();
  server.RequestStop();
  serving.join();
  return status;
}
