#include "files/project_defaults.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "project_test_util.h"

namespace qdx {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ImageBytes(const ProjectImage& image) {
  return Bytes(image.data(), image.data() + image.size());
}

void PutLe32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The start-up defaults written by hand at their documented offsets.
Bytes ExpectedStartupImage() {
  Bytes b(ProjectImage::kSize, 0);
  const std::size_t washing = 0x1AF788;
  b[washing] = 7;
  std::memcpy(b.data() + washing + 1, "WASHING", 7);
  for (std::uint32_t i = 1; i <= 32; ++i) PutLe32(b, 0x1B4B90 + (i - 1) * 92, i);
  for (std::uint32_t i = 1; i <= 6; ++i) PutLe32(b, 0x1B5710 + (i - 1) * 144, i);
  for (std::uint32_t i = 1; i <= 21; ++i) PutLe32(b, 0x1B5A70 + (i - 1) * 128, i);
  for (std::uint32_t i = 1; i <= 16; ++i) {
    PutLe32(b, 0x1B3C90 + (i - 1) * 120, i);
    PutLe32(b, 0x1B4410 + (i - 1) * 120, i);
  }
  PutLe32(b, washing + 17'652, 101);
  for (std::uint32_t i = 1; i <= 99; ++i) PutLe32(b, 0x68 + (i - 1) * 17'672 + 17'652, i);
  return b;
}

TEST(ProjectDefaults, StartupDefaultsNumberEveryRecordAndNameTheWashingProgram) {
  ProjectImage image;
  ApplyStartupDefaults(image);
  // Program 100 keeps 0, nothing else is touched, and the names are not written yet.
  EXPECT_EQ(ImageBytes(image), ExpectedStartupImage());
}

// The byte ranges the start-up defaults own: the washing program's name (length byte and
// seven characters) and every number field.
std::vector<std::pair<std::size_t, std::size_t>> StartupRanges() {
  std::vector<std::pair<std::size_t, std::size_t>> r{{0x1AF788, 8}, {0x1AF788 + 17'652, 4}};
  for (std::size_t i = 0; i < 32; ++i) r.push_back({0x1B4B90 + i * 92, 4});
  for (std::size_t i = 0; i < 6; ++i) r.push_back({0x1B5710 + i * 144, 4});
  for (std::size_t i = 0; i < 21; ++i) r.push_back({0x1B5A70 + i * 128, 4});
  for (std::size_t i = 0; i < 16; ++i) {
    r.push_back({0x1B3C90 + i * 120, 4});
    r.push_back({0x1B4410 + i * 120, 4});
  }
  for (std::size_t i = 0; i < 99; ++i) r.push_back({0x68 + i * 17'672 + 17'652, 4});
  return r;
}

TEST(ProjectDefaults, StartupDefaultsWriteOnlyTheirOwnBytes) {
  ProjectImage image;
  testing_util::FillPattern(image.bytes(), 3);
  Bytes expected = ImageBytes(image);
  const Bytes defaults = ExpectedStartupImage();
  for (const auto& [at, size] : StartupRanges()) {
    std::memcpy(expected.data() + at, defaults.data() + at, size);
  }
  ApplyStartupDefaults(image);
  EXPECT_EQ(ImageBytes(image), expected);
}

TEST(ProjectDefaults, FixedNamesWriteLengthAndCharactersOnly) {
  ProjectImage image;
  testing_util::FillPattern(image.bytes(), 5);
  Bytes expected = ImageBytes(image);
  ApplyFixedNames(image);
  const char* names[] = {"Stop mode", "Pause mode", "F1", "F2", "F3", "F4"};
  for (std::size_t i = 0; i < 6; ++i) {
    const std::size_t at = 0x1B5710 + i * 144 + 4;
    expected[at] = static_cast<std::uint8_t>(std::strlen(names[i]));
    std::memcpy(expected.data() + at + 1, names[i], std::strlen(names[i]));
    EXPECT_EQ(FixedSpecialStatusName(static_cast<int>(i) + 1), QByteArray(names[i]));
  }
  EXPECT_EQ(ImageBytes(image), expected);
}

}  // namespace
}  // namespace qdx
