#include "transfer/project_transfer.h"

#include <algorithm>
#include <array>
#include <vector>

#include "files/project_defaults.h"
#include "model/records.h"
#include "link/alarm_transactions.h"
#include "link/pid_transactions.h"
#include "link/process_transactions.h"
#include "link/program_transactions.h"
#include "link/relay_transactions.h"
#include "link/setup_transactions.h"
#include "link/special_status_transactions.h"
#include "transfer/project_compare.h"

namespace qdx {

namespace {

using SetupBuffer = std::array<std::uint8_t, image::kSetupSize>;

SetupBytes ImageSetup(ProjectImage& image) {
  return SetupBytes(image.data() + image::kSetupOffset, image::kSetupSize);
}

ProcessSet SetOf(ProjectRow row) {
  return row == ProjectRow::WashingProcesses ? ProcessSet::Washing : ProcessSet::Normal;
}

RowOutcome Outcome(RowOutcome::Kind kind, QString reason = {}) {
  RowOutcome o;
  o.kind = kind;
  o.reason = std::move(reason);
  return o;
}

const QString kNeverReady =
    QStringLiteral("No communication: the module's answer never became ready");
const QString kNoSetup =
    QStringLiteral("No communication: the controller's setup block could not be read");

}  // namespace

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

RowOutcome ProjectTransfer::Failure(LinkResult result) const {
  const QString port =
      ops_.link().LastPortError() != PortError::None ? ops_.link().LastPortErrorText() : QString();
  return Outcome(RowOutcome::Error, DescribeLinkFailure(result, port));
}

RowOutcome ProjectTransfer::Refusal(ProjectRow row, const QString& valueMessage) {
  listener_.Message(QStringLiteral("\"%1\" was not sent: %2.\nCorrect the value and send again.")
                        .arg(RowCaption(row, false).trimmed(), valueMessage));
  return Outcome(RowOutcome::Invalid, valueMessage);
}

RowOutcome ProjectTransfer::Write(const std::function<LinkResult()>& direct,
                                  const std::function<LinkResult()>& post,
                                  const std::function<void(int)>& stage) {
  if (!ops_.ModulePath()) {
    const LinkResult r = direct();
    return r == kLinkOk ? Outcome(RowOutcome::Ok) : Failure(r);
  }
  if (!ops_.RequireStopMode(dialogs_)) return Outcome(RowOutcome::Refused, kStopModeRequired);
  LinkResult r = post();
  if (r != kLinkOk) return Failure(r);
  if (stage) stage(1);
  switch (ops_.AwaitModuleAnswer([this] { return cancelRequested_; })) {
    case AwaitResult::NotReady:
      return Outcome(RowOutcome::Error, kNeverReady);
    case AwaitResult::Cancelled:
      return Outcome(RowOutcome::Cancelled);
    case AwaitResult::Ready:
      break;
  }
  if (stage) stage(2);
  r = ops_.FetchWriteResult(kSectionWriteFetchCount);
  if (r != kLinkOk) return Failure(r);
  if (stage) stage(3);
  return Outcome(RowOutcome::Ok);
}

RowOutcome ProjectTransfer::Read(const std::function<LinkResult()>& direct,
                                 const std::function<LinkResult()>& post,
                                 const std::function<LinkResult()>& fetch,
                                 const std::function<void(int)>& stage) {
  if (!ops_.ModulePath()) {
    const LinkResult r = direct();
    return r == kLinkOk ? Outcome(RowOutcome::Ok) : Failure(r);
  }
  LinkResult r = post();
  if (r != kLinkOk) return Failure(r);
  if (stage) stage(1);
  switch (ops_.AwaitModuleAnswer([this] { return cancelRequested_; })) {
    case AwaitResult::NotReady:
      return Outcome(RowOutcome::Error, kNeverReady);
    case AwaitResult::Cancelled:
      return Outcome(RowOutcome::Cancelled);
    case AwaitResult::Ready:
      break;
  }
  if (stage) stage(2);
  r = fetch();
  if (r != kLinkOk) return Failure(r);
  if (stage) stage(3);
  return Outcome(RowOutcome::Ok);
}

// --- send ---------------------------------------------------------------------------------

RunSummary ProjectTransfer::Send(const RowSelection& rows) {
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
    const RowOutcome outcome = SendRow(row);
    summary.rows[static_cast<std::size_t>(i)] = outcome;
    listener_.RowResult(row, outcome);
    if (outcome.kind == RowOutcome::Stopped || outcome.kind == RowOutcome::Cancelled) {
      summary.stopped = true;
      break;
    }
  }
  if (!summary.stopped) listener_.Message(kOperationComplete);
  running_ = false;
  if (resetAfterRun_) resetAfterRun_();
  return summary;
}

