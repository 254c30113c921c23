// PidRecord: one of the five PID regulators of the PidTable, 272 bytes. Its first 160
// bytes follow the analog-output layout; from 160 on it carries the pulse period, and the
// fields after it lie 8 bytes later than in the analog record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/blocks.h"
#include "model/output_loop_fields.h"

namespace qdx {

template <RecordByte Byte>
class BasicPidRecord : public detail::OutputLoopFields<Byte> {
  using Base = detail::OutputLoopFields<Byte>;

 public:
  static constexpr std::size_t kSize = 272;
  static constexpr int kFunctionCount = Base::kFunctionCount;

  // The name is not shown by the PID windows; the four 32-bit values in the analog-output
  // places (0 V, 10 V, Stop, Pause) are carried for the controller and neither shown nor
  // changed.
  static constexpr std::size_t kRegulatorTypeOffset = Base::kTypeOffset;
  static constexpr std::size_t kProportionalBandOffset = Base::kLoopGainOffset;  // Xp
  static constexpr std::size_t kPulsePeriodOffset = Base::kSharedSize;           // To
  static constexpr std::size_t kFunctionSetValuesOffset = 168;
  static constexpr std::size_t kPidNumberOffset = 184;
  static constexpr std::size_t kReservedOffset = 185;
  static constexpr std::size_t kReservedSize = 87;

  static_assert(kPulsePeriodOffset + 8 == kFunctionSetValuesOffset);
  static_assert(kFunctionSetValuesOffset + kFunctionCount * 4 == kPidNumberOffset);
  static_assert(kPidNumberOffset + 1 == kReservedOffset);
  static_assert(kReservedOffset + kReservedSize == kSize);

  explicit BasicPidRecord(Byte* p) : Base(p) {}
  template <RecordByte Other>
  requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
      BasicPidRecord(const BasicPidRecord<Other>& other)
      : Base(other.data()) {}

  // 0 heating, 1 cooling.
  std::uint16_t RegulatorType() const { return this->U16(kRegulatorTypeOffset); }
  void SetRegulatorType(std::uint16_t v) const requires Base::kWritable {
    this->SetU16(kRegulatorTypeOffset, v);
  }
  // Xp, tenths of a percent (12.5 % is stored as 125). Tp (SamplePeriod), Ti and Td are in
  // seconds.
  double ProportionalBand() const { return this->F64(kProportionalBandOffset); }
  void SetProportionalBand(double v) const requires Base::kWritable {
    this->SetF64(kProportionalBandOffset, v);
  }
  // To, pulse period for digital outputs, milliseconds.
  double PulsePeriod() const { return this->F64(kPulsePeriodOffset); }
  void SetPulsePeriod(double v) const requires Base::kWritable {
    this->SetF64(kPulsePeriodOffset, v);
  }

  // Carried, not used by the PID windows: four values in the places of F1..F4 (k = 1..4)
  // and one byte in the place of the PID number.
  std::int32_t FunctionSetValue(int k) const {
    return this->FunctionValueAt(kFunctionSetValuesOffset, k);
  }
  void SetFunctionSetValue(int k, std::int32_t v) const requires Base::kWritable {
    this->SetFunctionValueAt(kFunctionSetValuesOffset, k, v);
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
