// The two older project layouts that can still be opened. Each is read whole and the parts
// it knows are copied into the project image; whatever the old layout lacks keeps its
// previous content. Nothing writes these formats.
//   ".qd2": the current layout without the analog outputs.
//   ".qdp": an older layout with programs of 30 steps (2,708-byte program records).
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/blocks.h"
#include "files/project_files.h"

namespace qdx {

namespace qd2 {
inline constexpr std::size_t kFileSize = 1'795'532;
}  // namespace qd2

namespace qdp {
inline constexpr std::size_t kFileSize = 285'488;

inline constexpr std::size_t kHeaderOffset = 0;
inline constexpr std::size_t kProgramsOffset = 104;
inline constexpr std::size_t kProgramCount = 100;
inline constexpr std::size_t kWashingProgramOffset = 270'904;  // not taken over
inline constexpr std::size_t kProcessesOffset = 273'612;
inline constexpr std::size_t kWashingProcessesOffset = 275'532;
inline constexpr std::size_t kRelaysOffset = 277'452;
inline constexpr std::size_t kSpecialStatusesOffset = 280'396;
inline constexpr std::size_t kAlarmsOffset = 281'260;
inline constexpr std::size_t kReservedOffset = 283'948;  // not taken over
inline constexpr std::size_t kSetupOffset = 283'964;
inline constexpr std::size_t kAnalogOutputsOffset = 284'168;

// Old program record.
inline constexpr std::size_t kProgramRecordSize = 2'708;
inline constexpr std::size_t kProgramNameOffset = 0;  // length byte + up to 50 characters
inline constexpr std::size_t kProgramStepsOffset = 52;
inline constexpr std::size_t kProgramStepCount = 30;
inline constexpr std::size_t kProgramNumberOffset = 2'692;
inline constexpr std::size_t kProgramTailSize = 12;  // not taken over

static_assert(kProgramStepsOffset + kProgramStepCount * 88 == kProgramNumberOffset);
static_assert(kProgramNumberOffset + 4 + kProgramTailSize == kProgramRecordSize);
static_assert(kHeaderOffset + image::kHeaderSize + 3 == kProgramsOffset);
static_assert(kProgramsOffset + kProgramCount * kProgramRecordSize == kWashingProgramOffset);
static_assert(kWashingProgramOffset + kProgramRecordSize == kProcessesOffset);
static_assert(kProcessesOffset + image::kProcessCount * image::kProcessRecordSize ==
              kWashingProcessesOffset);
static_assert(kWashingProcessesOffset + image::kProcessCount * image::kProcessRecordSize ==
              kRelaysOffset);
static_assert(kRelaysOffset + image::kRelayCount * image::kRelayRecordSize ==
              kSpecialStatusesOffset);
static_assert(kSpecialStatusesOffset +
                  image::kSpecialStatusCount * image::kSpecialStatusRecordSize ==
              kAlarmsOffset);
static_assert(kAlarmsOffset + image::kAlarmCount * image::kAlarmRecordSize == kReservedOffset);
static_assert(kReservedOffset + image::kReservedSize == kSetupOffset);
static_assert(kSetupOffset + image::kSetupSize + 2 == kAnalogOutputsOffset);
static_assert(kAnalogOutputsOffset + image::kAnalogOutputCount * image::kAnalogOutputRecordSize ==
              kFileSize);
}  // namespace qdp

// Copy the parts of an old file (its first record) into the image and write the fixed
// special-status names. They cannot fail.
void ConvertQd2(std::span<const std::uint8_t, qd2::kFileSize> old, ProjectImage& image);
void ConvertQdp(std::span<const std::uint8_t, qdp::kFileSize> old, ProjectImage& image);

// Read an old file and convert it. A file that cannot be read whole leaves the image
// untouched.
FileResult LoadQd2File(ProjectImage& image, const QString& fileName);
FileResult LoadQdpFile(ProjectImage& image, const QString& fileName);

}  // namespace qdx
