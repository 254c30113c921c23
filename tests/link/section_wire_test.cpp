// The rules every section entry shares: rounding, relay-output bits, the refusal message.
#include "link/section_wire.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/fake_serial_port.h"

namespace qdx {
namespace {

using test::Hex;

TEST(SectionWire, RoundHalfEven) {
  const struct {
    double in, out;
  } cases[] = {{2.5, 2},     {3.5, 4},     {-2.5, -2},   {-3.5, -4},  {12.5, 12},
               {0.5, 0},     {1.5, 2},     {2.4999, 2},  {2.5001, 3}, {-0.4, 0},
               {123.4, 123}, {1250, 1250}, {-12.5, -12}, {-13.5, -14}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
  EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
}

TEST(SectionWire, DivideRoundHalfEven) {
  const struct {
    std::int64_t n, out;
  } cases[] = {{250, 2},
               {350, 4},
               {251, 3},
               {249, 2},
               {-250, -2},
               {-350, -4},
               {-251, -3},
               {-249, -2},
               {0, 0},
               {99, 1},
               {-50, 0},
               {150, 2},
               {-12500, -125},
               {2147483647, 21474836},
               {-2147483648LL, -21474836}};
  for (const auto& c : cases) EXPECT_EQ(DivideRoundHalfEven(c.n, 100), c.out) << c.n;
}

TEST(SectionWire, OutputBitsBothWays) {
  std::array<std::uint8_t, 32> states{};
  const struct {
    std::vector<int> on;
    const char* bits;
  } cases[] = {
      {{1, 32}, "01 00 00 80"},
      {{}, "00 00 00 00"},
      {{8, 9, 16, 17, 24, 25}, "80 81 81 01"},
  };
  for (const auto& c : cases) {
    states.fill(0);
    for (const int n : c.on) states[n - 1] = 1;
    QByteArray wire;
    AppendOutputBits(wire, ConstRelayOutputStates(states.data()));
    EXPECT_EQ(Hex(wire), c.bits);
    // Reading stores exactly 1 and 0.
    states.fill(7);
    StoreOutputBits(reinterpret_cast<const std::uint8_t*>(wire.constData()),
                    RelayOutputStates(states.data()));
    for (int n = 1; n <= 32; ++n) {
      const bool on = std::find(c.on.begin(), c.on.end(), n) != c.on.end();
      EXPECT_EQ(states[n - 1], on ? 1 : 0) << n;
    }
  }
  // Any non-zero byte counts as on.
  states.fill(0);
  states[2] = 0xFF;
  QByteArray wire;
  AppendOutputBits(wire, ConstRelayOutputStates(states.data()));
  EXPECT_EQ(Hex(wire), "04 00 00 00");
}

TEST(SectionWire, RefusalMessages) {
  EXPECT_EQ((EncodeError{"Relay", 7, 0, "Ta", "70000", "0..65535"}.Message()),
            "Relay 7, Ta: 70000 is outside 0..65535");
  EXPECT_EQ((EncodeError{"Program", 3, 12, "Delta", "30.0", "0.0..25.5"}.Message()),
            "Program 3, step 12, Delta: 30.0 is outside 0.0..25.5");
  EXPECT_EQ((EncodeError{"Washing program", 0, 4, "Hour", "300", "0..255"}.Message()),
            "Washing program, step 4, Hour: 300 is outside 0..255");
}

// Every refused value is kept in field order, the first is the message's error, and the
// bytes keep their offsets.
TEST(SectionWire, WriterKeepsEveryErrorAndTheOffsets) {
  WireWriter w(QStringLiteral("Alarm"), 0);
  w.SetRecord(3);
  w.U16(-1, "delay time");
  w.U8(256, "later");
  w.S16(-32768, "fits");
  w.Code8(-1, -1, "logic");
  w.SetRecord(4);
  w.Code8(0xFFFF, -1, "other");
  ASSERT_TRUE(w.error().has_value());
  EXPECT_EQ(w.error()->Message(), "Alarm 3, delay time: -1 is outside 0..65535");
  ASSERT_EQ(w.errors().size(), 3u);
  EXPECT_EQ(w.errors()[1].Message(), "Alarm 3, later: 256 is outside 0..255");
  EXPECT_EQ(w.errors()[2].Message(), "Alarm 4, other: 65535 is outside 0..255");
  EXPECT_EQ(Hex(w.bytes()), "ff ff 00 80 00 ff ff");
  const EncodedMessage m = w.Finish(0x47, 0x0F);
  EXPECT_FALSE(m.ok());
  EXPECT_EQ(m.error, w.errors().front());
}

TEST(SectionWire, ScaledValuesMustFitThirtyTwoBits) {
  const struct {
    double value, factor;
    bool ok;
    const char* wire;
  } cases[] = {
      {2.5, 100, true, "00 00 00 fa"},
      {0.125, 100, true, "00 00 00 0c"},
      {-0.125, 100, true, "ff ff ff f4"},
      {21474836.47, 100, true, "7f ff ff ff"},
      {21474836.48, 100, false, "00 00 00 00"},
      {-21474836.48, 100, true, "80 00 00 00"},
      {std::numeric_limits<double>::infinity(), 1, false, "00 00 00 00"},
      {std::nan(""), 10, false, "00 00 00 00"},
  };
  for (const auto& c : cases) {
    WireWriter w(QStringLiteral("PID"), 0);
    w.ScaledDouble(c.value, c.factor, "x");
    EXPECT_EQ(!w.error().has_value(), c.ok) << c.value;
    EXPECT_EQ(Hex(w.bytes()), c.wire) << c.value;
  }
}

}  // namespace
}  // namespace qdx
