// The operator panel's menu texts: the table the menu window edits, the languages and their
// code pages, and the byte formats in which controllers keep them (two layouts).
//
// Texts are held as the PC shows them: 8-bit bytes in Windows-1251 for a Cyrillic language and
// Windows-1250 for every other one. They are converted to the panel's character sets only on
// their way to and from a controller, never in files.
//
// Example:
//   MenuTextTable table;
//   const int L = ParseStructure(stream, table);            // rows with empty texts
//   const QByteArray block = BuildLanguageBlock(table, 0, L, MenuLayout::FourBlock,
//                                               kCodePagePolish);
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace qdx {

inline constexpr int kMenuColumns = 16;            // nazwa, nazwaj1 .. nazwaj15
inline constexpr int kMaxMenuLanguages = 15;       // configured languages, besides the base
inline constexpr int kMenuTextWidth = 20;          // characters a panel shows per entry
inline constexpr int kMenuTextHeld = 30;           // characters a cell holds at most
inline constexpr int kMenuEntrySize = 22;          // 0x00, 20 text bytes, 0x00
inline constexpr int kMenuGroupHeaderSize = 4;
inline constexpr int kStructureStreamLength = 10102;  // the structure length, whatever is read
inline constexpr int kStructureBlocksMax = 39;        // kind-7 blocks a structure read may take
inline constexpr std::uint16_t kFourBlockMarker = 0xBA56;  // setup word 98
inline constexpr int kSetupWordMenuLayout = 98;

enum class MenuLayout { ThreeBlock, FourBlock };

// One menu entry. texts[0] is `nazwa` (the base language), texts[k] is `nazwaj`k.
struct MenuTextRow {
  int nr_wew = 0;  // 1, 2, 3 ... in table order
  int nr = 0;      // group number, 1 for the first group
  std::array<QByteArray, kMenuColumns> texts;
  std::uint8_t znak1 = 0;  // the group's attribute bytes, as read
  std::uint8_t znak2 = 0;
  friend bool operator==(const MenuTextRow&, const MenuTextRow&) = default;
};

using MenuTextTable = std::vector<MenuTextRow>;

// A configured language (1..N): its display name and code page value 0..3.
struct MenuLanguage {
  QString name;
  int codePage = 0;
  friend bool operator==(const MenuLanguage&, const MenuLanguage&) = default;
};

// The languages 1..N (N at most 15) and the two chosen in the window's drop-downs.
struct MenuLanguages {
  std::vector<MenuLanguage> list;  // list[k - 1] is language k
  int first = 2;                   // first selected language ("Cust 1")
  int second = 3;                  // second selected language ("Cust 2")

  int count() const { return static_cast<int>(list.size()); }
  // Code page of language k (1..N); the base language (0) and any other k give 0.
  int CodePage(int k) const;
  // Keeps N within 1..15 and the two selections within 1..N (2 and 3 where they exist).
  void Normalise();
  friend bool operator==(const MenuLanguages&, const MenuLanguages&) = default;
};

// Everything a menu window holds besides its widgets; qdx menu holds one too.
struct MenuDocument {
  MenuTextTable table;
  MenuLayout layout = MenuLayout::FourBlock;
  QByteArray structure;  // the structure stream (four-block layout), as read or loaded
  std::uint32_t structureLength = kStructureStreamLength;  // as kept in a ".str" file
  bool hasData = false;   // a first stage succeeded or a structure file was loaded
  MenuLanguages languages;
};

// Number of groups (distinct consecutive `nr` runs) in the table.
int GroupCount(const MenuTextTable& table);

// Parses a structure stream (skip 2 bytes, then four-byte group headers up to a count of 0 or
// 0xFE, every header position below kStructureStreamLength and within the stream): appends one
// row per entry with empty texts. Returns L = 4 + sum of (4 + 22 x count).
int ParseStructure(const QByteArray& stream, MenuTextTable& table);

// Parses one language block (skip 2 bytes, groups of header and entries, bounded by the
// block's size) and stores each entry's 20 text bytes, converted from codePage (0..3 as in
// link/code_pages.h; -1 converts nothing) and with trailing blanks removed, into
// column `column` of the next row from the table's first. Entries beyond the table are
// dropped. Returns the number of entries found.
int ParseLanguageBlockInto(const QByteArray& block, MenuTextTable& table, int column,
                           int codePage);
// The three-block predefined menu: appends one row per entry (nr = group number) with the
// text, unconverted, in `nazwa`.
int AppendRowsFromLanguageBlock(const QByteArray& block, MenuTextTable& table);

// The block size L of the table's groups: 4 + sum of (4 + 22 x entries).
int LanguageBlockSize(const MenuTextTable& table);

// One language block of exactly blockSize bytes (0xFF, groups, then blanks): texts of column
// `column` cut to 20 characters, no-break spaces (0xA0) made blanks, converted to codePage
// (-1: no conversion), padded to 20. Group headers carry znak1/znak2 in the four-block layout
// and 0x03 0x01 in the three-block layout.
QByteArray BuildLanguageBlock(const MenuTextTable& table, int column, int blockSize,
                              MenuLayout layout, int codePage);

// A language block of a controller's kind-6 area: the table column it holds and the
// conversion its texts take (code page 0..3, -1 for none).
struct MenuBlockSlot {
  int column = 0;
  int codePage = -1;
  friend bool operator==(const MenuBlockSlot&, const MenuBlockSlot&) = default;
};
// The kind-6 language blocks in their order: base language (Polish), language 1 and the two
// selected ones (four-block layout); language 1 and the two selected ones, only Cyrillic
// converted (three-block layout).
std::vector<MenuBlockSlot> MenuBlockSlots(const MenuLanguages& languages, MenuLayout layout);

// The whole kind-6 stream to write: four blocks of L and 0xFE 0x00 (four-block layout), or
// three blocks of S (three-block layout), with each layout's conversions.
QByteArray BuildMenuStream(const MenuDocument& document, int blockSize);

// The code-page header of the two selected languages. In the three-block layout a language
// with code page 2 or 3 has no header pair: then nothing is returned and *refusal names the
// language and its code page.
std::optional<std::array<std::uint8_t, 4>> CodePageHeader(const MenuLanguages& languages,
                                                          MenuLayout layout,
                                                          QString* refusal = nullptr);

// The layout a controller's setup block marks in word 98 (bytes 196, 197 = 0x56 0xBA).
MenuLayout LayoutFromSetup(const std::uint8_t* setupBytes);

}  // namespace qdx
