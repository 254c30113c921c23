#include "config/section_registry.h"

#include <algorithm>

#include "files/project_defaults.h"
#include "model/records.h"
#include "link/alarm_transactions.h"
#include "link/pid_transactions.h"
#include "link/process_transactions.h"
#include "link/program_transactions.h"
#include "link/relay_transactions.h"
#include "link/special_status_transactions.h"

namespace qdx {

namespace {

using Bytes = std::span<std::uint8_t>;
using ConstBytes = std::span<const std::uint8_t>;

// Sets the number of every record to its slot.
template <typename View>
std::function<void(ProjectBlocks&)> NumberEverySlot(SectionId id) {
  return [id](ProjectBlocks& blocks) {
    const Bytes region = SectionBytes(blocks, id);
    for (std::size_t n = 1; n <= LayoutOf(id).count; ++n) {
      View(region.data() + (n - 1) * View::kSize).SetNumber(static_cast<std::int32_t>(n));
    }
  };
}

// Both process sets, whichever the row or window moves.
void NumberBothProcessSets(ProjectBlocks& blocks) {
  NumberEverySlot<ProcessRecord>(SectionId::Processes)(blocks);
  NumberEverySlot<ProcessRecord>(SectionId::WashingProcesses)(blocks);
}

SectionEntry Entry(SectionId id, const char* qdxName, const char* caption, const char* title) {
  SectionEntry e{id, qdxName, caption, caption, title, LayoutOf(id), {}, {}, {}, {},
                 RecordFieldsOf(id)};
  e.validate = [](const ProjectBlocks&, const CodecContext&) { return std::vector<EncodeError>{}; };
  return e;
}

SectionEntry SetupEntry() {
  SectionEntry e = Entry(SectionId::Setup, "setup", "Setup", "setup");
  return e;
}

SectionEntry RelayEntry() {
  SectionEntry e = Entry(SectionId::Relays, "relays", "Relays", "relays");
  e.blocks = BlockGeometry{
      kRelaysPerBlock, kRelayBlockReplyLength, RelayBlockReadMessage,
      [](int b, Bytes buf, const CodecContext& c) {
        return RelayBlockDecoder(b, RelayBlockBytes(buf.data(), buf.size()), c.codePageIndex);
      },
      [](int b, ConstBytes r, const CodecContext& c) {
        return RelayBlockWriteMessage(b, ConstRelayBlockBytes(r.data(), r.size()),
                                      c.codePageIndex);
      }};
  e.validate = [](const ProjectBlocks& b, const CodecContext&) { return ValidateRelays(b.image); };
  e.renumber = NumberEverySlot<RelayRecord>(e.id);
  return e;
}

SectionEntry ProcessEntry(SectionId id, const char* qdxName, const char* caption,
                          const char* title) {
  SectionEntry e = Entry(id, qdxName, caption, title);
  const ProcessSet set = ProcessSetOf(id);
  e.blocks = BlockGeometry{
      kProcessesPerBlock, kProcessBlockReplyLength,
      [set](int b) { return ProcessBlockReadMessage(set, b); },
      [](int b, Bytes buf, const CodecContext& c) {
        return ProcessBlockDecoder(b, ProcessBlockBytes(buf.data(), buf.size()), c.codePageIndex);
      },
      [set](int b, ConstBytes r, const CodecContext& c) {
        return ProcessBlockWriteMessage(set, b, ConstProcessBlockBytes(r.data(), r.size()),
                                        c.codePageIndex);
      }};
  e.validate = [set](const ProjectBlocks& b, const CodecContext&) {
    return ValidateProcesses(b.image, set);
  };
  e.renumber = NumberBothProcessSets;
  return e;
}

SectionEntry AlarmEntry() {
  SectionEntry e = Entry(SectionId::Alarms, "alarms", "Alarms", "alarms");
  e.blocks = BlockGeometry{
      kAlarmsPerBlock, kAlarmBlockReplyLength, AlarmBlockReadMessage,
      [](int b, Bytes buf, const CodecContext& c) {
        return AlarmBlockDecoder(b, AlarmBlockBytes(buf.data(), buf.size()), c.codePageIndex);
      },
      [](int b, ConstBytes r, const CodecContext& c) {
        return AlarmBlockWriteMessage(b, ConstAlarmBlockBytes(r.data(), r.size()),
                                      c.codePageIndex);
      }};
  e.validate = [](const ProjectBlocks& b, const CodecContext&) { return ValidateAlarms(b.image); };
  e.renumber = NumberEverySlot<AlarmRecord>(e.id);
  return e;
}

SectionEntry SpecialStatusEntry() {
  SectionEntry e =
      Entry(SectionId::SpecialStatuses, "special-statuses", "Special statuses", "special statuses");
  e.blocks = BlockGeometry{
      kSpecialStatusCount, kSpecialStatusesReplyLength,
      [](int) { return SpecialStatusesReadMessage(); },
      [](int, Bytes buf, const CodecContext&) {
        return SpecialStatusesDecoder(SpecialStatusBytes(buf.data(), buf.size()));
      },
      [](int, ConstBytes r, const CodecContext&) {
        return SpecialStatusesWriteMessage(ConstSpecialStatusBytes(r.data(), r.size()));
      }};
  e.validate = [](const ProjectBlocks& b, const CodecContext&) {
    return ValidateSpecialStatuses(b.image);
  };
  e.renumber = NumberEverySlot<SpecialStatusRecord>(e.id);
  // Names do not travel: the controller's statuses get the fixed names back.
  e.afterRead = [](ProjectBlocks& b) { ApplyFixedNames(b.image); };
  return e;
}

SectionEntry ProgramEntry() {
  SectionEntry e = Entry(SectionId::Programs, "programs", "Programs", "programs");
  e.renumber = NumberEverySlot<ProgramRecord>(e.id);  // all 100, although 1..99 travel
  return e;
}

SectionEntry WashingProgramEntry() {
  SectionEntry e =
      Entry(SectionId::WashingProgram, "washing-program", "Program WASHING", "washing program");
  return e;
}

SectionEntry AnalogOutputEntry() {
  SectionEntry e =
      Entry(SectionId::AnalogOutputs, "analog-outputs", "Analog OUT", "analog outputs");
  e.blocks = BlockGeometry{
      kAnalogOutputCount, kAnalogOutputsReplyLength, [](int) { return AnalogOutputsReadMessage(); },
      [](int, Bytes buf, const CodecContext& c) {
        return AnalogOutputsDecoder(c.layout, AnalogOutputBytes(buf.data(), buf.size()),
                                    c.codePageIndex);
      },
      [](int, ConstBytes r, const CodecContext& c) {
        return AnalogOutputsWriteMessage(c.layout, ConstAnalogOutputBytes(r.data(), r.size()),
                                         c.codePageIndex);
      }};
  e.validate = [](const ProjectBlocks& b, const CodecContext& c) {
    return ValidateAnalogOutputs(b.image, c.layout);
  };
  return e;
}

SectionEntry PidEntry() {
  SectionEntry e = Entry(SectionId::Pid, "pid", " PID ", "PID regulators");
  e.readCaption = "PID ";
  e.blocks = BlockGeometry{
      kPidCount, kPidRegulatorsReplyLength, [](int) { return PidRegulatorsReadMessage(); },
      [](int, Bytes buf, const CodecContext&) {
        return PidRegulatorsDecoder(PidBytes(buf.data(), buf.size()));
      },
      [](int, ConstBytes r, const CodecContext&) {
        return PidRegulatorsWriteMessage(ConstPidBytes(r.data(), r.size()));
      }};
  e.validate = [](const ProjectBlocks& b, const CodecContext&) {
    return ValidatePidRegulators(b.pid.bytes());
  };
  return e;
}

std::vector<SectionEntry> MakeSections() {
  return {SetupEntry(),
          RelayEntry(),
          ProcessEntry(SectionId::Processes, "processes", "Processes", "processes"),
          ProcessEntry(SectionId::WashingProcesses, "washing-processes", "Processes WASHING",
                       "washing processes"),
          AlarmEntry(),
          SpecialStatusEntry(),
          ProgramEntry(),
          WashingProgramEntry(),
          AnalogOutputEntry(),
          PidEntry(),
          Entry(SectionId::Passwords, "passwords", "Passwords", "passwords")};
}

}  // namespace

std::vector<std::uint8_t> SectionEntry::WriteBlock(std::span<const std::uint8_t> region,
                                                   int block) const {
  const std::size_t size = recordSize();
  std::vector<std::uint8_t> out(blockSize());
  for (int k = 0; k < blocks->perBlock; ++k) {
    const int n = block * blocks->perBlock + k + 1;
    const int from = n <= slotCount() ? n : 1;
    std::copy_n(region.begin() + static_cast<std::ptrdiff_t>(std::size_t(from - 1) * size), size,
                out.begin() + static_cast<std::ptrdiff_t>(std::size_t(k) * size));
  }
  return out;
}

void SectionEntry::StoreBlock(std::span<const std::uint8_t> buffer, std::span<std::uint8_t> region,
                              int block) const {
  const std::size_t size = recordSize();
  for (int k = 0; k < blocks->perBlock; ++k) {
    const int n = block * blocks->perBlock + k + 1;
    if (n > slotCount()) break;  // a filler position
    std::copy_n(buffer.begin() + static_cast<std::ptrdiff_t>(std::size_t(k) * size), size,
                region.begin() + static_cast<std::ptrdiff_t>(std::size_t(n - 1) * size));
  }
}

const std::vector<SectionEntry>& AllSections() {
  static const std::vector<SectionEntry> sections = MakeSections();
  return sections;
}

const SectionEntry& Section(SectionId id) {
  return AllSections()[static_cast<std::size_t>(id)];
}

std::optional<SectionId> SectionFromQdxName(const QString& name) {
  for (const SectionEntry& e : AllSections()) {
    if (name == QLatin1String(e.qdxName)) return e.id;
  }
  return std::nullopt;
}

ProcessSet ProcessSetOf(SectionId id) {
  return id == SectionId::WashingProcesses ? ProcessSet::Washing : ProcessSet::Normal;
}

}  // namespace qdx
