// The menu window: its languages without a settings file, a saved menu read into the grid
// (short files, a Cyrillic column, the drop-downs rebinding "Cust 1" and "Cust 2"), editing
// cells and the F10 unlock, adding languages, writing to disk, and reading from the
// emulated controller in both layouts.
#include "panel/menu_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "app/desktop_window.h"
#include "config_gui/window_fixture.h"
#include "emulator/controller_memory.h"
#include "panel/add_language_dialog.h"
#include "panel/menu_entry_dialog.h"
#include "panel/menu_files.h"
#include "support/typing.h"

namespace qdx::test {
namespace {

QByteArray Cyrillic(const QString& text) {
  return QStringEncoder("windows-1251").encode(text);
}

// Runs trigger; when a modal dialog of type D opens meanwhile, hands it to answer, which must
// close it. Returns whether one opened.
template <typename D>
bool WithDialog(const std::function<void()>& trigger, const std::function<void(D&)>& answer) {
  bool opened = false;
  QTimer::singleShot(0, qApp, [&] {
    if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
      opened = true;
      answer(*dialog);
    }
  });
  trigger();
  QCoreApplication::processEvents();  // the check, when no dialog held it
  return opened;
}

// Replaces a field's text by typing it, letters beyond ASCII too.
void Type(QLineEdit* field, const QString& text) {
  TypeInto(field, {});
  for (const QChar c : text) {
    QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

void Click(QAbstractButton* button) {
  QTest::mouseClick(button, Qt::LeftButton);
}

class MenuWindowTest : public ::testing::Test, public WindowFixture {
 protected:
  MenuWindowTest() { QDir().mkpath(TempPath("bin")); }

  std::unique_ptr<MenuWindow> Open() {
    return std::make_unique<MenuWindow>(*ops, dialogs, progress,
                                        SettingsFolders{TempPath("bin"), {}});
  }

  void WriteFile(const QString& name, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(TempPath(name)).path());
    QFile f(TempPath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QByteArray ReadFile(const QString& name) const {
    QFile f(TempPath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
  }

  // A saved menu of two groups (3 and 2 entries) in four languages, the third Cyrillic, whose
  // base-language file ends after four rows.
  void SaveMenu() {
    WriteFile("saved/MenuSettings.ini",
              "[Settings]\r\nLanguagesCount=4\r\nCodeName_1=ENGLISH\r\nCodeName_2=SLOVAK\r\n"
              "PageCode_2=3\r\nCodeName_3=RUSSIAN\r\nPageCode_3=1\r\nCodeName_4=DEUTSCH\r\n");
    const QByteArray structure("\x00\x00\x03\x01\x00\x00\x02\x02\x00\x00\xFE\x00\x00\x00", 14);
    WriteFile("saved/m.str", QByteArray("\x00\x00\x00\x0E", 4) + structure);
    WriteFile("saved/m.mpl", "MENU 1\r\nMENU 2\r\nMENU 3\r\nMENU 4\r\n");
    WriteFile("saved/m.1", "ONE\r\nTWO\r\nTHREE\r\nFOUR\r\nFIVE\r\n");
    WriteFile("saved/m.2", "JEDEN\r\nDVA\r\n");
    WriteFile("saved/m.3", Cyrillic("ОДИН\r\nДВА\r\n"));
    WriteFile("saved/m.4", "EINS\r\nZWEI\r\n");
  }

  // The window, shown, after reading the saved menu.
  std::unique_ptr<MenuWindow> OpenSavedMenu() {
    SaveMenu();
    auto w = Open();
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    ReadFromDisk(*w, "saved/m.mpl");
    return w;
  }

  void ReadFromDisk(MenuWindow& w, const QString& name) {
    dialogs.QueueOpenFileName(name.isEmpty() ? QString() : TempPath(name));
    Click(w.button(SectionAction::ReadDisk));
  }

  static QString Cell(const MenuWindow& w, int row, int column) {
    const QTableWidgetItem* item = w.grid()->item(row, column);
    return item ? item->text() : QStringLiteral("(none)");
  }
  static QStringList Column(const MenuWindow& w, int column) {
    QStringList texts;
    for (int row = 0; row < w.grid()->rowCount(); ++row) texts << Cell(w, row, column);
    return texts;
  }
  static QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
  }
  static bool WritingEnabled(const MenuWindow& w) {
    return w.button(SectionAction::WriteController)->isEnabled() &&
           w.button(SectionAction::WriteDisk)->isEnabled();
  }
};

TEST_F(MenuWindowTest, WithoutSettingsOffersThreeDefaultLanguages) {
  auto w = Open();
  EXPECT_EQ(w->windowTitle(), "Menu");
  const QStringList defaults = {"LANGUAGE 1", "LANGUAGE 2", "LANGUAGE 3"};
  for (int which : {0, 1}) {
    EXPECT_EQ(Items(w->languageList(which)), defaults);
    EXPECT_EQ(w->languageList(which)->currentIndex(), which + 1) << "languages 2 and 3";
  }
  const char* headers[] = {"Nr", "Polski", "English", "Cust 1", "Cust 2"};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(w->grid()->horizontalHeaderItem(c)->text(), headers[c]);
  EXPECT_TRUE(w->button(SectionAction::ReadController)->isEnabled());
  EXPECT_TRUE(w->button(SectionAction::ReadDisk)->isEnabled());
  EXPECT_FALSE(w->button(SectionAction::WriteController)->isEnabled());
  EXPECT_FALSE(w->button(SectionAction::WriteDisk)->isEnabled());
}

TEST_F(MenuWindowTest, ASavedMenuFillsTheGridAndTheDropDownsRebindTheColumns) {
  auto w = OpenSavedMenu();
  EXPECT_TRUE(dialogs.shown().size() == 1 && dialogs.AllConsumed()) << "only the file dialog";
  EXPECT_TRUE(WritingEnabled(*w));
  EXPECT_EQ(Items(w->languageList(0)), QStringList({"ENGLISH", "SLOVAK", "RUSSIAN", "DEUTSCH"}));
  // The base-language file has four lines: the fifth row keeps its empty texts.
  const std::pair<int, QStringList> columns[] = {
      {MenuWindow::NrColumn, {"1", "1", "1", "2", "2"}},
      {MenuWindow::BaseColumn, {"MENU 1", "MENU 2", "MENU 3", "MENU 4", ""}},
      {MenuWindow::EnglishColumn, {"ONE", "TWO", "THREE", "FOUR", ""}},
      {MenuWindow::FirstColumn, {"JEDEN", "DVA", "", "", ""}},
      {MenuWindow::SecondColumn, {"ОДИН", "ДВА", "", "", ""}},
  };
  for (const auto& [column, texts] : columns) EXPECT_EQ(Column(*w, column), texts) << column;

  const QColor tooltip = w->palette().color(QPalette::ToolTipBase);
  for (int row : {0, 3}) {
    SCOPED_TRACE(row);
    EXPECT_EQ(w->grid()->item(row, 0)->background().color(), w->palette().color(QPalette::Button));
    EXPECT_EQ(w->grid()->item(row, 2)->background().color(), row < 3 ? QColor(Qt::white) : tooltip);
  }

  w->languageList(0)->setCurrentIndex(3);  // DEUTSCH
  w->languageList(1)->setCurrentIndex(0);  // ENGLISH, not Cyrillic
  EXPECT_EQ(Column(*w, MenuWindow::FirstColumn), QStringList({"EINS", "ZWEI", "", "", ""}));
  EXPECT_EQ(Column(*w, MenuWindow::SecondColumn), QStringList({"ONE", "TWO", "THREE", "FOUR", ""}));
  EXPECT_EQ(w->document().languages.first, 4);
  EXPECT_EQ(w->document().languages.second, 1);
}

TEST_F(MenuWindowTest, ReadingFromDiskNeedsAStructureOrMenuData) {
  struct Case {
    const char* what;
    QString file;
    QStringList messages;
  };
  WriteFile("lone/m.mpl", "MENU 1\r\n");
  const Case cases[] = {
      {"cancelled", {}, {}},
      {"no structure", "lone/m.mpl", {kNoStructureMessage}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dialogs.ClearRecord();
    auto w = Open();
    ReadFromDisk(*w, c.file);
    EXPECT_EQ(dialogs.messages(), c.messages);
    EXPECT_EQ(w->grid()->rowCount(), 0);
    EXPECT_FALSE(w->button(SectionAction::WriteDisk)->isEnabled());
  }
}

TEST_F(MenuWindowTest, WriteToDiskSavesWhatWasReadAndReportsAFailure) {
  auto w = OpenSavedMenu();
  dialogs.QueueSaveFileName(TempPath("copy/c.mpl"));
  QDir().mkpath(TempPath("copy"));
  Click(w->button(SectionAction::WriteDisk));
  EXPECT_TRUE(dialogs.errors().isEmpty()) << dialogs.errors().join('\n').toStdString();
  EXPECT_EQ(ReadFile("copy/c.mpl"), "MENU 1\r\nMENU 2\r\nMENU 3\r\nMENU 4\r\n\r\n");
  EXPECT_EQ(ReadFile("copy/c.3"), Cyrillic("ОДИН\r\nДВА\r\n\r\n\r\n\r\n"));
  EXPECT_EQ(ReadFile("copy/c.str"), ReadFile("saved/m.str"));

  QDir().mkpath(TempPath("copy/d.2"));
  dialogs.QueueSaveFileName(TempPath("copy/d.mpl"));
  Click(w->button(SectionAction::WriteDisk));
  ASSERT_EQ(dialogs.errors().size(), 1);
  EXPECT_TRUE(dialogs.errors()[0].contains("d.2")) << dialogs.errors()[0].toStdString();
  EXPECT_FALSE(QFile::exists(TempPath("copy/d.mpl")));
}

TEST_F(MenuWindowTest, CellsOfTheBaseAndEnglishNeedF10AndNrNeverOpens) {
  auto w = OpenSavedMenu();
  struct Case {
    int column;
    bool afterF10;
    bool opens;
  };
  const Case cases[] = {
      {MenuWindow::NrColumn, false, false},      {MenuWindow::BaseColumn, false, false},
      {MenuWindow::EnglishColumn, false, false}, {MenuWindow::FirstColumn, false, true},
      {MenuWindow::SecondColumn, false, true},   {MenuWindow::NrColumn, true, false},
      {MenuWindow::BaseColumn, true, true},      {MenuWindow::EnglishColumn, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.column << (c.afterF10 ? " after F10" : ""));
    // F10 counts from any control of the window.
    QWidget* focus = c.column ? static_cast<QWidget*>(w->grid()) : w->languageList(0);
    if (c.afterF10) QTest::keyClick(focus, Qt::Key_F10);
    EXPECT_EQ(w->editUnlocked(), c.afterF10);
    const QRect cell = w->grid()->visualItemRect(w->grid()->item(1, c.column));
    const bool opened = WithDialog<MenuEntryDialog>(
        [&] {
          // A click, then a second press the system reports as a double click.
          QTest::mouseClick(w->grid()->viewport(), Qt::LeftButton, {}, cell.center());
          QTest::mouseDClick(w->grid()->viewport(), Qt::LeftButton, {}, cell.center());
        },
        [](MenuEntryDialog& d) { d.reject(); });
    EXPECT_EQ(opened, c.opens);
  }
}

TEST_F(MenuWindowTest, AnEditedTextIsUpperCaseInItsLanguagesCodePage) {
  auto w = OpenSavedMenu();
  struct Case {
    int column;
    QString typed;
    bool ok;
    QString shown;
    QByteArray held;
  };
  const Case cases[] = {
      {MenuWindow::FirstColumn, "nowy tekst", true, "NOWY TEKST", "NOWY TEKST"},
      {MenuWindow::FirstColumn, "abcdefghijklmnopqrstuvwxyz", true, "ABCDEFGHIJKLMNOPQRST",
       "ABCDEFGHIJKLMNOPQRST"},
      {MenuWindow::FirstColumn, "ü мед ą", true, "Ü  Ą", "\xDC  \xA5"},  // no Cyrillic here
      {MenuWindow::SecondColumn, "привет", true, "ПРИВЕТ", Cyrillic("ПРИВЕТ")},
      {MenuWindow::SecondColumn, "new", false, "ПРИВЕТ", Cyrillic("ПРИВЕТ")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    w->grid()->setCurrentCell(1, c.column);
    const bool opened =
        WithDialog<MenuEntryDialog>([&] { QTest::keyClick(w->grid(), Qt::Key_Return); },
                                    [&](MenuEntryDialog& d) {
                                      Type(d.field(), c.typed);
                                      c.ok ? d.accept() : d.reject();
                                    });
    ASSERT_TRUE(opened);
    EXPECT_EQ(Cell(*w, 1, c.column), c.shown);
    const int language = c.column == MenuWindow::FirstColumn ? 2 : 3;
    EXPECT_EQ(w->document().table[1].texts[std::size_t(language)], c.held);
  }
}

TEST_F(MenuWindowTest, AddLanguageAppendsToBothListsUpToFifteen) {
  auto w = Open();
  const bool cancelled = WithDialog<AddLanguageDialog>([&] { Click(w->addLanguageButton()); },
                                                       [](AddLanguageDialog& d) { d.reject(); });
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(w->document().languages.count(), 3);
  for (int n = 4; n <= kMaxMenuLanguages; ++n) {
    const bool opened =
        WithDialog<AddLanguageDialog>([&] { Click(w->addLanguageButton()); },
                                      [n](AddLanguageDialog& d) {
                                        TypeInto(d.nameField(), QStringLiteral("LANG %1").arg(n));
                                        d.codePageChoice(n % 4)->click();
                                        d.accept();
                                      });
    ASSERT_TRUE(opened) << n;
    EXPECT_EQ(w->document().languages.list.back(),
              (MenuLanguage{QStringLiteral("LANG %1").arg(n), n % 4}));
  }
  for (int which : {0, 1}) EXPECT_EQ(w->languageList(which)->count(), kMaxMenuLanguages);
  EXPECT_TRUE(dialogs.messages().isEmpty());

  const bool sixteenth = WithDialog<AddLanguageDialog>([&] { Click(w->addLanguageButton()); },
                                                       [](AddLanguageDialog& d) { d.accept(); });
  EXPECT_FALSE(sixteenth);
  EXPECT_EQ(dialogs.messages(), QStringList{"Max languages 16 "});
  EXPECT_EQ(w->document().languages.count(), kMaxMenuLanguages);
}

TEST_F(MenuWindowTest, SetLanguagesOpensItWithTheProgramFoldersLanguages) {
  WriteFile("bin/MenuSettings.ini", "[Settings]\r\nLanguagesCount=2\r\nCodeName_2=DEUTSCH\r\n");
  session.programDir = TempPath("bin");
  Desktop desktop(session, dialogs, progress, clock,
                  std::make_unique<EmulatorPort>(emulator, clock), StartupArguments{});
  desktop.window().show();
  QStringList offered;
  const bool opened =
      WithDialog<MenuWindow>([&] { desktop.window().setLanguagesAction()->trigger(); },
                             [&](MenuWindow& w) {
                               offered = Items(w.languageList(0));
                               w.reject();
                             });
  EXPECT_TRUE(opened);
  EXPECT_EQ(offered, QStringList({"LANGUAGE 1", "DEUTSCH"}));
}

TEST(MenuDialogs, AddLanguageOffersTheFourCodePagesWithTheFirstChosen) {
  AddLanguageDialog d;
  EXPECT_EQ(d.windowTitle(), "Add language");
  EXPECT_EQ(d.nameField()->maxLength(), 100);
  auto* label = d.findChild<QLabel*>();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text().remove('&'), "Nazwa języka");
  EXPECT_EQ(label->buddy(), d.nameField());
  const char* names[] = {"Standard", "Cyryllic", "Polish", "PC852 (Slovakia)"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(d.codePageChoice(i)->text(), names[i]);
  EXPECT_TRUE(d.codePageChoice(0)->isChecked());
  EXPECT_EQ(d.codePage(), 0);
  d.codePageChoice(3)->click();
  EXPECT_EQ(d.codePage(), 3);
}

// These two run against the engine's transfers and the emulator's panel memory.
TEST_F(MenuWindowTest, ReadFromControllerEnablesWritingAndShowsTheCyrillicColumn) {
  auto w = Open();
  Click(w->button(SectionAction::ReadController));
  EXPECT_TRUE(dialogs.messages().isEmpty());
  EXPECT_EQ(w->grid()->rowCount(), 11);
  EXPECT_TRUE(WritingEnabled(*w));
  EXPECT_EQ(Cell(*w, 0, MenuWindow::EnglishColumn), "Programs");
  const QString russian = Cell(*w, 0, MenuWindow::SecondColumn);
  EXPECT_TRUE(!russian.isEmpty() && russian[0].script() == QChar::Script_Cyrillic)
      << russian.toStdString();
}

TEST_F(MenuWindowTest, AThreeBlockMenuWrittenToDiskHasNoBaseOrStructureFile) {
  LoadDemoPanelTexts(emulator.Memory(), PanelLayout::ThreeBlock);
  auto w = Open();
  Click(w->button(SectionAction::ReadController));
  ASSERT_TRUE(WritingEnabled(*w));
  dialogs.QueueSaveFileName(TempPath("three.mpl"));
  Click(w->button(SectionAction::WriteDisk));
  EXPECT_TRUE(dialogs.errors().isEmpty());
  EXPECT_TRUE(QFile::exists(TempPath("three.1")));
  EXPECT_TRUE(QFile::exists(TempPath("MenuSettings.ini")));
  EXPECT_FALSE(QFile::exists(TempPath("three.mpl")));
  EXPECT_FALSE(QFile::exists(TempPath("three.str")));
}

}  // namespace
}  // namespace qdx::test
