// qdx setup and clock without a controller: the assignments a user types, the listing's lines
// and the clock's argument.
#include "cli/setup_commands.h"

#include <gtest/gtest.h>

namespace qdx::cli {
namespace {

TEST(SetupAssignments, ValuesInDisplayUnitsWithinTheLimits) {
  struct Case {
    const char* text;
    std::optional<int> parameter;
    int word;
    const char* error;  // a part of the reason
  };
  const Case cases[] = {
      {"F26=1.5", 26, 15, ""},
      {"F26=1.25", 26, 12, ""},  // a half goes to the even neighbour
      {"f26=-20", 26, -200, ""},
      {"F02=1", 2, 1, ""},
      {"F02=1 - 19200 [b/s]", 2, 1, ""},
      {"F01=32", 1, 32, ""},
      {"F70=-1", 70, -1, ""},
      {"F1=7", 1, 7, ""},
      {"F01=0", std::nullopt, 0, "F01=0: F01 takes 1..32"},
      {"F26=20.1", std::nullopt, 0, "F26 takes -20.0..20.0"},
      {"F02=2", std::nullopt, 0, "F02 takes 0 (\"0 - 9600 [b/s]\")"},
      {"F26=abc", std::nullopt, 0, "F26 takes"},
      {"F98=1", std::nullopt, 0, "not an assignment"},
      {"F00=1", std::nullopt, 0, "not an assignment"},
      {"X=1", std::nullopt, 0, "not an assignment"},
      {"F26", std::nullopt, 0, "not an assignment"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    QString error;
    const auto a = ParseAssignment(QString::fromUtf8(c.text), &error);
    ASSERT_EQ(a.has_value(), c.parameter.has_value()) << error.toStdString();
    if (a) {
      EXPECT_EQ(a->parameter, *c.parameter);
      EXPECT_EQ(a->word, c.word);
    } else {
      EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
    }
  }
}

TEST(SetupListing, LinesNameTheParameterWithoutItsLeadingBlank) {
  EXPECT_EQ(ParameterLine(26, 15), "F26  CHAM.T.CORRECTION S  1.5\n");
  EXPECT_EQ(ParameterLine(2, 1), "F02  Baud rate  1 - 19200 [b/s]\n");
  EXPECT_EQ(ParameterLine(63, -5), "F63    -5\n");
}

TEST(ClockArgument, NowOrADateAndTime) {
  const QDateTime now(QDate(2026, 12, 9), QTime(19, 45, 31));
  struct Case {
    QStringList arguments;
    QDateTime expected;  // invalid: refused
  };
  const Case cases[] = {
      {{}, now},
      {{"now"}, now},
      {{"2024-03-01", "08:05"}, QDateTime(QDate(2024, 3, 1), QTime(8, 5))},
      {{"2024-03-01 08:05"}, QDateTime(QDate(2024, 3, 1), QTime(8, 5))},
      {{"2024-13-01", "08:05"}, {}},
      {{"2024-03-01"}, {}},
      {{"tomorrow"}, {}},
      {{"now", "please"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    QString error;
    const auto when = ClockArgument(c.arguments, now, &error);
    ASSERT_EQ(when.has_value(), c.expected.isValid()) << error.toStdString();
    if (when)
      EXPECT_EQ(*when, c.expected);
    else
      EXPECT_TRUE(error.startsWith("clock takes now or YYYY-MM-DD HH:MM"));
  }
}

}  // namespace
}  // namespace qdx::cli
