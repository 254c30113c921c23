// The setup parameter catalogue: every name, kind and limit against a table written out
// separately here, the value texts at their edges, and typed values turned into stored words.
#include "service/parameter_catalogue.h"

#include <gtest/gtest.h>

#include <map>

#include "support/qt_printers.h"

namespace qdx {
namespace {

constexpr auto I = ParameterKind::Integer;
constexpr auto D = ParameterKind::OneDecimal;
constexpr auto C = ParameterKind::Choice;

struct Expected {
  const char* name;
  ParameterKind kind;
  int lower;
  int upper;
};

// The catalogue as the controller documents it, keyed by parameter number.
std::map<int, Expected> ExpectedCatalogue() {
  std::map<int, Expected> t = {
      {1, {"Address RS-485", I, 1, 32}},
      {2, {"Baud rate", C, 0, 1}},
      {3, {"Menu info", I, 0, 11}},
      {4, {"End condition time", I, 0, 99}},
      {5, {"Pause status", I, 0, 2}},
      {6, {"Alarm BEEP", I, 0, 9}},
      {7, {"Temperature unit", C, 0, 1}},
      {8, {"Plate temperature", I, -99, 999}},
      {9, {"Smoke temperature", I, -99, 999}},
      {10, {"Delta status", I, 0, 3}},
      {11, {"Sample rate (min):", I, 0, 99}},
      {12, {"TIME FOR RESTART", I, 0, 200}},
      {13, {"CHAMBER MAX. PRESET TEMP.", I, -99, 999}},
      {14, {"CORE MAX. PRESET TEMP.", I, -99, 999}},
      {15, {"HUM.MEAS.TYPE", I, 0, 2}},
      {16, {"TIME TO WASHING", I, 0, 999}},
      {17, {"START FROM PC", I, 0, 1}},
      {18, {"ID ON/OFF", I, 0, 1}},
      {19, {"OPERATOR ON/OFF", I, 0, 1}},
      {20, {"KEYBOARD SOUND", I, 0, 20}},
      {21, {"MAX.CHAMBER TEMP.", I, -99, 999}},
      {22, {"MAX.CORE TEMP.", I, -99, 999}},
      {23, {"MAX.PLATE TEMP.", I, -99, 999}},
      {24, {"MAX.SMOKE TEMP", I, -99, 999}},
      {25, {"MAX.HUMIDITY", I, 0, 99}},
      {26, {" CHAM.T.CORRECTION S", D, -200, 200}},
      {27, {" CHAM.T.CORRECTION M", D, -200, 200}},
      {28, {"CORE T.CORRECTION", D, -200, 200}},
      {29, {"PLATE T.CORRECTION", D, -200, 200}},
      {30, {"SMOKE T.CORRECTION", D, -200, 200}},
      {31, {"HUMIDITY CORRECTION", I, -200, 200}},
      {32, {"TYPE OF DIG.INPUTS", I, 0, 1}},
      {33, {"END RELEASE", I, 0, 1}},
      {34, {"END RELEASE NO.", I, 0, 32}},
      {35, {"Min preset chamber temp.", I, -199, 999}},
      {36, {"CORE MIN. PRESET TEMP.", I, -199, 999}},
      {37, {"Min. preset humidity", I, -199, 999}},
      {38, {"Max. preset humidity", I, -199, 999}},
      {39, {"Min. preset additional 1", I, -999, 3000}},
      {40, {"Max. preset additional 1", I, -999, 3000}},
      {41, {"Min. preset additional 2", I, -999, 3000}},
      {42, {"Max. preset additional 2", I, -999, 3000}},
      {43, {"Smoking relay", I, 0, 32}},
      {58, {"FORWARD/BACK Time", I, 0, 1}},
      {59, {"Manual control", I, 0, 1}},
      {60, {"Additional set", I, 0, 1}},
      {61, {"INFO OFF TIME", I, 0, 13}},
      {62, {"PSYCHRO. TYPE", I, 0, 6}},
      {63, {"", I, -200, 200}},
      {64, {"Max. card error", I, 0, 9}},
      {65, {"Weight taring", I, 0, 3}},
      {66, {"Counter taring", I, 0, 5}},
      {67, {"Vacuum pulse length", I, 0, 9999}},
      {68, {"Vacuum pulse spacing interval", I, 0, 9999}},
      {69, {"Counter constant", I, 0, 9999}},
      {70, {"LOOP PROG.STEPS.", I, -1, 200}},
      {71, {"RH 1 FILTER", I, 0, 20}},
      {72, {"RH 2 FILTER", I, 0, 5}},
      {73, {"STEPS LIST", I, 0, 1}},
      {74, {"QDX MAS MODULE", I, 0, 999}},
      {75, {"SET ACCURACY", I, 0, 999}},
      {76, {"READ ACCURACY", I, 0, 999}},
      {79, {"PANEL MODE", C, 0, 2}},
      {85, {"MAX FREEZE TIME", I, 0, 999}},
  };
  const char* setValues[] = {"Set value 6",  "Set value 7",  "Set value 8", "Set value 9",
                             "Set value 10", "Set value 11", "Set value 12"};
  for (int i = 0; i < 7; ++i) t[44 + i] = {setValues[i], I, -200, 800};
  const char* corrections[] = {"CORRECTION CHANNEL 6",  "CORRECTION CHANNEL 7",
                               "CORRECTION CHANNEL 8",  "CORRECTION CHANNEL 9",
                               "CORRECTION CHANNEL 10", "CORRECTION CHANNEL 11",
                               "CORRECTION CHANNEL 12"};
  for (int i = 0; i < 7; ++i) t[51 + i] = {corrections[i], D, -200, i < 3 ? 800 : 200};
  const char* statAlarms[] = {"STAT AL. MAX TCH", "STAT AL. MAX TCO", "STAT AL. MAX HUM",
                              "STAT AL. MAX TS", "STAT AL. MAX TPL"};
  for (int i = 0; i < 5; ++i) t[80 + i] = {statAlarms[i], I, 0, 999};
  for (int n : {77, 78}) t[n] = {"", I, 0, 999};
  for (int n = 86; n <= 97; ++n) t[n] = {"", I, 0, 999};
  return t;
}

TEST(ParameterCatalogue, EveryParameterHasItsNameKindAndLimits) {
  const auto expected = ExpectedCatalogue();
  ASSERT_EQ(expected.size(), 97u);
  for (const auto& [n, e] : expected) {
    SCOPED_TRACE(n);
    EXPECT_EQ(ParameterName(n), QString::fromLatin1(e.name));
    EXPECT_EQ(ParameterKindOf(n), e.kind);
    EXPECT_EQ(ParameterLimits(n), (ParameterRange{e.lower, e.upper}));
  }
}

TEST(ParameterCatalogue, NumbersOutsideTheCatalogue) {
  for (int n : {-1, 0, 98, 101, 1000}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(ParameterName(n), QString());
    EXPECT_EQ(ParameterLimits(n), (ParameterRange{-999, 999}));
    EXPECT_EQ(ParameterKindOf(n), ParameterKind::Integer);
    EXPECT_EQ(ParameterValueText(n, 15), QStringLiteral("15"));
  }
}

TEST(ParameterCatalogue, ChoiceTexts) {
  EXPECT_EQ(ParameterChoices(2), (QStringList{"0 - 9600 [b/s]", "1 - 19200 [b/s]"}));
  EXPECT_EQ(ParameterChoices(7), (QStringList{"0 -  Celsius", "1 -  Fahrenheit"}));
  EXPECT_EQ(ParameterChoices(79), (QStringList{"Single", "Master", "Slave"}));
  EXPECT_TRUE(ParameterChoices(26).isEmpty());
}

struct ValueTextCase {
  int n;
  std::int16_t word;
  const char* text;
};

class ParameterValueTextTest : public ::testing::TestWithParam<ValueTextCase> {};

TEST_P(ParameterValueTextTest, ShowsTheStoredWord) {
  const ValueTextCase& c = GetParam();
  EXPECT_EQ(ParameterValueText(c.n, c.word), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Edges, ParameterValueTextTest,
    ::testing::Values(ValueTextCase{2, 1, "1 - 19200 [b/s]"}, ValueTextCase{2, 2, "2"},
                      ValueTextCase{2, -1, "-1"}, ValueTextCase{7, 0, "0 -  Celsius"},
                      ValueTextCase{79, 2, "Slave"}, ValueTextCase{79, 3, "3"},
                      ValueTextCase{51, -5, "-0.5"}, ValueTextCase{31, -5, "-5"},
                      ValueTextCase{26, 15, "1.5"}, ValueTextCase{26, 0, "0.0"},
                      ValueTextCase{57, -200, "-20.0"}, ValueTextCase{63, 7, "7"},
                      ValueTextCase{70, -1, "-1"}));

TEST(ParameterCatalogue, UnnamedParameterBetweenNamedOnes) {
  EXPECT_TRUE(ParameterName(63).isEmpty());
  EXPECT_FALSE(ParameterName(62).isEmpty());
  EXPECT_FALSE(ParameterName(64).isEmpty());
}

struct ParseCase {
  int n;
  const char* text;
  std::optional<std::int16_t> word;
};

class ParseParameterValueTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseParameterValueTest, GivesTheStoredWordWithinLimits) {
  const ParseCase& c = GetParam();
  EXPECT_EQ(ParseParameterValue(c.n, QString::fromLatin1(c.text)), c.word) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParseParameterValueTest,
    ::testing::Values(
        // One decimal: display units, halves to the even neighbour, limits in tenths.
        ParseCase{26, "1.5", 15}, ParseCase{26, "1.25", 12}, ParseCase{26, "1.35", 14},
        ParseCase{26, "-20", -200}, ParseCase{26, "20.0", 200}, ParseCase{26, "20.1", {}},
        ParseCase{51, "80", 800}, ParseCase{54, "80", {}}, ParseCase{26, "abc", {}},
        ParseCase{26, "nan", {}}, ParseCase{26, "1e300", {}},
        // Integers: whole numbers within the limits.
        ParseCase{1, "1", 1}, ParseCase{1, "32", 32}, ParseCase{1, "0", {}}, ParseCase{1, "33", {}},
        ParseCase{70, "-1", -1}, ParseCase{70, "-2", {}}, ParseCase{31, "1.5", {}},
        ParseCase{67, " 9999 ", 9999}, ParseCase{8, "", {}},
        ParseCase{39, "99999999999999999999", {}},
        // Choices: a position or the exact text.
        ParseCase{2, "1", 1}, ParseCase{2, "1 - 19200 [b/s]", 1}, ParseCase{2, "2", {}},
        ParseCase{7, "1 -  Fahrenheit", 1}, ParseCase{7, "1 - Fahrenheit", {}},
        ParseCase{79, "Slave", 2}, ParseCase{79, "slave", {}}, ParseCase{79, "-1", {}}));

TEST(ParameterCatalogue, LimitsTextAsAUserTypes) {
  EXPECT_EQ(ParameterLimitsText(1), QStringLiteral("1..32"));
  EXPECT_EQ(ParameterLimitsText(51), QStringLiteral("-20.0..80.0"));
  EXPECT_EQ(ParameterLimitsText(79),
            QStringLiteral("0 (\"Single\"), 1 (\"Master\"), 2 (\"Slave\")"));
}

}  // namespace
}  // namespace qdx
