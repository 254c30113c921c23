// The controller's answers to device information, panel text blocks, panel character sets,
// reset, clock and the setup block.
#include <QDate>
#include <QTime>

#include "emulator/command_codes.h"
#include "emulator/emulator.h"
#include "link/frame.h"

namespace qdx {
namespace {

std::uint8_t At(const QByteArray& bytes, int index) {
  return static_cast<std::uint8_t>(bytes[index]);
}

int OffsetParam(const QByteArray& params) {
  return (At(params, 0) << 8) | At(params, 1);
}

}  // namespace

void RegisterDeviceHandlers(Emulator& emulator) {
  ControllerMemory& memory = emulator.Memory();

  // The panel text size, then the character-set codes of the two selected languages. The PC
  // writes each code as a pair, low byte first; the controller reports them high byte first,
  // so the second and fourth bytes carry 17 (Cyrillic) or 18 (PC852).
  emulator.AddHandler(kClassDevice, cmd::kReadDeviceInfo, 0, 0, [&memory](const InnerRequest&) {
    QByteArray data;
    AppendBe16(data, memory.panelTextSize);
    const auto& c = memory.panelCharsets;
    for (std::uint8_t b : {c[1], c[0], c[3], c[2]}) data.append(static_cast<char>(b));
    return std::optional<QByteArray>(data);
  });

  // Text blocks: the offset comes back in front of the 264 bytes.
  for (const auto& [command, kind] :
       {std::pair{cmd::kReadPanelTextKind6, 6}, std::pair{cmd::kReadPanelTextKind7, 7}}) {
    emulator.AddHandler(
        kClassDevice, command, 2, 2, [&memory, kind = kind](const InnerRequest& request) {
          const int offset = OffsetParam(request.params);
          return std::optional<QByteArray>(request.params.left(2) +
                                           memory.PanelArea(kind).mid(offset, kPanelAreaBlockSize));
        });
  }

  emulator.AddHandler(kClassDevice, cmd::kWritePanelText, 2 + kPanelAreaBlockSize,
                      2 + kPanelAreaBlockSize, [&memory](const InnerRequest& request) {
                        const int offset = OffsetParam(request.params);
                        memory.panelArea6.replace(offset, kPanelAreaBlockSize,
                                                  request.params.mid(2, kPanelAreaBlockSize));
                        return std::optional<QByteArray>(request.params.left(2));
                      });

  emulator.AddHandler(kClassDevice, cmd::kWritePanelCharsets, 4, 4,
                      [&memory](const InnerRequest& request) {
                        for (int i = 0; i < 4; ++i) memory.panelCharsets[i] = At(request.params, i);
                        return std::optional<QByteArray>(QByteArray());
                      });

  // Direct resets carry no parameters, posted ones two zero bytes. The controller restarts
  // stopped.
  emulator.AddHandler(kClassWrite, cmd::kReset, 0, 2, [&emulator](const InnerRequest&) {
    ++emulator.Memory().resetCount;
    emulator.SetRunState(0);
    return std::optional<QByteArray>(QByteArray());
  });

  // Year (two digits), month, day, hour, minute, second. A date the calendar does not have
  // leaves the clock as it is.
  emulator.AddHandler(kClassWrite, cmd::kSetClock, 6, 6, [&emulator](const InnerRequest& request) {
    const QByteArray& p = request.params;
    const QDate date(2000 + At(p, 0), At(p, 1), At(p, 2));
    const QTime time(At(p, 3), At(p, 4), At(p, 5));
    if (date.isValid() && time.isValid()) emulator.SetControllerClock(QDateTime(date, time));
    return std::optional<QByteArray>(QByteArray());
  });

  emulator.AddHandler(kClassRead, cmd::kSetup, 0, 0, [&memory](const InnerRequest&) {
    QByteArray data;
    data.reserve(2 * kSetupWordsOnWire);
    for (int i = 0; i < kSetupWordsOnWire; ++i) {
      AppendBe16(data, static_cast<std::uint16_t>(memory.setup[static_cast<std::size_t>(i)]));
    }
    return std::optional<QByteArray>(data);
  });

  // Two zero bytes, then words 0..99. The panel layout marker and the program version belong
  // to the controller's firmware: a project written to it does not change them.
  emulator.AddHandler(kClassWrite, cmd::kSetup, 2 + 2 * kSetupWordsOnWire, 2 + 2 * kSetupWordsOnWire,
                      [&memory](const InnerRequest& request) {
                        for (int i = 0; i < kSetupWordsOnWire; ++i) {
                          if (i == kSetupWordPanelLayout || i == kSetupWordProgramVersion) continue;
                          const int at = 2 + 2 * i;
                          memory.setup[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
                              (At(request.params, at) << 8) | At(request.params, at + 1));
                        }
                        return std::optional<QByteArray>(QByteArray());
                      });
}

}  // namespace qdx
