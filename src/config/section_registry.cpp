#include "config/section_registry.h"

#include <algorithm>
#include <array>

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
using Fields = std::vector<SectionField>;
using enum FieldKind;

// Of the reserved bytes after a record's relay outputs, comparison looks at this many.
constexpr std::size_t kComparedReservedSize = 32;

Fields NoFields(AnalogOutputLayout) {
  return {};
}

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

// --- field tables ---

Fields SetupFields(AnalogOutputLayout) {
  // Words 0..69 only: the rest is the controller's own (panel layout, program version, ...).
  static const std::array<QByteArray, 70> names = [] {
    std::array<QByteArray, 70> n;
    for (std::size_t w = 0; w < n.size(); ++w) n[w] = "word " + QByteArray::number(int(w));
    return n;
  }();
  Fields f;
  for (std::size_t w = 0; w < names.size(); ++w) f.push_back({names[w].constData(), w * 2, S16});
  return f;
}

Fields RelayFields(AnalogOutputLayout) {
  using R = RelayRecord;
  return {
      {"number", R::kNumberOffset, S32},
      {"name", R::kNameOffset, Name, R::kNameCapacity},
      {"time type", R::kTimeTypeOffset, S32},
      {"Ta", R::kTimeTaOffset, S32},
      {"Tb", R::kTimeTbOffset, S32},
      {"regulator type", R::kRegulatorTypeOffset, S32},
      {"channel and set value", R::kChannelWordOffset, S32},
      {"bytes 56..59", R::kReserved1Offset, S32},
      {"offset", R::kRegulatorOffsetOffset, S32},
      {"regulator window", R::kRegulatorWindowOffset, S32},
      {"lower hysteresis", R::kLowerHysteresisOffset, S32},
      {"upper hysteresis", R::kUpperHysteresisOffset, S32},
  };
}

Fields ProcessFields(AnalogOutputLayout) {
  using P = ProcessRecord;
  Fields f = {
      {"number", P::kNumberOffset, S32},
      {"name", P::kNameOffset, Name, P::kNameCapacity},
      {"step end condition", P::kStepEndConditionOffset, S32},
      {"relay outputs", P::kOutputsOffset, Outputs},
      {"reserved", P::kReserved1Offset, Reserved, P::kReserved1Size},
  };
  static constexpr std::array<const char*, P::kPresetCount> kPresets = {"SP1", "SP2", "SP3", "SP4",
                                                                       "SP5"};
  for (std::size_t k = 0; k < kPresets.size(); ++k) {
    f.push_back({kPresets[k], P::kPresetsOffset + 2 * k, S16});
  }
  return f;
}

Fields AlarmFields(AnalogOutputLayout) {
  using A = AlarmRecord;
  return {
      {"number", A::kNumberOffset, S32},
      {"message", A::kNameOffset, Name, A::kNameCapacity},
      {"delay time", A::kDelayTimeOffset, S32},
      {"alarm status", A::kAlarmStatusOffset, S32},
      {"relay logic", A::kRelayLogicOffset, S32},
      {"relay outputs", A::kOutputsOffset, Outputs},
      {"reserved", A::kReservedOffset, Reserved, kComparedReservedSize},
  };
}

Fields SpecialStatusFields(AnalogOutputLayout) {
  using S = SpecialStatusRecord;
  return {
      {"number", S::kNumberOffset, S32},
      {"name", S::kNameOffset, Name, S::kNameCapacity},
      {"switch-off time", S::kSwitchOffTimeOffset, S32},
      {"relay logic", S::kRelayLogicOffset, S32},
      {"relay outputs", S::kOutputsOffset, Outputs},
      {"reserved", S::kReservedOffset, Reserved, kComparedReservedSize},
  };
}

Fields ProgramFields(AnalogOutputLayout) {
  using P = ProgramRecord;
  return {
      {"name", P::kNameOffset, Name, P::kNameCapacity},
      {"steps", P::kStepsOffset, Steps},
      {"program number", P::kNumberOffset, S32},
  };
}