RowOutcome ProjectTransfer::SendRow(ProjectRow row) {
  switch (row) {
    case ProjectRow::Setup:
      return SendSetup();
    case ProjectRow::Relays:
      return SendRelays();
    case ProjectRow::Processes:
    case ProjectRow::WashingProcesses:
      return SendProcesses(row);
    case ProjectRow::Alarms:
      return SendAlarms();
    case ProjectRow::SpecialStatuses:
      return SendSpecialStatuses();
    case ProjectRow::Programs:
      return SendPrograms();
    case ProjectRow::WashingProgram:
      return SendWashingProgram();
    case ProjectRow::AnalogOutputs:
      return SendAnalogOutputs();
    case ProjectRow::Pid:
      return SendPid();
  }
  return {};
}

RowOutcome ProjectTransfer::SendSetup() {
  const ProjectRow row = ProjectRow::Setup;
  Started(row, 3);
  const ConstSetupBytes setup = ImageSetup(session_.blocks.image);
  RowOutcome o =
      Write([&] { return WriteSetup(ops_, setup); }, [&] { return PostWriteSetup(ops_, setup); },
            [&](int stage) { Progress(row, stage); });
  if (o.kind == RowOutcome::Ok && !ops_.ModulePath()) Progress(row, 3);
  return o;
}

RowOutcome ProjectTransfer::SendRelays() {
  const ProjectRow row = ProjectRow::Relays;
  ProjectImage& image = session_.blocks.image;
  for (int n = 1; n <= kRelayCount; ++n) Relay(image, n).SetNumber(n);
  Started(row, kRelayBlocks);
  if (const auto error = ValidateRelays(image)) return Refusal(row, error->Message());
  for (int b = 0; b < kRelayBlocks; ++b) {
    if (stopRequested_) return Outcome(RowOutcome::Stopped);
    const RelayBlockBuffer block = BuildRelayWriteBlock(image, b);
    const RowOutcome o = Write([&] { return WriteRelayBlock(ops_, b, block); },
                               [&] { return PostWriteRelayBlock(ops_, b, block); });
    if (o.kind != RowOutcome::Ok) return o;
    Progress(row, b + 1);
    Pump();
  }
  return Outcome(RowOutcome::Ok);
}

RowOutcome ProjectTransfer::SendProcesses(ProjectRow row) {
  ProjectImage& image = session_.blocks.image;
  const ProcessSet set = SetOf(row);
  for (int n = 1; n <= kProcessCount; ++n) {
    Process(image, ProcessSet::Normal, n).SetNumber(n);
    Process(image, ProcessSet::Washing, n).SetNumber(n);
  }
  Started(row, kProcessBlocks);
  if (const auto error = ValidateProcesses(image, set)) return Refusal(row, error->Message());
  for (int b = 0; b < kProcessBlocks; ++b) {
    if (stopRequested_) return Outcome(RowOutcome::Stopped);
    const ProcessBlockBuffer block = BuildProcessWriteBlock(image, set, b);
    const RowOutcome o = Write([&] { return WriteProcessBlock(ops_, set, b, block); },
                               [&] { return PostWriteProcessBlock(ops_, set, b, block); });
    if (o.kind != RowOutcome::Ok) return o;
    Progress(row, b + 1);
    Pump();
  }
  listener_.RowResult(row, Outcome(RowOutcome::Ok));
  // The step presets of all sixteen travel in their own table. Without them the controller
  // keeps old presets, so a failure here is reported instead of leaving "OK" standing.
  const ConstProcessSetBytes all = ProcessSetRegion(image, set);
  RowOutcome presets = Write([&] { return WriteProcessPresetTable(ops_, set, all); },
                             [&] { return PostWriteProcessPresetTable(ops_, set, all); });
  if (presets.kind == RowOutcome::Error) presets.reason = "step presets: " + presets.reason;
  return presets;
}

