// What a core test sets up in place of the shell's session: the blocks and the link context
// that engines take, and the line settings that the link takes.
#pragma once

#include <functional>

#include "config/workspace.h"
#include "model/line_settings.h"

namespace qdx {

struct TestSession : Workspace {
  LineSettings settings;
  // Stands in for the main window's connection fields; unset: nothing to take.
  std::function<void(LinkContext&)> readConnection;

  void ReadConnectionSettings() override {
    if (readConnection) readConnection(*this);
  }
};

}  // namespace qdx
