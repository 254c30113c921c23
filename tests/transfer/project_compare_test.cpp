// Where each section's comparison looks: a byte of a record that differs between the project
// and the controller is reported (with its record and field) when the section's rules compare
// it, and passes unnoticed when they skip it (reserved bytes, padding, values that do not
// travel, the text past a name's length).
#include "transfer/project_compare.h"

#include <gtest/gtest.h>

#include <memory>

#include "config/section_registry.h"
#include "model/records.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

struct Boundary {
  const char* name;
  ProjectRow row;
  int record;
  std::size_t offset;  // in the record
  std::uint8_t value;  // what the controller's byte holds; the project's is 0
  const char* field;   // the reported field; nullptr: the rules skip the byte
  AnalogOutputLayout layout = AnalogOutputLayout::Current;
};

constexpr AnalogOutputLayout kLegacy = AnalogOutputLayout::Legacy;

// Byte offset of a program step's field within the program record.
constexpr std::size_t StepByte(int step, std::size_t offset) {
  return ProgramRecord::kStepsOffset + std::size_t(step - 1) * ProgramStep::kSize + offset;
}

const Boundary kBoundaries[] = {
    {"SetupLastComparedWord", ProjectRow::Setup, 1, 139, 1, "word 69"},
    {"SetupControllersOwnWords", ProjectRow::Setup, 1, 140, 1, nullptr},
    {"SetupProgramVersion", ProjectRow::Setup, 1, 2 * 99, 1, nullptr},

    {"RelayNamePastItsLength", ProjectRow::Relays, 7, RelayRecord::kNameOffset + 5, 'X', nullptr},
    {"RelayNameLength", ProjectRow::Relays, 7, RelayRecord::kNameOffset, 1, "name"},
    {"RelayPadding", ProjectRow::Relays, 7, RelayRecord::kPaddingOffset, 1, nullptr},
    {"RelaySetValueIndex", ProjectRow::Relays, 7, RelayRecord::kSetValueIndexOffset, 1,
     "channel and set value"},
    {"RelayReservedWord", ProjectRow::Relays, 32, RelayRecord::kReserved1Offset + 3, 1,
     "bytes 56..59"},
    {"RelayUpperHysteresis", ProjectRow::Relays, 1, RelayRecord::kUpperHysteresisOffset + 3, 1,
     "upper hysteresis"},
    {"RelayTrailingReserve", ProjectRow::Relays, 1, RelayRecord::kReserved2Offset, 1, nullptr},

    {"ProcessLastOutput", ProjectRow::Processes, 16, ProcessRecord::kOutputsOffset + 31, 1,
     "relay output 32"},
    {"ProcessReservedLastByte", ProjectRow::Processes, 3, ProcessRecord::kReserved1Offset + 31, 1,
     "byte 103"},
    {"ProcessLastPreset", ProjectRow::WashingProcesses, 2, ProcessRecord::kPresetsOffset + 9, 1,
     "SP5"},
    {"ProcessTrailingReserve", ProjectRow::Processes, 3, ProcessRecord::kReserved2Offset, 1,
     nullptr},

    {"AlarmComparedReserve", ProjectRow::Alarms, 21, AlarmRecord::kReservedOffset + 31, 1,
     "byte 111"},
    {"AlarmReserveBeyond", ProjectRow::Alarms, 21, AlarmRecord::kReservedOffset + 32, 1, nullptr},
    {"AlarmPadding", ProjectRow::Alarms, 1, AlarmRecord::kPaddingOffset, 1, nullptr},

    {"StatusComparedReserve", ProjectRow::SpecialStatuses, 6,
     SpecialStatusRecord::kReservedOffset + 31, 1, "byte 127"},
    {"StatusReserveBeyond", ProjectRow::SpecialStatuses, 6,
     SpecialStatusRecord::kReservedOffset + 32, 1, nullptr},

    {"ProgramNumber", ProjectRow::Programs, 99, ProgramRecord::kNumberOffset, 1, "program number"},
    {"ProgramStepReserve", ProjectRow::Programs, 5, StepByte(3, ProgramStep::kReserved1Offset), 1,
     "step 3 reserved byte 40"},
    {"ProgramLastStepPauseTime", ProjectRow::Programs, 5,
     StepByte(200, ProgramStep::kPauseTimeOffset + 1), 1, "step 200 pause time"},
    {"ProgramPadding", ProjectRow::Programs, 5, ProgramRecord::kPaddingOffset, 1, nullptr},
    {"ProgramReserve", ProjectRow::Programs, 5, ProgramRecord::kReservedOffset, 1, nullptr},
    {"ProgramStepCount", ProjectRow::Programs, 5, ProgramRecord::kStepCountOffset, 1, nullptr},

    {"WashingPadding", ProjectRow::WashingProgram, 1, ProgramRecord::kPaddingOffset, 1, "byte 51"},
    {"WashingReserve", ProjectRow::WashingProgram, 1, ProgramRecord::kReservedOffset + 11, 1,
     "byte 17667"},
    {"WashingStepCountOtherThan30", ProjectRow::WashingProgram, 1, ProgramRecord::kStepCountOffset,
     29, "step count"},
    {"WashingStepCount30Is0", ProjectRow::WashingProgram, 1, ProgramRecord::kStepCountOffset, 30,
     nullptr},

    {"OutputPidNumber", ProjectRow::AnalogOutputs, 5, AnalogOutputRecord::kPidNumberOffset, 1,
     "PID number"},
    {"OutputOwnPidValuesDoNotTravel", ProjectRow::AnalogOutputs, 5,
     AnalogOutputRecord::kSamplePeriodOffset, 1, nullptr},
    {"OutputPadding", ProjectRow::AnalogOutputs, 1, AnalogOutputRecord::kPadding2Offset, 1,
     nullptr},
    {"OutputReserve", ProjectRow::AnalogOutputs, 1, AnalogOutputRecord::kReservedOffset, 1,
     nullptr},
    {"LegacyOutputSample", ProjectRow::AnalogOutputs, 2,
     AnalogOutputRecord::kSamplePeriodOffset + 7, 1, "sample", kLegacy},
    {"LegacyOutputNegativeZero", ProjectRow::AnalogOutputs, 2,
     AnalogOutputRecord::kSamplePeriodOffset + 7, 0x80, nullptr, kLegacy},
    {"LegacyOutputPidNumber", ProjectRow::AnalogOutputs, 2, AnalogOutputRecord::kPidNumberOffset, 1,
     nullptr, kLegacy},

    {"PidChannel", ProjectRow::Pid, 5, PidRecord::kChannelOffset + 1, 1, "measurement channel"},
    {"PidPulsePeriod", ProjectRow::Pid, 1, PidRecord::kPulsePeriodOffset + 7, 1, "To"},
    {"PidFunctionValuesDoNotTravel", ProjectRow::Pid, 1, PidRecord::kFunctionSetValuesOffset, 1,
     nullptr},
    {"PidNumber", ProjectRow::Pid, 1, PidRecord::kPidNumberOffset, 1, nullptr},
};

class ComparisonBoundaries : public testing::TestWithParam<Boundary> {};

TEST_P(ComparisonBoundaries, ReportsTheBytesTheRulesCompareOnly) {
  const Boundary& b = GetParam();
  const auto project = std::make_unique<ProjectBlocks>();
  const auto controller = std::make_unique<ProjectBlocks>();
  const SectionLayout l = Section(b.row).layout;
  ASSERT_LT(b.offset, l.recordSize);
  std::uint8_t* section =
      (l.block == BlockId::Pid ? controller->pid.data() : controller->image.data()) + l.offset;
  section[std::size_t(b.record - 1) * l.recordSize + b.offset] = b.value;

  const auto d = CompareSection(b.row, project->image, project->pid, controller->image,
                                controller->pid, b.layout, 0);
  if (!b.field) {
    EXPECT_FALSE(d.has_value()) << d->Text().toStdString();
    return;
  }
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(d->record, b.record);
  EXPECT_EQ(d->field, QString::fromLatin1(b.field));
}

INSTANTIATE_TEST_SUITE_P(EverySection, ComparisonBoundaries, testing::ValuesIn(kBoundaries),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qdx
