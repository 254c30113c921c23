// qdx's progress while sections transfer, for a person at a terminal: one line on standard
// error, rewritten in place ("relays 3/6", as the window's gauge shows it), cleared when the
// section ends, so only the result lines stay. Never used when standard error is a pipe or a
// file: scripts see the result lines alone.
#pragma once

#include <cstdio>

#include "transfer/project_rows.h"

namespace qdx::cli {

class TerminalProgress : public TransferListener {
 public:
  explicit TerminalProgress(std::FILE* stream) : stream_(stream) {}
  ~TerminalProgress() override { Clear(); }

  // True when stream is a terminal.
  static bool IsTerminal(std::FILE* stream);

  void RowStarted(ProjectRow row, int maximum) override;
  void RowProgress(ProjectRow row, int position) override;
  void RowResult(ProjectRow, const RowOutcome&) override { Clear(); }
  void Message(const QString&) override {}

 private:
  void Show(ProjectRow row, int position);
  void Clear();

  std::FILE* stream_;
  int maximum_ = 0;
  bool shown_ = false;
};

}  // namespace qdx::cli
