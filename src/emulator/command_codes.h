// The command codes the emulated controller answers, named once for its memory and its
// handlers. They are the emulator's own reading of the protocol on purpose: it does not take
// the command codes of the link's catalogue, so a code the link gets wrong fails an exchange
// in the tests instead of being copied into both sides.
#pragma once

#include <cstdint>

namespace qdx::cmd {

// Configuration sections, read with class 'F' and written with class 'G'.
inline constexpr std::uint8_t kProgram = 0x0B;        // one program page
inline constexpr std::uint8_t kRelays = 0x0C;         // a block of six relays
inline constexpr std::uint8_t kBodiesNormal = 0x0D;   // a block of eight process bodies
inline constexpr std::uint8_t kSpecials = 0x0E;       // all special statuses
inline constexpr std::uint8_t kAlarms = 0x0F;         // a block of twelve alarms
inline constexpr std::uint8_t kBodiesWashing = 0x10;  // washing process bodies
inline constexpr std::uint8_t kPasswords = 0x11;
inline constexpr std::uint8_t kAnalogOutputs = 0x12;
inline constexpr std::uint8_t kPresetTable = 0x13;  // the presets of one process set
inline constexpr std::uint8_t kPid = 0x38;          // the PID regulators
inline constexpr std::uint8_t kSetup = 0x0A;        // the setup block

// Single records, written with class 'G' only.
inline constexpr std::uint8_t kProcessNormal = 0x15;
inline constexpr std::uint8_t kSpecial = 0x16;
inline constexpr std::uint8_t kAlarm = 0x17;
inline constexpr std::uint8_t kProcessWashing = 0x18;
inline constexpr std::uint8_t kPresets = 0x1A;  // one process's presets

// Device information and panel texts, class 'D'.
inline constexpr std::uint8_t kReadDeviceInfo = 0x20;
inline constexpr std::uint8_t kReadPanelTextKind6 = 0x21;
inline constexpr std::uint8_t kReadPanelTextKind7 = 0x22;
inline constexpr std::uint8_t kWritePanelCharsets = 0x23;
inline constexpr std::uint8_t kWritePanelText = 0x24;

// Device commands, class 'G'.
inline constexpr std::uint8_t kReset = 0xE6;
inline constexpr std::uint8_t kSetClock = 0x06;

}  // namespace qdx::cmd
