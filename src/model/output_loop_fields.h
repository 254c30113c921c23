// The first 160 bytes shared by AnalogOutputRecord and PidRecord: a name, three 16-bit codes,
// four 32-bit set values and four doubles of a control loop. The two records differ only in
// what they call some of these fields and in what follows them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/record_view.h"
#include "model/text_field.h"

namespace qdx::detail {

template <RecordByte Byte>
class OutputLoopFields : public FieldAccess<Byte> {
  using Base = FieldAccess<Byte>;

 public:
  static constexpr std::size_t kNameOffset = 0;
  static constexpr std::size_t kNameCapacity = 100;
  static constexpr std::size_t kPadding1Offset = 101;  // 1 byte
  static constexpr std::size_t kTypeOffset = 102;
  static constexpr std::size_t kChannelOffset = 104;
  static constexpr std::size_t kSetValueOffset = 106;
  static constexpr std::size_t kValueAt0VOffset = 108;
  static constexpr std::size_t kValueAt10VOffset = 112;
  static constexpr std::size_t kStopSetValueOffset = 116;
  static constexpr std::size_t kPauseSetValueOffset = 120;
  static constexpr std::size_t kPadding2Offset = 124;
  static constexpr std::size_t kPadding2Size = 4;
  static constexpr std::size_t kSamplePeriodOffset = 128;
  static constexpr std::size_t kLoopGainOffset = 136;
  static constexpr std::size_t kIntegralTimeOffset = 144;
  static constexpr std::size_t kDerivativeTimeOffset = 152;
  static constexpr std::size_t kSharedSize = 160;

  static_assert(kNameOffset + 1 + kNameCapacity == kPadding1Offset);
  static_assert(kPadding1Offset + 1 == kTypeOffset);
  static_assert(kTypeOffset + 2 == kChannelOffset && kChannelOffset + 2 == kSetValueOffset);
  static_assert(kSetValueOffset + 2 == kValueAt0VOffset);
  static_assert(kValueAt0VOffset + 4 == kValueAt10VOffset);
  static_assert(kValueAt10VOffset + 4 == kStopSetValueOffset);
  static_assert(kStopSetValueOffset + 4 == kPauseSetValueOffset);
  static_assert(kPauseSetValueOffset + 4 == kPadding2Offset);
  static_assert(kPadding2Offset + kPadding2Size == kSamplePeriodOffset);
  static_assert(kSamplePeriodOffset + 8 == kLoopGainOffset);
  static_assert(kLoopGainOffset + 8 == kIntegralTimeOffset);
  static_assert(kIntegralTimeOffset + 8 == kDerivativeTimeOffset);
  static_assert(kDerivativeTimeOffset + 8 == kSharedSize);

  explicit OutputLoopFields(Byte* p) : Base(p) {}

  BasicTextField<Byte> Name() const {
    return BasicTextField<Byte>(this->p_ + kNameOffset, kNameCapacity);
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

  // Sampling period (Tp), a whole number.
  double SamplePeriod() const { return this->F64(kSamplePeriodOffset); }
  void SetSamplePeriod(double v) const requires Base::kWritable {
    this->SetF64(kSamplePeriodOffset, v);
  }
  double IntegralTime() const { return this->F64(kIntegralTimeOffset); }
  void SetIntegralTime(double v) const requires Base::kWritable {
    this->SetF64(kIntegralTimeOffset, v);
  }
  double DerivativeTime() const { return this->F64(kDerivativeTimeOffset); }
  void SetDerivativeTime(double v) const requires Base::kWritable {
    this->SetF64(kDerivativeTimeOffset, v);
  }

 protected:
  static constexpr int kFunctionCount = 4;  // F1..F4

  // Set value k (1..4) of a run of four signed 32-bit values starting at offset.
  std::int32_t FunctionValueAt(std::size_t offset, int k) const {
    CheckRecordIndex("special status F", k, 1, kFunctionCount);
    return this->S32(offset + static_cast<std::size_t>(k - 1) * 4);
  }
  void SetFunctionValueAt(std::size_t offset, int k,
                          std::int32_t v) const requires Base::kWritable {
    CheckRecordIndex("special status F", k, 1, kFunctionCount);
    this->SetS32(offset + static_cast<std::size_t>(k - 1) * 4, v);
  }
};

}  // namespace qdx::detail
