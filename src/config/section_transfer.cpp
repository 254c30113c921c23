#include "config/section_transfer.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "config/section_registry.h"
#include "files/project_defaults.h"
#include "link/alarm_transactions.h"
#include "link/analog_output_transactions.h"
#include "link/password_transactions.h"
#include "link/process_transactions.h"
#include "link/program_transactions.h"
#include "link/setup_transactions.h"
#include "link/special_status_transactions.h"

namespace qdx {

namespace {

using Bytes = std::span<std::uint8_t>;
using ConstBytes = std::span<const std::uint8_t>;

// The passwords window waits this long after its posts before it starts polling.
constexpr int kPasswordsPauseAfterPostMs = 100;
// Characters of an entry as "Send" stores it.
constexpr int kPasswordEntryWidth = 6;

// Every entry 1..37 of a passwords block normalised; the bytes after entry 37 untouched.
void NormalisePasswordEntries(std::span<std::uint8_t, passwords::kSize> block) {
  for (int i = 0; i < passwords::kEntryCount; ++i) {
    const TextField entry(block.data() + static_cast<std::size_t>(i) * passwords::kEntrySize,
                          passwords::kEntryCapacity);
    entry.SetBytes(NormalisedPasswordEntry(entry.Bytes()));
  }
}

// A section that travels in blocks of whole records, bound to one transfer: its registry
// entry, its records in place and the codec's context.
struct BlockSection {
  const SectionEntry& entry;
  Bytes region;
  CodecContext codec;

  int blocks() const { return entry.blockCount(); }
  const BlockGeometry& geometry() const { return *entry.blocks; }
};

BlockSection Describe(SectionId section, Workspace& session, AnalogOutputLayout layout) {
  const SectionEntry& entry = Section(section);
  return {entry, entry.Region(session.blocks), {session.codePageIndex, layout}};
}

bool HasPresetStage(SectionId section) {
  return section == SectionId::Processes || section == SectionId::WashingProcesses;
}

std::optional<EncodeError> ProgramNumberError(std::int32_t number) {
  if (number >= 1 && number <= 0x100) return std::nullopt;
  return EncodeError{
      QStringLiteral("Program"), 0, 0, QStringLiteral("program number"), QString::number(number),
      QStringLiteral("1..256")};
}

}  // namespace

QByteArray NormalisedPasswordEntry(const QByteArray& text) {
  const QByteArray kept = text.left(kPasswordEntryWidth);
  return QByteArray(kPasswordEntryWidth - kept.size(), ' ') + kept;
}

QString InvalidValueMessage(const EncodeError& error) {
  return error.Message() + kCorrectAndWriteAgain;
}

// One transfer from start to end: refuses to start while another one runs, clears the cancel
// flag and takes the connection fields at the start, hides the progress window at the end in
// every case, and turns a stopped step into the user's message and the result.
class SectionTransfer::Run {
 public:
  Run(SectionTransfer& owner, QString text) : t_(owner), text_(std::move(text)) {
    busy_ = t_.running_;
    if (busy_) return;
    t_.running_ = true;
    t_.progress_.SetCancelRequested(false);
    t_.session_.ReadConnectionSettings();
    path_.emplace(t_.ops_, t_.dialogs_, [this] { return CancelRequested(); });
  }
  ~Run() {
    if (busy_) return;
    Hide();
    t_.running_ = false;
  }
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  bool Busy() const { return busy_; }
  static TransferResult BusyResult() {
    TransferResult r;
    r.outcome = TransferOutcome::Refused;
    r.refusal = TransferRefusal::Busy;
    return r;
  }

  ProjectImage& image() { return t_.session_.blocks.image; }
  bool Module() const { return path_->Module(); }
  int CodePage() const { return t_.session_.codePageIndex; }

  void Show(int position, int maximum) { t_.progress_.ShowProgress(position, maximum, text_); }
  void Hide() {
    if (hidden_) return;
    hidden_ = true;
    t_.progress_.HideProgress();
  }
  bool CancelRequested() const { return t_.progress_.CancelRequested(); }
  // Lets pending window messages run (the direct path's check point), then tells whether the
  // user pressed "Cancel".
  bool PumpAndCheckCancel() {
    if (t_.pump_) t_.pump_();
    return CancelRequested();
  }

