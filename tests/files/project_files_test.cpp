#include "files/project_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstring>

#include "files/project_defaults.h"
#include "project_test_util.h"

namespace qdx {
namespace {

using testing_util::FillBlocks;
using testing_util::Pattern;
using testing_util::ReadFile;
using testing_util::ToByteArray;
using testing_util::WriteFile;

constexpr std::size_t kImageSize = 1'796'856;
constexpr std::size_t kPasswordSize = 550;
constexpr std::size_t kPidSize = 1'360;

// The fixed names written at their documented places, independently of the code under test.
void RawFixedNames(std::vector<std::uint8_t>& image) {
  const char* names[] = {"Stop mode", "Pause mode", "F1", "F2", "F3", "F4"};
  for (std::size_t i = 0; i < 6; ++i) {
    const std::size_t at = 0x1B5710 + i * 144 + 4;
    image[at] = static_cast<std::uint8_t>(std::strlen(names[i]));
    std::memcpy(image.data() + at + 1, names[i], std::strlen(names[i]));
  }
}

void RawWashingNumber(std::vector<std::uint8_t>& image) {
  const std::size_t at = 0x1AF788 + 17'652;
  image[at] = 101;
  image[at + 1] = image[at + 2] = image[at + 3] = 0;
}

template <std::size_t N>
std::vector<std::uint8_t> Bytes(const ByteBlock<N>& block) {
  return std::vector<std::uint8_t>(block.data(), block.data() + N);
}

class ProjectFilesTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QStringList Entries() const {
    return QDir(dir_.path())
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
  }

