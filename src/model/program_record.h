// ProgramRecord (17,672 bytes): a named sequence of up to 200 ProgramStep slots (88 bytes
// each), of which the first step-count steps are in use. Programs 1..100 lie back to back,
// the washing program right after them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/blocks.h"
#include "model/record_view.h"
#include "model/text_field.h"

namespace qdx {

template <RecordByte Byte>
class BasicProgramStep : public detail::FieldAccess<Byte> {
  using Base = detail::FieldAccess<Byte>;

 public:
  static constexpr std::size_t kSize = 88;

  static constexpr std::size_t kProcessNumberOffset = 0;
  static constexpr std::size_t kChamberTemperatureOffset = 4;
  static constexpr std::size_t kAdditional1Offset = 8;
  static constexpr std::size_t kCoreTemperatureOffset = 12;
  static constexpr std::size_t kAdditional2Offset = 16;
  static constexpr std::size_t kHumidityOffset = 20;
  static constexpr std::size_t kFurtherValueOffset = 24;
  static constexpr std::size_t kDeltaOffset = 28;
  static constexpr std::size_t kHoursOffset = 32;
  static constexpr std::size_t kMinutesOffset = 36;
  static constexpr std::size_t kReserved1Offset = 40;
  static constexpr std::size_t kReserved1Size = 32;
  static constexpr std::size_t kOnOffDeltaOffset = 72;
  static constexpr std::size_t kWorkTimeOffset = 76;
  static constexpr std::size_t kPauseTimeOffset = 78;
  static constexpr std::size_t kReserved2Offset = 80;
  static constexpr std::size_t kReserved2Size = 8;

  static_assert(kProcessNumberOffset + 4 == kChamberTemperatureOffset);
  static_assert(kChamberTemperatureOffset + 4 == kAdditional1Offset);
  static_assert(kAdditional1Offset + 4 == kCoreTemperatureOffset);
  static_assert(kCoreTemperatureOffset + 4 == kAdditional2Offset);
  static_assert(kAdditional2Offset + 4 == kHumidityOffset);
  static_assert(kHumidityOffset + 4 == kFurtherValueOffset);
  static_assert(kFurtherValueOffset + 4 == kDeltaOffset);
  static_assert(kDeltaOffset + 4 == kHoursOffset && kHoursOffset + 4 == kMinutesOffset);
  static_assert(kMinutesOffset + 4 == kReserved1Offset);
  static_assert(kReserved1Offset + kReserved1Size == kOnOffDeltaOffset);
  static_assert(kOnOffDeltaOffset + 4 == kWorkTimeOffset);
  static_assert(kWorkTimeOffset + 2 == kPauseTimeOffset);
  static_assert(kPauseTimeOffset + 2 == kReserved2Offset);
  static_assert(kReserved2Offset + kReserved2Size == kSize);

  explicit BasicProgramStep(Byte* p) : Base(p) {}
  template <RecordByte Other>
  requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
      BasicProgramStep(const BasicProgramStep<Other>& other)
      : Base(other.data()) {}

  // 1..16: a process of the program's set; 0 and 20 mean no process. Other values may
  // arrive from a controller or a file: check before using one as a process index.
  std::int32_t ProcessNumber() const { return this->S32(kProcessNumberOffset); }
  void SetProcessNumber(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kProcessNumberOffset, v);
  }
  std::int32_t ChamberTemperature() const { return this->S32(kChamberTemperatureOffset); }
  void SetChamberTemperature(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kChamberTemperatureOffset, v);
  }
  std::int32_t Additional1() const { return this->S32(kAdditional1Offset); }
  void SetAdditional1(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kAdditional1Offset, v);
  }
  std::int32_t CoreTemperature() const { return this->S32(kCoreTemperatureOffset); }
  void SetCoreTemperature(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kCoreTemperatureOffset, v);
  }
  std::int32_t Additional2() const { return this->S32(kAdditional2Offset); }
  void SetAdditional2(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kAdditional2Offset, v);
  }
  std::int32_t Humidity() const { return this->S32(kHumidityOffset); }
  void SetHumidity(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kHumidityOffset, v);
  }
  // Not shown by the editor; the controller transfer carries it as one byte.
  std::int32_t FurtherValue() const { return this->S32(kFurtherValueOffset); }
  void SetFurtherValue(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kFurtherValueOffset, v);
  }
  // In tenths.
  std::int32_t Delta() const { return this->S32(kDeltaOffset); }
  void SetDelta(std::int32_t v) const requires Base::kWritable { this->SetS32(kDeltaOffset, v); }
  std::int32_t Hours() const { return this->S32(kHoursOffset); }
  void SetHours(std::int32_t v) const requires Base::kWritable { this->SetS32(kHoursOffset, v); }
  std::int32_t Minutes() const { return this->S32(kMinutesOffset); }
  void SetMinutes(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kMinutesOffset, v);
  }
  std::int32_t OnOffDelta() const { return this->S32(kOnOffDeltaOffset); }
  void SetOnOffDelta(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kOnOffDeltaOffset, v);
  }
  std::uint16_t WorkTime() const { return this->U16(kWorkTimeOffset); }
  void SetWorkTime(std::uint16_t v) const requires Base::kWritable {
    this->SetU16(kWorkTimeOffset, v);
  }
  std::uint16_t PauseTime() const { return this->U16(kPauseTimeOffset); }
  void SetPauseTime(std::uint16_t v) const requires Base::kWritable {
    this->SetU16(kPauseTimeOffset, v);
  }
};

