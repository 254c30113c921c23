// The special-status list window and the main window's entry to it.
#pragma once

#include "config/section_list_window.h"

namespace qdx {

// The list of the six special statuses (Stop, Pause, F1..F4) with their switch-off time and
// relay logic.
class Tflistafunkcji : public SectionListWindow {
  Q_OBJECT
 public:
  explicit Tflistafunkcji(SectionWindowContext& context, QWidget* parent = nullptr);
};

// The main window's "Special statuses": the list, modal, until it is closed.
void OpenSpecialStatusList(SectionWindowContext& context, QWidget* parent);

}  // namespace qdx