  QTemporaryDir dir_;
};

TEST_F(ProjectFilesTest, SaveWritesTheBlocksByteForByteAndLoadRestoresThem) {
  ProjectBlocks saved;
  FillBlocks(saved, 1);
  ApplyFixedNames(saved.image);  // a load writes them; make the round trip exact
  const QString name = Path("p.qd3");
  ASSERT_TRUE(SaveProjectFile(saved, name));

  EXPECT_EQ(ReadFile(name), ToByteArray(saved.image.bytes()));
  EXPECT_EQ(ReadFile(name + "h"), ToByteArray(saved.passwords.bytes()));
  EXPECT_EQ(ReadFile(name + "pid"), ToByteArray(saved.pid.bytes()));
  EXPECT_EQ(Entries(), (QStringList{"p.qd3", "p.qd3h", "p.qd3pid"}));  // no temporary left

  ProjectBlocks loaded;
  FillBlocks(loaded, 7);
  ASSERT_TRUE(LoadProjectFile(loaded, name));
  EXPECT_TRUE(loaded.image == saved.image);  // reserved and padding bytes included
  EXPECT_TRUE(loaded.passwords == saved.passwords);
  EXPECT_TRUE(loaded.pid == saved.pid);
}

TEST_F(ProjectFilesTest, SaveOverwritesAnExistingProject) {
  ProjectBlocks first, second;
  FillBlocks(first, 1);
  FillBlocks(second, 2);
  const QString name = Path("p.qd3");
  ASSERT_TRUE(SaveProjectFile(first, name));
  ASSERT_TRUE(SaveProjectFile(second, name));
  EXPECT_EQ(ReadFile(name), ToByteArray(second.image.bytes()));
  EXPECT_EQ(ReadFile(name + "h"), ToByteArray(second.passwords.bytes()));
  EXPECT_EQ(ReadFile(name + "pid"), ToByteArray(second.pid.bytes()));
  EXPECT_EQ(Entries().size(), 3);
}

TEST_F(ProjectFilesTest, LoadWritesTheFixedNamesAndKeepsTheBytesAfterThem) {
  std::vector<std::uint8_t> file = Pattern(kImageSize, 3);
  ASSERT_TRUE(WriteFile(Path("p.qd3"), file));
  ProjectBlocks blocks;
  ASSERT_TRUE(LoadProjectFile(blocks, Path("p.qd3")));
  RawFixedNames(file);
  EXPECT_EQ(Bytes(blocks.image), file);
}

// Which file of a project is made shorter or longer than its block.
enum class Part { Image, Passwords, Pid };

struct SizeCase {
  const char* label;
  Part part;
  long delta;  // bytes added to (or taken from) that file's exact size
  bool loads;
};

class ProjectFileSizeTest : public ProjectFilesTest,
                            public ::testing::WithParamInterface<SizeCase> {};

TEST_P(ProjectFileSizeTest, LoadsFirstRecordOrFailsWithoutReadingPastTheBlock) {
  const SizeCase c = GetParam();
  auto sized = [&](Part part, std::size_t size, unsigned seed) {
    const long extra = part == c.part ? c.delta : 0;
    return Pattern(static_cast<std::size_t>(static_cast<long>(size) + extra), seed);
  };
  const auto imageFile = sized(Part::Image, kImageSize, 11);
  const auto passwordFile = sized(Part::Passwords, kPasswordSize, 12);
  const auto pidFile = sized(Part::Pid, kPidSize, 13);
  const QString name = Path("p.qd3");
  ASSERT_TRUE(WriteFile(name, imageFile));
  ASSERT_TRUE(WriteFile(name + "h", passwordFile));
  ASSERT_TRUE(WriteFile(name + "pid", pidFile));

  ProjectBlocks blocks;
  FillBlocks(blocks, 5);
  ProjectBlocks before;
  FillBlocks(before, 5);

  const FileResult result = LoadProjectFile(blocks, name);
  EXPECT_EQ(result.ok, c.loads);

  // What each block should hold: the file's first record once the load got that far,
  // otherwise what it held before.
  auto first = [](const std::vector<std::uint8_t>& f, std::size_t n) {
    return std::vector<std::uint8_t>(f.begin(), f.begin() + static_cast<long>(n));
  };
  const bool imageRead = !(c.part == Part::Image && !c.loads);
  const bool passwordsRead = imageRead && !(c.part == Part::Passwords && !c.loads);
  const bool pidRead = passwordsRead && c.loads;

  std::vector<std::uint8_t> expectedImage =
      imageRead ? first(imageFile, kImageSize) : Bytes(before.image);
  if (imageRead) RawFixedNames(expectedImage);
  EXPECT_EQ(Bytes(blocks.image), expectedImage);
  EXPECT_EQ(Bytes(blocks.passwords),
            passwordsRead ? first(passwordFile, kPasswordSize) : Bytes(before.passwords));
  EXPECT_EQ(Bytes(blocks.pid), pidRead ? first(pidFile, kPidSize) : Bytes(before.pid));
  if (!c.loads) {
    const QString failing = c.part == Part::Image       ? name
                            : c.part == Part::Passwords ? name + "h"
                                                        : name + "pid";
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(failing)))
        << result.error.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ProjectFileSizeTest,
    ::testing::Values(SizeCase{"ImageExact", Part::Image, 0, true},
                      SizeCase{"ImageOneShort", Part::Image, -1, false},
                      SizeCase{"ImageOneLong", Part::Image, 1, true},
                      SizeCase{"ImageEmpty", Part::Image, -static_cast<long>(kImageSize), false},
                      SizeCase{"ImageMuchLonger", Part::Image, 100'000, true},
                      SizeCase{"PasswordsOneShort", Part::Passwords, -1, false},
                      SizeCase{"PasswordsOneLong", Part::Passwords, 1, true},
                      SizeCase{"PasswordsEmpty", Part::Passwords, -550, false},
                      SizeCase{"PidOneShort", Part::Pid, -1, false},
                      SizeCase{"PidOneLong", Part::Pid, 1, true},
                      SizeCase{"PidEmpty", Part::Pid, -1360, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ProjectFilesTest, MissingSideFilesKeepThePreviousProjectsBlocks) {
  ProjectBlocks first;
  FillBlocks(first, 1);
  ASSERT_TRUE(SaveProjectFile(first, Path("a.qd3")));
  const auto secondImage = Pattern(kImageSize, 2);
  const auto secondPasswords = Pattern(kPasswordSize, 3);
  ASSERT_TRUE(WriteFile(Path("b.qd3"), secondImage));
  ASSERT_TRUE(WriteFile(Path("c.qd3"), secondImage));
  ASSERT_TRUE(WriteFile(Path("c.qd3h"), secondPasswords));

  ProjectBlocks blocks;
  ASSERT_TRUE(LoadProjectFile(blocks, Path("a.qd3")));
  ASSERT_TRUE(LoadProjectFile(blocks, Path("b.qd3")));  // neither side file
  auto expectedImage = secondImage;
  RawFixedNames(expectedImage);
  EXPECT_EQ(Bytes(blocks.image), expectedImage);
  EXPECT_TRUE(blocks.passwords == first.passwords);
  EXPECT_TRUE(blocks.pid == first.pid);

  ASSERT_TRUE(LoadProjectFile(blocks, Path("c.qd3")));  // passwords only
  EXPECT_EQ(Bytes(blocks.passwords), secondPasswords);
  EXPECT_TRUE(blocks.pid == first.pid);
}

TEST_F(ProjectFilesTest, UpperCaseExtensionLoadsAsCurrentProject) {
  ProjectBlocks saved;
  FillBlocks(saved, 4);
  ApplyFixedNames(saved.image);
  ASSERT_TRUE(SaveProjectFile(saved, Path("P.QD3")));
  ProjectBlocks loaded;
  ASSERT_TRUE(LoadProjectFile(loaded, Path("P.QD3")));
  EXPECT_TRUE(loaded.image == saved.image);
  EXPECT_TRUE(loaded.passwords == saved.passwords);
  EXPECT_TRUE(loaded.pid == saved.pid);
}

TEST(ProjectFormat, ChosenByTheFileNamesExtension) {
  struct Case {
    const char* name;
    ProjectFormat format;
  };
  const Case cases[] = {
      {"p.qd3", ProjectFormat::Qd3},
      {"P.QD3", ProjectFormat::Qd3},
      {"p.Qd3", ProjectFormat::Qd3},
      {"p.qd3bak", ProjectFormat::Qd3},
      {"p.qd3h", ProjectFormat::Qd3},
      {"a.b.qd3", ProjectFormat::Qd3},
      {"p.qd2", ProjectFormat::Qd2},
      {"p.QD2", ProjectFormat::Qd2},
      {"p.qdp", ProjectFormat::Qdp},
      {"NEW.qdp", ProjectFormat::Qdp},
      {"p.txt", ProjectFormat::Qdp},
      {"project", ProjectFormat::Qdp},
      {"/x.qd3/project", ProjectFormat::Qdp},
      {"/x.qd3/p.qd2", ProjectFormat::Qd2},
      {"qd3", ProjectFormat::Qdp},
      {"p.", ProjectFormat::Qdp},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProjectFormatOf(QString::fromUtf8(c.name)), c.format) << c.name;
  }
}

TEST_F(ProjectFilesTest, LoadOfSomethingUnreadableFailsAndChangesNothing) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.qd3"));
  ASSERT_TRUE(WriteFile(Path("empty.qd3"), {}));
  ASSERT_TRUE(WriteFile(Path("empty.qd2"), {}));
  ASSERT_TRUE(WriteFile(Path("empty.qdp"), {}));
  const char* names[] = {"missing.qd3", "missing.qdp", "folder.qd3",
                         "empty.qd3",   "empty.qd2",   "empty.qdp"};
  for (const char* n : names) {
    ProjectBlocks blocks, before;
    FillBlocks(blocks, 6);
    FillBlocks(before, 6);
    const FileResult r = LoadProjectFile(blocks, Path(n));
    EXPECT_FALSE(r) << n;
    EXPECT_TRUE(r.error.contains(n)) << r.error.toStdString();
    EXPECT_TRUE(blocks.image == before.image) << n;
    EXPECT_TRUE(blocks.passwords == before.passwords) << n;
    EXPECT_TRUE(blocks.pid == before.pid) << n;
  }
}

// A save that cannot complete leaves every old file as it was and names the culprit.
TEST_F(ProjectFilesTest, FailedSaveLeavesTheOldFilesIntact) {
  struct Case {
    const char* label;
    const char* blocked;  // made a directory, so that it cannot be written
  };
  const Case cases[] = {{"image", "p.qd3"}, {"passwords", "p.qd3h"}, {"pid", "p.qd3pid"}};
  for (const Case& c : cases) {
    QTemporaryDir dir;
    const QString name = dir.filePath("p.qd3");
    const std::pair<QString, std::vector<std::uint8_t>> old[] = {
        {name, Pattern(kImageSize, 21)},
        {name + "h", Pattern(kPasswordSize, 22)},
        {name + "pid", Pattern(kPidSize, 23)}};
    for (const auto& [file, bytes] : old) {
      if (file == dir.filePath(c.blocked)) {
        ASSERT_TRUE(QDir(dir.path()).mkdir(c.blocked));
      } else {
        ASSERT_TRUE(WriteFile(file, bytes));
      }
    }
    ProjectBlocks blocks;
    FillBlocks(blocks, 9);
    const FileResult r = SaveProjectFile(blocks, name);
    EXPECT_FALSE(r) << c.label;
    EXPECT_TRUE(r.error.contains(c.blocked)) << r.error.toStdString();
    for (const auto& [file, bytes] : old) {
      if (file != dir.filePath(c.blocked)) {
        EXPECT_EQ(ReadFile(file), ToByteArray(bytes)) << c.label << " " << file.toStdString();
      }
    }
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(),
        3)
        << c.label << ": a temporary file was left behind";
  }
}

