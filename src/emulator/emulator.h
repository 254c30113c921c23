// An emulated QDX controller with its communication module: request frames in, reply frames
// out, as they would travel on the RS-485 bus.
//
// The module answers status polls itself, acknowledges posted messages at once and holds the
// controller's answer until it is fetched; the answer counts as ready only after a delay.
// The controller answers direct requests and the messages the module hands it. Requests are
// dispatched through a table of handlers by class letter and command, so a new request is
// one more entry (see AddHandler and device_handlers.cpp).
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "emulator/controller_memory.h"
#include "emulator/faults.h"
#include "link/serial_port.h"

namespace qdx {

struct EmulatorOptions {
  int stationAddress = 1;
  // From a post until the module reports the answer ready.
  int readyDelayMilliseconds = 300;
  std::int16_t programVersion = kDefaultProgramVersion;
  PanelLayout panelLayout = PanelLayout::FourBlock;
  bool running = false;
  // The controller clock at start; the host's local time when not valid.
  QDateTime clockStart;
};

// A controller-level message as a handler sees it.
struct InnerRequest {
  std::uint8_t classLetter = 0;
  std::uint8_t command = 0;
  QByteArray params;  // everything after the 4-byte inner header
  bool posted = false;
};

// What became of one frame, for the program's log and for tests.
struct FrameEvent {
  std::int64_t number = 0;  // 1-based, in the order frames arrived
  QByteArray request;
  std::optional<QByteArray> reply;
  QString note;  // e.g. "direct 44 20", "checksum wrong: ignored"
  FaultSet faults;
};

struct EmulatorStats {
  std::int64_t frames = 0;
  std::int64_t replies = 0;
  std::int64_t badChecksum = 0;
  std::int64_t otherStation = 0;
  std::int64_t malformed = 0;  // wrong length fields, unknown function, parameters that do not fit
  std::int64_t unknownCommand = 0;
  std::int64_t direct = 0;
  std::int64_t posts = 0;
  std::int64_t fetches = 0;
  std::int64_t statusPolls = 0;
};

// Bits on the wire per byte: start, 8 data, 2 stop.
inline constexpr int kBitsPerByte = 11;
// How long byteCount bytes take on the wire at baud bits per second (0 for a baud of 0).
std::int64_t WireTimeMicroseconds(int byteCount, int baud);

class Emulator {
 public:
  // The answer data of a request (after the answer's 4-byte inner header), or nothing when
  // the controller does not answer it.
  using Handler = std::function<std::optional<QByteArray>(const InnerRequest&)>;

  Emulator(const Clock& clock, EmulatorOptions options = {});

  // One complete request frame in; the reply bytes out, or nothing (silence on the bus).
  std::optional<QByteArray> HandleFrame(const QByteArray& request);

  // Serves class/command with handler when its parameters (bytes after the inner header)
  // number minParams..maxParams; other sizes get no answer. Replaces an earlier handler.
  void AddHandler(std::uint8_t classLetter, std::uint8_t command, int minParams, int maxParams,
                  Handler handler);
  bool HasHandler(std::uint8_t classLetter, std::uint8_t command) const;

  ControllerMemory& Memory() { return memory_; }
  const ControllerMemory& Memory() const { return memory_; }
  FaultScript& Faults() { return faults_; }
  const EmulatorOptions& Options() const { return options_; }
  const EmulatorStats& Stats() const { return stats_; }
  const Clock& ClockSource() const { return clock_; }

  int StationAddress() const { return options_.stationAddress; }
  void SetStationAddress(int address) { options_.stationAddress = address; }
  void SetReadyDelayMilliseconds(int ms) { options_.readyDelayMilliseconds = ms; }
  void SetProgramVersion(std::int16_t version);
  // Switches the panel to the other layout with the demo menu texts in it.
  void SetPanelLayout(PanelLayout layout);
  void SetRunState(std::uint8_t runState) { memory_.runState = runState; }
  void SetRunning(bool running) { memory_.runState = running ? 2 : 0; }
  bool Running() const { return (memory_.runState & 0x3F) > 1; }
  // The controller clock now, and setting it (as the clock command does).
  QDateTime ControllerClock() const;
  void SetControllerClock(const QDateTime& time);

  // The module's mailbox: whether the answer to the last post is ready now.
  bool AnswerReady() const;
  bool HasPendingAnswer() const { return pending_.has_value(); }

  // Called for every frame after it was handled.
  void SetObserver(std::function<void(const FrameEvent&)> observer) {
    observer_ = std::move(observer);
  }

  // A reply frame in the direct form: station, 0x46 0x08, total length, the answer's inner
  // header (class and command of the request, inner length), data, checksum.
  QByteArray DirectReply(const InnerRequest& request, const QByteArray& data) const;
  // The module's 64-byte status reply as it stands now.
  QByteArray StatusReply(FaultSet faults) const;

 private:
  struct HandlerEntry {
    int minParams = 0;
    int maxParams = 0;
    Handler handler;
  };
  struct PendingAnswer {
    std::optional<QByteArray> reply;  // none: the controller did not answer the message
    std::int64_t readyAtMicroseconds = 0;
    bool neverReady = false;
  };
  enum class Parse { Ok, Malformed };

  Parse ParseInner(const QByteArray& request, bool posted, InnerRequest& inner) const;
  // The controller's reply to a message, in the direct form; nothing when it stays silent.
  std::optional<QByteArray> Answer(const InnerRequest& inner, QString& note);
  std::optional<QByteArray> Dispatch(const QByteArray& request, FaultSet faults, QString& note);
  QByteArray Frame(std::uint8_t function, std::uint8_t subFunction, const QByteArray& body) const;
  std::optional<QByteArray> ApplyFaults(std::optional<QByteArray> reply, FaultSet faults) const;

  const Clock& clock_;
  EmulatorOptions options_;
  ControllerMemory memory_;
  FaultScript faults_;
  EmulatorStats stats_;
  std::map<std::uint16_t, HandlerEntry> handlers_;
  std::optional<PendingAnswer> pending_;
  std::function<void(const FrameEvent&)> observer_;
};

// The requests of the device and panel-text family and the device commands (reset, clock,
// setup block). Called by the constructor.
void RegisterDeviceHandlers(Emulator& emulator);

}  // namespace qdx
