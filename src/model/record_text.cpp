#include "model/record_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace qdx {
namespace {

const char* CodecName(int codePageIndex) {
  return codePageIndex == 1 ? "windows-1251" : "windows-1250";
}

}  // namespace

QString DecodeRecordText(const QByteArray& bytes, int codePageIndex) {
  QStringDecoder decoder(CodecName(codePageIndex));
  if (!decoder.isValid()) return QString::fromLatin1(bytes);
  return decoder.decode(bytes);
}

QByteArray EncodeRecordText(const QString& text, int codePageIndex) {
  QStringEncoder encoder(CodecName(codePageIndex));
  if (!encoder.isValid()) return text.toLatin1();
  // Encode character by character so that an unmappable one becomes '?' rather than
  // vanishing or turning into an encoder-specific substitute.
  QByteArray out;
  for (const QChar c : text) {
    QStringEncoder one(CodecName(codePageIndex), QStringConverter::Flag::Stateless);
    const QByteArray bytes = one.encode(QString(c));
    out += (one.hasError() || bytes.isEmpty()) ? QByteArray("?") : bytes;
  }
  return out;
}

}  // namespace qdx
