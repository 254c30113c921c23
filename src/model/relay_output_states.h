// The 32 relay-output switches inside process, alarm and special-status records:
// byte n - 1 stands for relay output n, 1 = on, 0 = off.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/record_view.h"

namespace qdx {

template <RecordByte Byte>
class BasicRelayOutputStates {
 public:
  static constexpr std::size_t kSize = 32;
  static constexpr int kOutputCount = 32;

  explicit BasicRelayOutputStates(Byte* p) : p_(p) {}
  template <RecordByte Other>
  requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
      BasicRelayOutputStates(const BasicRelayOutputStates<Other>& other)
      : p_(other.data()) {}

  Byte* data() const { return p_; }

  // Output n (1..32) counts as on whenever its byte is non-zero.
  bool IsOn(int output) const { return Raw(output) != 0; }
  std::uint8_t Raw(int output) const {
    detail::CheckRecordIndex("relay output", output, 1, kOutputCount);
    return p_[output - 1];
  }
  // Writes exactly 1 or 0.
  void SetOn(int output, bool on) const requires(!std::is_const_v<Byte>) {
    detail::CheckRecordIndex("relay output", output, 1, kOutputCount);
    p_[output - 1] = on ? 1 : 0;
  }

 private:
  Byte* p_;
};

using RelayOutputStates = BasicRelayOutputStates<std::uint8_t>;
using ConstRelayOutputStates = BasicRelayOutputStates<const std::uint8_t>;

}  // namespace qdx
