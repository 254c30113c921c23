#include "model/record_fields.h"

#include <algorithm>

#include "model/records.h"

namespace qdx {

namespace {

using enum FieldKind;
using enum AnalogOutputLayout;

// Of the reserved bytes after a record's relay outputs, comparison looks at this many.
constexpr std::size_t kComparedReservedSize = 32;

// Words 0..69 are compared; the rest are the controller's own (panel layout, program version).
constexpr int kComparedSetupWords = 70;

constexpr RecordField kSetupFields[] = {
    {.key = "words", .offset = 0, .kind = S16, .count = SetupBlock::kWordCount},
    {.name = "word %1", .offset = 0, .kind = S16, .count = kComparedSetupWords, .numberedFrom = 0},
    {.key = "panelLayout", .offset = SetupBlock::kPanelLayoutOffset, .kind = S16},
    {.key = "programVersion", .offset = SetupBlock::kProgramVersionOffset, .kind = S16},
};

// The channel word's two bytes are exported on their own as well; comparison names the word.
constexpr RecordField kRelayFields[] = {
    {"number", "number", RelayRecord::kNumberOffset, S32},
    {"name", "name", RelayRecord::kNameOffset, Name, RelayRecord::kNameCapacity},
    {"timeType", "time type", RelayRecord::kTimeTypeOffset, S32},
    {"timeTa", "Ta", RelayRecord::kTimeTaOffset, S32},
    {"timeTb", "Tb", RelayRecord::kTimeTbOffset, S32},
    {"regulatorType", "regulator type", RelayRecord::kRegulatorTypeOffset, S32},
    {.key = "channelIndex", .offset = RelayRecord::kChannelIndexOffset, .kind = U8},
    {.key = "setValueIndex", .offset = RelayRecord::kSetValueIndexOffset, .kind = U8},
    {"channelWord", "channel and set value", RelayRecord::kChannelWordOffset, S32},
    {.name = "bytes 56..59", .offset = RelayRecord::kReserved1Offset, .kind = S32},
    {"offsetTenths", "offset", RelayRecord::kRegulatorOffsetOffset, S32},
    {"windowTenths", "regulator window", RelayRecord::kRegulatorWindowOffset, S32},
    {"lowerHysteresisTenths", "lower hysteresis", RelayRecord::kLowerHysteresisOffset, S32},
    {"upperHysteresisTenths", "upper hysteresis", RelayRecord::kUpperHysteresisOffset, S32},
};

// The relay outputs of a process, alarm or special status at offset.
constexpr RecordField RelayOutputs(std::size_t offset) {
  return {.key = "relayOutputs",
          .name = "relay output %1",
          .offset = offset,
          .kind = U8,
          .count = RelayOutputStates::kOutputCount};
}

constexpr RecordField kProcessFields[] = {
    {"number", "number", ProcessRecord::kNumberOffset, S32},
    {"name", "name", ProcessRecord::kNameOffset, Name, ProcessRecord::kNameCapacity},
    {"stepEndCondition", "step end condition", ProcessRecord::kStepEndConditionOffset, S32},
    RelayOutputs(ProcessRecord::kOutputsOffset),
    {.name = "reserved",
     .offset = ProcessRecord::kReserved1Offset,
     .kind = Reserved,
     .size = ProcessRecord::kReserved1Size},
    {.key = "presets",
     .name = "SP%1",
     .offset = ProcessRecord::kPresetsOffset,
     .kind = S16,
     .count = ProcessRecord::kPresetCount},
};

constexpr RecordField kAlarmFields[] = {
    {"number", "number", AlarmRecord::kNumberOffset, S32},
    {"message", "message", AlarmRecord::kNameOffset, Name, AlarmRecord::kNameCapacity},
    {"delayTime", "delay time", AlarmRecord::kDelayTimeOffset, S32},
    {"alarmStatus", "alarm status", AlarmRecord::kAlarmStatusOffset, S32},
    {"relayLogic", "relay logic", AlarmRecord::kRelayLogicOffset, S32},
    RelayOutputs(AlarmRecord::kOutputsOffset),
    {.name = "reserved",
     .offset = AlarmRecord::kReservedOffset,
     .kind = Reserved,
     .size = kComparedReservedSize},
};

constexpr RecordField kSpecialStatusFields[] = {
    {"number", "number", SpecialStatusRecord::kNumberOffset, S32},
    {"name", "name", SpecialStatusRecord::kNameOffset, Name, SpecialStatusRecord::kNameCapacity},
    {"switchOffTime", "switch-off time", SpecialStatusRecord::kSwitchOffTimeOffset, S32},
    {"relayLogic", "relay logic", SpecialStatusRecord::kRelayLogicOffset, S32},
    RelayOutputs(SpecialStatusRecord::kOutputsOffset),
    {.name = "reserved",
     .offset = SpecialStatusRecord::kReservedOffset,
     .kind = Reserved,
     .size = kComparedReservedSize},
};

// The step count does not travel with a listed program, so comparison leaves it out.
constexpr RecordField kProgramFields[] = {
    {"number", "program number", ProgramRecord::kNumberOffset, S32},
    {"name", "name", ProgramRecord::kNameOffset, Name, ProgramRecord::kNameCapacity},
    {.key = "stepCount", .offset = ProgramRecord::kStepCountOffset, .kind = StepCount},
    {"steps", "steps", ProgramRecord::kStepsOffset, Steps},
};

// The washing program is compared whole: the name as a text, every other byte as it is, the
// step count by meaning.
constexpr RecordField kWashingProgramFields[] = {
    {"number", "program number", ProgramRecord::kNumberOffset, S32},
    {"name", "name", ProgramRecord::kNameOffset, Name, ProgramRecord::kNameCapacity},
    {.name = "padding", .offset = ProgramRecord::kPaddingOffset, .kind = Reserved, .size = 1},
    {"stepCount", "step count", ProgramRecord::kStepCountOffset, StepCount},
    {"steps", "steps", ProgramRecord::kStepsOffset, Steps},
    {.name = "reserved",
     .offset = ProgramRecord::kReservedOffset,
     .kind = Reserved,
     .size = ProgramRecord::kReservedSize},
};

constexpr RecordField kProgramStepFields[] = {
    {.key = "step", .kind = Slot},
    {"processNumber", "process", ProgramStep::kProcessNumberOffset, S32},
    {"chamberTemperature", "chamber temperature", ProgramStep::kChamberTemperatureOffset, S32},
    {"additionalValue1", "additional 1", ProgramStep::kAdditional1Offset, S32},
    {"coreTemperature", "core temperature", ProgramStep::kCoreTemperatureOffset, S32},
    {"additionalValue2", "additional 2", ProgramStep::kAdditional2Offset, S32},
    {"humidity", "humidity", ProgramStep::kHumidityOffset, S32},
    {"furtherValue", "further value", ProgramStep::kFurtherValueOffset, S32},
    {"deltaTenths", "delta", ProgramStep::kDeltaOffset, S32},
    {"hours", "hours", ProgramStep::kHoursOffset, S32},
    {"minutes", "minutes", ProgramStep::kMinutesOffset, S32},
    {"onOffDelta", "on/off delta", ProgramStep::kOnOffDeltaOffset, S32},
    {"workTime", "work time", ProgramStep::kWorkTimeOffset, U16},
    {"pauseTime", "pause time", ProgramStep::kPauseTimeOffset, U16},
};

// A field comparison looks at only where the analog outputs travel in this wire layout.
constexpr RecordField ComparedOnlyIn(AnalogOutputLayout layout, RecordField field) {
  field.comparedOnlyIn = layout;
  return field;
}

// The export shows every byte with a meaning; comparison what the wire layout carries: the
// output's own PID values in the legacy layout, the PID number in the current one.
constexpr RecordField kAnalogOutputFields[] = {
    {.key = "output", .kind = Slot},
    {"name", "name", AnalogOutputRecord::kNameOffset, Name, AnalogOutputRecord::kNameCapacity},
    {"outputType", "type", AnalogOutputRecord::kOutputTypeOffset, U16},
    {"channel", "measurement channel", AnalogOutputRecord::kChannelOffset, U16},
    {"setValue", "set value", AnalogOutputRecord::kSetValueOffset, U16},
    {"valueAt0V", "value for 0 V", AnalogOutputRecord::kValueAt0VOffset, S32},
    {"valueAt10V", "value for 10 V", AnalogOutputRecord::kValueAt10VOffset, S32},
    {"stopSetValue", "Stop", AnalogOutputRecord::kStopSetValueOffset, S32},
    {"pauseSetValue", "Pause", AnalogOutputRecord::kPauseSetValueOffset, S32},
    ComparedOnlyIn(Legacy,
                   {"samplingPeriod", "sample", AnalogOutputRecord::kSamplePeriodOffset, Double}),
    ComparedOnlyIn(Legacy, {"gain", "gain", AnalogOutputRecord::kGainOffset, Double}),
    ComparedOnlyIn(Legacy, {"integralTime", "Ti", AnalogOutputRecord::kIntegralTimeOffset, Double}),
    ComparedOnlyIn(Legacy,
                   {"derivativeTime", "Td", AnalogOutputRecord::kDerivativeTimeOffset, Double}),
    {.key = "functionSetValuesF1toF4",
     .name = "F%1",
     .offset = AnalogOutputRecord::kFunctionSetValuesOffset,
     .kind = S32,
     .count = AnalogOutputRecord::kFunctionCount},
    ComparedOnlyIn(Current, {"pidNumber", "PID number", AnalogOutputRecord::kPidNumberOffset, U8}),
};

// Comparison looks at what the PID windows edit; the export shows the carried values too.
constexpr RecordField kPidFields[] = {
    {.key = "regulator", .kind = Slot},
    {.key = "name",
     .offset = PidRecord::kNameOffset,
     .kind = Name,
     .size = PidRecord::kNameCapacity},
    {"regulatorType", "type", PidRecord::kRegulatorTypeOffset, U16},
    {"channel", "measurement channel", PidRecord::kChannelOffset, U16},
    {"setValue", "set value", PidRecord::kSetValueOffset, U16},
    {.key = "valueAt0V", .offset = PidRecord::kValueAt0VOffset, .kind = S32},
    {.key = "valueAt10V", .offset = PidRecord::kValueAt10VOffset, .kind = S32},
    {.key = "stopSetValue", .offset = PidRecord::kStopSetValueOffset, .kind = S32},
    {.key = "pauseSetValue", .offset = PidRecord::kPauseSetValueOffset, .kind = S32},
    {"samplingPeriodTp", "Tp", PidRecord::kSamplePeriodOffset, Double},
    {"proportionalBandXpTenthsPercent", "Xp", PidRecord::kProportionalBandOffset, Double},
    {"integralTimeTi", "Ti", PidRecord::kIntegralTimeOffset, Double},
    {"derivativeTimeTd", "Td", PidRecord::kDerivativeTimeOffset, Double},
    {"pulsePeriodTo", "To", PidRecord::kPulsePeriodOffset, Double},
    {.key = "functionSetValuesF1toF4",
     .offset = PidRecord::kFunctionSetValuesOffset,
     .kind = S32,
     .count = PidRecord::kFunctionCount},
    {.key = "pidNumber", .offset = PidRecord::kPidNumberOffset, .kind = U8},
};

}  // namespace

std::span<const RecordField> RecordFieldsOf(SectionId id) {
  switch (id) {
    case SectionId::Setup:
      return kSetupFields;
    case SectionId::Relays:
      return kRelayFields;
    case SectionId::Processes:
    case SectionId::WashingProcesses:
      return kProcessFields;
    case SectionId::Alarms:
      return kAlarmFields;
    case SectionId::SpecialStatuses:
      return kSpecialStatusFields;
    case SectionId::Programs:
      return kProgramFields;
    case SectionId::WashingProgram:
      return kWashingProgramFields;
    case SectionId::AnalogOutputs:
      return kAnalogOutputFields;
    case SectionId::Pid:
      return kPidFields;
    case SectionId::Passwords:
      break;
  }
  return {};
}

std::span<const RecordField> ProgramStepFields() {
  return kProgramStepFields;
}

std::vector<RecordField> ComparedFields(std::span<const RecordField> fields,
                                        AnalogOutputLayout layout) {
  std::vector<RecordField> compared;
  std::copy_if(fields.begin(), fields.end(), std::back_inserter(compared),
               [layout](const RecordField& f) {
                 return f.name && f.comparedOnlyIn.value_or(layout) == layout;
               });
  std::stable_sort(compared.begin(), compared.end(),
                   [](const RecordField& a, const RecordField& b) { return a.offset < b.offset; });
  return compared;
}

std::size_t ElementWidth(const RecordField& field) {
  switch (field.kind) {
    case FieldKind::Slot:
      return 0;
    case FieldKind::Name:
      return field.size + 1;
    case FieldKind::S32:
    case FieldKind::StepCount:
      return 4;
    case FieldKind::S16:
    case FieldKind::U16:
      return 2;
    case FieldKind::U8:
      return 1;
    case FieldKind::Double:
      return 8;
    case FieldKind::Reserved:
      return field.size;
    case FieldKind::Steps:
      return std::size_t(ProgramRecord::kStepSlots) * ProgramStep::kSize;
  }
  return 0;
}

}  // namespace qdx