RowOutcome ProjectTransfer::SendAlarms() {
  const ProjectRow row = ProjectRow::Alarms;
  ProjectImage& image = session_.blocks.image;
  for (int n = 1; n <= kAlarmCount; ++n) Alarm(image, n).SetNumber(n);
  Started(row, kAlarmBlocks);
  if (const auto error = ValidateAlarms(image)) return Refusal(row, error->Message());
  for (int b = 0; b < kAlarmBlocks; ++b) {
    if (stopRequested_) return Outcome(RowOutcome::Stopped);
    const AlarmBlockBuffer block = BuildAlarmWriteBlock(image, b);
    if (stopRequested_) return Outcome(RowOutcome::Stopped);
    const RowOutcome o = Write([&] { return WriteAlarmBlock(ops_, b, block); },
                               [&] { return PostWriteAlarmBlock(ops_, b, block); });
    if (o.kind != RowOutcome::Ok) return o;
    Progress(row, b + 1);
    Pump();
  }
  return Outcome(RowOutcome::Ok);
}

RowOutcome ProjectTransfer::SendSpecialStatuses() {
  const ProjectRow row = ProjectRow::SpecialStatuses;
  ProjectImage& image = session_.blocks.image;
  for (int n = 1; n <= kSpecialStatusCount; ++n) SpecialStatus(image, n).SetNumber(n);
  Started(row, 1);
  if (const auto error = ValidateSpecialStatuses(image)) return Refusal(row, error->Message());
  const ConstSpecialStatusBytes records = SpecialStatusRegion(image);
  const RowOutcome o = Write([&] { return WriteSpecialStatuses(ops_, records); },
                             [&] { return PostWriteSpecialStatuses(ops_, records); });
  if (o.kind == RowOutcome::Ok) Progress(row, 1);
  return o;
}

