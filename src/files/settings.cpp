#include "files/settings.h"

#include <QDir>
#include <QFileInfo>
#include <functional>

#include "files/ini_file.h"

namespace qdx {

namespace {

QString Join(const QString& dir, const QString& fileName) {
  return QDir(dir.isEmpty() ? QStringLiteral(".") : dir).filePath(fileName);
}

bool CanWriteIn(const QString& dir, const QString& fileName) {
  const QFileInfo folder(dir.isEmpty() ? QStringLiteral(".") : dir);
  if (!folder.isDir() || !folder.isWritable()) return false;
  const QFileInfo file(Join(dir, fileName));
  return !file.exists() || file.isWritable();
}

// A flag counts only when its value is exactly 1; a missing key or one that holds no number
// gives the default.
bool Flag(const IniFile& ini, const QString& key, bool defaultValue) {
  return ini.IntValue(kSettingsSection, key, defaultValue ? 1 : 0) == 1;
}

// Timings and counts below zero make no sense: the default stands in for them.
int NonNegative(const IniFile& ini, const QString& key, int defaultValue) {
  const int v = ini.IntValue(kSettingsSection, key, defaultValue);
  return v < 0 ? defaultValue : v;
}

AppSettings ParseAppSettings(const IniFile& ini) {
  AppSettings s;
  const QString section = kSettingsSection;
  s.ileBlokProgram = ini.IntValue(section, "ileBlokProgram", s.ileBlokProgram);
  // Every page count is divided into the steps of a program; zero or less cannot be used.
  if (s.ileBlokProgram < 1) s.ileBlokProgram = AppSettings().ileBlokProgram;
  for (int n = 1; n <= 16; ++n) {
    s.minusOffset[n - 1] = Flag(ini, QStringLiteral("COM%1MinusOffset").arg(n), false);
  }
  s.transmisjaNT = Flag(ini, "TransmisjaNT", s.transmisjaNT);
  s.waitForPanel = NonNegative(ini, "WaitForPanel", s.waitForPanel);
  s.pytajOReset = Flag(ini, "PytajOReset", s.pytajOReset);
  s.ileSleep = NonNegative(ini, "IleSleep", s.ileSleep);
  // The Windows tool replaced 10 ms by 5 ms; files written for it still carry 10.
  if (s.ileSleep == 10) s.ileSleep = 5;
  s.timeoutStand = NonNegative(ini, "timeoutStand", s.timeoutStand);
  s.jestModul = Flag(ini, "JestModul", s.jestModul);
  s.stronaKodowa = ini.IntValue(section, "StronaKodowa", s.stronaKodowa);
  if (s.stronaKodowa < 0 || s.stronaKodowa > 3) s.stronaKodowa = 0;

  // Our own section, edited by hand on Linux: device paths are file names, hence UTF-8.
  for (const QString& key : ini.Keys(kPortsSection)) {
    if (!key.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) continue;
    bool ok = false;
    const int number = key.mid(3).toInt(&ok, 10);
    if (!ok || number < 1 || number > 255) continue;
    const QString device =
        QString::fromUtf8(ini.RawValue(kPortsSection, key).value_or(QByteArray()));
    if (!device.isEmpty()) s.ports.insert(number, device);
  }
  return s;
}

// Loads the file to edit: the copy that would be read, so a first write to the user's
// folder keeps the comments and keys of the file next to the executable.
bool EditAndSave(const SettingsFolders& folders, const QString& fileName,
                 const std::function<void(IniFile&)>& edit, QString* error) {
  IniFile ini;
  const QString readPath = folders.ReadPath(fileName);
  const QString writePath = folders.WritePath(fileName);
  if (!ini.Load(readPath, error)) return false;
  const QByteArray before = ini.bytes();
  const bool existed = ini.exists();
  edit(ini);
  // Nothing to change: leave the file (and its time stamp) alone.
  if (existed && readPath == writePath && ini.bytes() == before) return true;
  return ini.Save(writePath, error);
}

}  // namespace

QString SettingsFolders::WritePath(const QString& fileName) const {
  if (writableDir.isEmpty() || CanWriteIn(programDir, fileName)) return Join(programDir, fileName);
  return Join(writableDir, fileName);
}

QString SettingsFolders::ReadPath(const QString& fileName) const {
  const QString own = Join(programDir, fileName);
  const QString written = WritePath(fileName);
  if (written != own && QFileInfo::exists(written)) return written;
  return own;
}

AppSettings ReadAppSettings(const SettingsFolders& folders, QString* error) {
  IniFile ini;
  ini.Load(folders.ReadPath(kSettingsFileName), error);
  return ParseAppSettings(ini);
}

AppSettings ReadAppSettings(const QString& dir, QString* error) {
  return ReadAppSettings(SettingsFolders{dir, {}}, error);
}

bool WriteAppSettingsOnClose(const SettingsFolders& folders, int stronaKodowa, bool jestModul,
                             QString* error) {
  return EditAndSave(
      folders, kSettingsFileName,
      [&](IniFile& ini) {
        ini.SetIntValue(kSettingsSection, "StronaKodowa", stronaKodowa);
        ini.SetIntValue(kSettingsSection, "JestModul", jestModul ? 1 : 0);
      },
      error);
}

bool WriteAppSettingsOnClose(const QString& dir, int stronaKodowa, bool jestModul, QString* error) {
  return WriteAppSettingsOnClose(SettingsFolders{dir, {}}, stronaKodowa, jestModul, error);
}

ConnectionFields ReadConnectionFields(const SettingsFolders& folders, QString* error) {
  IniFile ini;
  ini.Load(folders.ReadPath(kConnectionFileName), error);
  ConnectionFields f;
  const ConnectionFields defaults;
  f.portItemIndex = ini.IntValue(kSettingsSection, "ComboBoxPort_ItemIndex", f.portItemIndex);
  if (f.portItemIndex < 0 || f.portItemIndex > 254) f.portItemIndex = defaults.portItemIndex;
  f.baudItemIndex = ini.IntValue(kSettingsSection, "ComboBoxPredkosc_ItemIndex", f.baudItemIndex);
  if (f.baudItemIndex < -1 || f.baudItemIndex > 3) f.baudItemIndex = defaults.baudItemIndex;
  f.address = ini.IntValue(kSettingsSection, "IntEditAdres_Value", f.address);
  if (f.address < 0 || f.address > 247) f.address = defaults.address;
  return f;
}

ConnectionFields ReadConnectionFields(const QString& dir, QString* error) {
  return ReadConnectionFields(SettingsFolders{dir, {}}, error);
}

bool WriteConnectionFields(const SettingsFolders& folders, const ConnectionFields& fields,
                           QString* error) {
  return EditAndSave(
      folders, kConnectionFileName,
      [&](IniFile& ini) {
        ini.SetIntValue(kSettingsSection, "ComboBoxPort_ItemIndex", fields.portItemIndex);
        ini.SetIntValue(kSettingsSection, "ComboBoxPredkosc_ItemIndex", fields.baudItemIndex);
        ini.SetIntValue(kSettingsSection, "IntEditAdres_Value", fields.address);
      },
      error);
}

bool WriteConnectionFields(const QString& dir, const ConnectionFields& fields, QString* error) {
  return WriteConnectionFields(SettingsFolders{dir, {}}, fields, error);
}

}  // namespace qdx