  // A read or a section write on the transfer's path (see PathDispatcher). The windows move
  // their progress after the post and the wait; the fetch shows with the step's own position.
  PathOutcome Read(const InnerMessage& inner, int replyLength, const ReplyDecoder& decode,
                   bool checkStop = false, const StageHook& stage = {}, int pauseAfterPostMs = 0) {
    return path_->Read(inner, replyLength, decode, Step(checkStop, stage, pauseAfterPostMs));
  }
  PathOutcome Write(const InnerMessage& inner, bool checkStop = true, const StageHook& stage = {},
                    int pauseAfterPostMs = 0) {
    return path_->Write(inner, Step(checkStop, stage, pauseAfterPostMs));
  }

  // Ends the transfer at a step that did not go through. A failed exchange and an answer that
  // never became ready both mean the section did not arrive: "No communication". "Cancel"
  // stops quietly; the STOP-mode refusal has shown its message already.
  TransferResult& Stop(const PathOutcome& o, TransferResult& result) {
    result.stoppedAt = o;
    switch (o.kind) {
      case PathOutcome::Done:
        break;
      case PathOutcome::Failed:
      case PathOutcome::NotReady:
        t_.dialogs_.ShowLinkMessage(kNoCommunication);
        result.outcome = TransferOutcome::Failed;
        break;
      case PathOutcome::Cancelled:
        result.outcome = TransferOutcome::Cancelled;
        break;
      case PathOutcome::Refused:
        result.outcome = TransferOutcome::Refused;
        result.refusal = TransferRefusal::StopMode;
        break;
    }
    return result;
  }

  // A value the wire cannot carry: nothing is sent and the user is told what to fix.
  TransferResult& RefuseValue(const EncodeError& error, TransferResult& result) {
    t_.dialogs_.ShowLinkMessage(InvalidValueMessage(error));
    result.outcome = TransferOutcome::Refused;
    result.refusal = TransferRefusal::InvalidValue;
    result.invalid = error;
    return result;
  }

  // The controller's program version from its setup block; "No communication" (shown by the
  // setup read) and nothing when it cannot be read.
  std::optional<std::int16_t> ProgramVersion() {
    std::array<std::uint8_t, image::kSetupSize> setup{};
    if (!t_.ops_.ReadSetupParameters(t_.dialogs_, setup)) return std::nullopt;
    return ConstSetupBlock(setup.data()).ProgramVersion();
  }
  // Pages per program for the controller's version, kept as ileBlokProgram.
  std::optional<int> ProgramPages() {
    const auto version = ProgramVersion();
    if (!version) return std::nullopt;
    t_.session_.ileBlokProgram = ProgramPagesForVersion(*version);
    return t_.session_.ileBlokProgram;
  }

  // Reads every block of s into its slots; a block's positions beyond the last record are
  // dropped. moreFollows: another exchange comes after the last block.
  void ReadBlocks(const BlockSection& s, bool moreFollows, TransferResult& result);
  // Sends the prepared block messages of s in order.
  void WriteBlocks(const std::vector<InnerMessage>& messages, bool moreFollows,
                   TransferResult& result);
  // Programs 1..99, page by page, after the setup read that gives the page count.
  void ReadPrograms(TransferResult& result);
  void WritePrograms(TransferResult& result);

  // After a write that reached the line (whatever its outcome): the controller may hold new
  // configuration, so it is marked and the reset is offered.
  void OfferReset() {
    Hide();
    t_.ops_.MarkWritePending();
    t_.ops_.ResetAfterWrite(t_.dialogs_);
  }

 private:
  static PathStep Step(bool checkStop, const StageHook& stage, int pauseAfterPostMs) {
    StageHook early;
    if (stage) early = [stage](int k) {
      if (k < 3) stage(k);
    };
    return {checkStop, early, pauseAfterPostMs};
  }

