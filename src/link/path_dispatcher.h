// The direct or the module path, chosen once for a transfer. Every engine reads and writes
// through it, so the order of exchanges on each path is written in one place:
//   direct read:   the exchange 0x46 0x08 with its reply
//   module read:   post (acknowledged), stage 1, pause, AwaitModuleAnswer, stage 2, fetch, stage 3
//   direct write:  the exchange 0x46 0x08 with its 11-byte answer
//   module write:  STOP-mode check (when asked), post, stage 1, pause, AwaitModuleAnswer,
//                  stage 2, FetchWriteResult(4), stage 3
// Example:
//   PathDispatcher path(ops, dialogs, [&] { return progress.CancelRequested(); });
//   const PathOutcome o = path.Read(RelayBlockReadMessage(0), kRelayBlockReplyLength, decode);
#pragma once

#include <functional>

#include "model/dialogs.h"
#include "link/operations.h"
#include "link/section_wire.h"

namespace qdx {

// How a whole read or write on the current path ended.
struct PathOutcome {
  enum Kind {
    Done,       // transferred
    Failed,     // an exchange failed: result says how
    NotReady,   // the module's answer never became ready
    Cancelled,  // the cancel test stopped the wait
    Refused,    // the controller runs; "Controller must be in STOP mode" was shown
  };
  Kind kind = Done;
  LinkResult result = kLinkOk;
  bool ok() const { return kind == Done; }
};

// What a NotReady outcome means, for the user.
inline const QString kModuleAnswerNeverReady =
    QStringLiteral("No communication: the module's answer never became ready");

// Called on the module path after the post went through (1), once the answer is ready (2)
// and after the fetch (3), so that windows counting those stages can move their progress.
using StageHook = std::function<void(int stage)>;

// What one read or write asks of the path beyond its message.
struct PathStep {
  bool checkStop = false;    // module path: refuse while the controller runs
  StageHook stage;           // module path: see StageHook
  int pauseAfterPostMs = 0;  // module path: a pause between the post and the wait
};

// What a plain section write asks: the STOP-mode check on the module path.
inline const PathStep kWriteStep{true, {}, 0};

// One transfer's path: the module flag is read when the dispatcher is made.
class PathDispatcher {
 public:
  // cancel, when given, is asked while the module's answer is awaited.
  PathDispatcher(LinkOperations& ops, Dialogs& dialogs, CancelTest cancel = {});

  bool Module() const { return module_; }
  LinkOperations& operations() { return ops_; }

  // A read: decode runs on the valid reply of the direct exchange or of the fetch.
  PathOutcome Read(const InnerMessage& inner, int replyLength, const ReplyDecoder& decode,
                   const PathStep& step = {});
  // A read of the catalogue, its preparation run before every attempt; an address outside its
  // section fails with kLinkRequestInvalid and sends nothing.
  PathOutcome Read(const ReadRequest& request, const PathStep& step = {});
  // A section write; writes check the STOP mode unless the step says otherwise.
  PathOutcome Write(const InnerMessage& inner, const PathStep& step = kWriteStep);
  // A write of the catalogue: the direct answer and the fetched result (its length less the
  // post's 7 bytes) as the request says; a request that is not valid sends nothing.
  PathOutcome Write(const WriteRequest& request, const PathStep& step);

 private:
  // The path's exchanges in their order; direct and fetch are the two ends of the paths.
  PathOutcome Exchange(const InnerMessage& inner, PostAck ack, const PathStep& step,
                       const std::function<LinkResult()>& direct,
                       const std::function<LinkResult()>& fetch);
  // The module path between post and fetch: stage 1, pause, wait, stage 2.
  PathOutcome Wait(const PathStep& step);
  static PathOutcome Outcome(LinkResult r);

  LinkOperations& ops_;
  Dialogs& dialogs_;
  CancelTest cancel_;
  bool module_;
};

}  // namespace qdx
