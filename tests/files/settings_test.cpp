// Settings files shared with the Windows tool: defaults, the flag and IleSleep rules, keys in
// any letter case, the Ports section, and writes that change only their own lines.
#include "files/settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <random>

#include "files/ini_file.h"

namespace qdx {
namespace {

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

class SettingsTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  void WriteSettings(const QByteArray& bytes) { WriteBytes(Path(kSettingsFileName), bytes); }
  QTemporaryDir dir_;
};

TEST_F(SettingsTest, MissingFilesGiveTheDefaults) {
  QString error;
  const AppSettings s = ReadAppSettings(dir_.path(), &error);
  EXPECT_TRUE(error.isEmpty());
  EXPECT_EQ(s.ileBlokProgram, 2);
  for (int n = 1; n <= 16; ++n) EXPECT_FALSE(s.MinusOffsetFor(n)) << n;
  EXPECT_FALSE(s.transmisjaNT);
  EXPECT_EQ(s.waitForPanel, 5);
  EXPECT_TRUE(s.pytajOReset);
  EXPECT_EQ(s.ileSleep, 5);
  EXPECT_EQ(s.timeoutStand, 2000);
  EXPECT_FALSE(s.jestModul);
  EXPECT_EQ(s.stronaKodowa, 0);
  EXPECT_TRUE(s.ports.isEmpty());

  const ConnectionFields f = ReadConnectionFields(dir_.path(), &error);
  EXPECT_EQ(f, ConnectionFields{});
  EXPECT_EQ(f.portItemIndex, 0);
  EXPECT_EQ(f.baudItemIndex, -1);
  EXPECT_EQ(f.address, 1);
}

TEST_F(SettingsTest, FlagsCountOnlyWhenExactlyOne) {
  struct Case {
    const char* value;
    bool set;
    bool pytajOReset;  // default 1: a value that is no number keeps it
  };
  const Case cases[] = {
      {"1", true, true},   {"0", false, false},  {"2", false, false},  {"-1", false, false},
      {" 1 ", true, true}, {"01", true, true},   {"1.0", false, true}, {"yes", false, true},
      {"", false, true},   {"11", false, false},
  };
  for (const Case& c : cases) {
    WriteSettings(QByteArray("[Parametry]\n") + "TransmisjaNT=" + c.value +
                  "\nJestModul=" + c.value + "\nPytajOReset=" + c.value +
                  "\nCOM3MinusOffset=" + c.value + "\nCOM16MinusOffset=" + c.value + "\n");
    const AppSettings s = ReadAppSettings(dir_.path());
    SCOPED_TRACE(c.value);
    EXPECT_EQ(s.transmisjaNT, c.set);
    EXPECT_EQ(s.jestModul, c.set);
    EXPECT_EQ(s.pytajOReset, c.pytajOReset);
    EXPECT_EQ(s.MinusOffsetFor(3), c.set);
    EXPECT_EQ(s.MinusOffsetFor(16), c.set);
    EXPECT_FALSE(s.MinusOffsetFor(4));
    EXPECT_FALSE(s.MinusOffsetFor(17));
  }
}

TEST_F(SettingsTest, IleSleepTenReadsAsFive) {
  const std::pair<const char*, int> cases[] = {{"10", 5},  {"0", 0},  {"7", 7},
                                               {"20", 20}, {"-3", 5}, {"x", 5}};
  for (const auto& [value, expected] : cases) {
    WriteSettings(QByteArray("[Parametry]\r\nIleSleep=") + value + "\r\n");
    EXPECT_EQ(ReadAppSettings(dir_.path()).ileSleep, expected) << value;
  }
}

TEST_F(SettingsTest, KeysAndSectionsMatchInAnyLetterCase) {
  WriteSettings(
      "[PARAMETRY]\n"
      "ILEBLOKPROGRAM=3\n"
      "com2minusoffset=1\n"
      "transmisjant=1\n"
      "waitforpanel=9\n"
      "PYTAJORESET=0\n"
      "ilesleep=2\n"
      "TimeOutStand=1500\n"
      "jestmodul=1\n"
      "STRONAKODOWA=3\n"
      "[ports]\n"
      "com4=/dev/ttyUSB1\n");
  const AppSettings s = ReadAppSettings(dir_.path());
  EXPECT_EQ(s.ileBlokProgram, 3);
  EXPECT_TRUE(s.MinusOffsetFor(2));
  EXPECT_TRUE(s.transmisjaNT);
  EXPECT_EQ(s.waitForPanel, 9);
  EXPECT_FALSE(s.pytajOReset);
  EXPECT_EQ(s.ileSleep, 2);
  EXPECT_EQ(s.timeoutStand, 1500);
  EXPECT_TRUE(s.jestModul);
  EXPECT_EQ(s.stronaKodowa, 3);
  EXPECT_EQ(s.ports.value(4), "/dev/ttyUSB1");
}

TEST_F(SettingsTest, ValuesOutsideTheirRangeGiveTheDefault) {
  WriteSettings("[Parametry]\nStronaKodowa=4\nileBlokProgram=0\nWaitForPanel=-2\n");
  AppSettings s = ReadAppSettings(dir_.path());
  EXPECT_EQ(s.stronaKodowa, 0);
  EXPECT_EQ(s.ileBlokProgram, 2);
  EXPECT_EQ(s.waitForPanel, 5);

  WriteBytes(Path(kConnectionFileName),
             "[Parametry]\nComboBoxPort_ItemIndex=255\nComboBoxPredkosc_ItemIndex=4\n"
             "IntEditAdres_Value=248\n");
  EXPECT_EQ(ReadConnectionFields(dir_.path()), ConnectionFields{});
  WriteBytes(Path(kConnectionFileName),
             "[Parametry]\nComboBoxPort_ItemIndex=254\nComboBoxPredkosc_ItemIndex=3\n"
             "IntEditAdres_Value=0\n");
  EXPECT_EQ(ReadConnectionFields(dir_.path()), (ConnectionFields{254, 3, 0}));
}

TEST_F(SettingsTest, PortsSectionMapsComNumbersToDevices) {
  WriteSettings(
      "[Parametry]\n"
      "COM3=/dev/wrong-section\n"
      "[Ports]\n"
      "COM3=/dev/ttyUSB0\n"
      "com12 = /dev/serial/by-id/usb-FTDI_FT232R-if00-port0\n"
      "COM255=/dev/ttyACM0\n"
      "COM0=/dev/ttyS9\n"
      "COM256=/dev/ttyS9\n"
      "COMX=/dev/ttyS9\n"
      "Port7=/dev/ttyS9\n"
      "COM5=\n");
  const AppSettings s = ReadAppSettings(dir_.path());
  QMap<int, QString> expected;
  expected.insert(3, "/dev/ttyUSB0");
  expected.insert(12, "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
  expected.insert(255, "/dev/ttyACM0");
  EXPECT_EQ(s.ports, expected);
}

// A file as the Windows tool leaves it: CRLF, comments, Windows-1250 text, keys we do not
// know, another section with a key of the same name.
const QByteArray kWindowsFile =
    "; Ustawienia programu\r\n"
    "[Parametry]\r\n"
    "ileBlokProgram=3\r\n"
    "COM3MinusOffset=1\r\n"
    "TransmisjaNT=0\r\n"
    "; czas oczekiwania na panel\r\n"
    "WaitForPanel=7\r\n"
    "PytajOReset=1\r\n"
    "IleSleep=10\r\n"
    "timeoutStand=2500\r\n"
    "jestmodul = 0\r\n"
    "StronaKodowa=0\r\n"
    "Opis=W\xEA"
    "dzarnia \xA3\xF3"
    "d\x9F\r\n"
    "NieznanyKlucz=abc\r\n"
    "\r\n"
    "[Inne]\r\n"
    "StronaKodowa=9\r\n";

TEST_F(SettingsTest, WindowsFileLoadsAndAWriteChangesOnlyTwoLines) {
  WriteSettings(kWindowsFile);
  const AppSettings s = ReadAppSettings(dir_.path());
  EXPECT_EQ(s.ileBlokProgram, 3);
  EXPECT_TRUE(s.MinusOffsetFor(3));
  EXPECT_EQ(s.waitForPanel, 7);
  EXPECT_EQ(s.ileSleep, 5);
  EXPECT_EQ(s.timeoutStand, 2500);
  EXPECT_FALSE(s.jestModul);

  IniFile ini;
  ASSERT_TRUE(ini.Load(Path(kSettingsFileName)));
  EXPECT_EQ(ini.Value("Parametry", "Opis"), QString::fromUtf8("Wędzarnia Łódź"));

  QString error;
  ASSERT_TRUE(WriteAppSettingsOnClose(dir_.path(), 2, true, &error)) << error.toStdString();
  QByteArray expected = kWindowsFile;
  expected.replace("jestmodul = 0\r\n", "jestmodul = 1\r\n");
  expected.replace("StronaKodowa=0\r\n", "StronaKodowa=2\r\n");
  EXPECT_EQ(ReadBytes(Path(kSettingsFileName)), expected);

  const AppSettings again = ReadAppSettings(dir_.path());
  EXPECT_TRUE(again.jestModul);
  EXPECT_EQ(again.stronaKodowa, 2);
}

TEST_F(SettingsTest, WriteAddsMissingKeysToTheSectionInTheFilesLineEnding) {
  WriteSettings(
      "[Parametry]\n"
      "IleSleep=3\n"
      "; next section\n"
      "[Ports]\n"
      "COM1=/dev/ttyUSB0");
  ASSERT_TRUE(WriteAppSettingsOnClose(dir_.path(), 1, false));
  EXPECT_EQ(ReadBytes(Path(kSettingsFileName)),
            "[Parametry]\n"
            "IleSleep=3\n"
            "StronaKodowa=1\n"
            "JestModul=0\n"
            "; next section\n"
            "[Ports]\n"
            "COM1=/dev/ttyUSB0");

  WriteSettings("[Ports]\r\nCOM1=/dev/ttyUSB0");
  ASSERT_TRUE(WriteAppSettingsOnClose(dir_.path(), 3, true));
  EXPECT_EQ(ReadBytes(Path(kSettingsFileName)),
            "[Ports]\r\nCOM1=/dev/ttyUSB0\r\n\r\n[Parametry]\r\nStronaKodowa=3\r\nJestModul=1\r\n");
}

TEST_F(SettingsTest, FirstWriteMakesAWindowsStyleFile) {
  ASSERT_TRUE(WriteConnectionFields(dir_.path(), ConnectionFields{4, 2, 17}));
  EXPECT_EQ(ReadBytes(Path(kConnectionFileName)),
            "[Parametry]\r\nComboBoxPort_ItemIndex=4\r\nComboBoxPredkosc_ItemIndex=2\r\n"
            "IntEditAdres_Value=17\r\n");
  EXPECT_EQ(ReadConnectionFields(dir_.path()), (ConnectionFields{4, 2, 17}));
  ASSERT_TRUE(WriteConnectionFields(dir_.path(), ConnectionFields{0, -1, 1}));
  EXPECT_EQ(ReadConnectionFields(dir_.path()), ConnectionFields{});
}

TEST_F(SettingsTest, UnchangedValuesKeepTheirSpelling) {
  const QByteArray text = "[Parametry]\r\nStronaKodowa= 01\r\nJestModul=1 \r\n";
  WriteSettings(text);
  ASSERT_TRUE(WriteAppSettingsOnClose(dir_.path(), 1, true));
  EXPECT_EQ(ReadBytes(Path(kSettingsFileName)), text);
}

TEST_F(SettingsTest, ReadOnlyProgramFolderWritesToTheUsersFolder) {
  // The program's folder here cannot exist: its parent is a regular file (tests run as root,
  // so permissions alone would not stop a write).
  WriteBytes(Path("blocker"), "x");
  SettingsFolders folders{Path("blocker/program"), Path("config")};
  EXPECT_EQ(folders.WritePath(kSettingsFileName), Path("config/ustawienia.ini"));
  EXPECT_EQ(folders.ReadPath(kSettingsFileName), Path("blocker/program/ustawienia.ini"));
  QString error;
  ASSERT_TRUE(WriteAppSettingsOnClose(folders, 2, true, &error)) << error.toStdString();
  EXPECT_EQ(folders.ReadPath(kSettingsFileName), Path("config/ustawienia.ini"));
  const AppSettings s = ReadAppSettings(folders);
  EXPECT_EQ(s.stronaKodowa, 2);
  EXPECT_TRUE(s.jestModul);
}

TEST_F(SettingsTest, FirstWriteToTheUsersFolderKeepsTheInstalledFilesLines) {
  // A writable program folder whose settings file is read-only to us: the copy goes to the
  // user's folder, comments and all.
  SettingsFolders folders{Path("program"), Path("config")};
  WriteBytes(Path("program/ustawienia.ini"), kWindowsFile);
  QFile::setPermissions(Path("program/ustawienia.ini"), QFileDevice::ReadOwner);
  if (QFileInfo(Path("program/ustawienia.ini")).isWritable()) {
    GTEST_SKIP() << "running with rights that ignore file permissions";
  }
  ASSERT_TRUE(WriteAppSettingsOnClose(folders, 1, false));
  QByteArray expected = kWindowsFile;
  expected.replace("StronaKodowa=0\r\n", "StronaKodowa=1\r\n");
  EXPECT_EQ(ReadBytes(Path("config/ustawienia.ini")), expected);
  EXPECT_EQ(ReadBytes(Path("program/ustawienia.ini")), kWindowsFile);
}

TEST_F(SettingsTest, UnwritableTargetReportsTheFileAndReason) {
  WriteBytes(Path("blocker"), "x");
  QString error;
  EXPECT_FALSE(WriteConnectionFields(Path("blocker/sub"), ConnectionFields{}, &error));
  EXPECT_TRUE(error.contains("setupQDXust.ini")) << error.toStdString();
}

// The ini layer on its own.

TEST(IniFileTest, FirstOfDuplicateKeysIsReadAndEdited) {
  IniFile ini;
  ini.SetBytes("[A]\nk=1\nK=2\n[a]\nk=3\n");
  EXPECT_EQ(ini.IntValue("a", "K", 0), 1);
  ini.SetIntValue("A", "k", 5);
  EXPECT_EQ(ini.bytes(), "[A]\nk=5\nK=2\n[a]\nk=3\n");
  EXPECT_EQ(ini.Keys("A"), QStringList({"k"}));
}

TEST(IniFileTest, EditsKeepCommentsBlankLinesAndOtherSections) {
  const QByteArray text =
      "\xEF\xBB\xBF; head\r\n\r\n[S]\r\n  key  =  old value  \r\n# "
      "note\r\nx=1\r\n\r\n[T]\r\nkey=z\r\n";
  IniFile ini;
  ini.SetBytes(text);
  EXPECT_EQ(ini.Value("s", "KEY"), "old value");
  ini.SetValue("S", "Key", QString::fromUtf8("Łódź"));
  EXPECT_EQ(ini.bytes(),
            "\xEF\xBB\xBF; head\r\n\r\n[S]\r\n  key  =  \xA3\xF3"
            "d\x9F\r\n# note\r\nx=1\r\n\r\n"
            "[T]\r\nkey=z\r\n");
  EXPECT_EQ(ini.Value("S", "key"), QString::fromUtf8("Łódź"));
  EXPECT_EQ(ini.Value("T", "key"), "z");
}

TEST(IniFileTest, LinesThatAreNoEntriesAreLeftAlone) {
  IniFile ini;
  ini.SetBytes("[S\nk=1\n[S]\nnot an entry\n=orphan\nk=2\n");
  // "[S" is no header, so its k belongs to no section.
  EXPECT_EQ(ini.IntValue("S", "k", 0), 2);
  ini.SetIntValue("S", "k", 3);
  EXPECT_EQ(ini.bytes(), "[S\nk=1\n[S]\nnot an entry\n=orphan\nk=3\n");
}

TEST(IniFileTest, Windows1250TableAgreesWithThePlatform) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  const QString platform = DecodeWindows1250(all);
  EXPECT_EQ(DecodeWindows1250ByTable(all), platform);
  EXPECT_EQ(EncodeWindows1250ByTable(platform), all);
  EXPECT_EQ(EncodeWindows1250(platform), all);
  const QString foreign = QString::fromUtf8("a中Ł😀b");
  EXPECT_EQ(EncodeWindows1250(foreign), QByteArray("a?\xA3?b"));
  EXPECT_EQ(EncodeWindows1250ByTable(foreign), QByteArray("a?\xA3?b"));
}

}  // namespace
}  // namespace qdx

