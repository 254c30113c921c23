// The program list and the program editor headless against the emulated controller: the 99
// listed programs and the hidden slot 100, the step grid by step count and program version,
// the cell editors driven from the keyboard, the washing program.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include "config/program_editor.h"
#include "config/program_list_window.h"
#include "files/project_defaults.h"
#include "link/program_transactions.h"
#include "window_fixture.h"

namespace qdx::test {
namespace {

enum Column { kName = 1, kHour = 2, kMinute = 3, kChamber = 4, kDelta = 7, kOnOff = 8 };

class ProgramWindows : public ::testing::Test, public WindowFixture {
 protected:
  ProgramWindows() {
    for (int n = 1; n <= kProcessCount; ++n) {
      Process(image(), ProcessSet::Normal, n).Name().SetBytes("N" + QByteArray::number(n));
      Process(image(), ProcessSet::Washing, n).Name().SetBytes("W" + QByteArray::number(n));
    }
    for (int n = 1; n <= kProgramSlots; ++n) {
      Program(image(), n).Name().SetBytes("PROG " + QByteArray::number(n));
    }
  }

  // A copy of program n as the list hands it to the editor.
  std::vector<std::uint8_t> Copy(ConstProgramRecord program, std::int32_t number) {
    std::vector<std::uint8_t> bytes(program.data(), program.data() + ProgramRecord::kSize);
    ProgramRecord(bytes.data()).SetNumber(number);
    return bytes;
  }
  static ProgramStep Step(TFProgramMycia& e, int s) {
    return ProgramRecord(e.working().data()).Step(s);
  }
  static QString Cell(TFProgramMycia& e, int row, int column, int role = Qt::DisplayRole) {
    return e.grid()->model()->index(row, column).data(role).toString();
  }
  // Enter in the grid on a cell: the cell editor opens on its release.
  static QWidget* OpenByEnter(TFProgramMycia& e, int row, int column) {
    e.grid()->setCurrentIndex(e.grid()->model()->index(row, column));
    QTest::keyClick(e.grid(), Qt::Key_Return);
    return e.cellEditor();
  }
};

TEST_F(ProgramWindows, ListShowsNinetyNineAndNeverWritesSlotHundred) {
  Tflistaprojektow w(*context);
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Programs"));
  ASSERT_EQ(w.grid()->model()->rowCount(), 99);
  EXPECT_EQ(w.grid()->model()->columnCount(), 2);
  EXPECT_EQ(w.grid()->model()->index(98, 1).data().toString(), QStringLiteral("PROG 99"));

  const QString file = TempPath(QStringLiteral("all.plq"));
  dialogs.QueueSaveFileName(file);
  w.OnWriteToDisk();
  EXPECT_EQ(QFile(file).size(), 99 * 17'672);

  emulator.SetProgramVersion(500);
  Program(image(), 100).SetNumber(0);
  w.OnWriteToController();
  EXPECT_EQ(Program(image(), 100).Number(), 100);
  InnerMessage write = ProgramPageReadMessage(0, 0);
  write.classLetter = kClassWrite;
  const auto pages = Messages(write);
  EXPECT_EQ(pages.size(), 99u * 2);
  for (const Sent& m : pages) ASSERT_LT(static_cast<std::uint8_t>(m.body.at(1)), 99);
}

// A list read stopped inside a program keeps that program as it was: only whole programs
// reach the project, and the table shows what did.
TEST_F(ProgramWindows, ListReadStoppedMidProgramKeepsThatProgram) {
  emulator.SetProgramVersion(900);
  emulator.Memory().sections.programs[0].name = QByteArray("EMU ONE       ");
  emulator.Memory().sections.programs[1].name = QByteArray("EMU TWO       ");
  int secondProgramPages = 0;
  progress.onShow = [&](int) {
    if (progress.calls().back().position == 2 && ++secondProgramPages == 2) {
      emulator.Faults().SetPersistent(Fault::NoReply);
    }
  };
  Tflistaprojektow w(*context);
  w.OnReadFromController();
  EXPECT_EQ(dialogs.messages(), QStringList{kNoCommunication});
  EXPECT_EQ(w.grid()->model()->index(0, 1).data().toString(), QStringLiteral("EMU ONE"));
  EXPECT_EQ(w.grid()->model()->index(1, 1).data().toString(), QStringLiteral("PROG 2"));
  EXPECT_EQ(ConstProgramRecord(Program(image(), 2)).Name().Bytes(), QByteArray("PROG 2"));
}

TEST_F(ProgramWindows, GridRowsFollowTheStepCount) {
  const std::pair<std::int32_t, int> cases[] = {{0, 30}, {30, 30}, {50, 50}};
  for (const auto& [count, rows] : cases) {
    auto bytes = Copy(Program(image(), 4), 4);
    ProgramRecord(bytes.data()).SetStepCount(count);
    TFProgramMycia e(*context, bytes);
    EXPECT_EQ(e.grid()->model()->rowCount(), rows) << count;
  }
  auto bytes = Copy(Program(image(), 4), 4);
  TFProgramMycia e(*context, bytes);
  EXPECT_EQ(e.windowTitle(), QStringLiteral("Programs"));
  EXPECT_TRUE(e.nameField()->isEnabled());
  EXPECT_EQ(e.grid()->model()->columnCount(), 13);
  EXPECT_EQ(e.grid()->model()->headerData(8, Qt::Horizontal).toString(),
            QStringLiteral("ON/OFF Delta"));
}

// Read by the controller's program version: 50 rows from version 900, 30 and no work time
// from version 500.
TEST_F(ProgramWindows, ReadFromControllerByProgramVersion) {
  const std::pair<std::int16_t, int> cases[] = {{900, 50}, {501, 30}, {500, 30}};
  for (const auto& [version, rows] : cases) {
    emulator.SetProgramVersion(version);
    auto bytes = Copy(Program(image(), 2), 2);
    ProgramRecord(bytes.data()).Step(1).SetWorkTime(777);
    TFProgramMycia e(*context, bytes);
    QTest::mouseClick(e.button(SectionAction::ReadController), Qt::LeftButton);
    EXPECT_EQ(e.grid()->model()->rowCount(), rows) << version;
    if (version == 500) {
      EXPECT_EQ(Step(e, 1).WorkTime(), 0);
    }
    EXPECT_EQ(progress.calls().back().maximum, 2 * ProgramPagesForVersion(version));
  }
}

TEST_F(ProgramWindows, IntegerAndRealCellsFromTheKeyboard) {
  auto bytes = Copy(Program(image(), 3), 3);
  TFProgramMycia e(*context, bytes);
  e.show();

  auto* spin = qobject_cast<QSpinBox*>(OpenByEnter(e, 0, kMinute));
  ASSERT_NE(spin, nullptr);
  QTest::keyClicks(spin, QStringLiteral("60"));
  QTest::keyClick(spin, Qt::Key_Return);
  EXPECT_EQ(e.cellEditor(), nullptr);
  EXPECT_EQ(dialogs.messages(), QStringList{"Wrong parameter range ! 59"});
  EXPECT_EQ(Step(e, 1).Minutes(), 0);

  spin = qobject_cast<QSpinBox*>(OpenByEnter(e, 1, kOnOff));
  ASSERT_NE(spin, nullptr);
  QTest::keyClicks(spin, QStringLiteral("-999"));
  QTest::keyClick(spin, Qt::Key_Escape);
  EXPECT_EQ(Step(e, 2).OnOffDelta(), -999);
  EXPECT_EQ(Cell(e, 1, kOnOff), QStringLiteral("        -999"));
  EXPECT_TRUE(e.isVisible());  // Esc left the cell editor, not the window

  auto* real = qobject_cast<QLineEdit*>(OpenByEnter(e, 2, kDelta));
  ASSERT_NE(real, nullptr);
  QTest::keyClicks(real, QStringLiteral("40.04"));
  QTest::keyClick(real, Qt::Key_Return);
  EXPECT_EQ(Step(e, 3).Delta(), 400);
  EXPECT_EQ(Cell(e, 2, kDelta), QStringLiteral("40.0"));

  real = qobject_cast<QLineEdit*>(OpenByEnter(e, 2, kDelta));
  ASSERT_NE(real, nullptr);
  QTest::keyClicks(real, QStringLiteral("40.06"));
  QTest::keyClick(real, Qt::Key_Return);
  EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Wrong parameter range ! 40"));
  EXPECT_EQ(Step(e, 3).Delta(), 0);
}

TEST_F(ProgramWindows, ProcessCellsKeepWhatIsNotPicked) {
  auto bytes = Copy(Program(image(), 5), 5);
  const ProgramRecord program(bytes.data());
  program.Step(1).SetProcessNumber(20);
  program.Step(2).SetProcessNumber(33);
  program.Step(3).SetProcessNumber(5);
  TFProgramMycia e(*context, bytes);
  EXPECT_EQ(Cell(e, 0, kName), QStringLiteral("No data"));
  EXPECT_EQ(Cell(e, 1, kName), QStringLiteral("No data (33)"));
  EXPECT_EQ(Cell(e, 2, kName), QStringLiteral("N5"));

  for (int row : {0, 1}) {
    auto* box = qobject_cast<QComboBox*>(OpenByEnter(e, row, kName));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), 17);
    EXPECT_EQ(box->currentIndex(), -1);
    QTest::keyClick(box, Qt::Key_Escape);
  }
  EXPECT_EQ(Step(e, 1).ProcessNumber(), 20);
  EXPECT_EQ(Step(e, 2).ProcessNumber(), 33);

