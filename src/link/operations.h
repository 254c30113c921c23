// What every controller operation shares: the retry policy, the direct and module paths, the
// module's status poll, the STOP-mode check before writes, the reset offer after writes and
// the setup read that several windows need first.
//
// Adding an operation: write a pure message builder (InnerMessage) and a pure reply decoder
// next to it, then one function that puts them in a ReadRequest or WriteRequest
// (link/section_wire.h), which the generic Read, PostRead, Fetch, Write and PostWrite take:
//   ReadRequest ThingRead(Thing& out) {
//     return {ThingMessage(), kThingReplyLength, DecodeInto(out)};
//   }
//   const LinkResult r = Read(ops, ThingRead(thing));
// Engines that move a section on whichever path the session uses go through PathDispatcher
// (link/path_dispatcher.h) instead.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "model/blocks.h"
#include "model/dialogs.h"
#include "link/frame.h"
#include "link/link.h"
#include "link/link_settings.h"

namespace qdx {

inline constexpr int kPostReplyLength = 7;
inline constexpr int kStatusReplyLength = 64;
inline constexpr int kAttempts = 3;
inline constexpr int kPauseAfterFailureMs = 100;

inline const QString kNoCommunication = QStringLiteral("No communication");
inline const QString kStopModeRequired = QStringLiteral("Controller must be in STOP mode");
inline const QString kResetQuestion = QStringLiteral("Reset device?");

// The controller's state as the communication module reports it in its 64-byte status.
struct ControllerStatus {
  std::int32_t year = 0;  // controller clock
  std::int32_t month = 0;
  std::int32_t day = 0;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t status38 = 0;
  std::int32_t status34 = 0;
  std::int32_t status25 = 0;
  std::int32_t status26 = 0;
  std::int32_t status27 = 0;
  std::int32_t status36 = 0;
  std::int32_t status37 = 0;
  std::int32_t humidity = 0;  // percent; 200 means no reading
  std::int32_t notFilled = 0;
  std::int32_t status28 = 0;
  std::int32_t status29 = 0;
  std::int32_t lastRecordingAddress = 0;
  std::int32_t previousRecordingAddress = 0;
  std::int32_t recordingCounter = 0;    // not carried by the poll
  std::int32_t recordingInterlock = 0;  // not carried by the poll
  double value30 = 0;
  double value32 = 0;
  double chamberTemperature = 0;
  double secondTemperature = 0;  // shown as the core temperature
  double smokeTemperature = 0;
  double plateTemperature = 0;
  double wetBulbTemperature = 0;
  std::array<double, 5> measuredValues6To10 = {};
  double measuredValue11 = 0;  // the poll carries none: -300.0 after every decode
  double measuredValue12 = 0;
  std::int32_t status16 = 0;
  std::int32_t status21 = 0;
  std::uint8_t runState = 0;  // 0 or 1: STOP; above 1: running
  std::uint8_t status23 = 0;
  std::int32_t status24 = 0;
  std::int32_t status35 = 0;
  bool answerReady = false;  // the module holds the answer to the last post
  std::uint32_t statusWord39 = 0;
  std::int32_t status60 = 0;

  bool Running() const { return runState > 1; }
  friend bool operator==(const ControllerStatus&, const ControllerStatus&) = default;
};

// Decodes a 64-byte status reply; a shorter array gives a zeroed record.
ControllerStatus DecodeControllerStatus(const QByteArray& reply);

// Checks a valid reply beyond the frame checks and decodes it; returns kLinkOk or
// kLinkUnexpectedReply. Called only for replies that passed Transact.
using ReplyDecoder = std::function<LinkResult(const QByteArray& reply)>;
// Run at the start of every attempt, e.g. to zero the records a read fills.
using AttemptPreparation = std::function<void()>;
using CancelTest = std::function<bool()>;
using EventPump = std::function<void()>;

// Whether the reply to a post must carry 0x47 0x09 (posted reads) or any valid reply counts
// (posted writes, the posted reset and the posted clock).
enum class PostAck { Acknowledged, AnyReply };

enum class AwaitResult { Ready, NotReady, Cancelled };

// The setup region of the project image: 101 words, little-endian.
using SetupBytes = std::span<std::uint8_t, image::kSetupSize>;

class LinkOperations {
 public:
  // The station address, the port, the module flag and the write-pending flag are taken from
  // context, the timings and the reset setting from the link's line settings, at every call.
  LinkOperations(Link& link, LinkContext& context);

  // Lets window messages run where the module path waits; empty by default.
  void SetEventPump(EventPump pump) { pump_ = std::move(pump); }

  Link& link() { return link_; }
  LinkContext& context() { return context_; }
  Clock& clock() { return link_.clock(); }
  bool ModulePath() const { return context_.moduleFlag; }

  // Retry policy: read timeout set to timeoutStand, up to three attempts, 100 ms after each
  // failed attempt. decode (when given) runs on a valid reply and may fail it with 7.
  LinkResult RunWithRetries(const QByteArray& request, int replyLength,
                            const ReplyDecoder& decode = {},
                            const AttemptPreparation& prepare = {});
  // One attempt and 100 ms whatever the result (the two reset operations).
  LinkResult RunSingleAttempt(const QByteArray& request, int replyLength);

  // The direct exchange 0x46 0x08.
  LinkResult RunDirect(const InnerMessage& inner, int replyLength, const ReplyDecoder& decode = {},
                       const AttemptPreparation& prepare = {});
  // The post 0x47 0x09 with its 7-byte reply.
  LinkResult RunPost(const InnerMessage& inner, PostAck ack);
  // The fetch 0x46 0x09 of the answer to the last post.
  LinkResult RunFetch(int replyLength, const ReplyDecoder& decode = {},
                      const AttemptPreparation& prepare = {});

  LinkResult PollModuleStatus(ControllerStatus& status);
  // The answer to a posted write: n + 7 bytes whose byte 1 is 0x46.
  LinkResult FetchWriteResult(int n);
  // Polls until the module holds the answer to the last post, for at most WaitForPanel
  // seconds. pump, when given, replaces the object's event pump for this wait.
  AwaitResult AwaitModuleAnswer(const CancelTest& cancel = {}, const EventPump& pump = {});

  // Module path: false (after showing "Controller must be in STOP mode") when the controller
  // reports that it runs. A failed poll lets the write go ahead; the direct path always does.
  bool RequireStopMode(Dialogs& dialogs);
  // The "Reset device?" offer after writes.
  void ResetAfterWrite(Dialogs& dialogs);
  void MarkWritePending() { context_.writePending = true; }
  // The controller's setup block on the current path; "No communication" and false on any
  // failure.
  bool ReadSetupParameters(Dialogs& dialogs, SetupBytes setup);

  // The main window's connection test: the status poll on the module path, the device
  // information read on the direct path; 0 means "OK".
  LinkResult TestConnection();

  // A busy-wait of ms milliseconds; window messages do not run meanwhile.
  void PreciseDelay(int ms);

 private:
  void Pump(const EventPump& pump);

  Link& link_;
  LinkContext& context_;
  EventPump pump_;
};

// Posted reads must be acknowledged with 0x47 0x09.
LinkResult CheckPostAcknowledgement(const QByteArray& reply);

}  // namespace qdx
