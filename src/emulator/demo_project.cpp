#include "emulator/demo_project.h"

#include <memory>

#include "model/records.h"
#include "emulator/section_memory.h"
#include "link/alarm_transactions.h"
#include "link/analog_output_transactions.h"
#include "link/password_transactions.h"
#include "link/pid_transactions.h"
#include "link/process_transactions.h"
#include "link/program_transactions.h"
#include "link/relay_transactions.h"
#include "link/special_status_transactions.h"

namespace qdx {
namespace {

// Regulator types and channels of the relay editor's lists.
constexpr int kRegHeatingHysteresis = 3;
constexpr int kRegCoolingHysteresis = 4;
constexpr int kRegHeatingProgress = 1;
constexpr int kChamber = 0;
constexpr int kCore = 1;
constexpr int kHumidity = 2;

struct DemoRelay {
  const char* name;
  int timeType;
  int ta;
  int tb;
  int regulatorType;
  int channel;
  int setValue;
  int offset;  // tenths
  int window;
  int lower;
  int upper;
};

const DemoRelay kRelays[] = {
    {"HEATER 1", 1, 0, 0, kRegHeatingHysteresis, kChamber, 0, 0, 0, 10, 10},
    {"HEATER 2", 1, 0, 0, kRegHeatingProgress, kChamber, 0, -20, 50, 0, 0},
    {"CIRCULATION", 1, 0, 0, 0, kChamber, 0, 0, 0, 0, 0},
    {"SMOKE GEN", 4, 30, 90, 0, kChamber, 0, 0, 0, 0, 0},
    {"STEAM VALVE", 1, 0, 0, kRegHeatingHysteresis, kHumidity, 2, 0, 0, 20, 20},
    {"EXHAUST FLAP", 2, 10, 0, kRegCoolingHysteresis, kHumidity, 2, 0, 0, 30, 30},
    {"FRESH AIR", 3, 0, 15, 0, kChamber, 0, 0, 0, 0, 0},
    {"WATER SPRAY", 4, 5, 55, 0, kChamber, 0, 0, 0, 0, 0},
    {"CORE PROBE", 0, 0, 0, kRegHeatingHysteresis, kCore, 1, 0, 0, 5, 5},
    {"DRAIN", 2, 20, 0, 0, kChamber, 0, 0, 0, 0, 0},
    {"LIGHT", 1, 0, 0, 0, kChamber, 0, 0, 0, 0, 0},
    {"ALARM HORN", 4, 1, 1, 0, kChamber, 0, 0, 0, 0, 0},
};

const char* const kProcesses[] = {"DRYING", "SMOKING",   "COOKING",    "STEAM COOK", "COOLING",
                                  "SHOWER", "HOT SMOKE", "COLD SMOKE", "REDDENING",  "PAUSE"};
const char* const kWashingProcesses[] = {"PRE-RINSE", "FOAM", "WASH", "RINSE", "DRYING"};

// Step end condition, outputs on, presets of the demo processes.
struct ProcessTraits {
  int endCondition;
  std::initializer_list<int> outputs;
  std::initializer_list<int> presets;
};

const ProcessTraits kProcessTraits[] = {
    {4, {1, 3, 6, 7}, {60, 0, 0, 0, 0}},  {4, {1, 3, 4}, {65, 0, 0, 0, 0}},
    {5, {1, 2, 3, 5}, {80, 72, 0, 0, 0}}, {5, {3, 5}, {85, 72, 95, 0, 0}},
    {0, {3, 7, 8}, {0, 0, 0, 0, 0}},      {0, {8, 10}, {0, 0, 0, 0, 0}},
    {4, {1, 2, 3, 4}, {90, 0, 0, 0, 0}},  {0, {3, 4}, {25, 0, 0, 0, 0}},
    {1, {1, 3, 4, 6}, {70, 0, 0, 0, 0}},  {0, {}, {0, 0, 0, 0, 0}},
};

struct DemoStep {
  int process;
  int hours;
  int minutes;
  int chamber;
  int core;
  int humidity;
  int delta;  // tenths
};

struct DemoProgram {
  const char* name;
  std::initializer_list<DemoStep> steps;
};

const DemoProgram kPrograms[] = {
    {"HAM",
     {{1, 1, 0, 60, 0, 0, 20},
      {2, 1, 30, 65, 0, 0, 20},
      {3, 4, 0, 80, 72, 90, 10},
      {6, 0, 15, 0, 0, 0, 0},
      {5, 0, 30, 20, 0, 0, 0}}},
    {"SAUSAGES",
     {{1, 0, 30, 55, 0, 0, 20},
      {9, 0, 20, 70, 0, 0, 15},
      {2, 0, 45, 68, 0, 0, 20},
      {4, 1, 0, 80, 70, 95, 10},
      {6, 0, 10, 0, 0, 0, 0}}},
    {"BACON", {{1, 2, 0, 50, 0, 0, 25}, {7, 3, 0, 90, 0, 0, 20}, {5, 1, 0, 20, 0, 0, 0}}},
    {"FISH COLD", {{1, 1, 0, 28, 0, 60, 10}, {8, 12, 0, 25, 0, 70, 10}}},
};

struct DemoAlarm {
  const char* message;
  int delay;
  int status;
  int logic;
  std::initializer_list<int> outputs;
};

const DemoAlarm kAlarms[] = {
    {"OVERHEAT", 10, 1, 0, {3, 12}},     {"DOOR OPEN", 5, 2, 2, {1, 2, 4}},
    {"FAN FAILURE", 3, 1, 0, {12}},      {"NO WATER", 30, 2, 1, {12}},
    {"PROBE 1 FAULT", 2, 1, 0, {12}},    {"PROBE 2 FAULT", 2, 2, 1, {12}},
    {"SMOKE GEN FAULT", 60, 2, 1, {12}}, {"POWER FAILURE", 0, 1, 0, {}},
};

void SetOutputs(RelayOutputStates outputs, std::initializer_list<int> on) {
  for (const int n : on) outputs.SetOn(n, true);
}

void BuildRelays(ProjectImage& image) {
  for (int n = 1; n <= kRelayCount; ++n) {
    const RelayRecord r = Relay(image, n);
    r.SetNumber(n);
    if (n > static_cast<int>(std::size(kRelays))) {
      r.Name().SetBytes(QByteArray("RELAY ") + QByteArray::number(n));
      continue;
    }
    const DemoRelay& d = kRelays[n - 1];
    r.Name().SetBytes(d.name);
    r.SetTimeType(d.timeType);
    r.SetTimeTa(d.ta);
    r.SetTimeTb(d.tb);
    r.SetRegulatorType(d.regulatorType);
    r.SetChannelWord(d.setValue * 256 + d.channel);
    r.SetRegulatorOffset(d.offset);
    r.SetRegulatorWindow(d.window);
    r.SetLowerHysteresis(d.lower);
    r.SetUpperHysteresis(d.upper);
  }
}

void BuildProcesses(ProjectImage& image) {
  for (int n = 1; n <= kProcessCount; ++n) {
    const ProcessRecord p = Process(image, ProcessSet::Normal, n);
    p.SetNumber(n);
    if (n <= static_cast<int>(std::size(kProcesses))) {
      const ProcessTraits& t = kProcessTraits[n - 1];
      p.Name().SetBytes(kProcesses[n - 1]);
      p.SetStepEndCondition(t.endCondition);
      SetOutputs(p.Outputs(), t.outputs);
      int k = 1;
      for (const int v : t.presets) p.SetPreset(k++, static_cast<std::int16_t>(v));
    }
    const ProcessRecord w = Process(image, ProcessSet::Washing, n);
    w.SetNumber(n);
    if (n <= static_cast<int>(std::size(kWashingProcesses))) {
      w.Name().SetBytes(kWashingProcesses[n - 1]);
      SetOutputs(w.Outputs(), {n + 7, 10});
      w.SetPreset(1, static_cast<std::int16_t>(40 + 5 * n));
    }
  }
}

void FillSteps(ProgramRecord program, std::initializer_list<DemoStep> steps) {
  int s = 1;
  for (const DemoStep& d : steps) {
    const ProgramStep step = program.Step(s++);
    step.SetProcessNumber(d.process);
    step.SetHours(d.hours);
    step.SetMinutes(d.minutes);
    step.SetChamberTemperature(d.chamber);
    step.SetCoreTemperature(d.core);
    step.SetHumidity(d.humidity);
    step.SetDelta(d.delta);
    step.SetOnOffDelta(1);
    step.SetWorkTime(d.process == 2 ? 300 : 0);
    step.SetPauseTime(d.process == 2 ? 120 : 0);
  }
}

void BuildPrograms(ProjectImage& image) {
  for (int n = 1; n <= kProgramSlots; ++n) {
    const ProgramRecord p = Program(image, n);
    p.SetNumber(n);
    p.SetStepCount(30);
    if (n <= static_cast<int>(std::size(kPrograms))) {
      p.Name().SetBytes(kPrograms[n - 1].name);
      FillSteps(p, kPrograms[n - 1].steps);
    }
  }
  const ProgramRecord washing = WashingProgram(image);
  washing.SetNumber(kWashingProgramNumber);
  washing.SetStepCount(30);
  washing.Name().SetBytes("WASHING");
  FillSteps(washing, {{1, 0, 5, 40, 0, 0, 0},
                      {2, 0, 10, 50, 0, 0, 0},
                      {3, 0, 20, 60, 0, 0, 0},
                      {4, 0, 10, 40, 0, 0, 0},
                      {5, 0, 15, 70, 0, 0, 0}});
}

void BuildAlarmsAndStatuses(ProjectImage& image) {
  for (int n = 1; n <= kAlarmCount; ++n) {
    const AlarmRecord a = Alarm(image, n);
    a.SetNumber(n);
    if (n > static_cast<int>(std::size(kAlarms))) {
      a.Message().SetBytes(QByteArray("ALARM ") + QByteArray::number(n));
      continue;
    }
    const DemoAlarm& d = kAlarms[n - 1];
    a.Message().SetBytes(d.message);
    a.SetDelayTime(d.delay);
    a.SetAlarmStatus(d.status);
    a.SetRelayLogic(d.logic);
    SetOutputs(a.Outputs(), d.outputs);
  }
  const char* const names[] = {"Stop mode", "Pause mode", "F1", "F2", "F3", "F4"};
  for (int n = 1; n <= kSpecialStatusCount; ++n) {
    const SpecialStatusRecord s = SpecialStatus(image, n);
    s.SetNumber(n);
    s.Name().SetBytes(names[n - 1]);
    s.SetSwitchOffTime(n == 1 ? -1 : 600 * n);
    s.SetRelayLogic(n == 1 ? 0 : 1);
    if (n == 2) SetOutputs(s.Outputs(), {3});
    if (n >= 3) SetOutputs(s.Outputs(), {n + 8});
  }
}

void BuildOutputsAndRegulators(ProjectImage& image, PidTable& table) {
  const char* const names[] = {"DAMPER", "FAN SPEED", "STEAM", "SMOKE", "SPARE"};
  for (int n = 1; n <= kAnalogOutputCount; ++n) {
    const AnalogOutputRecord a = AnalogOutput(image, n);
    a.Name().SetBytes(names[n - 1]);
    a.SetOutputType(n <= 2 ? 2 : n == 5 ? 0 : 1);
    a.SetChannel(n <= 2 ? n - 1 : 2);
    a.SetSetValue(n <= 2 ? n - 1 : 2);
    a.SetPidNumber(static_cast<std::uint8_t>(n <= 2 ? n - 1 : 0));
    a.SetValueAt0V(0);
    a.SetValueAt10V(n == 2 ? 100 : 1000);
    a.SetStopSetValue(0);
    a.SetPauseSetValue(n == 2 ? 30 : 0);
    a.SetSamplePeriod(2);
    a.SetGain(1.5);
    a.SetIntegralTime(120);
    a.SetDerivativeTime(10);
    for (int k = 1; k <= 4; ++k) a.SetFunctionSetValue(k, n == 2 ? 100 : 0);
  }
  for (int n = 1; n <= kPidCount; ++n) {
    const PidRecord p = Pid(table, n);
    p.SetRegulatorType(n == 3 ? 1 : 0);
    p.SetChannel(static_cast<std::uint16_t>(n - 1));
    p.SetSetValue(static_cast<std::uint16_t>(n - 1));
    p.SetSamplePeriod(2);
    p.SetProportionalBand(100 + 25 * n);  // 12.5 % .. 22.5 %
    p.SetIntegralTime(180);
    p.SetDerivativeTime(30);
    p.SetPulsePeriod(1000);
  }
}

void BuildPasswords(PasswordBlock& block) {
  const char* const entries[] = {"1111", "2222", "3333",  "4444",     "5555",
                                 "6666", "0000", "ADMIN", "OPERATOR", "SERVICE"};
  for (int i = 1; i <= static_cast<int>(std::size(entries)); ++i) {
    QByteArray text(entries[i - 1]);
    // Six characters as the passwords window stores them, blanks in front.
    text = QByteArray(std::max<int>(0, 6 - static_cast<int>(text.size())), ' ') + text.left(6);
    PasswordEntry(block, i).SetBytes(text);
  }
}

void Apply(SectionMemory& memory, const InnerMessage& message, std::int16_t version) {
  memory.Handle(message.classLetter, message.command, message.body, version);
}

void Apply(SectionMemory& memory, const EncodedMessage& encoded, std::int16_t version) {
  Q_ASSERT(encoded.ok());
  if (encoded.ok()) Apply(memory, encoded.message, version);
}

}  // namespace

void BuildDemoProject(ProjectImage& image, PidTable& pid, PasswordBlock& passwords) {
  BuildRelays(image);
  BuildProcesses(image);
  BuildPrograms(image);
  BuildAlarmsAndStatuses(image);
  BuildOutputsAndRegulators(image, pid);
  BuildPasswords(passwords);
}

void LoadDemoSections(SectionMemory& memory) {
  auto image = std::make_unique<ProjectImage>();
  PidTable pid;
  PasswordBlock passwords;
  BuildDemoProject(*image, pid, passwords);

  // Written as a PC would write them, at the largest program layout so that all 50 steps of
  // every program are stored whatever version the controller reports later.
  constexpr std::int16_t kVersion = 900;
  const int pages = ProgramPagesForVersion(kVersion);
  constexpr int kCodePage = 0;
  for (int b = 0; b < kRelayBlocks; ++b) {
    Apply(memory, RelayBlockWriteMessage(b, BuildRelayWriteBlock(*image, b), kCodePage), kVersion);
  }
  for (int b = 0; b < kAlarmBlocks; ++b) {
    Apply(memory, AlarmBlockWriteMessage(b, BuildAlarmWriteBlock(*image, b), kCodePage), kVersion);
  }
  Apply(memory, SpecialStatusesWriteMessage(SpecialStatusRegion(*image)), kVersion);
  for (const ProcessSet set : {ProcessSet::Normal, ProcessSet::Washing}) {
    for (int b = 0; b < kProcessBlocks; ++b) {
      Apply(memory,
            ProcessBlockWriteMessage(set, b, BuildProcessWriteBlock(*image, set, b), kCodePage),
            kVersion);
    }
    Apply(memory, ProcessPresetTableWriteMessage(set, ProcessSetRegion(*image, set)), kVersion);
  }
  for (int n = 1; n <= kProgramSlots; ++n) {
    for (int page = 0; page < pages; ++page) {
      Apply(memory, ProgramPageWriteMessage(Program(*image, n), page, pages, kCodePage), kVersion);
    }
  }
  for (int page = 0; page < pages; ++page) {
    Apply(memory, ProgramPageWriteMessage(WashingProgram(*image), page, pages, kCodePage),
          kVersion);
  }
  // Both layouts, so that the output's own PID values and its PID number are both stored.
  Apply(
      memory,
      AnalogOutputsWriteMessage(AnalogOutputLayout::Legacy, AnalogOutputRegion(*image), kCodePage),
      kVersion);
  Apply(
      memory,
      AnalogOutputsWriteMessage(AnalogOutputLayout::Current, AnalogOutputRegion(*image), kCodePage),
      kVersion);
  Apply(memory, PidRegulatorsWriteMessage(pid.bytes()), kVersion);
  Apply(memory, PasswordsWriteMessage(passwords.bytes()), kVersion);
  memory.writes = 0;
}

}  // namespace qdx