// The whole record: the name as a text, every other byte as it is, the step count by meaning.
Fields WashingProgramFields(AnalogOutputLayout) {
  using P = ProgramRecord;
  return {
      {"name", P::kNameOffset, Name, P::kNameCapacity},
      {"padding", P::kPaddingOffset, Reserved, 1},
      {"steps", P::kStepsOffset, Steps},
      {"program number", P::kNumberOffset, S32},
      {"reserved", P::kReservedOffset, Reserved, P::kReservedSize},
      {"step count", P::kStepCountOffset, StepCount},
  };
}

// The fields the layout carries: the output's own PID values in the legacy layout, the PID
// number in the current one.
Fields AnalogOutputFields(AnalogOutputLayout layout) {
  using A = AnalogOutputRecord;
  Fields f = {
      {"name", A::kNameOffset, Name, A::kNameCapacity},
      {"type", A::kTypeOffset, U16},
      {"measurement channel", A::kChannelOffset, U16},
      {"set value", A::kSetValueOffset, U16},
      {"value for 0 V", A::kValueAt0VOffset, S32},
      {"value for 10 V", A::kValueAt10VOffset, S32},
      {"Stop", A::kStopSetValueOffset, S32},
      {"Pause", A::kPauseSetValueOffset, S32},
  };
  if (layout == AnalogOutputLayout::Legacy) {
    f.push_back({"sample", A::kSamplePeriodOffset, Double});
    f.push_back({"gain", A::kLoopGainOffset, Double});
    f.push_back({"Ti", A::kIntegralTimeOffset, Double});
    f.push_back({"Td", A::kDerivativeTimeOffset, Double});
  }
  static constexpr std::array<const char*, 4> kFunctions = {"F1", "F2", "F3", "F4"};
  for (std::size_t k = 0; k < kFunctions.size(); ++k) {
    f.push_back({kFunctions[k], A::kFunctionSetValuesOffset + 4 * k, S32});
  }
  if (layout == AnalogOutputLayout::Current) f.push_back({"PID number", A::kPidNumberOffset, U8});
  return f;
}

Fields PidFields(AnalogOutputLayout) {
  using P = PidRecord;
  return {
      {"type", P::kTypeOffset, U16},           {"measurement channel", P::kChannelOffset, U16},
      {"set value", P::kSetValueOffset, U16},  {"Tp", P::kSamplePeriodOffset, Double},
      {"Xp", P::kLoopGainOffset, Double},      {"Ti", P::kIntegralTimeOffset, Double},
      {"Td", P::kDerivativeTimeOffset, Double}, {"To", P::kPulsePeriodOffset, Double},
  };
}

// --- entries ---

SectionEntry Entry(SectionId id, const char* qdxName, const char* caption, const char* title) {
  SectionEntry e{id, qdxName, caption, caption, title, LayoutOf(id), {}, {}, {}, {}, NoFields};
  e.validate = [](const ProjectBlocks&, const CodecContext&) { return std::vector<EncodeError>{}; };
  return e;
}

SectionEntry SetupEntry() {
  SectionEntry e = Entry(SectionId::Setup, "setup", "Setup", "setup");
  e.fields = SetupFields;
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
  e.fields = RelayFields;
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
  e.fields = ProcessFields;
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
  e.fields = AlarmFields;
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
  e.fields = SpecialStatusFields;
  return e;
}

SectionEntry ProgramEntry() {
  SectionEntry e = Entry(SectionId::Programs, "programs", "Programs", "programs");
  e.renumber = NumberEverySlot<ProgramRecord>(e.id);  // all 100, although 1..99 travel
  e.fields = ProgramFields;
  return e;
}

SectionEntry WashingProgramEntry() {
  SectionEntry e =
      Entry(SectionId::WashingProgram, "washing-program", "Program WASHING", "washing program");
  e.fields = WashingProgramFields;
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
  e.fields = AnalogOutputFields;
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
  e.fields = PidFields;
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
