// ProcessRecord: one process (a kind of program step), 120 bytes. The project holds two
// sets of 16: the normal processes and the washing processes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/blocks.h"
#include "model/record_view.h"
#include "model/relay_output_states.h"
#include "model/text_field.h"

namespace qdx {

template <RecordByte Byte>
class BasicProcessRecord : public detail::FieldAccess<Byte> {
  using Base = detail::FieldAccess<Byte>;

 public:
  static constexpr std::size_t kSize = 120;
  static constexpr int kPresetCount = 5;

  static constexpr std::size_t kNumberOffset = 0;
  static constexpr std::size_t kNameOffset = 4;
  static constexpr std::size_t kNameCapacity = 30;
  static constexpr std::size_t kPaddingOffset = 35;  // 1 byte
  static constexpr std::size_t kStepEndConditionOffset = 36;
  static constexpr std::size_t kOutputsOffset = 40;
  static constexpr std::size_t kReserved1Offset = 72;
  static constexpr std::size_t kReserved1Size = 32;
  static constexpr std::size_t kPresetsOffset = 104;  // SP1..SP5, signed 16-bit each
  static constexpr std::size_t kReserved2Offset = 114;
  static constexpr std::size_t kReserved2Size = 6;

  static_assert(kNumberOffset + 4 == kNameOffset);
  static_assert(kNameOffset + 1 + kNameCapacity == kPaddingOffset);
  static_assert(kPaddingOffset + 1 == kStepEndConditionOffset);
  static_assert(kStepEndConditionOffset + 4 == kOutputsOffset);
  static_assert(kOutputsOffset + BasicRelayOutputStates<Byte>::kSize == kReserved1Offset);
  static_assert(kReserved1Offset + kReserved1Size == kPresetsOffset);
  static_assert(kPresetsOffset + kPresetCount * 2 == kReserved2Offset);
  static_assert(kReserved2Offset + kReserved2Size == kSize);

  explicit BasicProcessRecord(Byte* p) : Base(p) {}
  template <RecordByte Other>
  requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
      BasicProcessRecord(const BasicProcessRecord<Other>& other)
      : Base(other.data()) {}

  std::int32_t Number() const { return this->S32(kNumberOffset); }
  void SetNumber(std::int32_t v) const requires Base::kWritable { this->SetS32(kNumberOffset, v); }

  BasicTextField<Byte> Name() const {
    return BasicTextField<Byte>(this->p_ + kNameOffset, kNameCapacity);
  }

  // 0..24, position in StepEndConditionList.
  std::int32_t StepEndCondition() const { return this->S32(kStepEndConditionOffset); }
  void SetStepEndCondition(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kStepEndConditionOffset, v);
  }

  BasicRelayOutputStates<Byte> Outputs() const {
    return BasicRelayOutputStates<Byte>(this->p_ + kOutputsOffset);
  }

  // Step preset SP1..SP5 (k = 1..5).
  std::int16_t Preset(int k) const {
    detail::CheckRecordIndex("step preset", k, 1, kPresetCount);
    return this->S16(kPresetsOffset + static_cast<std::size_t>(k - 1) * 2);
  }
  void SetPreset(int k, std::int16_t v) const requires Base::kWritable {
    detail::CheckRecordIndex("step preset", k, 1, kPresetCount);
    this->SetS16(kPresetsOffset + static_cast<std::size_t>(k - 1) * 2, v);
  }
};

using ProcessRecord = BasicProcessRecord<std::uint8_t>;
using ConstProcessRecord = BasicProcessRecord<const std::uint8_t>;

inline constexpr int kProcessCount = static_cast<int>(image::kProcessCount);
static_assert(ProcessRecord::kSize == image::kProcessRecordSize);

// The two process sets; the washing program's steps name processes of the washing set.
enum class ProcessSet { Normal, Washing };

inline constexpr std::size_t ProcessSetOffset(ProcessSet set) {
  return set == ProcessSet::Washing ? image::kWashingProcessesOffset : image::kProcessesOffset;
}

// Process n (1..16) of a set.
inline ProcessRecord Process(ProjectImage& image, ProcessSet set, int n) {
  detail::CheckRecordIndex("process", n, 1, kProcessCount);
  return ProcessRecord(image.data() + ProcessSetOffset(set) + (n - 1) * ProcessRecord::kSize);
}
inline ConstProcessRecord Process(const ProjectImage& image, ProcessSet set, int n) {
  detail::CheckRecordIndex("process", n, 1, kProcessCount);
  return ConstProcessRecord(image.data() + ProcessSetOffset(set) + (n - 1) * ProcessRecord::kSize);
}

}  // namespace qdx
