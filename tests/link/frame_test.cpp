#include "link/frame.h"

#include <gtest/gtest.h>

#include "support/fake_serial_port.h"

namespace qdx {
namespace {

using test::FromHex;
using test::Hex;

TEST(Crc16, CheckValueAndEmptyInput) {
  const QByteArray text("123456789");
  EXPECT_EQ(Crc16(text), 0x4B37);
  EXPECT_EQ(Crc16(reinterpret_cast<const std::uint8_t*>(text.constData()), 9), 0x4B37);
  EXPECT_EQ(Crc16(reinterpret_cast<const std::uint8_t*>(text.constData()), 0), 0xFFFF);
  EXPECT_EQ(Crc16(QByteArray()), 0xFFFF);
  // Only count bytes are used.
  EXPECT_EQ(Crc16(reinterpret_cast<const std::uint8_t*>(text.constData()), 4),
            Crc16(QByteArray("1234")));
}

struct FrameCase {
  const char* name;
  QByteArray frame;
  const char* expected;
};

class FrameBuilding : public testing::TestWithParam<FrameCase> {};

TEST_P(FrameBuilding, MatchesWireBytes) {
  EXPECT_EQ(Hex(GetParam().frame), GetParam().expected);
  EXPECT_TRUE(HasValidChecksum(GetParam().frame));
}

INSTANTIATE_TEST_SUITE_P(
    Frames, FrameBuilding,
    testing::Values(FrameCase{"StatusPoll", BuildStatusPollRequest(1), "01 46 00 00 07 4d 4a"},
                    FrameCase{"Fetch", BuildFetchRequest(1), "01 46 09 00 07 9d 48"},
                    // The station travels as its low 8 bits.
                    FrameCase{"StationLowByte", BuildStatusPollRequest(0x101),
                              "01 46 00 00 07 4d 4a"},
                    FrameCase{"Direct", BuildDirectRequest(1, {kClassDevice, 0x20, {}}),
                              "01 46 08 00 0b 44 20 00 04 bb 82"},
                    FrameCase{"Post", BuildPostRequest(2, {kClassDevice, 0x21, FromHex("01 08")}),
                              "02 47 09 00 0d 44 21 00 06 01 08 5b d6"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameBuilding, LengthsOfLongMessages) {
  // Inner and total lengths are big-endian and count the header bytes.
  const InnerMessage inner{kClassWrite, 0x0C, QByteArray(0xF1, 'x')};
  const QByteArray frame = BuildDirectRequest(1, inner);
  ASSERT_EQ(frame.size(), 5 + 4 + 0xF1 + 2);
  EXPECT_EQ(Hex(frame.mid(3, 2)), "00 fc");
  EXPECT_EQ(Hex(frame.mid(5, 4)), "47 0c 00 f5");
  EXPECT_TRUE(HasValidChecksum(frame));
}

TEST(FrameChecks, ChecksumMustBeLowByteFirst) {
  QByteArray frame = BuildStatusPollRequest(1);
  std::swap(frame[5], frame[6]);
  EXPECT_FALSE(HasValidChecksum(frame));
  EXPECT_FALSE(HasValidChecksum(QByteArray(1, '\x01')));
}

// The windows show the brief text, qdx the explained one; a port's own error replaces the
// brief words for a port that could not be used, and a result no table knows shows its number.
TEST(LinkResultText, BriefAndExplainedWords) {
  const struct {
    LinkResult result;
    QString portError;
    const char* brief;
    const char* explained;
  } cases[] = {
      {kLinkNoReply, {}, "No communication: no reply",
       "no reply: not a single byte arrived (is the controller on, the address and the speed "
       "right?)"},
      {kLinkShortReply, {}, "No communication: the reply was cut short",
       "the reply was shorter than expected"},
      {kLinkPortFailed, {}, "No communication: the serial port could not be used",
       "the port could not be opened or configured, or broke during the exchange"},
      {kLinkPortFailed, "busy", "No communication: serial port: busy",
       "the port could not be opened or configured, or broke during the exchange"},
      {kLinkNoReply, "busy", "No communication: no reply",
       "no reply: not a single byte arrived (is the controller on, the address and the speed "
       "right?)"},
      {kLinkRequestInvalid, {}, "No communication: the request could not be built",
       "the request cannot be expressed; nothing was sent"},
      {kLinkBadLength, {}, "No communication: result 5",
       "a reply shorter than 4 bytes was asked for"},
      {static_cast<LinkResult>(42), {}, "No communication: result 42", "unknown result"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(LinkResultNumber(c.result));
    EXPECT_EQ(LinkResultText(c.result, c.portError), c.brief);
    EXPECT_EQ(LinkResultText(c.result, c.portError, LinkResultWording::Explained), c.explained);
  }
}

}  // namespace
}  // namespace qdx
