#include "files/legacy_formats.h"

#include <algorithm>
#include <memory>

#include "files/project_defaults.h"
#include "files/record_file.h"
#include "model/records.h"

namespace qdx {

namespace {

void CopyBytes(std::span<const std::uint8_t> from, std::size_t fromOffset, ProjectImage& image,
               std::size_t toOffset, std::size_t size) {
  std::copy_n(from.begin() + static_cast<std::ptrdiff_t>(fromOffset), size,
              image.data() + toOffset);
}

}  // namespace

void ConvertQd2(std::span<const std::uint8_t, qd2::kFileSize> old, ProjectImage& image) {
  // Same offsets as today. The header padding and the reserved bytes are not taken over;
  // the analog outputs lie beyond the old file and keep their content.
  CopyBytes(old, image::kHeaderOffset, image, image::kHeaderOffset, image::kHeaderSize);
  CopyBytes(old, image::kProgramsOffset, image, image::kProgramsOffset,
            image::kReservedOffset - image::kProgramsOffset);
  CopyBytes(old, image::kSetupOffset, image, image::kSetupOffset, image::kSetupSize);
  ApplyFixedNames(image);
}

void ConvertQdp(std::span<const std::uint8_t, qdp::kFileSize> old, ProjectImage& image) {
  // Only the length byte and the characters of a text are taken over; a damaged length
  // byte counts as the field's capacity.
  Header(image).SetBytes(
      ConstTextField(old.data() + qdp::kHeaderOffset, image::kHeaderMaxChars).Bytes());

  CopyBytes(old, qdp::kProcessesOffset, image, image::kProcessesOffset,
            image::kProcessCount * image::kProcessRecordSize);
  CopyBytes(old, qdp::kWashingProcessesOffset, image, image::kWashingProcessesOffset,
            image::kProcessCount * image::kProcessRecordSize);
  CopyBytes(old, qdp::kRelaysOffset, image, image::kRelaysOffset,
            image::kRelayCount * image::kRelayRecordSize);
  CopyBytes(old, qdp::kSpecialStatusesOffset, image, image::kSpecialStatusesOffset,
            image::kSpecialStatusCount * image::kSpecialStatusRecordSize);
  CopyBytes(old, qdp::kAlarmsOffset, image, image::kAlarmsOffset,
            image::kAlarmCount * image::kAlarmRecordSize);
  CopyBytes(old, qdp::kSetupOffset, image, image::kSetupOffset, image::kSetupSize);
  CopyBytes(old, qdp::kAnalogOutputsOffset, image, image::kAnalogOutputsOffset,
            image::kAnalogOutputCount * image::kAnalogOutputRecordSize);

  // Old program n becomes program n: its name, its number (the old records are numbered
  // 1..100 by position), 30 steps in use and its 30 steps in slots 1..30. Slots 31..200,
  // the reserved bytes and the padding byte keep their content; so does the washing program.
  for (int n = 1; n <= kProgramSlots; ++n) {
    const std::size_t from = qdp::kProgramsOffset + (n - 1) * qdp::kProgramRecordSize;
    const ProgramRecord program = Program(image, n);
    program.Name().SetBytes(
        ConstTextField(old.data() + from + qdp::kProgramNameOffset, ProgramRecord::kNameCapacity)
            .Bytes());
    program.SetNumber(n);
    program.SetStepCount(ProgramRecord::kDefaultStepCount);
    std::copy_n(old.begin() + static_cast<std::ptrdiff_t>(from + qdp::kProgramStepsOffset),
                qdp::kProgramStepCount * ProgramStep::kSize,
                program.data() + ProgramRecord::kStepsOffset);
  }
  static_assert(qdp::kProgramStepsOffset == ProgramRecord::kStepsOffset);

  ApplyFixedNames(image);
}

FileResult LoadQd2File(ProjectImage& image, const QString& fileName) {
  const auto old = std::make_unique_for_overwrite<std::uint8_t[]>(qd2::kFileSize);
  if (FileResult r = ReadRecordFileDirect(fileName, std::span(old.get(), qd2::kFileSize)); !r) {
    return r;
  }
  ConvertQd2(std::span<const std::uint8_t, qd2::kFileSize>(old.get(), qd2::kFileSize), image);
  return {};
}

FileResult LoadQdpFile(ProjectImage& image, const QString& fileName) {
  const auto old = std::make_unique_for_overwrite<std::uint8_t[]>(qdp::kFileSize);
  if (FileResult r = ReadRecordFileDirect(fileName, std::span(old.get(), qdp::kFileSize)); !r) {
    return r;
  }
  ConvertQdp(std::span<const std::uint8_t, qdp::kFileSize>(old.get(), qdp::kFileSize), image);
  return {};
}

}  // namespace qdx