  auto* box = qobject_cast<QComboBox*>(OpenByEnter(e, 2, kName));
  ASSERT_NE(box, nullptr);
  QTest::keyClick(box, Qt::Key_Up);
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(Step(e, 3).ProcessNumber(), 4);
  box = qobject_cast<QComboBox*>(OpenByEnter(e, 2, kName));
  box->setCurrentIndex(0);
  // A single click on the grid leaves the cell editor, storing it.
  QTest::mouseClick(e.grid()->viewport(), Qt::LeftButton, {},
                    e.grid()->visualRect(e.grid()->model()->index(5, kHour)).center());
  EXPECT_EQ(e.cellEditor(), nullptr);
  EXPECT_EQ(Step(e, 3).ProcessNumber(), 0);
  EXPECT_EQ(Cell(e, 2, kName), QStringLiteral("No data"));
}

TEST_F(ProgramWindows, CellsTheLinkCannotCarryAreTintedWithTheReason) {
  auto bytes = Copy(Program(image(), 6), 6);
  ProgramRecord(bytes.data()).Step(2).SetDelta(300);
  TFProgramMycia e(*context, bytes);
  EXPECT_TRUE(e.grid()->model()->index(1, kDelta).data(Qt::BackgroundRole).isValid());
  EXPECT_TRUE(Cell(e, 1, kDelta, Qt::ToolTipRole).contains(QStringLiteral("0.0..25.5")));
  EXPECT_FALSE(e.grid()->model()->index(0, kDelta).data(Qt::BackgroundRole).isValid());
  EXPECT_TRUE(Cell(e, 0, kDelta, Qt::ToolTipRole).isEmpty());
}

// The washing program names washing processes, keeps its name, and a single-program file
// read into it keeps the number 101.
TEST_F(ProgramWindows, WashingProgramKeepsItsNumberAndSet) {
  const QString file = TempPath(QStringLiteral("one.p1q"));
  {
    auto bytes = Copy(Program(image(), 7), 7);
    ProgramRecord(bytes.data()).Step(1).SetProcessNumber(3);
    TFProgramMycia e(*context, bytes);
    dialogs.QueueSaveFileName(file);
    e.OnWriteToDisk();
  }
  const ProgramRecord washing = WashingProgram(image());
  washing.SetNumber(kWashingProgramNumber);
  washing.Name().SetBytes(QByteArrayView(kWashingProgramName));
  auto bytes = Copy(washing, kWashingProgramNumber);
  TFProgramMycia e(*context, bytes);
  EXPECT_EQ(e.windowTitle(), QStringLiteral("Programs WASHING"));
  EXPECT_FALSE(e.nameField()->isEnabled());
  // A cell editor open while the file is read is dropped, not stored into the file's steps.
  auto* spin = qobject_cast<QSpinBox*>(OpenByEnter(e, 0, kHour));
  ASSERT_NE(spin, nullptr);
  QTest::keyClicks(spin, QStringLiteral("9"));
  dialogs.QueueOpenFileName(file);
  e.OnReadFromDisk();
  EXPECT_EQ(e.cellEditor(), nullptr);
  EXPECT_EQ(Step(e, 1).Hours(), 0);
  EXPECT_EQ(ConstProgramRecord(e.working().data()).Number(), kWashingProgramNumber);
  EXPECT_EQ(Cell(e, 0, kName), QStringLiteral("W3"));
  EXPECT_EQ(e.nameField()->text(), QStringLiteral("PROG 7"));
}

TEST_F(ProgramWindows, NameChangesReachTheRecordAtOnce) {
  auto bytes = Copy(Program(image(), 8), 8);
  TFProgramMycia e(*context, bytes);
  e.nameField()->selectAll();
  QTest::keyClicks(e.nameField(), QStringLiteral("dry"));
  EXPECT_EQ(ConstProgramRecord(e.working().data()).Name().Bytes(), QByteArray("DRY"));
  e.OnCancel();
  EXPECT_FALSE(e.saved());
}

}  // namespace
}  // namespace qdx::test
