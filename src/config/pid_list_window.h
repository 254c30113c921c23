// The PID regulator list window and the main window's entry to it.
#pragma once

#include "config/section_list_window.h"

namespace qdx {

// The list of the five PID regulators of the PidTable with their loop values.
class Tflistapid : public SectionListWindow {
  Q_OBJECT
 public:
  explicit Tflistapid(SectionWindowContext& context, QWidget* parent = nullptr);
};

// The main window's "PID": the list, modal, until it is closed.
void OpenPidList(SectionWindowContext& context, QWidget* parent);

}  // namespace qdx
