// The three process-wide data blocks of a project: fixed-size byte arrays whose regions
// are named here once. Record views (model/records.h) give typed access to their fields.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qdx {

// A fixed-size, zero-initialised byte block on the heap (the project image is too large
// for a stack). Its size never changes.
template <std::size_t N>
class ByteBlock {
 public:
  static constexpr std::size_t kSize = N;

  ByteBlock() : bytes_(N, 0) {}

  std::uint8_t* data() { return bytes_.data(); }
  const std::uint8_t* data() const { return bytes_.data(); }
  static constexpr std::size_t size() { return N; }
  std::span<std::uint8_t, N> bytes() { return std::span<std::uint8_t, N>(bytes_.data(), N); }
  std::span<const std::uint8_t, N> bytes() const {
    return std::span<const std::uint8_t, N>(bytes_.data(), N);
  }
  void Fill(std::uint8_t v) { std::fill(bytes_.begin(), bytes_.end(), v); }

  friend bool operator==(const ByteBlock& a, const ByteBlock& b) { return a.bytes_ == b.bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Layout of the project image; every offset is also an offset in a ".qd3" file.
namespace image {
inline constexpr std::size_t kHeaderOffset = 0x000000;
inline constexpr std::size_t kHeaderSize = 101;  // length byte + up to 100 characters
inline constexpr std::size_t kHeaderMaxChars = 100;

inline constexpr std::size_t kProgramsOffset = 0x000068;
inline constexpr std::size_t kProgramRecordSize = 17'672;
inline constexpr std::size_t kProgramCount = 100;

inline constexpr std::size_t kWashingProgramOffset = 0x1AF788;

inline constexpr std::size_t kProcessesOffset = 0x1B3C90;
inline constexpr std::size_t kProcessRecordSize = 120;
inline constexpr std::size_t kProcessCount = 16;
inline constexpr std::size_t kWashingProcessesOffset = 0x1B4410;

inline constexpr std::size_t kRelaysOffset = 0x1B4B90;
inline constexpr std::size_t kRelayRecordSize = 92;
inline constexpr std::size_t kRelayCount = 32;

inline constexpr std::size_t kSpecialStatusesOffset = 0x1B5710;
inline constexpr std::size_t kSpecialStatusRecordSize = 144;
inline constexpr std::size_t kSpecialStatusCount = 6;

inline constexpr std::size_t kAlarmsOffset = 0x1B5A70;
inline constexpr std::size_t kAlarmRecordSize = 128;
inline constexpr std::size_t kAlarmCount = 21;

inline constexpr std::size_t kReservedOffset = 0x1B64F0;
inline constexpr std::size_t kReservedSize = 16;

inline constexpr std::size_t kSetupOffset = 0x1B6500;
inline constexpr std::size_t kSetupWordCount = 101;
inline constexpr std::size_t kSetupSize = kSetupWordCount * 2;

inline constexpr std::size_t kAnalogOutputsOffset = 0x1B65D0;
inline constexpr std::size_t kAnalogOutputRecordSize = 264;
inline constexpr std::size_t kAnalogOutputCount = 5;

inline constexpr std::size_t kSize = 1'796'856;

static_assert(kHeaderOffset + kHeaderSize + 3 == kProgramsOffset);
static_assert(kProgramsOffset + kProgramCount * kProgramRecordSize == kWashingProgramOffset);
static_assert(kWashingProgramOffset + kProgramRecordSize == kProcessesOffset);
static_assert(kProcessesOffset + kProcessCount * kProcessRecordSize == kWashingProcessesOffset);
static_assert(kWashingProcessesOffset + kProcessCount * kProcessRecordSize == kRelaysOffset);
static_assert(kRelaysOffset + kRelayCount * kRelayRecordSize == kSpecialStatusesOffset);
static_assert(kSpecialStatusesOffset + kSpecialStatusCount * kSpecialStatusRecordSize ==
              kAlarmsOffset);
static_assert(kAlarmsOffset + kAlarmCount * kAlarmRecordSize == kReservedOffset);
static_assert(kReservedOffset + kReservedSize == kSetupOffset);
static_assert(kSetupOffset + kSetupSize + 6 == kAnalogOutputsOffset);
static_assert(kAnalogOutputsOffset + kAnalogOutputCount * kAnalogOutputRecordSize == 0x1B6AF8);
static_assert(0x1B6AF8 == kSize);
}  // namespace image

namespace passwords {
inline constexpr std::size_t kSize = 550;
}

namespace pid {
inline constexpr std::size_t kRecordSize = 272;
inline constexpr std::size_t kRecordCount = 5;
inline constexpr std::size_t kSize = kRecordSize * kRecordCount;
static_assert(kSize == 1'360);
}  // namespace pid

using ProjectImage = ByteBlock<image::kSize>;
using PasswordBlock = ByteBlock<passwords::kSize>;
using PidTable = ByteBlock<pid::kSize>;

// Every section of a project, in the order the whole-project windows list them; the
// passwords come last (only their own window and qdx move them). The section registry
// (config/section_registry.h) describes each one.
enum class SectionId {
  Setup,
  Relays,
  Processes,
  WashingProcesses,
  Alarms,
  SpecialStatuses,
  Programs,  // all 100 slots
  WashingProgram,
  AnalogOutputs,
  Pid,
  Passwords,
};
inline constexpr int kSectionCount = 11;

// Which of the three blocks holds a section.
enum class BlockId { Image, Pid, Passwords };

// Where a section's records lie: back to back in slot order from offset of their block.
struct SectionLayout {
  BlockId block;
  std::size_t offset;
  std::size_t recordSize;
  std::size_t count;
  constexpr std::size_t size() const { return recordSize * count; }
};

constexpr SectionLayout LayoutOf(SectionId section) {
  using namespace image;
  using enum BlockId;
  switch (section) {
    case SectionId::Programs:
      return {Image, kProgramsOffset, kProgramRecordSize, kProgramCount};
    case SectionId::WashingProgram:
      return {Image, kWashingProgramOffset, kProgramRecordSize, 1};
    case SectionId::Processes:
      return {Image, kProcessesOffset, kProcessRecordSize, kProcessCount};
    case SectionId::WashingProcesses:
      return {Image, kWashingProcessesOffset, kProcessRecordSize, kProcessCount};
    case SectionId::Relays:
      return {Image, kRelaysOffset, kRelayRecordSize, kRelayCount};
    case SectionId::SpecialStatuses:
      return {Image, kSpecialStatusesOffset, kSpecialStatusRecordSize, kSpecialStatusCount};
    case SectionId::Alarms:
      return {Image, kAlarmsOffset, kAlarmRecordSize, kAlarmCount};
    case SectionId::Setup:
      return {Image, kSetupOffset, kSetupSize, 1};
    case SectionId::AnalogOutputs:
      return {Image, kAnalogOutputsOffset, kAnalogOutputRecordSize, kAnalogOutputCount};
    case SectionId::Pid:
      return {BlockId::Pid, 0, pid::kRecordSize, pid::kRecordCount};
    case SectionId::Passwords:
      return {BlockId::Passwords, 0, passwords::kSize, 1};
  }
  return {Image, 0, 0, 0};
}

// A section of the image as one byte range (the image's sections only).
inline std::span<std::uint8_t> SectionBytes(ProjectImage& image, SectionId section) {
  const SectionLayout l = LayoutOf(section);
  return image.bytes().subspan(l.offset, l.size());
}
inline std::span<const std::uint8_t> SectionBytes(const ProjectImage& image, SectionId section) {
  const SectionLayout l = LayoutOf(section);
  return image.bytes().subspan(l.offset, l.size());
}

// The three blocks of one project.
struct ProjectBlocks {
  ProjectImage image;
  PasswordBlock passwords;
  PidTable pid;
};


namespace detail {
template <typename Blocks>  // ProjectBlocks, const or not
auto SectionBytesOf(Blocks& blocks, SectionId section)
    -> decltype(blocks.image.bytes().subspan(0)) {
  const SectionLayout l = LayoutOf(section);
  switch (l.block) {
    case BlockId::Image:
      return blocks.image.bytes().subspan(l.offset, l.size());
    case BlockId::Pid:
      return blocks.pid.bytes().subspan(l.offset, l.size());
    case BlockId::Passwords:
      return blocks.passwords.bytes().subspan(l.offset, l.size());
  }
  return {};
}
}  // namespace detail

// Any section as one byte range of the block that holds it.
inline std::span<std::uint8_t> SectionBytes(ProjectBlocks& blocks, SectionId section) {
  return detail::SectionBytesOf(blocks, section);
}
inline std::span<const std::uint8_t> SectionBytes(const ProjectBlocks& blocks, SectionId section) {
  return detail::SectionBytesOf(blocks, section);
}

}  // namespace qdx
