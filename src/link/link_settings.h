// The chosen port and speed, copied by value into every operation.
#pragma once

#include <QString>
#include <cstdint>

namespace qdx {

// Speed codes of the port layer: code + 1 is the position in this list, counted from 1.
inline constexpr int kBaudRatesByCode[] = {110,   300,   600,   1200,  2400,  4800,  9600,
                                           14400, 19200, 38400, 56000, 57600, 115200};
inline constexpr std::uint8_t kBaud9600 = 6;
inline constexpr std::uint8_t kBaud19200 = 8;
inline constexpr std::uint8_t kBaud38400 = 9;
inline constexpr std::uint8_t kBaud115200 = 12;

struct LinkSettings {
  int portIndex = 0;  // 0..254 for COM1..COM255
  std::uint8_t baudCode = kBaud38400;
  // A device path chosen directly (qdx --port /dev/ttyUSB0); empty: the port index through
  // the port mapping. A direct path never strips a leading reply byte.
  QString device;

  friend bool operator==(const LinkSettings&, const LinkSettings&) = default;
};

// Bits per second of a speed code; 0 for a code outside the list.
inline int BaudRateOfCode(std::uint8_t code) {
  return code < sizeof(kBaudRatesByCode) / sizeof(kBaudRatesByCode[0]) ? kBaudRatesByCode[code] : 0;
}

}  // namespace qdx

namespace qdx {

// What every operation takes from its caller besides the line: the chosen port and speed,
// the station, the path, the record code page, the write-pending flag and the pages per
// program. The shell's session is one (it fills in the main window's connection fields);
// qdx and the tests make their own.
struct LinkContext {
  LinkSettings link;
  int stationAddress = 1;      // 0..247
  bool moduleFlag = false;     // module path instead of the direct path
  int codePageIndex = 0;       // 0 Standard, 1 Cyrillic, 2 Polish, 3 PC852
  bool writePending = false;   // a write happened since the last reset offer
  int ileBlokProgram = 2;      // pages per program transfer

  LinkContext() = default;
  LinkContext(const LinkContext&) = default;
  LinkContext& operator=(const LinkContext&) = default;
  virtual ~LinkContext() = default;

  // Takes the connection fields chosen now (port, speed, station) into link and
  // stationAddress. Every transfer calls it immediately before it starts, so a change in the
  // main window takes effect with the next transaction. Nothing to take by default.
  virtual void ReadConnectionSettings() {}
};

}  // namespace qdx
