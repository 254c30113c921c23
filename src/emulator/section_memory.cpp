#include "emulator/section_memory.h"

#include "emulator/command_codes.h"
#include "model/bytes.h"
#include "link/frame.h"
#include "link/program_transactions.h"

namespace qdx {
namespace {

constexpr int kRelayEntry = 40;
constexpr int kRelayCount = 32;
constexpr int kRelaysPerBlock = 6;
constexpr int kAlarmEntry = 22;
constexpr int kAlarmCount = 21;
constexpr int kAlarmsPerBlock = 12;
constexpr int kSpecialEntry = 7;
constexpr int kSpecialCount = 6;
constexpr int kBodyEntry = 19;
constexpr int kProcessCount = 16;
constexpr int kProcessesPerBlock = 8;
constexpr int kPresetsEntry = 10;
constexpr int kPidEntry = 23;
constexpr int kPidCount = 5;
constexpr int kPasswordEntry = 6;
constexpr int kPasswordCount = 37;
constexpr int kAnalogCount = 5;
constexpr int kAnalogEntry = 34;
constexpr int kAnalogLegacyEntry = 49;
// Analog-output and PID answers carry 246 data bytes whatever their entries take.
constexpr int kOutputsAnswerSize = 246;
constexpr int kWashingPresetsBase = 100;

std::uint8_t At(const QByteArray& bytes, int index) {
  return static_cast<std::uint8_t>(bytes[index]);
}

const std::uint8_t* Ptr(const QByteArray& bytes, int index) {
  return reinterpret_cast<const std::uint8_t*>(bytes.constData()) + index;
}

// Entries first..first + count - 1 of a table; positions beyond the table answer zeros.
QByteArray Entries(const QByteArray& table, int entrySize, int first, int count) {
  QByteArray out(entrySize * count, '\0');
  const int have = static_cast<int>(table.size()) / entrySize;
  for (int k = 0; k < count && first + k < have; ++k) {
    out.replace(k * entrySize, entrySize, table.mid((first + k) * entrySize, entrySize));
  }
  return out;
}

// Stores entries into a table from position first; positions beyond the table (the fillers of
// the last block) are dropped.
void Store(QByteArray& table, int entrySize, int first, const QByteArray& entries) {
  const int have = static_cast<int>(table.size()) / entrySize;
  const int count = static_cast<int>(entries.size()) / entrySize;
  for (int k = 0; k < count && first + k < have; ++k) {
    table.replace((first + k) * entrySize, entrySize, entries.mid(k * entrySize, entrySize));
  }
}

int SetIndex(std::uint8_t command) {
  return command == cmd::kBodiesWashing || command == cmd::kProcessWashing ? 1 : 0;
}

}  // namespace

SectionMemory::SectionMemory()
    : relays(kRelayCount * kRelayEntry, '\0'),
      alarms(kAlarmCount * kAlarmEntry, '\0'),
      specials(kSpecialCount * kSpecialEntry, '\0'),
      bodies{QByteArray(kProcessCount * kBodyEntry, '\0'),
             QByteArray(kProcessCount * kBodyEntry, '\0')},
      presets{QByteArray(kProcessCount * kPresetsEntry, '\0'),
              QByteArray(kProcessCount * kPresetsEntry, '\0')},
      pids(kPidCount * kPidEntry, '\0'),
      passwords(kPasswordCount * kPasswordEntry, '\0') {}

std::optional<QByteArray> SectionMemory::Handle(std::uint8_t classLetter, std::uint8_t command,
                                                const QByteArray& params,
                                                std::int16_t programVersion) {
  if (classLetter == kClassRead) return Read(command, params, programVersion);
  if (classLetter == kClassWrite) {
    std::optional<QByteArray> answer = Write(command, params, programVersion);
    if (answer) ++writes;
    return answer;
  }
  return std::nullopt;
}

std::optional<QByteArray> SectionMemory::Read(std::uint8_t command, const QByteArray& params,
                                              std::int16_t programVersion) const {
  const int size = static_cast<int>(params.size());
  const int p0 = size > 0 ? At(params, 0) : -1;
  switch (command) {
    case cmd::kRelays:
      if (size != 1 || p0 >= (kRelayCount + kRelaysPerBlock - 1) / kRelaysPerBlock) break;
      return params + Entries(relays, kRelayEntry, p0 * kRelaysPerBlock, kRelaysPerBlock);
    case cmd::kAlarms:
      if (size != 1 || p0 >= (kAlarmCount + kAlarmsPerBlock - 1) / kAlarmsPerBlock) break;
      return params + Entries(alarms, kAlarmEntry, p0 * kAlarmsPerBlock, kAlarmsPerBlock);
    case cmd::kSpecials:
      if (size != 0) break;
      return specials;
    case cmd::kBodiesNormal:
    case cmd::kBodiesWashing:
      if (size != 1 || p0 >= kProcessCount / kProcessesPerBlock) break;
      return params + Entries(bodies[SetIndex(command)], kBodyEntry, p0 * kProcessesPerBlock,
                              kProcessesPerBlock);
    case cmd::kPresetTable:
      if (size != 1 || p0 > 1) break;
      return params + presets[p0];
    case cmd::kProgram:
      return ReadProgramPage(params, programVersion);
    case cmd::kAnalogOutputs:
      if (size != 1) break;
      return ReadAnalogOutputs(programVersion < 600);
    case cmd::kPid: {
      if (size != 1) break;
      QByteArray data = QByteArray(1, '\0') + pids;
      data.append(kOutputsAnswerSize - data.size(), '\0');
      return data;
    }
    case cmd::kPasswords:
      if (size != 0) break;
      return passwords;
    default:
      break;
  }
  return std::nullopt;
}

std::optional<QByteArray> SectionMemory::Write(std::uint8_t command, const QByteArray& params,
                                               std::int16_t programVersion) {
  const int size = static_cast<int>(params.size());
  const int p0 = size > 0 ? At(params, 0) : -1;
  const QByteArray rest = params.mid(1);
  switch (command) {
    case cmd::kRelays:
      if (size != 1 + kRelaysPerBlock * kRelayEntry || p0 * kRelaysPerBlock >= kRelayCount) break;
      Store(relays, kRelayEntry, p0 * kRelaysPerBlock, rest);
      return QByteArray();
    case cmd::kAlarms:
      if (size != 1 + kAlarmsPerBlock * kAlarmEntry || p0 * kAlarmsPerBlock >= kAlarmCount) break;
      Store(alarms, kAlarmEntry, p0 * kAlarmsPerBlock, rest);
      return QByteArray();
    case cmd::kAlarm:
      if (size != 1 + kAlarmEntry || p0 >= kAlarmCount) break;
      Store(alarms, kAlarmEntry, p0, rest);
      return QByteArray();
    case cmd::kSpecials:
      if (size != kSpecialCount * kSpecialEntry) break;
      specials = params;
      return QByteArray();
    case cmd::kSpecial:
      if (size != 1 + kSpecialEntry || p0 >= kSpecialCount) break;
      Store(specials, kSpecialEntry, p0, rest);
      return QByteArray();
    case cmd::kBodiesNormal:
    case cmd::kBodiesWashing:
      if (size != 1 + kProcessesPerBlock * kBodyEntry || p0 * kProcessesPerBlock >= kProcessCount)
        break;
      Store(bodies[SetIndex(command)], kBodyEntry, p0 * kProcessesPerBlock, rest);
      return QByteArray();
    case cmd::kProcessNormal:
    case cmd::kProcessWashing:
      if (size != 1 + kBodyEntry || p0 >= kProcessCount) break;
      Store(bodies[SetIndex(command)], kBodyEntry, p0, rest);
      return QByteArray();
    case cmd::kPresetTable:
      if (size != 1 + kProcessCount * kPresetsEntry || p0 > 1) break;
      presets[p0] = rest;
      return QByteArray();
    case cmd::kPresets: {
      if (size != 1 + kPresetsEntry) break;
      const int set = p0 >= kWashingPresetsBase ? 1 : 0;
      const int index = p0 - set * kWashingPresetsBase;
      if (index >= kProcessCount) break;
      Store(presets[set], kPresetsEntry, index, rest);
      return QByteArray();
    }
    case cmd::kProgram:
      if (!WriteProgramPage(params, programVersion)) break;
      return QByteArray();
    case cmd::kAnalogOutputs:
      if (size == 1 + kAnalogCount * kAnalogEntry) {
        WriteAnalogOutputs(rest, false);
      } else if (size == 1 + kAnalogCount * kAnalogLegacyEntry) {
        WriteAnalogOutputs(rest, true);
      } else {
        break;
      }
      return QByteArray();
    case cmd::kPid:
      if (size != 1 + kPidCount * kPidEntry) break;
      pids = rest;
      return QByteArray();
    case cmd::kPasswords:
      if (size != kPasswordCount * kPasswordEntry) break;
      passwords = params;
      return QByteArray();
    default:
      break;
  }
  return std::nullopt;
}

std::optional<QByteArray> SectionMemory::ReadProgramPage(const QByteArray& params,
                                                         std::int16_t programVersion) const {
  const auto layout = ProgramLayout(ProgramPagesForVersion(programVersion));
  if (!layout || params.size() != 2) return std::nullopt;
  const int page = At(params, 0);
  const int index = At(params, 1);
  if (page >= layout->pages || index >= kEmulatorProgramSlots) return std::nullopt;
  const EmulatorProgram& program = programs[static_cast<std::size_t>(index)];
  QByteArray data = params + program.name;
  for (int i = 0; i < layout->stepsPerPage; ++i) {
    const int step = page * layout->stepsPerPage + i;
    data.append(program.steps.mid(step * kEmulatorStepSize, layout->stepSize));
  }
  return data;
}

bool SectionMemory::WriteProgramPage(const QByteArray& params, std::int16_t programVersion) {
  const auto layout = ProgramLayout(ProgramPagesForVersion(programVersion));
  if (!layout ||
      params.size() != kProgramPageHeaderSize + layout->stepsPerPage * layout->stepSize) {
    return false;
  }
  const int page = At(params, 0);
  const int index = At(params, 1);
  if (page >= layout->pages || index >= kEmulatorProgramSlots) return false;
  EmulatorProgram& program = programs[static_cast<std::size_t>(index)];
  program.name = params.mid(2, 14);
  for (int i = 0; i < layout->stepsPerPage; ++i) {
    const int step = page * layout->stepsPerPage + i;
    // Short steps leave the work and pause time that a long step stored.
    program.steps.replace(
        step * kEmulatorStepSize, layout->stepSize,
        params.mid(kProgramPageHeaderSize + i * layout->stepSize, layout->stepSize));
  }
  return true;
}

QByteArray SectionMemory::ReadAnalogOutputs(bool legacy) const {
  QByteArray data(1, '\0');
  for (const EmulatorAnalogOutput& a : analogOutputs) {
    data.append(a.name);
    data.append(static_cast<char>(a.type));
    data.append(static_cast<char>(a.channel));
    data.append(static_cast<char>(a.setValue));
    if (!legacy) data.append(static_cast<char>(a.pidNumber));
    for (const std::uint16_t v : {a.valueAt0V, a.valueAt10V, a.stop, a.pause}) AppendBe16(data, v);
    if (legacy) {
      for (const std::uint32_t v : a.pidTimes100) AppendBe32(data, v);
    }
    for (const std::uint16_t v : a.functions) AppendBe16(data, v);
  }
  data.append(kOutputsAnswerSize - data.size(), '\0');
  return data;
}

void SectionMemory::WriteAnalogOutputs(const QByteArray& entries, bool legacy) {
  const int size = legacy ? kAnalogLegacyEntry : kAnalogEntry;
  for (int k = 0; k < kAnalogCount; ++k) {
    EmulatorAnalogOutput& a = analogOutputs[static_cast<std::size_t>(k)];
    const int e = k * size;
    a.name = entries.mid(e, 14);
    a.type = At(entries, e + 14);
    a.channel = At(entries, e + 15);
    a.setValue = At(entries, e + 16);
    int p = e + 17;
    if (!legacy) a.pidNumber = At(entries, p++);
    a.valueAt0V = ReadBe16(Ptr(entries, p));
    a.valueAt10V = ReadBe16(Ptr(entries, p + 2));
    a.stop = ReadBe16(Ptr(entries, p + 4));
    a.pause = ReadBe16(Ptr(entries, p + 6));
    p += 8;
    if (legacy) {
      for (int i = 0; i < 4; ++i)
        a.pidTimes100[static_cast<std::size_t>(i)] = ReadBe32(Ptr(entries, p + 4 * i));
      p += 16;
    }
    for (int i = 0; i < 4; ++i)
      a.functions[static_cast<std::size_t>(i)] = ReadBe16(Ptr(entries, p + 2 * i));
  }
}

}  // namespace qdx