TEST_F(ProjectFilesTest, SaveIntoAFolderThatCannotExistFailsWithTheReason) {
  ASSERT_TRUE(WriteFile(Path("plain"), Pattern(10, 1)));
  const QString name = Path("plain/p.qd3");  // the parent is a regular file
  ProjectBlocks blocks;
  const FileResult r = SaveProjectFile(blocks, name);
  EXPECT_FALSE(r);
  EXPECT_TRUE(r.error.startsWith(QDir::toNativeSeparators(name) + ": ")) << r.error.toStdString();
  EXPECT_GT(r.error.size(), name.size() + 2);  // the system's reason follows the name
  EXPECT_EQ(ReadFile(Path("plain")), ToByteArray(Pattern(10, 1)));
}

class NewProjectTest : public ProjectFilesTest {};

TEST_F(NewProjectTest, LoadsTheTemplateButNotItsSideFiles) {
  const auto templ = Pattern(kImageSize, 31);
  ASSERT_TRUE(WriteFile(Path("default.qd3"), templ));
  ASSERT_TRUE(WriteFile(Path("default.qd3h"), Pattern(kPasswordSize, 32)));
  ASSERT_TRUE(WriteFile(Path("default.qd3pid"), Pattern(kPidSize, 33)));
  ProjectBlocks blocks, before;
  FillBlocks(blocks, 5);
  FillBlocks(before, 5);

  ASSERT_TRUE(NewProject(blocks, dir_.path()));
  auto expected = templ;
  RawWashingNumber(expected);
  RawFixedNames(expected);
  EXPECT_EQ(Bytes(blocks.image), expected);
  EXPECT_TRUE(blocks.passwords == before.passwords);
  EXPECT_TRUE(blocks.pid == before.pid);
}

