// The menu window's files: the language settings, a saved menu in both layouts, reading it
// back row by row, and files that are short, long, malformed or not files at all.
#include "panel/menu_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/qt_printers.h"

namespace qdx {
namespace {

// A structure stream: two skipped bytes, one header per group, then the end header.
QByteArray Structure(std::initializer_list<int> groupSizes) {
  QByteArray s("\x01\x02", 2);
  int attribute = 0x10;
  for (int size : groupSizes) {
    const char header[] = {char(size), char(attribute++), 0x01, 0x00};
    s += QByteArray(header, 4);
  }
  s += QByteArray("\xFE\x00\x00\x00", 4);
  return s;
}

// A four-block menu of two groups (3 and 2 entries) with texts in every column it shows.
MenuDocument FourBlockMenu() {
  MenuDocument d;
  d.structure = Structure({3, 2});
  ParseStructure(d.structure, d.table);
  d.hasData = true;
  d.languages.list = {{"ENGLISH", 0}, {"RUSSIAN", 1}, {"SLOVAK", 3}};
  for (MenuTextRow& row : d.table) {
    for (int k = 0; k <= 3; ++k) {
      row.texts[std::size_t(k)] =
          QByteArray("ROW ") + QByteArray::number(row.nr_wew) + " L" + QByteArray::number(k);
    }
  }
  return d;
}

class MenuFilesTest : public ::testing::Test {
 public:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  void Write(const QString& name, const QByteArray& bytes) const {
    QFile f(Path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QByteArray Read(const QString& name) const {
    QFile f(Path(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files, QDir::Name); }

  QTemporaryDir dir_;
};

TEST_F(MenuFilesTest, SettingsTakeDefaultsAndBounds) {
  struct Case {
    const char* ini;
    int count;
    QString secondName;  // language 2 where it exists
    int secondCodePage;
    int first, second;  // 0: either valid choice
  };
  const Case cases[] = {
      {nullptr, 3, "LANGUAGE 2", 0, 2, 3},
      {"[Settings]\r\nLanguagesCount=4\r\nCodeName_2=RUSKI\r\nPageCode_2=1\r\n", 4, "RUSKI", 1, 2,
       3},
      {"[settings]\nlanguagescount=40\npagecode_2=9\n", 15, "LANGUAGE 2", 0, 2, 3},
      {"[Settings]\nLanguagesCount=1\n", 1, "", 0, 1, 1},
      {"[Settings]\nLanguagesCount=-3\n", 1, "", 0, 1, 1},
      {"[Settings]\nLanguagesCount=2\nPageCode_2=-1\n", 2, "LANGUAGE 2", 0, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini ? c.ini : "no file");
    QFile::remove(Path(kMenuSettingsFile));
    if (c.ini) Write(kMenuSettingsFile, c.ini);
    const MenuLanguages l = ReadMenuSettings(dir_.path());
    ASSERT_EQ(l.count(), c.count);
    EXPECT_EQ(l.list[0].name, "LANGUAGE 1");
    if (c.count >= 2) {
      EXPECT_EQ(l.list[1], (MenuLanguage{c.secondName, c.secondCodePage}));
    }
    for (auto [chosen, expected] : {std::pair{l.first, c.first}, std::pair{l.second, c.second}}) {
      if (expected) {
        EXPECT_EQ(chosen, expected);
      }
      EXPECT_TRUE(chosen >= 1 && chosen <= l.count()) << chosen;
    }
  }
}

TEST_F(MenuFilesTest, SettingsWriteChangesOnlyTheirLines) {
  Write(kMenuSettingsFile, "; kept\r\n[Other]\r\nX=1\r\n[Settings]\r\nLanguagesCount=2\r\n");
  MenuLanguages l;
  l.list = {{"ENGLISH", 0}, {"RUSKI", 1}, {"SLOVENSKY", 3}};
  ASSERT_TRUE(WriteMenuSettings(dir_.path(), l));
  const QByteArray text = Read(kMenuSettingsFile);
  EXPECT_TRUE(text.startsWith("; kept\r\n[Other]\r\nX=1\r\n[Settings]\r\nLanguagesCount=3\r\n"))
      << text.toStdString();
  EXPECT_TRUE(text.contains("CodeName_2=RUSKI\r\n"));
  EXPECT_EQ(ReadMenuSettings(dir_.path()).list, l.list);
}

TEST_F(MenuFilesTest, EachLayoutWritesItsFiles) {
  struct Case {
    MenuLayout layout;
    QStringList files;
  };
  const Case cases[] = {
      {MenuLayout::FourBlock, {"MenuSettings.ini", "m.1", "m.2", "m.3", "m.mpl", "m.str"}},
      {MenuLayout::ThreeBlock, {"MenuSettings.ini", "m.1", "m.2", "m.3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.layout));
    for (const QString& f : Files()) QFile::remove(Path(f));
    MenuDocument d = FourBlockMenu();
    d.layout = c.layout;
    ASSERT_TRUE(WriteMenuFiles(Path("m.mpl"), d));
    EXPECT_EQ(Files(), c.files);
    EXPECT_EQ(Read("m.2"), "ROW 1 L2\r\nROW 2 L2\r\nROW 3 L2\r\nROW 4 L2\r\nROW 5 L2\r\n");
  }
  EXPECT_EQ(ReadMenuSettings(dir_.path()).list, FourBlockMenu().languages.list);
}

TEST_F(MenuFilesTest, AWrittenMenuReadsBackIntoAnEmptyWindow) {
  const MenuDocument written = FourBlockMenu();
  ASSERT_TRUE(WriteMenuFiles(Path("m.mpl"), written));
  // The structure file: its length (high byte first), then the stream as long as that.
  const QByteArray str = Read("m.str");
  EXPECT_EQ(str.left(4), QByteArray("\x00\x00\x27\x76", 4));
  EXPECT_EQ(str.mid(4), written.structure.leftJustified(kStructureStreamLength, '\0'));
  MenuDocument read;
  ASSERT_TRUE(ReadMenuFiles(Path("m.mpl"), read));
  EXPECT_TRUE(read.hasData);
  EXPECT_EQ(read.layout, MenuLayout::FourBlock);
  EXPECT_EQ(read.table, written.table);
  EXPECT_EQ(LanguageBlockSize(read.table), LanguageBlockSize(written.table));
  EXPECT_EQ(read.languages.list, written.languages.list);
  EXPECT_EQ(read.languages.first, 2);
  EXPECT_EQ(read.languages.second, 3);
}

TEST_F(MenuFilesTest, TheBaseFileDrivesTheRowsAndShortFilesKeepTheRest) {
  MenuDocument d = FourBlockMenu();
  Write("m.mpl", "A\r\nB\n");          // two rows only
  Write("m.1", "E1\r\nE2\r\nE3\r\n");  // longer than the base file: its third line is unused
  Write("m.2", "R1\r\n");              // shorter: row 2 keeps its text
  ASSERT_TRUE(ReadMenuFiles(Path("m.mpl"), d));
  const MenuDocument before = FourBlockMenu();
  const QByteArray expected[][4] = {{"A", "E1", "R1", "ROW 1 L3"},
                                    {"B", "E2", "ROW 2 L2", "ROW 2 L3"}};
  for (int row = 0; row < 2; ++row) {
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(d.table[std::size_t(row)].texts[std::size_t(k)], expected[row][k]);
  }
  for (std::size_t row = 2; row < d.table.size(); ++row) EXPECT_EQ(d.table[row], before.table[row]);
}

TEST_F(MenuFilesTest, MalformedFilesAreRefusedAndChangeNothing) {
  struct Case {
    const char* what;
    std::function<void(MenuFilesTest&)> arrange;
    const char* errorPart;
  };
  const Case cases[] = {
      {"length beyond the data",
       [](MenuFilesTest& t) {
         t.Write("m.str", QByteArray("\x00\x00\x01\x00", 4) + Structure({1}));
       },
       "exceeds"},
      {"no length", [](MenuFilesTest& t) { t.Write("m.str", "\x00\x01"); }, "shorter"},
      {"structure is a folder", [](MenuFilesTest& t) { QDir(t.dir_.path()).mkdir("m.str"); },
       kNotRegularFile},
      {"language file is a FIFO",
       [](MenuFilesTest& t) {
         t.Write("m.str", QByteArray("\x00\x00\x00\x0A", 4) + Structure({1}));
         ASSERT_EQ(::mkfifo(QFile::encodeName(t.Path("m.2")).constData(), 0600), 0);
       },
       kNotRegularFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QDir(dir_.path()).removeRecursively();
    QDir().mkpath(dir_.path());
    Write("m.mpl", "A\r\n");
    c.arrange(*this);
    MenuDocument d;
    d.languages = ReadMenuSettings(dir_.path());  // the three default languages
    const FileResult r = ReadMenuFiles(Path("m.mpl"), d);
    EXPECT_FALSE(r);
    EXPECT_TRUE(r.error.contains(c.errorPart)) << r.error.toStdString();
    EXPECT_FALSE(d.hasData);
    EXPECT_TRUE(d.table.empty());
  }
}

TEST_F(MenuFilesTest, AFailedWriteLeavesTheEarlierFiles) {
  Write("m.mpl", "OLD\r\n");
  Write("m.1", "OLD 1\r\n");
  QDir(dir_.path()).mkdir("m.3");  // cannot be replaced by a file
  const FileResult r = WriteMenuFiles(Path("m.mpl"), FourBlockMenu());
  EXPECT_FALSE(r);
  EXPECT_TRUE(r.error.contains("m.3")) << r.error.toStdString();
  EXPECT_EQ(Read("m.mpl"), "OLD\r\n");
  EXPECT_EQ(Read("m.1"), "OLD 1\r\n");
  EXPECT_FALSE(QFile::exists(Path("m.str")));
  EXPECT_FALSE(QFile::exists(Path(kMenuSettingsFile)));
}

TEST(MenuFileFormats, StructureFileLength) {
  struct Case {
    QByteArray bytes;
    std::optional<QByteArray> stream;
  };
  const Case cases[] = {
      {{}, std::nullopt},
      {QByteArray("\x00\x00\x00", 3), std::nullopt},
      {QByteArray("\x00\x00\x00\x00", 4), QByteArray()},
      {QByteArray("\x00\x00\x00\x02"
                  "ab",
                  6),
       QByteArray("ab")},
      {QByteArray("\x00\x00\x00\x01"
                  "ab",
                  6),
       QByteArray("a")},
      {QByteArray("\x00\x00\x00\x03"
                  "ab",
                  6),
       std::nullopt},
      {QByteArray("\xFF\xFF\xFF\xFF"
                  "ab",
                  6),
       std::nullopt},
      {QByteArray("\x01\x00\x00\x00"
                  "ab",
                  6),
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes.toHex().toStdString());
    QString error;
    EXPECT_EQ(ParseStructureFile(c.bytes, &error), c.stream);
    EXPECT_EQ(error.isEmpty(), c.stream.has_value());
  }
}

TEST(MenuFileFormats, LinesEndInCrLfOrLfAndHoldThirtyCharacters) {
  struct Case {
    QByteArray bytes;
    QList<QByteArray> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"A\r\nB\r\n", {"A", "B"}},
      {"A\nB", {"A", "B"}},
      {"A\r\n\r\nC", {"A", "", "C"}},
      {"A B\rC\n", {"A B\rC"}},
      {QByteArray(40, 'X') + "\r\nY", {QByteArray(30, 'X'), "Y"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes.toStdString());
    EXPECT_EQ(SplitMenuLines(c.bytes), c.lines);
  }
}

}  // namespace
}  // namespace qdx
