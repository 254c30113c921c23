// Feeds arbitrary bytes to the menu file loaders: as a structure file, whose stream then
// becomes rows, and as a text file split into lines. They must end without reading outside
// their input and keep every line within what a cell holds.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "panel/menu_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  if (const std::optional<QByteArray> stream = qdx::ParseStructureFile(bytes)) {
    if (stream->size() > bytes.size()) std::abort();
    qdx::MenuTextTable table;
    qdx::ParseStructure(*stream, table);
  }
  for (const QByteArray& line : qdx::SplitMenuLines(bytes)) {
    if (line.size() > qdx::kMenuTextHeld) std::abort();
  }
  return 0;
}
