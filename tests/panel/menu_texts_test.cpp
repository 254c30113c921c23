// The menu texts' byte formats: structure streams and language blocks parsed and built, the
// code-page header of both layouts, the language settings' bounds, and parsers given data
// that is cut short or lies about its counts.
#include "panel/menu_texts.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "link/code_pages.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray out;
  for (const int v : values) out.append(static_cast<char>(v));
  return out;
}

// A structure stream: two bytes skipped, then one header (count, attribute 1, attribute 2,
// 0x00) per group, then the end header.
QByteArray Structure(std::initializer_list<std::array<int, 3>> groups, int end = 0xFE) {
  QByteArray s = Bytes({0xFF, 0x00});
  for (const auto& g : groups) s += Bytes({g[0], g[1], g[2], 0x00});
  return s + Bytes({end, 0x00, 0x00, 0x00});
}

// Rows of groups with the given entry counts; texts "G<g>E<e>" in every column.
MenuTextTable Table(std::initializer_list<int> counts) {
  MenuTextTable table;
  int group = 0;
  for (const int count : counts) {
    ++group;
    for (int e = 1; e <= count; ++e) {
      MenuTextRow row;
      row.nr_wew = static_cast<int>(table.size()) + 1;
      row.nr = group;
      row.znak1 = static_cast<std::uint8_t>(group);
      row.znak2 = static_cast<std::uint8_t>(10 + group);
      for (int c = 0; c < kMenuColumns; ++c) {
        row.texts[c] = QStringLiteral("G%1E%2C%3").arg(group).arg(e).arg(c).toLatin1();
      }
      table.push_back(row);
    }
  }
  return table;
}

MenuLanguages Languages(std::initializer_list<int> codePages, int first = 2, int second = 3) {
  MenuLanguages l;
  int k = 0;
  for (const int cp : codePages) l.list.push_back({QStringLiteral("LANG%1").arg(++k), cp});
  l.first = first;
  l.second = second;
  return l;
}

// --- structure streams ---

struct StructureCase {
  const char* what;
  QByteArray stream;
  int rows;
  int groups;
  int blockSize;
};

class StructureTest : public ::testing::TestWithParam<StructureCase> {};

