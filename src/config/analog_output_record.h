// AnalogOutputRecord: one of the five analog outputs, 264 bytes. It has no number field;
// the name comes first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/blocks.h"
#include "config/record_view.h"
#include "config/text_field.h"

namespace qdx {

template <RecordByte Byte>
class BasicAnalogOutputRecord : public detail::FieldAccess<Byte> {
  using Base = detail::FieldAccess<Byte>;

 public:
  static constexpr std::size_t kSize = 264;
  static constexpr int kFunctionCount = 4;  // F1..F4

  static constexpr std::size_t kNameOffset = 0;
  static constexpr std::size_t kNameCapacity = 100;
  static constexpr std::size_t kPadding1Offset = 101;  // 1 byte
  static constexpr std::size_t kOutputTypeOffset = 102;
  static constexpr std::size_t kChannelOffset = 104;
  static constexpr std::size_t kSetValueOffset = 106;
  static constexpr std::size_t kValueAt0VOffset = 108;
  static constexpr std::size_t kValueAt10VOffset = 112;
  static constexpr std::size_t kStopSetValueOffset = 116;
  static constexpr std::size_t kPauseSetValueOffset = 120;
  static constexpr std::size_t kPadding2Offset = 124;
  static constexpr std::size_t kPadding2Size = 4;
  static constexpr std::size_t kSamplePeriodOffset = 128;
  static constexpr std::size_t kGainOffset = 136;
  static constexpr std::size_t kIntegralTimeOffset = 144;
  static constexpr std::size_t kDerivativeTimeOffset = 152;
  static constexpr std::size_t kFunctionSetValuesOffset = 160;  // F1..F4, signed 32-bit each
  static constexpr std::size_t kPidNumberOffset = 176;
  static constexpr std::size_t kReservedOffset = 177;
  static constexpr std::size_t kReservedSize = 87;

  static_assert(kNameOffset + 1 + kNameCapacity == kPadding1Offset);
  static_assert(kPadding1Offset + 1 == kOutputTypeOffset);
  static_assert(kOutputTypeOffset + 2 == kChannelOffset && kChannelOffset + 2 == kSetValueOffset);
  static_assert(kSetValueOffset + 2 == kValueAt0VOffset);
  static_assert(kValueAt0VOffset + 4 == kValueAt10VOffset);
  static_assert(kValueAt10VOffset + 4 == kStopSetValueOffset);
  static_assert(kStopSetValueOffset + 4 == kPauseSetValueOffset);
  static_assert(kPauseSetValueOffset + 4 == kPadding2Offset);
  static_assert(kPadding2Offset + kPadding2Size == kSamplePeriodOffset);
  static_assert(kSamplePeriodOffset + 8 == kGainOffset && kGainOffset + 8 == kIntegralTimeOffset);
  static_assert(kIntegralTimeOffset + 8 == kDerivativeTimeOffset);
  static_assert(kDerivativeTimeOffset + 8 == kFunctionSetValuesOffset);
  static_assert(kFunctionSetValuesOffset + kFunctionCount * 4 == kPidNumberOffset);
  static_assert(kPidNumberOffset + 1 == kReservedOffset);
  static_assert(kReservedOffset + kReservedSize == kSize);

  explicit BasicAnalogOutputRecord(Byte* p) : Base(p) {}
  template <RecordByte Other>
  requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
      BasicAnalogOutputRecord(const BasicAnalogOutputRecord<Other>& other)
      : Base(other.data()) {}

  BasicTextField<Byte> Name() const {
    return BasicTextField<Byte>(this->p_ + kNameOffset, kNameCapacity);
  }

  // 0 switched off, 1 set value, 2 PID.
  std::uint16_t OutputType() const { return this->U16(kOutputTypeOffset); }
  void SetOutputType(std::uint16_t v) const requires Base::kWritable {
    this->SetU16(kOutputTypeOffset, v);
  }
  // Index into MeasurementChannelList.
  std::uint16_t Channel() const { return this->U16(kChannelOffset); }
  void SetChannel(std::uint16_t v) const requires Base::kWritable {
    this->SetU16(kChannelOffset, v);
  }
  // Index into SetValueSourceList.
  std::uint16_t SetValue() const { return this->U16(kSetValueOffset); }
  void SetSetValue(std::uint16_t v) const requires Base::kWritable {
    this->SetU16(kSetValueOffset, v);
  }

  // Process value at the bottom (0 V, 0 mA, 4 mA) and top (10 V, 20 mA) of the range.
  std::int32_t ValueAt0V() const { return this->S32(kValueAt0VOffset); }
  void SetValueAt0V(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kValueAt0VOffset, v);
  }
  std::int32_t ValueAt10V() const { return this->S32(kValueAt10VOffset); }
  void SetValueAt10V(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kValueAt10VOffset, v);
  }
  std::int32_t StopSetValue() const { return this->S32(kStopSetValueOffset); }
  void SetStopSetValue(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kStopSetValueOffset, v);
  }
  std::int32_t PauseSetValue() const { return this->S32(kPauseSetValueOffset); }
  void SetPauseSetValue(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kPauseSetValueOffset, v);
  }

  // The output's own PID loop; the editor keeps these hidden.
  double SamplePeriod() const { return this->F64(kSamplePeriodOffset); }
  void SetSamplePeriod(double v) const requires Base::kWritable {
    this->SetF64(kSamplePeriodOffset, v);
  }
  double Gain() const { return this->F64(kGainOffset); }
  void SetGain(double v) const requires Base::kWritable { this->SetF64(kGainOffset, v); }
  double IntegralTime() const { return this->F64(kIntegralTimeOffset); }
  void SetIntegralTime(double v) const requires Base::kWritable {
    this->SetF64(kIntegralTimeOffset, v);
  }
  double DerivativeTime() const { return this->F64(kDerivativeTimeOffset); }
  void SetDerivativeTime(double v) const requires Base::kWritable {
    this->SetF64(kDerivativeTimeOffset, v);
  }

  // Set value in special status F1..F4 (k = 1..4).
  std::int32_t FunctionSetValue(int k) const {
    detail::CheckRecordIndex("special status F", k, 1, kFunctionCount);
    return this->S32(kFunctionSetValuesOffset + static_cast<std::size_t>(k - 1) * 4);
  }
  void SetFunctionSetValue(int k, std::int32_t v) const requires Base::kWritable {
    detail::CheckRecordIndex("special status F", k, 1, kFunctionCount);
    this->SetS32(kFunctionSetValuesOffset + static_cast<std::size_t>(k - 1) * 4, v);
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
