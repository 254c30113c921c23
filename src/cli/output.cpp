#include "cli/output.h"

namespace qdx::cli {

namespace {

bool IsControl(char16_t c) {
  return (c < 0x20 && c != u'\n' && c != u'\t') || (c >= 0x7F && c <= 0x9F);
}

}  // namespace

QString TerminalSafe(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    if (IsControl(c.unicode())) {
      out += QStringLiteral("\\x") +
             QString::number(c.unicode(), 16).toUpper().rightJustified(2, QLatin1Char('0'));
    } else {
      out += c;
    }
  }
  return out;
}

void PrintText(std::FILE* stream, const QString& text) {
  const QByteArray bytes = TerminalSafe(text).toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
  std::fflush(stream);
}

}  // namespace qdx::cli
