// Section files: list files read into the section's slots (never beyond them), records that
// cannot be read leave their slots alone, single-record files, and writes that never destroy
// the old file.
#include "files/section_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "support/qt_printers.h"

namespace qdx {
namespace {

constexpr std::size_t kRecord = 8;
constexpr std::size_t kSlots = 4;
constexpr std::uint8_t kGuard = 0xEE;

// A file of `records` whole records (record k filled with 0x10 + k) plus `extra` bytes.
QByteArray FileBytes(int records, int extra = 0) {
  QByteArray bytes;
  for (int k = 0; k < records; ++k) bytes += QByteArray(kRecord, static_cast<char>(0x10 + k));
  bytes += QByteArray(extra, '\x7F');
  return bytes;
}

class SectionFilesTest : public ::testing::Test {
 protected:
  QString Write(const QByteArray& bytes) {
    const QString name = dir_.filePath(QStringLiteral("f%1.rlq").arg(++count_));
    QFile f(name);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return name;
  }

  // The section's slots (0xAA) between guard bytes that must never change.
  std::vector<std::uint8_t> memory_ = [] {
    std::vector<std::uint8_t> m(kRecord * (kSlots + 2), kGuard);
    std::fill(m.begin() + kRecord, m.end() - kRecord, 0xAA);
    return m;
  }();
  std::span<std::uint8_t> Region() { return std::span(memory_).subspan(kRecord, kRecord * kSlots); }
  std::uint8_t Slot(int n) const { return memory_[kRecord * static_cast<std::size_t>(n)]; }
  bool GuardsIntact() const {
    for (std::size_t i = 0; i < kRecord; ++i) {
      if (memory_[i] != kGuard || memory_[memory_.size() - 1 - i] != kGuard) return false;
    }
    return true;
  }

  QTemporaryDir dir_;
  int count_ = 0;
};

TEST_F(SectionFilesTest, ListFileFillsSlotsFromTheFirst) {
  struct Case {
    int records;
    int extra;
    int stored;
    int skipped;
    bool surplus;
  };
  const Case cases[] = {
      {3, 0, 3, 0, false},                      // fewer records: only the first slots change
      {4, 0, 4, 0, false}, {6, 0, 4, 0, true},  // more records: the surplus is left unread
      {2, 5, 2, 1, false},                      // a cut-off last record is skipped, its slot kept
      {0, 0, 0, 0, false}, {0, 3, 0, 1, false}, {4, 1, 4, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.records << " records + " << c.extra);
    std::fill(Region().begin(), Region().end(), 0xAA);
    const ListFileRead read =
        ReadSectionListFile(Write(FileBytes(c.records, c.extra)), Region(), kRecord);
    EXPECT_TRUE(read.opened);
    EXPECT_EQ(read.stored, c.stored);
    EXPECT_EQ(read.skipped, c.skipped);
    EXPECT_EQ(read.surplus, c.surplus);
    for (int n = 1; n <= static_cast<int>(kSlots); ++n) {
      EXPECT_EQ(Slot(n), n <= c.stored ? 0x10 + n - 1 : 0xAA) << "slot " << n;
    }
    EXPECT_TRUE(GuardsIntact());
  }
}

TEST_F(SectionFilesTest, MissingFileChangesNothing) {
  const ListFileRead read =
      ReadSectionListFile(dir_.filePath(QStringLiteral("none.rlq")), Region(), kRecord);
  EXPECT_FALSE(read.opened);
  for (int n = 1; n <= static_cast<int>(kSlots); ++n) EXPECT_EQ(Slot(n), 0xAA);
}

TEST_F(SectionFilesTest, ListFileWrittenWholeAndReadBack) {
  for (std::size_t i = 0; i < Region().size(); ++i) Region()[i] = static_cast<std::uint8_t>(i);
  const QString name = dir_.filePath(QStringLiteral("list.rlq"));
  ASSERT_TRUE(WriteSectionListFile(name, Region()).ok);
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  ASSERT_EQ(bytes.size(), static_cast<qsizetype>(kRecord * kSlots));
  EXPECT_EQ(bytes, QByteArray(reinterpret_cast<const char*>(Region().data()), bytes.size()));
}

TEST_F(SectionFilesTest, FailedWriteNamesTheFile) {
  const QString blocked = dir_.filePath(QStringLiteral("no such folder/list.alq"));
  const FileResult r = WriteSectionListFile(blocked, Region());
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.error.contains(QStringLiteral("list.alq"))) << r.error.toStdString();
}

TEST_F(SectionFilesTest, LongerOldFileReplacedWhole) {
  const QString name = Write(FileBytes(9));
  ASSERT_TRUE(WriteSectionListFile(name, Region()).ok);
  EXPECT_EQ(QFile(name).size(), static_cast<qint64>(kRecord * kSlots));
}

TEST_F(SectionFilesTest, SingleRecordFiles) {
  std::vector<std::uint8_t> record(kRecord, 0x55);
  // Shorter than one record: ignored, the record unchanged.
  EXPECT_FALSE(ReadSectionRecordFile(Write(FileBytes(0, 5)), record));
  EXPECT_EQ(record, std::vector<std::uint8_t>(kRecord, 0x55));
  EXPECT_FALSE(ReadSectionRecordFile(dir_.filePath(QStringLiteral("none.a1q")), record));
  // A longer file gives its first record.
  EXPECT_TRUE(ReadSectionRecordFile(Write(FileBytes(3)), record));
  EXPECT_EQ(record, std::vector<std::uint8_t>(kRecord, 0x10));

  const QString name = dir_.filePath(QStringLiteral("one.a1q"));
  record.assign(kRecord, 0x42);
  ASSERT_TRUE(WriteSectionRecordFile(name, record).ok);
  EXPECT_EQ(QFile(name).size(), static_cast<qint64>(kRecord));
}

TEST(SectionFileFilter, QtFormOfTheExtension) {
  EXPECT_EQ(SectionFileFilter(QStringLiteral("rlq")), QStringLiteral("QDX (*.rlq)"));
  EXPECT_EQ(SectionFileFilter(QStringLiteral("s1q")), QStringLiteral("QDX (*.s1q)"));
}

}  // namespace
}  // namespace qdx
