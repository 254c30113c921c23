// The rules the record editors apply to typed values: checked value fields in tenths, bounded
// integer fields, the relay's channel word and names as they are stored.
#include "config/editor_values.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/qt_printers.h"

namespace qdx {
namespace {

struct TenthsCase {
  const char* text;
  bool offsetRule;      // P5, else P6..P8
  const char* message;  // nullptr: accepted
  std::int32_t tenths;  // when accepted
};

const char* const kWindowRange = "Wrong parameter range ! < 0..25.4";
const char* const kOffsetRange = "Wrong parameter range ! < -12.5 .. 12.5";
const char* const kNotNumeric = "This\u00A0is not numeric format";

class TenthsFieldTest : public ::testing::TestWithParam<TenthsCase> {};

TEST_P(TenthsFieldTest, CheckAndStoredTenths) {
  const TenthsCase& c = GetParam();
  const TenthsFieldRule& rule = c.offsetRule ? RelayOffsetRule() : RelayWindowRule();
  const auto message = CheckTenthsField(QString::fromUtf8(c.text), rule);
  if (c.message == nullptr) {
    EXPECT_FALSE(message.has_value()) << message->toStdString();
    EXPECT_EQ(TenthsFromText(QString::fromUtf8(c.text)), c.tenths);
  } else {
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(*message, QString::fromUtf8(c.message));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Relay, TenthsFieldTest,
    ::testing::Values(
        TenthsCase{"25.5", false, nullptr, 255},  // the bound itself is accepted
        TenthsCase{"25.6", false, kWindowRange, 0}, TenthsCase{"-0.1", false, kWindowRange, 0},
        TenthsCase{"0", false, nullptr, 0}, TenthsCase{"1.5", false, nullptr, 15},
        TenthsCase{" 2", false, nullptr, 20},
        TenthsCase{"0.35", false, nullptr, 4},  // 3.4999.. in binary
        TenthsCase{"1.04", false, nullptr, 10}, TenthsCase{"2.5e1", false, nullptr, 250},
        TenthsCase{"12,5", false, kNotNumeric, 0},  // a comma is no point
        TenthsCase{"", false, kNotNumeric, 0}, TenthsCase{"abc", true, kNotNumeric, 0},
        TenthsCase{"-12.5", true, nullptr, -125}, TenthsCase{"+12.5", true, nullptr, 125},
        TenthsCase{"-12.51", true, kOffsetRange, 0}, TenthsCase{"12.6", true, kOffsetRange, 0},
        TenthsCase{"-0.35", true, nullptr, -4}));

TEST(EditorValues, NotNumericMessageHasItsNoBreakSpace) {
  EXPECT_EQ(kNotNumericMessage.size(), 26);
  EXPECT_EQ(kNotNumericMessage.at(4), QChar(0x00A0));
}

TEST(EditorValues, TenthsWrittenWithOneDecimalPlace) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {-125, "-12.5"},
      {0, "0.0"},
      {5, "0.5"},
      {-5, "-0.5"},
      {255, "25.5"},
      {10, "1.0"},
      {std::numeric_limits<std::int32_t>::min(), "-214748364.8"},
      {std::numeric_limits<std::int32_t>::max(), "214748364.7"}};
  for (const auto& [tenths, text] : cases) {
    EXPECT_EQ(TextFromTenths(tenths), QString::fromLatin1(text)) << tenths;
    EXPECT_EQ(TenthsFromText(TextFromTenths(tenths)), tenths) << tenths;
  }
}

TEST(EditorValues, TenthsOfHugeNumbersSaturate) {
  EXPECT_EQ(TenthsFromText(QStringLiteral("1e300")), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(TenthsFromText(QStringLiteral("-1e300")), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(TenthsFromText(QStringLiteral("x")), 0);
}

TEST(EditorValues, IntegerFieldsClampWhenLeft) {
  struct Case {
    const char* text;
    std::int32_t lower, upper, expected;
  };
  const Case cases[] = {
      {"70000", kAlarmDelayMin, kAlarmDelayMax, 65000},
      {"-3", kAlarmDelayMin, kAlarmDelayMax, 0},
      {"", kAlarmDelayMin, kAlarmDelayMax, 0},
      {"+12", kAlarmDelayMin, kAlarmDelayMax, 12},
      {"65000", kAlarmDelayMin, kAlarmDelayMax, 65000},
      {"99999999999999999999", kAlarmDelayMin, kAlarmDelayMax, 65000},
      {"-99999999999999999999", kSwitchOffTimeMin, kSwitchOffTimeMax, -1},
      {"-", kAlarmDelayMin, kAlarmDelayMax, 0},
      {"5-", kAlarmDelayMin, kAlarmDelayMax, 0},  // unreadable counts as empty
      {"-5", kSwitchOffTimeMin, kSwitchOffTimeMax, -1},
      {"-1", kSwitchOffTimeMin, kSwitchOffTimeMax, -1},
      {"65001", kSwitchOffTimeMin, kSwitchOffTimeMax, 32767},
      {"32767", kSwitchOffTimeMin, kSwitchOffTimeMax, 32767},
      {"", kSwitchOffTimeMin, kSwitchOffTimeMax, 0},
      {"007", kSwitchOffTimeMin, kSwitchOffTimeMax, 7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClampIntegerField(QString::fromLatin1(c.text), c.lower, c.upper), c.expected)
        << c.text;
  }
  for (const QChar ch : QStringLiteral("0123456789+-")) EXPECT_TRUE(IsIntegerFieldCharacter(ch));
  for (const QChar ch : QStringLiteral("a .,e\u0663")) EXPECT_FALSE(IsIntegerFieldCharacter(ch));
}

TEST(EditorValues, ChannelWord) {
  struct Case {
    int setValue, channel;
    std::int32_t previous, expected;
  };
  const Case cases[] = {
      {14, 2, 0, 0x0E02},       // 3,586
      {0, 0, 0x12345678, 0},    // bytes 54-55 written as 0
      {3, -1, 0x0507, 0x0307},  // no channel selected: channel byte kept
      {-1, 4, 0x0B02, 0x0B04},  // no set value selected: its byte kept
      {-1, -1, static_cast<std::int32_t>(0xFFFF0A09), 0x0A09},
      {18, 10, 0, 18 * 256 + 10},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComposeChannelWord(c.setValue, c.channel, c.previous), c.expected)
        << c.setValue << " " << c.channel;
  }
}

TEST(EditorValues, NamesAsStored) {
  // Windows-1250 Polish letters lose their diacritics ...
  EXPECT_EQ(NameBytesForStorage(QStringLiteral("\u0141\u00D3D\u0179 \u017B\u0104\u0118"), 0),
            QByteArray("LODZ ZAE"));
  EXPECT_EQ(NameBytesForStorage(QStringLiteral("\u0141"), 2), QByteArray("L"));
  // ... but not while the texts are Cyrillic: their bytes are Cyrillic letters there.
  EXPECT_EQ(NameBytesForStorage(QStringLiteral("\u0416\u0410\u0420"), 1),
            QByteArray("\xC6\xC0\xD0"));
  // A character the code page lacks becomes '?', never a byte of another letter.
  EXPECT_EQ(NameBytesForStorage(QStringLiteral("A\u0416"), 0), QByteArray("A?"));
}

TEST(EditorValues, RecordTextCharacters) {
  EXPECT_TRUE(IsRecordTextCharacter(QChar(0x0141), 0));   // Ł
  EXPECT_FALSE(IsRecordTextCharacter(QChar(0x0416), 0));  // Ж
  EXPECT_TRUE(IsRecordTextCharacter(QChar(0x0416), 1));
  EXPECT_FALSE(IsRecordTextCharacter(QChar(0x0141), 1));
  EXPECT_TRUE(IsRecordTextCharacter(QLatin1Char('A'), 3));
  EXPECT_FALSE(IsRecordTextCharacter(QLatin1Char('\t'), 0));
  EXPECT_FALSE(IsRecordTextCharacter(QChar(0x20AC + 1), 0));  // not in Windows-1250
}

}  // namespace
}  // namespace qdx
