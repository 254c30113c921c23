// Feeds arbitrary bytes to the menu-text parsers as a structure stream, as a predefined menu
// and as a language block. They must stay inside their input whatever its counts claim, and
// what they report must agree with the rows they made.
//
// The first input byte picks the column and the conversion of the language-block parse.
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "panel/menu_texts.h"

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qdx;
  if (size == 0) return 0;
  const int column = data[0] % (qdx::kMenuColumns + 2) - 1;  // one outside at each end
  const int codePage = (data[0] >> 5) % 5 - 1;               // -1 .. 3
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1),
                                                   static_cast<qsizetype>(size - 1));

  MenuTextTable structure;
  const int blockSize = ParseStructure(bytes, structure);
  Require(blockSize == LanguageBlockSize(structure));

  MenuTextTable predefined;
  const int entries = AppendRowsFromLanguageBlock(bytes, predefined);
  Require(entries == static_cast<int>(predefined.size()));
  Require(ParseLanguageBlockInto(bytes, structure, column, codePage) == entries);
  for (const MenuTextRow& row : predefined) Require(row.texts[0].size() <= kMenuTextWidth);
  return 0;
}
