#include "cli/terminal_progress.h"

#include <unistd.h>

namespace qdx::cli {

bool TerminalProgress::IsTerminal(std::FILE* stream) {
  return ::isatty(::fileno(stream)) == 1;
}

void TerminalProgress::RowStarted(ProjectRow row, int maximum) {
  maximum_ = maximum;
  Show(row, 0);
}

void TerminalProgress::RowProgress(ProjectRow row, int position) {
  Show(row, position);
}

void TerminalProgress::Show(ProjectRow row, int position) {
  // Carriage return and erase-line: the line is rewritten where it stands.
  const QByteArray line =
      QStringLiteral("\r\033[K%1 %2/%3").arg(RowSectionName(row)).arg(position).arg(maximum_).toUtf8();
  std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stream_);
  std::fflush(stream_);
  shown_ = true;
}

void TerminalProgress::Clear() {
  if (!shown_) return;
  std::fputs("\r\033[K", stream_);
  std::fflush(stream_);
  shown_ = false;
}

}  // namespace qdx::cli