namespace qdx {
namespace {

// Edits must agree with how the file is read, however its lines are arranged: after setting
// one key, that key reads the new value and every other entry reads as before.
TEST(IniFileTest, EditsAgreeWithTheReaderOnArbitraryLayouts) {
  const char* fragments[] = {"[S]",   "[T]",   " [ s ] ", "k=1",  "K = 2",   "x=3",  " k=4",
                             "; k=5", "# k=6", "",        "junk", "=v",      "[bad", "k",
                             "x =  ", "[]",    "[S]x",    "k==1", "k\t=\t7", "[T]]"};
  const char* breaks[] = {"\n", "\r\n", "\r"};
  const QStringList sections = {"S", "T", ""};
  const QStringList keys = {"k", "x"};
  std::mt19937 random(1234);
  for (int round = 0; round < 4000; ++round) {
    QByteArray text = random() % 8 == 0 ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    const int lines = static_cast<int>(random() % 9);
    for (int i = 0; i < lines; ++i) {
      text += fragments[random() % std::size(fragments)];
      if (i + 1 < lines || random() % 2) text += breaks[random() % std::size(breaks)];
    }
    IniFile ini;
    ini.SetBytes(text);
    QMap<QString, std::optional<QByteArray>> before;
    for (const QString& s : sections) {
      for (const QString& k : keys) before[s + '/' + k] = ini.RawValue(s, k);
    }
    const int value = static_cast<int>(random() % 1000) + 10;
    ini.SetIntValue("S", "k", value);
    SCOPED_TRACE(QString::fromLatin1(text.toPercentEncoding(" []=;#")).toStdString());
    EXPECT_EQ(ini.IntValue("S", "k", -1), value);
    for (const QString& s : sections) {
      for (const QString& k : keys) {
        if (s == "S" && k == "k") continue;
        EXPECT_EQ(ini.RawValue(s, k), before[s + '/' + k]) << (s + '/' + k).toStdString();
      }
    }
    if (::testing::Test::HasFailure()) break;
  }
}

}  // namespace
}  // namespace qdx
