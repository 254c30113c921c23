// The program list window and the main window's entry to it.
#pragma once

#include "config/section_list_window.h"

namespace qdx {

// The list of programs 1..99 by name.
class Tflistaprojektow : public SectionListWindow {
  Q_OBJECT
 public:
  explicit Tflistaprojektow(SectionWindowContext& context, QWidget* parent = nullptr);
};

// The main window's "Programs": the list, modal, until it is closed.
void OpenProgramList(SectionWindowContext& context, QWidget* parent);

}  // namespace qdx
