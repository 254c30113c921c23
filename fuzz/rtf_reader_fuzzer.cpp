// Feeds arbitrary bytes to the RTF reader of the help pages. It must end, without reading
// outside its input, in time proportional to the input, whatever the bytes are.
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "panel/rtf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray rtf =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const qdx::RtfDocument doc = qdx::ReadRtf(rtf);
  volatile qsizetype sink = doc.PlainText().size();
  (void)sink;
  return 0;
}
