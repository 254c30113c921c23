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
