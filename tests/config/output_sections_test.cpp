// The analog-output and PID sections as their windows show them, and the rules of their real
// fields: a typed decimal read exactly (the locale's separator or '.'), stored values shown so
// they read back the same, whole numbers for integer fields.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "config/analog_output_section.h"
#include "config/choice_lists.h"
#include "config/editor_values.h"
#include "config/pid_section.h"
#include "model/records.h"
#include "support/qt_printers.h"
#include "support/test_session.h"

namespace qdx {
namespace {

QStringList Titles(const SectionDescription& s) {
  QStringList titles;
  for (const SectionColumn& c : s.columns) titles << c.title;
  return titles;
}

QStringList RowTexts(const SectionDescription& s, const MemprojRow& row) {
  QStringList texts;
  for (const SectionColumn& c : s.columns) texts << c.text(row);
  return texts;
}

struct RealCase {
  const char* text;
  const char* point;  // the locale's decimal separator
  int shift;
  std::optional<double> value;
};

class RealFieldText : public ::testing::TestWithParam<RealCase> {};

TEST_P(RealFieldText, ReadsExactlyOrNotAtAll) {
  const RealCase& c = GetParam();
  EXPECT_EQ(RealFromText(QString::fromLatin1(c.text), QString::fromLatin1(c.point), c.shift),
            c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RealFieldText,
    ::testing::Values(RealCase{"12.5", ".", 0, 12.5}, RealCase{"12,5", ",", 0, 12.5},
                      RealCase{"12.5", ",", 0, 12.5},  // '.' is always taken
                      RealCase{"12.25", ".", 1, 122.5}, RealCase{"12.75", ",", 1, 127.5},
                      RealCase{"0.35", ".", 1, 3.5},   // no binary fraction below the half
                      RealCase{"7", ".", 1, 70.0}, RealCase{"-.5", ".", 1, -5.0},
                      RealCase{"+3", ".", 0, 3.0}, RealCase{" 2.5 ", ".", 0, 2.5},
                      RealCase{"1e+20", ".", 1, 1e21},  // a stored value as it may be shown
                      RealCase{"", ".", 0, std::nullopt}, RealCase{"-", ".", 0, std::nullopt},
                      RealCase{"1.2.3", ".", 0, std::nullopt},
                      RealCase{"1,5", ".", 0, std::nullopt},
                      RealCase{"12a", ".", 0, std::nullopt}));

TEST(RealFieldValues, ShownSoTheyReadBackTheSame) {
  for (const double v : {0.0, 2.5, -0.1, 123.4, 1.0 / 3.0, 1e20}) {
    for (const int shift : {0, 1}) {
      const QString text = RealText(v, shift, QStringLiteral(","));
      EXPECT_EQ(RealFromText(text, QStringLiteral(","), 0), v / std::pow(10.0, shift))
          << text.toStdString();
    }
  }
  EXPECT_EQ(RealText(125, 1, QStringLiteral(".")), QStringLiteral("12.5"));
  EXPECT_EQ(RealText(3, 0, QStringLiteral(",")), QStringLiteral("3"));
}

TEST(RealFieldValues, WholeNumbersGoHalfToEven) {
  const std::pair<double, std::int32_t> cases[] = {
      {2.5, 2}, {2.6, 3}, {3.5, 4}, {-2.5, -2}, {1e12, std::numeric_limits<std::int32_t>::max()},
      {-1e12, std::numeric_limits<std::int32_t>::min()}, {std::nan(""), 0}};
  for (const auto& [value, whole] : cases) EXPECT_EQ(WholeNumberForField(value), whole) << value;
}

TEST(OutputChoices, ListsAndKeptCodes) {
  EXPECT_EQ(AnalogOutputTypeList(), QStringList({"0- Switched OFF", "1- Set value", "2- PID"}));
  EXPECT_EQ(AnalogOutputPidList(),
            QStringList({"0. PID 1", "1. PID 2", "2. PID 3", "3. PID 4", "4. PID 5"}));
  EXPECT_EQ(PidRegulatorTypeList(), QStringList({"0 - Heating", "1 - Cooling"}));
  EXPECT_EQ(KeptChoice(-1, 65535), 65535);  // nothing picked: the stored code stays
  EXPECT_EQ(KeptChoice(2, 65535), 2);
}

class OutputSectionTest : public ::testing::Test {
 protected:
  std::unique_ptr<TestSession> session_ = std::make_unique<TestSession>();
};

TEST_F(OutputSectionTest, AnalogOutputRowsAndColumns) {
  const SectionDescription& s = AnalogOutputSection();
  EXPECT_EQ(s.title, QStringLiteral("Analog OUT"));
  EXPECT_EQ(s.slotCount, 5);
  EXPECT_EQ(s.recordSize, 264u);
  EXPECT_EQ(s.listExtension, QStringLiteral("aou"));
  EXPECT_FALSE(s.editOnEnter);
  EXPECT_FALSE(s.setNumber);  // no number field
  EXPECT_EQ(Titles(s), QStringList({"No", "Name", "Type", "Measurement channel", "Set value",
                                    "0 V", "10 V", "Stop", "Pause", "PID"}));
  const AnalogOutputRecord r = AnalogOutput(session_->blocks.image, 5);
  r.Name().SetBytes(QByteArray("FAN"));
  r.SetOutputType(2);
  r.SetChannel(65535);
  r.SetSetValue(18);
  r.SetValueAt0V(1);
  r.SetValueAt10V(9999);
  r.SetStopSetValue(3);
  r.SetPauseSetValue(4);
  r.SetSamplePeriod(2.6);
  r.SetFunctionSetValue(4, 44);
  r.SetPidNumber(4);
  const MemprojRow row = MemprojRowOf(s, *session_, 5);
  EXPECT_EQ(RowTexts(s, row), QStringList({"5", "FAN", "2", "65535", "18", "1", "9999", "3",
                                           "4", "4"}));
  EXPECT_EQ(row.P(15), 44);
  EXPECT_EQ(row.Real(8), 2.6);
  EXPECT_FALSE(row.P(8).has_value());
}

TEST_F(OutputSectionTest, PidRowsShowXpInPercent) {
  const SectionDescription& s = PidSection();
  EXPECT_EQ(s.title, QStringLiteral("PID"));
  EXPECT_TRUE(s.listExtension.isEmpty());  // no disk buttons
  EXPECT_FALSE(s.editOnEnter);
  EXPECT_EQ(s.region(*session_).data(), session_->blocks.pid.data());
  EXPECT_EQ(Titles(s), QStringList({"No", "Type", "Measurement channel", "Set value", "Tp [s]",
                                    "Xp [%]", "Ti [s]", "Td [s]", "To [ms]"}));
  const std::pair<double, const char*> xp[] = {{125, "12.5"}, {123.4, "12.3"}, {122.5, "12.2"},
                                               {-5, "-0.5"}};
  for (const auto& [stored, shown] : xp) {
    const PidRecord r = Pid(session_->blocks.pid, 2);
    r.SetRegulatorType(1);
    r.SetChannel(3);
    r.SetSetValue(4);
    r.SetSamplePeriod(2.5);
    r.SetProportionalBand(stored);
    r.SetIntegralTime(60);
    r.SetDerivativeTime(0.25);
    r.SetPulsePeriod(1500);
    r.SetFunctionSetValue(1, 7);
    EXPECT_EQ(RowTexts(s, MemprojRowOf(s, *session_, 2)),
              QStringList({"2", "1", "3", "4", "2.5", shown, "60", "0.25", "1500"}));
  }
  EXPECT_EQ(MemprojRowOf(s, *session_, 2).P(12), 7);
  EXPECT_EQ(MemprojRowOf(s, *session_, 2).Real(17), 1500);
}

}  // namespace
}  // namespace qdx
