#include "files/legacy_formats.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>

#include "files/project_files.h"
#include "project_test_util.h"

namespace qdx {
namespace {

using testing_util::FillBlocks;
using testing_util::Pattern;
using testing_util::WriteFile;

constexpr std::size_t kImageSize = 1'796'856;
constexpr std::size_t kQd2Size = 1'795'532;
constexpr std::size_t kQdpSize = 285'488;

// Documented places in the current image.
constexpr std::size_t kPrograms = 0x68;
constexpr std::size_t kProgramSize = 17'672;
constexpr std::size_t kWashingProgram = 0x1AF788;
constexpr std::size_t kProcesses = 0x1B3C90;
constexpr std::size_t kSpecialStatuses = 0x1B5710;
constexpr std::size_t kReserved = 0x1B64F0;
constexpr std::size_t kSetup = 0x1B6500;
constexpr std::size_t kAnalogOutputs = 0x1B65D0;

using Bytes = std::vector<std::uint8_t>;

Bytes ImageBytes(const ProjectImage& image) {
  return Bytes(image.data(), image.data() + image.size());
}

void RawFixedNames(Bytes& image, std::size_t specialStatuses) {
  const char* names[] = {"Stop mode", "Pause mode", "F1", "F2", "F3", "F4"};
  for (std::size_t i = 0; i < 6; ++i) {
    const std::size_t at = specialStatuses + i * 144 + 4;
    image[at] = static_cast<std::uint8_t>(std::strlen(names[i]));
    std::memcpy(image.data() + at + 1, names[i], std::strlen(names[i]));
  }
}

void Copy(const Bytes& from, std::size_t fromAt, Bytes& to, std::size_t toAt, std::size_t n) {
  std::memcpy(to.data() + toAt, from.data() + fromAt, n);
}

void PutLe32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

class LegacyFormatsTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QTemporaryDir dir_;
};

// ".qd2": everything up to the analog outputs at the same offsets, except the header padding
// and the reserved bytes.
Bytes ExpectedAfterQd2(const Bytes& before, const Bytes& file) {
  Bytes expected = before;
  Copy(file, 0, expected, 0, 101);
  Copy(file, kPrograms, expected, kPrograms, kReserved - kPrograms);
  Copy(file, kSetup, expected, kSetup, 202);
  RawFixedNames(expected, kSpecialStatuses);
  return expected;
}

TEST_F(LegacyFormatsTest, Qd2KeepsAnalogOutputsReservedAndPadding) {
  const Bytes file = Pattern(kQd2Size, 41);
  ASSERT_TRUE(WriteFile(Path("old.qd2"), file));
  ProjectBlocks blocks;
  FillBlocks(blocks, 42);
  const Bytes before = ImageBytes(blocks.image);

  ASSERT_TRUE(LoadProjectFile(blocks, Path("old.qd2")));
  const Bytes after = ImageBytes(blocks.image);
  EXPECT_EQ(after, ExpectedAfterQd2(before, file));
  // The analog outputs are outside the old file and keep their content.
  EXPECT_TRUE(
      std::equal(after.begin() + kAnalogOutputs, after.end(), before.begin() + kAnalogOutputs));
}

TEST_F(LegacyFormatsTest, Qd2SizesAndUpperCaseExtension) {
  struct Case {
    const char* name;
    long delta;
    bool loads;
  };
  const Case cases[] = {{"a.qd2", 0, true},   {"b.qd2", -1, false},
                        {"c.qd2", 1, true},   {"D.QD2", 0, true},
                        {"e.Qd2", 7, true},   {"f.qd2", -static_cast<long>(kQd2Size), false},
                        {"g.qd2", 1000, true}};
  for (const Case& c : cases) {
    const Bytes file = Pattern(static_cast<std::size_t>(static_cast<long>(kQd2Size) + c.delta), 43);
    ASSERT_TRUE(WriteFile(Path(c.name), file));
    ProjectBlocks blocks;
    FillBlocks(blocks, 44);
    const Bytes before = ImageBytes(blocks.image);
    const FileResult r = LoadProjectFile(blocks, Path(c.name));
    EXPECT_EQ(r.ok, c.loads) << c.name;
    const Bytes expected =
        c.loads ? ExpectedAfterQd2(before, Bytes(file.begin(), file.begin() + kQd2Size)) : before;
    EXPECT_EQ(ImageBytes(blocks.image), expected) << c.name;
  }
}

// A synthetic ".qdp" file: a pattern with readable lengths in the texts the conversion
// interprets, and some damaged ones.
Bytes MakeQdp(unsigned seed) {
  Bytes file = Pattern(kQdpSize, seed);
  file[0] = 120;  // header length beyond its 100 characters
  for (std::size_t n = 0; n < 100; ++n) {
    const std::size_t at = 104 + n * 2708;
    file[at] = static_cast<std::uint8_t>(n % 3 == 0 ? 200 : n % 51);        // some damaged
    PutLe32(file, at + 2692, 0xDEAD0000u + static_cast<std::uint32_t>(n));  // overwritten
  }
  return file;
}

Bytes ExpectedAfterQdp(const Bytes& before, const Bytes& file) {
  Bytes expected = before;
  const std::size_t headerLength = std::min<std::size_t>(file[0], 100);
  expected[0] = static_cast<std::uint8_t>(headerLength);
  Copy(file, 1, expected, 1, headerLength);
  Copy(file, 273'612, expected, kProcesses, 1920 + 1920 + 2944 + 864 + 2688);  // back to back
  Copy(file, 283'964, expected, kSetup, 202);
  Copy(file, 284'168, expected, kAnalogOutputs, 1320);
  for (std::size_t n = 1; n <= 100; ++n) {
    const std::size_t from = 104 + (n - 1) * 2708;
    const std::size_t to = kPrograms + (n - 1) * kProgramSize;
    const std::size_t nameLength = std::min<std::size_t>(file[from], 50);
    expected[to] = static_cast<std::uint8_t>(nameLength);
    Copy(file, from + 1, expected, to + 1, nameLength);
    Copy(file, from + 52, expected, to + 52, 30 * 88);
    PutLe32(expected, to + 17'652, static_cast<std::uint32_t>(n));
    PutLe32(expected, to + 17'668, 30);
  }
  RawFixedNames(expected, kSpecialStatuses);
  return expected;
}

TEST_F(LegacyFormatsTest, QdpConvertsProgramsAndKeepsWhatTheOldLayoutLacks) {
  const Bytes file = MakeQdp(51);
  ASSERT_TRUE(WriteFile(Path("old.qdp"), file));
  ProjectBlocks blocks;
  FillBlocks(blocks, 52);
  const Bytes before = ImageBytes(blocks.image);

  ASSERT_TRUE(LoadProjectFile(blocks, Path("old.qdp")));
  const Bytes after = ImageBytes(blocks.image);
  EXPECT_EQ(after, ExpectedAfterQdp(before, file));

  // The points that matter most, spelled out.
  EXPECT_TRUE(std::equal(after.begin() + kWashingProgram, after.begin() + kProcesses,
                         before.begin() + kWashingProgram))
      << "washing program changed";
  EXPECT_TRUE(std::equal(after.begin() + kReserved, after.begin() + kReserved + 16,
                         before.begin() + kReserved))
      << "reserved bytes changed";
  for (std::size_t n = 1; n <= 100; ++n) {
    const std::size_t at = kPrograms + (n - 1) * kProgramSize;
    EXPECT_EQ(after[at + 17'652], n);
    EXPECT_EQ(after[at + 17'668], 30);
    EXPECT_TRUE(std::equal(after.begin() + at + 52 + 30 * 88, after.begin() + at + 17'652,
                           before.begin() + at + 52 + 30 * 88))
        << "steps 31..200 of program " << n;
  }
  EXPECT_EQ(after[0], 100);                       // damaged header length clamped
  EXPECT_EQ(after[kPrograms], 50);                // damaged name length clamped
  EXPECT_EQ(after[kPrograms + kProgramSize], 1);  // program 2: length 1
  EXPECT_EQ(after[kPrograms + 2 + kProgramSize], before[kPrograms + 2 + kProgramSize]);
}

TEST_F(LegacyFormatsTest, QdpSizesAndExtensions) {
  struct Case {
    const char* name;
    long delta;
    bool loads;
  };
  const Case cases[] = {{"a.qdp", 0, true},
                        {"b.qdp", -1, false},
                        {"c.qdp", 1, true},
                        {"D.QDP", 0, true},
                        {"e.bak", 0, true},
                        {"noextension", 0, true},
                        {"f.qdp", -static_cast<long>(kQdpSize), false},
                        {"g.qdp", -100'000, false}};
  for (const Case& c : cases) {
    Bytes file = MakeQdp(53);
    file.resize(static_cast<std::size_t>(static_cast<long>(kQdpSize) + c.delta), 0x5A);
    ASSERT_TRUE(WriteFile(Path(c.name), file));
    ProjectBlocks blocks;
    FillBlocks(blocks, 54);
    const Bytes before = ImageBytes(blocks.image);
    const FileResult r = LoadProjectFile(blocks, Path(c.name));
    EXPECT_EQ(r.ok, c.loads) << c.name;
    const Bytes expected =
        c.loads ? ExpectedAfterQdp(before, Bytes(file.begin(), file.begin() + kQdpSize)) : before;
    EXPECT_EQ(ImageBytes(blocks.image), expected) << c.name;
  }
}

TEST_F(LegacyFormatsTest, QdpAfterQd3KeepsWashingProgramAndLongSteps) {
  ProjectBlocks blocks;
  FillBlocks(blocks, 61);
  ASSERT_TRUE(SaveProjectFile(blocks, Path("current.qd3")));
  ASSERT_TRUE(WriteFile(Path("old.qdp"), MakeQdp(62)));
  ProjectBlocks loaded;
  ASSERT_TRUE(LoadProjectFile(loaded, Path("current.qd3")));
  const Bytes current = ImageBytes(loaded.image);
  ASSERT_TRUE(LoadProjectFile(loaded, Path("old.qdp")));
  const Bytes after = ImageBytes(loaded.image);
  EXPECT_TRUE(std::equal(after.begin() + kWashingProgram, after.begin() + kProcesses,
                         current.begin() + kWashingProgram));
  const std::size_t step31 = kPrograms + 52 + 30 * 88;
  EXPECT_TRUE(std::equal(after.begin() + step31, after.begin() + kPrograms + 17'652,
                         current.begin() + step31));
  // The side files of the .qdp name are optional; the passwords stay those of current.qd3.
  EXPECT_TRUE(loaded.passwords == blocks.passwords);
}

TEST_F(LegacyFormatsTest, QdpReadsItsSideFiles) {
  ASSERT_TRUE(WriteFile(Path("old.qdp"), MakeQdp(71)));
  ASSERT_TRUE(WriteFile(Path("old.qdph"), Pattern(550, 72)));
  ASSERT_TRUE(WriteFile(Path("old.qdppid"), Pattern(1360, 73)));
  ProjectBlocks blocks;
  ASSERT_TRUE(LoadProjectFile(blocks, Path("old.qdp")));
  EXPECT_EQ(Bytes(blocks.passwords.data(), blocks.passwords.data() + 550), Pattern(550, 72));
  EXPECT_EQ(Bytes(blocks.pid.data(), blocks.pid.data() + 1360), Pattern(1360, 73));
}

TEST(LegacyConversions, WorkOnBuffersWithoutFiles) {
  const Bytes qd2 = Pattern(kQd2Size, 81);
  ProjectImage image;
  const Bytes before = ImageBytes(image);
  ConvertQd2(std::span<const std::uint8_t, kQd2Size>(qd2.data(), qd2.size()), image);
  EXPECT_EQ(ImageBytes(image), ExpectedAfterQd2(before, qd2));

  const Bytes qdp = MakeQdp(82);
  const Bytes between = ImageBytes(image);
  ConvertQdp(std::span<const std::uint8_t, kQdpSize>(qdp.data(), qdp.size()), image);
  EXPECT_EQ(ImageBytes(image), ExpectedAfterQdp(between, qdp));
  static_assert(kImageSize == ProjectImage::kSize);
}

}  // namespace
}  // namespace qdx
