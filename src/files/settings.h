// The two settings files next to the executable, shared with the earlier Windows tool:
// "ustawienia.ini" (link and behaviour settings) and "setupQDXust.ini" (the main window's
// connection fields), both with the section "Parametry", plus our "Ports" section of
// "ustawienia.ini" that maps COM port numbers to device paths (COM3=/dev/ttyUSB0).
#pragma once

#include <QMap>
#include <QString>

#include "model/line_settings.h"

namespace qdx {

// Values of "ustawienia.ini" as read once at start. Flags count only when exactly 1.
struct AppSettings : LineSettings {
  int ileBlokProgram = 2;
  bool jestModul = false;
  int stronaKodowa = 0;  // 0..3
};

// The main window's connection fields kept between runs in "setupQDXust.ini".
struct ConnectionFields {
  int portItemIndex = 0;   // ComboBoxPort_ItemIndex: 0..254 for COM1..COM255
  int baudItemIndex = -1;  // ComboBoxPredkosc_ItemIndex; -1: no entry selected
  int address = 1;         // IntEditAdres_Value: 0..247

  friend bool operator==(const ConnectionFields&, const ConnectionFields&) = default;
};

inline constexpr const char* kSettingsFileName = "ustawienia.ini";
inline constexpr const char* kConnectionFileName = "setupQDXust.ini";
inline constexpr const char* kSettingsSection = "Parametry";
inline constexpr const char* kPortsSection = "Ports";

// Where settings files are read from and written to. Files live next to the executable, as in
// a portable install; where that folder cannot be written (a system-wide install), what is
// written goes to writableDir (the user's configuration folder), and a copy found there is
// read in preference to the one next to the executable.
struct SettingsFolders {
  QString programDir;
  QString writableDir;  // empty: always programDir

  // Full name of the file to read: the user's copy when writes go there and it exists.
  QString ReadPath(const QString& fileName) const;
  // Full name of the file to write.
  QString WritePath(const QString& fileName) const;
};

// Reads "ustawienia.ini"; a missing file or key gives the default. An unreadable file gives
// the defaults and its name and the system's reason in *error.
AppSettings ReadAppSettings(const SettingsFolders& folders, QString* error = nullptr);
AppSettings ReadAppSettings(const QString& dir, QString* error = nullptr);
// Writes StronaKodowa and JestModul back, changing only those lines. False on a write error,
// with the file name and the reason in *error when given.
bool WriteAppSettingsOnClose(const SettingsFolders& folders, int stronaKodowa, bool jestModul,
                             QString* error = nullptr);
bool WriteAppSettingsOnClose(const QString& dir, int stronaKodowa, bool jestModul,
                             QString* error = nullptr);

// Reads "setupQDXust.ini"; without the file the fields start at their defaults. Values
// outside their lists give the default of that field.
ConnectionFields ReadConnectionFields(const SettingsFolders& folders, QString* error = nullptr);
ConnectionFields ReadConnectionFields(const QString& dir, QString* error = nullptr);
bool WriteConnectionFields(const SettingsFolders& folders, const ConnectionFields& fields,
                           QString* error = nullptr);
bool WriteConnectionFields(const QString& dir, const ConnectionFields& fields,
                           QString* error = nullptr);

}  // namespace qdx
