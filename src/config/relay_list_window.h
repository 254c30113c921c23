// The relay list window and the main window's entry to it.
#pragma once

#include "config/section_list_window.h"

namespace qdx {

// The list of the 32 relays with their times, regulator and regulator values.
class Tflistaprzekaznikow : public SectionListWindow {
  Q_OBJECT
 public:
  explicit Tflistaprzekaznikow(SectionWindowContext& context, QWidget* parent = nullptr);
};

// The main window's "Relays": the list, modal, until it is closed.
void OpenRelayList(SectionWindowContext& context, QWidget* parent);

}  // namespace qdx
