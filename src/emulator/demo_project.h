// A plausible smokehouse project: what a fresh emulated controller holds, so that a first read
// shows something real.
#pragma once

#include "model/blocks.h"

namespace qdx {

// Fills the sections of the three blocks (relays, both process sets, programs 1..4 and the
// washing program, alarms, special statuses, analog outputs, PID regulators, passwords); every
// record carries its slot number and values that fit their wire fields. The setup block and
// the header are left as they are.
void BuildDemoProject(ProjectImage& image, PidTable& pid, PasswordBlock& passwords);

}  // namespace qdx
