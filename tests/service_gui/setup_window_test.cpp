// The setup window and its parameter dialog against the emulated controller: the list and
// the version text, each kind of editing control, setup files, and the copy that goes back
// into the project on closing.
#include "service/setup_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include "config_gui/window_fixture.h"
#include "model/setup_block.h"
#include "service/parameter_edit_dialog.h"

namespace qdx::test {
namespace {

class SetupWindowTest : public ::testing::Test, public WindowFixture {
 protected:
  explicit SetupWindowTest(Path path = Path::Direct) : WindowFixture(path) {}

  SetupBlock project() { return qdx::Setup(image()); }
  std::int16_t CopyWord(const SetupWindow& w, int n) {
    return ConstSetupBlock(w.copy().data()).Word(n);
  }
  static QString Cell(const SetupWindow& w, int row, int column) {
    return w.list()->item(row, column)->text();
  }

  // Acts on the parameter dialog the window is about to open.
  static void OnDialog(std::function<void(ParameterEditDialog&)> act) {
    QTimer::singleShot(0, [act] {
      auto* d = qobject_cast<ParameterEditDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      act(*d);
    });
  }

  QString WriteFile(const QString& name, int size, char fill) {
    QFile f(TempPath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(size, fill));
    return f.fileName();
  }
};

TEST_F(SetupWindowTest, ListsEveryParameterAndTheVersion) {
  project().SetProgramVersion(500);
  project().SetParameter(26, 15);
  project().SetParameter(2, 1);
  project().SetParameter(63, -7);
  SetupWindow w(*context, {});
  EXPECT_EQ(w.windowTitle(), "Setup");
  ASSERT_EQ(w.list()->rowCount(), 97);
  EXPECT_EQ(w.versionText()->text(), "v.500");
  EXPECT_EQ(Cell(w, 0, 0), " F01");
  EXPECT_EQ(Cell(w, 96, 0), " F97");
  EXPECT_EQ(Cell(w, 25, 1), " CHAM.T.CORRECTION S");
  EXPECT_EQ(Cell(w, 25, 2), "1.5");
  EXPECT_EQ(Cell(w, 1, 2), "1 - 19200 [b/s]");
  EXPECT_EQ(Cell(w, 62, 1), "");
  EXPECT_EQ(Cell(w, 62, 2), "-7");
  EXPECT_FALSE(w.passwordsButton()->isEnabled()) << "no passwords window given";
}

TEST_F(SetupWindowTest, DecimalParameterRoundsHalvesToEven) {
  project().SetParameter(26, 15);
  SetupWindow w(*context, {});
  for (auto [typed, stored, text] : {std::tuple{1.25, 12, "1.2"}, std::tuple{1.35, 14, "1.4"}}) {
    OnDialog([typed](ParameterEditDialog& d) {
      ASSERT_NE(d.decimal(), nullptr);
      d.decimal()->setValue(typed);
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QApplication::sendEvent(&d, &enter);  // Enter saves
    });
    w.EditRow(25);
    EXPECT_EQ(CopyWord(w, 26), stored);
    EXPECT_EQ(Cell(w, 25, 2), text);
  }
  EXPECT_EQ(project().Parameter(26), 15) << "the project changes on closing";
  w.reject();
  EXPECT_EQ(project().Parameter(26), 14);
}

TEST_F(SetupWindowTest, EscInTheDialogChangesNothing) {
  project().SetParameter(1, 5);
  SetupWindow w(*context, {});
  OnDialog([](ParameterEditDialog& d) {
    d.integer()->setValue(9);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&d, &esc);
  });
  w.EditRow(0);
  EXPECT_EQ(CopyWord(w, 1), 5);
}

TEST_F(SetupWindowTest, OpenRefusesAShortFileAndTakesTheFirstRecordOfALongOne) {
  project().SetParameter(4, 9);
  SetupWindow w(*context, {});
  dialogs.QueueOpenFileName(WriteFile("short.qds", 201, 1));
  w.OnOpen();
  EXPECT_EQ(CopyWord(w, 4), 9);
  ASSERT_EQ(dialogs.errors().size(), 1);
  EXPECT_TRUE(dialogs.errors()[0].contains("short.qds"));
  EXPECT_TRUE(dialogs.errors()[0].contains("too short"));

  dialogs.QueueOpenFileName(WriteFile("long.qds", 203, 2));
  w.OnOpen();
  EXPECT_EQ(CopyWord(w, 4), 0x0202);
  EXPECT_EQ(CopyWord(w, 100), 0x0202);
  EXPECT_EQ(dialogs.shown().back().filter, "QDX (*.qds)");
}

TEST_F(SetupWindowTest, SaveWritesTheCopyAndReportsFailure) {
  project().SetParameter(3, 11);
  SetupWindow w(*context, {});
  dialogs.QueueSaveFileName(TempPath("out.qds"));
  w.OnSave();
  QFile f(TempPath("out.qds"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray saved = f.readAll();
  EXPECT_EQ(saved, QByteArray(reinterpret_cast<const char*>(w.copy().data()), 202));

  dialogs.QueueSaveFileName(TempPath("no/such/folder/out.qds"));
  w.OnSave();
  ASSERT_EQ(dialogs.errors().size(), 1);
  EXPECT_TRUE(dialogs.errors()[0].contains("out.qds"));
}

TEST_F(SetupWindowTest, CloseAfterReadKeepsTheReadValues) {
  emulator.Memory().setup[26] = -33;
  SetupWindow w(*context, {});
  w.OnRead();
  EXPECT_EQ(Cell(w, 25, 2), "-3.3");
  EXPECT_EQ(w.versionText()->text(),
            QStringLiteral("v.%1").arg(emulator.Memory().ProgramVersion()));
  w.reject();
  EXPECT_EQ(project().Parameter(26), -33);
}

class SetupWindowModuleTest : public SetupWindowTest {
 protected:
  SetupWindowModuleTest() : SetupWindowTest(Path::Module) {}
};

TEST_F(SetupWindowModuleTest, SendWhileRunningIsPostedAndTheResetOfferFollows) {
  emulator.SetRunning(true);
  SetupWindow w(*context, {});
  OnDialog([](ParameterEditDialog& d) {
    d.integer()->setValue(3);
    d.accept();
  });
  w.EditRow(9);
  w.OnSend();
  EXPECT_EQ(emulator.Memory().setup[10], 3);
  EXPECT_TRUE(std::any_of(sent.begin(), sent.end(), [](const Sent& s) { return s.posted; }));
  EXPECT_TRUE(dialogs.messages().contains(kOperationCompleted));
  EXPECT_EQ(dialogs.questions(), QStringList{kResetQuestion});
  EXPECT_EQ(project().Parameter(10), 3) << "Send puts the copy into the project at once";
}

// The parameter dialog on its own: the control of each kind.
class ParameterDialogTest : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
};

TEST_F(ParameterDialogTest, ControlByKind) {
  ParameterEditDialog decimal(26, 15, dir_.path());
  EXPECT_EQ(decimal.windowTitle(), "Parameter edition");
  ASSERT_NE(decimal.decimal(), nullptr);
  EXPECT_EQ(decimal.decimal()->text(), "1.5");
  EXPECT_EQ(decimal.decimal()->minimum(), -20.0);
  EXPECT_EQ(decimal.decimal()->maximum(), 20.0);

  ParameterEditDialog choice(2, 0, dir_.path());
  ASSERT_NE(choice.choice(), nullptr);
  ASSERT_EQ(choice.choice()->count(), 2);
  EXPECT_EQ(choice.choice()->itemText(0), "0 - 9600 [b/s]");
  EXPECT_EQ(choice.choice()->itemText(1), "1 - 19200 [b/s]");

  ParameterEditDialog integer(70, -1, dir_.path());
  ASSERT_NE(integer.integer(), nullptr);
  EXPECT_EQ(integer.integer()->minimum(), -1);
  EXPECT_EQ(integer.integer()->maximum(), 200);
  EXPECT_EQ(integer.Value(), -1);
}

TEST_F(ParameterDialogTest, ChoiceMatchingNoEntryKeepsItsValue) {
  ParameterEditDialog d(79, 5, dir_.path());
  EXPECT_EQ(d.choice()->currentIndex(), -1);
  EXPECT_EQ(d.Value(), 5);
  d.choice()->setCurrentIndex(2);
  EXPECT_EQ(d.Value(), 2);
}

TEST_F(ParameterDialogTest, HelpButtonOnlyWithAPage) {
  QDir(dir_.path()).mkpath("HELP");
  QFile page(dir_.filePath("HELP/5.rtf"));
  ASSERT_TRUE(page.open(QIODevice::WriteOnly));
  page.write("{\\rtf1 Pause}");
  page.close();
  EXPECT_FALSE(ParameterEditDialog(5, 0, dir_.path()).helpButton()->isHidden());
  EXPECT_TRUE(ParameterEditDialog(6, 0, dir_.path()).helpButton()->isHidden());
}

}  // namespace
}  // namespace qdx::test
