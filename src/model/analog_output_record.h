// AnalogOutputRecord: one of the five analog outputs, 264 bytes. It has no number field;
// the name comes first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/blocks.h"
#include "model/output_loop_fields.h"

namespace qdx {

// How a controller carries its analog outputs, by its program version.
enum class AnalogOutputLayout {
  Current,  // 34-byte entries, program version 600 and above
  Legacy,   // 49-byte entries, older controllers
};


template <RecordByte Byte>
class BasicAnalogOutputRecord : public detail::OutputLoopFields<Byte> {
  using Base = detail::OutputLoopFields<Byte>;

 public:
  static constexpr std::size_t kSize = 264;
  static constexpr int kFunctionCount = Base::kFunctionCount;

  static constexpr std::size_t kOutputTypeOffset = Base::kTypeOffset;
  static constexpr std::size_t kGainOffset = Base::kLoopGainOffset;
  static constexpr std::size_t kFunctionSetValuesOffset = Base::kSharedSize;  // F1..F4
  static constexpr std::size_t kPidNumberOffset = 176;
  static constexpr std::size_t kReservedOffset = 177;
  static constexpr std::size_t kReservedSize = 87;

  static_assert(kFunctionSetValuesOffset + kFunctionCount * 4 == kPidNumberOffset);
  static_assert(kPidNumberOffset + 1 == kReservedOffset);
  static_assert(kReservedOffset + kReservedSize == kSize);

  explicit BasicAnalogOutputRecord(Byte* p) : Base(p) {}
  template <RecordByte Other>
  requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
      BasicAnalogOutputRecord(const BasicAnalogOutputRecord<Other>& other)
      : Base(other.data()) {}

  // 0 switched off, 1 set value, 2 PID.
  std::uint16_t OutputType() const { return this->U16(kOutputTypeOffset); }
  void SetOutputType(std::uint16_t v) const requires Base::kWritable {
    this->SetU16(kOutputTypeOffset, v);
  }

  // The output's own PID loop (sampling period, gain, Ti, Td); the editor keeps it hidden.
  double Gain() const { return this->F64(kGainOffset); }
  void SetGain(double v) const requires Base::kWritable { this->SetF64(kGainOffset, v); }

  // Set value in special status F1..F4 (k = 1..4).
  std::int32_t FunctionSetValue(int k) const {
    return this->FunctionValueAt(kFunctionSetValuesOffset, k);
  }
  void SetFunctionSetValue(int k, std::int32_t v) const requires Base::kWritable {
    this->SetFunctionValueAt(kFunctionSetValuesOffset, k, v);
  }

  // 0..4 selects PID regulator 1..5 (used when the output type is 2).
  std::uint8_t PidNumber() const { return this->U8(kPidNumberOffset); }
  void SetPidNumber(std::uint8_t v) const requires Base::kWritable {
    this->SetU8(kPidNumberOffset, v);
  }
};

using AnalogOutputRecord = BasicAnalogOutputRecord<std::uint8_t>;
using ConstAnalogOutputRecord = BasicAnalogOutputRecord<const std::uint8_t>;

inline constexpr int kAnalogOutputCount = static_cast<int>(image::kAnalogOutputCount);
static_assert(AnalogOutputRecord::kSize == image::kAnalogOutputRecordSize);

// Analog output n, 1..5.
inline AnalogOutputRecord AnalogOutput(ProjectImage& image, int n) {
  detail::CheckRecordIndex("analog output", n, 1, kAnalogOutputCount);
  return AnalogOutputRecord(image.data() + image::kAnalogOutputsOffset +
                            (n - 1) * AnalogOutputRecord::kSize);
}
inline ConstAnalogOutputRecord AnalogOutput(const ProjectImage& image, int n) {
  detail::CheckRecordIndex("analog output", n, 1, kAnalogOutputCount);
  return ConstAnalogOutputRecord(image.data() + image::kAnalogOutputsOffset +
                                 (n - 1) * AnalogOutputRecord::kSize);
}

}  // namespace qdx
