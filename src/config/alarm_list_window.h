// The alarm list window and the main window's entry to it.
#pragma once

#include "config/section_list_window.h"

namespace qdx {

// The list of the 21 alarms with their delay, status and relay logic.
class TFListaAlarmow : public SectionListWindow {
  Q_OBJECT
 public:
  explicit TFListaAlarmow(SectionWindowContext& context, QWidget* parent = nullptr);
};

// The main window's "Alarms": the list, modal, until it is closed.
void OpenAlarmList(SectionWindowContext& context, QWidget* parent);

}  // namespace qdx
