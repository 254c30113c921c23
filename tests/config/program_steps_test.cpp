// The program editor's step cells without widgets: what a typed value stores and which
// message it shows, how a cell reads, and which stored values the controller link cannot
// carry; and the process editor's end-condition texts.
#include "config/program_steps.h"

#include <gtest/gtest.h>

#include <array>

#include "config/choice_lists.h"
#include "support/qt_printers.h"
#include "support/scripted_dialogs.h"

namespace qdx {
namespace {

int ColumnIndex(const char* title) {
  const auto& columns = StepColumns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].title == QString::fromUtf8(title)) return static_cast<int>(i);
  }
  ADD_FAILURE() << "no column " << title;
  return 0;
}

const StepColumn& Column(const char* title) {
  return StepColumns().at(static_cast<std::size_t>(ColumnIndex(title)));
}

TEST(StepColumns, ThirteenInTheGridsOrder) {
  QStringList titles;
  for (const StepColumn& c : StepColumns()) titles << c.title;
  EXPECT_EQ(titles, QStringList({"Step", "Name", "Hour", "minute", "Chamber temp.", "Core temp.",
                                 "Humidity", "Delta", "ON/OFF Delta", "Additional 1",
                                 "Additional 2", "Work time", "Pause time"}));
}

struct TypedCase {
  const char* column;
  const char* text;
  std::int32_t stored;
  const char* message;  // nullptr: accepted without a message
};

class TypedCell : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedCell, StoresOrRefusesWithTheColumnsUpperBound) {
  const TypedCase& c = GetParam();
  std::array<std::uint8_t, ProgramStep::kSize> bytes{};
  bytes.fill(0x11);
  const ProgramStep step(bytes.data());
  test::ScriptedDialogs dialogs;
  const StepColumn& column = Column(c.column);
  EXPECT_EQ(StoreTypedCell(column, step, QString::fromUtf8(c.text), dialogs), c.stored);
  EXPECT_EQ(column.get(step), c.stored);
  EXPECT_EQ(dialogs.messages(),
            c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Cells, TypedCell,
    ::testing::Values(TypedCase{"minute", "60", 0, "Wrong parameter range ! 59"},
                      TypedCase{"minute", "59", 59, nullptr},
                      TypedCase{"ON/OFF Delta", "-999", -999, nullptr},
                      TypedCase{"ON/OFF Delta", "2", 0, "Wrong parameter range ! 1"},
                      TypedCase{"Additional 1", "-1000", 0, "Wrong parameter range ! 2000"},
                      TypedCase{"Additional 2", "-1", 0, "Wrong parameter range ! 2000"},
                      TypedCase{"Chamber temp.", "-99", -99, nullptr},
                      TypedCase{"Work time", "65000", 65000, nullptr},
                      TypedCase{"Pause time", "65001", 0, "Wrong parameter range ! 65000"},
                      TypedCase{"Hour", "x", 0, "This\u00A0is not numeric format"},
                      TypedCase{"Delta", "40.04", 400, nullptr},
                      TypedCase{"Delta", "40.06", 0, "Wrong parameter range ! 40"},
                      TypedCase{"Delta", "-0.04", 0, nullptr},
                      TypedCase{"Delta", "2.55", 26, nullptr}));

TEST(ProcessCell, NamesNoDataAndUnknownNumbers) {
  QStringList choices{QStringLiteral("No data")};
  for (int n = 1; n <= 16; ++n) choices << QStringLiteral("P%1").arg(n);
  const std::pair<std::int32_t, const char*> cases[] = {
      {0, "No data"}, {20, "No data"}, {1, "P1"}, {16, "P16"}, {17, "No data (17)"},
      {-3, "No data (-3)"}, {300, "No data (300)"}};
  for (const auto& [number, text] : cases) {
    EXPECT_EQ(ProcessCellText(number, choices), QString::fromUtf8(text)) << number;
  }
}

TEST(ProcessCell, OnlyAChoiceChangesTheStep) {
  std::array<std::uint8_t, ProgramStep::kSize> bytes{};
  const ProgramStep step(bytes.data());
  step.SetProcessNumber(33);
  StoreProcessChoice(step, -1);  // left without picking
  EXPECT_EQ(step.ProcessNumber(), 33);
  StoreProcessChoice(step, 0);
  EXPECT_EQ(step.ProcessNumber(), 0);
}

TEST(StepCells, Formats) {
  std::array<std::uint8_t, ProgramStep::kSize> bytes{};
  const ProgramStep step(bytes.data());
  step.SetHours(7);
  step.SetChamberTemperature(-45);
  step.SetDelta(255);
  step.SetWorkTime(65000);
  const QStringList none;
  EXPECT_EQ(StepCellText(Column("Step"), step, 12, none), QStringLiteral("      12"));
  EXPECT_EQ(StepCellText(Column("Hour"), step, 1, none), QStringLiteral("     7"));
  EXPECT_EQ(StepCellText(Column("Chamber temp."), step, 1, none), QStringLiteral("         -45"));
  EXPECT_EQ(StepCellText(Column("Delta"), step, 1, none), QStringLiteral("25.5"));
  EXPECT_EQ(StepCellText(Column("Work time"), step, 1, none), QStringLiteral("65000"));
}

struct WireCase {
  const char* column;
  std::int32_t value;
  bool note;
};

TEST(StepCells, NotesWhatTheLinkCannotCarry) {
  const WireCase cases[] = {{"Delta", 255, false},        {"Delta", 256, true},
                            {"ON/OFF Delta", 1, false},   {"ON/OFF Delta", -1, true},
                            {"Chamber temp.", 400, false}, {"Additional 1", 40000, true},
                            {"Hour", 99, false},          {"Hour", 256, true},
                            {"Name", 20, false},          {"Name", 257, true}};
  for (const WireCase& c : cases) {
    std::array<std::uint8_t, ProgramStep::kSize> bytes{};
    const ProgramStep step(bytes.data());
    Column(c.column).set(step, c.value);
    const auto note = WireLimitNote(Column(c.column), step);
    EXPECT_EQ(note.has_value(), c.note) << c.column << " " << c.value;
  }
  std::array<std::uint8_t, ProgramStep::kSize> bytes{};
  const ProgramStep step(bytes.data());
  step.SetDelta(400);
  EXPECT_EQ(WireLimitNote(Column("Delta"), step),
            QStringLiteral("The controller link carries 0.0..25.5 only: writing this program to "
                           "the controller refuses 40.0"));
}

TEST(StepEndConditions, TwentyFiveCodesAsThePanelsShowThem) {
  const QStringList& list = StepEndConditionList();
  ASSERT_EQ(list.size(), 25);
  for (int code = 0; code < 25; ++code) {
    EXPECT_TRUE(list[code].startsWith(QString::number(code))) << code;
  }
  EXPECT_EQ(list[0], QStringLiteral("0\u00A0\u00A0 time longer than preset"));
  EXPECT_EQ(list[1], QStringLiteral("1\u00A0chamber temperature higher than preset"));
  EXPECT_EQ(list[12], QStringLiteral("12. humidity lower then preset"));
  EXPECT_EQ(list[17].left(4), QStringLiteral("17. "));
  EXPECT_EQ(list[19], QStringLiteral("19.control input or relay in status \u201C1\""));
  EXPECT_EQ(list[24].right(3), QStringLiteral("\u201C0\""));
}

}  // namespace
}  // namespace qdx
