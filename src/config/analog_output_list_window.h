// The analog-output list window and the main window's entry to it.
#pragma once

#include "config/section_list_window.h"

namespace qdx {

// The list of the five analog outputs with their type, channel, set values and PID number.
class TfListaWyjAnal : public SectionListWindow {
  Q_OBJECT
 public:
  explicit TfListaWyjAnal(SectionWindowContext& context, QWidget* parent = nullptr);
};

// The main window's "Analog OUT": the list, modal, until it is closed.
void OpenAnalogOutputList(SectionWindowContext& context, QWidget* parent);

}  // namespace qdx
