// The section registry against the blocks and the record views: every entry's records lie
// inside their block, its controller blocks cover its slots, its fields lie inside a record
// without overlapping, and its renumbering agrees with its "number" field.
#include "config/section_registry.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "model/records.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

std::size_t BlockSize(BlockId block) {
  switch (block) {
    case BlockId::Image:
      return ProjectImage::kSize;
    case BlockId::Pid:
      return PidTable::kSize;
    case BlockId::Passwords:
      return PasswordBlock::kSize;
  }
  return 0;
}

// The bytes a field covers.
std::size_t Width(const RecordField& f) {
  switch (f.kind) {
    case FieldKind::Slot:
      return 0;
    case FieldKind::Name:
      return f.size + 1;
    case FieldKind::S32:
    case FieldKind::StepCount:
      return 4 * std::size_t(f.count);
    case FieldKind::S16:
    case FieldKind::U16:
      return 2 * std::size_t(f.count);
    case FieldKind::U8:
      return std::size_t(f.count);
    case FieldKind::Double:
      return 8;
    case FieldKind::Reserved:
      return f.size;
    case FieldKind::Steps:
      return static_cast<std::size_t>(ProgramRecord::kStepSlots) * ProgramStep::kSize;
  }
  return 0;
}

TEST(SectionRegistry, EveryEntryFitsItsBlocksAndViews) {
  std::set<QString> names;
  ASSERT_EQ(static_cast<int>(AllSections().size()), kSectionCount);
  for (const SectionEntry& e : AllSections()) {
    SCOPED_TRACE(e.qdxName);
    EXPECT_EQ(&Section(e.id), &e);
    EXPECT_TRUE(names.insert(QString::fromLatin1(e.qdxName)).second);
    EXPECT_EQ(SectionFromQdxName(QString::fromLatin1(e.qdxName)), e.id);
    EXPECT_GT(e.slotCount(), 0);
    EXPECT_LE(e.layout.offset + e.layout.size(), BlockSize(e.layout.block));
    if (e.blocks) {
      EXPECT_GT(e.blocks->perBlock, 0);
      EXPECT_GE(e.blockCount() * e.blocks->perBlock, e.slotCount());
      EXPECT_LT((e.blockCount() - 1) * e.blocks->perBlock, e.slotCount()) << "an empty block";
      std::set<QByteArray> requests;  // each block is asked for by a request of its own
      for (int b = 0; b < e.blockCount(); ++b) requests.insert(e.blocks->readMessage(b).body);
      EXPECT_EQ(static_cast<int>(requests.size()), e.blockCount());
    }
    std::size_t end = 0;
    for (const AnalogOutputLayout layout : {AnalogOutputLayout::Current, AnalogOutputLayout::Legacy}) {
      end = 0;
      for (const RecordField& f : ComparedFields(e.fields, layout)) {
        EXPECT_GE(f.offset, end) << f.name << ": overlaps or out of order";
        end = f.offset + Width(f);
        EXPECT_LE(end, e.recordSize()) << f.name;
      }
    }
  }
}

// Renumbering gives record n the number n where the field table says the number lies.
TEST(SectionRegistry, RenumberingAgreesWithTheNumberField) {
  auto blocks = std::make_unique<ProjectBlocks>();
  for (const SectionEntry& e : AllSections()) {
    if (!e.renumber) continue;
    SCOPED_TRACE(e.qdxName);
    e.renumber(*blocks);
    const auto fields = ComparedFields(e.fields, AnalogOutputLayout::Current);
    const auto number = std::find_if(fields.begin(), fields.end(), [](const RecordField& f) {
      return QByteArray(f.name).endsWith("number");
    });
    ASSERT_NE(number, fields.end());
    const std::span<std::uint8_t> region = e.Region(*blocks);
    for (int n = 1; n <= e.slotCount(); ++n) {
      const std::uint8_t* p = region.data() + (n - 1) * e.recordSize() + number->offset;
      EXPECT_EQ(p[0] | (p[1] << 8), n);
    }
  }
}

// A write block carries its records and copies of record 1 after the last one; a read block
// stores its records and drops those fillers.
TEST(SectionRegistry, BlocksCarryFillersAfterTheLastRecord) {
  const SectionEntry& relays = Section(SectionId::Relays);
  std::vector<std::uint8_t> region(relays.layout.size());
  for (std::size_t i = 0; i < region.size(); ++i) region[i] = static_cast<std::uint8_t>(i / 92);
  const int last = relays.blockCount() - 1;
  const auto block = relays.WriteBlock(region, last);
  const int used = relays.slotCount() - last * relays.blocks->perBlock;
  for (int k = 0; k < relays.blocks->perBlock; ++k) {
    EXPECT_EQ(block[std::size_t(k) * 92], k < used ? last * relays.blocks->perBlock + k : 0) << k;
  }
  std::vector<std::uint8_t> stored(region.size(), 0xEE);
  relays.StoreBlock(block, stored, last);
  EXPECT_TRUE(std::equal(stored.end() - used * 92, stored.end(), region.end() - used * 92));
  EXPECT_EQ(stored[stored.size() - std::size_t(used) * 92 - 1], 0xEE);
}

}  // namespace
}  // namespace qdx
