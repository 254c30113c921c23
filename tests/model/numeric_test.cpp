// The typed-number check of the editors, case by case.
#include "model/numeric.h"

#include <gtest/gtest.h>

namespace qdx {
namespace {

struct NumericCase {
  const char* text;
  double lower;
  double upper;
  int expected;
};

class CheckNumericRangeTest : public ::testing::TestWithParam<NumericCase> {};

TEST_P(CheckNumericRangeTest, Classifies) {
  const NumericCase& c = GetParam();
  EXPECT_EQ(CheckNumericRange(QString::fromUtf8(c.text), c.lower, c.upper), c.expected)
      << '"' << c.text << "\" in [" << c.lower << ", " << c.upper << ']';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckNumericRangeTest,
    ::testing::Values(
        // The comma is no decimal point, whatever the locale.
        NumericCase{"12,5", 0, 100, 1}, NumericCase{"12.5", 0, 10, 2}, NumericCase{"-0", 0, 5, 0},
        NumericCase{"25.5", 0, 25.5, 0}, NumericCase{"-0.1", 0, 25.5, 2},
        // Bounds are inclusive.
        NumericCase{"0", 0, 10, 0}, NumericCase{"10", 0, 10, 0}, NumericCase{"10.0001", 0, 10, 2},
        NumericCase{"-1", -1, 1, 0}, NumericCase{"-1.5", -1, 1, 2},
        // Leading spaces only; nothing may follow.
        NumericCase{"   7", 0, 10, 0}, NumericCase{"7 ", 0, 10, 1}, NumericCase{"\t7", 0, 10, 1},
        NumericCase{" ", 0, 10, 1}, NumericCase{"", 0, 10, 1}, NumericCase{"7a", 0, 10, 1},
        // Signs.
        NumericCase{"+3", 0, 10, 0}, NumericCase{"-", 0, 10, 1}, NumericCase{"+", 0, 10, 1},
        NumericCase{"--3", -10, 10, 1}, NumericCase{"- 3", -10, 10, 1},
        // Points and fractions.
        NumericCase{".5", 0, 1, 0}, NumericCase{"5.", 0, 10, 0}, NumericCase{".", 0, 10, 1},
        NumericCase{"1.2.3", 0, 10, 1}, NumericCase{"-.5", -1, 0, 0},
        // Exponents.
        NumericCase{"1e2", 0, 100, 0}, NumericCase{"1E2", 0, 99, 2},
        NumericCase{"2.5e-1", 0, 0.25, 0}, NumericCase{"1e+1", 0, 10, 0},
        NumericCase{"1e", 0, 10, 1}, NumericCase{"1e+", 0, 10, 1}, NumericCase{"e5", 0, 10, 1},
        NumericCase{"1e2.5", 0, 1000, 1},
        // Outside a double: too large is no number, too small is zero.
        NumericCase{"1e400", 0, 1e308, 1}, NumericCase{"-1e400", -1e308, 0, 1},
        NumericCase{"1e-400", 0, 1, 0},
        // No hexadecimal, infinities or other digits.
        NumericCase{"0x10", 0, 100, 1}, NumericCase{"inf", 0, 10, 1}, NumericCase{"nan", 0, 10, 1},
        NumericCase{"١٢", 0, 100, 1}, NumericCase{"１２", 0, 100, 1}));

}  // namespace
}  // namespace qdx
