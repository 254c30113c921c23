// The process list window, for the normal or the washing set, and the main window's entry.
#pragma once

#include "config/section_list_window.h"

namespace qdx {

// The list of the 16 processes of one set; every action of the window works on that set.
class TfListakrokow : public SectionListWindow {
  Q_OBJECT
 public:
  TfListakrokow(SectionWindowContext& context, ProcessSet set, QWidget* parent = nullptr);
};

// The main window's "Processes" and "Processes WASHING": the set's list, modal, until closed.
void OpenProcessList(SectionWindowContext& context, ProcessSet set, QWidget* parent);

}  // namespace qdx