TEST_P(StructureTest, RowsAndBlockSize) {
  const StructureCase& c = GetParam();
  MenuTextTable table;
  EXPECT_EQ(ParseStructure(c.stream, table), c.blockSize) << c.what;
  EXPECT_EQ(static_cast<int>(table.size()), c.rows) << c.what;
  EXPECT_EQ(GroupCount(table), c.groups) << c.what;
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(table[i].nr_wew, static_cast<int>(i) + 1) << c.what;
    for (const QByteArray& text : table[i].texts) EXPECT_TRUE(text.isEmpty()) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, StructureTest,
    ::testing::Values(
        StructureCase{"groups of 3 and 2", Structure({{3, 1, 2}, {2, 3, 4}}), 5, 2, 122},
        StructureCase{"first count 0xFE", Structure({}), 0, 0, 4},
        StructureCase{"first count 0", Structure({}, 0x00), 0, 0, 4},
        StructureCase{"end count 0 after a group", Structure({{4, 0, 0}}, 0x00), 4, 1, 96},
        StructureCase{"empty stream", QByteArray(), 0, 0, 4},
        StructureCase{"stream of one byte", Bytes({0xFF}), 0, 0, 4},
        StructureCase{"cut inside the first header", Bytes({0xFF, 0x00, 0x02}), 2, 1, 52},
        StructureCase{"no end header", Structure({{1, 0, 0}}).left(6), 1, 1, 30}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(Structure, GroupsKeepTheirAttributeBytesAndNumbers) {
  MenuTextTable table;
  ParseStructure(Structure({{3, 0x81, 0x42}, {2, 0x07, 0x00}}), table);
  ASSERT_EQ(table.size(), 5u);
  const int nr[] = {1, 1, 1, 2, 2};
  const int znak1[] = {0x81, 0x81, 0x81, 0x07, 0x07};
  const int znak2[] = {0x42, 0x42, 0x42, 0x00, 0x00};
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(table[i].nr, nr[i]);
    EXPECT_EQ(table[i].znak1, znak1[i]);
    EXPECT_EQ(table[i].znak2, znak2[i]);
  }
}

TEST(Structure, HeadersStopAtTheFixedStreamLength) {
  // Headers of one entry each without end: only those whose position stays below the fixed
  // length count, however long the stream.
  QByteArray stream = Bytes({0xFF, 0x00}) + QByteArray(30000, '\x01');
  MenuTextTable table;
  ParseStructure(stream, table);
  const int headers = (kStructureStreamLength - 5 + 3) / 4;  // positions 5, 9, ... < length
  EXPECT_EQ(static_cast<int>(table.size()), headers);
}

// --- language blocks ---

TEST(LanguageBlock, LayoutOfTwoGroups) {
  const MenuTextTable table = Table({3, 2});
  const QByteArray block = BuildLanguageBlock(table, 1, 122, MenuLayout::FourBlock, -1);
  ASSERT_EQ(block.size(), 122);
  EXPECT_EQ(block.left(5), Bytes({0xFF, 0x00, 3, 1, 11}));
  EXPECT_EQ(block.mid(5, 22), '\0' + QByteArray("G1E1C1").leftJustified(20, ' ') + '\0');
  EXPECT_EQ(block.mid(1 + 4 + 66, 4), Bytes({0x00, 2, 2, 12}));
  EXPECT_EQ(block.right(3), "   ");  // a four-block block ends in exactly three blanks
}

TEST(LanguageBlock, ThreeBlockHeadersCarryFixedAttributesAndFillToTheSize) {
  const QByteArray block = BuildLanguageBlock(Table({3, 2}), 1, 200, MenuLayout::ThreeBlock, -1);
  ASSERT_EQ(block.size(), 200);
  EXPECT_EQ(block.mid(1, 4), Bytes({0x00, 3, 0x03, 0x01}));
  EXPECT_EQ(block.mid(1 + 4 + 66, 4), Bytes({0x00, 2, 0x03, 0x01}));
  EXPECT_EQ(block.mid(119), QByteArray(81, ' '));
}

struct TextCase {
  const char* what;
  QByteArray text;
  int codePage;
  QByteArray sent;  // the 20 bytes on the wire
};

class EntryTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(EntryTextTest, SentAsTwentyBytes) {
  const TextCase& c = GetParam();
  MenuTextTable table = Table({1});
  table[0].texts[2] = c.text;
  const QByteArray block = BuildLanguageBlock(table, 2, 30, MenuLayout::FourBlock, c.codePage);
  EXPECT_EQ(block.mid(6, kMenuTextWidth), c.sent) << c.what;
  EXPECT_EQ(block.at(5), '\0') << c.what;
  EXPECT_EQ(block.at(26), '\0') << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EntryTextTest,
    ::testing::Values(TextCase{"25 characters: the first 20", "ABCDEFGHIJKLMNOPQRSTUVWXY", -1,
                               "ABCDEFGHIJKLMNOPQRST"},
                      TextCase{"3 characters and 17 blanks", "ABC", -1, "ABC                 "},
                      TextCase{"empty", "", -1, QByteArray(20, ' ')},
                      TextCase{"no-break spaces become blanks",
                               "A\xA0"
                               "B",
                               -1, "A B                 "},
                      TextCase{"30 held, 20 sent", QByteArray(30, 'Z'), kCodePageStandard,
                               QByteArray(20, 'Z')},
                      TextCase{"Cyrillic converted", "\xC0\xC1", kCodePageCyrillic,
                               ToPanelCyrillic("\xC0\xC1").leftJustified(20, ' ')},
                      TextCase{"Polish converted", "\xA3\xD3", kCodePagePolish,
                               ToPanelPolish("\xA3\xD3").leftJustified(20, ' ')}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(LanguageBlock, RoundTripThroughEachConversion) {
  struct Case {
    int codePage;
    QByteArray texts[4];
  };
  const Case cases[] = {
      {-1, {"PROGRAMY", "\xA3\xD3\xA6\xAF", "\xCF\xD0\xC8", "A B"}},
      {kCodePageStandard, {"PROGRAMY", "\xA3\xD3\xA6\xAF", "", "A B"}},
      {kCodePageCyrillic, {"\xCF\xD0\xC8", "\xC0\xDF", "STOP", "\xD1 \xD2"}},
      {kCodePagePolish, {"\xA3\xD3\xA6\xAF", "\xA5\xC6\xCA\xD1", "\x8C\x8F", "ZAPIS"}},
      {kCodePageSlovak, {"\xC8\xDD", "\x8A\x8E", "\xC1\xC9", "ST\xDA"}},
  };
  for (const Case& c : cases) {
    MenuTextTable table = Table({2, 2});
    for (std::size_t i = 0; i < table.size(); ++i) table[i].texts[5] = c.texts[i];
    const QByteArray block = BuildLanguageBlock(table, 5, 100, MenuLayout::FourBlock, c.codePage);
    MenuTextTable back = Table({2, 2});
    EXPECT_EQ(ParseLanguageBlockInto(block, back, 5, c.codePage), 4);
    for (std::size_t i = 0; i < table.size(); ++i) {
      EXPECT_EQ(back[i].texts[5], c.texts[i]) << "code page " << c.codePage << ", row " << i;
      EXPECT_EQ(back[i].texts[4], table[i].texts[4]) << "other columns stay";
    }
  }
}

TEST(LanguageBlock, EntriesBeyondTheTableAreDropped) {
  const QByteArray block = BuildLanguageBlock(Table({3, 2}), 0, 122, MenuLayout::FourBlock, -1);
  MenuTextTable shorter = Table({2});
  EXPECT_EQ(ParseLanguageBlockInto(block, shorter, 0, -1), 5);
  ASSERT_EQ(shorter.size(), 2u);
  EXPECT_EQ(shorter[1].texts[0], "G1E2C0");
}

struct BoundCase {
  const char* what;
  QByteArray block;
  int entries;
};

class BlockBoundsTest : public ::testing::TestWithParam<BoundCase> {};

// However the bytes lie, parsing reads only what lies inside the block.
TEST_P(BlockBoundsTest, ParsesOnlyWholeEntriesInsideTheBlock) {
  const BoundCase& c = GetParam();
  MenuTextTable table = Table({10});
  EXPECT_EQ(ParseLanguageBlockInto(c.block, table, 1, kCodePageCyrillic), c.entries) << c.what;
  MenuTextTable appended;
  EXPECT_EQ(AppendRowsFromLanguageBlock(c.block, appended), c.entries) << c.what;
  EXPECT_EQ(static_cast<int>(appended.size()), c.entries) << c.what;
}

const QByteArray kTwoGroups = BuildLanguageBlock(Table({3, 2}), 0, 122, MenuLayout::FourBlock, -1);

INSTANTIATE_TEST_SUITE_P(
    Blocks, BlockBoundsTest,
    ::testing::Values(BoundCase{"whole block", kTwoGroups, 5}, BoundCase{"empty", QByteArray(), 0},
                      BoundCase{"header only", Bytes({0xFF, 0x00, 0x05, 0x00, 0x00}), 0},
                      BoundCase{"cut inside the third entry", kTwoGroups.left(5 + 44 + 10), 2},
                      BoundCase{"cut inside the second group", kTwoGroups.left(80), 3},
                      BoundCase{"count 255 over a short block",
                                Bytes({0xFF, 0x00, 0xFF, 0, 0}) + QByteArray(100, 'x'), 4},
                      BoundCase{"count 0 ends", Bytes({0xFF, 0x00, 0x00}) + kTwoGroups, 0},
                      BoundCase{"blanks after the size", kTwoGroups.left(119), 5}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(LanguageBlock, PredefinedMenuRowsTakeGroupNumbersAndUnconvertedTexts) {
  MenuTextTable source = Table({2, 1});
  source[2].texts[0] = "\xA3\xD3";
  const QByteArray block =
      BuildLanguageBlock(source, 0, LanguageBlockSize(source), MenuLayout::ThreeBlock, -1);
  MenuTextTable table;
  ASSERT_EQ(AppendRowsFromLanguageBlock(block, table), 3);
  const int nr[] = {1, 1, 2};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(table[i].nr_wew, static_cast<int>(i) + 1);
    EXPECT_EQ(table[i].nr, nr[i]);
    EXPECT_EQ(table[i].texts[0], source[i].texts[0]);
    EXPECT_TRUE(table[i].texts[1].isEmpty());
  }
}

// --- the stream and the header ---

TEST(MenuStream, FourBlocksAndTheEndBytes) {
  MenuDocument doc;
  doc.table = Table({3, 2});
  doc.languages = Languages({0, 0, 1});
  const QByteArray stream = BuildMenuStream(doc, 122);
  ASSERT_EQ(stream.size(), 490);
  EXPECT_EQ(stream.right(2), Bytes({0xFE, 0x00}));
  const int columns[] = {0, 1, 2, 3};
  for (int b = 0; b < 4; ++b) {
    MenuTextTable back = Table({3, 2});
    ParseLanguageBlockInto(stream.mid(b * 122, 122), back, 15, -1);
    EXPECT_EQ(back[4].texts[15], doc.table[4].texts[columns[b]]) << "block " << b;
  }
}

TEST(MenuStream, ThreeBlocksOfTheSelectedColumnsConvertOnlyCyrillic) {
  MenuDocument doc;
  doc.layout = MenuLayout::ThreeBlock;
  doc.table = Table({2});
  doc.languages = Languages({kCodePagePolish, kCodePageCyrillic, kCodePageSlovak, 0}, 4, 2);
  for (MenuTextRow& row : doc.table) {
    for (QByteArray& text : row.texts) text = "\xA3\xC0";
  }
  const QByteArray stream = BuildMenuStream(doc, 60);
  ASSERT_EQ(stream.size(), 180);
  EXPECT_EQ(stream.mid(6, 2), "\xA3\xC0") << "language 1 (Polish) unconverted";
  EXPECT_EQ(stream.mid(60 + 6, 2), "\xA3\xC0") << "language 4 (Standard)";
  EXPECT_EQ(stream.mid(120 + 6, 20), ToPanelCyrillic("\xA3\xC0").leftJustified(20, ' '))
      << "language 2 (Cyrillic)";
  EXPECT_EQ(stream.mid(1, 4), Bytes({0x00, 2, 0x03, 0x01}));
}

struct HeaderCase {
  int first;   // code page of the first selected language
  int second;  // code page of the second
  MenuLayout layout;
  std::optional<std::array<std::uint8_t, 4>> header;
};

class CodePageHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(CodePageHeaderTest, PairsOfTheSelectedLanguages) {
  const HeaderCase& c = GetParam();
  const MenuLanguages l = Languages({0, c.first, 0, c.second}, 2, 4);
  QString refusal;
  EXPECT_EQ(CodePageHeader(l, c.layout, &refusal), c.header);
  EXPECT_EQ(refusal.isEmpty(), c.header.has_value());
  if (!c.header) {
    const bool firstRefused = c.first >= kCodePagePolish;
    EXPECT_TRUE(refusal.contains(firstRefused ? "LANG2" : "LANG4")) << refusal.toStdString();
    EXPECT_TRUE(refusal.contains(CodePageListText(firstRefused ? c.first : c.second)))
        << refusal.toStdString();
  }
}

constexpr auto kFour = MenuLayout::FourBlock;
constexpr auto kThree = MenuLayout::ThreeBlock;
using H = std::array<std::uint8_t, 4>;

INSTANTIATE_TEST_SUITE_P(Pairs, CodePageHeaderTest,
                         ::testing::Values(HeaderCase{0, 1, kFour, H{0x10, 0x02, 0x11, 0x00}},
                                           HeaderCase{2, 3, kFour, H{0x10, 0x02, 0x12, 0x00}},
                                           HeaderCase{3, 0, kFour, H{0x12, 0x00, 0x10, 0x02}},
                                           HeaderCase{1, 1, kFour, H{0x11, 0x00, 0x11, 0x00}},
                                           HeaderCase{0, 1, kThree, H{0x10, 0x02, 0x11, 0x00}},
                                           HeaderCase{1, 0, kThree, H{0x11, 0x00, 0x10, 0x02}},
                                           HeaderCase{2, 0, kThree, std::nullopt},
                                           HeaderCase{0, 3, kThree, std::nullopt},
                                           HeaderCase{1, 2, kThree, std::nullopt}));

// --- layout and language settings ---

TEST(Layout, WordNinetyEightMarksTheFourBlockLayout) {
  struct Case {
    int low, high;
    MenuLayout layout;
  };
  for (const Case c : {Case{0x56, 0xBA, kFour}, Case{0xBA, 0x56, kThree}, Case{0, 0, kThree},
                       Case{0x56, 0x00, kThree}}) {
    std::array<std::uint8_t, 202> setup{};
    setup[196] = static_cast<std::uint8_t>(c.low);
    setup[197] = static_cast<std::uint8_t>(c.high);
    EXPECT_EQ(LayoutFromSetup(setup.data()), c.layout) << c.low << " " << c.high;
  }
}

struct NormaliseCase {
  int count;
  int first, second;
  int count2;  // after Normalise
  int first2, second2;
};

class NormaliseTest : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseTest, CountAndSelectionsBounded) {
  const NormaliseCase& c = GetParam();
  MenuLanguages l;
  for (int k = 1; k <= c.count; ++k) l.list.push_back({QString::number(k), k % 5});
  l.first = c.first;
  l.second = c.second;
  l.Normalise();
  EXPECT_EQ(l.count(), c.count2);
  EXPECT_EQ(l.first, c.first2);
  EXPECT_EQ(l.second, c.second2);
  for (int k = 1; k <= l.count(); ++k) EXPECT_TRUE(IsValidCodePageIndex(l.CodePage(k)));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, NormaliseTest,
    ::testing::Values(NormaliseCase{3, 2, 3, 3, 2, 3}, NormaliseCase{20, 2, 3, 15, 2, 3},
                      NormaliseCase{20, 18, 16, 15, 2, 3}, NormaliseCase{0, 2, 3, 1, 1, 1},
                      NormaliseCase{1, 2, 3, 1, 1, 1}, NormaliseCase{2, 2, 3, 2, 2, 2},
                      NormaliseCase{5, 5, 0, 5, 5, 3}, NormaliseCase{5, -1, 4, 5, 2, 4}));

}  // namespace
}  // namespace qdx
