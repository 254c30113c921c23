// SpecialStatusRecord: one of the six special statuses (Stop, Pause, F1..F4), 144 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/blocks.h"
#include "model/record_view.h"
#include "model/relay_output_states.h"
#include "model/text_field.h"

namespace qdx {

template <RecordByte Byte>
class BasicSpecialStatusRecord : public detail::FieldAccess<Byte> {
  using Base = detail::FieldAccess<Byte>;

 public:
  static constexpr std::size_t kSize = 144;

  static constexpr std::size_t kNumberOffset = 0;
  static constexpr std::size_t kNameOffset = 4;
  static constexpr std::size_t kNameCapacity = 50;
  static constexpr std::size_t kPaddingOffset = 55;  // 1 byte
  static constexpr std::size_t kSwitchOffTimeOffset = 56;
  static constexpr std::size_t kRelayLogicOffset = 60;
  static constexpr std::size_t kOutputsOffset = 64;
  static constexpr std::size_t kReservedOffset = 96;
  static constexpr std::size_t kReservedSize = 48;

  static_assert(kNumberOffset + 4 == kNameOffset);
  static_assert(kNameOffset + 1 + kNameCapacity == kPaddingOffset);
  static_assert(kPaddingOffset + 1 == kSwitchOffTimeOffset);
  static_assert(kSwitchOffTimeOffset + 4 == kRelayLogicOffset);
  static_assert(kRelayLogicOffset + 4 == kOutputsOffset);
  static_assert(kOutputsOffset + BasicRelayOutputStates<Byte>::kSize == kReservedOffset);
  static_assert(kReservedOffset + kReservedSize == kSize);

  explicit BasicSpecialStatusRecord(Byte* p) : Base(p) {}
  template <RecordByte Other>
  requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
      BasicSpecialStatusRecord(const BasicSpecialStatusRecord<Other>& other)
      : Base(other.data()) {}

  std::int32_t Number() const { return this->S32(kNumberOffset); }
  void SetNumber(std::int32_t v) const requires Base::kWritable { this->SetS32(kNumberOffset, v); }

  BasicTextField<Byte> Name() const {
    return BasicTextField<Byte>(this->p_ + kNameOffset, kNameCapacity);
  }

  // Seconds; -1 is the lowest value the editor accepts.
  std::int32_t SwitchOffTime() const { return this->S32(kSwitchOffTimeOffset); }
  void SetSwitchOffTime(std::int32_t v) const requires Base::kWritable {
    this->SetS32(kSwitchOffTimeOffset, v);
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

using SpecialStatusRecord = BasicSpecialStatusRecord<std::uint8_t>;
using ConstSpecialStatusRecord = BasicSpecialStatusRecord<const std::uint8_t>;

inline constexpr int kSpecialStatusCount = static_cast<int>(image::kSpecialStatusCount);
static_assert(SpecialStatusRecord::kSize == image::kSpecialStatusRecordSize);

// Special status n, 1..6.
inline SpecialStatusRecord SpecialStatus(ProjectImage& image, int n) {
  detail::CheckRecordIndex("special status", n, 1, kSpecialStatusCount);
  return SpecialStatusRecord(image.data() + image::kSpecialStatusesOffset +
                             (n - 1) * SpecialStatusRecord::kSize);
}
inline ConstSpecialStatusRecord SpecialStatus(const ProjectImage& image, int n) {
  detail::CheckRecordIndex("special status", n, 1, kSpecialStatusCount);
  return ConstSpecialStatusRecord(image.data() + image::kSpecialStatusesOffset +
                                  (n - 1) * SpecialStatusRecord::kSize);
}

}  // namespace qdx
