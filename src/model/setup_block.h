// SetupBlock: 101 signed 16-bit words, 202 bytes. Words 1-97 are the parameters F01-F97,
// word 98 tells the operator-panel text layout, word 99 is the controller's program
// version. The same 202 bytes are a setup file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/blocks.h"
#include "model/record_view.h"

namespace qdx {

template <RecordByte Byte>
class BasicSetupBlock : public detail::FieldAccess<Byte> {
  using Base = detail::FieldAccess<Byte>;

 public:
  static constexpr int kWordCount = 101;
  static constexpr std::size_t kSize = kWordCount * 2;
  static constexpr int kFirstParameter = 1;
  static constexpr int kLastParameter = 97;
  static constexpr int kPanelLayoutWord = 98;
  static constexpr int kProgramVersionWord = 99;
  static constexpr std::size_t kPanelLayoutOffset = kPanelLayoutWord * 2;
  // Byte offset of word 99, where a setup reply carries the program version.
  static constexpr std::size_t kProgramVersionOffset = kProgramVersionWord * 2;

  explicit BasicSetupBlock(Byte* p) : Base(p) {}
  template <RecordByte Other>
  requires(std::is_const_v<Byte> && !std::is_const_v<Other>)
      BasicSetupBlock(const BasicSetupBlock<Other>& other)
      : Base(other.data()) {}

  // Word n, 0..100.
  std::int16_t Word(int n) const {
    detail::CheckRecordIndex("setup word", n, 0, kWordCount - 1);
    return this->S16(static_cast<std::size_t>(n) * 2);
  }
  void SetWord(int n, std::int16_t v) const requires Base::kWritable {
    detail::CheckRecordIndex("setup word", n, 0, kWordCount - 1);
    this->SetS16(static_cast<std::size_t>(n) * 2, v);
  }

  // Parameter F<n>, n = 1..97: word n.
  std::int16_t Parameter(int n) const {
    detail::CheckRecordIndex("setup parameter", n, kFirstParameter, kLastParameter);
    return Word(n);
  }
  void SetParameter(int n, std::int16_t v) const requires Base::kWritable {
    detail::CheckRecordIndex("setup parameter", n, kFirstParameter, kLastParameter);
    SetWord(n, v);
  }

  std::int16_t PanelLayout() const { return Word(kPanelLayoutWord); }
  std::int16_t ProgramVersion() const { return Word(kProgramVersionWord); }
  void SetProgramVersion(std::int16_t v) const requires Base::kWritable {
    SetWord(kProgramVersionWord, v);
  }
};

using SetupBlock = BasicSetupBlock<std::uint8_t>;
using ConstSetupBlock = BasicSetupBlock<const std::uint8_t>;

static_assert(SetupBlock::kSize == image::kSetupSize);

inline SetupBlock Setup(ProjectImage& image) {
  return SetupBlock(image.data() + image::kSetupOffset);
}
inline ConstSetupBlock Setup(const ProjectImage& image) {
  return ConstSetupBlock(image.data() + image::kSetupOffset);
}

}  // namespace qdx
