// The controller's answers to the configuration sections: every read and write of relays,
// alarms, special statuses, processes and presets, programs, analog outputs, PID regulators
// and passwords, served from the section memory.
#pragma once

namespace qdx {

class Emulator;

// Adds the section requests to the emulator's table. Called by the constructor.
void RegisterSectionHandlers(Emulator& emulator);

}  // namespace qdx
