#include "panel/menu_texts.h"

#include <algorithm>

#include "link/code_pages.h"

namespace qdx {
namespace {

constexpr char kBlockStart = static_cast<char>(0xFF);
constexpr int kStructureEnd = 0xFE;
constexpr char kStreamEnd[] = {static_cast<char>(0xFE), '\0'};
constexpr int kSkippedBytes = 2;
// The parsers walk a position that starts at 5 and must stay below the data's size (the
// structure's fixed length): 3 past a structure header, 4 past a language-block header.
constexpr int kStructureLead = 3;
constexpr int kBlockLead = 4;
constexpr std::uint8_t kThreeBlockAttributes[2] = {0x03, 0x01};
constexpr char kNoBreakSpace = static_cast<char>(0xA0);

// The byte at index, or 0 outside the data: the parsers stop at a count of 0, so a header
// beyond the end ends them.
std::uint8_t ByteAt(const QByteArray& data, qsizetype index) {
  return index >= 0 && index < data.size() ? static_cast<std::uint8_t>(data[index]) : 0;
}

// A run of consecutive rows with the same group number: rows [first, end).
struct GroupRun {
  std::size_t first = 0;
  std::size_t end = 0;
  int count() const { return static_cast<int>(end - first); }
};

std::vector<GroupRun> GroupRuns(const MenuTextTable& table) {
  std::vector<GroupRun> runs;
  for (std::size_t first = 0; first < table.size();) {
    std::size_t end = first + 1;
    while (end < table.size() && table[end].nr == table[first].nr) ++end;
    runs.push_back({first, end});
    first = end;
  }
  return runs;
}

int GroupSize(int count) {
  return kMenuGroupHeaderSize + kMenuEntrySize * count;
}

void AppendRow(MenuTextTable& table, int group, std::uint8_t znak1, std::uint8_t znak2,
               const QByteArray& base) {
  MenuTextRow row;
  row.nr_wew = static_cast<int>(table.size()) + 1;
  row.nr = group;
  row.znak1 = znak1;
  row.znak2 = znak2;
  row.texts[0] = base;
  table.push_back(std::move(row));
}

// A group of a language block as the walk finds it.
struct FoundGroup {
  int number = 0;  // 1 for the first group
  int count = 0;
  std::uint8_t attribute1 = 0;
  std::uint8_t attribute2 = 0;
};

// Walks a language block's groups (header: 0x00, count, two attribute bytes; entries: 0x00,
// 20 text bytes, 0x00) while the walking position stays below the block's size, and hands
// every entry's text bytes that lie wholly inside the block to visit. Returns the entries
// visited.
template <typename Visit>
int ForEachBlockEntry(const QByteArray& block, Visit visit) {
  int found = 0;
  FoundGroup group;
  // header: the group header's leading 0x00
  for (qsizetype header = kSkippedBytes - 1; header + kBlockLead < block.size();
       header += GroupSize(group.count)) {
    const int count = ByteAt(block, header + 1);
    if (count == 0) break;
    group = {group.number + 1, count, ByteAt(block, header + 2), ByteAt(block, header + 3)};
    for (int i = 0; i < count; ++i) {
      const qsizetype text = header + kMenuGroupHeaderSize + qsizetype{kMenuEntrySize} * i + 1;
      if (text + kMenuTextWidth > block.size()) return found;
      visit(group, block.mid(text, kMenuTextWidth));
      ++found;
    }
  }
  return found;
}

QByteArray WithoutTrailingBlanks(QByteArray text) {
  while (!text.isEmpty() && text.back() == ' ') text.chop(1);
  return text;
}

// A cell's text as the panel gets it: 20 characters at most, no-break spaces made blanks,
// converted, padded to 20.
QByteArray PanelText(const QByteArray& text, int codePage) {
  QByteArray cut = text.left(kMenuTextWidth);
  cut.replace(kNoBreakSpace, ' ');
  return EncodeTextField(cut, codePage, kMenuTextWidth);
}

// The conversion of language k in the three-block layout: Cyrillic only.
int ThreeBlockConversion(const MenuLanguages& languages, int k) {
  return languages.CodePage(k) == kCodePageCyrillic ? kCodePageCyrillic : -1;
}

using HeaderPair = std::array<std::uint8_t, 2>;

// The character-set pair a code page puts into the header; a three-block controller has none
// for Polish and PC852.
std::optional<HeaderPair> CharsetPair(int codePage, MenuLayout layout) {
  const bool four = layout == MenuLayout::FourBlock;
  switch (codePage) {
    case kCodePageCyrillic:
      return HeaderPair{0x11, 0x00};
    case kCodePagePolish:
      return four ? std::optional(HeaderPair{0x10, 0x02}) : std::nullopt;
    case kCodePageSlovak:
      return four ? std::optional(HeaderPair{0x12, 0x00}) : std::nullopt;
    default:
      return HeaderPair{0x10, 0x02};
  }
}

QString LanguageName(const MenuLanguages& languages, int k) {
  if (k < 1 || k > languages.count()) return QStringLiteral("LANGUAGE %1").arg(k);
  return languages.list[static_cast<std::size_t>(k - 1)].name;
}

}  // namespace

int MenuLanguages::CodePage(int k) const {
  if (k < 1 || k > count()) return kCodePageStandard;
  return list[static_cast<std::size_t>(k - 1)].codePage;
}

void MenuLanguages::Normalise() {
  if (count() > kMaxMenuLanguages) list.resize(kMaxMenuLanguages);
  if (list.empty()) list.push_back({QStringLiteral("LANGUAGE 1"), kCodePageStandard});
  for (MenuLanguage& language : list) {
    if (!IsValidCodePageIndex(language.codePage)) language.codePage = kCodePageStandard;
  }
  if (first < 1 || first > count()) first = std::min(2, count());
  if (second < 1 || second > count()) second = std::min(3, count());
}

int GroupCount(const MenuTextTable& table) {
  return static_cast<int>(GroupRuns(table).size());
}

int ParseStructure(const QByteArray& stream, MenuTextTable& table) {
  int size = kSkippedBytes;
  int group = 0;
  for (qsizetype header = kSkippedBytes; header + kStructureLead < kStructureStreamLength;
       header += kMenuGroupHeaderSize) {
    const int count = ByteAt(stream, header);
    if (count == 0 || count == kStructureEnd) break;
    ++group;
    for (int i = 0; i < count; ++i) {
      AppendRow(table, group, ByteAt(stream, header + 1), ByteAt(stream, header + 2), {});
    }
    size += GroupSize(count);
  }
  return size + kSkippedBytes;
}

int ParseLanguageBlockInto(const QByteArray& block, MenuTextTable& table, int column,
                           int codePage) {
  std::size_t row = 0;
  const bool validColumn = column >= 0 && column < kMenuColumns;
  return ForEachBlockEntry(block, [&](const FoundGroup&, const QByteArray& text) {
    if (!validColumn || row >= table.size()) return;
    table[row++].texts[static_cast<std::size_t>(column)] =
        WithoutTrailingBlanks(FromPanel(text, codePage));
  });
}

int AppendRowsFromLanguageBlock(const QByteArray& block, MenuTextTable& table) {
  return ForEachBlockEntry(block, [&](const FoundGroup& group, const QByteArray& text) {
    AppendRow(table, group.number, group.attribute1, group.attribute2, WithoutTrailingBlanks(text));
  });
}

int LanguageBlockSize(const MenuTextTable& table) {
  int size = 2 * kSkippedBytes;
  for (const GroupRun& run : GroupRuns(table)) size += GroupSize(run.count());
  return size;
}

QByteArray BuildLanguageBlock(const MenuTextTable& table, int column, int blockSize,
                              MenuLayout layout, int codePage) {
  const bool validColumn = column >= 0 && column < kMenuColumns;
  QByteArray block(1, kBlockStart);
  for (const GroupRun& run : GroupRuns(table)) {
    const MenuTextRow& head = table[run.first];
    const bool four = layout == MenuLayout::FourBlock;
    block.append('\0');
    block.append(static_cast<char>(run.count()));
    block.append(static_cast<char>(four ? head.znak1 : kThreeBlockAttributes[0]));
    block.append(static_cast<char>(four ? head.znak2 : kThreeBlockAttributes[1]));
    for (std::size_t i = run.first; i < run.end; ++i) {
      const QByteArray text =
          validColumn ? table[i].texts[static_cast<std::size_t>(column)] : QByteArray();
      block.append('\0');
      block.append(PanelText(text, codePage));
      block.append('\0');
    }
  }
  const qsizetype size = std::max(blockSize, 0);
  block.truncate(size);
  block.append(size - block.size(), ' ');
  return block;
}

std::vector<MenuBlockSlot> MenuBlockSlots(const MenuLanguages& languages, MenuLayout layout) {
  std::vector<MenuBlockSlot> blocks;
  const bool four = layout == MenuLayout::FourBlock;
  if (four) blocks.push_back({0, kCodePagePolish});
  for (const int k : {1, languages.first, languages.second}) {
    blocks.push_back({k, four ? languages.CodePage(k) : ThreeBlockConversion(languages, k)});
  }
  return blocks;
}

QByteArray BuildMenuStream(const MenuDocument& document, int blockSize) {
  QByteArray stream;
  for (const MenuBlockSlot& slot : MenuBlockSlots(document.languages, document.layout)) {
    stream +=
        BuildLanguageBlock(document.table, slot.column, blockSize, document.layout, slot.codePage);
  }
  if (document.layout == MenuLayout::FourBlock) stream.append(kStreamEnd, sizeof kStreamEnd);
  return stream;
}

std::optional<std::array<std::uint8_t, 4>> CodePageHeader(const MenuLanguages& languages,
                                                          MenuLayout layout, QString* refusal) {
  std::array<std::uint8_t, 4> header{};
  int at = 0;
  for (const int k : {languages.first, languages.second}) {
    const int codePage = languages.CodePage(k);
    const std::optional<HeaderPair> pair = CharsetPair(codePage, layout);
    if (!pair) {
      if (refusal) {
        *refusal = QStringLiteral(
                       "Language %1 \"%2\" uses the code page \"%3\", which a controller with "
                       "three text blocks cannot show. Nothing was sent.")
                       .arg(k)
                       .arg(LanguageName(languages, k), CodePageListText(codePage));
      }
      return std::nullopt;
    }
    header[at++] = (*pair)[0];
    header[at++] = (*pair)[1];
  }
  return header;
}

MenuLayout LayoutFromSetup(const std::uint8_t* setupBytes) {
  const int at = 2 * kSetupWordMenuLayout;
  const bool four =
      setupBytes[at] == (kFourBlockMarker & 0xFF) && setupBytes[at + 1] == (kFourBlockMarker >> 8);
  return four ? MenuLayout::FourBlock : MenuLayout::ThreeBlock;
}

}  // namespace qdx
