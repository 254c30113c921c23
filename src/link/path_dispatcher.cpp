#include "link/path_dispatcher.h"

#include "link/section_wire.h"

namespace qdx {

PathDispatcher::PathDispatcher(LinkOperations& ops, Dialogs& dialogs, CancelTest cancel)
    : ops_(ops), dialogs_(dialogs), cancel_(std::move(cancel)), module_(ops.ModulePath()) {}

PathOutcome PathDispatcher::Outcome(LinkResult r) {
  return {r == kLinkOk ? PathOutcome::Done : PathOutcome::Failed, r};
}

PathOutcome PathDispatcher::Read(const InnerMessage& inner, int replyLength,
                                 const ReplyDecoder& decode, const PathStep& step) {
  return Exchange(
      inner, PostAck::Acknowledged, step,
      [&] { return ops_.RunDirect(inner, replyLength, decode); },
      [&] { return ops_.RunFetch(replyLength, decode); });
}

PathOutcome PathDispatcher::Read(const ReadRequest& request, const PathStep& step) {
  if (!request.valid) return Outcome(kLinkRequestInvalid);
  return Exchange(
      request.message, PostAck::Acknowledged, step, [&] { return qdx::Read(ops_, request); },
      [&] { return qdx::Fetch(ops_, request); });
}

PathOutcome PathDispatcher::Write(const InnerMessage& inner, const PathStep& step) {
  return Exchange(
      inner, PostAck::AnyReply, step,
      [&] { return ops_.RunDirect(inner, kSectionWriteReplyLength); },
      [&] { return ops_.FetchWriteResult(kSectionWriteFetchCount); });
}

PathOutcome PathDispatcher::Write(const WriteRequest& request, const PathStep& step) {
  if (!request.valid || !request.encoded.ok()) return Outcome(kLinkRequestInvalid);
  return Exchange(
      request.encoded.message, PostAck::AnyReply, step, [&] { return qdx::Write(ops_, request); },
      [&] { return ops_.FetchWriteResult(request.replyLength - kPostReplyLength); });
}

PathOutcome PathDispatcher::Exchange(const InnerMessage& inner, PostAck ack, const PathStep& step,
                                     const std::function<LinkResult()>& direct,
                                     const std::function<LinkResult()>& fetch) {
  if (!module_) return Outcome(direct());
  if (step.checkStop && !ops_.RequireStopMode(dialogs_)) return {PathOutcome::Refused, kLinkOk};
  if (const LinkResult r = ops_.RunPost(inner, ack); r != kLinkOk) return Outcome(r);
  if (const PathOutcome waited = Wait(step); !waited.ok()) return waited;
  const PathOutcome fetched = Outcome(fetch());
  if (fetched.ok() && step.stage) step.stage(3);
  return fetched;
}

PathOutcome PathDispatcher::Wait(const PathStep& step) {
  if (step.stage) step.stage(1);
  if (step.pauseAfterPostMs > 0) ops_.clock().SleepMilliseconds(step.pauseAfterPostMs);
  switch (ops_.AwaitModuleAnswer(cancel_)) {
    case AwaitResult::Cancelled:
      return {PathOutcome::Cancelled, kLinkOk};
    case AwaitResult::NotReady:
      return {PathOutcome::NotReady, kLinkOk};
    case AwaitResult::Ready:
      break;
  }
  if (step.stage) step.stage(2);
  return {PathOutcome::Done, kLinkOk};
}

}  // namespace qdx
