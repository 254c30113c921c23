// The rules of the analog-output and PID editors' fields: a typed decimal read exactly (the
// locale's separator or '.'), stored values shown so they read back the same, whole numbers
// for integer fields, and the drop-down lists with their kept codes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "config/choice_lists.h"
#include "config/editor_values.h"
#include "support/qt_printers.h"

namespace qdx {
namespace {

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

}  // namespace
}  // namespace qdx
