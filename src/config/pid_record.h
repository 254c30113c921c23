// PidRecord: one of the five PID regulators of the PidTable, 272 bytes. Its first 160
// bytes follow the analog-output layout; from 160 on it carries the pulse period, and the
// fields after it lie 8 bytes later than in the analog record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/blocks.h"
#include "config/record_view.h"
#include "config/text_field.h"

namespace qdx {

template <RecordByte Byte>
class BasicPidRecord : public detail::FieldAccess<Byte> {
  using Base = detail::FieldAccess<Byte>;

 public:
  static constexpr std::size_t kSize = 272;
  static constexpr int kFunctionCount = 4;

  static constexpr std::size_t kNameOffset = 0;  // not shown by the PID windows
  static constexpr std::size_t kNameCapacity = 100;
  static constexpr std::size_t kPadding1Offset = 101;  // 1 byte
  static constexpr std::size_t kRegulatorTypeOffset = 102;
  static constexpr std::size_t kChannelOffset = 104;
  static constexpr std::size_t kSetValueOffset = 106;
  // Four signed 32-bit values in the analog-output places (0 V, 10 V, Stop, Pause).
  static constexpr std::size_t kValueAt0VOffset = 108;
  static constexpr std::size_t kValueAt10VOffset = 112;
  static constexpr std::size_t kStopSetValueOffset = 116;
  static constexpr std::size_t kPauseSetValueOffset = 120;
  static constexpr std::size_t kPadding2Offset = 124;
  static constexpr std::size_t kPadding2Size = 4;
  static constexpr std::size_t kSamplePeriodOffset = 128;      // Tp
  static constexpr std::size_t kProportionalBandOffset = 136;  // Xp
  static constexpr std::size_t kIntegralTimeOffset = 144;      // Ti
  static constexpr std::size_t kDerivativeTimeOffset = 152;    // Td
  static constexpr std::size_t kPulsePeriodOffset = 160;       // To
  static constexpr std::size_t kFunctionSetValuesOffset = 168;
  static constexpr std::size_t kPidNumberOffset = 184;
  static constexpr std::size_t kReservedOffset = 185;
  static constexpr std::size_t kReservedSize = 87;

  static_assert(kNameOffset + 1 + kNameCapacity == kPadding1Offset);
  static_assert(kPadding1Offset + 1 == kRegulatorTypeOffset);
  static_assert(kRegulatorTypeOffset + 2 == kChannelOffset);
  static_assert(kChannelOffset + 2 == kSetValueOffset && kSetValueOffset + 2 == kValueAt0VOffset);
  static_assert(kValueAt0VOffset + 4 == kValueAt10VOffset);
  static_assert(kValueAt10VOffset + 4 == kStopSetValueOffset);
  static_assert(kStopSetValueOffset + 4 == kPauseSetValueOffset);
  static_assert(kPauseSetValueOffset + 4 == kPadding2Offset);
  static_assert(kPadding2Offset + kPadding2Size == kSamplePeriodOffset);
  static_assert(kSamplePeriodOffset + 8 == kProportionalBandOffset);
  static_assert(kProportionalBandOffset + 8 == kIntegralTimeOffset);
  static_assert(kIntegralTimeOffset + 8 == kDerivativeTimeOffset);
  static_assert(kDerivativeTimeOffset + 8 == kPulsePeriodOffset);
  static_assert(kPulsePeriodOffset + 8 == kFunctionSetValuesOffset);
  static_assert(kFunctionSetValuesOffset + kFunctionCount * 4 == kPidNumberOffset);
  static_assert(kPidNumberOffset + 1 == kReservedOffset);
  static_assert(kReservedOffset + kReservedSize == kSize);

  explicit BasicPidRecord(Byte* p) : Base(p) {}
  template <RecordByte Other>
  requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
      BasicPidRecord(const BasicPidRecord<Other>& other)
      : Base(other.data()) {}

  BasicTextField<Byte> Name() const {
    return BasicTextField<Byte>(this->p_ + kNameOffset, kNameCapacity);
  }

  // 0 heating, 1 cooling.
  std::uint16_t RegulatorType() const { return this->U16(kRegulatorTypeOffset); }
  void SetRegulatorType(std::uint16_t v) const requires Base::kWritable {
    this->SetU16(kRegulatorTypeOffset, v);
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

  // Carried for the controller; the PID windows neither show nor change these.
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

  // Tp, seconds (a whole number).
  double SamplePeriod() const { return this->F64(kSamplePeriodOffset); }
  void SetSamplePeriod(double v) const requires Base::kWritable {
    this->SetF64(kSamplePeriodOffset, v);
  }
  // Xp, tenths of a percent (12.5 % is stored as 125).
  double ProportionalBand() const { return this->F64(kProportionalBandOffset); }
  void SetProportionalBand(double v) const requires Base::kWritable {
    this->SetF64(kProportionalBandOffset, v);
  }
  // Ti, seconds.
  double IntegralTime() const { return this->F64(kIntegralTimeOffset); }
  void SetIntegralTime(double v) const requires Base::kWritable {
    this->SetF64(kIntegralTimeOffset, v);
  }
  // Td, seconds.
  double DerivativeTime() const { return this->F64(kDerivativeTimeOffset); }
  void SetDerivativeTime(double v) const requires Base::kWritable {
    this->SetF64(kDerivativeTimeOffset, v);
  }
  // To, pulse period for digital outputs, milliseconds.
  double PulsePeriod() const { return this->F64(kPulsePeriodOffset); }
  void SetPulsePeriod(double v) const requires Base::kWritable {
    this->SetF64(kPulsePeriodOffset, v);
  }

  // Carried, not used by the PID windows: four values in the places of F1..F4 (k = 1..4)
  // and one byte in the place of the PID number.
  std::int32_t FunctionSetValue(int k) const {
    detail::CheckRecordIndex("special status F", k, 1, kFunctionCount);
    return this->S32(kFunctionSetValuesOffset + static_cast<std::size_t>(k - 1) * 4);
  }
  void SetFunctionSetValue(int k, std::int32_t v) const requires Base::kWritable {
    detail::CheckRecordIndex("special status F", k, 1, kFunctionCount);
    this->SetS32(kFunctionSetValuesOffset + static_cast<std::size_t>(k - 1) * 4, v);
  }
  std::uint8_t PidNumber() const { return this->U8(kPidNumberOffset); }
  void SetPidNumber(std::uint8_t v) const requires Base::kWritable {
    this->SetU8(kPidNumberOffset, v);
  }
};

using PidRecord = BasicPidRecord<std::uint8_t>;
using ConstPidRecord = BasicPidRecord<const std::uint8_t>;

inline constexpr int kPidCount = static_cast<int>(pid::kRecordCount);
static_assert(PidRecord::kSize == pid::kRecordSize);

// Regulator n, 1..5.
inline PidRecord Pid(PidTable& table, int n) {
  detail::CheckRecordIndex("PID regulator", n, 1, kPidCount);
  return PidRecord(table.data() + (n - 1) * PidRecord::kSize);
}
inline ConstPidRecord Pid(const PidTable& table, int n) {
  detail::CheckRecordIndex("PID regulator", n, 1, kPidCount);
  return ConstPidRecord(table.data() + (n - 1) * PidRecord::kSize);
}

}  // namespace qdx
