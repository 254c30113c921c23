// The PID regulators as their list window and editor show them.
#pragma once

#include "config/section_table.h"

namespace qdx {

// The PID section: "PID", the five regulators of the PidTable, no disk files, edited by button
// or double click only; Xp shown in percent with one decimal place.
const SectionDescription& PidSection();

}  // namespace qdx
