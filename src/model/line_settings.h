// The values of "ustawienia.ini" that the link works by. They are kept here, below both the
// settings file that reads them and the link that uses them, so neither depends on the other.
#pragma once

#include <QMap>
#include <QString>

namespace qdx {

// What the link takes of "ustawienia.ini": how the line is driven (port map, ports whose
// replies carry a leading byte, transmit mode, lead time), how long it waits, and whether it
// offers the reset after writes. The link sees only these, never the rest of the settings.
struct LineSettings {
  QMap<int, QString> ports;   // COM number (1-based) -> device path, from section "Ports"
  bool minusOffset[16] = {};  // COM1..COM16: replies carry one leading byte to skip
  bool transmisjaNT = false;
  int ileSleep = 5;         // ms; 10 reads as 5
  int timeoutStand = 2000;  // ms
  int waitForPanel = 5;     // seconds
  bool pytajOReset = true;

  // True when replies on COM<portNumber> (1-based) carry a leading byte to skip.
  bool MinusOffsetFor(int portNumber) const {
    return portNumber >= 1 && portNumber <= 16 && minusOffset[portNumber - 1];
  }
};

}  // namespace qdx