  SectionTransfer& t_;
  QString text_;
  std::optional<PathDispatcher> path_;  // chosen once the connection fields are taken
  bool busy_ = false;
  bool hidden_ = false;
};

void SectionTransfer::Run::ReadBlocks(const BlockSection& s, bool moreFollows,
                                      TransferResult& result) {
  const int blocks = s.blocks();
  // The special statuses' window counts post, wait and fetch on the module path.
  const bool staged = s.entry.id == SectionId::SpecialStatuses && Module();
  const int maximum = staged ? 3 : blocks;
  StageHook stage;
  if (staged) stage = [this, maximum](int k) { Show(k, maximum); };
  Show(0, maximum);
  std::vector<std::uint8_t> buffer(s.entry.blockSize());
  for (int b = 0; b < blocks; ++b) {
    const PathOutcome o =
        Read(s.geometry().readMessage(b), s.geometry().replyLength,
             s.geometry().decoder(b, buffer, s.codec), /*checkStop=*/false, stage);
    if (!o.ok()) {
      Stop(o, result);
      return;
    }
    s.entry.StoreBlock(buffer, s.region, b);
    result.imageChanged = true;
    ++result.blocksDone;
    Show(staged ? maximum : b + 1, maximum);
    const bool last = b + 1 == blocks && !moreFollows;
    if (!Module() && !last && PumpAndCheckCancel()) {
      result.outcome = TransferOutcome::Cancelled;
      return;
    }
  }
}

void SectionTransfer::Run::WriteBlocks(const std::vector<InnerMessage>& messages, bool moreFollows,
                                       TransferResult& result) {
  const int blocks = static_cast<int>(messages.size());
  Show(0, blocks);
  for (int b = 0; b < blocks; ++b) {
    const PathOutcome o = Write(messages[static_cast<std::size_t>(b)]);
    if (!o.ok()) {
      Stop(o, result);
      return;
    }
    ++result.blocksDone;
    Show(b + 1, blocks);
    const bool last = b + 1 == blocks && !moreFollows;
    if (!Module() && !last && PumpAndCheckCancel()) {
      result.outcome = TransferOutcome::Cancelled;
      return;
    }
  }
}

void SectionTransfer::Run::ReadPrograms(TransferResult& result) {
  const auto pages = ProgramPages();
  if (!pages) {
    result.outcome = TransferOutcome::Failed;
    return;
  }
  const auto layout = ProgramLayout(*pages);
  result.blocksTotal = kListedPrograms * *pages;
  Show(0, kListedPrograms);
  // Each program is read into a buffer and stored whole once its last page arrived, so a stop
  // never leaves a half-read program in the project.
  std::vector<std::uint8_t> buffer(ProgramRecord::kSize);
  const ProgramRecord received(buffer.data());
  for (int i = 1; i <= kListedPrograms; ++i) {
    for (int p = 0; p < *pages; ++p) {
      const PathOutcome o =
          Read(ProgramPageReadMessage(i - 1, p), layout->ReplyLength(),
               ProgramPageDecoder(received, p, *pages, CodePage()), /*checkStop=*/true);
      if (!o.ok()) {
        Stop(o, result);
        return;
      }
      ++result.blocksDone;
      if (p + 1 == *pages) {
        received.SetStepCount(ProgramStepCountForPages(*pages));
        std::copy(buffer.begin(), buffer.end(), Program(image(), i).data());
        result.imageChanged = true;
      }
      Show(i, kListedPrograms);
      const bool last = i == kListedPrograms && p + 1 == *pages;
      if (!Module() && !last && PumpAndCheckCancel()) {
        result.outcome = TransferOutcome::Cancelled;
        return;
      }
    }
  }
}

void SectionTransfer::Run::WritePrograms(TransferResult& result) {
  const auto pages = ProgramPages();
  if (!pages) {
    result.outcome = TransferOutcome::Failed;
    return;  // nothing was written: no reset offer
  }
  Section(SectionId::Programs).renumber(t_.session_.blocks);
  result.blocksTotal = kListedPrograms * *pages;
  if (const auto refused = ValidatePrograms(image(), *pages); !refused.empty()) {
    RefuseValue(refused.front(), result);
    return;
  }
  std::vector<InnerMessage> messages;
  messages.reserve(static_cast<std::size_t>(result.blocksTotal));
  for (int i = 1; i <= kListedPrograms; ++i) {
    for (int p = 0; p < *pages; ++p) {
      const EncodedMessage m = ProgramPageWriteMessage(Program(image(), i), p, *pages, CodePage());
      if (!m.ok()) {
        RefuseValue(*m.error, result);
        return;
      }
      messages.push_back(m.message);
    }
  }
  Show(0, kListedPrograms);
  for (std::size_t k = 0; k < messages.size(); ++k) {
    const int i = static_cast<int>(k) / *pages + 1;
    const PathOutcome o = Write(messages[k]);
    if (!o.ok()) {
      Stop(o, result);
      break;
    }
    ++result.blocksDone;
    Show(i, kListedPrograms);
    if (!Module() && k + 1 < messages.size() && PumpAndCheckCancel()) {
      result.outcome = TransferOutcome::Cancelled;
      break;
    }
  }
  OfferReset();
}

SectionTransfer::SectionTransfer(Workspace& session, LinkOperations& ops, Dialogs& dialogs,
                                 Progress& progress, EventPump pump)
    : session_(session),
      ops_(ops),
      dialogs_(dialogs),
      progress_(progress),
      pump_(std::move(pump)) {}

// --- list windows ---

TransferResult SectionTransfer::ReadList(SectionId section) {
  Run run(*this, QStringLiteral("Reading ") + QLatin1String(Section(section).progressTitle));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  if (section == SectionId::Programs) {
    run.ReadPrograms(result);
    return result;
  }
  AnalogOutputLayout layout = AnalogOutputLayout::Current;
  if (section == SectionId::AnalogOutputs) {
    result.blocksTotal = 1;
    const auto version = run.ProgramVersion();
    if (!version) {
      result.outcome = TransferOutcome::Failed;
      return result;
    }
    layout = AnalogOutputLayoutForVersion(*version);
  }
  const BlockSection s = Describe(section, session_, layout);
  const bool presets = HasPresetStage(section);
  result.blocksTotal = s.blocks() + (presets ? 1 : 0);
  run.ReadBlocks(s, presets, result);
  if (!result.completed()) return result;
  if (s.entry.afterRead) s.entry.afterRead(session_.blocks);
  if (presets) {
    // The body blocks came without presets; the set's table brings SP1..SP5 of all sixteen.
    const ProcessSet set = ProcessSetOf(section);
    const PathOutcome o =
        run.Read(ProcessPresetTableReadMessage(set), kProcessPresetTableReplyLength,
                 ProcessPresetTableDecoder(ProcessSetRegion(session_.blocks.image, set)));
    if (!o.ok()) return run.Stop(o, result);
    ++result.blocksDone;
  }
  return result;
}

TransferResult SectionTransfer::WriteList(SectionId section) {
  Run run(*this, QStringLiteral("Writing ") + QLatin1String(Section(section).progressTitle));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  if (section == SectionId::Programs) {
    run.WritePrograms(result);
    return result;
  }
  AnalogOutputLayout layout = AnalogOutputLayout::Current;
  if (section == SectionId::AnalogOutputs) {
    result.blocksTotal = 1;
    const auto version = run.ProgramVersion();
    if (!version) {
      result.outcome = TransferOutcome::Failed;
      return result;  // nothing was written: no reset offer
    }
    layout = AnalogOutputLayoutForVersion(*version);
  }
  const BlockSection s = Describe(section, session_, layout);
  const bool presets = HasPresetStage(section);
  result.blocksTotal = s.blocks() + (presets ? 1 : 0);
  if (s.entry.renumber) s.entry.renumber(session_.blocks);
  // Every value is checked before the first byte goes out, so a section is never left half
  // written because of a value further down.
  if (const auto refused = s.entry.validate(session_.blocks, s.codec); !refused.empty()) {
    return run.RefuseValue(refused.front(), result);
  }
  std::vector<InnerMessage> messages;
  for (int b = 0; b < s.blocks(); ++b) {
    const EncodedMessage m = s.geometry().writeMessage(b, s.entry.WriteBlock(s.region, b), s.codec);
    if (!m.ok()) return run.RefuseValue(*m.error, result);
    messages.push_back(m.message);
  }
  run.WriteBlocks(messages, presets, result);
  if (presets && result.completed()) {
    const ProcessSet set = ProcessSetOf(section);
    const PathOutcome o = run.Write(
        ProcessPresetTableWriteMessage(set, ProcessSetRegion(session_.blocks.image, set)));
    if (o.ok()) {
      ++result.blocksDone;
    } else {
      run.Stop(o, result);
    }
  }
  run.OfferReset();
  return result;
}

// --- record editors ---

TransferResult SectionTransfer::ReadProcess(ProcessSet set, int n, ProcessRecord working) {
  detail::CheckRecordIndex("process", n, 1, kProcessCount);
  Run run(*this, QStringLiteral("Reading process %1").arg(n));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  result.blocksTotal = 2;
  run.Show(0, 2);
  const int block = (n - 1) / kProcessesPerBlock;
  ProcessBlockBuffer bodies{};
  PathOutcome o = run.Read(ProcessBlockReadMessage(set, block), kProcessBlockReplyLength,
                           ProcessBlockDecoder(block, bodies, session_.codePageIndex));
  if (!o.ok()) return run.Stop(o, result);
  ++result.blocksDone;
  run.Show(1, 2);
  if (!run.Module() && run.PumpAndCheckCancel()) {
    result.outcome = TransferOutcome::Cancelled;
    return result;
  }
  std::vector<std::uint8_t> table(kProcessCount * ProcessRecord::kSize);
  o = run.Read(ProcessPresetTableReadMessage(set), kProcessPresetTableReplyLength,
               ProcessPresetTableDecoder(ProcessSetBytes(table.data(), table.size())));
  if (!o.ok()) return run.Stop(o, result);
  ++result.blocksDone;
  run.Show(2, 2);
  // The copy changes only now that body and presets both arrived.
  const ProcessRecord body(bodies.data() + ((n - 1) % kProcessesPerBlock) * ProcessRecord::kSize);
  const ConstProcessRecord presets(table.data() + (n - 1) * ProcessRecord::kSize);
  for (int k = 1; k <= ProcessRecord::kPresetCount; ++k) body.SetPreset(k, presets.Preset(k));
  std::copy_n(body.data(), ProcessRecord::kSize, working.data());
  result.imageChanged = true;
  return result;
}

TransferResult SectionTransfer::WriteProcess(ProcessSet set, int n, ConstProcessRecord working) {
  detail::CheckRecordIndex("process", n, 1, kProcessCount);
  Run run(*this, QStringLiteral("Writing process %1").arg(n));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  result.blocksTotal = 2;
  EncodedMessage body = ProcessWriteMessage(set, n - 1, working, session_.codePageIndex);
  if (!body.ok()) {
    body.error->record = n;
    return run.RefuseValue(*body.error, result);
  }
  run.Show(0, 2);
  PathOutcome o = run.Write(body.message);
  if (o.ok()) {
    ++result.blocksDone;
    run.Show(1, 2);
    // The presets travel apart from the body; a failure here is reported like any other,
    // since the controller would otherwise keep presets the user believes replaced.
    o = run.Write(ProcessPresetsWriteMessage(set, n - 1, working));
    if (o.ok()) {
      ++result.blocksDone;
      run.Show(2, 2);
    }
  }
  if (!o.ok()) run.Stop(o, result);
  run.OfferReset();
  return result;
}

TransferResult SectionTransfer::ReadProgram(ProgramRecord working) {
  const std::int32_t number = working.Number();
  Run run(*this, QStringLiteral("Reading program"));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  if (const auto error = ProgramNumberError(number)) {
    // The controller cannot be asked for a program of that number.
    dialogs_.ShowLinkMessage(error->Message() + QLatin1Char('.'));
    result.outcome = TransferOutcome::Refused;
    result.refusal = TransferRefusal::InvalidValue;
    result.invalid = error;
    return result;
  }
  const auto pages = run.ProgramPages();
  if (!pages) {
    result.outcome = TransferOutcome::Failed;
    return result;
  }
  const auto layout = ProgramLayout(*pages);
  result.blocksTotal = *pages;
  const int maximum = 2 * *pages;  // two positions per page
  run.Show(0, maximum);
  // Read into a buffer: the copy is replaced only when every page arrived.
  std::vector<std::uint8_t> buffer(ProgramRecord::kSize);
  const ProgramRecord received(buffer.data());
  for (int p = 0; p < *pages; ++p) {
    const StageHook stage = [&run, p, maximum](int k) {
      if (k == 2) run.Show(2 * p + 1, maximum);
    };
    const PathOutcome o = run.Read(ProgramPageReadMessage(number - 1, p), layout->ReplyLength(),
                                   ProgramPageDecoder(received, p, *pages, session_.codePageIndex),
                                   /*checkStop=*/true, stage);
    if (!o.ok()) return run.Stop(o, result);
    ++result.blocksDone;
    run.Show(2 * p + 2, maximum);
    if (!run.Module() && p + 1 < *pages && run.PumpAndCheckCancel()) {
      result.outcome = TransferOutcome::Cancelled;
      return result;
    }
  }
  received.SetStepCount(ProgramStepCountForPages(*pages));
  if (number == kWashingProgramNumber) received.Name().SetBytes(kWashingProgramName);
  std::copy(buffer.begin(), buffer.end(), working.data());
  result.imageChanged = true;
  return result;
}

TransferResult SectionTransfer::WriteProgram(ConstProgramRecord working) {
  Run run(*this, QStringLiteral("Writing program"));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  const auto pages = run.ProgramPages();
  if (!pages) {
    result.outcome = TransferOutcome::Failed;
    return result;  // nothing was written: no reset offer
  }
  result.blocksTotal = *pages;
  if (const auto refused = ValidateProgram(working, *pages); !refused.empty()) {
    return run.RefuseValue(refused.front(), result);
  }
  std::vector<InnerMessage> messages;
  for (int p = 0; p < *pages; ++p) {
    const EncodedMessage m = ProgramPageWriteMessage(working, p, *pages, session_.codePageIndex);
    if (!m.ok()) return run.RefuseValue(*m.error, result);
    messages.push_back(m.message);
  }
  run.WriteBlocks(messages, /*moreFollows=*/false, result);
  run.OfferReset();
  return result;
}

TransferResult SectionTransfer::ReadAlarm(int n, AlarmRecord working) {
  detail::CheckRecordIndex("alarm", n, 1, kAlarmCount);
  Run run(*this, QStringLiteral("Reading alarm %1").arg(n));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  result.blocksTotal = 1;
  run.Show(0, 1);
  const int block = (n - 1) / kAlarmsPerBlock;
  AlarmBlockBuffer alarms{};
  const PathOutcome o = run.Read(AlarmBlockReadMessage(block), kAlarmBlockReplyLength,
                                 AlarmBlockDecoder(block, alarms, session_.codePageIndex));
  if (!o.ok()) return run.Stop(o, result);
  ++result.blocksDone;
  run.Show(1, 1);
  std::copy_n(alarms.begin() + ((n - 1) % kAlarmsPerBlock) * AlarmRecord::kSize, AlarmRecord::kSize,
              working.data());
  result.imageChanged = true;
  return result;
}

TransferResult SectionTransfer::WriteAlarm(int n, ConstAlarmRecord working) {
  detail::CheckRecordIndex("alarm", n, 1, kAlarmCount);
  Run run(*this, QStringLiteral("Writing alarm %1").arg(n));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  result.blocksTotal = 1;
  EncodedMessage m = AlarmWriteMessage(n - 1, working, session_.codePageIndex);
  if (!m.ok()) {
    m.error->record = n;
    return run.RefuseValue(*m.error, result);
  }
  run.WriteBlocks({m.message}, /*moreFollows=*/false, result);
  run.OfferReset();
  return result;
}

TransferResult SectionTransfer::ReadSpecialStatus(int n, SpecialStatusRecord working) {
  detail::CheckRecordIndex("special status", n, 1, kSpecialStatusCount);
  Run run(*this, QStringLiteral("Reading special status %1").arg(n));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  result.blocksTotal = 1;
  const int maximum = run.Module() ? 3 : 1;
  run.Show(0, maximum);
  std::vector<std::uint8_t> statuses(kSpecialStatusCount * SpecialStatusRecord::kSize);
  const PathOutcome o =
      run.Read(SpecialStatusesReadMessage(), kSpecialStatusesReplyLength,
               SpecialStatusesDecoder(SpecialStatusBytes(statuses.data(), statuses.size())),
               /*checkStop=*/false, [&run, maximum](int k) { run.Show(k, maximum); });
  if (!o.ok()) return run.Stop(o, result);
  ++result.blocksDone;
  run.Show(maximum, maximum);
  // Names do not travel: the entry takes the copy's own name field, bytes and all.
  const SpecialStatusRecord entry(statuses.data() + (n - 1) * SpecialStatusRecord::kSize);
  const ConstTextField name = ConstSpecialStatusRecord(working).Name();
  std::copy_n(name.data(), name.FieldSize(), entry.Name().data());
  std::copy_n(entry.data(), SpecialStatusRecord::kSize, working.data());
  result.imageChanged = true;
  return result;
}

TransferResult SectionTransfer::WriteSpecialStatus(int n, ConstSpecialStatusRecord working) {
  detail::CheckRecordIndex("special status", n, 1, kSpecialStatusCount);
  Run run(*this, QStringLiteral("Writing special status %1").arg(n));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  result.blocksTotal = 1;
  EncodedMessage m = SpecialStatusWriteMessage(n - 1, working);
  if (!m.ok()) {
    m.error->record = n;
    return run.RefuseValue(*m.error, result);
  }
  run.WriteBlocks({m.message}, /*moreFollows=*/false, result);
  run.OfferReset();
  return result;
}

// --- setup window ---

TransferResult SectionTransfer::ReadSetup(std::span<std::uint8_t, image::kSetupSize> windowCopy) {
  Run run(*this, QStringLiteral("Reading setup"));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  result.blocksTotal = 1;
  run.Show(0, 3);
  // A read zeroes its buffer before it fills it: the window's copy is changed only when the
  // whole block arrived, so a failed read never leaves zeros to be written back on close.
  std::array<std::uint8_t, image::kSetupSize> received{};
  const PathOutcome o = run.Read(
      ReadSetupMessage(), kSetupReplyLength,
      [&received](const QByteArray& reply) {
        DecodeSetup(reply, received);
        return kLinkOk;
      },
      /*checkStop=*/false, [&run](int k) { run.Show(k, 3); });
  if (!o.ok()) return run.Stop(o, result);
  ++result.blocksDone;
  run.Show(3, 3);
  std::copy(received.begin(), received.end(), windowCopy.begin());
  result.imageChanged = true;
  return result;
}

TransferResult SectionTransfer::SendSetup(
    std::span<const std::uint8_t, image::kSetupSize> windowCopy) {
  Run run(*this, QStringLiteral("Writing setup"));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  result.blocksTotal = 1;
  const SetupBytes project =
      SectionBytes(session_.blocks.image, SectionId::Setup).subspan<0, image::kSetupSize>();
  std::copy(windowCopy.begin(), windowCopy.end(), project.begin());
  // The setup block is sent even while the controller runs.
  const PathOutcome o = run.Write(WriteSetupMessage(project), /*checkStop=*/false);
  if (o.ok()) {
    ++result.blocksDone;
    run.Hide();
    dialogs_.ShowLinkMessage(kOperationCompleted);
  } else {
    run.Stop(o, result);
  }
  run.OfferReset();
  return result;
}

// --- passwords window ---

TransferResult SectionTransfer::ReadPasswords(
    std::span<std::uint8_t, passwords::kSize> windowBlock) {
  Run run(*this, QStringLiteral("Reading passwords"));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  result.blocksTotal = 1;
  run.Show(0, 3);
  std::array<std::uint8_t, passwords::kSize> received{};
  const PathOutcome o = run.Read(
      PasswordsReadMessage(), kPasswordsReplyLength, PasswordsDecoder(received),
      /*checkStop=*/false, [&run](int k) { run.Show(k, 3); }, kPasswordsPauseAfterPostMs);
  if (!o.ok()) return run.Stop(o, result);
  ++result.blocksDone;
  run.Show(3, 3);
  std::copy(received.begin(), received.end(), windowBlock.begin());
  result.imageChanged = true;
  return result;
}

TransferResult SectionTransfer::SendPasswords(
    std::span<std::uint8_t, passwords::kSize> windowBlock) {
  Run run(*this, QStringLiteral("Writing passwords"));
  if (run.Busy()) return Run::BusyResult();
  TransferResult result;
  result.blocksTotal = 1;
  NormalisePasswordEntries(windowBlock);
  PasswordBlock& project = session_.blocks.passwords;
  if (windowBlock.data() != project.data()) {
    std::copy(windowBlock.begin(), windowBlock.end(), project.data());
  }
  const PathOutcome o = run.Write(PasswordsWriteMessage(project.bytes()), /*checkStop=*/false,
                                  /*stage=*/{}, kPasswordsPauseAfterPostMs);
  if (o.ok()) {
    ++result.blocksDone;
    run.Hide();
    dialogs_.ShowLinkMessage(kOperationCompleted);
  } else {
    run.Stop(o, result);
  }
  run.OfferReset();
  return result;
}

}  // namespace qdx
