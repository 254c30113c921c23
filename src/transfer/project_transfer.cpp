#include "transfer/project_transfer.h"

#include <algorithm>
#include <array>
#include <vector>

#include "config/section_registry.h"
#include "files/project_defaults.h"
#include "model/records.h"
#include "link/process_transactions.h"
#include "link/program_transactions.h"
#include "link/setup_transactions.h"
#include "transfer/project_compare.h"

namespace qdx {

namespace {

using SetupBuffer = std::array<std::uint8_t, image::kSetupSize>;

SetupBytes ImageSetup(ProjectImage& image) {
  return SetupBytes(image.data() + image::kSetupOffset, image::kSetupSize);
}

RowOutcome Outcome(RowOutcome::Kind kind, QString reason = {}) {
  RowOutcome o;
  o.kind = kind;
  o.reason = std::move(reason);
  return o;
}

const QString kNoSetup =
    QStringLiteral("No communication: the controller's setup block could not be read");

}  // namespace

QString RefusedValuesText(const std::vector<RowRefusal>& refusals) {
  QStringList lines{QStringLiteral("These values cannot be sent to the controller:")};
  const std::size_t shown = std::min(refusals.size(), kRefusedValuesShown);
  for (std::size_t i = 0; i < shown; ++i) {
    const RowRefusal& r = refusals[i];
    lines << RowCaption(r.row, false).trimmed() + QStringLiteral(": ") + r.error.Message();
  }
  if (refusals.size() > shown) {
    lines << QStringLiteral("\u2026 and %1 more").arg(refusals.size() - shown);
  }
  return lines.join(QLatin1Char('\n'));
}

const RowRefusal* RefusalOf(ProjectRow row, const std::vector<RowRefusal>& refusals) {
  const auto first = std::find_if(refusals.begin(), refusals.end(),
                                  [row](const RowRefusal& r) { return r.row == row; });
  return first != refusals.end() ? &*first : nullptr;
}

RowOutcome RefusedOutcome(const RowRefusal& refusal) {
  RowOutcome o;
  o.kind = RowOutcome::Invalid;
  o.reason = refusal.error.Message();
  return o;
}

QString RunEndMessage(const RunSummary& summary, const RowSelection& rows, bool readWindow) {
  QStringList failed;
  int ticked = 0;
  for (const ProjectRow row : kProjectRows) {
    if (!rows[static_cast<std::size_t>(RowIndex(row))]) continue;
    ++ticked;
    // A difference is a comparison's answer and a stopped row the user's wish, not failures.
    switch (summary[row].kind) {
      case RowOutcome::Error:
      case RowOutcome::Invalid:
      case RowOutcome::Refused:
      case RowOutcome::SetupUnavailable:
        failed << RowCaption(row, readWindow).trimmed();
        break;
      default:
        break;
    }
  }
  if (failed.isEmpty()) return kOperationComplete;
  return QStringLiteral("%1 of %2 sections failed: %3.\nThe other sections are complete.")
      .arg(failed.size())
      .arg(ticked)
      .arg(failed.join(QStringLiteral(", ")));
}

QString DescribeLinkFailure(LinkResult result, const QString& portError) {
  return LinkResultText(result, portError);
}

int ProgramRowPages(std::int16_t programVersion) {
  if (programVersion < 501) return 2;
  return programVersion < 900 ? 3 : 5;
}

int WashingProgramRowPages(std::int16_t programVersion) {
  return programVersion < 501 ? 2 : 3;
}

ProjectTransfer::ProjectTransfer(Workspace& session, LinkOperations& ops, Dialogs& dialogs,
                                 TransferListener& listener)
    : session_(session), ops_(ops), dialogs_(dialogs), listener_(listener) {
  resetAfterRun_ = [this] {
    ConnectionSettings();
    ops_.ResetAfterWrite(dialogs_);
  };
}

void ProjectTransfer::BeginRun() {
  running_ = true;
  stopRequested_ = false;
  cancelRequested_ = false;
  programVersion_.reset();
}

void ProjectTransfer::Pump() {
  if (pump_) pump_();
}

void ProjectTransfer::ConnectionSettings() {
  session_.ReadConnectionSettings();
}

bool ProjectTransfer::EnsureProgramVersion() {
  if (programVersion_) return true;
  SetupBuffer setup{};
  if (!ops_.ReadSetupParameters(dialogs_, setup)) return false;
  programVersion_ = ConstSetupBlock(setup.data()).ProgramVersion();
  return true;
}

RowOutcome ProjectTransfer::Refusal(ProjectRow row, const QString& valueMessage) {
  listener_.Message(QStringLiteral("\"%1\" was not sent: %2.\nCorrect the value and send again.")
                        .arg(RowCaption(row, false).trimmed(), valueMessage));
  return Outcome(RowOutcome::Invalid, valueMessage);
}

RowOutcome RowOutcomeOf(const PathOutcome& o, Link& link) {
  switch (o.kind) {
    case PathOutcome::Done:
      return Outcome(RowOutcome::Ok);
    case PathOutcome::Failed: {
      const QString port =
          link.LastPortError() != PortError::None ? link.LastPortErrorText() : QString();
      return Outcome(RowOutcome::Error, DescribeLinkFailure(o.result, port));
    }
    case PathOutcome::NotReady:
      return Outcome(RowOutcome::Error, kModuleAnswerNeverReady);
    case PathOutcome::Cancelled:
      return Outcome(RowOutcome::Cancelled);
    case PathOutcome::Refused:
      return Outcome(RowOutcome::Refused, kStopModeRequired);
  }
  return {};
}

RowOutcome ProjectTransfer::Write(const EncodedMessage& message, const StageHook& stage) {
  // The row checked every value before its first write, so this does not happen.
  if (!message.ok()) return RowOutcomeOf({PathOutcome::Failed, kLinkRequestInvalid}, ops_.link());
  return Write(message.message, stage);
}

RowOutcome ProjectTransfer::Write(const InnerMessage& inner, const StageHook& stage) {
  return RowOutcomeOf(path_->Write(inner, {true, stage, 0}), ops_.link());
}

RowOutcome ProjectTransfer::Read(const InnerMessage& inner, int replyLength,
                                 const ReplyDecoder& decode, const StageHook& stage) {
  return RowOutcomeOf(path_->Read(inner, replyLength, decode, {false, stage, 0}), ops_.link());
}

void ProjectTransfer::ChoosePath() {
  path_.emplace(ops_, dialogs_, [this] { return cancelRequested_; });
}

// --- send ---------------------------------------------------------------------------------

std::vector<RowRefusal> ProjectTransfer::CheckRows(const RowSelection& rows) {
  ConnectionSettings();
  std::vector<RowRefusal> refusals;
  for (const ProjectRow row : kProjectRows) {
    if (!rows[static_cast<std::size_t>(RowIndex(row))]) continue;
    for (EncodeError& error : RefusedValues(row)) refusals.push_back({row, std::move(error)});
  }
  return refusals;
}

std::vector<EncodeError> ProjectTransfer::RefusedValues(ProjectRow row) {
  const ProjectImage& image = session_.blocks.image;
  if (row == ProjectRow::Programs || row == ProjectRow::WashingProgram) {
    if (!EnsureProgramVersion()) return {};
    return row == ProjectRow::Programs
               ? ValidatePrograms(image, ProgramRowPages(*programVersion_))
               : ValidateWashingProgram(image, WashingProgramRowPages(*programVersion_));
  }
  const SectionEntry& entry = Section(row);
  if (!entry.validate || NeedsProgramVersion(row)) return {};
  return entry.validate(session_.blocks, Codec());
}

RunSummary ProjectTransfer::Send(const RowSelection& rows, const std::vector<RowRefusal>& refused) {
  BeginRun();
  ops_.MarkWritePending();
  RunSummary summary;
  for (int i = 0; i < kProjectRowCount; ++i) {
    const ProjectRow row = kProjectRows[static_cast<std::size_t>(i)];
    if (i > 0) {
      Pump();
      if (stopRequested_) {
        summary.stopped = true;
        break;
      }
    }
    if (!rows[static_cast<std::size_t>(i)]) continue;
    ConnectionSettings();
    const RowRefusal* refusal = RefusalOf(row, refused);
    const RowOutcome outcome = refusal ? RefusedOutcome(*refusal) : SendRow(row);
    summary.rows[static_cast<std::size_t>(i)] = outcome;
    listener_.RowResult(row, outcome);
    if (outcome.kind == RowOutcome::Stopped || outcome.kind == RowOutcome::Cancelled) {
      summary.stopped = true;
      break;
    }
  }
  if (!summary.stopped) listener_.Message(RunEndMessage(summary, rows, false));
  running_ = false;
  if (resetAfterRun_) resetAfterRun_();
  return summary;
}

RowOutcome ProjectTransfer::SendRow(ProjectRow row) {
  ChoosePath();
  switch (row) {
    case ProjectRow::Setup:
      return SendSetup();
    case ProjectRow::Processes:
    case ProjectRow::WashingProcesses:
      return SendProcesses(row);
    case ProjectRow::Programs:
      return SendPrograms();
    case ProjectRow::WashingProgram:
      return SendWashingProgram();
    default:
      return SendBlocks(row);
  }
}

CodecContext ProjectTransfer::Codec() const {
  return {session_.codePageIndex,
          AnalogOutputLayoutForVersion(programVersion_.value_or(kAnalogOutputCurrentLayoutVersion))};
}

bool ProjectTransfer::NeedsProgramVersion(ProjectRow row) {
  // The analog outputs' layout follows the controller's program version, as in their window.
  return row == ProjectRow::AnalogOutputs && !EnsureProgramVersion();
}

RowOutcome ProjectTransfer::SendBlocks(ProjectRow row) {
  const SectionEntry& entry = Section(row);
  ProjectBlocks& blocks = session_.blocks;
  if (entry.renumber) entry.renumber(blocks);
  Started(row, entry.blockCount());
  if (stopRequested_) return Outcome(RowOutcome::Stopped);
  if (NeedsProgramVersion(row)) return Outcome(RowOutcome::SetupUnavailable, kNoSetup);
  const CodecContext codec = Codec();
  if (const auto refused = entry.validate(blocks, codec); !refused.empty()) {
    return Refusal(row, refused.front().Message());
  }
  const std::span<const std::uint8_t> region = entry.Region(blocks);
  for (int b = 0; b < entry.blockCount(); ++b) {
    if (stopRequested_) return Outcome(RowOutcome::Stopped);
    const RowOutcome o = Write(entry.blocks->writeMessage(b, entry.WriteBlock(region, b), codec));
    if (o.kind != RowOutcome::Ok) return o;
    Progress(row, b + 1);
    Pump();
  }
  return Outcome(RowOutcome::Ok);
}

RowOutcome ProjectTransfer::SendSetup() {
  const ProjectRow row = ProjectRow::Setup;
  Started(row, 3);
  const ConstSetupBytes setup = ImageSetup(session_.blocks.image);
  RowOutcome o = Write(WriteSetupMessage(setup), [&](int stage) { Progress(row, stage); });
  if (o.kind == RowOutcome::Ok && !path_->Module()) Progress(row, 3);
  return o;
}

RowOutcome ProjectTransfer::SendProcesses(ProjectRow row) {
  const ProjectImage& image = session_.blocks.image;
  const ProcessSet set = ProcessSetOf(row);
  if (const RowOutcome bodies = SendBlocks(row); bodies.kind != RowOutcome::Ok) return bodies;
  listener_.RowResult(row, Outcome(RowOutcome::Ok));
  // The step presets of all sixteen travel in their own table. Without them the controller
  // keeps old presets, so a failure here is reported instead of leaving "OK" standing.
  const ConstProcessSetBytes all = ProcessSetRegion(image, set);
  RowOutcome presets = Write(ProcessPresetTableWriteMessage(set, all));
  if (presets.kind == RowOutcome::Error) presets.reason = "step presets: " + presets.reason;
  return presets;
}

RowOutcome ProjectTransfer::SendPrograms() {
  const ProjectRow row = ProjectRow::Programs;
  ProjectImage& image = session_.blocks.image;
  Started(row, kListedPrograms);
  if (!EnsureProgramVersion()) return Outcome(RowOutcome::SetupUnavailable, kNoSetup);
  const int pages = ProgramRowPages(*programVersion_);
  session_.ileBlokProgram = pages;
  Section(row).renumber(session_.blocks);
  if (const auto refused = ValidatePrograms(image, pages); !refused.empty()) {
    return Refusal(row, refused.front().Message());
  }
  for (int p = 1; p <= kListedPrograms; ++p) {
    if (stopRequested_) return Outcome(RowOutcome::Stopped);
    const ConstProgramRecord program = Program(image, p);
    for (int page = 0; page < pages; ++page) {
      const RowOutcome o =
          Write(ProgramPageWriteMessage(program, page, pages, session_.codePageIndex));
      if (o.kind != RowOutcome::Ok) return o;
    }
    Progress(row, p);
    Pump();
  }
  return Outcome(RowOutcome::Ok);
}

RowOutcome ProjectTransfer::SendWashingProgram() {
  const ProjectRow row = ProjectRow::WashingProgram;
  ProjectImage& image = session_.blocks.image;
  if (!EnsureProgramVersion()) return Outcome(RowOutcome::SetupUnavailable, kNoSetup);
  const int pages = WashingProgramRowPages(*programVersion_);
  session_.ileBlokProgram = pages;
  const ProgramRecord washing = WashingProgram(image);
  washing.SetNumber(kWashingProgramNumber);
  Started(row, pages);
  if (const auto refused = ValidateWashingProgram(image, pages); !refused.empty()) {
    return Refusal(row, refused.front().Message());
  }
  for (int page = 0; page < pages; ++page) {
    const RowOutcome o =
        Write(ProgramPageWriteMessage(washing, page, pages, session_.codePageIndex));
    if (o.kind != RowOutcome::Ok) return o;
    Progress(row, page + 1);
    Pump();
  }
  return Outcome(RowOutcome::Ok);
}

// --- read ---------------------------------------------------------------------------------

RunSummary ProjectTransfer::Read(const RowSelection& rows, bool comparison) {
  BeginRun();
  ProjectBlocks& blocks = session_.blocks;
  // The project as it was, to compare with and to put back; on the heap (1.8 MB).
  std::unique_ptr<ProjectImage> savedImage;
  std::unique_ptr<PidTable> savedPid;
  if (comparison) {
    savedImage = std::make_unique<ProjectImage>(blocks.image);
    savedPid = std::make_unique<PidTable>(blocks.pid);
  }
  RunSummary summary;
  for (int i = 0; i < kProjectRowCount; ++i) {
    const ProjectRow row = kProjectRows[static_cast<std::size_t>(i)];
    // From "Program WASHING" on, a stop only skips the reads of the last two rows.
    if (i >= RowIndex(ProjectRow::Relays) && i <= RowIndex(ProjectRow::WashingProgram) &&
        stopRequested_) {
      summary.stopped = true;
      break;
    }
    if (rows[static_cast<std::size_t>(i)]) {
      ConnectionSettings();
      RowOutcome outcome = ReadRow(row);
      // A read that failed, stopped or never started is not compared: comparing what little
      // arrived would report a controller that could not be read as equal.
      if (comparison && outcome.kind == RowOutcome::Ok) {
        const AnalogOutputLayout layout = AnalogOutputLayoutForVersion(
            programVersion_.value_or(kAnalogOutputCurrentLayoutVersion));
        if (auto difference = CompareSection(row, *savedImage, *savedPid, blocks.image, blocks.pid,
                                             layout, session_.codePageIndex)) {
          outcome.kind = RowOutcome::Difference;
          outcome.difference = std::move(difference);
        }
      }
      summary.rows[static_cast<std::size_t>(i)] = outcome;
      listener_.RowResult(row, outcome);
      if (outcome.kind == RowOutcome::Cancelled) {
        summary.stopped = true;
        break;
      }
    }
    Pump();
  }
  if (!summary.stopped) listener_.Message(RunEndMessage(summary, rows, true));
  if (comparison) {
    // Both blocks, so that a comparison changes nothing at all.
    std::copy_n(savedImage->data(), ProjectImage::kSize, blocks.image.data());
    std::copy_n(savedPid->data(), PidTable::kSize, blocks.pid.data());
  }
  running_ = false;
  return summary;
}

RowOutcome ProjectTransfer::ReadRow(ProjectRow row) {
  ChoosePath();
  switch (row) {
    case ProjectRow::Setup:
      return ReadSetupRow();
    case ProjectRow::Processes:
    case ProjectRow::WashingProcesses:
      return ReadProcesses(row);
    case ProjectRow::Programs:
      return ReadPrograms();
    case ProjectRow::WashingProgram:
      return ReadWashingProgram();
    default:
      return ReadBlocks(row);
  }
}

RowOutcome ProjectTransfer::ReadBlocks(ProjectRow row) {
  const SectionEntry& entry = Section(row);
  // The special statuses' row counts post, wait and fetch of their one block.
  const bool staged = row == ProjectRow::SpecialStatuses;
  Started(row, staged ? 3 : entry.blockCount());
  if (stopRequested_) return Outcome(RowOutcome::Stopped);
  if (NeedsProgramVersion(row)) return Outcome(RowOutcome::SetupUnavailable, kNoSetup);
  const CodecContext codec = Codec();
  StageHook stage;
  if (staged) stage = [this, row](int k) { Progress(row, k); };
  std::vector<std::uint8_t> buffer(entry.blockSize());
  for (int b = 0; b < entry.blockCount(); ++b) {
    if (stopRequested_) return Outcome(RowOutcome::Stopped);
    std::fill(buffer.begin(), buffer.end(), std::uint8_t{0});
    const RowOutcome o = Read(entry.blocks->readMessage(b), entry.blocks->replyLength,
                              entry.blocks->decoder(b, buffer, codec), stage);
    if (o.kind != RowOutcome::Ok) return o;
    entry.StoreBlock(buffer, entry.Region(session_.blocks), b);
    if (!staged) Progress(row, b + 1);
    Pump();
  }
  if (entry.afterRead) entry.afterRead(session_.blocks);
  if (staged && !path_->Module()) Progress(row, 3);
  return Outcome(RowOutcome::Ok);
}

// Each transfer is decoded into a buffer of its own and stored when it succeeded, so a
// failed transfer leaves the project's records as they were.

RowOutcome ProjectTransfer::ReadSetupRow() {
  const ProjectRow row = ProjectRow::Setup;
  Started(row, 3);
  SetupBuffer setup{};
  const RowOutcome o = Read(
      ReadSetupMessage(), kSetupReplyLength,
      [&setup](const QByteArray& reply) {
        DecodeSetup(reply, setup);
        return kLinkOk;
      },
      [&](int stage) { Progress(row, stage); });
  if (o.kind != RowOutcome::Ok) return o;
  std::copy(setup.begin(), setup.end(), ImageSetup(session_.blocks.image).begin());
  // The same block carries the program version the program rows need.
  programVersion_ = ConstSetupBlock(setup.data()).ProgramVersion();
  if (!path_->Module()) Progress(row, 3);
  return o;
}

RowOutcome ProjectTransfer::ReadProcesses(ProjectRow row) {
  ProjectImage& image = session_.blocks.image;
  const ProcessSet set = ProcessSetOf(row);
  if (const RowOutcome bodies = ReadBlocks(row); bodies.kind != RowOutcome::Ok) return bodies;
  listener_.RowResult(row, Outcome(RowOutcome::Ok));
  // The block reads leave the presets zero; they come from the table of all sixteen. A failure
  // here is reported: "OK" would hide presets that were never read.
  std::vector<std::uint8_t> all(ProcessSetRegion(image, set).begin(),
                                ProcessSetRegion(image, set).end());
  const ProcessSetBytes buffer(all.data(), all.size());
  RowOutcome presets = Read(ProcessPresetTableReadMessage(set), kProcessPresetTableReplyLength,
                            ProcessPresetTableDecoder(buffer));
  if (presets.kind == RowOutcome::Ok) {
    for (int n = 1; n <= kProcessCount; ++n) {
      const std::size_t at = static_cast<std::size_t>(n - 1) * ProcessRecord::kSize;
      const ConstProcessRecord from(all.data() + at);
      for (int k = 1; k <= ProcessRecord::kPresetCount; ++k) {
        Process(image, set, n).SetPreset(k, from.Preset(k));
      }
    }
  } else if (presets.kind == RowOutcome::Error) {
    presets.reason = "step presets: " + presets.reason;
  }
  return presets;
}

RowOutcome ProjectTransfer::ReadPrograms() {
  const ProjectRow row = ProjectRow::Programs;
  ProjectImage& image = session_.blocks.image;
  Started(row, kListedPrograms);
  if (!EnsureProgramVersion()) return Outcome(RowOutcome::SetupUnavailable, kNoSetup);
  const int pages = ProgramRowPages(*programVersion_);
  session_.ileBlokProgram = pages;
  const auto layout = ProgramLayout(pages);
  std::vector<std::uint8_t> buffer(ProgramRecord::kSize);
  const ProgramRecord working(buffer.data());
  for (int p = 1; p <= kListedPrograms; ++p) {
    if (stopRequested_) return Outcome(RowOutcome::Stopped);
    const ProgramRecord target = Program(image, p);
    std::copy_n(target.data(), ProgramRecord::kSize, buffer.data());
    for (int page = 0; page < pages; ++page) {
      const RowOutcome o =
          Read(ProgramPageReadMessage(p - 1, page), layout->ReplyLength(),
               ProgramPageDecoder(working, page, pages, session_.codePageIndex));
      if (o.kind != RowOutcome::Ok) return o;
      std::copy_n(buffer.data(), ProgramRecord::kSize, target.data());
    }
    Progress(row, p);
    Pump();
  }
  const std::int32_t steps = ProgramStepCountForPages(pages);
  for (int p = 1; p <= kListedPrograms; ++p) Program(image, p).SetStepCount(steps);
  return Outcome(RowOutcome::Ok);
}

RowOutcome ProjectTransfer::ReadWashingProgram() {
  const ProjectRow row = ProjectRow::WashingProgram;
  ProjectImage& image = session_.blocks.image;
  if (!EnsureProgramVersion()) return Outcome(RowOutcome::SetupUnavailable, kNoSetup);
  const int pages = WashingProgramRowPages(*programVersion_);
  session_.ileBlokProgram = pages;
  Started(row, pages);
  const ProgramRecord target = WashingProgram(image);
  std::vector<std::uint8_t> buffer(target.data(), target.data() + ProgramRecord::kSize);
  const ProgramRecord working(buffer.data());
  constexpr int kWashingSlot = kProgramSlots;  // controller index 100
  const auto layout = ProgramLayout(pages);
  for (int page = 0; page < pages; ++page) {
    Progress(row, page + 1);
    const RowOutcome o =
        Read(ProgramPageReadMessage(kWashingSlot, page), layout->ReplyLength(),
             ProgramPageDecoder(working, page, pages, session_.codePageIndex));
    if (o.kind != RowOutcome::Ok) return o;
    std::copy_n(buffer.data(), ProgramRecord::kSize, target.data());
    Pump();
  }
  target.Name().SetBytes(kWashingProgramName);
  return Outcome(RowOutcome::Ok);
}

}  // namespace qdx
