// What the emulated controller keeps: its setup words, the operator panel's text areas and
// character sets, its clock, run state and readings. Section memory (relays, programs, ...)
// joins this as its requests are served.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <array>
#include <cstdint>

#include "emulator/section_memory.h"

namespace qdx {

// How the operator panel keeps its menu texts; word 98 of the setup block tells the PC.
enum class PanelLayout {
  FourBlock,   // structure in kind 7, four language blocks in kind 6
  ThreeBlock,  // predefined menu in kind 7, three language blocks in kind 6
};

inline constexpr int kSetupWords = 101;
inline constexpr int kSetupWordsOnWire = 100;  // word 100 never travels
inline constexpr int kSetupWordPanelLayout = 98;
inline constexpr int kSetupWordProgramVersion = 99;
// Word 98 of a controller with the four-block layout: the bytes 0x56 0xBA, little-endian.
inline constexpr std::int16_t kFourBlockLayoutMarker = static_cast<std::int16_t>(0xBA56);
inline constexpr std::int16_t kDefaultProgramVersion = 900;

inline constexpr int kPanelAreaBlockSize = 264;
// Any 16-bit block offset plus one whole block fits, so no request can reach past the end.
inline constexpr int kPanelAreaSize = 0x10000 + kPanelAreaBlockSize;

// The values behind the module's status reply. Temperatures in degrees Celsius.
struct Readings {
  double chamberTemperature = 72.5;
  double coreTemperature = 48.3;  // the second temperature
  int humidity = 65;              // percent; 200 means no reading
  double smokeTemperature = 85.0;
  double plateTemperature = 91.2;
  double wetBulbTemperature = 60.4;
  double value30 = 0.0;
  double value32 = 0.0;
  std::array<double, 5> measured6To10 = {21.0, 22.5, -1.5, 0.0, 0.0};
  std::uint16_t lastRecordingAddress = 0x0120;
  std::uint16_t previousRecordingAddress = 0x011F;
  // Bytes of the status reply the PC only passes on (16, 21, 23..29, 34..38, 60; the status
  // word at 39..42); the other positions of this array are ignored.
  std::array<std::uint8_t, 64> rawStatus{};
};

struct ControllerMemory {
  std::array<std::int16_t, kSetupWords> setup{};
  // Relays, alarms, special statuses, processes, programs, analog outputs, PID, passwords.
  SectionMemory sections;
  // Kind 6, the user's menu; kind 7, the predefined menu (or the menu structure).
  QByteArray panelArea6 = QByteArray(kPanelAreaSize, ' ');
  QByteArray panelArea7 = QByteArray(kPanelAreaSize, ' ');
  // The four bytes last written as panel character sets: one pair per selected language.
  std::array<std::uint8_t, 4> panelCharsets{};
  // The size the device information reports: the language block size of the panel texts.
  std::uint16_t panelTextSize = 0;

  std::uint8_t runState = 0;  // 0 or 1 stopped, above 1 running
  Readings readings;
  int resetCount = 0;

  // The controller clock runs from clockBase, set at clockBaseMicroseconds of the emulator's
  // monotonic clock.
  QDateTime clockBase;
  std::int64_t clockBaseMicroseconds = 0;

  std::int16_t ProgramVersion() const { return setup[kSetupWordProgramVersion]; }
  PanelLayout Layout() const {
    return setup[kSetupWordPanelLayout] == kFourBlockLayoutMarker ? PanelLayout::FourBlock
                                                                  : PanelLayout::ThreeBlock;
  }
  QDateTime ClockAt(std::int64_t nowMicroseconds) const {
    return clockBase.addMSecs((nowMicroseconds - clockBaseMicroseconds) / 1000);
  }
  QByteArray& PanelArea(int kind) { return kind == 6 ? panelArea6 : panelArea7; }
};

// A fresh controller: plausible setup words (with the given program version and layout
// marker), demo menu texts in four languages in the given layout, the matching character
// sets.
void LoadDemoConfiguration(ControllerMemory& memory, std::int16_t programVersion,
                           PanelLayout layout, int stationAddress);
// Replaces the panel texts (both areas, character sets and size) with the demo menu in the
// given layout and sets word 98 to match.
void LoadDemoPanelTexts(ControllerMemory& memory, PanelLayout layout);

}  // namespace qdx