RowOutcome ProjectTransfer::SendPrograms() {
  const ProjectRow row = ProjectRow::Programs;
  ProjectImage& image = session_.blocks.image;
  Started(row, kListedPrograms);
  if (!EnsureProgramVersion()) return Outcome(RowOutcome::SetupUnavailable, kNoSetup);
  const int pages = ProgramRowPages(*programVersion_);
  session_.ileBlokProgram = pages;
  for (int n = 1; n <= kProgramSlots; ++n) Program(image, n).SetNumber(n);
  if (const auto error = ValidatePrograms(image, pages)) return Refusal(row, error->Message());
  for (int p = 1; p <= kListedPrograms; ++p) {
    if (stopRequested_) return Outcome(RowOutcome::Stopped);
    const ConstProgramRecord program = Program(image, p);
    for (int page = 0; page < pages; ++page) {
      const RowOutcome o = Write([&] { return WriteProgram(ops_, program, page, pages); },
                                 [&] { return PostWriteProgram(ops_, program, page, pages); });
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
  if (const auto error = ValidateWashingProgram(image, pages)) {
    return Refusal(row, error->Message());
  }
  for (int page = 0; page < pages; ++page) {
    const RowOutcome o = Write([&] { return WriteProgram(ops_, washing, page, pages); },
                               [&] { return PostWriteProgram(ops_, washing, page, pages); });
    if (o.kind != RowOutcome::Ok) return o;
    Progress(row, page + 1);
    Pump();
  }
  return Outcome(RowOutcome::Ok);
}

RowOutcome ProjectTransfer::SendAnalogOutputs() {
  const ProjectRow row = ProjectRow::AnalogOutputs;
  Started(row, 1);
  if (stopRequested_) return Outcome(RowOutcome::Stopped);
  // The layout follows the controller's program version, as in the analog-output window.
  if (!EnsureProgramVersion()) return Outcome(RowOutcome::SetupUnavailable, kNoSetup);
  const AnalogOutputLayout layout = AnalogOutputLayoutForVersion(*programVersion_);
  const ConstAnalogOutputBytes records = AnalogOutputRegion(session_.blocks.image);
  if (const auto error = ValidateAnalogOutputs(records, layout)) {
    return Refusal(row, error->Message());
  }
  const bool legacy = layout == AnalogOutputLayout::Legacy;
  const RowOutcome o = Write(
      [&] {
        return legacy ? WriteAnalogOutputsLegacy(ops_, records) : WriteAnalogOutputs(ops_, records);
      },
      [&] {
        return legacy ? PostWriteAnalogOutputsLegacy(ops_, records)
                      : PostWriteAnalogOutputs(ops_, records);
      });
  if (o.kind == RowOutcome::Ok) Progress(row, 1);
  return o;
}

RowOutcome ProjectTransfer::SendPid() {
  const ProjectRow row = ProjectRow::Pid;
  Started(row, 1);
  if (stopRequested_) return Outcome(RowOutcome::Stopped);
  const ConstPidBytes records = session_.blocks.pid.bytes();
  if (const auto error = ValidatePidRegulators(records)) return Refusal(row, error->Message());
  const RowOutcome o = Write([&] { return WritePidRegulators(ops_, records); },
                             [&] { return PostWritePidRegulators(ops_, records); });
  if (o.kind == RowOutcome::Ok) Progress(row, 1);
  return o;
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
  if (!summary.stopped) listener_.Message(kOperationComplete);
  if (comparison) {
    // Both blocks, so that a comparison changes nothing at all.
    std::copy_n(savedImage->data(), ProjectImage::kSize, blocks.image.data());
    std::copy_n(savedPid->data(), PidTable::kSize, blocks.pid.data());
  }
  running_ = false;
  return summary;
}

RowOutcome ProjectTransfer::ReadRow(ProjectRow row) {
  switch (row) {
    case ProjectRow::Setup:
      return ReadSetupRow();
    case ProjectRow::Relays:
      return ReadRelays();
    case ProjectRow::Processes:
    case ProjectRow::WashingProcesses:
      return ReadProcesses(row);
    case ProjectRow::Alarms:
      return ReadAlarms();
    case ProjectRow::SpecialStatuses:
      return ReadSpecialStatusesRow();
    case ProjectRow::Programs:
      return ReadPrograms();
    case ProjectRow::WashingProgram:
      return ReadWashingProgram();
    case ProjectRow::AnalogOutputs:
      return ReadAnalogOutputsRow();
    case ProjectRow::Pid:
      return ReadPid();
  }
  return {};
}

// Each transfer is decoded into a buffer of its own and stored when it succeeded, so a
// failed transfer leaves the project's records as they were.

RowOutcome ProjectTransfer::ReadSetupRow() {
  const ProjectRow row = ProjectRow::Setup;
  Started(row, 3);
  SetupBuffer setup{};
  const RowOutcome o =
      Read([&] { return ReadSetup(ops_, setup); }, [&] { return PostReadSetup(ops_); },
           [&] { return FetchSetup(ops_, setup); }, [&](int stage) { Progress(row, stage); });
  if (o.kind != RowOutcome::Ok) return o;
  std::copy(setup.begin(), setup.end(), ImageSetup(session_.blocks.image).begin());
  // The same block carries the program version the program rows need.
  programVersion_ = ConstSetupBlock(setup.data()).ProgramVersion();
  if (!ops_.ModulePath()) Progress(row, 3);
  return o;
}

RowOutcome ProjectTransfer::ReadRelays() {
  const ProjectRow row = ProjectRow::Relays;
  ProjectImage& image = session_.blocks.image;
  Started(row, kRelayBlocks);
  for (int b = 0; b < kRelayBlocks; ++b) {
    if (stopRequested_) return Outcome(RowOutcome::Stopped);
    RelayBlockBuffer block{};
    const RowOutcome o = Read([&] { return ReadRelayBlock(ops_, b, block); },
                              [&] { return PostReadRelayBlock(ops_, b); },
                              [&] { return FetchRelayBlock(ops_, b, block); });
    if (o.kind != RowOutcome::Ok) return o;
    for (int k = 0; k < kRelaysPerBlock && kRelaysPerBlock * b + k < kRelayCount; ++k) {
      std::copy_n(block.data() + k * RelayRecord::kSize, RelayRecord::kSize,
                  Relay(image, kRelaysPerBlock * b + k + 1).data());
    }
    Progress(row, b + 1);
    Pump();
  }
  return Outcome(RowOutcome::Ok);
}

RowOutcome ProjectTransfer::ReadProcesses(ProjectRow row) {
  ProjectImage& image = session_.blocks.image;
  const ProcessSet set = SetOf(row);
  Started(row, kProcessBlocks);
  for (int b = 0; b < kProcessBlocks; ++b) {
    if (stopRequested_) return Outcome(RowOutcome::Stopped);
    ProcessBlockBuffer block{};
    const RowOutcome o = Read([&] { return ReadProcessBlock(ops_, set, b, block); },
                              [&] { return PostReadProcessBlock(ops_, set, b); },
                              [&] { return FetchProcessBlock(ops_, b, block); });
    if (o.kind != RowOutcome::Ok) return o;
    std::copy(block.begin(), block.end(), Process(image, set, kProcessesPerBlock * b + 1).data());
    Progress(row, b + 1);
    Pump();
  }
  listener_.RowResult(row, Outcome(RowOutcome::Ok));
  // The block reads leave the presets zero; they come from the table of all sixteen. A failure
  // here is reported: "OK" would hide presets that were never read.
  std::vector<std::uint8_t> all(ProcessSetRegion(image, set).begin(),
                                ProcessSetRegion(image, set).end());
  const ProcessSetBytes buffer(all.data(), all.size());
  RowOutcome presets = Read([&] { return ReadProcessPresetTable(ops_, set, buffer); },
                            [&] { return PostReadProcessPresetTable(ops_, set); },
                            [&] { return FetchProcessPresetTable(ops_, buffer); });
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

RowOutcome ProjectTransfer::ReadAlarms() {
  const ProjectRow row = ProjectRow::Alarms;
  ProjectImage& image = session_.blocks.image;
  Started(row, kAlarmBlocks);
  for (int b = 0; b < kAlarmBlocks; ++b) {
    if (stopRequested_) return Outcome(RowOutcome::Stopped);
    AlarmBlockBuffer block{};
    const RowOutcome o = Read([&] { return ReadAlarmBlock(ops_, b, block); },
                              [&] { return PostReadAlarmBlock(ops_, b); },
                              [&] { return FetchAlarmBlock(ops_, b, block); });
    if (o.kind != RowOutcome::Ok) return o;
    for (int k = 0; k < kAlarmsPerBlock && kAlarmsPerBlock * b + k < kAlarmCount; ++k) {
      std::copy_n(block.data() + k * AlarmRecord::kSize, AlarmRecord::kSize,
                  Alarm(image, kAlarmsPerBlock * b + k + 1).data());
    }
    Progress(row, b + 1);
    Pump();
  }
  return Outcome(RowOutcome::Ok);
}

RowOutcome ProjectTransfer::ReadSpecialStatusesRow() {
  const ProjectRow row = ProjectRow::SpecialStatuses;
  ProjectImage& image = session_.blocks.image;
  Started(row, 3);
  std::array<std::uint8_t, kSpecialStatusCount * SpecialStatusRecord::kSize> records{};
  const RowOutcome o = Read([&] { return ReadSpecialStatuses(ops_, records); },
                            [&] { return PostReadSpecialStatuses(ops_); },
                            [&] { return FetchSpecialStatuses(ops_, records); },
                            [&](int stage) { Progress(row, stage); });
  if (o.kind != RowOutcome::Ok) return o;
  std::copy(records.begin(), records.end(), SpecialStatusRegion(image).begin());
  ApplyFixedNames(image);
  if (!ops_.ModulePath()) Progress(row, 3);
  return o;
}

RowOutcome ProjectTransfer::ReadPrograms() {
  const ProjectRow row = ProjectRow::Programs;
  ProjectImage& image = session_.blocks.image;
  Started(row, kListedPrograms);
  if (!EnsureProgramVersion()) return Outcome(RowOutcome::SetupUnavailable, kNoSetup);
  const int pages = ProgramRowPages(*programVersion_);
  session_.ileBlokProgram = pages;
  std::vector<std::uint8_t> buffer(ProgramRecord::kSize);
  const ProgramRecord working(buffer.data());
  for (int p = 1; p <= kListedPrograms; ++p) {
    if (stopRequested_) return Outcome(RowOutcome::Stopped);
    const ProgramRecord target = Program(image, p);
    std::copy_n(target.data(), ProgramRecord::kSize, buffer.data());
    for (int page = 0; page < pages; ++page) {
      const RowOutcome o = Read([&] { return ReadProgram(ops_, working, p - 1, page, pages); },
                                [&] { return PostReadProgram(ops_, p - 1, page); },
                                [&] { return FetchProgram(ops_, working, page, pages); });
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
  for (int page = 0; page < pages; ++page) {
    Progress(row, page + 1);
    const RowOutcome o = Read([&] { return ReadProgram(ops_, working, kWashingSlot, page, pages); },
                              [&] { return PostReadProgram(ops_, kWashingSlot, page); },
                              [&] { return FetchProgram(ops_, working, page, pages); });
    if (o.kind != RowOutcome::Ok) return o;
    std::copy_n(buffer.data(), ProgramRecord::kSize, target.data());
    Pump();
  }
  target.Name().SetBytes(kWashingProgramName);
  return Outcome(RowOutcome::Ok);
}

RowOutcome ProjectTransfer::ReadAnalogOutputsRow() {
  const ProjectRow row = ProjectRow::AnalogOutputs;
  Started(row, 1);
  if (stopRequested_) return Outcome(RowOutcome::Stopped);
  if (!EnsureProgramVersion()) return Outcome(RowOutcome::SetupUnavailable, kNoSetup);
  const bool legacy = AnalogOutputLayoutForVersion(*programVersion_) == AnalogOutputLayout::Legacy;
  std::array<std::uint8_t, kAnalogOutputCount * AnalogOutputRecord::kSize> records{};
  const RowOutcome o = Read(
      [&] {
        return legacy ? ReadAnalogOutputsLegacy(ops_, records) : ReadAnalogOutputs(ops_, records);
      },
      [&] { return PostReadAnalogOutputs(ops_); },
      [&] {
        return legacy ? FetchAnalogOutputsLegacy(ops_, records) : FetchAnalogOutputs(ops_, records);
      });
  if (o.kind != RowOutcome::Ok) return o;
  std::copy(records.begin(), records.end(), AnalogOutputRegion(session_.blocks.image).begin());
  Progress(row, 1);
  return o;
}

RowOutcome ProjectTransfer::ReadPid() {
  const ProjectRow row = ProjectRow::Pid;
  Started(row, 1);
  if (stopRequested_) return Outcome(RowOutcome::Stopped);
  std::array<std::uint8_t, pid::kSize> records{};
  const RowOutcome o = Read([&] { return ReadPidRegulators(ops_, records); },
                            [&] { return PostReadPidRegulators(ops_); },
                            [&] { return FetchPidRegulators(ops_, records); });
  if (o.kind != RowOutcome::Ok) return o;
  std::copy(records.begin(), records.end(), session_.blocks.pid.data());
  Progress(row, 1);
  return o;
}

}  // namespace qdx
