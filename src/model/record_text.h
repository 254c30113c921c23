// Record texts are 8-bit code-page bytes: Windows-1251 while the code page setting is 1
// (Cyrillic), Windows-1250 otherwise. Windows and exports decode them with these helpers.
#pragma once

#include <QByteArray>
#include <QString>

namespace qdx {

QString DecodeRecordText(const QByteArray& bytes, int codePageIndex);
// Characters the code page cannot represent become '?'.
QByteArray EncodeRecordText(const QString& text, int codePageIndex);

}  // namespace qdx
