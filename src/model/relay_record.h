// RelayRecord: one of the 32 relays, 92 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/blocks.h"
#include "model/record_view.h"
#include "model/text_field.h"

namespace qdx {

template <RecordByte Byte>
class BasicRelayRecord : public detail::FieldAccess<Byte> {
  using Base = detail::FieldAccess<Byte>;

 public:
  static constexpr std::size_t kSize = 92;

  static constexpr std::size_t kNumberOffset = 0;
  static constexpr std::size_t kNameOffset = 4;
  static constexpr std::size_t kNameCapacity = 30;
  static constexpr std::size_t kPaddingOffset = 35;  // 1 byte
  static constexpr std::size_t kTimeTypeOffset = 36;
  static constexpr std::size_t kTimeTaOffset = 40;
  static constexpr std::size_t kTimeTbOffset = 44;
  static constexpr std::size_t kRegulatorTypeOffset = 48;
  // Byte 52: channel index, byte 53: set-value index, bytes 54-55: 0 when the editor writes.
  static constexpr std::size_t kChannelWordOffset = 52;
  static constexpr std::size_t kChannelIndexOffset = 52;
  static constexpr std::size_t kSetValueIndexOffset = 53;
  static constexpr std::size_t kReserved1Offset = 56;
  static constexpr std::size_t kReserved1Size = 4;
  static constexpr std::size_t kRegulatorOffsetOffset = 60;
  static constexpr std::size_t kRegulatorWindowOffset = 64;
  static constexpr std::size_t kLowerHysteresisOffset = 68;
  static constexpr std::size_t kUpperHysteresisOffset = 72;
  static constexpr std::size_t kReserved2Offset = 76;
  static constexpr std::size_t kReserved2Size = 16;

  static_assert(kNumberOffset + 4 == kNameOffset);
  static_assert(kNameOffset + 1 + kNameCapacity == kPaddingOffset);
  static_assert(kPaddingOffset + 1 == kTimeTypeOffset);
  static_assert(kTimeTypeOffset + 4 == kTimeTaOffset && kTimeTaOffset + 4 == kTimeTbOffset);
  static_assert(kTimeTbOffset + 4 == kRegulatorTypeOffset);
  static_assert(kRegulatorTypeOffset + 4 == kChannelWordOffset);
  static_assert(kChannelWordOffset + 4 == kReserved1Offset);
  static_assert(kReserved1Offset + kReserved1Size == kRegulatorOffsetOffset);
  static_assert(kRegulatorOffsetOffset + 4 == kRegulatorWindowOffset);
  static_assert(kRegulatorWindowOffset + 4 == kLowerHysteresisOffset);
  static_assert(kLowerHysteresisOffset + 4 == kUpperHysteresisOffset);
  static_assert(kUpperHysteresisOffset + 4 == kReserved2Offset);
  static_assert(kReserved2Offset + kReserved2Size == kSize);

  explicit BasicRelayRecord(Byte* p) : Base(p) {}
  template <RecordByte Other>
  requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
      BasicRelayRecord(const BasicRelayRecord<Other>& other)
      : Base(other.data()) {}

  std::int32_t Number() const { return this->S32(kNumberOffset); }
  void SetNumber(std::int32_t v) const requires Base::kWritable { this->SetS32(kNumberOffset, v); }

  BasicTextField<Byte> Name() const {
    return BasicTextField<Byte>(this->p_ + kNameOffset, kNameCapacity);
  }

  // 0..5, see the time-type table.
  std::int32_t TimeType() const { return this->S32(kTimeTypeOffset); }
  void SetTimeType(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kTimeTypeOffset, v);
  }
  std::int32_t TimeTa() const { return this->S32(kTimeTaOffset); }
  void SetTimeTa(std::int32_t v) const requires Base::kWritable { this->SetS32(kTimeTaOffset, v); }
  std::int32_t TimeTb() const { return this->S32(kTimeTbOffset); }
  void SetTimeTb(std::int32_t v) const requires Base::kWritable { this->SetS32(kTimeTbOffset, v); }

  // 0..6, see the regulator-type table.
  std::int32_t RegulatorType() const { return this->S32(kRegulatorTypeOffset); }
  void SetRegulatorType(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kRegulatorTypeOffset, v);
  }

  // The whole 32-bit channel and set-value word (set value x 256 + channel as the editor
  // computes it).
  std::int32_t ChannelWord() const { return this->S32(kChannelWordOffset); }
  void SetChannelWord(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kChannelWordOffset, v);
  }
  // Byte 52: index into the channel list the regulator type selects.
  std::uint8_t ChannelIndex() const { return this->U8(kChannelIndexOffset); }
  void SetChannelIndex(std::uint8_t v) const requires Base::kWritable {
    this->SetU8(kChannelIndexOffset, v);
  }
  // Byte 53: index into SetValueSourceList.
  std::uint8_t SetValueIndex() const { return this->U8(kSetValueIndexOffset); }
  void SetSetValueIndex(std::uint8_t v) const requires Base::kWritable {
    this->SetU8(kSetValueIndexOffset, v);
  }

  // The four regulator values are in tenths.
  std::int32_t RegulatorOffset() const { return this->S32(kRegulatorOffsetOffset); }
  void SetRegulatorOffset(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kRegulatorOffsetOffset, v);
  }
  std::int32_t RegulatorWindow() const { return this->S32(kRegulatorWindowOffset); }
  void SetRegulatorWindow(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kRegulatorWindowOffset, v);
  }
  std::int32_t LowerHysteresis() const { return this->S32(kLowerHysteresisOffset); }
  void SetLowerHysteresis(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kLowerHysteresisOffset, v);
  }
  std::int32_t UpperHysteresis() const { return this->S32(kUpperHysteresisOffset); }
  void SetUpperHysteresis(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kUpperHysteresisOffset, v);
  }
};

using RelayRecord = BasicRelayRecord<std::uint8_t>;
using ConstRelayRecord = BasicRelayRecord<const std::uint8_t>;

inline constexpr int kRelayCount = static_cast<int>(image::kRelayCount);
static_assert(RelayRecord::kSize == image::kRelayRecordSize);

// Relay n, 1..32.
inline RelayRecord Relay(ProjectImage& image, int n) {
  detail::CheckRecordIndex("relay", n, 1, kRelayCount);
  return RelayRecord(image.data() + image::kRelaysOffset + (n - 1) * RelayRecord::kSize);
}
inline ConstRelayRecord Relay(const ProjectImage& image, int n) {
  detail::CheckRecordIndex("relay", n, 1, kRelayCount);
  return ConstRelayRecord(image.data() + image::kRelaysOffset + (n - 1) * RelayRecord::kSize);
}

}  // namespace qdx