using ProgramStep = BasicProgramStep<std::uint8_t>;
using ConstProgramStep = BasicProgramStep<const std::uint8_t>;

template <RecordByte Byte>
class BasicProgramRecord : public detail::FieldAccess<Byte> {
  using Base = detail::FieldAccess<Byte>;

 public:
  static constexpr std::size_t kSize = 17'672;
  static constexpr int kStepSlots = 200;
  static constexpr std::int32_t kDefaultStepCount = 30;

  static constexpr std::size_t kNameOffset = 0;
  static constexpr std::size_t kNameCapacity = 50;
  static constexpr std::size_t kPaddingOffset = 51;  // 1 byte
  static constexpr std::size_t kStepsOffset = 52;
  static constexpr std::size_t kNumberOffset = 17'652;
  static constexpr std::size_t kReservedOffset = 17'656;
  static constexpr std::size_t kReservedSize = 12;
  static constexpr std::size_t kStepCountOffset = 17'668;

  static_assert(kNameOffset + 1 + kNameCapacity == kPaddingOffset);
  static_assert(kPaddingOffset + 1 == kStepsOffset);
  static_assert(kStepsOffset + kStepSlots * BasicProgramStep<Byte>::kSize == kNumberOffset);
  static_assert(kNumberOffset + 4 == kReservedOffset);
  static_assert(kReservedOffset + kReservedSize == kStepCountOffset);
  static_assert(kStepCountOffset + 4 == kSize);

  explicit BasicProgramRecord(Byte* p) : Base(p) {}
  template <RecordByte Other>
  requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
      BasicProgramRecord(const BasicProgramRecord<Other>& other)
      : Base(other.data()) {}

  BasicTextField<Byte> Name() const {
    return BasicTextField<Byte>(this->p_ + kNameOffset, kNameCapacity);
  }

  // Step slot s, 1..200.
  BasicProgramStep<Byte> Step(int s) const {
    detail::CheckRecordIndex("program step", s, 1, kStepSlots);
    return BasicProgramStep<Byte>(this->p_ + kStepsOffset +
                                  static_cast<std::size_t>(s - 1) * BasicProgramStep<Byte>::kSize);
  }

  // 1..100 for the program list, 101 for the washing program.
  std::int32_t Number() const { return this->S32(kNumberOffset); }
  void SetNumber(std::int32_t v) const requires Base::kWritable { this->SetS32(kNumberOffset, v); }

  // The stored step count: 30 or 50, 0 counting as 30.
  std::int32_t StepCount() const { return this->S32(kStepCountOffset); }
  void SetStepCount(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kStepCountOffset, v);
  }
  // Steps in use: 0 (or a damaged negative count) counts as 30, and no count reaches past
  // the 200 slots.
  int StepsInUse() const {
    const std::int32_t n = StepCount();
    if (n <= 0) return kDefaultStepCount;
    return n > kStepSlots ? kStepSlots : static_cast<int>(n);
  }
};

using ProgramRecord = BasicProgramRecord<std::uint8_t>;
using ConstProgramRecord = BasicProgramRecord<const std::uint8_t>;

inline constexpr int kProgramSlots = static_cast<int>(image::kProgramCount);  // 100
inline constexpr int kListedPrograms = 99;  // the list and transfers use 1..99
inline constexpr std::int32_t kWashingProgramNumber = 101;
static_assert(ProgramRecord::kSize == image::kProgramRecordSize);

// Program n, 1..100.
inline ProgramRecord Program(ProjectImage& image, int n) {
  detail::CheckRecordIndex("program", n, 1, kProgramSlots);
  return ProgramRecord(image.data() + image::kProgramsOffset + (n - 1) * ProgramRecord::kSize);
}
inline ConstProgramRecord Program(const ProjectImage& image, int n) {
  detail::CheckRecordIndex("program", n, 1, kProgramSlots);
  return ConstProgramRecord(image.data() + image::kProgramsOffset + (n - 1) * ProgramRecord::kSize);
}

inline ProgramRecord WashingProgram(ProjectImage& image) {
  return ProgramRecord(image.data() + image::kWashingProgramOffset);
}
inline ConstProgramRecord WashingProgram(const ProjectImage& image) {
  return ConstProgramRecord(image.data() + image::kWashingProgramOffset);
}

}  // namespace qdx