TEST_F(NewProjectTest, WithoutTemplateKeepsTheDataAndRewritesWashingNumberAndNames) {
  ProjectBlocks blocks, before;
  FillBlocks(blocks, 5);
  FillBlocks(before, 5);
  ASSERT_TRUE(NewProject(blocks, dir_.path()));
  auto expected = Bytes(before.image);
  RawWashingNumber(expected);
  RawFixedNames(expected);
  EXPECT_EQ(Bytes(blocks.image), expected);
  EXPECT_TRUE(blocks.passwords == before.passwords);
  EXPECT_TRUE(blocks.pid == before.pid);
}

TEST_F(NewProjectTest, ShortTemplateFailsAndChangesNothing) {
  ASSERT_TRUE(WriteFile(Path("default.qd3"), Pattern(kImageSize - 1, 31)));
  ProjectBlocks blocks, before;
  FillBlocks(blocks, 5);
  FillBlocks(before, 5);
  const FileResult r = NewProject(blocks, dir_.path());
  EXPECT_FALSE(r);
  EXPECT_TRUE(r.error.contains("default.qd3"));
  EXPECT_TRUE(blocks.image == before.image);
}

TEST_F(NewProjectTest, LongerTemplateLoadsItsFirstRecord) {
  const auto templ = Pattern(kImageSize + 5, 34);
  ASSERT_TRUE(WriteFile(Path("default.qd3"), templ));
  ProjectBlocks blocks;
  ASSERT_TRUE(NewProject(blocks, dir_.path()));
  std::vector<std::uint8_t> expected(templ.begin(), templ.begin() + kImageSize);
  RawWashingNumber(expected);
  RawFixedNames(expected);
  EXPECT_EQ(Bytes(blocks.image), expected);
}

}  // namespace
}  // namespace qdx
