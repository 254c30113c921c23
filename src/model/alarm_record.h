// AlarmRecord: one of the 21 alarms, 128 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/blocks.h"
#include "model/record_view.h"
#include "model/relay_output_states.h"
#include "model/text_field.h"

namespace qdx {

template <RecordByte Byte>
class BasicAlarmRecord : public detail::FieldAccess<Byte> {
  using Base = detail::FieldAccess<Byte>;

 public:
  static constexpr std::size_t kSize = 128;

  static constexpr std::size_t kNumberOffset = 0;
  static constexpr std::size_t kNameOffset = 4;  // the alarm message
  static constexpr std::size_t kNameCapacity = 30;
  static constexpr std::size_t kPaddingOffset = 35;  // 1 byte
  static constexpr std::size_t kDelayTimeOffset = 36;
  static constexpr std::size_t kAlarmStatusOffset = 40;
  static constexpr std::size_t kRelayLogicOffset = 44;
  static constexpr std::size_t kOutputsOffset = 48;
  static constexpr std::size_t kReservedOffset = 80;
  static constexpr std::size_t kReservedSize = 48;

  static_assert(kNumberOffset + 4 == kNameOffset);
  static_assert(kNameOffset + 1 + kNameCapacity == kPaddingOffset);
  static_assert(kPaddingOffset + 1 == kDelayTimeOffset);
  static_assert(kDelayTimeOffset + 4 == kAlarmStatusOffset);
  static_assert(kAlarmStatusOffset + 4 == kRelayLogicOffset);
  static_assert(kRelayLogicOffset + 4 == kOutputsOffset);
  static_assert(kOutputsOffset + BasicRelayOutputStates<Byte>::kSize == kReservedOffset);
  static_assert(kReservedOffset + kReservedSize == kSize);

  explicit BasicAlarmRecord(Byte* p) : Base(p) {}
  template <RecordByte Other>
  requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
      BasicAlarmRecord(const BasicAlarmRecord<Other>& other)
      : Base(other.data()) {}

  std::int32_t Number() const { return this->S32(kNumberOffset); }
  void SetNumber(std::int32_t v) const requires Base::kWritable { this->SetS32(kNumberOffset, v); }

  // The alarm message the panel shows; it is the record's name in the list.
  BasicTextField<Byte> Name() const {
    return BasicTextField<Byte>(this->p_ + kNameOffset, kNameCapacity);
  }
  BasicTextField<Byte> Message() const { return Name(); }

  // Seconds.
  std::int32_t DelayTime() const { return this->S32(kDelayTimeOffset); }
  void SetDelayTime(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kDelayTimeOffset, v);
  }
  // 0 disabled, 1 interrupting the process, 2 not interrupting.
  std::int32_t AlarmStatus() const { return this->S32(kAlarmStatusOffset); }
  void SetAlarmStatus(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kAlarmStatusOffset, v);
  }
  // Position in RelayLogicList.
  std::int32_t RelayLogic() const { return this->S32(kRelayLogicOffset); }
  void SetRelayLogic(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kRelayLogicOffset, v);
  }

  BasicRelayOutputStates<Byte> Outputs() const {
    return BasicRelayOutputStates<Byte>(this->p_ + kOutputsOffset);
  }
};

using AlarmRecord = BasicAlarmRecord<std::uint8_t>;
using ConstAlarmRecord = BasicAlarmRecord<const std::uint8_t>;

inline constexpr int kAlarmCount = static_cast<int>(image::kAlarmCount);
static_assert(AlarmRecord::kSize == image::kAlarmRecordSize);

// Alarm n, 1..21.
inline AlarmRecord Alarm(ProjectImage& image, int n) {
  detail::CheckRecordIndex("alarm", n, 1, kAlarmCount);
  return AlarmRecord(image.data() + image::kAlarmsOffset + (n - 1) * AlarmRecord::kSize);
}
inline ConstAlarmRecord Alarm(const ProjectImage& image, int n) {
  detail::CheckRecordIndex("alarm", n, 1, kAlarmCount);
  return ConstAlarmRecord(image.data() + image::kAlarmsOffset + (n - 1) * AlarmRecord::kSize);
}

}  // namespace qdx
