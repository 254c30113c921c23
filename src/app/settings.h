// The two settings files next to the executable, shared with the earlier Windows tool:
// "ustawienia.ini" (link and behaviour settings) and "setupQDXust.ini" (the main window's
// connection fields), both with the section "Parametry", plus our "Ports" section that maps
// COM port numbers to device paths.
#pragma once

#include <QMap>
#include <QString>

namespace qdx {

// Values of "ustawienia.ini" as read once at start. Flags count only when exactly 1.
struct AppSettings {
  int ileBlokProgram = 2;
  bool minusOffset[16] = {};  // COM1..COM16: replies carry one leading byte to skip
  bool transmisjaNT = false;
  int waitForPanel = 5;       // seconds
  bool pytajOReset = true;
  int ileSleep = 5;           // ms; 10 reads as 5
  int timeoutStand = 2000;    // ms
  bool jestModul = false;
  int stronaKodowa = 0;       // 0..3
  QMap<int, QString> ports;   // COM number (1-based) -> device path, from section "Ports"

  // True when replies on COM<portNumber> (1-based) carry a leading byte to skip.
  bool MinusOffsetFor(int portNumber) const {
    return portNumber >= 1 && portNumber <= 16 && minusOffset[portNumber - 1];
  }
};

// The main window's connection fields kept between runs in "setupQDXust.ini".
struct ConnectionFields {
  int portItemIndex = 0;   // ComboBoxPort_ItemIndex
  int baudItemIndex = -1;  // ComboBoxPredkosc_ItemIndex; -1: no entry selected
  int address = 1;         // IntEditAdres_Value
};

inline constexpr const char* kSettingsFileName = "ustawienia.ini";
inline constexpr const char* kConnectionFileName = "setupQDXust.ini";

// Reads "ustawienia.ini" from dir; a missing file or key gives the default.
AppSettings ReadAppSettings(const QString& dir);
// Writes StronaKodowa and JestModul back, changing only those lines. False on a write error,
// with the reason in *error when given.
bool WriteAppSettingsOnClose(const QString& dir, int stronaKodowa, bool jestModul,
                             QString* error = nullptr);

// Reads "setupQDXust.ini" from dir; without the file the fields start at their defaults.
ConnectionFields ReadConnectionFields(const QString& dir);
bool WriteConnectionFields(const QString& dir, const ConnectionFields& fields,
                           QString* error = nullptr);

}  // namespace qdx
