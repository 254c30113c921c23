// What the project blocks get besides file contents: the start-up numbering and the fixed
// names of the six special statuses.
#pragma once

#include <QByteArray>

#include "model/blocks.h"

namespace qdx {

// The washing program's name, always.
inline constexpr char kWashingProgramName[] = "WASHING";

// Run once on the zero-filled blocks before any file is loaded: numbers every record of
// the image (relays, special statuses, alarms, both process sets, programs 1..99, the
// washing program 101) and names the washing program.
void ApplyStartupDefaults(ProjectImage& image);

// Writes "Stop mode", "Pause mode", "F1".."F4" into special statuses 1..6: the length byte
// and the characters only; the rest of each name field keeps what it held.
void ApplyFixedNames(ProjectImage& image);

// The fixed name of special status n (1..6).
QByteArray FixedSpecialStatusName(int n);

}  // namespace qdx
